#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// Task windows that menu items open, registered from the menu items (registerTaskWindows
// of MenuItems.h); a test registers its own. A menu item whose window is not registered
// stays disabled. singleInstance: opening again brings the open window forward.
void registerWindow(const QString& menuName, std::function<QWidget*()> create,
                    bool singleInstance = false);
bool isWindowRegistered(const QString& menuName);
// The menu items of the registered windows, in name order.
QStringList registeredWindows();
bool isSingleInstanceWindow(const QString& menuName);
// A new window for the menu item; null when none is registered.
QWidget* createRegisteredWindow(const QString& menuName);
