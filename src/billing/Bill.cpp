#include "billing/Bill.h"

#include "core/DbError.h"
#include "core/Numbering.h"
#include "core/Recordset.h"
#include "core/Seams.h"
#include "frame/Library.h"
#include "report/Report.h"
#include "report/viewer/LibraryReports.h"

namespace {

// A text constant of the report's formula language between double quotes;
// the address's line breaks become Chr(10) joiners.
QString addressFormula(const QString& address) {
    QString text = address;
    text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\" & Chr(10) & \""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

namespace Bill {

Proposal propose(const QDate& today) {
    Proposal proposal;
    const Recordset setup = Library::OpenRecordset(QStringLiteral(
        "SELECT ShopPrintBiLL, ShopBiLLAutoRun, ShopBiLLYY, ShopBiLLNo FROM CtrlSetup"));
    if (setup.isEmpty())
        return proposal;
    proposal.print = setup.text(QStringLiteral("ShopPrintBiLL")) != QStringLiteral("0");
    if (setup.isNull(QStringLiteral("ShopBiLLAutoRun")) ||
        setup.text(QStringLiteral("ShopBiLLAutoRun")) == QStringLiteral("0"))
        return proposal;
    try {
        proposal.docNo = Numbering::nextBillNumber(Library::BuddhistYY(today),
                                                   setup.text(QStringLiteral("ShopBiLLYY")),
                                                   setup.text(QStringLiteral("ShopBiLLNo")));
    } catch (const DbError& usedUp) {
        proposal.usedUp = usedUp.message();
    }
    return proposal;
}

std::unique_ptr<Report> document(const Header& header, const QDate& printedOn) {
    std::unique_ptr<Report> report = Report::open(Library::reportPath(QStringLiteral("Bill.rpt")));
    report->setDataSource(
        Recordset::open(QStringLiteral("SELECT CourseName, CourseLevel, Subject, StmAmt, StmOBal "
                                       "FROM QStatementCourse WHERE StmID = ? ORDER BY StmItem"),
                        {header.stmId}, true));
    report->setFormula(QStringLiteral("lblComp"), Library::Quote(Library::gShopName));
    report->setFormula(QStringLiteral("lblAddr"), addressFormula(header.addressText));
    report->setFormula(QStringLiteral("lblStdName"), Library::Quote(header.studentName));
    report->setFormula(QStringLiteral("lblStdAddr"), Library::Quote(header.studentAddress));
    report->setFormula(QStringLiteral("lblDocNo"), Library::Quote(header.docNo));
    report->setFormula(QStringLiteral("lblDate"),
                       Library::Quote(Library::DateToThaiDate(printedOn)));
    report->setFormula(QStringLiteral("lblThaiAmt"),
                       Library::Quote(QStringLiteral("(") + Library::BahtText(header.total) +
                                      QStringLiteral(")")));
    return report;
}

bool PrintBiLL(const Header& header) {
    try {
        const std::unique_ptr<Report> report = document(header, Seams::today());
        do {
            // Page 1 holds a pupil's usual bill; a longer one goes out whole, never cut.
            report->printAllPages();
            Seams::sleep(2000);
        } while (Library::MsgAsk(QStringLiteral("ต้องการพิมพ์  ใบเสร็จ  ใหม่หรือไม่"), false) ==
                 Library::vbYes);
        return true;
    } catch (const std::runtime_error& error) {
        Library::MsgError(QStringLiteral("ใบเสร็จเลขที่ %1 บันทึกแล้ว แต่พิมพ์ไม่ได้\n%2")
                              .arg(header.docNo, QString::fromStdString(error.what())));
        return false;
    }
}

} // namespace Bill
