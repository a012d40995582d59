#pragma once

#include "library/WindowFrame.h"

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
    void setMenuHelp(const QString& help);
    void setOpeningControl(QWidget* control) { m_openingControl = control; }
    void showHelp(const QString& help) override { setMenuHelp(help); }

    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    // The window owns the keyboard while it is the active one: when the control
    // with the focus is disabled or hidden, the focus comes back into the window.
    void keepKeyboard();

    QVBoxLayout* m_body;
    QStackedWidget* m_listAndPanel = nullptr;
    QLabel* m_menuHelp;
    QWidget* m_openingControl = nullptr;
    QFrame* m_line1;
    QFrame* m_line2;
};
