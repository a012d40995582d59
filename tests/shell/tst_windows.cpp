#include "billing/frmDate.h"
#include "billing/frmListCourse.h"
#include "billing/frmPay.h"
#include "billing/frmPayAmt.h"
#include "billing/frmRegister.h"
#include "core/Database.h"
#include "core/Seams.h"
#include "frame/FormBase.h"
#include "frame/KeyToolbar.h"
#include "frame/Library.h"
#include "frame/ListView.h"
#include "platform/LibraryReports.h"
#include "platform/Report.h"
#include "reference/frmFindStd.h"
#include "reference/frmFindTech.h"
#include "results/frmStudentHis.h"
#include "results/frmStudentStm.h"
#include "results/frmTimeStampSub.h"
#include "shell/MDIForm1.h"
#include "shell/Users.h"
#include "shell/WindowRegistry.h"
#include "shell/frmDelStatement.h"
#include "shell/frmLogin.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStackedWidget>
#include <QTest>
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

// The main window at its opening size, with every window registered and every
// menu item granted.
std::unique_ptr<MDIForm1> mainWindow() {
    registerTaskWindows();
    Users::createWithAllRights(QStringLiteral("admin"), QStringLiteral("ผู้ดูแลระบบ"),
                               QStringLiteral("admin"));
    Library::gUserID = QStringLiteral("admin");
    auto main = std::make_unique<MDIForm1>();
    main->applyRights();
    showActive(main.get());
    return main;
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
        std::unique_ptr<MDIForm1> main = mainWindow();
        QVERIFY(!main->windowIcon().isNull());
        for (const QString& name : registeredWindows()) {
            main->menuAction(name)->trigger();
            QMdiSubWindow* frame = main->mdiArea()->activeSubWindow();
            QVERIFY2(frame, qPrintable(name));
            checkEveryMode(frame->widget(), [&main] { checkInsideWorkArea(*main); });
            // A pupil's code is called by one word everywhere, as in the messages.
            for (const QLabel* label : frame->widget()->findChildren<QLabel*>())
                QVERIFY2(!label->text().contains(QStringLiteral("รหัสนักเรียน")), qPrintable(name));
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

    // Registration and payment, from the menu or the toolbar, take typed digits in the
    // code box at once; opened again, they offer the code to be typed over.
    void frontDeskOpensReadyForTyping() {
        std::unique_ptr<MDIForm1> main = mainWindow();
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
