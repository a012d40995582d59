#include "billing/BillCancellation.h"

#include "core/Database.h"
#include "core/Money.h"

namespace BillCancellation {

Outcome cancel(const QString& stmId, const QString& userId) {
    Connection& db = Connection::shared();
    Transaction transaction;
    // Only a bill still valid is flagged, so that no bill is ever reversed twice.
    const Query flagged =
        db.exec(QStringLiteral("Update Statement Set IsCancel = '1', UserCancelID = ? "
                               "Where StmID = ? And IsCancel = '0'"),
                {userId, stmId});
    if (flagged.numRowsAffected() != 1)
        return Outcome::NotValid;

    const QString stdId =
        db.scalar(QStringLiteral("Select StdID From Statement Where StmID = ?"), {stmId})
            .toString();
    Query lines =
        db.exec(QStringLiteral(
                    "Select CourseNo, StmAmt From StatementSub Where StmID = ? Order By StmItem"),
                {stmId});
    QList<std::pair<QString, Money>> amounts;
    while (lines.next())
        amounts.append({lines.value(0).toString(), Money::fromVariant(lines.value(1))});

    // Each amount is taken off in whole satang; a registration removed meanwhile
    // has nothing to take it from.
    for (const auto& [courseNo, amount] : std::as_const(amounts)) {
        const QVariant paid = db.scalar(
            QStringLiteral(
                "Select CoursePayAmt From StudentCourse Where CourseNo = ? And StdID = ?"),
            {courseNo, stdId});
        db.exec(QStringLiteral(
                    "Update StudentCourse Set CoursePayAmt = ? Where CourseNo = ? And StdID = ?"),
                {(Money::fromVariant(paid) - amount).toVariant(), courseNo, stdId});
    }
    transaction.commit();
    return Outcome::Cancelled;
}

} // namespace BillCancellation
