// Times the report items of the main menu on a large school (50,000 pupils,
// 500,000 registrations): from the click to the first page laid out in its
// viewer, against the floor: the bare SQLite C API running the very statements the
// report engine ran (its ORDER BY ... COLLATE THAI included), prepared once, on a
// connection set up as the program's, reading every value of as many rows as the engine
// took from each. Each run is
// a fresh process with the main window open that does both, the program and the floor
// taking turns at going first; the figures are medians with their spread. The peak
// memory is the program's own, taken right after the click in the runs where it went
// first. A last case clicks every item in one process, then closes every viewer, and
// gives what the process still holds. Run it from a Release build.
// The pupils' list by code is to open at most 1.5 times its floor on the clock: its line
// is followed by whether it does, and by how much it misses.

#include "core/Seams.h"
#include "frame/Library.h"
#include "report/Report.h"
#include "report/viewer/frmViewReport.h"
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
#include <memory>

namespace {

struct Item {
    const char* menu;
    const char* what;
    double target = 0; // the most it may take, as a multiple of its floor; 0: none
};

const Item items[] = {
    {"mnuRepStdOrder1", "rep0 pupils by code", 1.5},
    {"mnuRepStdOrder2", "rep0 pupils by name"},
    {"mnuRepStdOrder3", "rep0 pupils by level"},
    {"mnuCountStdCourse", "rep1 pupils per subject, level, course"},
    {"mnuCourseReceiptRep", "rep2 income per course"},
    {"mnuLevelReceiptRep", "rep3 income per level"},
    {"mnuSubjectReceiptRep", "rep4 income per subject"},
    {"mnuRemainLevelRep", "rep5 outstanding per course, level"},
    {"mnuRemainStdRep", "rep6 pupils with fees outstanding"},
};

constexpr int runs = 5;
// The limit of a report's peak memory, the process holding its main window.
constexpr double peakLimit = 150;

long residentKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QRegularExpression rss(QStringLiteral("VmRSS:\\s*(\\d+)"));
    return rss.match(QString::fromLatin1(status.readAll())).captured(1).toLong();
}

// The statements that read a report's rows, as the engine runs them on the program's
// connection, each with the number of rows the engine took from it.
struct Reads {
    QStringList statements;
    QList<qint64> rows;
};

int traceReads(unsigned kind, void* context, void* statement, void*) {
    auto* reads = static_cast<Reads*>(context);
    const QString text = QString::fromUtf8(sqlite3_sql(static_cast<sqlite3_stmt*>(statement)));
    if (!text.startsWith(QLatin1String("SELECT")) || !text.contains(QLatin1String(" FROM (")) ||
        text.endsWith(QLatin1String("LIMIT 0")))
        return 0;
    qsizetype index = reads->statements.indexOf(text);
    if (index < 0) {
        index = reads->statements.size();
        reads->statements << text;
        reads->rows << 0;
    }
    if (kind == SQLITE_TRACE_ROW)
        ++reads->rows[index];
    return 0;
}

// The floor of one statement: as many rows as the engine took, every value read.
void readRows(sqlite3* bare, const QString& sql, qint64 rows) {
    Stmt statement(bare, sql.toUtf8().constData());
    for (qint64 row = 0; row < rows && statement.step(); ++row)
        for (int c = 0; c < sqlite3_column_count(statement.get()); ++c) {
            if (sqlite3_column_type(statement.get(), c) == SQLITE_TEXT)
                sqlite3_column_text(statement.get(), c);
            else
                sqlite3_column_double(statement.get(), c);
        }
}

struct Side {
    double seconds = 0;
    double processor = 0;
};

template <typename Work> Side timed(const Work& work) {
    QElapsedTimer timer;
    timer.start();
    const double cpuAtStart = ReportBench::cpuSeconds();
    work();
    return {static_cast<double>(timer.elapsed()) / 1000, ReportBench::cpuSeconds() - cpuAtStart};
}

