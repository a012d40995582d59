#include "billing/frmDate.h"
#include "billing/frmPay.h"
#include "billing/frmPayAmt.h"
#include "billing/frmRegister.h"
#include "core/Database.h"
#include "core/Seams.h"
#include "frame/DialogSeams.h"
#include "frame/ElidedLabel.h"
#include "frame/FormBase.h"
#include "frame/KeyToolbar.h"
#include "frame/Library.h"
#include "frame/ListView.h"
#include "reference/frmFindStd.h"
#include "reference/frmFindTech.h"
#include "reference/frmListCourse.h"
#include "report/Report.h"
#include "report/viewer/LibraryReports.h"
#include "report/viewer/frmViewReport.h"
#include "results/frmStudentHis.h"
#include "results/frmStudentStm.h"
#include "results/frmTimeStampSub.h"
#include "shell/MDIForm1.h"
#include "shell/WindowRegistry.h"
#include "shell/frmDelStatement.h"
#include "shell/frmLogin.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QScreen>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>

namespace {

// A school with two classes of a long-named course and a pupil registered on both.
void school() {
    Fixture::school();
    Fixture::level(QStringLiteral("ม.1"));
    Fixture::subject(QStringLiteral("คณิตศาสตร์"));
    Fixture::course(QStringLiteral("C01"), QStringLiteral("คอร์สเตรียมสอบเข้ามหาวิทยาลัย"));
    Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money::fromBaht(12500));
    Fixture::classRow(QStringLiteral("6900002"), QStringLiteral("C01"), Money::fromBaht(3500),
                      QStringLiteral("ม.6"), QStringLiteral("ภาษาอังกฤษ"));
    Fixture::student(QStringLiteral("6900001"), QStringLiteral("เด็กชายธนกร พรหมมา"),
                     QStringLiteral("กร"), QStringLiteral("25/3 ถนนงามวงศ์วาน\r\nนนทบุรี 11000"));
    Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900001"));
    Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900002"),
                          Money::fromBaht(500));
}

// The frame of the active window inside the main window lies in its work area.
void checkInsideWorkArea(const MDIForm1& main) {
    QCoreApplication::processEvents();
    const QMdiSubWindow* frame = main.mdiArea()->activeSubWindow();
    QVERIFY(frame);
    QVERIFY2(main.mdiArea()->viewport()->rect().contains(frame->geometry()),
             qPrintable(QString::fromLatin1(frame->widget()->metaObject()->className()) +
                        QStringLiteral(" opens larger than the main window's work area")));
}

// Lays the window out in each of its modes, with each page of its list and panel.
void checkEveryMode(QWidget* window, const std::function<void()>& alsoCheck) {
    auto* frame = dynamic_cast<WindowFrame*>(window);
    const int modes = frame ? std::max(frame->modeCount(), 1) : 1;
    const QList<QStackedWidget*> stacks = window->findChildren<QStackedWidget*>();
    for (int mode = 0; mode < modes; ++mode) {
        if (frame && frame->modeCount() > 0)
            frame->setMode(mode);
        for (int page = 0; page < (stacks.isEmpty() ? 1 : stacks.first()->count()); ++page) {
            for (QStackedWidget* stack : stacks)
                stack->setCurrentIndex(std::min(page, stack->count() - 1));
            checkLayout(window);
            alsoCheck();
        }
    }
}

// The two rules stand above the toolbar in the enquiry and the daily reports, and
// above the key hint (below the toolbar) in every other window.
void checkRulesPlace(const QString& name, QWidget* window) {
    const bool aboveToolbar =
        name == QStringLiteral("mnuQuery") || name == QStringLiteral("mnuDailyRep");
    const int toolbarTop = window->findChild<KeyToolbar*>()->mapTo(window, QPoint(0, 0)).y();
    for (const char* rule : {"Line1", "Line2"}) {
        const int top =
            window->findChild<QWidget*>(QString::fromLatin1(rule))->mapTo(window, QPoint(0, 0)).y();
        QVERIFY2((top < toolbarTop) == aboveToolbar,
                 qPrintable(name + QLatin1Char(' ') + QString::fromLatin1(rule)));
    }
}

} // namespace

class tst_windows : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;

