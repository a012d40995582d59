#pragma once

#include <QStringView>

// Thai dictionary order of names and texts, the one order of the database's THAI collation
// and of the report engine. Texts equal in dictionary order fall back to code-point order,
// so that distinct texts never compare equal; an empty text comes first.
namespace ThaiOrder {

// Negative, zero or positive as a sorts before, with or after b.
int compare(QStringView a, QStringView b);
// The same order on UTF-8 bytes, without decoding them first.
int compareUtf8(const char* a, qsizetype lengthA, const char* b, qsizetype lengthB);

} // namespace ThaiOrder
