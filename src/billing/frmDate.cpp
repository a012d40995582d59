#include "billing/frmDate.h"

#include "frame/KeyToolbar.h"
#include "frame/Library.h"
#include "frame/ThaiCalendar.h"

#include <QVBoxLayout>

frmDate::frmDate(QWidget* parent) : DialogBase(QStringLiteral("เลือกวันที่"), parent) {
    MonthView1 = new ThaiCalendar(this);
    MonthView1->setObjectName(QStringLiteral("MonthView1"));
    body()->addWidget(MonthView1);

    // The calendar keeps its own keys: no function key presses OK or Cancel. Enter
    // (or a double click) on a day is the calendar's own confirming of it.
    toolbar()->addButton(QStringLiteral("OK"), QStringLiteral("ตกลง"), QString());
    toolbar()->addButton(QStringLiteral("Cancel"), QStringLiteral("  ยกเลิก  "), QString());

    declareButtons({{QStringLiteral("OK"),
                     [this] {
                         SelDate = MonthView1->selectedDate();
                         confirm();
                     }},
                    {QStringLiteral("Cancel"), [this] { reject(); }}});
    connect(MonthView1, &QCalendarWidget::activated, this,
            [this] { pressButton(QStringLiteral("OK")); });
    MonthView1->setSelectedDate(Library::KeyToDate(Library::gToday));
    MonthView1->setFocus();
}
