#include "shell/MDIForm1.h"

#include "core/Database.h"
#include "core/Seams.h"
#include "frame/FormBase.h"
#include "frame/KeyToolbar.h"
#include "frame/Library.h"
#include "frame/WindowFrame.h"
#include "shell/MenuItems.h"
#include "shell/MenuRightStore.h"
#include "shell/SchoolDataStore.h"
#include "shell/StartUp.h"
#include "shell/UserStore.h"
#include "shell/WindowRegistry.h"
#include "shell/frmDelStatement.h"
#include "shell/frmLogin.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>
#include <QTreeWidget>
#include <algorithm>

namespace {

// The focus goes into the window, which itself takes no keys: to the control a
// task window opens with, else to the control that last had the focus (or was
// given it when the window was made).
void focusInside(QWidget* window) {
    if (auto* form = qobject_cast<FormBase*>(window)) {
        form->focusOpening();
        return;
    }
    QWidget* control = window->focusWidget();
    (control && window->isAncestorOf(control) ? control : window)->setFocus();
}

const QString contactText = QStringLiteral("สอบถามการใช้งานโปรแกรม ติดต่อผู้ดูแลระบบของโรงเรียน");

} // namespace

MDIForm1::MDIForm1(QWidget* parent) : QMainWindow(parent) {
    m_area = new QMdiArea(this);
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_area);
    // A window made active again (the one above it closed) takes the keyboard back, once
    // the area has put the focus where it keeps it: a window holding the focus itself
    // would otherwise leave it on its frame, where no key reaches it.
    connect(m_area, &QMdiArea::subWindowActivated, this, [](QMdiSubWindow* frame) {
        QPointer<QMdiSubWindow> activated(frame);
        QMetaObject::invokeMethod(
            activated,
            [activated] {
                QWidget* window = activated ? activated->widget() : nullptr;
                const QWidget* focus = QApplication::focusWidget();
                if (window && focus != window && !window->isAncestorOf(focus))
                    focusInside(window);
            },
            Qt::QueuedConnection);
    });
    buildMenus();
    buildToolbar();
    m_userLabel = new QLabel(this);
    m_userLabel->setObjectName(QStringLiteral("lblUser"));
    statusBar()->addWidget(m_userLabel, 1);
    statusBar()->addPermanentWidget(new QLabel(contactText, this));
    setWindowTitle(QStringLiteral("Vadel"));
    // The program's own icon; windows and dialogs without one of their own take it.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/vadel.png")));
    setWindowIcon(QApplication::windowIcon());
    // The desk's whole screen; 1024x720 when the clerk restores it.
    resize(1024, 720);
    setWindowState(Qt::WindowMaximized);
    for (QAction* action : std::as_const(m_actions))
        action->setEnabled(false);
}

void MDIForm1::addItem(QMenu* menu, const MenuItem& item) {
    QAction* action = menu->addAction(item.caption);
    action->setObjectName(item.name);
    m_actions.insert(item.name, action);
    if (item.action)
        connect(action, &QAction::triggered, this, [this, &item] { item.action(*this); });
    else
        connect(action, &QAction::triggered, this, [this, name = item.name] { openWindow(name); });
    if (!item.lineAfter.isEmpty())
        menu->addSeparator()->setObjectName(item.lineAfter);
}

// The menus open in the order of their first items, a menu inside another where its
// first item stands.
QMenu* MDIForm1::menuOf(const MenuHead* head, QHash<const MenuHead*, QMenu*>& menus) {
    QMenu*& menu = menus[head];
    if (!menu) {
        menu = head->parent ? menuOf(head->parent, menus)->addMenu(head->caption)
                            : menuBar()->addMenu(head->caption);
        menu->setObjectName(head->name);
    }
    return menu;
}

void MDIForm1::buildMenus() {
    QHash<const MenuHead*, QMenu*> menus;
    QMenu* last = nullptr;
    for (const MenuItem& item : menuItems()) {
        last = menuOf(item.menu, menus);
        addItem(last, item);
    }
    // Leaving the program ends the last menu, for every user.
    last->addSeparator();
    QAction* exit = last->addAction(QStringLiteral("ออกจากโปรแกรม"));
    exit->setObjectName(QStringLiteral("mnuExit"));
    connect(exit, &QAction::triggered, this, &MDIForm1::close);
}

void MDIForm1::buildToolbar() {
    Toolbar1 = new KeyToolbar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (const MenuItem& item : menuItems())
        if (!item.toolKey.isEmpty())
            Toolbar1->addButton(item.toolKey, item.toolCaption, item.caption);
    Toolbar1->addSeparator();
    Toolbar1->addButton(QStringLiteral("Exit"), QStringLiteral("ออก"),
                        QStringLiteral("ออกจากโปรแกรม"));
    connect(Toolbar1, &KeyToolbar::buttonClick, this, &MDIForm1::toolbarButtonClick);
    addToolBar(Qt::TopToolBarArea, Toolbar1);
}

QAction* MDIForm1::menuAction(const QString& name) const {
    return m_actions.value(name);
}

