#pragma once

#include "results/HistoryDialog.h"

// The payment lines of one student's bills that are not cancelled, oldest bill
// first, with what each class still owed after the line.
class frmStudentStm : public HistoryDialog {
    Q_OBJECT
public:
    explicit frmStudentStm(QWidget* parent = nullptr);

    // The code is matched as given (not trimmed).
    void InitData(const QString& stdId, const QString& title);
};
