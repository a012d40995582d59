#pragma once

#include "core/Recordset.h"

#include <QString>

class QWidget;

namespace StudentLookup {

// The student of a code, as typed (not trimmed): StdID, StdName and the given
// Student columns; empty when there is none.
Recordset byCode(const QString& code, const QString& columns);

enum class Outcome { NoneFound, Found, Cancelled };

// Looks a student up by a part of the name. No hit is an error box ("ชื่อนักศึกษา
// ไม่ถูกต้อง"); one hit is the student; with several
// the user picks one in the student search dialog, whose row is then read again
// by code (student stays empty when it has gone meanwhile). columns names the
// Student columns the caller needs besides StdID, StdName and StdNickName.
// The typed text is matched as the search dialog matches it: a quote is plain
// text, "%" and "_" are LIKE's wildcards.
Outcome byName(const QString& namePart, const QString& columns, QWidget* parent,
               Recordset& student);
// The same by a part of the nickname; no hit is "ชื่อเล่น ไม่ถูกต้อง".
Outcome byNickName(const QString& nickPart, const QString& columns, QWidget* parent,
                   Recordset& student);

} // namespace StudentLookup
