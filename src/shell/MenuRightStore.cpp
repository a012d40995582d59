#include "shell/MenuRightStore.h"

#include "core/Database.h"
#include "core/Numbering.h"
#include "shell/MenuItems.h"

#include <algorithm>

namespace MenuRightStore {

namespace {

QSet<QString> presentNames(Connection& db) {
    Query query = db.exec(QStringLiteral("SELECT MnuName FROM CtrlMenu"));
    QSet<QString> names;
    while (query.next())
        names.insert(query.value(0).toString());
    return names;
}

bool allPresent(Connection& db) {
    const QSet<QString> present = presentNames(db);
    return std::all_of(menuItems().cbegin(), menuItems().cend(),
                       [&present](const MenuItem& item) { return present.contains(item.name); });
}

} // namespace

void fillMenuTable() {
    Connection& db = Connection::shared();
    // A start that finds every item writes nothing, also while another desk writes.
    if (allPresent(db))
        return;
    Transaction transaction;
    const QSet<QString> present = presentNames(db); // again: another desk may have added some
    int order = 0;
    for (const MenuItem& item : menuItems()) {
        ++order;
        if (present.contains(item.name))
            continue;
        const QString id = Numbering::takeAfterLargest(
            QStringLiteral("CtrlMenu"), QStringLiteral("MnuID"), QStringLiteral("01"), 2);
        db.exec(QStringLiteral("INSERT INTO CtrlMenu (MnuID, MnuName, MnuCaption, MnuOrder) "
                               "VALUES (?, ?, ?, ?)"),
                {id, item.name, item.caption, order});
    }
    transaction.commit();
}

void grantAll(const QString& userId) {
    Connection::shared().exec(QStringLiteral("INSERT OR IGNORE INTO UserMenu (UserID, MnuID) "
                                             "SELECT ?, MnuID FROM CtrlMenu"),
                              {userId});
}

QSet<QString> granted(const QString& userId) {
    Query query = Connection::shared().exec(
        QStringLiteral("SELECT m.MnuName FROM UserMenu u JOIN CtrlMenu m ON m.MnuID = u.MnuID "
                       "WHERE u.UserID = ?"),
        {userId});
    QSet<QString> names;
    while (query.next())
        names.insert(query.value(0).toString());
    return names;
}

} // namespace MenuRightStore
