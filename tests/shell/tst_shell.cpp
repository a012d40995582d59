#include "core/Database.h"
#include "core/Seams.h"
#include "frame/DateBox.h"
#include "frame/KeyToolbar.h"
#include "frame/Library.h"
#include "report/Report.h"
#include "report/viewer/frmViewReport.h"
#include "shell/MDIForm1.h"
#include "shell/MenuItems.h"
#include "shell/MenuRightStore.h"
#include "shell/SchoolDataStore.h"
#include "shell/UserStore.h"
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
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSqlDriver>
#include <QTest>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace {

void exec(const char* sql, const QVariantList& params = {}) {
    Connection::shared().exec(QString::fromLatin1(sql), params);
}

int count(const char* table, const char* where = "") {
    return Fixture::count(QString::fromLatin1(table), QString::fromLatin1(where));
}

QString text(const char* sql) {
    return Fixture::value(QString::fromLatin1(sql)).toString();
}

const char* const clearedTables[] = {"Course",           "CourseTable",      "Teacher",
                                     "TeacherCourse",    "Student",          "StudentCourse",
                                     "Statement",        "StatementSub",     "TimeStamp",
                                     "TimeStampTeacher", "TimeStampStudent", "Expense"};
const char* const keptTables[] = {"Subject",  "CourseLevel", "CtrlSetup",
                                  "CtrlUser", "CtrlMenu",    "UserMenu"};

// Fills the login dialog and presses OK; the dialog's result is returned.
std::function<int(QDialog&)> login(const QString& user, const QString& password,
                                   const QString& name = {}) {
    return [=](QDialog& dialog) {
        auto& form = dynamic_cast<frmLogin&>(dialog);
        form.txtUserID->setText(user);
        form.txtUserName->setText(name);
        form.txtPassword->setText(password);
        form.pressButton(QStringLiteral("OK"));
        return form.result();
    };
}

int subWindowCount(const MDIForm1& main) {
    return static_cast<int>(main.mdiArea()->subWindowList().size());
}

// The main window of a logged-in user, its menu set by the user's rights.
std::unique_ptr<MDIForm1> mainWindowOf(const QString& user) {
    Library::gUserID = user;
    auto main = std::make_unique<MDIForm1>();
    main->applyRights();
    main->show();
    QApplication::setActiveWindow(main.get());
    return main;
}

} // namespace

class tst_shell : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    QDir m_program; // the database's temporary folder

