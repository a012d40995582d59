#include "reference/StudentLookup.h"

#include "library/Library.h"
#include "reference/frmFindStd.h"

namespace {

QString selectStudent(const QString& columns) {
    return QStringLiteral("SELECT StdID, StdName, ") + columns +
           QStringLiteral(" FROM Student WHERE ");
}

} // namespace

namespace StudentLookup {

Recordset byCode(const QString& code, const QString& columns) {
    return Library::OpenRecordset(selectStudent(columns) + QStringLiteral("StdID = ?"), true,
                                  {code});
}

Outcome byName(const QString& namePart, const QString& columns, QWidget* parent,
               Recordset& student) {
    const QString select = selectStudent(QStringLiteral("StdNickName, ") + columns);
    Recordset hits = Library::OpenRecordset(select + QStringLiteral("StdName LIKE '%' || ? || '%'"),
                                            true, {namePart});
    if (hits.isEmpty()) {
        Library::MsgError(QStringLiteral("ชื่อนักศึกษา ไม่ถูกต้อง"));
        return Outcome::NoneFound;
    }
    if (hits.RecordCount() == 1) {
        student = std::move(hits);
        return Outcome::Found;
    }
    const QString chosen = frmFindStd::chooseFrom(hits, parent);
    if (chosen.isEmpty())
        return Outcome::Cancelled;
    student = byCode(chosen, columns);
    return Outcome::Found;
}

} // namespace StudentLookup
