#pragma once

#include <QList>
#include <QString>
#include <functional>

class MDIForm1;
class QWidget;

// A menu of the main window: on the menu bar, or inside another menu.
struct MenuHead {
    QString name; // the menu's object name, e.g. "mnuDaily"
    QString caption;
    const MenuHead* parent = nullptr; // null for a menu of the menu bar
};

// One item of the main window's menu, with all that the program knows of it: the menu
// and the toolbar are built from these, the rights are granted by name, and the task
// windows are registered under the name. A menu opens where its first item stands.
struct MenuItem {
    QString name{};                          // the action's object name, e.g. "mnuPay"
    QString caption{};                       // as the menu and the rights show it
    const MenuHead* menu = nullptr;          // the menu it is in
    QString lineAfter{};                     // the object name of a separator after it; empty: none
    QString toolKey{};                       // its toolbar button's key; empty: no button
    QString toolCaption{};                   // the button's caption (its tip is the item's caption)
    std::function<QWidget*()> window{};      // the task window it opens, or
    std::function<void(MDIForm1&)> action{}; // what it runs in the main window
};

// In menu order; the toolbar's buttons stand in the same order.
const QList<MenuItem>& menuItems();
// The item of that name; null when there is none.
const MenuItem* menuItem(const QString& name);
// The item whose toolbar button has that key; null when there is none.
const MenuItem* toolbarItem(const QString& toolKey);

// Registers the task window of every item that opens one.
void registerTaskWindows();
