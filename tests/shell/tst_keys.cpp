#include "billing/frmBiLLCancel.h"
#include "billing/frmDate.h"
#include "core/Seams.h"
#include "frame/FormBase.h"
#include "frame/KeyToolbar.h"
#include "frame/Library.h"
#include "reference/frmListCourse.h"
#include "report/viewer/frmViewReport.h"
#include "shell/MDIForm1.h"
#include "shell/WindowRegistry.h"
#include "support/TestSupport.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>

namespace {

// A school with two classes of one open course, a pupil registered on both and
// one row of other income of the working date.
void school() {
    Fixture::school();
    Fixture::level(QStringLiteral("ม.1"));
    Fixture::subject(QStringLiteral("คณิตศาสตร์"));
    Fixture::course(QStringLiteral("C01"), QStringLiteral("คอร์สเตรียมสอบ"));
    Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money::fromBaht(2500));
    Fixture::classRow(QStringLiteral("6900002"), QStringLiteral("C01"), Money::fromBaht(3500),
                      QStringLiteral("ม.6"));
    Fixture::student(QStringLiteral("6900001"), QStringLiteral("เด็กชายธนกร พรหมมา"));
    Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900001"));
    Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900002"));
    Fixture::exec(QStringLiteral(
        "INSERT INTO Expense VALUES ('69000001', '20261206', 'ขายหนังสือ', 120, 0, 'admin')"));
}

// A key as a user presses it: to wherever the focus is; then what the key set going
// (the focus coming back into the window) runs.
void press(int key) {
    pressKey(key);
    QCoreApplication::processEvents();
}

void type(const QString& text) {
    QTest::keyClicks(QApplication::focusWidget(), text);
}

// The keys a text names: "F9", "ESC", "F2" of "[F2] - ..." or "F2=...".
QStringList keysNamed(const QString& text) {
    QStringList keys;
    const QRegularExpression key(QStringLiteral("\\b(F\\d+|ESC)\\b"));
    for (auto it = key.globalMatch(text); it.hasNext();)
        keys << it.next().captured(1);
    return keys;
}

// The keys the window's key hint names, "F9" or "ESC"; Esc as well when it names none.
QStringList hintKeys(const FormBase& window) {
    QStringList keys = keysNamed(window.menuHelpLabel()->text());
    keys.removeDuplicates();
    if (!keys.contains(QStringLiteral("ESC")))
        keys << QStringLiteral("ESC");
    return keys;
}

// The rows of the window's lists.
int rowCount(const QWidget& window) {
    int rows = 0;
    for (const QTreeWidget* list : window.findChildren<QTreeWidget*>())
        rows += list->topLevelItemCount();
    return rows;
}

// Report viewers, inside the main window or on their own.
int viewerCount() {
    int viewers = 0;
    for (QWidget* widget : QApplication::allWidgets())
        viewers += qobject_cast<frmViewReport*>(widget) ? 1 : 0;
    return viewers;
}

int qtKey(const QString& name) {
    return name == QStringLiteral("ESC") ? int(Qt::Key_Escape)
                                         : int(Qt::Key_F1) + name.mid(1).toInt() - 1;
}

// What could change when a key is pressed.
struct Before {
    int mode;
    int rows;
    int dialogs;
    int viewers;
};

// What a key did: the dialogs it opened, the messages it showed, a report, and the
// window closed, in another mode or with other rows; "nothing" when none of these.
QString happened(const MDIForm1& main, QMdiSubWindow* frame, const Before& before,
                 const ScriptedDialogs& dialogs, const ScriptedMessages& messages) {
    QStringList seen;
    for (const QString& name : dialogs.classNames.mid(before.dialogs))
        seen << QStringLiteral("dialog ") + name;
    for (const QString& error : messages.errors)
        seen << QStringLiteral("error ") + error;
    if (!messages.questions.isEmpty())
        seen << QStringLiteral("ask");
    if (viewerCount() > before.viewers)
        seen << QStringLiteral("report");
    const auto* window = main.mdiArea()->subWindowList().contains(frame)
                             ? qobject_cast<FormBase*>(frame->widget())
                             : nullptr;
    if (!window)
        seen << QStringLiteral("closed");
    else if (window->mode() != before.mode)
        seen << QStringLiteral("mode %1").arg(window->mode());
    else if (rowCount(*window) != before.rows)
        seen << QStringLiteral("rows %1").arg(rowCount(*window));
    return seen.isEmpty() ? QStringLiteral("nothing") : seen.join(u'|');
}

