#pragma once

#include "core/Recordset.h"
#include "results/ClassForm.h"
#include "results/PointGradeStore.h"

#include <QList>
#include <QPair>
#include <QString>

class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QTreeWidgetItem;

// What the test points and grades windows share besides the class window: the class
// labels in a grid beside the window's own fields, the list of the class's pupils with
// an editor row under it whose cells line up with the list's columns, the button that
// loads the list and the class report.
class ClassResultsForm : public ClassForm {
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

    QLabel* lblStdID = nullptr;
    QLabel* lblStdName = nullptr;

    // The pupil whose row the editor holds; what a stored value is written for.
    QString editedStdID() const { return m_editStdId; }

protected:
    // The grid above the panel: the class labels on rows 0 to 2, columns 0 and 1;
    // a window adds its own fields from column 2 on.
    QGridLayout* classFields() const { return m_fields; }
    // The editor row under the list: one cell per list column.
    void setEditorCells(const QList<QWidget*>& cells);

    // Shows the class picker. On a confirmed class clears the list and, when the class
    // is found, shows it in the labels and gives its row of QCourseTable. Returns
    // whether a class was confirmed.
    bool pickClassAndClearList(Recordset& found);
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
    QTreeWidgetItem* m_editRow = nullptr;
    QString m_editStdId;
};
