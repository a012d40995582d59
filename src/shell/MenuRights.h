#pragma once

#include <QList>
#include <QSet>
#include <QString>

// The menu items that users are granted, in menu order, and the grants.
namespace MenuRights {

struct MenuItem {
    QString name;    // the menu action's name, e.g. "mnuPay"
    QString caption; // as the menu shows it
};

const QList<MenuItem>& menuItems();
QString caption(const QString& menuName);

// Adds every menu item missing from CtrlMenu (all of them on the first run); writes
// nothing when none is missing. Throws DbError.
void fillMenuTable();
// Grants every item of CtrlMenu to the user. Throws DbError.
void grantAll(const QString& userId);
// Names of the items granted to the user. Throws DbError.
QSet<QString> granted(const QString& userId);

} // namespace MenuRights