// Shows a dialog a window opened, active, so that keys go where its focus is.
void showDialog(QDialog& dialog) {
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    (void)QTest::qWaitForWindowActive(&dialog);
}

// Confirms the first class of the first course, as F2 in the picker does.
int pickFirstClass(QDialog& dialog) {
    auto& picker = dynamic_cast<frmListCourse&>(dialog);
    picker.pressButton(QStringLiteral("OK"));
    return picker.result();
}

// A state of a task window, reached from its opening by keys and typing, and what
// each key of the hint does there.
struct KeyCase {
    QString menu;
    QString state;
    std::function<void(ScriptedDialogs&)> reach;
    QList<std::pair<QString, QString>> keys;
};

const auto opening = [](ScriptedDialogs&) {};
const auto classChosen = [](ScriptedDialogs& dialogs) {
    dialogs.then(pickFirstClass);
    press(Qt::Key_F9);
};
const auto classLeft = [](ScriptedDialogs& dialogs) {
    classChosen(dialogs);
    press(Qt::Key_Escape);
};
const auto pupilFound = [](ScriptedDialogs&) {
    type(QStringLiteral("6900001"));
    press(Qt::Key_Return);
};

// Every task window of the menu, in each of its states.
QList<KeyCase> keyCases() {
    const QString closed = QStringLiteral("closed");
    const QString nothing = QStringLiteral("nothing");
    const QString picker = QStringLiteral("dialog frmListCourse");
    return {
        {QStringLiteral("mnuRegister"),
         QStringLiteral("opening"),
         opening,
         {{QStringLiteral("F2"), nothing},
          {QStringLiteral("F4"), nothing},
          {QStringLiteral("ESC"), closed}}},
        {QStringLiteral("mnuRegister"),
         QStringLiteral("pupil found"),
         pupilFound,
         {{QStringLiteral("F2"), picker},
          {QStringLiteral("F4"), QStringLiteral("ask")},
          {QStringLiteral("ESC"), closed}}},
        {QStringLiteral("mnuPay"),
         QStringLiteral("opening"),
         opening,
         {{QStringLiteral("F2"), QStringLiteral("error รหัสนักศึกษา ไม่ถูกต้อง")},
          {QStringLiteral("ESC"), closed}}},
        {QStringLiteral("mnuPay"),
         QStringLiteral("pupil found"),
         pupilFound,
         {{QStringLiteral("F2"), QStringLiteral("error ไม่พบข้อมูลการชำระเงิน")},
          {QStringLiteral("ESC"), QStringLiteral("rows 0")}}},
        {QStringLiteral("mnuExp"),
         QStringLiteral("browse"),
         opening,
         {{QStringLiteral("F2"), QStringLiteral("mode 2")},
          {QStringLiteral("F3"), QStringLiteral("mode 1")},
          {QStringLiteral("F4"), QStringLiteral("ask")},
          {QStringLiteral("ESC"), closed}}},
        {QStringLiteral("mnuExp"),
         QStringLiteral("add"),
         [](ScriptedDialogs&) { press(Qt::Key_F2); },
         {{QStringLiteral("F2"), QStringLiteral("error รายการ ว่างไม่ได้")},
          {QStringLiteral("ESC"), QStringLiteral("mode 0")}}},
        {QStringLiteral("mnuBiLLCancel"),
         QStringLiteral("opening"),
         opening,
         {{QStringLiteral("F4"), nothing},
          {QStringLiteral("F5"), QStringLiteral("dialog frmDate")},
          {QStringLiteral("ESC"), closed}}},
        {QStringLiteral("mnuCourseTable"),
         QStringLiteral("browse"),
         opening,
         {{QStringLiteral("F2"), QStringLiteral("mode 2")},
          {QStringLiteral("F3"), QStringLiteral("mode 1")},
          {QStringLiteral("F4"), QStringLiteral("ask")},
          {QStringLiteral("F5"), QStringLiteral("report")},
          {QStringLiteral("F9"), nothing},
          {QStringLiteral("ESC"), closed}}},
        {QStringLiteral("mnuCourseTable"),
         QStringLiteral("edit"),
         [](ScriptedDialogs&) { press(Qt::Key_F3); },
         {{QStringLiteral("F2"), QStringLiteral("ask")},
          {QStringLiteral("ESC"), QStringLiteral("mode 0")}}},
        {QStringLiteral("mnuTimeStamp"),
         QStringLiteral("no class"),
         opening,
         {{QStringLiteral("F9"), picker},
          {QStringLiteral("F2"), nothing},
          {QStringLiteral("F3"), nothing},
          {QStringLiteral("F4"), nothing},
          {QStringLiteral("F5"), nothing},
          {QStringLiteral("ESC"), closed}}},
        {QStringLiteral("mnuTimeStamp"),
         QStringLiteral("class chosen"),
         classChosen,
         {{QStringLiteral("F9"), nothing},
          {QStringLiteral("F2"), QStringLiteral("dialog frmTimeStampSub")},
          {QStringLiteral("F3"), nothing},
          {QStringLiteral("F4"), nothing},
          {QStringLiteral("F5"), QStringLiteral("report")},
          {QStringLiteral("ESC"), QStringLiteral("mode 0")}}},
        {QStringLiteral("mnuTimeStamp"),
         QStringLiteral("class left"),
         classLeft,
         {{QStringLiteral("F9"), picker},
          {QStringLiteral("F2"), nothing},
          {QStringLiteral("F3"), nothing},
          {QStringLiteral("F4"), nothing},
          {QStringLiteral("F5"), nothing},
          {QStringLiteral("ESC"), closed}}},
        {QStringLiteral("mnuPoint"),
         QStringLiteral("choose"),
         opening,
         {{QStringLiteral("F9"), picker},
          {QStringLiteral("F2"), QStringLiteral("error คอร์สการเรียน ไม่ถูกต้อง")},
          {QStringLiteral("F5"), nothing},
          {QStringLiteral("ESC"), closed}}},
        {QStringLiteral("mnuPoint"),
         QStringLiteral("listed"),
         [](ScriptedDialogs& dialogs) {
             classChosen(dialogs);
             type(QStringLiteral("1"));
             press(Qt::Key_F2);
         },
         {{QStringLiteral("F9"), nothing},
          {QStringLiteral("F2"), nothing},
          {QStringLiteral("F5"), QStringLiteral("report")},
          {QStringLiteral("ESC"), QStringLiteral("mode 0")}}},
        {QStringLiteral("mnuGrade"),
         QStringLiteral("choose"),
         opening,
         {{QStringLiteral("F9"), picker},
          {QStringLiteral("F2"), QStringLiteral("error คอร์สการเรียน ไม่ถูกต้อง")},
          {QStringLiteral("F5"), nothing},
          {QStringLiteral("ESC"), closed}}},
        {QStringLiteral("mnuGrade"),
         QStringLiteral("listed"),
         classChosen,
         {{QStringLiteral("F9"), nothing},
          {QStringLiteral("F2"), nothing},
          {QStringLiteral("F5"), QStringLiteral("report")},
          {QStringLiteral("ESC"), QStringLiteral("mode 0")}}},
        {QStringLiteral("mnuGrade"),
         QStringLiteral("list left"),
         classLeft,
         {{QStringLiteral("F9"), picker},
          {QStringLiteral("F2"), QStringLiteral("mode 1")},
          {QStringLiteral("F5"), nothing},
          {QStringLiteral("ESC"), closed}}},
        {QStringLiteral("mnuQuery"),
         QStringLiteral("opening"),
         opening,
         {{QStringLiteral("F5"), nothing},
          {QStringLiteral("F6"), nothing},
          {QStringLiteral("F7"), nothing},
          {QStringLiteral("ESC"), closed}}},
        {QStringLiteral("mnuQuery"),
         QStringLiteral("pupil found"),
         pupilFound,
         {{QStringLiteral("F5"), QStringLiteral("dialog frmStudentHis")},
          {QStringLiteral("F6"), QStringLiteral("dialog frmStudentHis")},
          {QStringLiteral("F7"), QStringLiteral("dialog frmStudentStm")},
          {QStringLiteral("ESC"), QStringLiteral("rows 0")}}},
        {QStringLiteral("mnuDailyRep"),
         QStringLiteral("opening"),
         opening,
         {{QStringLiteral("F2"), QStringLiteral("report")}, {QStringLiteral("ESC"), closed}}},
    };
}

