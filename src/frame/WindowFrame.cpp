#include "frame/WindowFrame.h"

#include "core/Database.h"
#include "core/Money.h"
#include "frame/DateBox.h"
#include "frame/KeyToolbar.h"
#include "frame/Library.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QChildEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

bool runDatabaseWork(const QString& action, const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (const DbError& error) {
        Library::MsgError(action + QLatin1Char('\n') + error.message());
        return false;
    }
}

namespace {

bool isEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Combos, date boxes and lists use Down and Up themselves.
bool keepsArrows(const QWidget* widget) {
    return qobject_cast<const QComboBox*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget) ||
           qobject_cast<const QAbstractItemView*>(widget);
}

} // namespace

WindowFrame::WindowFrame(QWidget* window)
    : m_window(window), m_toolbar(new KeyToolbar(window)), m_title(new QLabel(window)) {
    QObject::connect(m_toolbar, &KeyToolbar::buttonClick, window,
                     [this](const QString& key) { pressButton(key); });
    m_title->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = m_title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    m_title->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_title->hide();
    // Every window takes the main window's icon.
    if (QWidget* parent = window->parentWidget())
        window->setWindowIcon(parent->window()->windowIcon());
    watch(window);
}

void WindowFrame::setTitle(const QString& title) {
    m_title->setText(title);
    m_title->setVisible(!title.isEmpty());
}

QVBoxLayout* WindowFrame::addBodyAndToolbar(QVBoxLayout* outer) {
    auto* body = new QVBoxLayout;
    outer->addLayout(body, 1);
    auto* bar = new QHBoxLayout;
    bar->addWidget(m_toolbar);
    bar->addStretch(1);
    bar->addWidget(m_title);
    outer->addLayout(bar);
    return body;
}

void WindowFrame::showHelp(const QString&) {}

void WindowFrame::declareButtons(const Buttons& buttons) {
    for (const auto& [key, action] : buttons)
        m_buttons.insert(key, action);
}

void WindowFrame::pressButton(const QString& key) {
    // The action may close the window: run a copy.
    const std::function<void()> action = m_buttons.value(key);
    // It acts on what the focused box holds, taken as leaving the box would take it;
    // a value the box refuses stops it.
    if (action && leaveFocusedControl())
        action();
}

void WindowFrame::declareKeys(const QList<std::pair<int, QString>>& keys) {
    for (const auto& [key, button] : keys)
        m_keys.insert(key, button);
}

void WindowFrame::declareModes(const QList<Mode>& modes) {
    m_modes = modes;
    setMode(0);
}

void WindowFrame::setMode(int mode) {
    m_mode = mode;
    const Mode& declared = m_modes.at(mode);
    for (const QString& key : m_toolbar->keys()) {
        m_toolbar->setEnabled(key, declared.enabled.contains(key));
        m_toolbar->setVisible(key, !declared.hidden.contains(key));
    }
    showHelp(declared.help);
}

void WindowFrame::moveFocusFrom(QWidget* controlOrPanel, Moves moves) {
    Rules& rules = m_rules[controlOrPanel];
    rules.moveFocus = true;
    rules.moves = moves;
}

void WindowFrame::selectOnEntry(QWidget* controlOrPanel) {
    m_rules[controlOrPanel].selectOnEntry = true;
}

void WindowFrame::moneyBox(QLineEdit* box) {
    m_rules[box].money = true;
}

void WindowFrame::onKey(QWidget* control, int key, std::function<void()> action) {
    m_rules[control].keys.insert(isEnter(key) ? int(Qt::Key_Return) : key, std::move(action));
}

void WindowFrame::onLeave(QWidget* control, std::function<bool()> check) {
    m_rules[control].leave = std::move(check);
}

void WindowFrame::onAction(QWidget* control, std::function<bool()> take) {
    m_rules[control].action = std::move(take);
}

bool WindowFrame::leaveFocusedControl() {
    QWidget* focus = QApplication::focusWidget();
    if (!focus || !belongs(focus))
        return true;
    if (DateBox* date = dateBoxOf(focus))
        return date->commit() && leave(date);
    if (const Rules* rules = rulesOf(focus); rules && rules->action) {
        const std::function<bool()> take = rules->action;
        if (!take())
            return false;
    }
    // The box keeps the focus: a text selected whole stays so, to be typed over.
    auto* box = qobject_cast<QLineEdit*>(focus);
    const bool selectedWhole = box && !box->text().isEmpty() && box->selectedText() == box->text();
    const bool taken = leave(focus);
    if (selectedWhole && QApplication::focusWidget() == box)
        box->selectAll();
    return taken;
}

DateBox* WindowFrame::dateBoxOf(QWidget* widget) const {
    for (QWidget* w = widget; w && belongs(w); w = w->parentWidget())
        if (auto* date = qobject_cast<DateBox*>(w))
            return date;
    return nullptr;
}

void WindowFrame::watch(QObject* object) {
    object->installEventFilter(m_window);
    const QList<QWidget*> children = object->findChildren<QWidget*>();
    for (QWidget* child : children)
        child->installEventFilter(m_window);
}

