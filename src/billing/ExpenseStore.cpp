#include "billing/ExpenseStore.h"

#include "core/Database.h"
#include "core/Numbering.h"
#include "core/Seams.h"
#include "frame/Library.h"

namespace ExpenseStore {

QString proposedNumber() {
    return Numbering::nextInSeries(QStringLiteral("Expense"), QStringLiteral("ExpID"),
                                   Library::BuddhistYY(Seams::today()), 8);
}

QString add(const ExpenseEntry& entry, const QString& day, const QString& userId) {
    Transaction transaction;
    const QString expId = proposedNumber();
    Connection::shared().exec(
        QStringLiteral("Insert Into Expense (ExpID, ExpDate, ExpDesc, ExpCrAmt, ExpDbAmt, UserID) "
                       "Values (?, ?, ?, ?, ?, ?)"),
        {expId, day, entry.description, entry.received.toVariant(), entry.paid.toVariant(),
         userId});
    transaction.commit();
    return expId;
}

bool update(const ExpenseEntry& entry, const QString& userId) {
    const Query changed = Connection::shared().exec(
        QStringLiteral("Update Expense Set ExpDesc = ?, ExpCrAmt = ?, ExpDbAmt = ?, UserID = ? "
                       "Where ExpID = ?"),
        {entry.description, entry.received.toVariant(), entry.paid.toVariant(), userId,
         entry.expId});
    return changed.numRowsAffected() == 1;
}

void remove(const QString& expId) {
    Connection::shared().exec(QStringLiteral("Delete From Expense Where ExpID = ?"), {expId});
}

} // namespace ExpenseStore