// Tooltips that are the window's own words and name no key: their buttons' keys are
// named in the key hint only.
const QStringList tipsWithoutKey = {
    QStringLiteral("เลือกคอร์ส"),        QStringLiteral("เพิ่มวันที่เข้าเรียน"),
    QStringLiteral("แก้ไขวันที่เข้าเรียน"),  QStringLiteral("ลบวันที่เข้าเรียน"),
    QStringLiteral("ลงบันทึกคะแนน"),     QStringLiteral("รายงานผลการทดสอบ"),
    QStringLiteral("รายงานผลการเรียน"),
};

// Each button the window offers in its state: the key of its hint that presses it,
// named in its tooltip too; what is wrong, one line each.
QStringList buttonsWithoutKey(const FormBase& window, const QString& where) {
    QStringList wrong;
    const QStringList hinted = hintKeys(window);
    for (const QString& button : window.toolbar()->keys()) {
        if (!window.toolbar()->isAvailable(button))
            continue;
        QStringList keys;
        for (const QString& key : hinted)
            if (window.buttonOfKey(qtKey(key)) == button)
                keys << key;
        const QString tip = window.toolbar()->button(button)->toolTip();
        const QStringList tipKeys = keysNamed(tip);
        if (keys.isEmpty())
            wrong << where + u' ' + button + QStringLiteral(": no key of the hint");
        else if (tipKeys.isEmpty() ? !tipsWithoutKey.contains(tip)
                                   : !keys.contains(tipKeys.first()))
            wrong << where + u' ' + button + QStringLiteral(": tooltip \"") + tip +
                         QStringLiteral("\" does not name ") + keys.join(u'/');
    }
    return wrong;
}

} // namespace