private slots:
    void init() {
        m_db = std::make_unique<TestDatabase>();
        m_program = QFileInfo(m_db->path()).dir();
        m_program.mkpath(QStringLiteral("Report"));
        Seams::setProgramFolder(m_program.path());
        Library::gUserID.clear();
        Library::gToday.clear();
    }

    void cleanup() {
        deleteWindows();
        Seams::setProgramFolder({});
        Seams::setNetworkCheck({});
        m_db.reset();
    }

    void startUpCreatesTheDatabaseThenAsksForALogin() {
        // A file that does not exist yet: start-up creates it once confirmed and asks for the
        // first user.
        Connection::shared().close();
        const QString path = m_program.filePath(QStringLiteral("new/Vadel.db"));
        QDir().mkpath(QFileInfo(path).path());
        Seams::setDatabasePath(path);
        const QString user = QStringLiteral("boss");
        const QString password = QStringLiteral("p'w");
        ScriptedMessages messages;
        messages.answer({Library::vbYes});
        bool firstUser = false;
        {
            ScriptedDialogs dialogs;
            dialogs.then([&](QDialog& dialog) {
                auto& form = dynamic_cast<frmLogin&>(dialog);
                firstUser = form.isFirstUser() && form.txtUserName->isVisibleTo(&form);
                checkLayout(&form);
                // A missing name is refused and the dialog stays.
                if (login(user, password)(dialog) == QDialog::Accepted)
                    return static_cast<int>(QDialog::Accepted);
                return login(user, password, QStringLiteral("คุณ O'Brien"))(dialog);
            });
            MDIForm1 main;
            QCOMPARE(main.startUp(), MDIForm1::StartResult::Ready);
            QVERIFY(firstUser);
            QCOMPARE(messages.questions.size(), 1);
            QVERIFY(messages.questions.first().contains(path));
            QCOMPARE(messages.errors.size(), 1);
            QCOMPARE(Library::gUserID, user);
            QCOMPARE(Library::gToday, QStringLiteral("20261206"));
            QVERIFY(text("SELECT UserPassword FROM CtrlUser WHERE UserID = 'boss'")
                        .startsWith(QStringLiteral("$argon2id$")));
            QCOMPARE(count("UserMenu", "UserID = 'boss'"), static_cast<int>(menuItems().size()));
            QCOMPARE(main.userLabel()->text(), QStringLiteral("ผู้ใช้ : คุณ O'Brien"));
        }
        // Closing the login ends the program.
        Library::gUserID.clear();
        {
            ScriptedDialogs dialogs;
            MDIForm1 main;
            QCOMPARE(main.startUp(), MDIForm1::StartResult::LoginClosed);
            QCOMPARE(dialogs.classNames, QStringList(QStringLiteral("frmLogin")));
            QVERIFY(Library::gUserID.isEmpty());
        }
        // The next start asks for a login, which stays after a wrong password or user.
        Fixture::school(QStringLiteral("K'Academy"));
        messages.clear();
        ScriptedDialogs dialogs;
        QList<int> tries;
        dialogs.then([&](QDialog& dialog) {
            firstUser = dynamic_cast<frmLogin&>(dialog).isFirstUser();
            // The code in other letter case is the same user.
            tries << login(user, QStringLiteral("wrong"))(dialog)
                  << login(QStringLiteral("nobody"), password)(dialog)
                  << login(user.toUpper(), password)(dialog);
            return tries.last();
        });
        MDIForm1 main;
        QCOMPARE(main.startUp(), MDIForm1::StartResult::Ready);
        QVERIFY(!firstUser);
        QCOMPARE(tries, QList<int>({QDialog::Rejected, QDialog::Rejected, QDialog::Accepted}));
        QCOMPARE(messages.errors, QStringList(2, QStringLiteral("รหัสผู้ใช้หรือรหัสผ่านไม่ถูกต้อง")));
        QCOMPARE(Library::gUserID, user);
        QCOMPARE(main.windowTitle(), QStringLiteral("K'Academy"));
        Seams::setDatabasePath(m_db->path());
    }

    // The menu bar, its separators and the toolbar as the clerk sees them, and the rights'
    // items in menu order with the menu's captions.
    void menuAndToolbarAsShown() {
        UserStore::createWithAllRights(QStringLiteral("u1"), QStringLiteral("ผู้ใช้"),
                                       QStringLiteral("secret"));
        std::unique_ptr<MDIForm1> main = mainWindowOf(QStringLiteral("u1"));
        QStringList shown;
        const std::function<void(const QList<QAction*>&, const QString&)> list =
            [&](const QList<QAction*>& actions, const QString& indent) {
                for (const QAction* action : actions) {
                    if (action->isSeparator()) {
                        shown << indent + QStringLiteral("--- ") + action->objectName();
                    } else if (const QMenu* menu = action->menu()) {
                        shown << indent + menu->objectName() + QStringLiteral(" | ") +
                                     action->text();
                        list(menu->actions(), indent + QStringLiteral("  "));
                    } else {
                        shown << indent + action->objectName() + QStringLiteral(" | ") +
                                     action->text();
                    }
                }
            };
        list(main->menuBar()->actions(), QString());
        const QStringList menu = {
            u"mnuDaily | 1. งานประจำวัน"_s,
            u"  mnuRegister | 1.1 ลงทะเบียนเรียน"_s,
            u"  mnuPay | 1.2 ชำระเงินค่าเรียน"_s,
            u"  mnuExp | 1.3 รับ/จ่าย อื่นๆ"_s,
            u"  mnuBiLLCancel | 1.4 ยกเลิกใบเสร็จ"_s,
            u"  mnuPoint | 1.5 ลงคะแนน"_s,
            u"  mnuGrade | 1.6 ลงเกรด"_s,
            u"  mnuTimeStamp | 1.7 บันทึกการเข้าชั้นเรียน"_s,
            u"  mnuQuery | 1.8 สอบถามข้อมูลนักศึกษา"_s,
            u"mnuReport | 2. รายงาน"_s,
            u"  mnuDailyRep | 2.1 รายงานประจำวัน"_s,
            u"  --- mnuLine21"_s,
            u"  mnuStudentRep | 2.2 รายชื่อและที่อยู่นักศึกษา"_s,
            u"    mnuRepStdOrder1 | 2.2.1 เรียงตามรหัสนักศึกษา"_s,
            u"    mnuRepStdOrder2 | 2.2.2 เรียงตามชื่อ"_s,
            u"    mnuRepStdOrder3 | 2.2.3 เรียงตามระดับการเรียน"_s,
            u"  mnuCountStdCourse | 2.3 รายงานสรุปจำนวนนักศึกษาในแต่ละวิชา, ระดับ, คอร์ส"_s,
            u"  --- mnuLine22"_s,
            u"  mnuRemainStdRep | 2.4 รายชื่อนักศึกษาที่ค้างชำระค่าเรียน"_s,
            u"  mnuCourseReceiptRep | 2.5 รายงานรายได้ต่อคอร์ส"_s,
            u"  mnuLevelReceiptRep | 2.6 รายงานรายได้ต่อระดับ"_s,
            u"  mnuSubjectReceiptRep | 2.7 รายงานรายได้ต่อวิชา"_s,
            u"  mnuRemainLevelRep | 2.8 รายงานยอดค้างชำระ"_s,
            u"mnuMaster | 3. ข้อมูลหลัก"_s,
            u"  mnuCourseTable | 3.4 วิชาที่เปิดสอน"_s,
            u"mnuSystem | 4. ระบบ"_s,
            u"  mnuDelStatement | 4.1 ลบใบเสร็จเก่า"_s,
            u"  mnuDelALLTable | 4.2 ล้างข้อมูลทั้งหมด"_s,
            u"  --- "_s,
            u"  mnuExit | ออกจากโปรแกรม"_s,
        };
        QCOMPARE(shown, menu);

        QStringList buttons;
        for (const QAction* action : main->toolbar()->actions())
            buttons << (action->isSeparator() ? u"---"_s
                                              : action->text() + u" | "_s + action->toolTip());
        QCOMPARE(
            buttons,
            QStringList({u"ลงทะเบียน | 1.1 ลงทะเบียนเรียน"_s, u"ชำระเงิน | 1.2 ชำระเงินค่าเรียน"_s,
                         u"รับ/จ่าย | 1.3 รับ/จ่าย อื่นๆ"_s, u"คะแนน | 1.5 ลงคะแนน"_s,
                         u"เกรด | 1.6 ลงเกรด"_s, u"เข้าชั้นเรียน | 1.7 บันทึกการเข้าชั้นเรียน"_s,
                         u"สอบถาม | 1.8 สอบถามข้อมูลนักศึกษา"_s, u"---"_s, u"ออก | ออกจากโปรแกรม"_s}));
        int at = 0;
        for (const char* key :
             {"Register", "Pay", "Exp", "Point", "Grade", "TimeStamp", "Query", "", "Exit"})
            if (*key)
                QCOMPARE(main->toolbar()->actions().at(at++),
                         main->toolbar()->button(QString::fromLatin1(key)));
            else
                ++at;

        QStringList rights;
        Query query = Connection::shared().exec(
            u"SELECT MnuName, MnuCaption FROM CtrlMenu ORDER BY MnuOrder"_s);
        while (query.next())
            rights << query.value(0).toString() + u" | "_s + query.value(1).toString();
        QStringList items;
        for (const QString& line : menu)
            if (line.startsWith(u"  "_s) && !line.contains(u"---"_s) &&
                !line.contains(u"mnuStudentRep"_s) && !line.contains(u"mnuExit"_s))
                items << line.trimmed();
        QCOMPARE(rights, items);
    }

    void menuFollowsUserRightsAndOpensWindows() {
        for (const char* menu : {"mnuRegister", "mnuQuery"})
            registerWindow(
                QString::fromLatin1(menu), [] { return new QLineEdit; },
                menu == std::string_view("mnuQuery"));
        // A window that puts the focus in its second box when it is made.
        registerWindow(QStringLiteral("mnuPay"), [] {
            auto* window = new QWidget;
            new QLineEdit(window);
            (new QLineEdit(window))->setFocus();
            return window;
        });
        QFile::copy(QFINDTESTDATA("students.rpt"),
                    m_program.filePath(QStringLiteral("Report/rep0.rpt")));
        UserStore::createWithAllRights(QStringLiteral("u1"), QStringLiteral("ผู้ใช้"),
                                       QStringLiteral("secret"));
        exec("DELETE FROM UserMenu WHERE UserID = 'u1' AND MnuID NOT IN (SELECT MnuID FROM "
             "CtrlMenu WHERE MnuName IN ('mnuPay', 'mnuQuery', 'mnuExp', 'mnuDelStatement', "
             "'mnuRepStdOrder1', 'mnuCountStdCourse'))");
        ScriptedMessages messages;
        std::unique_ptr<MDIForm1> main = mainWindowOf(QStringLiteral("u1"));
        // Granted (a report also when its file is not there); registered but not granted;
        // neither.
        for (const char* menu :
             {"mnuPay", "mnuQuery", "mnuDelStatement", "mnuRepStdOrder1", "mnuCountStdCourse"})
            QVERIFY2(main->menuAction(QString::fromLatin1(menu))->isEnabled(), menu);
        for (const char* menu : {"mnuRegister", "mnuExp", "mnuDelALLTable"})
            QVERIFY2(!main->menuAction(QString::fromLatin1(menu))->isEnabled(), menu);

        // A button of an item that is not granted does nothing.
        main->toolbar()->button(QStringLiteral("Register"))->trigger();
        main->toolbar()->button(QStringLiteral("Exp"))->trigger();
        QCOMPARE(subWindowCount(*main), 0);

        // Pay opens a new window each time, with the focus where the window put it.
        main->toolbar()->button(QStringLiteral("Pay"))->trigger();
        QCOMPARE(subWindowCount(*main), 1);
        QTRY_COMPARE(
            QApplication::focusWidget(),
            main->mdiArea()->activeSubWindow()->widget()->findChildren<QLineEdit*>().last());
        main->menuAction(QStringLiteral("mnuPay"))->trigger();
        QCOMPARE(subWindowCount(*main), 2);

        // The enquiry exists once: opening it again brings it forward; once closed, it opens anew.
        main->toolbar()->button(QStringLiteral("Query"))->trigger();
        QMdiSubWindow* query = main->mdiArea()->activeSubWindow();
        main->mdiArea()->setActiveSubWindow(main->mdiArea()->subWindowList().first());
        main->menuAction(QStringLiteral("mnuQuery"))->trigger();
        QCOMPARE(subWindowCount(*main), 3);
        QCOMPARE(main->mdiArea()->activeSubWindow(), query);
        query->close();
        QTRY_COMPARE(subWindowCount(*main), 2);
        main->menuAction(QStringLiteral("mnuQuery"))->trigger();
        QCOMPARE(subWindowCount(*main), 3);

        // A summary report: its title's date is the clock's at the click, not the working date.
        Fixture::student(QStringLiteral("6900002"), QStringLiteral("สมหญิง"));
        Fixture::student(QStringLiteral("6900001"), QStringLiteral("สมชาย"));
        m_db->setNow(QDateTime(QDate(2026, 12, 7), QTime(0, 5)));
        Library::gToday = QStringLiteral("20261206");
        main->menuAction(QStringLiteral("mnuRepStdOrder1"))->trigger();
        QCOMPARE(subWindowCount(*main), 4);
        auto* viewer = qobject_cast<frmViewReport*>(main->mdiArea()->activeSubWindow()->widget());
        QVERIFY(viewer);
        QCOMPARE(viewer->report().formulaValue(QStringLiteral("lblTitle")),
                 QStringLiteral("รายงานชื่อและที่อยู่นักศึกษา เรียงตามรหัสนักศึกษา  ณ วันที่  07/12/2569"));
        const QString text = viewer->report().toPlainText();
        QVERIFY(text.indexOf(QStringLiteral("6900001")) < text.indexOf(QStringLiteral("6900002")));
        QVERIFY(text.contains(QStringLiteral("รวม 2 คน")));

        // A report whose file is missing at the click: an error box naming it, no viewer.
        main->menuAction(QStringLiteral("mnuCountStdCourse"))->trigger();
        QCOMPARE(messages.errors,
                 QStringList{QStringLiteral("ไม่พบไฟล์รายงาน ") +
                             m_program.filePath(QStringLiteral("Report/rep1.rpt"))});
        QCOMPARE(subWindowCount(*main), 4);
    }

    // Each maintenance action asks first (No keeps everything) and removes exactly its rows,
    // all or nothing: a failure shows the error, keeps every row and the program goes on.
    void maintenanceRemovesExactlyItsRows() {
        // One row in every table of the school's data, and the shell's own tables.
        Fixture::school(QStringLiteral("โรงเรียนทดสอบ"));
        Fixture::level(QStringLiteral("ม.1"));
        Fixture::subject(QStringLiteral("คณิตศาสตร์"));
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คอร์สปกติ"));
        Fixture::teacher(QStringLiteral("T01"), QStringLiteral("ครูสมศรี"));
        Fixture::student(QStringLiteral("6900001"), QStringLiteral("สมชาย ใจดี"));
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money::fromBaht(2500));
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900001"));
        // Three bills with 2, 1 and 3 lines.
        for (const auto& [id, date, lines] :
             {std::tuple{"6900001", "20261130", 2}, std::tuple{"6900002", "20261201", 1},
              std::tuple{"6900003", "20261202", 3}}) {
            exec("INSERT INTO Statement (StmID, StmDate, StdID, StmNetAmt, StmDocNo, IsCancel, "
                 "UserID) VALUES (?, ?, '6900001', 100, '69-00001', '0', 'admin')",
                 {QString::fromLatin1(id), QString::fromLatin1(date)});
            for (int item = 1; item <= lines; ++item)
                exec("INSERT INTO StatementSub (StmID, StmItem, CourseNo, StmAmt, StmOBal) "
                     "VALUES (?, ?, '6900001', 50, 0)",
                     {QString::fromLatin1(id), item});
        }
        for (const char* sql :
             {"INSERT INTO TeacherCourse (CourseNo, TechID, TechRateAmt) VALUES ('6900001', 'T01', "
              "300)",
              "INSERT INTO [TimeStamp] (StmID, CourseNo, StmDate, StmItem) "
              "VALUES ('2026000001', '6900001', '20261201', 1)",
              "INSERT INTO TimeStampTeacher (StmID, TechID) VALUES ('2026000001', 'T01')",
              "INSERT INTO TimeStampStudent (StmID, StdID) VALUES ('2026000001', '6900001')",
              "INSERT INTO Expense (ExpID, ExpDate, ExpDesc, ExpCrAmt, ExpDbAmt) "
              "VALUES ('6900001', '20261201', 'x', 0, 500)",
              "UPDATE CtrlSetup SET ShopBiLLYY = '69', ShopBiLLNo = '00012'"})
            exec(sql);
        UserStore::createWithAllRights(QStringLiteral("admin"), QStringLiteral("ผู้ดูแล"),
                                       QStringLiteral("pw"));
        QMap<QString, int> before;
        for (const char* table : keptTables)
            before.insert(QString::fromLatin1(table), count(table));
        std::unique_ptr<MDIForm1> main = mainWindowOf(QStringLiteral("admin"));
        ScriptedMessages messages;
        ScriptedDialogs dialogs;

        // Bills up to the day asked go with their lines; the day is confirmed first.
        messages.answer({Library::vbNo, Library::vbYes});
        QString shownDate;
        dialogs.then([&](QDialog& dialog) {
            auto& form = dynamic_cast<frmDelStatement&>(dialog);
            checkLayout(&form);
            form.dtpDate->setDate(QDate(2026, 12, 1));
            shownDate = form.dtpDate->text();
            form.pressButton(QStringLiteral("OK")); // answered No: nothing goes, the dialog stays
            if (form.result() == QDialog::Accepted || count("Statement") != 3)
                return -1;
            form.pressButton(QStringLiteral("OK"));
            return form.result();
        });
        main->menuAction(QStringLiteral("mnuDelStatement"))->trigger();
        QCOMPARE(shownDate, QStringLiteral("01/12/2569"));
        QCOMPARE(messages.questions.size(), 2);
        QVERIFY(messages.questions.first().contains(QStringLiteral("01/12/2569")));
        QCOMPARE(count("Statement"), 1);
        QCOMPARE(count("StatementSub", "StmID = '6900003'"), 3);
        QCOMPARE(count("StatementSub"), 3);
        for (const char* table : clearedTables)
            QVERIFY2(count(table) > 0, table);
        exec("CREATE TRIGGER KeepBills BEFORE DELETE ON Statement "
             "BEGIN SELECT RAISE(ABORT, 'bills are locked'); END");
        QVERIFY_THROWS_EXCEPTION(DbError,
                                 SchoolDataStore::PurgeStatements(QStringLiteral("20261231")));
        QCOMPARE(count("StatementSub"), 3);

        // Clearing all data: the bill number (not its year) starts again and the program ends.
        messages.clear();
        messages.answer({Library::vbNo, Library::vbYes, Library::vbYes});
        QAction* clear = main->menuAction(QStringLiteral("mnuDelALLTable"));
        clear->trigger();
        clear->trigger();
        QCOMPARE(messages.errors.size(), 1);
        QVERIFY(messages.errors.first().contains(QStringLiteral("bills are locked")));
        QVERIFY(!main->hasEnded() && main->isVisible());
        for (const char* table : clearedTables)
            QVERIFY2(count(table) > 0, table);
        QCOMPARE(text("SELECT ShopBiLLNo FROM CtrlSetup"), QStringLiteral("00012"));

        exec("DROP TRIGGER KeepBills");
        clear->trigger();
        QCOMPARE(messages.questions.size(), 3);
        QVERIFY(main->hasEnded() && !main->isVisible());
        for (const char* table : clearedTables)
            QVERIFY2(count(table) == 0, table);
        for (const char* table : keptTables)
            QVERIFY2(count(table) == before.value(QString::fromLatin1(table)), table);
        QCOMPARE(text("SELECT ShopBiLLYY || '-' || ShopBiLLNo FROM CtrlSetup"),
                 QStringLiteral("69-00000"));
        QCOMPARE(text("PRAGMA freelist_count"), QStringLiteral("0"));
    }

    // When only the compaction fails (another desk, under the rollback journal, starts reading
    // between the deletes and the compaction), the program says that the data is cleared and
    // the file not compacted, and ends.
    void clearingEndsTheProgramWhenOnlyCompactionFails() {
        Seams::setNetworkCheck([](const QString&) { return true; });
        Connection::shared().close();
        Fixture::student(QStringLiteral("6900001"), QStringLiteral("สมชาย ใจดี"));
        exec("UPDATE CtrlSetup SET ShopBiLLNo = '00012'");
        UserStore::createWithAllRights(QStringLiteral("admin"), QStringLiteral("ผู้ดูแล"),
                                       QStringLiteral("pw"));
        std::unique_ptr<MDIForm1> main = mainWindowOf(QStringLiteral("admin"));
        ScriptedMessages messages;
        messages.answer({Library::vbYes});

        struct Desk {
            QByteArray path;
            sqlite3* reader = nullptr;
        } desk{QFile::encodeName(m_db->path()), nullptr};
        const QVariant handle = Connection::shared().database().driver()->handle();
        sqlite3* program = *static_cast<sqlite3* const*>(handle.constData());
        sqlite3_busy_timeout(program, 200); // the other desk reads on: no need to wait long
        sqlite3_trace_v2(
            program, SQLITE_TRACE_STMT,
            [](unsigned, void* context, void*, void* sql) {
                auto* other = static_cast<Desk*>(context);
                if (qstrcmp(static_cast<const char*>(sql), "VACUUM") == 0 && !other->reader &&
                    sqlite3_open(other->path.constData(), &other->reader) == SQLITE_OK)
                    sqlite3_exec(other->reader, "BEGIN; SELECT count(*) FROM CtrlSetup;", nullptr,
                                 nullptr, nullptr);
                return 0;
            },
            &desk);
        main->menuAction(QStringLiteral("mnuDelALLTable"))->trigger();
        QVERIFY(desk.reader);
        QCOMPARE(messages.errors.size(), 1);
        QVERIFY2(messages.errors.first().startsWith(
                     QStringLiteral("ล้างข้อมูลทั้งหมดแล้ว แต่ย่อแฟ้มฐานข้อมูลไม่ได้")) &&
                     messages.errors.first().contains(QStringLiteral("locked")),
                 qPrintable(messages.errors.first()));
        QVERIFY(main->hasEnded() && !main->isVisible());
        QVERIFY(!Connection::shared().isOpen());
        QCOMPARE(count("Student"), 0);
        QCOMPARE(text("SELECT ShopBiLLNo FROM CtrlSetup"), QStringLiteral("00000"));
        sqlite3_close_v2(desk.reader);
    }
};

QTEST_MAIN(tst_shell)
#include "tst_shell.moc"
