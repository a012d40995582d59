#include "billing/frmDate.h"

#include "library/KeyToolbar.h"
#include "library/Library.h"
#include "library/ThaiCalendar.h"

#include <QVBoxLayout>

frmDate::frmDate(QWidget* parent) : DialogBase(QStringLiteral("เลือกวันที่"), parent) {
    MonthView1 = new ThaiCalendar(this);
    MonthView1->setObjectName(QStringLiteral("MonthView1"));
    body()->addWidget(MonthView1);

    // The calendar keeps its own keys: no function key presses OK or Cancel.
    toolbar()->addButton(QStringLiteral("OK"), QStringLiteral("ตกลง"), QString());
    toolbar()->addButton(QStringLiteral("Cancel"), QStringLiteral("  ยกเลิก  "), QString());

    MonthView1->setSelectedDate(Library::KeyToDate(Library::gToday));
}

void frmDate::toolbarButtonClick(const QString& key) {
    if (key == QStringLiteral("OK")) {
        SelDate = MonthView1->selectedDate();
        confirm();
    } else if (key == QStringLiteral("Cancel")) {
        reject();
    }
}
