// Times the report engine on a large school: 10,000 registrations printed to
// PDF, the viewer's first page of the same report, and a summary in three
// levels (group lines only) of 500,000 registrations. Each case runs in a child
// process of its own and gives its peak memory. Run it from a Release build.

#include "library/Database.h"
#include "library/DialogSeams.h"
#include "library/Library.h"
#include "library/Seams.h"
#include "platform/LibraryReports.h"
#include "platform/Report.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr int pupils = 50'000;
constexpr int classesPerPupil = 10;
constexpr int classes = 500;

void seed() {
    Connection& db = Connection::shared();
    Transaction transaction;
    const char16_t* subjects[] = {u"คณิตศาสตร์", u"ภาษาอังกฤษ", u"วิทยาศาสตร์", u"ภาษาไทย",
                                  u"สังคมศึกษา", u"ฟิสิกส์",      u"เคมี",       u"ชีววิทยา"};
    const char16_t* levels[] = {u"ม.1", u"ม.2", u"ม.3", u"ม.4", u"ม.5", u"ม.6"};
    for (int i = 1; i <= 40; ++i)
        Fixture::course(QStringLiteral("C%1").arg(i, 2, 10, QLatin1Char('0')),
                        QStringLiteral("เตรียมสอบเข้าคอร์สที่ %1").arg(i));
    for (int i = 1; i <= classes; ++i)
        Fixture::classRow(QStringLiteral("%1").arg(i, 7, 10, QLatin1Char('0')),
                          QStringLiteral("C%1").arg(i % 40 + 1, 2, 10, QLatin1Char('0')),
                          Money::fromBaht(2500 + 500 * (i % 4)), QString::fromUtf16(levels[i % 6]),
                          QString::fromUtf16(subjects[i / 6 % 8]));
    // Pupils and their registrations, made by the database itself.
    db.exec(QStringLiteral(
                "WITH RECURSIVE n(p) AS (SELECT 1 UNION ALL SELECT p + 1 FROM n WHERE p < ?) "
                "INSERT INTO Student (StdID, StdName, StdNickName, StdAddr, StdLevel) "
                "SELECT printf('%07d', p), "
                "       CASE p % 3 WHEN 0 THEN 'สมชาย' WHEN 1 THEN 'ผู้ใหญ่' ELSE 'น้ำใจ' END "
                "       || ' ' || CASE p / 3 % 3 WHEN 0 THEN 'ใจดี' WHEN 1 THEN 'เก่งกล้า' "
                "       ELSE 'ถ้วนถี่' END || ' ทดสอบที่ ' || p, 'เล่น ' || (p % 1000), "
                "       '1 ถนนสาทร', 'ม.3' FROM n"),
            {pupils});
    db.exec(QStringLiteral(
                "WITH RECURSIVE n(p) AS (SELECT 1 UNION ALL SELECT p + 1 FROM n WHERE p < ?), "
                "k(k) AS (SELECT 0 UNION ALL SELECT k + 1 FROM k WHERE k < ? - 1) "
                "INSERT INTO StudentCourse (StdID, CourseNo, CourseRegDate, CoursePayAmt, "
                "CoursePayDate, CourseGrade) "
                "SELECT printf('%07d', p), printf('%07d', (p * 7 + k * 37) % ? + 1), '20261201', "
                "       CASE WHEN k < 3 THEN 1250.5 ELSE 3000 END, '20261201', '' FROM n, k"),
            {pupils, classesPerPupil, classes});
    transaction.commit();
    db.exec(QStringLiteral("ANALYZE"));
}

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

long peakKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QRegularExpression hwm(QStringLiteral("VmHWM:\\s*(\\d+)"));
    return hwm.match(QString::fromLatin1(status.readAll())).captured(1).toLong();
}

// Processor time of this process: on a busy machine closer to what the case
// costs than the time on the clock.
double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

std::unique_ptr<Report> openReport(const QString& file, const QString& sql) {
    std::unique_ptr<Report> report = Library::OpenReport(file);
    report->setFormula(QStringLiteral("lblComp"), Library::Quote(Library::gShopName));
    report->setDataSource(sql);
    return report;
}

// One case, in this (child) process.
int runCase(const QString& name, const QString& folder) {
    Seams::setDatabasePath(QDir(folder).filePath(QStringLiteral("Vadel.db")));
    Seams::setProgramFolder(folder);
    Seams::setPdfFolder(QDir(folder).filePath(QStringLiteral("pdf")));
    Seams::setMessageHandler([](Seams::MessageKind, const QString& text, bool) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        return Library::vbNo;
    });
    Library::gShopName = QStringLiteral("สถาบันกวดวิชาทดสอบ");
    Connection::shared().open();
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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3)
        return runCase(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));

    // VADEL_BENCH_DIR keeps the seeded school between runs (for profiling a case).
    QTemporaryDir temporary;
    const QString folder = qEnvironmentVariableIsSet("VADEL_BENCH_DIR")
                               ? qEnvironmentVariable("VADEL_BENCH_DIR")
                               : temporary.path();
    const QDir dir(folder);
    dir.mkpath(QStringLiteral("Report"));
    writeFile(dir.filePath(QStringLiteral("Report/list.rpt")), listLayout);
    writeFile(dir.filePath(QStringLiteral("Report/summary.rpt")), summaryLayout);
    const QString database = dir.filePath(QStringLiteral("Vadel.db"));
    if (!QFile::exists(database)) {
        Seams::setDatabasePath(database);
        QElapsedTimer timer;
        timer.start();
        seed();
        Connection::shared().close();
        std::printf("seeded %d pupils, %d registrations, %d classes in %.1f s\n", pupils,
                    pupils * classesPerPupil, classes, static_cast<double>(timer.elapsed()) / 1000);
    }

    const struct {
        const char* name;
        const char* what;
    } cases[] = {{"pdf", "10,000 registrations to PDF"},
                 {"viewer", "viewer, first page of the same report"},
                 {"summary", "summary in 3 levels of 500,000 registrations to PDF"}};
    // Each case three times, each in a fresh process: the fastest time (the
    // machine may be busy with other work) and the highest peak.
    constexpr int runs = 3;
    for (const auto& c : cases) {
        double fastest = 0;
        double processor = 0;
        int pages = 0;
        double peak = 0;
        bool failed = false;
        for (int run = 0; run < runs && !failed; ++run) {
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            child.start(QCoreApplication::applicationFilePath(),
                        {QString::fromLatin1(c.name), folder});
            child.waitForFinished(-1);
            const QStringList figures =
                QString::fromLatin1(child.readAllStandardOutput()).simplified().split(u' ');
            failed = child.exitCode() != 0 || figures.size() != 4;
            if (failed)
                break;
            if (run == 0 || figures.at(0).toDouble() < fastest) {
                fastest = figures.at(0).toDouble();
                processor = figures.at(1).toDouble();
            }
            pages = figures.at(2).toInt();
            peak = std::max(peak, figures.at(3).toDouble() / 1024);
        }
        if (failed)
            std::printf("%-54s failed\n", c.what);
        else
            std::printf("%-54s %6.3f s (processor %6.3f s)  %4d pages  peak %5.1f MB\n", c.what,
                        fastest, processor, pages, peak);
    }
    return 0;
}
