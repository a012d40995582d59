#include "reference/StudentLookup.h"

#include "frame/Library.h"
#include "reference/frmFindStd.h"

namespace StudentLookup {
namespace {

Outcome byColumn(const QString& column, const QString& noHit, const QString& part,
                 const QString& columns, QWidget* parent, Recordset& student) {
    const QString select = QStringLiteral("SELECT StdID, StdName, StdNickName, ") + columns +
                           QStringLiteral(" FROM Student WHERE ");
    // The text anywhere in the column; "%" and "_" are wildcards, as in the search dialog.
    Recordset hits =
        Library::OpenRecordset(select + column + QStringLiteral(" LIKE '%' || ? || '%'"), {part});
    if (hits.isEmpty()) {
        Library::MsgError(noHit);
        return Outcome::NoneFound;
    }
    if (hits.RecordCount() == 1) {
        student = std::move(hits);
        return Outcome::Found;
    }
    const QString chosen = frmFindStd::chooseFrom(hits, parent);
    if (chosen.isEmpty())
        return Outcome::Cancelled;
    student = Library::OpenRecordset(select + QStringLiteral("StdID = ?"), {chosen});
    return Outcome::Found;
}

} // namespace

Recordset byCode(const QString& code, const QString& columns) {
    return Library::OpenRecordset(QStringLiteral("SELECT StdID, StdName, ") + columns +
                                      QStringLiteral(" FROM Student WHERE StdID = ?"),
                                  {code});
}

Outcome byName(const QString& namePart, const QString& columns, QWidget* parent,
               Recordset& student) {
    return byColumn(QStringLiteral("StdName"), QStringLiteral("ชื่อนักศึกษา ไม่ถูกต้อง"), namePart,
                    columns, parent, student);
}

Outcome byNickName(const QString& nickPart, const QString& columns, QWidget* parent,
                   Recordset& student) {
    return byColumn(QStringLiteral("StdNickName"), QStringLiteral("ชื่อเล่น ไม่ถูกต้อง"), nickPart,
                    columns, parent, student);
}

} // namespace StudentLookup
