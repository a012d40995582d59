#pragma once

#include "frame/DialogBase.h"
#include "frame/ThaiCalendar.h"

#include <QDate>

// Picks one day on a month calendar, starting at the working date. After
// showModal read IsOK and, when it is true, SelDate.
class frmDate : public DialogBase {
    Q_OBJECT
public:
    explicit frmDate(QWidget* parent = nullptr);

    QDate SelDate;

    ThaiCalendar* MonthView1 = nullptr;
};
