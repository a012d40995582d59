#include "core/Database.h"
#include "core/Seams.h"
#include "frame/KeyToolbar.h"
#include "frame/Library.h"
#include "report/Report.h"
#include "report/ReportIO.h"
#include "report/viewer/LibraryReports.h"
#include "report/viewer/ReportPageView.h"
#include "report/viewer/frmViewReport.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTextBoundaryFinder>
#include <malloc.h>

namespace {

QString runTool(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    process.waitForFinished(20000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pdfPages(const QString& path) {
    const QRegularExpression pages(QStringLiteral("Pages:\\s*(\\d+)"));
    return pages.match(runTool(QStringLiteral("pdfinfo"), {path})).captured(1).toInt();
}

QStringList pdfFiles(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
}

frmViewReport* topLevelViewer() {
    return reportViewers().value(0);
}

QStringList allLines(const Report& report) {
    QStringList lines;
    for (const QStringList& page : report.pageTexts())
        lines << page;
    return lines;
}

const QString registrations = QStringLiteral("SELECT * FROM QStudentCourse3");

// Five classes in three subjects, two levels and two courses, and six registrations
// stored in no useful order. In Thai order "เคมี" comes before "ชีววิทยา" and
// "คอร์สเข้มข้น" before "คอร์สปกติ", against the order of their code points.
void school() {
    Fixture::school(QStringLiteral("K'Academy"));
    Fixture::course(QStringLiteral("C01"), QStringLiteral("คอร์สปกติ"));
    Fixture::course(QStringLiteral("C02"), QStringLiteral("คอร์สเข้มข้น"));
    const struct {
        const char* no;
        const char* course;
        int price;
        const char16_t* level;
        const char16_t* subject;
    } classes[] = {{"6900001", "C01", 1000, u"ม.1", u"ชีววิทยา"},
                   {"6900002", "C02", 2000, u"ม.1", u"คณิตศาสตร์"},
                   {"6900003", "C01", 1500, u"ม.2", u"คณิตศาสตร์"},
                   {"6900004", "C01", 1200, u"ม.1", u"เคมี"},
                   {"6900005", "C01", 2500, u"ม.1", u"คณิตศาสตร์"}};
    for (const auto& c : classes)
        Fixture::classRow(QString::fromLatin1(c.no), QString::fromLatin1(c.course),
                          Money::fromBaht(c.price), QString::fromUtf16(c.level),
                          QString::fromUtf16(c.subject));
    Fixture::student(QStringLiteral("6900001"), QStringLiteral("สมชาย ใจดี"));
    Fixture::student(QStringLiteral("6900002"), QStringLiteral("สมหญิง รักเรียน"));
    Fixture::student(QStringLiteral("6900003"), QStringLiteral("มานี มีนา"));
    const struct {
        const char* student;
        const char* klass;
        qint64 paid;
    } rows[] = {{"6900003", "6900004", 120000}, {"6900001", "6900002", 50000},
                {"6900002", "6900001", 0},      {"6900002", "6900005", 250000},
                {"6900003", "6900002", 200000}, {"6900001", "6900003", 100050}};
    for (const auto& r : rows)
        Fixture::registration(QString::fromLatin1(r.student), QString::fromLatin1(r.klass),
                              Money::fromSatang(r.paid));
}

const QString threeLevels = QStringLiteral(R"(
[columns]
StdID | รหัส | 2 | left | text
StdName | ชื่อ | 4 | left | text
CoursePayAmt | ชำระแล้ว | 2 | right | money
[sort]
by = StdID
[group]
by = Subject
header = left bold | วิชา {=Subject} {count} รายการ
row = รวม {=Subject} | | {sum:CoursePayAmt}
[group]
by = CourseLevel
header = left | ระดับ {=CourseLevel}
row = รวม {=CourseLevel} | | {sum:CoursePayAmt}
[group]
by = CourseName
row = {=CourseName} {count} รายการ | | {sum:CoursePayAmt}
[totals]
row = รวมทั้งสิ้น {count} รายการ | | {sum:CoursePayAmt}
)");

} // namespace

class tst_report : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    QDir m_reports;

    void writeReport(const QString& name, const QString& text) {
        QFile file(m_reports.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
    }

    // A report file of the given text, fed the statement.
    std::unique_ptr<Report> report(const QString& text, const QString& sql = registrations) {
        writeReport(QStringLiteral("test.rpt"), text);
        std::unique_ptr<Report> opened = Library::OpenReport(QStringLiteral("test.rpt"));
        if (!opened)
            qFatal("test.rpt did not open");
        opened->setDataSource(sql);
        return opened;
    }

    std::unique_ptr<Report> openGrouped() {
        std::unique_ptr<Report> grouped = Library::OpenReport(QStringLiteral("grouped.rpt"));
        if (!grouped)
            qFatal("grouped.rpt did not open");
        grouped->setDataSource(registrations + QStringLiteral(" WHERE Subject = ?"),
                               {QStringLiteral("คณิตศาสตร์")});
        return grouped;
    }

private slots:
    void init() {
        m_db = std::make_unique<TestDatabase>();
        // The program folder is the database's temporary folder.
        const QDir program = QFileInfo(m_db->path()).dir();
        program.mkpath(QStringLiteral("Report"));
        m_reports = QDir(program.filePath(QStringLiteral("Report")));
        QFile::copy(QFINDTESTDATA("grouped.rpt"),
                    m_reports.filePath(QStringLiteral("grouped.rpt")));
        Seams::setProgramFolder(program.path());
        school();
    }

    void cleanup() {
        deleteWindows();
        Seams::setProgramFolder({});
        m_db.reset();
    }

    void formulaTextAndErrors() {
        std::unique_ptr<Report> grouped = openGrouped();
        // Defaults (no formula set): plain text as written, formula text by its value.
        const std::tuple<const char*, const char*, const char*> values[] = {
            {"lblTitle", nullptr, "รายงานทดสอบ"},
            {"lblAddr", nullptr, ""},
            {"lblComp", R"('Ann "Jo" O''Neil')", R"(Ann "Jo" O'Neil)"},
            {"lblAddr", R"("a ""b""" & chr(13) & Chr(10) & 'c')", "a \"b\"\r\nc"},
            {"xTestMax", " -12.5 ", "-12.5"}};
        for (const auto& [field, formula, value] : values) {
            if (formula)
                grouped->setFormula(QString::fromLatin1(field), QString::fromLatin1(formula));
            QCOMPARE(grouped->formulaValue(QString::fromLatin1(field)), QString::fromUtf8(value));
        }
        // An unknown field or a malformed formula is an error that names the field.
        auto refusal = [&](const char* field, const char* formula) {
            try {
                grouped->setFormula(QString::fromLatin1(field), QString::fromLatin1(formula));
            } catch (const ReportError& error) {
                return error.message();
            }
            return QString();
        };
        QVERIFY(refusal("lblNoSuch", "'x'").contains(QStringLiteral("lblNoSuch")));
        for (const char* formula : {"'open", "'a' 'b'", "'a' &", "abc"})
            QVERIFY(refusal("lblTitle", formula).contains(QStringLiteral("lblTitle")));
    }

    // The older form of a layout (one group with caption and sums, header lines,
    // totals in a group's header) still prints as it did.
    void captionSumsAndFormulasOfOneGroup() {
        std::unique_ptr<Report> grouped = openGrouped();
        grouped->setFormula(QStringLiteral("lblComp"), Library::Quote(Library::gShopName));
        grouped->setFormula(QStringLiteral("LBLTITLE"),
                            Library::Quote(QStringLiteral("รายงาน \"ทดสอบ\" ประจำวัน")));
        grouped->setFormula(QStringLiteral("lblAddr"),
                            QStringLiteral("\"1 ถนนสุขุมวิท\" & Chr(10) & \"กรุงเทพฯ\""));
        grouped->setFormula(QStringLiteral("xTestMax"), QStringLiteral("100"));
        const QStringList expected = {
            QStringLiteral("K'Academy"),
            QStringLiteral("1 ถนนสุขุมวิท"),
            QStringLiteral("กรุงเทพฯ"),
            QStringLiteral("รายงาน \"ทดสอบ\" ประจำวัน"),
            QStringLiteral("พิมพ์วันที่ 06/12/2569"),
            QStringLiteral("ลำดับ|รหัส|ชื่อ - สกุล|วันที่ลงทะเบียน|ค่าเรียน|ชำระแล้ว"),
            QStringLiteral("ระดับ ม.1 (3 คน)"),
            QStringLiteral("1|6900001|สมชาย ใจดี|06/12/2569|2,000.00|500.00"),
            QStringLiteral("2|6900002|สมหญิง รักเรียน|06/12/2569|2,500.00|2,500.00"),
            QStringLiteral("3|6900003|มานี มีนา|06/12/2569|2,000.00|2,000.00"),
            QStringLiteral("รวม ม.1|6,500.00|5,000.00"),
            QStringLiteral("ระดับ ม.2 (1 คน)"),
            QStringLiteral("1|6900001|สมชาย ใจดี|06/12/2569|1,500.00|1,000.50"),
            QStringLiteral("รวม ม.2|1,500.00|1,000.50"),
            QStringLiteral("รวมทั้งสิ้น|8,000.00|6,000.50"),
            QStringLiteral("ชำระแล้วรวม 6,000.50 บาท (หกพันบาทห้าสิบสตางค์)"),
            QStringLiteral("คะแนนเต็ม 100")};
        QCOMPARE(allLines(*grouped), expected);
    }

    // Rows come unsorted; the database sorts them (Thai order) for a report with
    // detail rows, the engine orders the groups of a report without them: both
    // print the same groups in the same order.
    void unsortedRowsGroupAtThreeLevelsWithAndWithoutDetails() {
        const QStringList expected = {QStringLiteral("รหัส|ชื่อ|ชำระแล้ว"),
                                      QStringLiteral("วิชา คณิตศาสตร์ 4 รายการ"),
                                      QStringLiteral("ระดับ ม.1"),
                                      QStringLiteral("6900001|สมชาย ใจดี|500.00"),
                                      QStringLiteral("6900003|มานี มีนา|2,000.00"),
                                      QStringLiteral("คอร์สเข้มข้น 2 รายการ|2,500.00"),
                                      QStringLiteral("6900002|สมหญิง รักเรียน|2,500.00"),
                                      QStringLiteral("คอร์สปกติ 1 รายการ|2,500.00"),
                                      QStringLiteral("รวม ม.1|5,000.00"),
                                      QStringLiteral("ระดับ ม.2"),
                                      QStringLiteral("6900001|สมชาย ใจดี|1,000.50"),
                                      QStringLiteral("คอร์สปกติ 1 รายการ|1,000.50"),
                                      QStringLiteral("รวม ม.2|1,000.50"),
                                      QStringLiteral("รวม คณิตศาสตร์|6,000.50"),
                                      QStringLiteral("วิชา เคมี 1 รายการ"),
                                      QStringLiteral("ระดับ ม.1"),
                                      QStringLiteral("6900003|มานี มีนา|1,200.00"),
                                      QStringLiteral("คอร์สปกติ 1 รายการ|1,200.00"),
                                      QStringLiteral("รวม ม.1|1,200.00"),
                                      QStringLiteral("รวม เคมี|1,200.00"),
                                      QStringLiteral("วิชา ชีววิทยา 1 รายการ"),
                                      QStringLiteral("ระดับ ม.1"),
                                      QStringLiteral("6900002|สมหญิง รักเรียน|0.00"),
                                      QStringLiteral("คอร์สปกติ 1 รายการ|0.00"),
                                      QStringLiteral("รวม ม.1|0.00"),
                                      QStringLiteral("รวม ชีววิทยา|0.00"),
                                      QStringLiteral("รวมทั้งสิ้น 6 รายการ|7,200.50")};
        QCOMPARE(allLines(*report(threeLevels)), expected);

        QStringList summary = expected;
        summary.removeIf([](const QString& line) { return line.startsWith(u'6'); });
        QCOMPARE(allLines(*report(threeLevels + QStringLiteral("[details]\nprint = no\n"))),
                 summary);
    }

    // Computed columns, conditions, value maps and distinct counts, each against
    // the rows it must print.
    void computedConditionalMappedAndDistinct_data() {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("expected");
        // The balance of each registration (nothing paid reads as 0); pupils against
        // registrations.
        QTest::newRow("balance, distinct pupils") << QStringLiteral(R"(
[compute]
Balance = CoursePrice - CoursePayAmt
Half = Balance / 2 * 1
[columns]
StdID | รหัส | 2 | left | text
CourseNo | ห้อง | 2 | left | text
Balance | ค้างชำระ | 2 | right | money
Half | ครึ่ง | 2 | right | number
[sort]
by = StdID, CourseNo desc
[totals]
row = {distinct:StdID} คน {count} รายการ | | {sum:Balance} | {sum:Half where Balance > 600}
)") << registrations << QStringList{QStringLiteral("รหัส|ห้อง|ค้างชำระ|ครึ่ง"),
                                    QStringLiteral("6900001|6900003|499.50|249.75"),
                                    QStringLiteral("6900001|6900002|1,500.00|750"),
                                    QStringLiteral("6900002|6900005|0.00|0"),
                                    QStringLiteral("6900002|6900001|1,000.00|500"),
                                    QStringLiteral("6900003|6900004|0.00|0"),
                                    QStringLiteral("6900003|6900002|0.00|0"),
                                    QStringLiteral("3 คน 6 รายการ|2,999.50|1,250.00")};
        // A day's bills: the cancelled one shows as such and stays out of the takings.
        QTest::newRow("bills without the cancelled")
            << QStringLiteral(R"(
[map Status]
1 = ยกเลิก
0 =
[columns]
StmDocNo | เลขที่ | 2 | left | text
StdName | ชื่อ | 4 | left | text
IsCancel | สถานะ | 2 | center | map Status
StmNetAmt | จำนวนเงิน | 2 | right | money
[sort]
by = StmDocNo
[totals]
row = รับจริง {count where IsCancel <> '1'} ใบ | | | {sum:StmNetAmt where not IsCancel = '1'}
[footer]
left | ยกเลิก {count where IsCancel = '1' or StmNetAmt < 0} ใบ {sum:StmNetAmt where IsCancel = 1} บาท
)") << QStringLiteral("SELECT * FROM QStatementStudent WHERE StmDate = ?")
            << QStringList{QStringLiteral("เลขที่|ชื่อ|สถานะ|จำนวนเงิน"),
                           QStringLiteral("69-00001|สมชาย ใจดี||1,250.50"),
                           QStringLiteral("69-00002|มานี มีนา|ยกเลิก|3,000.00"),
                           QStringLiteral("69-00003|สมหญิง รักเรียน||500.00"),
                           QStringLiteral("รับจริง 2 ใบ|1,750.50"),
                           QStringLiteral("ยกเลิก 1 ใบ 3,000.00 บาท")};
    }

    void computedConditionalMappedAndDistinct() {
        QFETCH(QString, layout);
        QFETCH(QString, sql);
        QFETCH(QStringList, expected);
        Fixture::value(QStringLiteral("UPDATE StudentCourse SET CoursePayAmt = NULL "
                                      "WHERE CoursePayAmt = 0"));
        const struct {
            const char* id;
            const char* student;
            double amount;
            const char* cancelled;
        } bills[] = {{"69000003", "6900002", 500, "0"},
                     {"69000001", "6900001", 1250.5, "0"},
                     {"69000002", "6900003", 3000, "1"}};
        for (const auto& b : bills)
            Fixture::value(
                QStringLiteral("INSERT INTO Statement (StmID, StmDate, StdID, "
                               "StmNetAmt, StmDocNo, IsCancel) VALUES (?, ?, ?, ?, ?, ?)"),
                {QString::fromLatin1(b.id), QStringLiteral("20261206"),
                 QString::fromLatin1(b.student), b.amount,
                 QString(QStringLiteral("69-0000") + QString::fromLatin1(b.id).right(1)),
                 QString::fromLatin1(b.cancelled)});
        std::unique_ptr<Report> shown = report(layout, sql);
        if (sql.contains(u'?'))
            shown->setDataSource(sql, {QStringLiteral("20261206")});
        QCOMPARE(allLines(*shown), expected);
    }

    // Distinct counts over more values than are sorted out at once, of every kind: short
    // codes, longer ones, numbers, Thai texts, empty texts and NULLs (which count not),
    // in groups and in all; the same whether the rows print or not.
    void distinctCountsOfEveryKindOfValue() {
        const QString values = QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 30000) "
            "SELECT i % 3 AS Grp, CASE WHEN i % 7 = 0 THEN NULL WHEN i % 11 = 0 THEN '' "
            "ELSE CASE i % 4 WHEN 0 THEN printf('%07d', i % 9000) "
            "WHEN 1 THEN printf('%08d', i % 9000) WHEN 2 THEN i % 6000 "
            "ELSE 'ชื่อ ' || (i % 7500) END END AS Val FROM n");
        QStringList expected{QStringLiteral("กลุ่ม|คน|รายการ")};
        Query counts = Connection::shared().exec(
            QStringLiteral("SELECT Grp, COUNT(DISTINCT Val), COUNT(*) FROM (") + values +
            QStringLiteral(") GROUP BY Grp ORDER BY Grp"));
        while (counts.next())
            expected << QStringList{counts.value(0).toString(), counts.value(1).toString(),
                                    counts.value(2).toString()}
                            .join(u'|');
        const QVariant all = Fixture::value(QStringLiteral("SELECT COUNT(DISTINCT Val) FROM (") +
                                            values + QLatin1Char(')'));
        QVERIFY(all.toInt() > 5000);
        expected << QStringLiteral("รวม|%1|30000").arg(all.toInt());
        const QString layout = QStringLiteral(R"(
[columns]
Grp | กลุ่ม | 2 | left | text
Val | คน | 2 | right | text
Val | รายการ | 2 | right | text
[group]
by = Grp
row = {=Grp} | {distinct:Val} | {count}
[totals]
row = รวม | {distinct:Val} | {count}
)");
        QCOMPARE(allLines(*report(layout + QStringLiteral("[details]\nprint = no\n"), values)),
                 expected);
        QStringList printed =
            allLines(*report(layout + QStringLiteral("[sort]\nby = Val\n"), values));
        // Left: the total rows. A detail row shows its value twice, a heading starts each page.
        printed.removeIf([&](const QString& line) {
            return line == expected.first() || line.section(u'|', 1, 1) == line.section(u'|', 2);
        });
        QCOMPARE(printed, expected.mid(1));
    }

    // Every page of a long report shows its rows' values as read when it was laid out:
    // whole and part amounts, NULLs, texts that repeat down a column and ones that do not.
    void laterPagesShowTheValuesRead() {
        const QString values = QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 400) "
            "SELECT i AS Nr, CASE i % 4 WHEN 0 THEN NULL WHEN 1 THEN i / 3 WHEN 2 THEN i / 3 "
            "+ 0.5 ELSE (i / 3) * 1.0 END AS Amount, 'ชื่อ ' || (i / 3) AS Name FROM n");
        const QString layout = QStringLiteral(R"(
[columns]
Nr | ลำดับ | 1 | right | text
Amount | จำนวน | 2 | right | money
Name | ชื่อ | 3 | left | text
[sort]
by = Nr
)");
        std::unique_ptr<Report> shown = report(layout, values);
        QVERIFY(shown->pageCount() >= 5);
        QStringList rows = allLines(*shown);
        rows.removeAll(QStringLiteral("ลำดับ|จำนวน|ชื่อ"));
        QCOMPARE(rows.size(), 400);
        for (int i = 1; i <= 400; ++i) {
            const Money amount = Money::fromSatang(100 * (i / 3) + (i % 4 == 2 ? 50 : 0));
            QCOMPARE(rows.at(i - 1), QStringLiteral("%1|%2|ชื่อ %3")
                                         .arg(i)
                                         .arg(i % 4 == 0 ? QString() : amount.toText(true))
                                         .arg(i / 3));
        }
    }

    // A long list keeps a text that recurs down a column (a course name on every
    // registration of the course, not on rows next to each other) once, however many rows
    // show it, and one that never recurs (an address) as it was read; every row shows both.
    void keptRowsHoldARecurringTextOnce() {
        const int count = 6000;
        const QString values =
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                           "WHERE i < %1) SELECT i AS Nr, 'ที่อยู่ ' || i AS Addr, "
                           "replace(hex(zeroblob(40)), '00', 'คอร์สติวเข้ม') || (i % 3) AS "
                           "Course FROM n")
                .arg(count);
        const QString layout = QStringLiteral(R"(
[columns]
Nr | ลำดับ | 1 | right | text
Addr | ที่อยู่ | 3 | left | text
Course | คอร์ส | 3 | left | text
[sort]
by = Nr
)");
        std::unique_ptr<Report> shown = report(layout, values);
        auto heapInUse = [] {
            const struct mallinfo2 heap = mallinfo2();
            return static_cast<qint64>(heap.uordblks + heap.hblkhd);
        };
        const qint64 before = heapInUse();
        QVERIFY(shown->pageCount() > 100);
        const qint64 grown = heapInUse() - before;
        // Each course name as read on every row would take 1.4 kB a row.
        QVERIFY2(grown < count * 700, qPrintable(QString::number(grown)));

        QString course;
        for (int i = 0; i < 40; ++i)
            course += QStringLiteral("คอร์สติวเข้ม");
        QStringList rows;
        QString row;
        for (const ReportEngine::PlacedText& placed : shown->placedTexts()) {
            if (placed.heading || placed.column < 0)
                continue;
            row += (placed.column == 0 ? QString() : QStringLiteral("|")) + placed.text;
            if (placed.column == 2) {
                rows << row;
                row.clear();
            }
        }
        QCOMPARE(rows.size(), count);
        for (int i = 1; i <= count; ++i)
            QCOMPARE(rows.at(i - 1),
                     QStringLiteral("%1|ที่อยู่ %1|%2%3").arg(i).arg(course).arg(i % 3));
    }

    // A long list in groups opens on its first page and shows, on every page asked for
    // later, the rows as they were when it opened, though another desk renames, deletes,
    // adds and regroups pupils meanwhile: names, nicknames empty, missing or repeated, and
    // the group headers that count rows read after them.
    void viewerPagesKeepTheRowsOfItsOpening() {
        Fixture::exec(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 360) "
            "INSERT INTO Student (StdID, StdName, StdNickName, StdLevel) SELECT "
            "printf('68%05d', i), 'นักเรียน ' || i || ' ใจดี', CASE i % 3 WHEN 0 THEN NULL "
            "WHEN 1 THEN '' ELSE 'น้อง' || (i % 7) END, 'ม.' || (i % 3 + 1) FROM n"));
        const QString layout = QStringLiteral(R"(
[pageheader]
right | หน้า {page} / {pages}
[columns]
StdID | รหัส | 2 | left | text
StdName | ชื่อ | 4 | left | text
StdNickName | ชื่อเล่น | 2 | left | text
[sort]
by = StdID
[group]
by = StdLevel
header = left bold | ระดับ {=StdLevel} {count} คน
[totals]
row = รวม {count} คน | |
)");
        std::unique_ptr<Report> list =
            report(layout, QStringLiteral("SELECT * FROM Student WHERE StdID LIKE '68%'"));
        QVERIFY(Library::ShowReport(*list, QStringLiteral("รายชื่อ"), QString()));
        frmViewReport* viewer = topLevelViewer();
        QVERIFY(viewer);
        QCOMPARE(viewer->viewer()->page(), 1);
        const int count = viewer->viewer()->pageCount();
        QVERIFY(count >= 6);

        Fixture::exec(
            QStringLiteral("UPDATE Student SET StdName = 'เปลี่ยนแล้ว', "
                           "StdNickName = 'ใหม่', StdLevel = 'ม.6' WHERE StdID < '6800200'"));
        Fixture::exec(QStringLiteral("DELETE FROM Student WHERE StdID > '6800300'"));
        Fixture::student(QStringLiteral("6800000"), QStringLiteral("มาใหม่"));
        QCOMPARE(Fixture::value(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")).toInt(), 0);

        showActive(viewer);
        pressKey(Qt::Key_End);
        QCOMPARE(viewer->viewer()->page(), count);
        pressKey(Qt::Key_PageUp);
        QCOMPARE(viewer->viewer()->page(), count - 1);
        const QList<QStringList> pages = viewer->report().pageTexts();
        QCOMPARE(pages.size(), count);
        QStringList rows;
        QStringList headers;
        for (int p = 0; p < count; ++p) {
            QCOMPARE(pages.at(p).first(), QStringLiteral("หน้า %1 / %2").arg(p + 1).arg(count));
            for (const QString& line : pages.at(p))
                if (line.startsWith(QStringLiteral("68")))
                    rows << line;
                else if (line.startsWith(QStringLiteral("ระดับ")) && !headers.contains(line))
                    headers << line;
        }
        QCOMPARE(headers,
                 QStringList({QStringLiteral("ระดับ ม.1 120 คน"), QStringLiteral("ระดับ ม.2 120 คน"),
                              QStringLiteral("ระดับ ม.3 120 คน")}));
        QCOMPARE(rows.size(), 360);
        QStringList expected;
        for (int level = 1; level <= 3; ++level)
            for (int i = 1; i <= 360; ++i)
                if (i % 3 + 1 == level)
                    expected << QStringLiteral("68%1|นักเรียน %2 ใจดี|%3")
                                    .arg(i, 5, 10, QLatin1Char('0'))
                                    .arg(i)
                                    .arg(i % 3 == 2 ? QStringLiteral("น้อง%1").arg(i % 7)
                                                    : QString());
        QCOMPARE(rows, expected);
        QCOMPARE(pages.last().last(), QStringLiteral("รวม 360 คน"));
    }

    // Every page of a long report carries the page header, the column titles and
    // "หน้า N / M"; every row prints once, in order, across the pages; the viewer
    // and the PDF have the same pages.
    void pagesCarryHeaderTitlesAndNumbers() {
        Fixture::classRow(QStringLiteral("6900006"), QStringLiteral("C01"), Money::fromBaht(500));
        for (int n = 300; n >= 1; --n) {
            const QString id = QString::number(6900000 + n);
            if (n > 3)
                Fixture::student(id, QStringLiteral("นักเรียนที่ %1").arg(n));
            Fixture::registration(id, QStringLiteral("6900006"), Money::fromSatang(10));
        }
        const QString layout = QStringLiteral(R"(
[formulas]
lblComp = ''
lblTitle = 'รายชื่อ'
[pageheader]
center bold size 14 | {lblComp}
center | {lblTitle}
[pagefooter]
right | หน้า {page} / {pages}
[columns]
row | ลำดับ | 1 | right | row
StdID | รหัส | 2 | left | text
StdName | ชื่อ | 5 | left | text
CoursePayAmt | ชำระแล้ว | 2 | right | money
[sort]
by = StdID
[totals]
row = รวม {count} คน | | | {sum:CoursePayAmt}
)");
        std::unique_ptr<Report> shown =
            report(layout, registrations + QStringLiteral(" WHERE CourseNo = '6900006'"));
        shown->setFormula(QStringLiteral("lblComp"), Library::Quote(Library::gShopName));
        const QList<QStringList> pages = shown->pageTexts();
        const int count = shown->pageCount();
        QVERIFY(count >= 5);
        QCOMPARE(pages.size(), count);
        const QRegularExpression detail(QStringLiteral("^(\\d+)\\|(69\\d{5})\\|"));
        QStringList ids;
        for (int p = 0; p < count; ++p) {
            const QStringList& lines = pages.at(p);
            QCOMPARE(lines.mid(0, 3),
                     QStringList({QStringLiteral("K'Academy"), QStringLiteral("รายชื่อ"),
                                  QStringLiteral("ลำดับ|รหัส|ชื่อ|ชำระแล้ว")}));
            QCOMPARE(lines.last(), QStringLiteral("หน้า %1 / %2").arg(p + 1).arg(count));
            for (const QString& line : lines) {
                const QRegularExpressionMatch match = detail.match(line);
                if (match.hasMatch()) {
                    QCOMPARE(match.captured(1).toInt(), ids.size() + 1);
                    ids << match.captured(2);
                }
            }
        }
        QCOMPARE(ids.size(), 300);
        for (int n = 1; n <= 300; ++n)
            QCOMPARE(ids.at(n - 1), QString::number(6900000 + n));
        QCOMPARE(pages.last().at(pages.last().size() - 2), QStringLiteral("รวม 300 คน|30.00"));

        shown->printAllPages();
        shown->printFirstPage();
        const QDir folder(m_db->pdfFolder());
        const QStringList files = pdfFiles(folder.path());
        QCOMPARE(files.size(), 2);
        QCOMPARE(pdfPages(folder.filePath(files.at(1))), count);
        QCOMPARE(pdfPages(folder.filePath(files.at(0))), 1);

        QVERIFY(Library::ShowReport(*shown, QStringLiteral("รายชื่อ"), QString()));
        frmViewReport* viewer = topLevelViewer();
        QVERIFY(viewer);
        QCOMPARE(viewer->viewer()->pageCount(), count);
        QCOMPARE(viewer->viewer()->page(), 1);
        viewer->pressButton(QStringLiteral("Last"));
        QCOMPARE(viewer->viewer()->page(), count);
        QVERIFY(!viewer->toolbar()->isAvailable(QStringLiteral("Next")));
        viewer->pressButton(QStringLiteral("Previous"));
        QCOMPARE(viewer->viewer()->page(), count - 1);
        viewer->pressButton(QStringLiteral("First"));
        QCOMPARE(viewer->viewer()->page(), 1);
    }

    // Thai names keep every tone mark and vowel above or below; a name too long
    // for its column is cut between whole characters, never inside one.
    void thaiTextAndMarksIntact() {
        const QString names[] = {
            QStringLiteral("ผู้ใหญ่ น้ำใจ ถ้วนถี่"),
            QStringLiteral("นักเรียนที่ตั้งใจเรียนดีเยี่ยมประจำปีการศึกษาสองพันห้าร้อยหกสิบเก้า")};
        Fixture::student(QStringLiteral("6900011"), names[0]);
        Fixture::student(QStringLiteral("6900012"), names[1]);
        for (const char* id : {"6900011", "6900012"})
            Fixture::registration(QString::fromLatin1(id), QStringLiteral("6900004"));
        std::unique_ptr<Report> shown =
            report(QStringLiteral(R"(
[columns]
StdID | รหัส | 4 | left | text
StdName | ชื่อ | 3 | left | text
[sort]
by = StdID
)"),
                   registrations + QStringLiteral(" WHERE StdID > '690001'"));
        const QStringList lines = allLines(*shown);
        QCOMPARE(lines.at(1), QStringLiteral("6900011|") + names[0]);
        const QString cut = lines.at(2).section(u'|', 1);
        QVERIFY(cut.endsWith(QStringLiteral("…")));
        const QString kept = cut.chopped(1);
        QVERIFY(kept.size() > 10 && names[1].startsWith(kept));
        QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, names[1]);
        graphemes.setPosition(kept.size());
        QVERIFY(graphemes.isAtBoundary());

        // The PDF holds the text itself, marks above vowels too (pdftotext drops the
        // tone marks that the font lowers where no vowel is above, so those are
        // checked above on the report's own text).
        shown->printAllPages();
        const QString pdf = QDir(m_db->pdfFolder()).filePath(pdfFiles(m_db->pdfFolder()).first());
        const QString pdfText = runTool(QStringLiteral("pdftotext"),
                                        {QStringLiteral("-raw"), pdf, QStringLiteral("-")});
        QVERIFY2(pdfText.contains(QStringLiteral("6900012 นักเรียนที่ตั้งใจเรียนดีเยี่ยม")),
                 qPrintable(pdfText));
    }

    // A missing column, an unknown key, a bad expression or formula field: the
    // error box names the file and line, and nothing is shown.
    void layoutErrorsNameFileAndLine_data() {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("names");
        QTest::newRow("missing column")
            << QStringLiteral("[columns]\nStdID | a | 1\nNoSuch | b | 1") << 3
            << QStringLiteral("NoSuch");
        QTest::newRow("missing in a condition")
            << QStringLiteral("[columns]\nStdID | a | 1\n[totals]\nrow = {count where Nope = 1}")
            << 4 << QStringLiteral("Nope");
        QTest::newRow("unknown key")
            << QStringLiteral("[group]\nby = Subject\nwidth = 3") << 3 << QStringLiteral("width");
        QTest::newRow("bad expression")
            << QStringLiteral("[columns]\nStdID | a | 1\n[compute]\nB = CoursePrice * - ") << 4
            << QString();
        QTest::newRow("condition as a column")
            << QStringLiteral("[compute]\nB = CoursePrice > 1") << 2 << QString();
        QTest::newRow("unknown formula")
            << QStringLiteral("[formulas]\nlblComp =\n[header]\nleft | {lblCompany}") << 4
            << QStringLiteral("lblCompany");
        QTest::newRow("grouped by a computed column")
            << QStringLiteral("[compute]\nB = CoursePrice * 2\n[group]\nby = B") << 4
            << QStringLiteral("B");
        QTest::newRow("row wider than the table")
            << QStringLiteral("[columns]\nStdID | a | 1\n[totals]\nrow = a | b") << 4 << QString();
    }

    void layoutErrorsNameFileAndLine() {
        QFETCH(QString, layout);
        QFETCH(int, line);
        QFETCH(QString, names);
        writeReport(QStringLiteral("bad.rpt"), layout);
        ScriptedMessages messages;
        if (std::unique_ptr<Report> bad = Library::OpenReport(QStringLiteral("bad.rpt")))
            QVERIFY(!Library::ShowReport(*bad, QStringLiteral("x"), registrations));
        QCOMPARE(messages.errors.size(), 1);
        QVERIFY2(messages.errors.first().contains(QStringLiteral("bad.rpt บรรทัดที่ %1:").arg(line)),
                 qPrintable(messages.errors.first()));
        QVERIFY(messages.errors.first().contains(names));
        QVERIFY(!topLevelViewer());
    }

    void printsToPdfFolderOrFailsWithoutPrinter() {
        for (int id = 6900003; id <= 6900120; ++id) {
            Fixture::student(QString::number(id + 100), QStringLiteral("นักเรียน"));
            Fixture::registration(QString::number(id + 100), QStringLiteral("6900002"));
        }
        std::unique_ptr<Report> grouped = openGrouped();
        static QStringList told;
        told.clear();
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext&, const QString& text) {
                if (type == QtInfoMsg)
                    told << text;
            });
        grouped->printFirstPage();
        grouped->printAllPages();
        qInstallMessageHandler(previous);
        // Named after the report and the clock; the second print of the second gets "-2".
        const QDir folder(m_db->pdfFolder());
        // The first print says once where the pages go.
        QCOMPARE(told, QStringList{QStringLiteral("Printed pages go to PDF files in ") +
                                   folder.absolutePath()});
        const QStringList files = pdfFiles(folder.path());
        QCOMPARE(files, QStringList({QStringLiteral("grouped-20261206-090000-2.pdf"),
                                     QStringLiteral("grouped-20261206-090000.pdf")}));
        QCOMPARE(pdfPages(folder.filePath(files.at(1))), 1);
        QCOMPARE(pdfPages(folder.filePath(files.at(0))), grouped->pageCount());
        QVERIFY(grouped->pageCount() > 1);

        // A statement that fails leaves no PDF behind.
        grouped->setDataSource(QStringLiteral("SELECT * FROM NoSuchTable"));
        QVERIFY_THROWS_EXCEPTION(DbError, grouped->printAllPages());
        QCOMPARE(pdfFiles(folder.path()).size(), 2);

        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("a printer is installed on this machine");
        Seams::setPdfFolder({});
        qunsetenv("VADEL_PDF_DIR");
        QVERIFY_THROWS_EXCEPTION(ReportError, grouped->printFirstPage());
        QCOMPARE(pdfFiles(folder.path()).size(), 2);
    }

    void viewersOpenSideBySideCloseWithEscOrShowErrors() {
        std::unique_ptr<Report> grouped = openGrouped();
        // Errors show a box and open no viewer.
        ScriptedMessages messages;
        QVERIFY(!Library::OpenReport(QStringLiteral("rep99.rpt")));
        QVERIFY(!Library::ShowReport(*grouped, QStringLiteral("x"),
                                     QStringLiteral("SELECT * FROM NoSuchTable")));
        QCOMPARE(messages.errors.size(), 2);
        QVERIFY(messages.errors.at(0).contains(QStringLiteral("rep99.rpt")));
        QVERIFY(messages.errors.at(1).contains(QStringLiteral("grouped.rpt")));
        QVERIFY(!topLevelViewer());

        grouped->setFormula(QStringLiteral("lblComp"), Library::Quote(Library::gShopName));
        // Without a main window the viewer is a window of its own.
        QVERIFY(Library::ShowReport(*grouped, QStringLiteral("หน้าต่างเดี่ยว"), registrations));
        QVERIFY(topLevelViewer());
        delete topLevelViewer();

        QMainWindow main;
        auto* area = new QMdiArea(&main);
        main.setCentralWidget(area);
        main.show();
        QVERIFY(Library::ShowReport(*grouped, QStringLiteral("รายงานที่หนึ่ง"), registrations));
        QVERIFY(Library::ShowReport(*grouped, QStringLiteral("รายงานที่สอง"), registrations));
        grouped.reset(); // the viewers keep their own copies
        const QList<QMdiSubWindow*> frames = area->subWindowList(QMdiArea::CreationOrder);
        QCOMPARE(frames.size(), 2);
        QCOMPARE(frames.at(0)->windowTitle(), QStringLiteral("รายงานที่หนึ่ง"));
        QCOMPARE(frames.at(1)->windowTitle(), QStringLiteral("รายงานที่สอง"));
        auto* viewer = qobject_cast<frmViewReport*>(frames.at(1)->widget());
        QVERIFY(viewer);
        QCOMPARE(viewer->viewer()->pageCount(), 1);
        QVERIFY(viewer->report().toPlainText().contains(QStringLiteral("K'Academy")));
        viewer->pressButton(QStringLiteral("ZoomIn"));
        QVERIFY(viewer->viewer()->zoomFactor() > 1.0);
        viewer->pressButton(QStringLiteral("Print"));
        QCOMPARE(pdfFiles(m_db->pdfFolder()).size(), 1);

        // Esc closes the focused viewer and leaves the other one; "CLOSE" closes that.
        QApplication::setActiveWindow(&main);
        area->setActiveSubWindow(frames.at(1));
        viewer->viewer()->setFocus();
        QPointer<QMdiSubWindow> second = frames.at(1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(second.isNull());
        QCOMPARE(area->subWindowList().size(), 1);
        QPointer<QMdiSubWindow> first = frames.at(0);
        qobject_cast<frmViewReport*>(first->widget())->pressButton(QStringLiteral("CLOSE"));
        QTRY_VERIFY(first.isNull());
    }
};

QTEST_MAIN(tst_report)
#include "tst_report.moc"
