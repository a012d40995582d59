#pragma once

#include "frame/FormBase.h"

#include <QList>

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
    // The option of a daily report, numbered from 1 in the order of dailyReports();
    // Option(1) is the control named "Option1".
    QRadioButton* Option(int number) const { return m_options.at(number - 1); }

private:
    // The report of the option (0 for the first) over the pickers' days.
    void PrintReport(int option);
    // The report of the checked option.
    void printChosen();

    QList<QRadioButton*> m_options;
};
