#pragma once

#include "results/ClassResultsForm.h"

class QLineEdit;

// Grades: choose a class and its pupils are listed; type the final points and the
// grade of each pupil row after row, each stored as its box is left; the class's
// result report.
class frmGrade : public ClassResultsForm {
    Q_OBJECT
public:
    explicit frmGrade(QWidget* parent = nullptr);

    QLineEdit* txtPoint = nullptr;
    QLineEdit* txtGrade = nullptr;

protected:
    // Lists the chosen class's pupils.
    void chooseClass() override;
    // The list and the editor stay on screen, taking no input.
    void backToChoosing() override { setState(Choose); }
    void loadEditor(QTreeWidgetItem* row) override;
    QLineEdit* firstEditorBox() const override { return txtPoint; }

private:
    void loadGrades();
    // Each stores its box for the pupil in the editor; false (after an error box) when
    // the write failed or was refused, the typed value staying in the box, or when the
    // registration is gone.
    bool txtPoint_LostFocus();
    bool txtGrade_LostFocus();
    void txtPoint_KeyDown(int key);
    void txtGrade_KeyDown(int key);
    // rowWritten, the boxes storing nothing while the editor moves to another row.
    bool rowStored(PointGradeStore::Outcome outcome, QLineEdit* box);
    // Moves on after a box was stored, without storing it again as it is left.
    void moveStored(QLineEdit* box, QTreeWidgetItem* row);
    void PrintReport();

    bool m_moving = false;
};
