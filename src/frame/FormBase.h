#pragma once

#include "frame/WindowFrame.h"

#include <QWidget>

class QFrame;
class QLabel;
class QStackedWidget;
class QVBoxLayout;

// A task window of the main window: its list or panel at the top, the toolbar at
// the bottom with the title at its right, two rules and a one-line key hint.
// The window declares its keys and modes to the frame (WindowFrame).
class FormBase : public QWidget, public WindowFrame {
    Q_OBJECT
public:
    explicit FormBase(QWidget* parent = nullptr);

    // The modes of a list-and-panel window (declareListAndPanel).
    enum ListAndPanelMode { Browse = 0, Edit = 1, Add = 2 };

    QLabel* menuHelpLabel() const { return m_menuHelp; }
    // Closes the window (its frame inside the main window, if any).
    void unload();
    // Gives the focus to the control the window opens with, its text selected
    // (when none was named: the control that last had the focus, else the first
    // of the tab order; when no control can take it, the window itself, so that
    // its keys still work). The main window calls it on every opening, so that
    // typing at once goes to that control.
    void focusOpening();

protected:
    // The area above the toolbar where the window puts its list or panel.
    QVBoxLayout* body() const { return m_body; }
    // Adds the list and the edit panel over the same rectangle, the list shown;
    // the window takes the size the larger of the two needs.
    void addListAndPanel(QWidget* list, QWidget* panel);
    // Shows the panel in place of the list, or the list again.
    void showPanel(bool shown);

    // A list-and-panel window: the list in Browse with its buttons enabled and its key
    // hint; the panel in Edit and Add with Save and Cancel (F2 saves). F3 presses Edit,
    // F4 Delete, Esc Cancel: Cancel closes the window from the list and goes back to it
    // from the panel through backToList. `buttons` holds New, Edit, Delete, Save and the
    // window's own; `hidden` the buttons carried hidden in every mode.
    struct ListAndPanel {
        QStringList listButtons;
        QString listHelp;
        QStringList hidden;
        Buttons buttons;
        std::function<void()> backToList;
    };
    void declareListAndPanel(const ListAndPanel& window);
    void setMenuHelp(const QString& help);
    // Moves the two rules from above the key hint to above the toolbar, where the
    // windows without a list-and-panel layout of their own draw them.
    void rulesAboveToolbar();
    void setOpeningControl(QWidget* control) { m_openingControl = control; }
    void showHelp(const QString& help) override { setMenuHelp(help); }

    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Where the focus mark goes: around the window while it holds the focus itself,
    // or around a list without rows that holds it; null when the control with the
    // focus shows it.
    QRect focusMarkRect() const;
    // The window owns the keyboard while it is the active one: when the control
    // with the focus is disabled or hidden, the focus comes back into the window.
    void keepKeyboard();

    QVBoxLayout* m_outer;
    QVBoxLayout* m_body;
    QStackedWidget* m_listAndPanel = nullptr;
    QLabel* m_menuHelp;
    QWidget* m_openingControl = nullptr;
    QFrame* m_line1;
    QFrame* m_line2;
};
