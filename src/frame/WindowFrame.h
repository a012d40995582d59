#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class DateBox;
class KeyToolbar;
class QEvent;
class QLabel;
class QLineEdit;
class QVBoxLayout;
class QObject;
class QWidget;

// Runs the database work of a user action: its write, or a read the action
// stands on. A DbError becomes an error box that names what failed
// ("บันทึกวิชาเรียนไม่ได้") above the database's message. Returns whether the
// work went through.
bool runDatabaseWork(const QString& action, const std::function<void()>& work);

// What every window and dialog of the shared conventions has, declared once by
// the window and carried out here: the toolbar addressed by key, function keys
// that press their button only while it is enabled, modes as data, Enter and
// arrow keys that move the focus, boxes that select their text on entry, money
// boxes and actions on leaving a field. One key filter on the window and every
// child it ever gets sees each key before the control does.
class WindowFrame {
public:
    // A mode of the window: the toolbar keys enabled in it (the others are
    // disabled), the key hint it shows, the button F2 presses in it and the
    // toolbar keys hidden in it.
    struct Mode {
        QStringList enabled;
        QString help;
        QString f2;
        QStringList hidden = {};
    };
    // Which keys move the focus out of a control: Enter always; Down and Up too
    // unless the control needs its arrows (combo, date box, list).
    enum class Moves { EnterAndArrows, EnterOnly };
    // What toolbar buttons run, by key, e.g. {"Edit", [this] { EditRecord(); }}.
    using Buttons = QList<std::pair<QString, std::function<void()>>>;

    virtual ~WindowFrame() = default;
    WindowFrame(const WindowFrame&) = delete;
    WindowFrame& operator=(const WindowFrame&) = delete;

    KeyToolbar* toolbar() const { return m_toolbar; }
    // Presses a toolbar button as a click would, whatever its state: the focused
    // box is taken first (leaveFocusedControl).
    void pressButton(const QString& key);
    // The toolbar button a key presses in the current mode; empty when none.
    QString buttonOfKey(int key) const;
    int mode() const { return m_mode; }
    int modeCount() const { return static_cast<int>(m_modes.size()); }
    // Enables and shows the mode's buttons and its key hint.
    void setMode(int mode);

protected:
    explicit WindowFrame(QWidget* window);

    void setTitle(const QString& title);
    // Adds the body (returned, for the window's controls) and below it the
    // toolbar with the title at its right.
    QVBoxLayout* addBodyAndToolbar(QVBoxLayout* outer);
    // The key hint of a mode; windows with a hint line show it there.
    virtual void showHelp(const QString& help);

    // What each toolbar button runs; a click, its function key and pressButton
    // run it. Declared again, a button takes the new action.
    void declareButtons(const Buttons& buttons);
    // Function keys and the toolbar button each presses, e.g. {Qt::Key_F3, "Edit"}.
    void declareKeys(const QList<std::pair<int, QString>>& keys);
    // The modes, numbered from 0 in this order; the window starts in mode 0.
    void declareModes(const QList<Mode>& modes);

    // Enter (and by rule the arrows) moves on from the control, or from every
    // control inside a panel.
    void moveFocusFrom(QWidget* controlOrPanel, Moves moves = Moves::EnterAndArrows);
    // The text box, or every text box inside a panel, selects its text on entry.
    void selectOnEntry(QWidget* controlOrPanel);
    // Plain digits while the box has the focus, separators and two decimals after.
    void moneyBox(QLineEdit* box);
    // A key in the control runs the action instead of reaching it; Qt::Key_Return
    // stands for both Enter keys.
    void onKey(QWidget* control, int key, std::function<void()> action);
    // The check runs when the focus leaves the control for another of the window;
    // false means the value was refused.
    void onLeave(QWidget* control, std::function<bool()> check);
    // What a button's action takes from the control, when it has the focus, beyond
    // its leaving rules (which run after); false means the value was refused and
    // the action does not run.
    void onAction(QWidget* control, std::function<bool()> take);
    // Takes what the control with the focus holds, as if the focus left it: a date
    // being typed, then its leaving rules. Every button runs it before its action.
    // False when the value was refused.
    bool leaveFocusedControl();

    // The window's eventFilter hands every event here first; true means eaten.
    bool frameEvent(QObject* watched, QEvent* event);

private:
    struct Rules {
        Moves moves = Moves::EnterAndArrows;
        bool moveFocus = false;
        bool selectOnEntry = false;
        bool money = false;
        QHash<int, std::function<void()>> keys;
        std::function<bool()> leave;
        std::function<bool()> action;
    };

    void watch(QObject* object);
    bool keyPress(QObject* watched, int key);
    bool pressIfEnabled(const QString& button);
    void focusIn(QWidget* widget);
    bool leave(QWidget* widget);
    // The date box the widget is or stands in, if any.
    DateBox* dateBoxOf(QWidget* widget) const;
    const Rules* rulesOf(QWidget* widget) const;
    bool belongs(const QWidget* widget) const;

    QWidget* m_window;
    KeyToolbar* m_toolbar;
    QLabel* m_title;
    QHash<QString, std::function<void()>> m_buttons;
    QHash<int, QString> m_keys;
    QList<Mode> m_modes;
    int m_mode = 0;
    QHash<QWidget*, Rules> m_rules;
};