QString statementsFile(const QString& folder, const QString& menu) {
    return QDir(folder).filePath(QStringLiteral("floor-") + menu + QStringLiteral(".sql"));
}

// One run of an item, in this (child) process: the click on the menu item of a shown main
// window and the floor, in the order asked for. A first run, not counted, learns the
// engine's statements and the rows it took from each, and writes them beside the school.
int runItem(const QString& request, const QString& folder) {
    const QString menu = request.section(u':', 0, 0);
    const QString mode = request.section(u':', 1);
    const bool learning = mode == QLatin1String("learn");
    const bool floorFirst = mode == QLatin1String("floor-first");
    ReportBench::openSchool(folder, QStringLiteral(VADEL_SOURCE_DIR));
    MDIForm1 main;
    main.show();
    QApplication::processEvents();
    Reads reads;
    QFile file(statementsFile(folder, menu));
    if (learning) {
        sqlite3_trace_v2(programHandle(), SQLITE_TRACE_STMT | SQLITE_TRACE_ROW, traceReads, &reads);
    } else if (file.open(QIODevice::ReadOnly)) {
        for (const QString& line :
             QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
            reads.rows << line.section(u'\t', 0, 0).toLongLong();
            reads.statements << line.section(u'\t', 1);
        }
        file.close();
    }
    if (!learning && reads.statements.isEmpty())
        return 1;
    sqlite3* bare = openBare(Seams::databasePath());
    if (!bare)
        return 1;

    Side floor;
    auto runFloor = [&] {
        floor = timed([&] {
            for (qsizetype i = 0; i < reads.statements.size(); ++i)
                readRows(bare, reads.statements.at(i), reads.rows.at(i));
        });
    };
    if (floorFirst)
        runFloor();
    QAction* item = main.menuAction(menu);
    item->setEnabled(true);
    const Side program = timed([&] {
        item->trigger();
        QApplication::processEvents();
    });
    const long peak = peakKilobytes();
    if (learning) {
        sqlite3_trace_v2(programHandle(), 0, nullptr, nullptr);
        QStringList lines;
        for (qsizetype i = 0; i < reads.statements.size(); ++i)
            lines << QString::number(reads.rows.at(i)) + u'\t' + reads.statements.at(i);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write(lines.join(u'\n').toUtf8());
        file.close();
    } else if (!floorFirst) {
        runFloor();
    }
    sqlite3_close(bare);

    QMdiSubWindow* frame = main.mdiArea()->activeSubWindow();
    auto* viewer = frame ? qobject_cast<frmViewReport*>(frame->widget()) : nullptr;
    if (!viewer)
        return 1;
    std::printf("%.3f %.3f %.3f %.3f %d %ld\n", program.seconds, program.processor, floor.seconds,
                floor.processor, viewer->report().pageCount(), floorFirst ? 0L : peak);
    return 0;
}

// Every item clicked in one process, then every viewer closed: the peak and what is left.
int runAll(const QString& folder) {
    ReportBench::openSchool(folder, QStringLiteral(VADEL_SOURCE_DIR));
    MDIForm1 main;
    main.show();
    QApplication::processEvents();
    for (const Item& item : items) {
        QAction* action = main.menuAction(QString::fromLatin1(item.menu));
        action->setEnabled(true);
        action->trigger();
        QApplication::processEvents();
    }
    const long open = residentKilobytes();
    main.mdiArea()->closeAllSubWindows();
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
    }
    std::printf("%ld %ld %ld\n", peakKilobytes(), open, residentKilobytes());
    return 0;
}

int child(const QString& name, const QString& folder) {
    return name == QLatin1String("all") ? runAll(folder) : runItem(name, folder);
}

QStringList runChild(const QString& name, const QString& folder) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationFilePath(), {name, folder});
    process.waitForFinished(-1);
    if (process.exitCode() != 0)
        return {};
    return QString::fromLatin1(process.readAllStandardOutput()).simplified().split(u' ');
}

