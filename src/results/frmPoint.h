#pragma once

#include "results/ClassResultsForm.h"

class QLineEdit;

// Test points: choose a class, type the test number and its full marks, then the
// points of each pupil row after row; the test's result report.
class frmPoint : public ClassResultsForm {
    Q_OBJECT
public:
    explicit frmPoint(QWidget* parent = nullptr);

    QLineEdit* txtTime = nullptr;
    QLineEdit* txtMaxPoint = nullptr;
    QLineEdit* txtPoint = nullptr;

    // The test number: the numeric value of txtTime, 0 when it is no number.
    int testNumber() const;

protected:
    // Shows the chosen class with its first test's full marks.
    void chooseClass() override;
    // Empties the list and gives the test boxes back.
    void backToChoosing() override;
    void loadEditor(QTreeWidgetItem* row) override;
    QLineEdit* firstEditorBox() const override { return txtPoint; }

private:
    void switchState(State state);
    void txtTime_LostFocus();
    void loadPoints();
    bool storeFullMarks(int test);
    void storePoint();
    void moveEditor(int step);
    void PrintReport();
};