void MDIForm1::toolbarButtonClick(const QString& key) {
    if (key == QLatin1String("Exit")) {
        close();
        return;
    }
    const MenuItem* item = toolbarItem(key);
    QAction* action = item ? menuAction(item->name) : nullptr;
    if (action && action->isEnabled())
        action->trigger();
}

MDIForm1::StartResult MDIForm1::startUp() {
    bool opened = false;
    if (!runDatabaseWork(QStringLiteral("เปิดฐานข้อมูลไม่ได้"),
                         [&opened] { opened = StartUp::openDatabase(); }) ||
        !opened)
        return StartResult::NoDatabase;
    setWindowTitle(Library::gShopName.isEmpty() ? QStringLiteral("Vadel") : Library::gShopName);
    frmLogin login(this);
    if (login.showModal() != QDialog::Accepted)
        return StartResult::LoginClosed;
    applyRights();
    return StartResult::Ready;
}

// An item that runs an action is always there (a report whether or not its file is
// today: a file missing at the click is an error box then); an item that opens a window,
// while its window is registered.
bool MDIForm1::isBuilt(const QString& name) const {
    const MenuItem* item = menuItem(name);
    return (item && item->action) || isWindowRegistered(name);
}

void MDIForm1::applyRights() {
    QSet<QString> granted;
    runDatabaseWork(QStringLiteral("อ่านสิทธิ์การใช้เมนูไม่ได้"), [&] {
        MenuRightStore::fillMenuTable();
        granted = MenuRightStore::granted(Library::gUserID);
        m_userLabel->setText(QStringLiteral("ผู้ใช้ : ") + UserStore::name(Library::gUserID));
    });
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it)
        it.value()->setEnabled(granted.contains(it.key()) && isBuilt(it.key()));
    for (const MenuItem& item : menuItems())
        if (!item.toolKey.isEmpty())
            Toolbar1->setEnabled(item.toolKey, menuAction(item.name)->isEnabled());
}

void MDIForm1::openWindow(const QString& name) {
    // A closed frame leaves the list at once, before its window is deleted.
    if (QWidget* open = m_single.value(name)) {
        auto* frame = qobject_cast<QMdiSubWindow*>(open->parentWidget());
        if (frame && m_area->subWindowList().contains(frame)) {
            frame->showNormal();
            m_area->setActiveSubWindow(frame);
            focusInside(open);
            return;
        }
    }
    QWidget* window = createRegisteredWindow(name);
    if (!window)
        return;
    QMdiSubWindow* frame = m_area->addSubWindow(window);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setWindowIcon(windowIcon());
    window->setWindowIcon(windowIcon());
    frame->show();
    placeInWorkArea(frame);
    m_area->setActiveSubWindow(frame);
    focusInside(window);
    if (isSingleInstanceWindow(name))
        m_single.insert(name, window);
}

// A window whose list can grow takes three quarters of a large work area in that
// direction, so that a large screen shows more rows; every window opens centred.
void MDIForm1::placeInWorkArea(QMdiSubWindow* frame) const {
    const QSize room = m_area->viewport()->size();
    QSize size = frame->size();
    const QWidget* window = frame->widget();
    const Qt::Orientations grows = window->layout() && window->findChild<QTreeWidget*>()
                                       ? window->layout()->expandingDirections()
                                       : Qt::Orientations();
    if (grows & Qt::Horizontal)
        size.setWidth(std::max(size.width(), room.width() * 3 / 4));
    if (grows & Qt::Vertical)
        size.setHeight(std::max(size.height(), room.height() * 3 / 4));
    size = size.boundedTo(room);
    frame->resize(size);
    frame->move(std::max(0, (room.width() - size.width()) / 2),
                std::max(0, (room.height() - size.height()) / 2));
}

void MDIForm1::mnuDelALLTable_Click() {
    if (Library::MsgAsk(QStringLiteral("ล้างข้อมูลทั้งหมด (วิชา ตารางเรียน ครู นักศึกษา ใบเสร็จ "
                                       "การเข้าเรียน และรายรับรายจ่าย) ใช่หรือไม่"),
                        false) != Library::vbYes)
        return;
    SchoolDataStore::Clearing clearing;
    if (!runDatabaseWork(QStringLiteral("ล้างข้อมูลไม่ได้"),
                         [&] { clearing = SchoolDataStore::ClearAllData(); }))
        return;
    if (!clearing.compacted)
        Library::MsgError(QStringLiteral("ล้างข้อมูลทั้งหมดแล้ว แต่ย่อแฟ้มฐานข้อมูลไม่ได้ "
                                         "แฟ้มจึงยังมีขนาดเท่าเดิม โปรแกรมจะปิดตัวลง\n") +
                          clearing.compactionError);
    endProgram();
}

void MDIForm1::mnuDelStatement_Click() {
    frmDelStatement dialog(this);
    dialog.showModal();
}

void MDIForm1::endProgram() {
    m_ended = true;
    m_area->closeAllSubWindows();
    Connection::shared().close();
    close();
    QCoreApplication::quit();
}