void printMedian(const char* format, const ReportBench::Median& m) {
    std::printf(format, m.median, m.low, m.high);
}

} // namespace

int main(int argc, char** argv) {
    return ReportBench::run(argc, argv, child, [] {
        QTemporaryDir temporary;
        const QString database = ReportBench::schoolFile(temporary);
        const QString folder = QFileInfo(database).path();
        std::printf("%-38s %-24s %-24s %6s %6s %s\n", "menu item (medians of 5, spread)",
                    "click to first page", "floor (same statements)", "ratio", "pages",
                    "peak (program first, limit 150 MB)");
        for (const Item& item : items) {
            const QString menu = QString::fromLatin1(item.menu);
            std::vector<double> program, programCpu, floor, floorCpu, peak;
            int pages = 0;
            for (int run = runChild(menu + QStringLiteral(":learn"), folder).size() == 6 ? 0 : runs;
                 run < runs; ++run) {
                const bool floorFirst = run % 2 == 1;
                const QStringList figures = runChild(
                    menu + (floorFirst ? QStringLiteral(":floor-first") : QStringLiteral(":")),
                    folder);
                if (figures.size() != 6)
                    break;
                program.push_back(figures.at(0).toDouble());
                programCpu.push_back(figures.at(1).toDouble());
                floor.push_back(figures.at(2).toDouble());
                floorCpu.push_back(figures.at(3).toDouble());
                pages = figures.at(4).toInt();
                if (!floorFirst)
                    peak.push_back(figures.at(5).toDouble() / 1024);
            }
            QFile::remove(statementsFile(folder, menu));
            if (program.size() != runs) {
                std::printf("%-38s failed\n", item.what);
                continue;
            }
            const ReportBench::Median p = ReportBench::medianOf(program);
            const ReportBench::Median f = ReportBench::medianOf(floor);
            std::printf("%-38s ", item.what);
            printMedian("%6.3f s (%.3f-%.3f) ", p);
            printMedian("%6.3f s (%.3f-%.3f) ", f);
            std::printf("x%.2f %6d ", p.median / f.median, pages);
            const ReportBench::Median peakMegabytes = ReportBench::medianOf(peak);
            printMedian("%5.1f MB (%.1f-%.1f)", peakMegabytes);
            const double processorRatio =
                ReportBench::medianOf(programCpu).median / ReportBench::medianOf(floorCpu).median;
            std::printf("%s   processor x%.2f\n",
                        peakMegabytes.median <= peakLimit ? "" : " OVER its limit", processorRatio);
            if (item.target > 0) {
                const double ratio = p.median / f.median;
                if (ratio <= item.target)
                    std::printf("%-38s target x%.2f met: x%.2f\n", "", item.target, ratio);
                else
                    std::printf("%-38s target x%.2f MISSED: x%.2f, %.3f s over (processor x%.2f)\n",
                                "", item.target, ratio, p.median - item.target * f.median,
                                processorRatio);
            }
        }
        std::vector<double> peak, open, closed;
        for (int run = 0; run < 3; ++run) {
            const QStringList figures = runChild(QStringLiteral("all"), folder);
            if (figures.size() != 3)
                break;
            peak.push_back(figures.at(0).toDouble() / 1024);
            open.push_back(figures.at(1).toDouble() / 1024);
            closed.push_back(figures.at(2).toDouble() / 1024);
        }
        if (peak.size() == 3) {
            std::printf("every item in one process: ");
            printMedian("peak %.1f MB (%.1f-%.1f), ", ReportBench::medianOf(peak));
            printMedian("with every viewer open %.1f MB (%.1f-%.1f), ",
                        ReportBench::medianOf(open));
            printMedian("after closing them %.1f MB (%.1f-%.1f)\n", ReportBench::medianOf(closed));
        }
        return 0;
    });
}
