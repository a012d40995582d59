#include "reference/StudentLookup.h"

#include "library/Library.h"
#include "reference/frmFindStd.h"

namespace StudentLookup {

Outcome byName(const QString& namePart, const QString& columns, QWidget* parent,
               Recordset& student) {
    const QString select = QStringLiteral("SELECT StdID, StdName, StdNickName, ") + columns +
                           QStringLiteral(" FROM Student WHERE ");
    Recordset hits = Library::OpenRecordset(select + QStringLiteral("StdName LIKE '%' || ? || '%'"),
                                            true, {namePart});
    if (hits.isEmpty())
        return Outcome::NoneFound;
    if (hits.RecordCount() == 1) {
        student = std::move(hits);
        return Outcome::Found;
    }
    const QString chosen = frmFindStd::chooseFrom(hits, parent);
    if (chosen.isEmpty())
        return Outcome::Cancelled;
    student = Library::OpenRecordset(select + QStringLiteral("StdID = ?"), true, {chosen});
    return Outcome::Found;
}

} // namespace StudentLookup
