#include "library/Database.h"
#include "library/KeyToolbar.h"
#include "library/Library.h"
#include "library/Seams.h"
#include "platform/Report.h"
#include "platform/frmViewReport.h"
#include "shell/MDIForm1.h"
#include "shell/Maintenance.h"
#include "shell/MenuRights.h"
#include "shell/Users.h"
#include "shell/WindowRegistry.h"
#include "shell/frmDelStatement.h"
#include "shell/frmLogin.h"
#include "support/TestSupport.h"

#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

void exec(const QString& sql, const QVariantList& params = {}) {
    Connection::shared().exec(sql, params);
}

void bill(const QString& stmId, const QString& date, int lines) {
    exec(QStringLiteral("INSERT INTO Statement (StmID, StmDate, StdID, StmNetAmt, StmDocNo, "
                        "IsCancel, UserID) VALUES (?, ?, '6900001', 100, ?, '0', 'admin')"),
         {stmId, date, QString(QStringLiteral("69-") + stmId.right(5))});
    for (int i = 1; i <= lines; ++i)
        exec(QStringLiteral("INSERT INTO StatementSub (StmID, StmItem, CourseNo, StmAmt, StmOBal) "
                            "VALUES (?, ?, '6900001', 50, 0)"),
             {stmId, i});
}

// One row in every table of the school's data, and the shell's own tables.
void fillEveryTable() {
    Fixture::school(QStringLiteral("โรงเรียนทดสอบ"));
    Fixture::level(QStringLiteral("ม.1"));
    Fixture::subject(QStringLiteral("คณิตศาสตร์"));
    Fixture::course(QStringLiteral("C01"), QStringLiteral("คอร์สปกติ"));
    Fixture::teacher(QStringLiteral("T01"), QStringLiteral("ครูสมศรี"));
    Fixture::student(QStringLiteral("6900001"), QStringLiteral("สมชาย ใจดี"));
    Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money::fromBaht(2500));
    exec(QStringLiteral("INSERT INTO TeacherCourse (CourseNo, TechID, TechRateAmt) "
                        "VALUES ('6900001', 'T01', 300)"));
    Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900001"));
    bill(QStringLiteral("6900001"), QStringLiteral("20261201"), 2);
    exec(QStringLiteral("INSERT INTO [TimeStamp] (StmID, CourseNo, StmDate, StmItem) "
                        "VALUES ('2026000001', '6900001', '20261201', 1)"));
    exec(QStringLiteral(
        "INSERT INTO TimeStampTeacher (StmID, TechID) VALUES ('2026000001', 'T01')"));
    exec(QStringLiteral(
        "INSERT INTO TimeStampStudent (StmID, StdID) VALUES ('2026000001', '6900001')"));
    exec(QStringLiteral("INSERT INTO Expense (ExpID, ExpDate, ExpDesc, ExpCrAmt, ExpDbAmt) "
                        "VALUES ('6900001', '20261201', 'ค่าไฟ', 0, 500)"));
    exec(QStringLiteral("UPDATE CtrlSetup SET ShopBiLLYY = '69', ShopBiLLNo = '00012'"));
    Users::createWithAllRights(QStringLiteral("admin"), QStringLiteral("ผู้ดูแล"),
                               QStringLiteral("pw"));
}

const QStringList clearedTables = {
    QStringLiteral("Course"),           QStringLiteral("CourseTable"),
    QStringLiteral("Teacher"),          QStringLiteral("TeacherCourse"),
    QStringLiteral("Student"),          QStringLiteral("StudentCourse"),
    QStringLiteral("Statement"),        QStringLiteral("StatementSub"),
    QStringLiteral("TimeStamp"),        QStringLiteral("TimeStampTeacher"),
    QStringLiteral("TimeStampStudent"), QStringLiteral("Expense")};

const QStringList keptTables = {QStringLiteral("Subject"),   QStringLiteral("CourseLevel"),
                                QStringLiteral("CtrlSetup"), QStringLiteral("CtrlUser"),
                                QStringLiteral("CtrlMenu"),  QStringLiteral("UserMenu")};

// Fills the login dialog and presses OK; the dialog's result is returned.
std::function<int(QDialog&)> login(const QString& user, const QString& password,
                                   const QString& name = {}) {
    return [=](QDialog& dialog) {
        auto& form = dynamic_cast<frmLogin&>(dialog);
        form.txtUserID->setText(user);
        form.txtUserName->setText(name);
        form.txtPassword->setText(password);
        form.cmdOK->click();
        return form.result();
    };
}

int subWindowCount(const MDIForm1& main) {
    return static_cast<int>(main.mdiArea()->subWindowList().size());
}

} // namespace

