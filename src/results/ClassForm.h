#pragma once

#include "core/Recordset.h"
#include "frame/FormBase.h"

#include <QString>
#include <QStringList>
#include <optional>

class QFrame;
class QLabel;
class QTreeWidget;
class QVBoxLayout;

// A window that works on one class (lessons, points, grades). It opens in its choose
// state: the class labels empty, the class panel (Picture1, the list on top) taking no
// input, F9 opening the class picker. A chosen class fills the labels and the window
// goes to its list state; Esc there goes back to choosing, and Esc again closes.
class ClassForm : public FormBase {
    Q_OBJECT
public:
    QLabel* lblCourse = nullptr;
    QLabel* lblLevel = nullptr;
    QLabel* lblSubject = nullptr;
    QFrame* Picture1 = nullptr;
    QTreeWidget* ListView1 = nullptr;

    // The chosen class (its code); empty when none is chosen.
    QString courseNo() const { return m_courseNo; }

protected:
    enum State { Choose, Listed };

    // Makes the class labels, the panel with its list and the first toolbar button,
    // "Course". The window lays the labels out in classHeader(), adds its own buttons
    // and then declares its states.
    explicit ClassForm(QWidget* parent);

    // Above the panel: where the window lays out the class labels and its own fields.
    QVBoxLayout* classHeader() const { return m_header; }
    // The panel's layout, holding the list; the window may add under it.
    QVBoxLayout* classPanel() const { return m_panel; }

    // The buttons each state enables besides Course (choosing) and Cancel (both), the
    // one key hint and the button F2 presses. F9 presses Course, which runs
    // chooseClass; Esc presses Cancel, which runs backToChoosing in the list state and
    // closes the window in the choose state. Call it once every toolbar button is
    // added, Cancel (with the window's caption) the last; the window is then choosing.
    void declareStates(const QStringList& choosing, const QStringList& listing, const QString& help,
                       const QString& f2);
    // The toolbar's state, and the class panel taking input only in Listed.
    void setState(State state);
    State state() const { return State(mode()); }

    // What Course (F9) runs.
    virtual void chooseClass() = 0;
    // What Esc runs in the list state: the window goes back to choosing (setState).
    virtual void backToChoosing() = 0;

    // Shows the class picker; the code of the class confirmed there, if any.
    std::optional<QString> pickClass();
    // The class's row of QCourseTable; empty when the class is not stored.
    static Recordset readClass(const QString& courseNo);
    // Takes a class read by readClass as the chosen one and shows it in the labels.
    void showClass(const Recordset& course);
    // No class chosen any more: the code and the labels emptied.
    void clearClass();

private:
    QVBoxLayout* m_header;
    QVBoxLayout* m_panel;
    QString m_courseNo;
};
