#pragma once

// The rows of a report: the program's statement run inside the engine's own,
// reading only the columns the layout needs, in its order; and the order of
// values the database sorts by.

#include "platform/ReportEngine.h"

#include <QList>
#include <QStringList>
#include <QVariant>
#include <memory>

namespace ReportEngine {

struct OrderKey {
    int field = 0; // index into the fields read
    bool descending = false;
};

class Reader {
public:
    virtual ~Reader() = default;
    // The next row's values, in the order of the fields asked for.
    virtual bool next(QVariantList& values) = 0;
};

// The columns the source gives. Throws DbError.
QStringList sourceColumns(const Source& source);
// The source's rows with only the given fields, sorted by the keys (texts in
// Thai order); a source read already is sorted here. Throws DbError.
std::unique_ptr<Reader> readRows(const Source& source, const QStringList& fields,
                                 const QList<OrderKey>& order);
// As many empty rows as the source gives, without reading them.
std::unique_ptr<Reader> countRows(const Source& source);

bool isNumber(const QVariant& value);
// The text of a value, without a conversion when it holds a text.
QString textOf(const QVariant& value);
// The database's order of values: NULL, then numbers, then texts (Thai order).
int compareValues(const QVariant& a, const QVariant& b);
bool sameValue(const QVariant& a, const QVariant& b);

} // namespace ReportEngine
