#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>

class KeyToolbar;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
struct MenuHead;
struct MenuItem;

// The main window: menu, toolbar, status bar and the area where task windows open.
class MDIForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit MDIForm1(QWidget* parent = nullptr);

    enum class StartResult {
        Ready,
        LoginClosed, // the login was closed without success
        NoDatabase,  // the database was refused, or the user made no new one
    };
    // Opens the database, reads the settings and logs a user in.
    StartResult startUp();
    // Enables the menu items granted to the logged-in user and shows the user's name.
    void applyRights();

    QMdiArea* mdiArea() const { return m_area; }
    KeyToolbar* toolbar() const { return Toolbar1; }
    // The menu action of a menu item by name ("mnuPay"); null when there is none.
    QAction* menuAction(const QString& name) const;
    QLabel* userLabel() const { return m_userLabel; }
    // True once clearing of all data has ended the program.
    bool hasEnded() const { return m_ended; }

    // The maintenance items of the menu.
    void mnuDelALLTable_Click();
    void mnuDelStatement_Click();

private:
    void addItem(QMenu* menu, const MenuItem& item);
    QMenu* menuOf(const MenuHead* head, QHash<const MenuHead*, QMenu*>& menus);
    void buildMenus();
    void buildToolbar();
    void toolbarButtonClick(const QString& key);
    bool isBuilt(const QString& name) const;
    void openWindow(const QString& name);
    void placeInWorkArea(QMdiSubWindow* frame) const;
    void endProgram();

    QMdiArea* m_area;
    KeyToolbar* Toolbar1;
    QLabel* m_userLabel;
    QHash<QString, QAction*> m_actions;
    QHash<QString, QPointer<QWidget>> m_single;
    bool m_ended = false;
};
