#include "shell/MDIForm1.h"

#include "core/Database.h"
#include "core/Seams.h"
#include "frame/FormBase.h"
#include "frame/KeyToolbar.h"
#include "frame/Library.h"
#include "frame/WindowFrame.h"
#include "report/viewer/LibraryReports.h"
#include "shell/Maintenance.h"
#include "shell/MenuRights.h"
#include "shell/StartUp.h"
#include "shell/Users.h"
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
#include <QStatusBar>
#include <algorithm>

namespace {

struct SummaryReport {
    const char16_t* menuName;
    const char16_t* file;
    const char16_t* sql;
    const char16_t* title;
};

const SummaryReport summaryReports[] = {
    {u"mnuRepStdOrder1", u"rep0.rpt", u"SELECT  *  From   Student  Order By StdID",
     u"รายงานชื่อและที่อยู่นักศึกษา เรียงตามรหัสนักศึกษา  ณ วันที่  "},
    {u"mnuRepStdOrder2", u"rep0.rpt", u"SELECT  *  From   Student  Order By StdName COLLATE THAI",
     u"รายงานชื่อและที่อยู่นักศึกษา เรียงตามชื่อนักศึกษา  ณ วันที่  "},
    {u"mnuRepStdOrder3", u"rep0.rpt", u"SELECT  *  From   Student  Order By StdLevel COLLATE THAI",
     u"รายงานชื่อและที่อยู่นักศึกษา เรียงตามระดับการเรียน  ณ วันที่  "},
    {u"mnuCountStdCourse", u"rep1.rpt",
     u"SELECT  *  From   QStudentCourse3  Where CourseStatus = '1' ",
     u"รายงานสรุปจำนวนนักศึกษาในแต่ละวิชา, ระดับ, คอร์ส  ณ วันที่  "},
    {u"mnuRemainStdRep", u"rep6.rpt",
     u"SELECT  *  From   QStudentCourse3  Where CourseStatus = '1' and CoursePrice > CoursePayAmt "
     u" ",
     u"รายชื่อนักศึกษาที่ค้างชำระค่าเรียน  ณ วันที่  "},
    {u"mnuCourseReceiptRep", u"rep2.rpt",
     u"SELECT  *  From   QStudentCourse3  Where CourseStatus = '1' ",
     u"รายงานสรุปรายได้ต่อ คอร์ส  ณ วันที่  "},
    {u"mnuLevelReceiptRep", u"rep3.rpt",
     u"SELECT  *  From   QStudentCourse3  Where CourseStatus = '1' ",
     u"รายงานสรุปรายได้ต่อ ระดับ  ณ วันที่  "},
    {u"mnuSubjectReceiptRep", u"rep4.rpt",
     u"SELECT  *  From   QStudentCourse3  Where CourseStatus = '1' ",
     u"รายงานสรุปรายได้ต่อ วิชา  ณ วันที่  "},
    {u"mnuRemainLevelRep", u"rep5.rpt",
     u"SELECT  *  From   QStudentCourse3  Where CourseStatus = '1' and CoursePrice > CoursePayAmt "
     u" ",
     u"รายงานสรุปยอดค้างชำระค่าเรียน  ณ วันที่  "},
};

const SummaryReport* summaryReport(const QString& menuName) {
    for (const SummaryReport& report : summaryReports)
        if (menuName == QStringView(report.menuName))
            return &report;
    return nullptr;
}

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

QAction* MDIForm1::addItem(QMenu* menu, const QString& name) {
    QAction* action = menu->addAction(MenuRights::caption(name));
    action->setObjectName(name);
    m_actions.insert(name, action);
    if (summaryReport(name))
        connect(action, &QAction::triggered, this, [this, name] { runSummaryReport(name); });
    else if (name == QLatin1String("mnuDelALLTable"))
        connect(action, &QAction::triggered, this, &MDIForm1::mnuDelALLTable_Click);
    else if (name == QLatin1String("mnuDelStatement"))
        connect(action, &QAction::triggered, this, &MDIForm1::mnuDelStatement_Click);
    else
        connect(action, &QAction::triggered, this, [this, name] { openWindow(name); });
    return action;
}

void MDIForm1::buildMenus() {
    QMenu* daily = menuBar()->addMenu(QStringLiteral("1. งานประจำวัน"));
    daily->setObjectName(QStringLiteral("mnuDaily"));
    for (const char16_t* name : {u"mnuRegister", u"mnuPay", u"mnuExp", u"mnuBiLLCancel",
                                 u"mnuPoint", u"mnuGrade", u"mnuTimeStamp", u"mnuQuery"})
        addItem(daily, QString::fromUtf16(name));

    QMenu* reports = menuBar()->addMenu(QStringLiteral("2. รายงาน"));
    reports->setObjectName(QStringLiteral("mnuReport"));
    addItem(reports, QStringLiteral("mnuDailyRep"));
    reports->addSeparator()->setObjectName(QStringLiteral("mnuLine21"));
    QMenu* students = reports->addMenu(QStringLiteral("2.2 รายชื่อและที่อยู่นักศึกษา"));
    students->setObjectName(QStringLiteral("mnuStudentRep"));
    for (const char16_t* name : {u"mnuRepStdOrder1", u"mnuRepStdOrder2", u"mnuRepStdOrder3"})
        addItem(students, QString::fromUtf16(name));
    addItem(reports, QStringLiteral("mnuCountStdCourse"));
    reports->addSeparator()->setObjectName(QStringLiteral("mnuLine22"));
    for (const char16_t* name : {u"mnuRemainStdRep", u"mnuCourseReceiptRep", u"mnuLevelReceiptRep",
                                 u"mnuSubjectReceiptRep", u"mnuRemainLevelRep"})
        addItem(reports, QString::fromUtf16(name));

    QMenu* master = menuBar()->addMenu(QStringLiteral("3. ข้อมูลหลัก"));
    master->setObjectName(QStringLiteral("mnuMaster"));
    addItem(master, QStringLiteral("mnuCourseTable"));

    QMenu* system = menuBar()->addMenu(QStringLiteral("4. ระบบ"));
    system->setObjectName(QStringLiteral("mnuSystem"));
    addItem(system, QStringLiteral("mnuDelStatement"));
    addItem(system, QStringLiteral("mnuDelALLTable"));
    system->addSeparator();
    QAction* exit = system->addAction(QStringLiteral("ออกจากโปรแกรม"));
    exit->setObjectName(QStringLiteral("mnuExit"));
    connect(exit, &QAction::triggered, this, &MDIForm1::close);
}

void MDIForm1::buildToolbar() {
    Toolbar1 = new KeyToolbar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    struct Button {
        const char16_t* key;
        const char16_t* caption;
    };
    static const Button buttons[] = {
        {u"Register", u"ลงทะเบียน"}, {u"Pay", u"ชำระเงิน"}, {u"Exp", u"รับ/จ่าย"},
        {u"Point", u"คะแนน"},       {u"Grade", u"เกรด"},  {u"TimeStamp", u"เข้าชั้นเรียน"},
        {u"Query", u"สอบถาม"},
    };
    for (const Button& button : buttons) {
        const QString key = QString::fromUtf16(button.key);
        Toolbar1->addButton(key, QString::fromUtf16(button.caption),
                            MenuRights::caption(QStringLiteral("mnu") + key));
    }
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
    QAction* action = menuAction(QStringLiteral("mnu") + key);
    if (action && action->isEnabled())
        action->trigger();
}

MDIForm1::StartResult MDIForm1::startUp() {
    bool opened = false;
    if (!runWrite(QStringLiteral("เปิดฐานข้อมูลไม่ได้"),
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

// A report item is there whether or not its file is today: a file missing at the click
// is an error box then.
bool MDIForm1::isBuilt(const QString& name) const {
    if (summaryReport(name) || name == QLatin1String("mnuDelALLTable") ||
        name == QLatin1String("mnuDelStatement"))
        return true;
    return isWindowRegistered(name);
}

void MDIForm1::applyRights() {
    QSet<QString> granted;
    runWrite(QStringLiteral("อ่านสิทธิ์การใช้เมนูไม่ได้"), [&] {
        MenuRights::fillMenuTable();
        granted = MenuRights::granted(Library::gUserID);
        m_userLabel->setText(QStringLiteral("ผู้ใช้ : ") + Users::name(Library::gUserID));
    });
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it)
        it.value()->setEnabled(granted.contains(it.key()) && isBuilt(it.key()));
    for (const QString& key :
         {QStringLiteral("Register"), QStringLiteral("Pay"), QStringLiteral("Exp"),
          QStringLiteral("Point"), QStringLiteral("Grade"), QStringLiteral("TimeStamp"),
          QStringLiteral("Query")})
        Toolbar1->setEnabled(key, menuAction(QStringLiteral("mnu") + key)->isEnabled());
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
    const Qt::Orientations grows = frame->widget()->layout()
                                       ? frame->widget()->layout()->expandingDirections()
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

void MDIForm1::runSummaryReport(const QString& name) {
    const SummaryReport* table = summaryReport(name);
    Library::ShowTitledReport(QString::fromUtf16(table->file),
                              QString::fromUtf16(table->title) +
                                  Library::DateToThaiDate(Seams::today()),
                              QString::fromUtf16(table->sql));
}

void MDIForm1::mnuDelALLTable_Click() {
    if (Library::MsgAsk(QStringLiteral("ล้างข้อมูลทั้งหมด (วิชา ตารางเรียน ครู นักศึกษา ใบเสร็จ "
                                       "การเข้าเรียน และรายรับรายจ่าย) ใช่หรือไม่"),
                        false) != Library::vbYes)
        return;
    Maintenance::Clearing clearing;
    if (!runWrite(QStringLiteral("ล้างข้อมูลไม่ได้"), [&] { clearing = Maintenance::ClearAllData(); }))
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
