#pragma once

#include "frame/FormBase.h"

class DateBox;
class QLabel;
class QRadioButton;

// The daily reports: other receipts and payments, bills, registrations or
// lessons taught, for one day or a range of days; each Print opens a viewer.
class frmReport : public FormBase {
    Q_OBJECT
public:
    explicit frmReport(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    DateBox* dtpDate1 = nullptr;
    QLabel* Label2 = nullptr;
    DateBox* dtpDate2 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QRadioButton* Option3 = nullptr;
    QRadioButton* Option4 = nullptr;

private:
    // The report of the option (0: Option1 ... 3: Option4) over the pickers' days.
    void PrintReport(int option);
    // The report of the checked option.
    void printChosen();
};
