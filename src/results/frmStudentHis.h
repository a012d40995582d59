#pragma once

#include "results/HistoryDialog.h"

// One student's classes in the closed ("0") or open ("1") courses with the
// grade and the points of the nine tests; a course's name heads its first class.
class frmStudentHis : public HistoryDialog {
    Q_OBJECT
public:
    explicit frmStudentHis(QWidget* parent = nullptr);

    // The code and status are matched as given.
    void InitData(const QString& stdId, const QString& status, const QString& title);
};
