// Times the report engine on a large school: 10,000 registrations printed to
// PDF, the viewer's first page of the same report, and a summary in three
// levels (group lines only) of 500,000 registrations. Each case runs in a child
// process of its own and gives its peak memory. Run it from a Release build.

#include "core/Database.h"
#include "core/Seams.h"
#include "frame/DialogSeams.h"
#include "frame/Library.h"
#include "platform/LibraryReports.h"
#include "platform/Report.h"
#include "support/TestSupport.h"

#include "ReportBenchSupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

namespace {

using namespace ReportBench;

const char* const listLayout = R"(
[page]
size = A4
orientation = landscape
fontsize = 10
[formulas]
lblComp = ''
lblTitle = 'รายชื่อนักเรียนที่ลงเรียน'
[pageheader]
center bold size 14 | {lblComp}
center bold | {lblTitle}
[pagefooter]
right | พิมพ์วันที่ {today}    หน้า {page} / {pages}
[columns]
row | ลำดับ | 2 | right | row
StdID | รหัส | 3 | left | text
StdName | ชื่อ - นามสกุล | 9 | left | text
CourseName | คอร์ส | 8 | left | text
Subject | วิชา | 4 | left | text
CourseLevel | ระดับ | 2 | center | text
CoursePrice | ค่าเรียน | 3 | right | money
CoursePayAmt | ชำระแล้ว | 3 | right | money
[compute]
Balance = CoursePrice - CoursePayAmt
[sort]
by = StdName, CourseNo
[totals]
row = รวม {distinct:StdID} คน {count} รายการ | | | | | | {sum:CoursePrice} | {sum:CoursePayAmt}
)";

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

const QString listSql = QStringLiteral("SELECT * FROM QStudentCourse3 WHERE StdID <= '0001000'");
const QString summarySql = QStringLiteral("SELECT * FROM QStudentCourse3 WHERE CourseStatus = '1'");

std::unique_ptr<Report> openReport(const QString& file, const QString& sql) {
    std::unique_ptr<Report> report = Library::OpenReport(file);
    report->setFormula(QStringLiteral("lblComp"), Library::Quote(Library::gShopName));
    report->setDataSource(sql);
    return report;
}

// One case, in this (child) process.
int runCase(const QString& name, const QString& folder) {
    openSchool(folder, folder);
    Seams::setPdfFolder(QDir(folder).filePath(QStringLiteral("pdf")));
    QElapsedTimer timer;
    timer.start();
    const double cpuAtStart = cpuSeconds();
    int pages = 0;
    if (name == QLatin1String("pdf")) {
        std::unique_ptr<Report> report = openReport(QStringLiteral("list.rpt"), listSql);
        report->printAllPages();
        pages = report->pageCount();
    } else if (name == QLatin1String("viewer")) {
        std::unique_ptr<Report> report = openReport(QStringLiteral("list.rpt"), QString());
        if (!Library::ShowReport(*report, QStringLiteral("รายชื่อ"), listSql))
            return 1;
        QApplication::processEvents();
        pages = report->pageCount();
    } else {
        std::unique_ptr<Report> report = openReport(QStringLiteral("summary.rpt"), summarySql);
        report->printAllPages();
        pages = report->pageCount();
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
        writeFile(dir.filePath(QStringLiteral("Report/list.rpt")), listLayout);
        writeFile(dir.filePath(QStringLiteral("Report/summary.rpt")), summaryLayout);
        const QString folder = dir.path();

        const struct {
            const char* name;
            const char* what;
        } cases[] = {{"pdf", "10,000 registrations to PDF"},
                     {"viewer", "viewer, first page of the same report"},
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
