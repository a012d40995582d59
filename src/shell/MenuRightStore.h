#pragma once

#include <QSet>
#include <QString>

// The menu items that users are granted (CtrlMenu, in menu order), and the grants.
namespace MenuRightStore {

// Adds every menu item missing from CtrlMenu (all of them on the first run); writes
// nothing when none is missing. Throws DbError.
void fillMenuTable();
// Grants every item of CtrlMenu to the user. Throws DbError.
void grantAll(const QString& userId);
// Names of the items granted to the user. Throws DbError.
QSet<QString> granted(const QString& userId);

} // namespace MenuRightStore
