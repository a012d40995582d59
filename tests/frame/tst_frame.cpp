#include "billing/frmDate.h"
#include "core/Database.h"
#include "frame/DateBox.h"
#include "frame/DialogBase.h"
#include "frame/DialogSeams.h"
#include "frame/FormBase.h"
#include "frame/KeyToolbar.h"
#include "frame/Library.h"
#include "frame/ThaiCalendar.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// A list-and-edit window as the windows declare it: browse and edit modes.
class SampleForm : public FormBase {
public:
    SampleForm() {
        for (const char16_t* key : {u"New", u"Edit", u"Find", u"Save", u"Cancel"})
            toolbar()->addStandardButton(QString::fromUtf16(key));
        declareModes({{{QStringLiteral("New"), QStringLiteral("Edit"), QStringLiteral("Cancel")},
                       QStringLiteral("browse"),
                       QStringLiteral("New"),
                       {QStringLiteral("Find")}},
                      {{QStringLiteral("Save"), QStringLiteral("Cancel")},
                       QStringLiteral("edit"),
                       QStringLiteral("Save")}});
        declareKeys(
            {{Qt::Key_F3, QStringLiteral("Edit")}, {Qt::Key_Escape, QStringLiteral("Cancel")}});
        for (const char* key : {"New", "Edit", "Save", "Cancel"})
            declareButtons(
                {{QString::fromLatin1(key), [this, key] { press(QString::fromLatin1(key)); }}});
        first = new QLineEdit(this);
        combo = new QComboBox(this);
        combo->addItems({QStringLiteral("a"), QStringLiteral("b")});
        body()->addWidget(first);
        body()->addWidget(combo);
        moveFocusFrom(this);
        selectOnEntry(this);
    }
    // A box added after the window was built, as a window does when its panel grows.
    QLineEdit* addLater() {
        auto* box = new QLineEdit(this);
        body()->addWidget(box);
        box->show();
        return box;
    }
    using WindowFrame::leaveFocusedControl;
    using WindowFrame::moneyBox;
    using WindowFrame::onKey;
    using WindowFrame::onLeave;

    QLineEdit* first;
    QComboBox* combo;
    QStringList pressed;

private:
    void press(const QString& key) {
        pressed << key;
        if (key == QStringLiteral("New") || key == QStringLiteral("Edit"))
            setMode(1);
        else if (key == QStringLiteral("Save") || key == QStringLiteral("Cancel"))
            setMode(0);
    }
};

class SampleDialog : public DialogBase {
public:
    explicit SampleDialog(QWidget* parent = nullptr) : DialogBase(QStringLiteral("ทดสอบ"), parent) {
        toolbar()->addButton(QStringLiteral("OK"), QStringLiteral("ตกลง"), QString());
        toolbar()->addStandardButton(QStringLiteral("Cancel"));
        declareKeys(
            {{Qt::Key_F2, QStringLiteral("OK")}, {Qt::Key_Escape, QStringLiteral("Cancel")}});
        box = new QLineEdit(this);
        body()->addWidget(box);
        setTitle(QStringLiteral(" ทดสอบ "));
        declareButtons({{QStringLiteral("OK"), [this] { confirm(); }},
                        {QStringLiteral("Cancel"), [this] { reject(); }}});
    }
    QLineEdit* box;
};

// Every text the calendar shows names the Buddhist year, none the Christian one.
void checkCalendarYear(const ThaiCalendar& calendar, int buddhistYear) {
    QStringList texts;
    for (const QWidget* child : calendar.findChildren<QWidget*>()) {
        if (!child->isVisibleTo(&calendar))
            continue;
        if (const auto* button = qobject_cast<const QToolButton*>(child))
            texts << button->text();
        else if (const auto* spin = qobject_cast<const QSpinBox*>(child))
            texts << spin->text();
        else if (const auto* combo = qobject_cast<const QComboBox*>(child))
            texts << combo->currentText();
    }
    const QString shown = texts.join(u' ');
    QVERIFY2(shown.contains(QString::number(buddhistYear)), qPrintable(shown));
    QVERIFY2(!shown.contains(QString::number(buddhistYear - 543)), qPrintable(shown));
}

} // namespace

