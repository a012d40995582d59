#pragma once

#include <QWidget>

class KeyToolbar;
class QFrame;
class QKeyEvent;
class QLabel;
class QVBoxLayout;

// A task window of the main window: its list or panel at the top, the toolbar at
// the bottom with the title at its right, two rules and a one-line key hint.
// The window sees keys before its controls (formKeyDown).
class FormBase : public QWidget {
    Q_OBJECT
public:
    explicit FormBase(QWidget* parent = nullptr);

    KeyToolbar* toolbar() const { return m_toolbar; }
    QLabel* titleLabel() const { return m_title; }
    QLabel* menuHelpLabel() const { return m_menuHelp; }
    // Presses a toolbar button as a click would, whatever its state.
    void pressButton(const QString& key) { toolbarButtonClick(key); }
    // Closes the window (its frame inside the main window, if any).
    void unload();

protected:
    // The area above the toolbar where the window puts its list or panel.
    QVBoxLayout* body() const { return m_body; }
    void setTitle(const QString& title);
    void setMenuHelp(const QString& help);
    // Watches the keys of every control of the window; call after building it.
    void installKeyPreview();
    // Return true when the key is handled and must not reach the control.
    virtual bool formKeyDown(QObject* target, QKeyEvent* event);
    virtual void toolbarButtonClick(const QString& key);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QVBoxLayout* m_body;
    KeyToolbar* m_toolbar;
    QLabel* m_title;
    QLabel* m_menuHelp;
    QFrame* m_line1;
    QFrame* m_line2;
};
