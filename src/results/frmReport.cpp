#include "results/frmReport.h"

#include "frame/DateBox.h"
#include "frame/KeyToolbar.h"
#include "frame/Library.h"
#include "platform/LibraryReports.h"
#include "results/ReportTables.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

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

    auto* options = new QVBoxLayout;
    options->setContentsMargins(Label1->sizeHint().width(), 8, 0, 8);
    for (const DailyReport& report : dailyReports()) {
        auto* option = new QRadioButton(report.caption, this);
        m_options << option;
        option->setObjectName(QStringLiteral("Option%1").arg(m_options.size()));
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

    m_options.first()->setChecked(true);
    const QDate today = Library::KeyToDate(Library::gToday);
    dtpDate1->setDate(today);
    dtpDate2->setDate(today);
}

void frmReport::printChosen() {
    for (int option = 0; option < m_options.size(); ++option)
        if (m_options.at(option)->isChecked()) {
            PrintReport(option);
            return;
        }
}

void frmReport::PrintReport(int option) {
    const DailyReport& daily = dailyReports().at(option);
    const QDate first = dtpDate1->date();
    const QDate last = dtpDate2->date();
    const bool oneDay = first == last;
    QString title = (oneDay ? daily.dayTitle : daily.rangeTitle) + Library::DateToThaiDate(first);
    if (!oneDay)
        title += QStringLiteral("  ถึงวันที่  ") + Library::DateToThaiDate(last);
    // The title keeps the pickers' order; the statement takes the earlier day first, so
    // that a range typed later day first still selects the days between.
    QString sql = daily.select;
    QVariantList days{Library::DateToKey(std::min(first, last))};
    if (oneDay) {
        sql += QStringLiteral("= ? ");
    } else {
        sql += QStringLiteral("Between ? And ? ");
        days << Library::DateToKey(std::max(first, last));
    }

    Library::ShowTitledReport(daily.file, title, sql, days);
}