class tst_frame : public QObject {
    Q_OBJECT

private slots:
    void modesAndFunctionKeys() {
        SampleForm form;
        showActive(&form);
        form.first->setFocus();
        QCOMPARE(form.menuHelpLabel()->text(), QStringLiteral("browse"));
        QVERIFY(!form.toolbar()->button(QStringLiteral("Find"))->isVisible());
        // F2 presses the mode's button; a key whose button is disabled does nothing;
        // an undeclared function key reaches the control.
        pressKey(Qt::Key_F2);
        QCOMPARE(form.menuHelpLabel()->text(), QStringLiteral("edit"));
        pressKey(Qt::Key_F3);
        pressKey(Qt::Key_F9);
        pressKey(Qt::Key_F2);
        pressKey(Qt::Key_F3);
        pressKey(Qt::Key_Escape);
        QCOMPARE(form.pressed, (QStringList{QStringLiteral("New"), QStringLiteral("Save"),
                                            QStringLiteral("Edit"), QStringLiteral("Cancel")}));
        QCOMPARE(form.mode(), 0);
        checkLayout(&form);
    }

    void focusMovesAndLaterChildren() {
        SampleForm form;
        QLineEdit* later = form.addLater();
        showActive(&form);
        // Enter moves on from every control; the arrows not from the combo.
        form.first->setText(QStringLiteral("abc"));
        form.first->setFocus();
        pressKey(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), form.combo);
        pressKey(Qt::Key_Down);
        QCOMPARE(form.combo->currentIndex(), 1);
        pressKey(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), later);
        pressKey(Qt::Key_Up);
        pressKey(Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget(), form.combo);
        QCOMPARE(form.combo->currentIndex(), 0);
        form.first->setFocus();
        QCOMPARE(form.first->selectedText(), QStringLiteral("abc"));
        // The child added later sees the window's keys too, and its own declared ones.
        int entered = 0;
        form.onKey(later, Qt::Key_Enter, [&entered] { ++entered; });
        later->setFocus();
        pressKey(Qt::Key_Return);
        pressKey(Qt::Key_F2);
        QCOMPARE(entered, 1);
        QCOMPARE(form.pressed, QStringList{QStringLiteral("New")});
    }

    void growsInsideTheMainWindow() {
        QMdiArea area;
        area.resize(900, 700);
        auto* form = new SampleForm;
        QMdiSubWindow* frame = area.addSubWindow(form);
        area.show();
        frame->show();
        frame->resize(frame->minimumSizeHint());
        const int before = frame->height();
        form->addLater()->setMinimumHeight(before + 100);
        QTRY_VERIFY(frame->height() > before + 100);
    }

    void moneyBoxAndLeaving() {
        SampleForm form;
        QLineEdit* amount = form.addLater();
        form.moneyBox(amount);
        bool accept = false;
        form.onLeave(form.first, [&accept] { return accept; });
        showActive(&form);
        amount->setFocus();
        QTest::keyClicks(amount, QStringLiteral("12500.5"));
        form.first->setFocus();
        QCOMPARE(amount->text(), QStringLiteral("12,500.50"));
        amount->setFocus();
        QCOMPARE(amount->selectedText(), QStringLiteral("12500.50"));
        QVERIFY(form.leaveFocusedControl());
        QCOMPARE(amount->text(), QStringLiteral("12,500.50"));
        form.first->setFocus();
        QVERIFY(!form.leaveFocusedControl());
        accept = true;
        QVERIFY(form.leaveFocusedControl());
    }

    // Every button, by its key, a click or pressButton, first takes the focused box as
    // leaving it would, a date being typed included; a value refused stops the action.
    void actionsTakeTheFocusedBox() {
        ScriptedMessages messages;
        SampleForm form;
        auto* date = new DateBox(&form);
        date->setDate(QDate(2026, 12, 7));
        form.layout()->addWidget(date);
        bool accept = false;
        int left = 0;
        form.onLeave(form.first, [&] {
            ++left;
            return accept;
        });
        showActive(&form);
        QWidget* newButton = form.toolbar()->widgetForAction(form.toolbar()->button(u"New"_s));
        form.first->setFocus();
        pressKey(Qt::Key_F2);
        QTest::mouseClick(newButton, Qt::LeftButton);
        form.pressButton(QStringLiteral("New"));
        QCOMPARE(left, 3);
        QCOMPARE(form.pressed, QStringList());
        accept = true;
        QTest::mouseClick(newButton, Qt::LeftButton);
        QCOMPARE(form.pressed, QStringList{u"New"_s});

        // An unfinished or impossible date is said and nothing runs; a whole one is taken.
        for (const char* typed : {"31/12/257", "31022570", "31122569"}) {
            date->setFocus();
            QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(typed));
            QCOMPARE(date->date(), QDate(2026, 12, 7)); // not read while typed
            pressKey(Qt::Key_F2);                       // Save, in the edit mode
        }
        QCOMPARE(messages.errors, QStringList(2, u"วันที่ ไม่ถูกต้อง"_s));
        QCOMPARE(form.pressed, (QStringList{u"New"_s, u"Save"_s}));
        QCOMPARE(date->date(), QDate(2026, 12, 31));
        QCOMPARE(QApplication::focusWidget(), date);
    }

    // Enter in a date box takes the date and moves on in every window, also where the
    // window declares no moves, and in a dialog does not confirm it.
    void enterInADateBoxMovesOn() {
        ScriptedMessages messages;
        SampleDialog dialog;
        auto* date = new DateBox(&dialog);
        date->setDate(QDate(2026, 12, 7));
        dialog.layout()->addWidget(date);
        QWidget::setTabOrder(date, dialog.box);
        showActive(&dialog);
        for (const char* typed : {"", "150170", "31/02/70"}) {
            date->setFocus();
            QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(typed));
            pressKey(Qt::Key_Return);
        }
        QCOMPARE(date->date(), QDate(2027, 1, 15));
        QCOMPARE(QApplication::focusWidget(), date);
        QCOMPARE(messages.errors, QStringList{u"วันที่ ไม่ถูกต้อง"_s});
        date->setFocus();
        QTest::keyClicks(date, u"160170"_s);
        pressKey(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), dialog.box);
        QVERIFY(dialog.isVisible() && !dialog.IsOK);
    }

    void writesAndTheirErrors() {
        ScriptedMessages messages;
        QVERIFY(runDatabaseWork(QStringLiteral("บันทึกไม่ได้"), [] {}));
        QVERIFY(!runDatabaseWork(QStringLiteral("บันทึกไม่ได้"),
                                 [] { throw DbError(QStringLiteral("disk I/O error")); }));
        QCOMPARE(messages.errors, QStringList{QStringLiteral("บันทึกไม่ได้\ndisk I/O error")});
    }

    void dialogKeysAndResult() {
        ScriptedDialogs dialogs;
        for (int code : {Qt::Key_F2, Qt::Key_Escape}) {
            SampleDialog dialog;
            dialogs.then([code](QDialog& shown) {
                showActive(&shown);
                QTest::keyClick(static_cast<SampleDialog&>(shown).box, Qt::Key(code));
                return shown.result();
            });
            QCOMPARE(dialog.showModal(),
                     int(code == Qt::Key_F2 ? QDialog::Accepted : QDialog::Rejected));
            QCOMPARE(dialog.IsOK, code == Qt::Key_F2);
        }
        // A dialog of a window: its keys are its own, not the window's too.
        SampleForm form;
        SampleDialog dialog(&form);
        dialogs.then([](QDialog& shown) {
            showActive(&shown);
            QTest::keyClick(static_cast<SampleDialog&>(shown).box, Qt::Key_F2);
            return shown.result();
        });
        QCOMPARE(dialog.showModal(), int(QDialog::Accepted));
        QCOMPARE(form.pressed, QStringList());
        checkLayout(&dialog);
    }

    // The real message boxes: Thai titles and buttons, the default button as asked,
    // Esc answering No; however short the text, a box leaves its title bar room for the
    // whole title beside the icon and the frame's buttons.
    void messageBoxes() {
        using Kind = Seams::MessageKind;
        const struct {
            Kind kind;
            bool defaultYes;
            int key;
            int answer;
        } cases[] = {
            {Kind::Error, false, Qt::Key_Escape, 1},
            {Kind::Question, true, Qt::Key_Return, Library::vbYes},
            {Kind::Question, true, Qt::Key_Escape, Library::vbNo},
            {Kind::Question, false, Qt::Key_Return, Library::vbNo},
        };
        for (const auto& c : cases) {
            QStringList shown; // the title, then the buttons
            int width = 0;
            int titleWidth = 0;
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box);
                shown << box->windowTitle();
                for (const QAbstractButton* button : box->buttons())
                    shown << button->text();
                QFont titleFont = box->font();
                titleFont.setBold(true);
                titleWidth = QFontMetrics(titleFont).horizontalAdvance(box->windowTitle());
                width = box->width();
                QTest::keyClick(box, Qt::Key(c.key));
            });
            QCOMPARE(Seams::showMessage(c.kind, QStringLiteral("ผิด"), c.defaultYes), c.answer);
            QVERIFY2(width >= titleWidth + 150, qPrintable(QString::number(width)));
            const QStringList expected =
                c.kind == Kind::Error
                    ? QStringList{QStringLiteral("ข้อผิดพลาด"), QStringLiteral("ตกลง")}
                    : QStringList{QStringLiteral("คำถาม"), QStringLiteral("ใช่"),
                                  QStringLiteral("ไม่ใช่")};
            QCOMPARE(shown, expected);
        }
    }

    void dateBox() {
        ScriptedMessages messages;
        DateBox box;
        box.setDate(QDate(2026, 12, 6));
        QCOMPARE(box.text(), QStringLiteral("06/12/2569"));
        QVERIFY(box.calendarPopup());
        showActive(&box);
        // Typed straight through, wherever the cursor stands: Buddhist-era and Gregorian
        // years, with or without slashes, a Buddhist leap day; a date that does not
        // exist or a partial one leaves the date as it was.
        const std::pair<const char*, QDate> typed[] = {
            {"01022570", QDate(2027, 2, 1)},    {"15/03/2025", QDate(2025, 3, 15)},
            {"1/2/2570", QDate(2027, 2, 1)},    {"29022567", QDate(2024, 2, 29)},
            {"31/04/2569", QDate(2024, 2, 29)}, {"3104", QDate(2024, 2, 29)},
        };
        for (const auto& [text, date] : typed) {
            box.setFocus();
            QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(text));
            pressKey(Qt::Key_Tab);
            QCOMPARE(box.date(), date);
        }
        QCOMPARE(box.text(), QStringLiteral("29/02/2567"));
        // Backspace takes back a typed digit; the date typed is not read while it is typed.
        box.setFocus();
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("0"));
        pressKey(Qt::Key_Backspace);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("02012569"));
        QCOMPARE(box.date(), QDate(2024, 2, 29));
        // The arrows step the section at the cursor of the date typed: here the year.
        box.findChild<QLineEdit*>()->end(false);
        pressKey(Qt::Key_Up);
        QCOMPARE(box.text(), QStringLiteral("02/01/2570"));
    }

    // A date typed as the lists show it, two-digit Buddhist year, is taken; Tab and Enter
    // go on to the next control; a text that names no day is refused aloud, the focus
    // and the old date staying.
    void dateBoxTypedAsListed() {
        ScriptedMessages messages;
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* box = new DateBox(&window);
        auto* next = new QLineEdit(&window);
        layout->addWidget(box);
        layout->addWidget(next);
        box->setDate(QDate(2026, 12, 6));
        showActive(&window);
        const std::tuple<const char*, int, QDate, QWidget*> typed[] = {
            {"15/12/69", Qt::Key_Tab, QDate(2026, 12, 15), next},
            {"010170", Qt::Key_Return, QDate(2027, 1, 1), next},
            {"", Qt::Key_Tab, QDate(2027, 1, 1), next},
            {"31/02/2570", Qt::Key_Tab, QDate(2027, 1, 1), box},
            {"29/02/69", Qt::Key_Return, QDate(2027, 1, 1), box},
            {"15/12/6", Qt::Key_Tab, QDate(2027, 1, 1), box},
        };
        for (const auto& [text, key, date, focus] : typed) {
            box->setFocus();
            messages.clear();
            QTest::keyClicks(QApplication::focusWidget(), QString::fromLatin1(text));
            if (key)
                pressKey(key);
            QCOMPARE(box->date(), date);
            QCOMPARE(QApplication::focusWidget(), focus);
            QCOMPARE(messages.errors,
                     focus == box ? QStringList{QStringLiteral("วันที่ ไม่ถูกต้อง")} : QStringList());
        }
        QCOMPARE(box->text(), QStringLiteral("01/01/2570"));
        // Before the box is left, its date is the one it had, whatever the text names so
        // far; Esc drops the text.
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("200169"));
        QCOMPARE(box->date(), QDate(2027, 1, 1));
        QTest::keyClicks(box, QStringLiteral("5"));
        QCOMPARE(box->date(), QDate(2027, 1, 1));
        pressKey(Qt::Key_Escape);
        QCOMPARE(box->text(), QStringLiteral("01/01/2570"));
        // Leaving by the mouse: the same message, and the focus comes back.
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("3102"));
        next->setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
        QCOMPARE(QApplication::focusWidget(), box);
        QCOMPARE(box->text(), QStringLiteral("01/01/2570"));
        QCOMPARE(messages.errors.size(), 2);

        // Its calendar, opened from the arrow, shows the Buddhist year.
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 4, box->height() / 2));
        auto* calendar = qobject_cast<ThaiCalendar*>(box->calendarWidget());
        QVERIFY(calendar && calendar->isVisible());
        checkCalendarYear(*calendar, 2570);
    }

    // The calendar dialog shows the working date's month under its Buddhist year, and a
    // year typed there is a Buddhist one.
    void calendarInTheBuddhistEra() {
        TestDatabase db;
        frmDate dialog;
        showActive(&dialog);
        checkCalendarYear(*dialog.MonthView1, 2569);
        dialog.MonthView1->yearBox()->setFocus();
        dialog.MonthView1->yearBox()->selectAll();
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("2570"));
        pressKey(Qt::Key_Return);
        QCOMPARE(dialog.MonthView1->yearShown(), 2027);
        QTest::mouseClick(
            dialog.MonthView1->findChild<QToolButton*>(QStringLiteral("btnPrevMonth")),
            Qt::LeftButton);
        QCOMPARE(dialog.MonthView1->monthShown(), 11);
        checkCalendarYear(*dialog.MonthView1, 2570);
        dialog.MonthView1->setSelectedDate(QDate(2027, 1, 1));
        checkCalendarYear(*dialog.MonthView1, 2570);
        QCOMPARE(dialog.MonthView1->monthBox()->currentText(), QStringLiteral("มกราคม"));
    }
};

QTEST_MAIN(tst_frame)
#include "tst_frame.moc"
