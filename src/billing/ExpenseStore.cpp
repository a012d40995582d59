#include "billing/ExpenseStore.h"

#include "core/Database.h"
#include "core/LibraryCore.h"
#include "core/Numbering.h"

namespace ExpenseStore {

namespace {

const QString table = QStringLiteral("Expense");
const QString column = QStringLiteral("ExpID");

} // namespace

QString proposedNumber(const QDate& numberingDate) {
    return Numbering::nextInSeries(table, column, Library::BuddhistYY(numberingDate), 8);
}

QString add(const ExpenseEntry& entry, const QString& day, const QString& userId,
            const QDate& numberingDate) {
    Transaction transaction;
    const QString expId =
        Numbering::takeInSeries(table, column, Library::BuddhistYY(numberingDate), 8);
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

bool remove(const QString& expId) {
    return Connection::shared()
               .exec(QStringLiteral("Delete From Expense Where ExpID = ?"), {expId})
               .numRowsAffected() == 1;
}

} // namespace ExpenseStore
