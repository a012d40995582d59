// Times the report engine on a large school: the daily report of a day's 10,000
// registrations (the report file and statement of the daily reports window) from the
// window's Print to the viewer's first page and from the viewer's Print to PDF, the daily
// report of ten days' 10,000 bills to PDF, and a summary in three levels (group lines
// only) of 500,000 registrations to PDF. Each case
// runs in a child process of its own, the daily report's with the main window open, and
// gives its peak memory. Run it from a Release build.

#include "core/Database.h"
#include "core/Seams.h"
#include "frame/DateBox.h"
#include "frame/DialogSeams.h"
#include "frame/Library.h"
#include "platform/LibraryReports.h"
#include "platform/Report.h"
#include "platform/frmViewReport.h"
#include "results/frmReport.h"
#include "shell/MDIForm1.h"
#include "shell/MenuItems.h"
#include "support/TestSupport.h"

#include "ReportBenchSupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QTemporaryDir>
#include <cstdio>

namespace {

using namespace ReportBench;

const char* const summaryLayout = R"(
[page]
size = A4
fontsize = 10
[formulas]
lblComp = ''
lblTitle = 'สรุปจำนวนนักเรียนและรายได้ ตามวิชา ระดับ และคอร์ส'
[pageheader]
center bold size 14 | {lblComp}
center bold | {lblTitle}
[pagefooter]
right | หน้า {page} / {pages}
[columns]
Subject | วิชา / ระดับ / คอร์ส | 8 | left | text
Pupils | นักเรียน | 2 | right | text
Registrations | รายการ | 2 | right | text
CoursePayAmt | รับชำระ | 3 | right | money
Balance | ค้างชำระ | 3 | right | money
[compute]
Balance = CoursePrice - CoursePayAmt
[details]
print = no
[group]
by = Subject
row = รวมวิชา {=Subject} | {distinct:StdID} | {count} | {sum:CoursePayAmt} | {sum:Balance}
[group]
by = CourseLevel
row = {=Subject} {=CourseLevel} | {distinct:StdID} | {count} | {sum:CoursePayAmt} | {sum:Balance where Balance > 0}
[group]
by = CourseName
row = {=CourseLevel} {=CourseName} | {distinct:StdID} | {count} | {sum:CoursePayAmt} | {sum:Balance}
[totals]
row = รวมทั้งสิ้น | {distinct:StdID} | {count} | {sum:CoursePayAmt} | {sum:Balance}
)";

const QString summarySql = QStringLiteral("SELECT * FROM QStudentCourse3 WHERE CourseStatus = '1'");

// The main window open, with the daily reports window of its menu set as the clerk leaves it
// before pressing Print: the registrations of the school's first day (10,000), or the bills
// of its first ten days (10,000).
frmReport* dailyReport(MDIForm1& main, bool bills) {
    registerTaskWindows();
    main.show();
    QAction* item = main.menuAction(QStringLiteral("mnuDailyRep"));
    item->setEnabled(true);
    item->trigger();
    QApplication::processEvents();
    QMdiSubWindow* frame = main.mdiArea()->activeSubWindow();
    auto* daily = frame ? qobject_cast<frmReport*>(frame->widget()) : nullptr;
    if (!daily)
        return nullptr;
    (bills ? daily->Option(2) : daily->Option(3))->setChecked(true);
    daily->dtpDate1->setDate(firstDay);
    daily->dtpDate2->setDate(bills ? firstDay.addDays(9) : firstDay);
    return daily;
}

frmViewReport* activeViewer(const MDIForm1& main) {
    QMdiSubWindow* frame = main.mdiArea()->activeSubWindow();
    return frame ? qobject_cast<frmViewReport*>(frame->widget()) : nullptr;
}

// One case, in this (child) process: the daily registrations from the window's Print to
// the viewer's first page ("viewer"), the daily registrations ("pdf") or bills ("bills")
// from the viewer's Print to the last page written to PDF; or the summary, from its
// statement to PDF.
int runCase(const QString& name, const QString& folder) {
    const bool daily = name != QLatin1String("summary");
    const bool toPdf = name == QLatin1String("pdf") || name == QLatin1String("bills");
    openSchool(folder, daily ? QStringLiteral(VADEL_SOURCE_DIR) : folder);
    Seams::setPdfFolder(QDir(folder).filePath(QStringLiteral("pdf")));
    MDIForm1 main;
    frmReport* window = daily ? dailyReport(main, name == QLatin1String("bills")) : nullptr;
    if (daily && !window)
        return 1;
    if (toPdf) {
        window->pressButton(QStringLiteral("Print"));
        QApplication::processEvents();
    }
    QElapsedTimer timer;
    timer.start();
    const double cpuAtStart = cpuSeconds();
    int pages = 0;
    if (name == QLatin1String("summary")) {
        std::unique_ptr<Report> report = Library::OpenReport(QStringLiteral("summary.rpt"));
        report->setFormula(QStringLiteral("lblComp"), Library::Quote(Library::gShopName));
        report->setDataSource(summarySql);
        report->printAllPages();
        pages = report->pageCount();
    } else {
        if (name == QLatin1String("viewer"))
            window->pressButton(QStringLiteral("Print"));
        frmViewReport* viewer = activeViewer(main);
        if (!viewer)
            return 1;
        if (toPdf)
            viewer->pressButton(QStringLiteral("Print"));
        QApplication::processEvents();
        pages = viewer->report().pageCount();
    }
    std::printf("%.3f %.3f %d %ld\n", static_cast<double>(timer.elapsed()) / 1000,
                cpuSeconds() - cpuAtStart, pages, peakKilobytes());
    return 0;
}

void writeFile(const QString& path, const char* text) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(text);
}

} // namespace

int main(int argc, char** argv) {
    return ReportBench::run(argc, argv, runCase, [] {
        QTemporaryDir temporary;
        const QString database = schoolFile(temporary);
        const QDir dir = QFileInfo(database).dir();
        dir.mkpath(QStringLiteral("Report"));
        writeFile(dir.filePath(QStringLiteral("Report/summary.rpt")), summaryLayout);
        const QString folder = dir.path();

        const struct {
            const char* name;
            const char* what;
        } cases[] = {{"viewer", "a day's 10,000 registrations, first page"},
                     {"pdf", "the same report to PDF from the viewer"},
                     {"bills", "ten days' 10,000 bills to PDF from the viewer"},
                     {"summary", "summary in 3 levels of 500,000 registrations to PDF"}};
        for (const auto& c : cases) {
            const std::optional<CaseFigures> figures = measure(QString::fromLatin1(c.name), folder);
            if (!figures)
                std::printf("%-54s failed\n", c.what);
            else
                std::printf("%-54s %6.3f s (%.3f-%.3f, processor %6.3f s)  %4d pages  peak %5.1f "
                            "MB (%.1f-%.1f)\n",
                            c.what, figures->seconds.median, figures->seconds.low,
                            figures->seconds.high, figures->processor.median, figures->pages,
                            figures->peakMegabytes.median, figures->peakMegabytes.low,
                            figures->peakMegabytes.high);
        }
        return 0;
    });
}
