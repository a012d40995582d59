#pragma once

// What the report benchmarks share: a large school made by the database itself
// (50,000 pupils, 500 classes of 40 courses, 500,000 registrations and 50,000 bills over
// 50 days), and the figures of a case run in child processes of its own: the medians
// (with their spread) of the time on the clock, the processor time and the peak memory,
// and the pages.

#include "BenchSupport.h"
#include "core/Database.h"
#include "core/Seams.h"
#include "frame/DialogSeams.h"
#include "frame/Library.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <sys/resource.h>
#include <vector>

namespace ReportBench {

constexpr int pupils = 50'000;
constexpr int classesPerPupil = 10;
constexpr int classes = 500;
// Pupils register in the order of their codes, a thousand a day from the first day: ten
// thousand registrations and a thousand bills a day.
constexpr int pupilsPerDay = 1'000;
inline const QDate firstDay(2026, 11, 1);

inline QString code(int n) {
    return QStringLiteral("%1").arg(n, 7, 10, QLatin1Char('0'));
}

// The school as the front desk leaves it: a pupil looked up before the desk closes the
// school, which keeps the query planner's statistics as the program keeps them (the
// benchmarks run no ANALYZE of their own, so that they see the plans the desks see).
inline void useAsADesk() {
    Connection& db = Connection::shared();
    for (const char* sql : {"SELECT * FROM QStudentCourse3 WHERE StdID = ?",
                            "SELECT * FROM QStudentCourse WHERE StdID = ?",
                            "SELECT * FROM Student WHERE StdID = ?"}) {
        Query query = db.exec(QString::fromLatin1(sql), {code(1)});
        while (query.next()) {
        }
    }
    db.close();
}

// Makes the school in the new file of Seams::databasePath().
inline void seed() {
    Connection& db = Connection::shared();
    db.open(NewSchool::Make);
    Transaction transaction;
    const char16_t* subjects[] = {u"คณิตศาสตร์", u"ภาษาอังกฤษ", u"วิทยาศาสตร์", u"ภาษาไทย",
                                  u"สังคมศึกษา", u"ฟิสิกส์",      u"เคมี",       u"ชีววิทยา"};
    const char16_t* levels[] = {u"ม.1", u"ม.2", u"ม.3", u"ม.4", u"ม.5", u"ม.6"};
    for (int i = 1; i <= 40; ++i)
        Fixture::course(QStringLiteral("C%1").arg(i, 2, 10, QLatin1Char('0')),
                        QStringLiteral("เตรียมสอบเข้าคอร์สที่ %1").arg(i));
    for (int i = 1; i <= classes; ++i)
        Fixture::classRow(code(i), QStringLiteral("C%1").arg(i % 40 + 1, 2, 10, QLatin1Char('0')),
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
                "SELECT printf('%07d', p), printf('%07d', (p * 7 + k * 37) % ? + 1), "
                "       strftime('%Y%m%d', ?, '+' || ((p - 1) / ?) || ' days'), "
                "       CASE WHEN k < 3 THEN 1250.5 ELSE 3000 END, '20261201', '' FROM n, k"),
            {pupils, classesPerPupil, classes, firstDay.toString(Qt::ISODate), pupilsPerDay});
    // A bill of each pupil on the day of registration (one in fifty cancelled).
    db.exec(
        QStringLiteral(
            "WITH RECURSIVE n(p) AS (SELECT 1 UNION ALL SELECT p + 1 FROM n WHERE p < ?) "
            "INSERT INTO Statement (StmID, StmDate, StdID, StmNetAmt, StmDocNo, IsCancel, "
            "UserID, UserCancelID) "
            "SELECT printf('69%06d', p), strftime('%Y%m%d', ?, '+' || ((p - 1) / ?) || ' days'), "
            "       printf('%07d', p), 3751.5, printf('69-%05d', p), "
            "       CASE p % 50 WHEN 0 THEN '1' ELSE '0' END, 'admin', "
            "       CASE p % 50 WHEN 0 THEN 'admin' ELSE '' END FROM n"),
        {pupils, firstDay.toString(Qt::ISODate), pupilsPerDay});
    transaction.commit();
    useAsADesk();
}

// The large school's folder: VADEL_BENCH_DIR, which keeps the school between runs (for
// profiling a case), or the temporary folder. The school is made in its Vadel.db unless it
// is there; gives the file's path.
inline QString schoolFile(const QTemporaryDir& temporary) {
    const QString folder = qEnvironmentVariableIsSet("VADEL_BENCH_DIR")
                               ? qEnvironmentVariable("VADEL_BENCH_DIR")
                               : temporary.path();
    QDir().mkpath(folder);
    const QString database = QDir(folder).filePath(QStringLiteral("Vadel.db"));
    if (!QFile::exists(database)) {
        Seams::setDatabasePath(database);
        QElapsedTimer timer;
        timer.start();
        seed();
        Connection::shared().close();
        std::printf("seeded %d pupils, %d registrations, %d bills, %d classes in %.1f s\n", pupils,
                    pupils * classesPerPupil, pupils, classes,
                    static_cast<double>(timer.elapsed()) / 1000);
    }
    return database;
}

// A case's process: the school of the folder, open; reports from the program folder;
// message boxes go to the error output.
inline void openSchool(const QString& folder, const QString& programFolder) {
    Seams::setDatabasePath(QDir(folder).filePath(QStringLiteral("Vadel.db")));
    Seams::setProgramFolder(programFolder);
    Seams::setMessageHandler([](Seams::MessageKind, const QString& text, bool) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        return Library::vbNo;
    });
    Library::gShopName = QStringLiteral("สถาบันกวดวิชาทดสอบ");
    Connection::shared().open();
}

// Processor time of this process: on a busy machine closer to what the case
// costs than the time on the clock.
inline double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The median of a series with its lowest and highest value.
struct Median {
    double median = 0;
    double low = 0;
    double high = 0;
};

inline Median medianOf(std::vector<double> values) {
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.front(), values.back()};
}

struct CaseFigures {
    Median seconds;   // on the clock
    Median processor; // processor time
    int pages = 0;
    Median peakMegabytes;
};

// Runs this program again with the case's name and the folder, five times, each in a fresh
// process that prints its seconds, processor seconds, pages and peak kilobytes on one
// line: the medians with their spread. Empty when a run failed.
inline std::optional<CaseFigures> measure(const QString& name, const QString& folder) {
    constexpr int runs = 5;
    std::vector<double> seconds, processor, peak;
    CaseFigures result;
    for (int run = 0; run < runs; ++run) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {name, folder});
        child.waitForFinished(-1);
        const QStringList figures =
            QString::fromLatin1(child.readAllStandardOutput()).simplified().split(u' ');
        if (child.exitCode() != 0 || figures.size() != 4)
            return std::nullopt;
        seconds.push_back(figures.at(0).toDouble());
        processor.push_back(figures.at(1).toDouble());
        result.pages = figures.at(2).toInt();
        peak.push_back(figures.at(3).toDouble() / 1024);
    }
    result.seconds = medianOf(seconds);
    result.processor = medianOf(processor);
    result.peakMegabytes = medianOf(peak);
    return result;
}

// The benchmark's main: offscreen unless a platform is set; run again with a case's name
// and the school's folder, the case in this (child) process; otherwise the parent's work.
inline int run(int argc, char** argv,
               const std::function<int(const QString& name, const QString& folder)>& child,
               const std::function<int()>& parent) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3)
        return child(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    return parent();
}

} // namespace ReportBench