class tst_shell : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<QTemporaryDir> m_program;

    void grant(const QString& user, const QStringList& menus) {
        MenuRights::fillMenuTable();
        for (const QString& menu : menus)
            exec(QStringLiteral("INSERT INTO UserMenu (UserID, MnuID) "
                                "SELECT ?, MnuID FROM CtrlMenu WHERE MnuName = ?"),
                 {user, menu});
    }

    void addUser(const QString& user, const QString& name, const QStringList& menus) {
        Users::createWithAllRights(user, name, QStringLiteral("secret"));
        exec(QStringLiteral("DELETE FROM UserMenu WHERE UserID = ?"), {user});
        grant(user, menus);
    }

private slots:
    void init() {
        m_db = std::make_unique<TestDatabase>();
        m_program = std::make_unique<QTemporaryDir>();
        QDir(m_program->path()).mkpath(QStringLiteral("Report"));
        Seams::setProgramFolder(m_program->path());
        Library::gUserID.clear();
        Library::gToday.clear();
    }

    void cleanup() {
        const QList<QWidget*> windows = QApplication::topLevelWidgets();
        for (QWidget* window : windows)
            delete window;
        Seams::setProgramFolder({});
        m_program.reset();
        m_db.reset();
    }

    void newDatabaseAsksForFirstUser() {
        // A file that does not exist yet: start-up creates it with the schema.
        Connection::shared().close();
        const QString path = m_program->filePath(QStringLiteral("new/Vadel.db"));
        QDir().mkpath(QFileInfo(path).path());
        Seams::setDatabasePath(path);
        ScriptedMessages messages;
        ScriptedDialogs dialogs;
        bool firstUser = false;
        dialogs.then([&](QDialog& dialog) {
            auto& form = dynamic_cast<frmLogin&>(dialog);
            firstUser = form.isFirstUser() && form.txtUserName->isVisibleTo(&form);
            // A missing name is refused and the dialog stays.
            form.txtUserID->setText(QStringLiteral("boss"));
            form.txtPassword->setText(QStringLiteral("p'w"));
            form.cmdOK->click();
            if (form.result() == QDialog::Accepted)
                return static_cast<int>(QDialog::Accepted);
            return login(QStringLiteral("boss"), QStringLiteral("p'w"),
                         QStringLiteral("คุณ O'Brien"))(dialog);
        });
        MDIForm1 main;
        QVERIFY(main.startUp());
        QVERIFY(firstUser);
        QCOMPARE(messages.errors.size(), 1);
        QVERIFY(QFileInfo::exists(path));
        QVERIFY(QFileInfo(m_program->filePath(QStringLiteral("images"))).isDir());
        QCOMPARE(Library::gImagePath, m_program->filePath(QStringLiteral("images")));
        QCOMPARE(Library::gUserID, QStringLiteral("boss"));
        QCOMPARE(Library::gToday, QStringLiteral("20261206"));
        const QString stored =
            Fixture::value(
                QStringLiteral("SELECT UserPassword FROM CtrlUser WHERE UserID = 'boss'"))
                .toString();
        QVERIFY(stored.startsWith(QStringLiteral("$argon2id$")));
        QCOMPARE(Fixture::count(QStringLiteral("UserMenu"), QStringLiteral("UserID = 'boss'")),
                 static_cast<int>(MenuRights::menuItems().size()));
        QCOMPARE(main.userLabel()->text(), QStringLiteral("ผู้ใช้ : คุณ O'Brien"));
        QVERIFY(main.menuAction(QStringLiteral("mnuDelALLTable"))->isEnabled());

        // The next start asks for a login, not for a first user.
        ScriptedDialogs again;
        bool loginMode = false;
        again.then([&](QDialog& dialog) {
            loginMode = !dynamic_cast<frmLogin&>(dialog).isFirstUser();
            return login(QStringLiteral("boss"), QStringLiteral("p'w"))(dialog);
        });
        MDIForm1 second;
        QVERIFY(second.startUp());
        QVERIFY(loginMode);
        Seams::setDatabasePath(m_db->path());
    }

    void loginFailsThenSucceeds() {
        Fixture::school(QStringLiteral("K'Academy"));
        addUser(QStringLiteral("u1"), QStringLiteral("นางสาวมาลี"), {QStringLiteral("mnuPay")});
        ScriptedMessages messages;
        ScriptedDialogs dialogs;
        QStringList tries;
        dialogs.then([&](QDialog& dialog) {
            for (const auto& [user, password] :
                 {std::pair{QStringLiteral("u1"), QStringLiteral("wrong")},
                  std::pair{QStringLiteral("nobody"), QStringLiteral("secret")},
                  std::pair{QStringLiteral("u1"), QStringLiteral("secret")}}) {
                const int result = login(user, password)(dialog);
                tries << QString::number(result);
                if (result == QDialog::Accepted)
                    return result;
            }
            return static_cast<int>(QDialog::Rejected);
        });
        MDIForm1 main;
        QVERIFY(main.startUp());
        QCOMPARE(tries,
                 QStringList({QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("1")}));
        QCOMPARE(messages.errors, QStringList(2, QStringLiteral("รหัสผู้ใช้หรือรหัสผ่านไม่ถูกต้อง")));
        QCOMPARE(Library::gUserID, QStringLiteral("u1"));
        QCOMPARE(main.windowTitle(), QStringLiteral("K'Academy"));
        QCOMPARE(Library::gShopName, QStringLiteral("K'Academy"));
        QCOMPARE(main.userLabel()->text(), QStringLiteral("ผู้ใช้ : นางสาวมาลี"));
    }

    void closingLoginEndsProgram() {
        addUser(QStringLiteral("u1"), QStringLiteral("ผู้ใช้"), {});
        ScriptedDialogs dialogs; // the login is closed without an answer
        MDIForm1 main;
        QVERIFY(!main.startUp());
        QCOMPARE(dialogs.shown, 1);
        QCOMPARE(dialogs.classNames, QStringList(QStringLiteral("frmLogin")));
        QVERIFY(Library::gUserID.isEmpty());
    }

    void menuFollowsUserRights() {
        registerWindow(QStringLiteral("mnuPay"), [] { return new QLineEdit; });
        registerWindow(QStringLiteral("mnuRegister"), [] { return new QLineEdit; });
        registerWindow(
            QStringLiteral("mnuQuery"),
            [] {
                auto* w = new QLineEdit;
                w->setObjectName(QStringLiteral("frmQuery"));
                return w;
            },
            true);
        addUser(QStringLiteral("u1"), QStringLiteral("ผู้ใช้"),
                {QStringLiteral("mnuPay"), QStringLiteral("mnuQuery"), QStringLiteral("mnuExp"),
                 QStringLiteral("mnuDelStatement")});
        Library::gUserID = QStringLiteral("u1");
        MDIForm1 main;
        main.applyRights();
        main.show();
        QApplication::setActiveWindow(&main);

        QVERIFY(main.menuAction(QStringLiteral("mnuPay"))->isEnabled());
        QVERIFY(main.menuAction(QStringLiteral("mnuQuery"))->isEnabled());
        QVERIFY(main.menuAction(QStringLiteral("mnuDelStatement"))->isEnabled());
        // Registered but not granted; granted but not built; neither.
        QVERIFY(!main.menuAction(QStringLiteral("mnuRegister"))->isEnabled());
        QVERIFY(!main.menuAction(QStringLiteral("mnuExp"))->isEnabled());
        QVERIFY(!main.menuAction(QStringLiteral("mnuDelALLTable"))->isEnabled());
        QVERIFY(!main.menuAction(QStringLiteral("mnuRepStdOrder1"))->isEnabled());
        QCOMPARE(main.menuAction(QStringLiteral("mnuPay"))->text(),
                 QStringLiteral("1.2 ชำระเงินค่าเรียน"));

        // A button of an item that is not granted does nothing.
        main.toolbar()->button(QStringLiteral("Register"))->trigger();
        main.toolbar()->button(QStringLiteral("Exp"))->trigger();
        QCOMPARE(subWindowCount(main), 0);
        QVERIFY(!main.toolbar()->button(QStringLiteral("Register"))->isEnabled());

        // Pay opens a new window each time, with the focus.
        main.toolbar()->button(QStringLiteral("Pay"))->trigger();
        QCOMPARE(subWindowCount(main), 1);
        QWidget* pay = main.mdiArea()->activeSubWindow()->widget();
        QTRY_COMPARE(QApplication::focusWidget(), pay);
        main.menuAction(QStringLiteral("mnuPay"))->trigger();
        QCOMPARE(subWindowCount(main), 2);

        // The enquiry exists once: opening it again brings it forward.
        main.toolbar()->button(QStringLiteral("Query"))->trigger();
        QMdiSubWindow* query = main.mdiArea()->activeSubWindow();
        QCOMPARE(query->widget()->objectName(), QStringLiteral("frmQuery"));
        main.mdiArea()->setActiveSubWindow(main.mdiArea()->subWindowList().first());
        main.menuAction(QStringLiteral("mnuQuery"))->trigger();
        QCOMPARE(subWindowCount(main), 3);
        QCOMPARE(main.mdiArea()->activeSubWindow(), query);

        // Once closed, it opens anew.
        query->close();
        QTRY_COMPARE(subWindowCount(main), 2);
        main.menuAction(QStringLiteral("mnuQuery"))->trigger();
        QCOMPARE(subWindowCount(main), 3);
    }

    void summaryReportsOpenViewers() {
        QFile::copy(QFINDTESTDATA("students.rpt"),
                    m_program->filePath(QStringLiteral("Report/rep0.rpt")));
        Fixture::school(QStringLiteral("Ann \"Jo\" School"));
        Fixture::student(QStringLiteral("6900002"), QStringLiteral("สมหญิง"));
        Fixture::student(QStringLiteral("6900001"), QStringLiteral("สมชาย"));
        addUser(QStringLiteral("u1"), QStringLiteral("ผู้ใช้"),
                {QStringLiteral("mnuRepStdOrder1"), QStringLiteral("mnuCountStdCourse")});
        Library::gUserID = QStringLiteral("u1");
        MDIForm1 main;
        main.applyRights();
        main.show();
        QVERIFY(main.menuAction(QStringLiteral("mnuRepStdOrder1"))->isEnabled());
        // Granted, but its report file is not there.
        QVERIFY(!main.menuAction(QStringLiteral("mnuCountStdCourse"))->isEnabled());

        // The title's date is the clock's at the click, not the working date.
        m_db->setNow(QDateTime(QDate(2026, 12, 7), QTime(0, 5)));
        Library::gToday = QStringLiteral("20261206");
        main.menuAction(QStringLiteral("mnuRepStdOrder1"))->trigger();
        main.menuAction(QStringLiteral("mnuRepStdOrder1"))->trigger();
        const QList<QMdiSubWindow*> frames = main.mdiArea()->subWindowList(QMdiArea::CreationOrder);
        QCOMPARE(frames.size(), 2);
        const QString title =
            QStringLiteral("รายงานชื่อและที่อยู่นักศึกษา เรียงตามรหัสนักศึกษา  ณ วันที่  07/12/2569");
        QCOMPARE(frames.at(0)->windowTitle(), title);
        auto* viewer = qobject_cast<frmViewReport*>(frames.at(1)->widget());
        QVERIFY(viewer);
        QCOMPARE(viewer->report().formulaValue(QStringLiteral("lblComp")),
                 QStringLiteral("Ann \"Jo\" School"));
        QCOMPARE(viewer->report().formulaValue(QStringLiteral("lblTitle")), title);
        const QString text = viewer->report().toPlainText();
        QVERIFY(text.indexOf(QStringLiteral("6900001")) < text.indexOf(QStringLiteral("6900002")));
        QVERIFY(text.contains(QStringLiteral("รวม 2 คน")));
    }

    void clearAllDataRemovesExactlyItsTables() {
        fillEveryTable();
        QMap<QString, int> before;
        for (const QString& table : keptTables)
            before.insert(table, Fixture::count(table));
        Maintenance::ClearAllData();
        for (const QString& table : clearedTables)
            QCOMPARE(Fixture::count(table), 0);
        for (const QString& table : keptTables)
            QCOMPARE(Fixture::count(table), before.value(table));
        QCOMPARE(Fixture::value(QStringLiteral("SELECT ShopBiLLNo FROM CtrlSetup")).toString(),
                 QStringLiteral("00000"));
        QCOMPARE(Fixture::value(QStringLiteral("SELECT ShopBiLLYY FROM CtrlSetup")).toString(),
                 QStringLiteral("69"));
        QCOMPARE(Fixture::value(QStringLiteral("PRAGMA freelist_count")).toInt(), 0);
    }

    void clearAllDataIsAllOrNothing() {
        fillEveryTable();
        exec(QStringLiteral("CREATE TRIGGER KeepExpense BEFORE DELETE ON Expense "
                            "BEGIN SELECT RAISE(ABORT, 'expense is locked'); END"));
        QVERIFY_THROWS_EXCEPTION(DbError, Maintenance::ClearAllData());
        for (const QString& table : clearedTables)
            QVERIFY2(Fixture::count(table) > 0, qPrintable(table));
        QCOMPARE(Fixture::value(QStringLiteral("SELECT ShopBiLLNo FROM CtrlSetup")).toString(),
                 QStringLiteral("00012"));

        // From the menu: the error is shown and the program goes on.
        Library::gUserID = QStringLiteral("admin");
        MDIForm1 main;
        main.applyRights();
        main.show();
        ScriptedMessages messages;
        messages.answer({Library::vbYes});
        main.menuAction(QStringLiteral("mnuDelALLTable"))->trigger();
        QCOMPARE(messages.questions.size(), 1);
        QCOMPARE(messages.errors.size(), 1);
        QVERIFY(messages.errors.first().contains(QStringLiteral("expense is locked")));
        QVERIFY(!main.hasEnded());
        QVERIFY(main.isVisible());
    }

    void clearAllDataFromMenuAsksThenEnds() {
        fillEveryTable();
        Library::gUserID = QStringLiteral("admin");
        MDIForm1 main;
        main.applyRights();
        main.show();
        ScriptedMessages messages;
        messages.answer({Library::vbNo, Library::vbYes});
        main.menuAction(QStringLiteral("mnuDelALLTable"))->trigger();
        QCOMPARE(Fixture::count(QStringLiteral("Student")), 1);
        QVERIFY(!main.hasEnded());
        main.menuAction(QStringLiteral("mnuDelALLTable"))->trigger();
        QCOMPARE(messages.questions.size(), 2);
        QVERIFY(messages.errors.isEmpty());
        QVERIFY(main.hasEnded());
        QVERIFY(!main.isVisible());
        QCOMPARE(Fixture::count(QStringLiteral("Student")), 0);
    }

    void purgeStatementsUpToTheDay() {
        Fixture::student(QStringLiteral("6900001"), QStringLiteral("สมชาย"));
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900001"),
                              Money::fromBaht(150));
        bill(QStringLiteral("6900001"), QStringLiteral("20261130"), 2);
        bill(QStringLiteral("6900002"), QStringLiteral("20261201"), 1);
        bill(QStringLiteral("6900003"), QStringLiteral("20261202"), 3);
        QCOMPARE(Maintenance::PurgeStatements(QStringLiteral("20261201")), 2);
        QCOMPARE(Fixture::count(QStringLiteral("Statement")), 1);
        QCOMPARE(Fixture::count(QStringLiteral("StatementSub")), 3);
        QCOMPARE(
            Fixture::count(QStringLiteral("StatementSub"), QStringLiteral("StmID = '6900003'")), 3);
        QCOMPARE(Fixture::count(QStringLiteral("StudentCourse")), 1);

        // All or nothing: a bill that cannot go keeps its lines too.
        exec(QStringLiteral("CREATE TRIGGER KeepBills BEFORE DELETE ON Statement "
                            "BEGIN SELECT RAISE(ABORT, 'bills are locked'); END"));
        QVERIFY_THROWS_EXCEPTION(DbError, Maintenance::PurgeStatements(QStringLiteral("20261231")));
        QCOMPARE(Fixture::count(QStringLiteral("StatementSub")), 3);
    }

    void purgeStatementsFromMenu() {
        Fixture::student(QStringLiteral("6900001"), QStringLiteral("สมชาย"));
        bill(QStringLiteral("6900001"), QStringLiteral("20261130"), 2);
        bill(QStringLiteral("6900002"), QStringLiteral("20261203"), 1);
        addUser(QStringLiteral("u1"), QStringLiteral("ผู้ใช้"), {QStringLiteral("mnuDelStatement")});
        Library::gUserID = QStringLiteral("u1");
        MDIForm1 main;
        main.applyRights();
        ScriptedMessages messages;
        ScriptedDialogs dialogs;
        messages.answer({Library::vbNo, Library::vbYes});
        QString shownDate;
        dialogs.then([&](QDialog& dialog) {
            auto& form = dynamic_cast<frmDelStatement&>(dialog);
            form.dtpDate->setDate(QDate(2026, 12, 1));
            shownDate = form.lblDate->text();
            form.cmdOK->click(); // answered No: nothing goes, the dialog stays
            if (form.result() == QDialog::Accepted ||
                Fixture::count(QStringLiteral("Statement")) != 2)
                return -1;
            form.cmdOK->click();
            return form.result();
        });
        main.menuAction(QStringLiteral("mnuDelStatement"))->trigger();
        QCOMPARE(dialogs.shown, 1);
        QCOMPARE(shownDate, QStringLiteral("01/12/2569"));
        QCOMPARE(messages.questions.size(), 2);
        QVERIFY(messages.questions.first().contains(QStringLiteral("01/12/2569")));
        QCOMPARE(Fixture::count(QStringLiteral("Statement")), 1);
        QCOMPARE(Fixture::count(QStringLiteral("StatementSub")), 1);
    }
};

QTEST_MAIN(tst_shell)
#include "tst_shell.moc"
