#include "billing/BillStore.h"

#include "core/Database.h"
#include "core/Money.h"

namespace BillStore {

Outcome cancel(const QString& stmId, const QString& docNo, const QString& stdId,
               const QString& userId) {
    Connection& db = Connection::shared();
    Transaction transaction;
    const QVariant isCancel =
        db.scalar(QStringLiteral("Select IsCancel From Statement Where StmID = ? And "
                                 "IfNull(StmDocNo, '') = IfNull(?, '') "
                                 "And StdID = ?"),
                  {stmId, docNo, stdId});
    if (!isCancel.isValid())
        return Outcome::Gone;
    if (isCancel.toString() != QStringLiteral("0"))
        return Outcome::AlreadyCancelled;
    db.exec(QStringLiteral("Update Statement Set IsCancel = '1', UserCancelID = ? Where StmID = ?"),
            {userId, stmId});

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
        // The paid date is that of the latest bill still valid on the registration, none
        // when no valid bill is left: never the date of the bill taken back.
        db.exec(QStringLiteral("Update StudentCourse Set CoursePayDate = IfNull((Select "
                               "Max(s.StmDate) From Statement s Join StatementSub l On l.StmID = "
                               "s.StmID Where s.StdID = ? And l.CourseNo = ? And s.IsCancel = '0' "
                               "And l.StmAmt > 0), '') Where CourseNo = ? And StdID = ?"),
                {stdId, courseNo, courseNo, stdId});
    }
    transaction.commit();
    return Outcome::Cancelled;
}

} // namespace BillStore