class tst_keys : public QObject {
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

    // Each task window, opened from the menu as a user does, takes every key of its hint
    // in each of its states, the keys going wherever the focus is; every button it
    // offers has one of those keys.
    void everyHintKeyWorksInEveryState() {
        ScriptedMessages messages;
        std::unique_ptr<MDIForm1> main = adminMainWindow();
        QStringList covered;
        QStringList wrong;
        QStringList unkeyed;
        for (const KeyCase& keyCase : keyCases()) {
            covered << keyCase.menu;
            QStringList tabled;
            for (const auto& [key, effect] : keyCase.keys)
                tabled << key;
            for (const auto& [key, effect] : keyCase.keys) {
                const QString where = keyCase.menu + u' ' + keyCase.state + u' ' + key;
                ScriptedDialogs dialogs;
                main->menuAction(keyCase.menu)->trigger();
                QMdiSubWindow* frame = main->mdiArea()->activeSubWindow();
                auto* window = qobject_cast<FormBase*>(frame->widget());
                QVERIFY2(window, qPrintable(where));
                keyCase.reach(dialogs);
                // The window owns the keyboard, whatever its state.
                QWidget* focus = QApplication::focusWidget();
                QVERIFY2(focus && (focus == window || window->isAncestorOf(focus)),
                         qPrintable(where));
                QCOMPARE(hintKeys(*window), tabled);
                if (key == tabled.first())
                    unkeyed << buttonsWithoutKey(*window, keyCase.menu + u' ' + keyCase.state);

                const Before before{window->mode(), rowCount(*window), dialogs.shown,
                                    viewerCount()};
                messages.clear();
                press(qtKey(key));
                const QString actual = happened(*main, frame, before, dialogs, messages);
                if (actual != effect)
                    wrong << where + QStringLiteral(": ") + actual + QStringLiteral(", not ") +
                                 effect;
                main->mdiArea()->closeAllSubWindows();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            }
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
        // Every button the window offers is pressed by a key of its hint, and each of
        // those keys was pressed above.
        QVERIFY2(unkeyed.isEmpty(), qPrintable(unkeyed.join(u'\n')));
        covered.removeDuplicates();
        QStringList windows = registeredWindows();
        windows.sort();
        covered.sort();
        QCOMPARE(covered, windows);
    }

    // A window that opens with nothing for the focus to rest in (no other income of the
    // day, no class chosen) shows where the focus is: it looks otherwise than while
    // another window has the focus.
    void focusShownWhereNothingIsEnabled() {
        Fixture::exec(QStringLiteral("DELETE FROM Expense"));
        std::unique_ptr<MDIForm1> main = adminMainWindow();
        QStringList unmarked;
        for (const QString& menu : {QStringLiteral("mnuExp"), QStringLiteral("mnuGrade"),
                                    QStringLiteral("mnuTimeStamp")}) {
            main->menuAction(menu)->trigger();
            QWidget* window = main->mdiArea()->activeSubWindow()->widget();
            QWidget* focus = QApplication::focusWidget();
            QVERIFY2(focus && (focus == window || window->isAncestorOf(focus)), qPrintable(menu));
            const QImage focused = window->grab().toImage();
            main->menuAction(QStringLiteral("mnuQuery"))->trigger();
            QVERIFY2(!window->isAncestorOf(QApplication::focusWidget()), qPrintable(menu));
            if (window->grab().toImage() == focused)
                unmarked << menu;
            main->mdiArea()->closeAllSubWindows();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QCOMPARE(unmarked, QStringList());
    }

    // The viewer a report opens in prints at F2, the key its tooltip names.
    void viewerPrintsByKey() {
        ScriptedMessages messages;
        std::unique_ptr<MDIForm1> main = adminMainWindow();
        QStringList printed;
        Seams::setPrintListener(
            [&printed](const QString& report, const QList<QStringList>&) { printed << report; });
        main->menuAction(QStringLiteral("mnuDailyRep"))->trigger();
        press(Qt::Key_F2);
        auto* viewer = qobject_cast<frmViewReport*>(main->mdiArea()->activeSubWindow()->widget());
        QVERIFY(viewer);
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus && (focus == viewer || viewer->isAncestorOf(focus)));
        QCOMPARE(keysNamed(viewer->toolbar()->button(QStringLiteral("Print"))->toolTip()),
                 QStringList{QStringLiteral("F2")});
        press(Qt::Key_F2);
        Seams::setPrintListener({});
        QCOMPARE(printed.size(), 1);
        QVERIFY2(messages.errors.isEmpty(), qPrintable(messages.errors.join(u'\n')));
    }

    // Bill cancellation lists another day by keys alone: its date key opens the date
    // dialog, and Enter on a day of the calendar confirms that day.
    void billDayChosenByKeys() {
        Fixture::exec(QStringLiteral("INSERT INTO Statement VALUES ('69000001', '20261205', "
                                     "'6900001', 500, '69-00001', '0', 'admin', '')"));
        std::unique_ptr<MDIForm1> main = adminMainWindow();
        main->menuAction(QStringLiteral("mnuBiLLCancel"))->trigger();
        auto* window = qobject_cast<frmBiLLCancel*>(main->mdiArea()->activeSubWindow()->widget());
        QVERIFY(window);
        QCOMPARE(rowCount(*window), 0);
        ScriptedDialogs dialogs;
        bool onTheDays = false;
        dialogs.then([&onTheDays](QDialog& dialog) {
            showDialog(dialog);
            onTheDays = QApplication::focusWidget() &&
                        dynamic_cast<frmDate&>(dialog).MonthView1->isAncestorOf(
                            QApplication::focusWidget());
            pressKey(Qt::Key_Left); // the day before the working date
            pressKey(Qt::Key_Return);
            return dialog.result();
        });
        press(Qt::Key_F5);
        QCOMPARE(dialogs.shown, 1);
        QVERIFY(onTheDays);
        QCOMPARE(listColumn(window->ListView1, 0), QStringList{QStringLiteral("69-00001")});
    }

    // In registration the class picker, its course chosen with the mouse or the keys, moves
    // on to that course's classes: Down walks them and Enter registers the one chosen.
    // Enter in the course box moves on too and registers nothing.
    void classPickerMovesOnToTheClasses() {
        Fixture::course(QStringLiteral("C02"), QStringLiteral("คอร์สฟิสิกส์"));
        Fixture::classRow(QStringLiteral("6900003"), QStringLiteral("C02"), Money::fromBaht(1000));
        Fixture::classRow(QStringLiteral("6900004"), QStringLiteral("C02"), Money::fromBaht(1200),
                          QStringLiteral("ม.2"));
        Fixture::course(QStringLiteral("C03"), QStringLiteral("คอร์สเคมี"));
        Fixture::classRow(QStringLiteral("6900005"), QStringLiteral("C03"), Money::fromBaht(1500));
        Fixture::exec(QStringLiteral("DELETE FROM StudentCourse"));
        ScriptedMessages messages;
        std::unique_ptr<MDIForm1> main = adminMainWindow();
        const auto byMouse = [](frmListCourse& picker) {
            QTest::mouseClick(picker.cboCouse, Qt::LeftButton);
            QAbstractItemView* popup = picker.cboCouse->view();
            QTest::qWait(QApplication::doubleClickInterval() + 50);
            const QPoint second = popup->visualRect(popup->model()->index(1, 0)).center();
            QTest::mouseMove(popup->viewport(), second);
            QTest::mouseClick(popup->viewport(), Qt::LeftButton, {}, second);
        };
        const auto byKeys = [](frmListCourse&) {
            pressKey(Qt::Key_Tab);
            pressKey(Qt::Key_Down);
        };
        const auto enterInTheCourseBox = [](frmListCourse&) {
            pressKey(Qt::Key_Tab);
            pressKey(Qt::Key_Return);
        };
        const std::tuple<QString, std::function<void(frmListCourse&)>, QString> ways[] = {
            {QStringLiteral("mouse"), byMouse, QStringLiteral("6900004")},
            {QStringLiteral("keys"), byKeys, QStringLiteral("6900004")},
            {QStringLiteral("Enter in the course box"), enterInTheCourseBox,
             QStringLiteral("6900002")},
        };
        QStringList wrong;
        for (const auto& [way, chooseCourse, registered] : ways) {
            ScriptedDialogs dialogs;
            main->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(main.get()));
            main->menuAction(QStringLiteral("mnuRegister"))->trigger();
            type(QStringLiteral("6900001"));
            press(Qt::Key_Return);
            dialogs.then([&, chooseCourse = chooseCourse](QDialog& dialog) {
                auto& picker = dynamic_cast<frmListCourse&>(dialog);
                showDialog(picker);
                chooseCourse(picker);
                pressKey(Qt::Key_Down);
                pressKey(Qt::Key_Return);
                return picker.result();
            });
            press(Qt::Key_F2);
            QCOMPARE(dialogs.shown, 1);
            const QString actual =
                Fixture::value(QStringLiteral("SELECT group_concat(CourseNo) FROM StudentCourse"))
                    .toString();
            if (actual != registered || !messages.errors.isEmpty())
                wrong << way + QStringLiteral(": ") + actual + u' ' + messages.errors.join(u'|');
            messages.clear();
            Fixture::exec(QStringLiteral("DELETE FROM StudentCourse"));
            main->mdiArea()->closeAllSubWindows();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
    }
};

QTEST_MAIN(tst_keys)
#include "tst_keys.moc"
