#include "billing/RegistrationStore.h"

#include "core/ClassLookup.h"
#include "core/Database.h"

namespace RegistrationStore {

Addition add(const QString& stdId, const QString& courseNo, const QString& workingDate) {
    Transaction transaction;
    Connection& db = Connection::shared();
    if (!ClassLookup::isStored(courseNo))
        return Addition::ClassGone;
    const Query insert = db.exec(
        QStringLiteral("INSERT INTO StudentCourse (StdID, CourseNo, CourseGrade, CoursePayAmt, "
                       "CoursePayDate, CourseRegDate) VALUES (?, ?, '', ?, ?, ?) "
                       "ON CONFLICT (StdID, CourseNo) DO NOTHING"),
        {stdId, courseNo, Money().toVariant(), workingDate, workingDate});
    const bool added = insert.numRowsAffected() == 1;
    transaction.commit();
    return added ? Addition::Added : Addition::Duplicate;
}

RemoveResult remove(const QString& stdId, const QString& courseNo) {
    Transaction transaction;
    Connection& db = Connection::shared();
    const Query deletion =
        db.exec(QStringLiteral("DELETE FROM StudentCourse WHERE StdID = ? AND CourseNo = ? "
                               "AND (CoursePayAmt <= 0 OR CoursePayAmt IS NULL)"),
                {stdId, courseNo});
    RemoveResult result{Removal::Removed, Money()};
    if (deletion.numRowsAffected() != 1) {
        const QVariant paid = db.scalar(
            QStringLiteral(
                "SELECT CoursePayAmt FROM StudentCourse WHERE StdID = ? AND CourseNo = ?"),
            {stdId, courseNo});
        result = paid.isValid() ? RemoveResult{Removal::Paid, Money::fromVariant(paid)}
                                : RemoveResult{Removal::Gone, Money()};
    }
    transaction.commit();
    return result;
}

} // namespace RegistrationStore