const WindowFrame::Rules* WindowFrame::rulesOf(QWidget* widget) const {
    const auto found = m_rules.constFind(widget);
    return found == m_rules.cend() ? nullptr : &*found;
}

bool WindowFrame::belongs(const QWidget* widget) const {
    return widget == m_window || m_window->isAncestorOf(widget);
}

bool WindowFrame::frameEvent(QObject* watched, QEvent* event) {
    // A dialog the window opens is its child but has keys and fields of its own.
    if (auto* widget = qobject_cast<QWidget*>(watched);
        widget && widget->window() != m_window->window())
        return false;
    switch (event->type()) {
    case QEvent::ChildAdded:
        if (QObject* child = static_cast<QChildEvent*>(event)->child(); child->isWidgetType())
            watch(child);
        return false;
    case QEvent::ShortcutOverride: {
        // Function keys and Esc belong to the window, not to a control's shortcut.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape || (key >= Qt::Key_F1 && key <= Qt::Key_F12))
            event->accept();
        return false;
    }
    case QEvent::KeyPress: {
        // A key a control ignores travels on to its parents: see it once only, at the
        // control with the focus (the window's own, also while another window is
        // active) or at a control with keys of its own, which has no such children.
        QWidget* focus = QApplication::focusWidget();
        const Rules* rules = rulesOf(qobject_cast<QWidget*>(watched));
        const bool first = watched == focus || watched == m_window->focusWidget() ||
                           (rules && !rules->keys.isEmpty()) ||
                           (watched == m_window && !m_window->isAncestorOf(focus));
        return first && keyPress(watched, static_cast<QKeyEvent*>(event)->key());
    }
    case QEvent::FocusIn:
        if (auto* widget = qobject_cast<QWidget*>(watched); widget && belongs(widget))
            focusIn(widget);
        return false;
    case QEvent::FocusOut: {
        // Another window taking the focus (a message box, a popup) is not leaving the field.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && belongs(widget) && reason != Qt::ActiveWindowFocusReason &&
            reason != Qt::PopupFocusReason)
            leave(widget);
        return false;
    }
    default:
        return false;
    }
}

QString WindowFrame::buttonOfKey(int key) const {
    if (key == Qt::Key_F2 && !m_modes.isEmpty() && !m_modes.at(m_mode).f2.isEmpty())
        return m_modes.at(m_mode).f2;
    return m_keys.value(key);
}

bool WindowFrame::keyPress(QObject* watched, int key) {
    if (const QString button = buttonOfKey(key); !button.isEmpty())
        return pressIfEnabled(button);

    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !belongs(widget))
        return false;
    // Enter in a date box takes the date typed and moves on, as in every other box.
    if (DateBox* date = dateBoxOf(widget); date && isEnter(key)) {
        if (date->commit())
            Library::KeyMoveFocus(date, key);
        return true;
    }
    const int declaredKey = isEnter(key) ? int(Qt::Key_Return) : key;
    for (QWidget* w = widget; w && belongs(w); w = w->parentWidget()) {
        const Rules* rules = rulesOf(w);
        if (rules && rules->keys.contains(declaredKey)) {
            // The action may close the window: run a copy.
            const std::function<void()> action = rules->keys.value(declaredKey);
            action();
            return true;
        }
    }
    bool arrowsFree = true;
    for (QWidget* w = widget; w && belongs(w); w = w->parentWidget()) {
        arrowsFree = arrowsFree && !keepsArrows(w);
        const Rules* rules = rulesOf(w);
        if (!rules || !rules->moveFocus)
            continue;
        const bool arrow = key == Qt::Key_Down || key == Qt::Key_Up;
        if (isEnter(key) || (arrow && arrowsFree && rules->moves == Moves::EnterAndArrows))
            return Library::KeyMoveFocus(widget, key);
        return false;
    }
    return false;
}

bool WindowFrame::pressIfEnabled(const QString& button) {
    if (m_toolbar->isAvailable(button))
        pressButton(button);
    return true;
}

void WindowFrame::focusIn(QWidget* widget) {
    auto* box = qobject_cast<QLineEdit*>(widget);
    if (!box)
        return;
    if (const Rules* rules = rulesOf(box); rules && rules->money) {
        box->setText(Library::FormatNum(box->text(), false, 2));
        box->selectAll();
        return;
    }
    for (QWidget* w = widget; w && belongs(w); w = w->parentWidget()) {
        if (const Rules* rules = rulesOf(w); rules && rules->selectOnEntry) {
            Library::SelectAllText(box);
            return;
        }
    }
}

bool WindowFrame::leave(QWidget* widget) {
    const Rules* rules = rulesOf(widget);
    if (!rules)
        return true;
    // An amount beyond what can be stored, or digits with a separator out of place, stay as
    // typed, for the save to refuse; an amount shows whole with its separators.
    if (auto* box = static_cast<QLineEdit*>(widget);
        rules->money && !Money::isOutOfRange(box->text()) && !Money::isMalformed(box->text()))
        Library::showWhole(box, Money::fromText(box->text()).toText(true));
    if (!rules->leave)
        return true;
    const std::function<bool()> check = rules->leave;
    return check();
}
