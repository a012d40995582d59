#include "results/frmReport.h"

#include "frame/DateBox.h"
#include "frame/KeyToolbar.h"
#include "frame/Library.h"
#include "report/viewer/LibraryReports.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// One report of the window: its file, its statement up to the date condition and
// its titles for one day and for a range.
struct DailyReport {
    const char16_t* file;
    const char16_t* select;
    const char16_t* dayTitle;
    const char16_t* rangeTitle;
};

const DailyReport reports[] = {
    {u"rep12.rpt", u"SELECT  * From   Expense   Where  ExpDate ", u"รายงาน รับ/จ่าย อื่นๆ ประจำวันที่  ",
     u"รายงาน รับ/จ่าย อื่นๆ ระหว่างวันที่  "},
    {u"rep10.rpt",
     u"SELECT  StdID, StmNetAmt, StmDocNo, StmDate, IsCancel, UserID, UserCancelID, StdName "
     u"From   QStatementStudent Where StmDate ",
     u"รายงานใบเสร็จรับเงิน  ประจำวันที่  ", u"รายงานใบเสร็จรับเงิน  ระหว่างวันที่  "},
    {u"rep11.rpt",
     u"SELECT  StdID, StdName, CourseLevel, CourseRegDate, Subject, CoursePrice, CourseName "
     u"From   QStudentCourse3 Where CourseRegDate ",
     u"รายงานการลงทะเบียน  ประจำวันที่  ", u"รายงานการลงทะเบียน  ระหว่างวันที่  "},
    {u"rep14.rpt", u"SELECT  * From   qTeacherTimeStamp   Where  StmDate ",
     u"รายงานการเข้าสอนของอาจารย์ ประจำวันที่  ", u"รายงานการเข้าสอนของอาจารย์  ระหว่างวันที่  "},
};

} // namespace

frmReport::frmReport(QWidget* parent) : FormBase(parent) {
    rulesAboveToolbar();
    Label1 = new QLabel(QStringLiteral("ประจำวันที่ :"), this);
    dtpDate1 = new DateBox(this);
    dtpDate1->setObjectName(QStringLiteral("dtpDate1"));
    Label2 = new QLabel(QStringLiteral("ถึงวันที่ :"), this);
    dtpDate2 = new DateBox(this);
    dtpDate2->setObjectName(QStringLiteral("dtpDate2"));
    auto* dates = new QHBoxLayout;
    for (QWidget* control : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(dtpDate1),
                             static_cast<QWidget*>(Label2), static_cast<QWidget*>(dtpDate2)})
        dates->addWidget(control);
    dates->addStretch(1);
    body()->addLayout(dates);

    Option1 = new QRadioButton(QStringLiteral("รายงาน รับ/จ่าย อื่นๆ"), this);
    Option2 = new QRadioButton(QStringLiteral("รายงานใบเสร็จรับเงิน"), this);
    Option3 = new QRadioButton(QStringLiteral("รายงานการลงทะเบียนประจำวัน"), this);
    Option4 = new QRadioButton(QStringLiteral("รายงานการเข้าสอน"), this);
    auto* options = new QVBoxLayout;
    options->setContentsMargins(Label1->sizeHint().width(), 8, 0, 8);
    int number = 1;
    for (QRadioButton* option : {Option1, Option2, Option3, Option4}) {
        option->setObjectName(QStringLiteral("Option%1").arg(number++));
        options->addWidget(option);
    }
    body()->addLayout(options);
    body()->addStretch(1);

    toolbar()->addButton(QStringLiteral("Print"), QStringLiteral("พิมพ์"),
                         QStringLiteral("[F2] - พิมพ์"));
    toolbar()->addStandardButton(QStringLiteral("Cancel"));
    declareButtons({{QStringLiteral("Print"), [this] { printChosen(); }},
                    {QStringLiteral("Cancel"), [this] { unload(); }}});
    // Printing is the window's one action: the main key presses it.
    declareKeys(
        {{Qt::Key_F2, QStringLiteral("Print")}, {Qt::Key_Escape, QStringLiteral("Cancel")}});
    setMenuHelp(QStringLiteral("F2=พิมพ์  |  ESC=ยกเลิก"));
    moveFocusFrom(dtpDate1);
    moveFocusFrom(dtpDate2);
    setTitle(QStringLiteral(" รายงานประจำวัน "));

    Option1->setChecked(true);
    const QDate today = Library::KeyToDate(Library::gToday);
    dtpDate1->setDate(today);
    dtpDate2->setDate(today);
}

void frmReport::printChosen() {
    const QRadioButton* options[] = {Option1, Option2, Option3, Option4};
    for (int option = 0; option < 4; ++option)
        if (options[option]->isChecked()) {
            PrintReport(option);
            return;
        }
}

void frmReport::PrintReport(int option) {
    const DailyReport& daily = reports[option];
    const QDate first = dtpDate1->date();
    const QDate last = dtpDate2->date();
    const bool oneDay = first == last;
    QString title = QString::fromUtf16(oneDay ? daily.dayTitle : daily.rangeTitle) +
                    Library::DateToThaiDate(first);
    if (!oneDay)
        title += QStringLiteral("  ถึงวันที่  ") + Library::DateToThaiDate(last);
    // The title keeps the pickers' order; the statement takes the earlier day first, so
    // that a range typed later day first still selects the days between.
    QString sql = QString::fromUtf16(daily.select);
    QVariantList days{Library::DateToKey(std::min(first, last))};
    if (oneDay) {
        sql += QStringLiteral("= ? ");
    } else {
        sql += QStringLiteral("Between ? And ? ");
        days << Library::DateToKey(std::max(first, last));
    }

    Library::ShowTitledReport(QString::fromUtf16(daily.file), title, sql, days);
}
