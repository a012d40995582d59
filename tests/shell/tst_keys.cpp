#include "billing/frmListCourse.h"
#include "frame/FormBase.h"
#include "frame/Library.h"
#include "platform/frmViewReport.h"
#include "shell/MDIForm1.h"
#include "shell/WindowRegistry.h"
#include "support/TestSupport.h"

#include <QApplication>
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

// The keys the window's key hint names, "F9" or "ESC"; Esc as well when it names none.
QStringList hintKeys(const FormBase& window) {
    QStringList keys;
    const QRegularExpression key(QStringLiteral("\\b(F\\d+|ESC)\\b"));
    for (auto it = key.globalMatch(window.menuHelpLabel()->text()); it.hasNext();)
        if (const QString name = it.next().captured(1); !keys.contains(name))
            keys << name;
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
         {{QStringLiteral("F4"), nothing}, {QStringLiteral("ESC"), closed}}},
        {QStringLiteral("mnuCourseTable"),
         QStringLiteral("browse"),
         opening,
         {{QStringLiteral("F2"), QStringLiteral("mode 2")},
          {QStringLiteral("F3"), QStringLiteral("mode 1")},
          {QStringLiteral("F4"), QStringLiteral("ask")},
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
          {QStringLiteral("ESC"), closed}}},
        {QStringLiteral("mnuTimeStamp"),
         QStringLiteral("class chosen"),
         classChosen,
         {{QStringLiteral("F9"), nothing},
          {QStringLiteral("F2"), QStringLiteral("dialog frmTimeStampSub")},
          {QStringLiteral("F3"), nothing},
          {QStringLiteral("F4"), nothing},
          {QStringLiteral("ESC"), QStringLiteral("mode 0")}}},
        {QStringLiteral("mnuTimeStamp"),
         QStringLiteral("class left"),
         classLeft,
         {{QStringLiteral("F9"), picker},
          {QStringLiteral("F2"), nothing},
          {QStringLiteral("F3"), nothing},
          {QStringLiteral("F4"), nothing},
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
          {QStringLiteral("ESC"), closed}}},
        {QStringLiteral("mnuGrade"),
         QStringLiteral("listed"),
         classChosen,
         {{QStringLiteral("F9"), nothing},
          {QStringLiteral("F2"), nothing},
          {QStringLiteral("ESC"), QStringLiteral("mode 0")}}},
        {QStringLiteral("mnuGrade"),
         QStringLiteral("list left"),
         classLeft,
         {{QStringLiteral("F9"), picker},
          {QStringLiteral("F2"), QStringLiteral("mode 1")},
          {QStringLiteral("ESC"), closed}}},
        {QStringLiteral("mnuQuery"),
         QStringLiteral("opening"),
         opening,
         {{QStringLiteral("ESC"), closed}}},
        {QStringLiteral("mnuDailyRep"),
         QStringLiteral("opening"),
         opening,
         {{QStringLiteral("ESC"), closed}}},
    };
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
    // in each of its states, the keys going wherever the focus is.
    void everyHintKeyWorksInEveryState() {
        ScriptedMessages messages;
        std::unique_ptr<MDIForm1> main = adminMainWindow();
        QStringList covered;
        QStringList wrong;
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
        covered.removeDuplicates();
        QStringList windows = registeredWindows();
        windows.sort();
        covered.sort();
        QCOMPARE(covered, windows);
    }
};

QTEST_MAIN(tst_keys)
#include "tst_keys.moc"