private slots:
    void init() {
        m_db = std::make_unique<TestDatabase>();
        school();
    }
    void cleanup() {
        qDeleteAll(QApplication::topLevelWidgets());
        m_db.reset();
    }

    // Every window of the main window and every dialog opens at a size that shows all
    // of its controls, none over another, inside the main window's work area.
    void everyWindowAndDialogLaysOut() {
        ScriptedMessages messages;
        std::unique_ptr<MDIForm1> main = adminMainWindow();
        QVERIFY(!main->windowIcon().isNull());
        for (const QString& name : registeredWindows()) {
            main->menuAction(name)->trigger();
            QMdiSubWindow* frame = main->mdiArea()->activeSubWindow();
            QVERIFY2(frame, qPrintable(name));
            checkEveryMode(frame->widget(), [&main] { checkInsideWorkArea(*main); });
            // A pupil's code is called by one word everywhere, as in the messages, but
            // for the caption of the registration's code box.
            for (const QLabel* label : frame->widget()->findChildren<QLabel*>())
                QVERIFY2(!label->text().contains(QStringLiteral("รหัสนักเรียน")) ||
                             (name == QStringLiteral("mnuRegister") &&
                              label->text() == QStringLiteral("รหัสนักเรียน :")),
                         qPrintable(name));
            checkRulesPlace(name, frame->widget());
            QCOMPARE(frame->windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
            frame->close();
        }

        std::unique_ptr<Report> report = Library::OpenReport(QStringLiteral("rep7.rpt"));
        QVERIFY(report && Library::ShowReport(*report, QStringLiteral("รายชื่อ"),
                                              QStringLiteral("SELECT * FROM QStudentCourse3")));
        checkLayout(main->mdiArea()->activeSubWindow()->widget());
        checkInsideWorkArea(*main);

        // Owned by the main window; each is deleted once checked.
        auto* students = new frmFindStd(main.get());
        ListView::addRow(
            students->ListView1,
            {QStringLiteral("6900001"), QStringLiteral("เด็กชายธนกร พรหมมา"), QStringLiteral("กร")});
        auto* lesson = new frmTimeStampSub(main.get());
        lesson->doAdd(QStringLiteral("6900001"));
        auto* classes = new frmStudentHis(main.get());
        classes->InitData(QStringLiteral("6900001"), QStringLiteral("1"), QStringLiteral("คอร์ส"));
        auto* payments = new frmStudentStm(main.get());
        payments->InitData(QStringLiteral("6900001"), QStringLiteral("ประวัติการชำระเงิน"));
        QList<QDialog*> dialogs{new frmListCourse(main.get()),
                                new frmPayAmt(main.get()),
                                students,
                                new frmFindTech(main.get()),
                                new frmDate(main.get()),
                                lesson,
                                classes,
                                payments,
                                new frmDelStatement(main.get()),
                                new frmLogin(main.get())};
        Connection::shared().exec(QStringLiteral("DELETE FROM CtrlUser"));
        dialogs << new frmLogin(main.get()); // the first user's
        for (QDialog* dialog : std::as_const(dialogs)) {
            checkLayout(dialog);
            QVERIFY2(dialog->width() <= main->width() && dialog->height() <= main->height(),
                     dialog->metaObject()->className());
            QCOMPARE(dialog->windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
            delete dialog;
        }
        QCOMPARE(messages.all, QStringList());
    }

    // On a screen of any size the main window opens over its whole work area.
    void mainWindowOpensOnTheWholeScreen() {
        MDIForm1 main;
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        QTRY_COMPARE(main.frameGeometry(), main.screen()->availableGeometry());
    }

    // The class windows in their list state show each caption of the editor row whole in
    // front of its box, and so does a pupil's long name; a report viewer opened from one of
    // them lies inside the work area.
    void classWindowsWithTheirListsLayOut() {
        ScriptedMessages messages;
        ScriptedDialogs dialogs;
        Fixture::student(QStringLiteral("6900002"),
                         QStringLiteral("เด็กหญิงกัญญาณัฐพัชร์ ศรีสุวรรณวงศ์ไพศาลกุล"));
        Fixture::registration(QStringLiteral("6900002"), QStringLiteral("6900001"));
        std::unique_ptr<MDIForm1> main = adminMainWindow();
        for (const QString& name : {QStringLiteral("mnuPoint"), QStringLiteral("mnuGrade")}) {
            main->menuAction(name)->trigger();
            QMdiSubWindow* frame = main->mdiArea()->activeSubWindow();
            dialogs.then([](QDialog& dialog) {
                auto& picker = dynamic_cast<frmListCourse&>(dialog);
                picker.IsOK = true;
                picker.CourseNo = QStringLiteral("6900001");
                return int(QDialog::Accepted);
            });
            auto* window = dynamic_cast<WindowFrame*>(frame->widget());
            window->pressButton(QStringLiteral("Course"));
            if (name == QStringLiteral("mnuPoint"))
                window->pressButton(QStringLiteral("Point"));
            auto* list = frame->widget()->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
            QCOMPARE(ListView::count(list), 2);
            QCOMPARE(frame->widget()->findChild<QLabel*>(QStringLiteral("lblStdName"))->text(),
                     QStringLiteral("เด็กชายธนกร พรหมมา"));
            ListView::select(list, 2);
            checkLayout(frame->widget());
            checkInsideWorkArea(*main);
            for (const QLabel* label : frame->widget()->findChildren<QLabel*>())
                if (label->text().endsWith(QStringLiteral(" :")) &&
                    label->parentWidget() != frame->widget())
                    QVERIFY2(label->buddy(), qPrintable(label->text()));

            window->pressButton(QStringLiteral("Report"));
            QCOMPARE(messages.all, QStringList());
            QVERIFY(qobject_cast<frmViewReport*>(main->mdiArea()->activeSubWindow()->widget()));
            checkInsideWorkArea(*main);
            main->mdiArea()->activeSubWindow()->close();
            frame->close();
        }
    }

    // Long values of a pupil's profile are cut short, whole in their tooltips: the
    // enquiry keeps its width and shows every control whole, for that pupil and the next.
    void enquiryKeepsItsWidthWithLongValues() {
        ScriptedMessages messages;
        QString suggestion;
        for (int i = 0; suggestion.size() < 3000; ++i)
            suggestion += QStringLiteral("ควรเพิ่มแบบฝึกหัดเรื่องที่ %1 ").arg(i);
        const QString father = suggestion.left(178);
        Fixture::student(QStringLiteral("6900002"), QStringLiteral("เด็กหญิงยาวมาก"));
        Fixture::exec(
            QStringLiteral("UPDATE Student SET StdSuggest = ?, StdFather = ?, StdAddr = ?, "
                           "StdSchool = ? WHERE StdID = '6900002'"),
            {suggestion, father,
             QString(father + QStringLiteral("\r\n") + father + QStringLiteral("\r\nบรรทัดที่สาม")),
             father});
        std::unique_ptr<MDIForm1> main = adminMainWindow();
        main->menuAction(QStringLiteral("mnuQuery"))->trigger();
        QMdiSubWindow* frame = main->mdiArea()->activeSubWindow();
        auto* window = frame->widget();
        const int width = frame->width();
        for (const QString& code : {QStringLiteral("6900002"), QStringLiteral("6900001")}) {
            auto* box = window->findChild<QLineEdit*>(QStringLiteral("txtStdID"));
            box->setFocus();
            box->setText(code);
            pressKey(Qt::Key_Return);
            QCoreApplication::processEvents();
            QCOMPARE(frame->width(), width);
            checkLayout(window);
            checkInsideWorkArea(*main);
        }
        QCOMPARE(messages.all, QStringList());

        auto* box = window->findChild<QLineEdit*>(QStringLiteral("txtStdID"));
        box->setText(QStringLiteral("6900002"));
        box->setFocus();
        pressKey(Qt::Key_Return);
        for (const char* name : {"lblSuggest", "lblFather", "lblAddr"}) {
            auto* label = window->findChild<ElidedLabel*>(QString::fromLatin1(name));
            QVERIFY2(label && label->isElided(), name);
            QHelpEvent help(QEvent::ToolTip, label->rect().center(),
                            label->mapToGlobal(label->rect().center()));
            QApplication::sendEvent(label, &help);
            QTRY_COMPARE(QToolTip::text(), label->text());
        }
        auto* name = window->findChild<ElidedLabel*>(QStringLiteral("lblLevel"));
        QVERIFY(name && !name->isElided());
    }

    // On a large screen a window opens centred in the work area, its list taking the
    // room it is given, and a message box stands over the window it speaks of.
    void largeScreenCentresWindowsAndMessages() {
        std::unique_ptr<MDIForm1> main = adminMainWindow();
        main->resize(1920, 1040);
        QCoreApplication::processEvents();
        main->menuAction(QStringLiteral("mnuPay"))->trigger();
        QMdiSubWindow* frame = main->mdiArea()->activeSubWindow();
        const QSize room = main->mdiArea()->viewport()->size();
        QVERIFY(std::abs(frame->x() - (room.width() - frame->geometry().right() - 1)) <= 1);
        QVERIFY(std::abs(frame->y() - (room.height() - frame->geometry().bottom() - 1)) <= 1);
        QCOMPARE(frame->height(), room.height() * 3 / 4);
        auto* list = frame->widget()->findChild<QTreeWidget*>(QStringLiteral("ListView1"));
        QVERIFY(list->height() > frame->height() / 2);
        checkLayout(frame->widget());

        // Away from the screen's centre, the box inside the screen.
        Seams::setMessageHandler(nullptr); // the program's own message box
        frame->setGeometry(0, 0, 600, 500);
        auto* code = frame->widget()->findChild<QLineEdit*>(QStringLiteral("txtStdID"));
        code->setFocus();
        code->setText(QStringLiteral("9999999"));
        QRect shown;
        QTimer::singleShot(0, [&shown] {
            QWidget* box = QApplication::activeModalWidget();
            QVERIFY(qobject_cast<QMessageBox*>(box));
            shown = box->frameGeometry();
            box->close();
        });
        pressKey(Qt::Key_Return);
        QVERIFY(!shown.isEmpty());
        const QRect over(frame->mapToGlobal(QPoint(0, 0)), frame->size());
        QVERIFY2(std::abs(shown.center().x() - over.center().x()) <= 2 &&
                     std::abs(shown.center().y() - over.center().y()) <= 2,
                 "the message box stands away from its window");
    }

    // A window that holds the keyboard itself (nothing in it enabled yet) has it back when
    // a window opened over it closes; a window without a list keeps its own size.
    void keyboardComesBackToTheWindowBelow() {
        ScriptedMessages messages;
        ScriptedDialogs dialogs;
        std::unique_ptr<MDIForm1> main = adminMainWindow();
        main->resize(1920, 1040);
        QCoreApplication::processEvents();
        for (const QString& name : {QStringLiteral("mnuGrade"), QStringLiteral("mnuTimeStamp")}) {
            main->menuAction(name)->trigger();
            QMdiSubWindow* below = main->mdiArea()->activeSubWindow();
            main->menuAction(QStringLiteral("mnuExp"))->trigger();
            QVERIFY(main->mdiArea()->activeSubWindow() != below);
            pressKey(Qt::Key_Escape);
            QTRY_COMPARE(main->mdiArea()->activeSubWindow(), below);
            QCoreApplication::processEvents();
            const int before = dialogs.shown;
            pressKey(Qt::Key_F9);
            QVERIFY2(dialogs.shown == before + 1, qPrintable(name));
            QCOMPARE(dialogs.classNames.last(), QStringLiteral("frmListCourse"));
            below->close();
        }
        main->menuAction(QStringLiteral("mnuDailyRep"))->trigger();
        QMdiSubWindow* daily = main->mdiArea()->activeSubWindow();
        QVERIFY(daily->height() < main->mdiArea()->viewport()->height() / 2);
        QCOMPARE(messages.all, QStringList());
    }

    // The timetable at the desk's usual size shows the days of a class whole, at the
    // longest the timetable takes, and a pupil's long name shows its start in the
    // registration and the enquiry.
    void longValuesShowWhole() {
        ScriptedMessages messages;
        const QString days = QStringLiteral("จันทร์ อังคาร พุธ พฤหัสฯ ศุกร์");
        QVERIFY(days.size() <= 30);
        Fixture::exec(QStringLiteral("UPDATE CourseTable SET CourseDate = ?"), {days});
        const QString name = QStringLiteral("เด็กหญิงกัญญาณัฐพัชร์ ศรีสุวรรณวงศ์ไพศาลกุลวัฒนาสกุล");
        Fixture::exec(QStringLiteral("UPDATE Student SET StdName = ?"), {name});
        std::unique_ptr<MDIForm1> main = adminMainWindow();
        main->menuAction(QStringLiteral("mnuCourseTable"))->trigger();
        QWidget* timetable = main->mdiArea()->activeSubWindow()->widget();
        QCOMPARE(ListView::count(timetable->findChild<QTreeWidget*>(QStringLiteral("ListView1"))),
                 2);
        checkLayout(timetable);
        checkInsideWorkArea(*main);

        for (const QString& menu : {QStringLiteral("mnuRegister"), QStringLiteral("mnuQuery")}) {
            main->menuAction(menu)->trigger();
            QWidget* window = main->mdiArea()->activeSubWindow()->widget();
            auto* code = window->findChild<QLineEdit*>(QStringLiteral("txtStdID"));
            code->setFocus();
            code->setText(QStringLiteral("6900001"));
            pressKey(Qt::Key_Return);
            auto* box = window->findChild<QLineEdit*>(QStringLiteral("txtStdName"));
            QCOMPARE(box->text().trimmed(), name);
            QCOMPARE(box->cursorPosition(), 0);
            box->setFocus();
            QCOMPARE(box->selectedText(), box->text());
            QCOMPARE(box->cursorPosition(), 0);
        }
        QCOMPARE(messages.all, QStringList());
    }

    // The grades editor row: boxes of the width given, a long name ending in "…".
    void gradesEditorRowShowsLongNames() {
        ScriptedMessages messages;
        ScriptedDialogs dialogs;
        const QString name = QStringLiteral("เด็กหญิงกัญญาณัฐพัชร์ ศรีสุวรรณวงศ์ไพศาลกุลวัฒนาสกุลพงศ์ธนาวิวัฒน์");
        Fixture::exec(QStringLiteral("UPDATE Student SET StdName = ?"), {name});
        std::unique_ptr<MDIForm1> main = adminMainWindow();
        main->menuAction(QStringLiteral("mnuGrade"))->trigger();
        QWidget* window = main->mdiArea()->activeSubWindow()->widget();
        dialogs.then([](QDialog& dialog) {
            auto& picker = dynamic_cast<frmListCourse&>(dialog);
            picker.IsOK = true;
            picker.CourseNo = QStringLiteral("6900001");
            return int(QDialog::Accepted);
        });
        dynamic_cast<WindowFrame*>(window)->pressButton(QStringLiteral("Course"));
        checkLayout(window);
        for (const char* box : {"txtPoint", "txtGrade"})
            QVERIFY2(window->findChild<QLineEdit*>(QString::fromLatin1(box))->width() >= 1440 / 15,
                     box);
        auto* label = window->findChild<ElidedLabel*>(QStringLiteral("lblStdName"));
        QVERIFY(label);
        QCOMPARE(label->text(), name);
        QVERIFY(label->isElided() ||
                label->fontMetrics().horizontalAdvance(name) <= label->contentsRect().width());
        QCOMPARE(messages.all, QStringList());
    }

    // Registration and payment, from the menu or the toolbar, take typed digits in the
    // code box at once; opened again, they offer the code to be typed over.
    void frontDeskOpensReadyForTyping() {
        std::unique_ptr<MDIForm1> main = adminMainWindow();
        QHash<QString, QLineEdit*> codeBoxes;
        for (const QString& key : {QStringLiteral("Register"), QStringLiteral("Pay")}) {
            main->toolbar()->button(key)->trigger();
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("6900001"));
            codeBoxes.insert(key,
                             main->mdiArea()->activeSubWindow()->widget()->findChild<QLineEdit*>(
                                 QStringLiteral("txtStdID")));
            QCOMPARE(codeBoxes.value(key)->text(), QStringLiteral("6900001"));
            // The pupil's classes, long course names too, show whole at the opening size.
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            checkLayout(main->mdiArea()->activeSubWindow()->widget());
        }
        for (const QString& key : {QStringLiteral("Register"), QStringLiteral("Pay")}) {
            main->menuAction(QStringLiteral("mnu") + key)->trigger();
            QCOMPARE(QApplication::focusWidget(), codeBoxes.value(key));
            QCOMPARE(codeBoxes.value(key)->selectedText(), QStringLiteral("6900001"));
        }
    }
};

QTEST_MAIN(tst_windows)
#include "tst_windows.moc"
