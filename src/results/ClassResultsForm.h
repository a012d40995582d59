#pragma once

#include "core/Recordset.h"
#include "frame/FormBase.h"
#include "results/PointGradeStore.h"

#include <QList>
#include <QPair>
#include <QString>

class QFrame;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

// What the test points and grades windows share: the chosen class in the class
// labels, the class panel with the list of its pupils and an editor row under the
// list whose cells line up with the list's columns, the toolbar with its two
// states (choose a class, work on its list) and the class report.
class ClassResultsForm : public FormBase {
    Q_OBJECT
public:
    // The window's own button that loads the list, and its texts.
    struct Texts {
        QString loadKey;
        QString loadCaption;
        QString reportTip;
        QString title;
        QString help;
    };
    ClassResultsForm(const Texts& texts, QWidget* parent);

    QLabel* lblCourse = nullptr;
    QLabel* lblLevel = nullptr;
    QLabel* lblSubject = nullptr;
    QFrame* Picture1 = nullptr;
    QTreeWidget* ListView1 = nullptr;
    QLabel* lblStdID = nullptr;
    QLabel* lblStdName = nullptr;

    // The chosen class (the tag of lblCourse); empty when none is chosen.
    QString courseNo() const { return m_courseNo; }
    // The pupil whose row the editor holds; what a stored value is written for.
    QString editedStdID() const { return m_editStdId; }

protected:
    enum State { Choose, Listed };
    // The toolbar keys of the state, and the class panel taking input only in Listed.
    void setState(State state);
    State state() const { return State(mode()); }

    // The grid above the panel: the class labels on rows 0 to 2, columns 0 and 1;
    // a window adds its own fields from column 2 on.
    QGridLayout* classFields() const { return m_fields; }
    // The editor row under the list: one cell per list column.
    void setEditorCells(const QList<QWidget*>& cells);

    // Shows the class picker. On a confirmed class clears the list and, when the class
    // is found, shows it in the labels and gives its row of QCourseTable. Returns
    // whether a class was confirmed.
    bool chooseClass(Recordset& found);
    static Recordset readClass(const QString& courseNo);
    // The class's registrations, by student code.
    Recordset readPupils(const QString& columns) const;

    // Fills the list, one row per list of column texts (the first being the code).
    void fillList(const QList<QStringList>& rows);
    // Makes a row the selected one and loads the editor from it (the editor is
    // emptied when there is no row).
    void selectRow(QTreeWidgetItem* row);
    // The row one step down (1) or up (-1) from the editor's; null at either end.
    QTreeWidgetItem* neighbourRow(int step) const;
    QTreeWidgetItem* editedRow() const { return m_editRow; }
    bool hasRows() const;

    // Whether the edited row's value typed in the box was stored. A refused number is
    // said and stays selected in its box; a registration deleted meanwhile is said, its
    // row leaves the list and the editor takes the row now in its place.
    bool rowWritten(PointGradeStore::Outcome outcome, QLineEdit* box);

    // Copies a row into the window's boxes; null empties them.
    virtual void loadEditor(QTreeWidgetItem* row) = 0;
    // The box that takes the focus when a row is chosen.
    virtual QLineEdit* firstEditorBox() const = 0;

    // Opens a report, sets its formula fields (report-formula text) and shows the
    // class's rows of sql (the class code bound). Nothing happens with an empty list.
    void showClassReport(const QString& file, const QString& title, const QString& sql,
                         const QList<QPair<QString, QString>>& formulas);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rowChosen(QTreeWidgetItem* row);
    void alignEditorCells();

    QGridLayout* m_fields;
    QHBoxLayout* m_editorRow;
    QList<QWidget*> m_editorCells;
    QString m_courseNo;
    QTreeWidgetItem* m_editRow = nullptr;
    QString m_editStdId;
};
