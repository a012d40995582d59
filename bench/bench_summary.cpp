// Times the report items of the main menu on a large school (50,000 pupils,
// 500,000 registrations): from the click to the first page laid out in its
// viewer, with the report's number of pages and the peak memory of the process
// (each item in a child process of its own), beside the bare SQLite C API
// reading every row of the item's statement. Run it from a Release build.

#include "core/Seams.h"
#include "frame/Library.h"
#include "platform/Report.h"
#include "platform/frmViewReport.h"
#include "shell/MDIForm1.h"

#include "BenchSupport.h"
#include "ReportBenchSupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <cstdio>

namespace {

struct Item {
    const char* menu;
    const char* what;
    const char* sql; // the item's statement, as the main window runs it
};

const Item items[] = {
    {"mnuRepStdOrder1", "rep0 pupils by code", "SELECT  *  From   Student  Order By StdID"},
    {"mnuRepStdOrder2", "rep0 pupils by name",
     "SELECT  *  From   Student  Order By StdName COLLATE THAI"},
    {"mnuRepStdOrder3", "rep0 pupils by level",
     "SELECT  *  From   Student  Order By StdLevel COLLATE THAI"},
    {"mnuCountStdCourse", "rep1 pupils per subject, level, course",
     "SELECT  *  From   QStudentCourse3  Where CourseStatus = '1' "},
    {"mnuCourseReceiptRep", "rep2 income per course",
     "SELECT  *  From   QStudentCourse3  Where CourseStatus = '1' "},
    {"mnuLevelReceiptRep", "rep3 income per level",
     "SELECT  *  From   QStudentCourse3  Where CourseStatus = '1' "},
    {"mnuSubjectReceiptRep", "rep4 income per subject",
     "SELECT  *  From   QStudentCourse3  Where CourseStatus = '1' "},
    {"mnuRemainLevelRep", "rep5 outstanding per course, level",
     "SELECT  *  From   QStudentCourse3  Where CourseStatus = '1' and CoursePrice > CoursePayAmt "
     " "},
    {"mnuRemainStdRep", "rep6 pupils with fees outstanding",
     "SELECT  *  From   QStudentCourse3  Where CourseStatus = '1' and CoursePrice > CoursePayAmt "
     " "},
};

// One item, in this (child) process: the click on the menu item of a shown main window.
int runItem(const QString& menu, const QString& folder) {
    ReportBench::openSchool(folder, QStringLiteral(VADEL_SOURCE_DIR));
    MDIForm1 main;
    main.show();
    QApplication::processEvents();
    QAction* item = main.menuAction(menu);
    item->setEnabled(true);

    QElapsedTimer timer;
    timer.start();
    const double cpuAtStart = ReportBench::cpuSeconds();
    item->trigger();
    QApplication::processEvents();
    const double seconds = static_cast<double>(timer.elapsed()) / 1000;
    const double cpu = ReportBench::cpuSeconds() - cpuAtStart;

    QMdiSubWindow* frame = main.mdiArea()->activeSubWindow();
    auto* viewer = frame ? qobject_cast<frmViewReport*>(frame->widget()) : nullptr;
    if (!viewer)
        return 1;
    std::printf("%.3f %.3f %d %ld\n", seconds, cpu, viewer->report().pageCount(), peakKilobytes());
    return 0;
}

// The bare API reading every column of every row of the statement, in seconds.
double bareSeconds(sqlite3* bare, const char* sql) {
    QElapsedTimer timer;
    timer.start();
    Stmt(bare, sql).drain();
    return static_cast<double>(timer.elapsed()) / 1000;
}

} // namespace

int main(int argc, char** argv) {
    return ReportBench::run(argc, argv, runItem, [] {
        QTemporaryDir temporary;
        const QString database = ReportBench::schoolFile(temporary);
        const QString folder = QFileInfo(database).path();
        sqlite3* bare = openBare(database);
        if (!bare)
            return 1;
        std::printf("%-40s %26s %7s %10s %12s\n", "menu item", "click to first page", "pages",
                    "peak", "bare SQL");
        for (const Item& item : items) {
            const std::optional<ReportBench::CaseFigures> figures =
                ReportBench::measure(QString::fromLatin1(item.menu), folder);
            const double sql = bareSeconds(bare, item.sql);
            if (!figures) {
                std::printf("%-40s failed\n", item.what);
                continue;
            }
            std::printf("%-40s %6.3f s (processor %6.3f s) %7d %7.1f MB %10.3f s\n", item.what,
                        figures->seconds, figures->processor, figures->pages,
                        figures->peakMegabytes, sql);
        }
        sqlite3_close(bare);
        return 0;
    });
}
