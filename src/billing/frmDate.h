#pragma once

#include "frame/DialogBase.h"

#include <QDate>

class QCalendarWidget;

// Picks one day on a month calendar, starting at the working date. After
// showModal read IsOK and, when it is true, SelDate.
class frmDate : public DialogBase {
    Q_OBJECT
public:
    explicit frmDate(QWidget* parent = nullptr);

    QDate SelDate;

    QCalendarWidget* MonthView1 = nullptr;
};
