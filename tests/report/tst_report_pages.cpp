#include "core/Database.h"
#include "core/SampleData.h"
#include "core/Seams.h"
#include "frame/Library.h"
#include "report/Report.h"
#include "report/ReportEngine.h"
#include "report/viewer/LibraryReports.h"
#include "report/viewer/ReportPageView.h"
#include "report/viewer/frmViewReport.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace {

struct ReportFile {
    const char* file;
    const char* sql; // as its window runs it, a class or bill being the first one
};

const ReportFile reportFiles[] = {
    {"rep0.rpt", "SELECT * FROM Student ORDER BY StdID"},
    {"rep1.rpt", "SELECT * FROM QStudentCourse3 WHERE CourseStatus = '1'"},
    {"rep2.rpt", "SELECT * FROM QStudentCourse3 WHERE CourseStatus = '1'"},
    {"rep3.rpt", "SELECT * FROM QStudentCourse3 WHERE CourseStatus = '1'"},
    {"rep4.rpt", "SELECT * FROM QStudentCourse3 WHERE CourseStatus = '1'"},
    {"rep5.rpt",
     "SELECT * FROM QStudentCourse3 WHERE CourseStatus = '1' AND CoursePrice > CoursePayAmt"},
    {"rep6.rpt",
     "SELECT * FROM QStudentCourse3 WHERE CourseStatus = '1' AND CoursePrice > CoursePayAmt"},
    {"rep7.rpt", "SELECT * FROM QStudentCourse3 WHERE CourseNo = (SELECT MIN(CourseNo) FROM "
                 "StudentCourse) ORDER BY StdID"},
    {"rep8.rpt", "SELECT *, TestPoint1 AS TestPoint FROM QStudentCourse2 WHERE CourseNo = "
                 "(SELECT MIN(CourseNo) FROM StudentCourse) ORDER BY StdID"},
    {"rep9.rpt", "SELECT * FROM QStudentCourse2 WHERE CourseNo = (SELECT MIN(CourseNo) FROM "
                 "StudentCourse) ORDER BY StdID"},
    {"rep10.rpt", "SELECT StdID, StmNetAmt, StmDocNo, StmDate, IsCancel, UserID, UserCancelID, "
                  "StdName FROM QStatementStudent"},
    {"rep11.rpt", "SELECT StdID, StdName, CourseLevel, CourseRegDate, Subject, CoursePrice, "
                  "CourseName FROM QStudentCourse3"},
    {"rep12.rpt", "SELECT * FROM Expense"},
    {"rep13.rpt",
     "SELECT ts.StmID, ts.StmDate, ts.StmItem, ts.StmTime1, ts.StmTime2, ts.StmHour, tss.StdID, "
     "s.StdName, tss.StmStatus, CASE WHEN IfNull(tss.StmStatus, '1') = '1' THEN 'มา' ELSE 'ขาด' "
     "END AS StatusText, (SELECT Count(*) FROM TimeStampStudent p WHERE p.StmID = ts.StmID AND "
     "IfNull(p.StmStatus, '1') = '1') AS Attended FROM [TimeStamp] ts INNER JOIN "
     "TimeStampStudent tss ON ts.StmID = tss.StmID LEFT JOIN Student s ON s.StdID = tss.StdID "
     "WHERE ts.CourseNo = (SELECT MIN(CourseNo) FROM [TimeStamp])"},
    {"rep14.rpt", "SELECT * FROM qTeacherTimeStamp"},
    {"Bill.rpt", "SELECT CourseName, CourseLevel, Subject, StmAmt, StmOBal FROM "
                 "QStatementCourse WHERE StmID = (SELECT MIN(StmID) FROM Statement) ORDER BY "
                 "StmItem"},
};

// The [columns] of a report file: name, caption and format of each.
struct FileColumn {
    QString name;
    QString caption;
    QString format;
};

QList<FileColumn> fileColumns(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        qFatal("cannot read %s", qPrintable(path));
    QList<FileColumn> columns;
    bool inColumns = false;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QString text = line.section(u'#', 0, 0).trimmed();
        if (text.startsWith(u'['))
            inColumns = text == QStringLiteral("[columns]");
        else if (inColumns && !text.isEmpty()) {
            const QStringList cells = text.split(u'|');
            columns << FileColumn{cells.value(0).trimmed(), cells.value(1).trimmed(),
                                  cells.value(4).trimmed()};
        }
    }
    return columns;
}

// A school far larger than the demo: pupils, courses, subjects and teachers with long
// names, amounts up to what the program stores, a pupil in 70 classes owing on each,
// and a teacher of 150 lessons.
void largeSchool() {
    using Fixture::exec;
    Fixture::school(QStringLiteral("สถาบันกวดวิชาและพัฒนาศักยภาพผู้เรียนปัญญาเลิศวิทยา"));
    const QString numbers =
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE "
                       "i < %1) ");
    exec(numbers.arg(12) + QStringLiteral("INSERT INTO Course SELECT printf('C%03d', i), "
                                          "'คอร์สปรับพื้นฐานคณิตศาสตร์ ม.ปลาย รุ่นที่ ' || i, '20260101', "
                                          "'20271231', '1' FROM n"));
    exec(numbers.arg(80) +
         QStringLiteral("INSERT INTO CourseTable (CourseNo, CourseID, CourseLevel, Subject, "
                        "CourseDate, CourseTime, CoursePrice, DateStart, DateEnd, TimeHour, "
                        "RoomNo, TestMax1) SELECT printf('7%06d', i), printf('C%03d', i % 12 + "
                        "1), 'ม.' || (i % 6 + 1), 'วิทยาศาสตร์ประยุกต์' || (i % 4), "
                        "'จันทร์-ศุกร์', '17:00-19:00', CASE WHEN i % 5 = 0 THEN "
                        "9999999999999.99 ELSE 123456.75 * i END, '20261201', '20261231', 40, "
                        "'ห้อง ' || i, 100 FROM n"));
    exec(numbers.arg(300) +
         QStringLiteral("INSERT INTO Student (StdID, StdName, StdNickName, StdLevel, StdTel, "
                        "StdAddr, StdSchool) SELECT printf('7%06d', i), "
                        "'เด็กหญิงกัลยาณีรัตนาภรณ์ ศรีสุวรรณวงศ์ตระกูล ' || i, 'ชื่อเล่นยาวมาก', "
                        "'ม.' || (i % 6 + 1), '081-234-5678', "
                        "'99/999 หมู่บ้านสวนหลวงพัฒนา ถนนพระราม 9 แขวงสวนหลวง เขตสวนหลวง "
                        "กรุงเทพมหานคร 10250', 'โรงเรียนเตรียมอุดมศึกษาพัฒนาการ' FROM n"));
    // Each pupil in four classes; the first pupil in seventy, paying part of each.
    exec(numbers.arg(1200) +
         QStringLiteral("INSERT OR IGNORE INTO StudentCourse (StdID, CourseNo, CourseRegDate, "
                        "CoursePayAmt, TestPoint1) SELECT printf('7%06d', (i - 1) / 4 + 1), "
                        "printf('7%06d', (i * 7) % 80 + 1), '20261206', "
                        "CASE WHEN i % 5 = 0 THEN 9999999999999.98 ELSE 1000.25 * i END, 55.5 "
                        "FROM n"));
    exec(numbers.arg(70) +
         QStringLiteral("INSERT OR IGNORE INTO StudentCourse (StdID, CourseNo, CourseRegDate, "
                        "CoursePayAmt) SELECT '7000001', printf('7%06d', i), '20261206', 0.5 "
                        "FROM n"));
    // Forty more courses of five levels each, one pupil owing on every class: summaries
    // of many pages.
    exec(numbers.arg(40) + QStringLiteral("INSERT INTO Course SELECT printf('K%03d', i), "
                                          "'คอร์สติวเข้มพิเศษ ' || i, '20260101', '20271231', "
                                          "'1' FROM n"));
    exec(numbers.arg(200) +
         QStringLiteral("INSERT INTO CourseTable (CourseNo, CourseID, CourseLevel, Subject, "
                        "CourseDate, CourseTime, CoursePrice, DateStart, DateEnd, TimeHour, "
                        "RoomNo) SELECT printf('8%06d', i), printf('K%03d', (i - 1) / 5 + 1), "
                        "'ป.' || ((i - 1) % 5 + 1), 'ภาษาอังกฤษ' || ((i - 1) / 5 % 4), 'เสาร์', "
                        "'09:00-12:00', 1500, '20261201', '20261231', 30, 'ห้อง ' || i FROM n"));
    exec(numbers.arg(200) +
         QStringLiteral("INSERT INTO StudentCourse (StdID, CourseNo, CourseRegDate, "
                        "CoursePayAmt) SELECT printf('7%06d', i + 1), printf('8%06d', i), "
                        "'20261206', 100 FROM n"));
    exec(numbers.arg(300) +
         QStringLiteral("INSERT INTO Statement SELECT printf('S%06d', i), '20261206', "
                        "printf('7%06d', i), CASE WHEN i % 3 = 0 THEN 9999999999999.99 ELSE "
                        "98765.5 * i END, printf('69%06d', i), CASE WHEN i % 10 = 0 THEN '1' "
                        "ELSE '0' END, 'admin', CASE WHEN i % 10 = 0 THEN 'admin' END FROM n"));
    exec(numbers.arg(900) +
         QStringLiteral("INSERT INTO StatementSub SELECT printf('S%06d', (i - 1) / 3 + 1), "
                        "(i - 1) % 3 + 1, printf('7%06d', i % 80 + 1), 9999999999999.99, "
                        "9999999999999.99 FROM n"));
    exec(numbers.arg(200) +
         QStringLiteral("INSERT INTO Expense SELECT printf('E%06d', i), '20261206', "
                        "'ค่าซ่อมเครื่องปรับอากาศและระบบไฟฟ้าในห้องเรียนชั้นสามของอาคารเรียน "
                        "' || i, CASE WHEN i % 2 = 0 THEN 9999999999999.99 END, CASE WHEN i % 2 "
                        "= 1 THEN 9999999999999.99 END, 'admin' FROM n"));
    for (int t = 1; t <= 3; ++t)
        Fixture::teacher(QStringLiteral("T%1").arg(t),
                         QStringLiteral("อาจารย์ประเสริฐศักดิ์ วงศ์สวัสดิ์สกุลชัย %1").arg(t));
    exec(numbers.arg(200) +
         QStringLiteral("INSERT INTO [TimeStamp] SELECT printf('L%06d', i), "
                        "printf('7%06d', i % 3 + 1), printf('202612%02d', i % 28 + 1), i, "
                        "'17:00', '19:00', 2, 'admin' FROM n"));
    exec(numbers.arg(200) +
         QStringLiteral("INSERT INTO TimeStampTeacher SELECT printf('L%06d', i), "
                        "CASE WHEN i <= 150 THEN 'T1' ELSE 'T2' END, 600, '0', "
                        "CASE WHEN i % 9 = 0 THEN '0' ELSE '1' END FROM n"));
    exec(numbers.arg(300) +
         QStringLiteral("INSERT INTO TimeStampStudent SELECT 'L' || printf('%06d', (i - 1) / 60 "
                        "* 3 + 3), printf('7%06d', i), CASE WHEN i % 4 = 0 THEN '0' ELSE '1' END "
                        "FROM n"));
}

QString reportPath(const char* file) {
    return QStringLiteral(VADEL_SOURCE_DIR "/Report/") + QString::fromLatin1(file);
}

std::unique_ptr<Report> openReport(const char* file, const QString& sql) {
    std::unique_ptr<Report> report = Report::open(reportPath(file));
    const QString formulas[][2] = {
        {QStringLiteral("lblComp"), Library::gShopName},
        {QStringLiteral("lblTitle"), QStringLiteral("รายงานทดสอบการจัดหน้า ประจำวันที่ 06/12/2569")},
        {QStringLiteral("lblCourse"), QStringLiteral("คอร์สปรับพื้นฐาน ม.ปลาย  ระดับ ม.4  วิชา "
                                                     "คณิตศาสตร์")},
        {QStringLiteral("lblCourseName"), QStringLiteral("คอร์สปรับพื้นฐาน ม.ปลาย")},
        {QStringLiteral("lblStdName"), QStringLiteral("เด็กหญิงกัลยาณี ศรีสุวรรณ")},
        {QStringLiteral("lblDocNo"), QStringLiteral("69000001")},
    };
    for (const auto& [name, value] : formulas)
        if (report->hasFormula(name))
            report->setFormula(name, Library::Quote(value));
    report->setDataSource(sql);
    return report;
}

QString describe(const ReportEngine::PlacedText& text) {
    return QStringLiteral("page %1 \"%2\" at %3,%4 width %5")
        .arg(text.page)
        .arg(text.text)
        .arg(text.box.left())
        .arg(text.box.top())
        .arg(text.box.width());
}

// What is wrong with the pages of a report file: texts drawn over each other, a column
// title or an amount cut.
QStringList faults(const QList<FileColumn>& columns,
                   const QList<ReportEngine::PlacedText>& placed) {
    QStringList found;
    for (qsizetype i = 0; i < placed.size(); ++i) {
        const ReportEngine::PlacedText& a = placed.at(i);
        const bool money =
            a.column >= 0 && columns.value(a.column).format == QLatin1String("money");
        if (a.shown != a.text && (a.heading || money))
            found << QStringLiteral("cut: ") + describe(a);
        for (qsizetype j = i + 1; j < placed.size() && placed.at(j).page == a.page; ++j) {
            const QRectF both = a.box.intersected(placed.at(j).box);
            if (both.width() > 0.5 && both.height() > 0.5)
                found << QStringLiteral("overlap: ") + describe(a) + QStringLiteral(" and ") +
                             describe(placed.at(j));
        }
    }
    return found;
}

QStringList faults(const char* file, const QString& sql) {
    return faults(fileColumns(reportPath(file)), openReport(file, sql)->placedTexts());
}

} // namespace

class tst_report_pages : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;

private slots:
    void init() { m_db = std::make_unique<TestDatabase>(); }

    void cleanup() {
        deleteWindows();
        m_db.reset();
    }

    // Every report file on the demo school and on a large one: no text drawn over another,
    // no column title or amount cut, and without rows the titles still print.
    void everyFileLaysOutReadably_data() {
        QTest::addColumn<bool>("large");
        QTest::newRow("demo school") << false;
        QTest::newRow("large school") << true;
    }

    void everyFileLaysOutReadably() {
        QFETCH(bool, large);
        if (large)
            largeSchool();
        else
            SampleData::load(QStringLiteral(VADEL_SOURCE_DIR "/sample/demo.sql"));
        Library::gShopName =
            Fixture::value(QStringLiteral("SELECT ShopName FROM CtrlSetup")).toString();
        QStringList problems;
        for (const ReportFile& r : reportFiles) {
            const QString file = QString::fromLatin1(r.file);
            const QString sql = QString::fromUtf8(r.sql);
            QVERIFY2(Fixture::value(QStringLiteral("SELECT COUNT(*) FROM (%1)").arg(sql)).toInt() >
                         0,
                     r.file);
            const QStringList found = faults(r.file, sql);
            if (!found.isEmpty())
                problems << file + QStringLiteral(": ") + QString::number(found.size()) +
                                QStringLiteral(" faults, first ") + found.first();

            QStringList captions;
            for (const FileColumn& column : fileColumns(reportPath(r.file)))
                captions << column.caption;
            const QList<QStringList> empty =
                openReport(r.file, QStringLiteral("SELECT * FROM (%1) WHERE 0").arg(sql))
                    ->pageTexts();
            if (empty.size() != 1 || !empty.first().contains(captions.join(u'|')))
                problems << file + QStringLiteral(" without rows: ") + empty.value(0).join(u'/');
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
    }

    // On the large school the registrations list every course name whole: the part that
    // tells the courses apart comes last.
    void courseNamesPrintWhole() {
        largeSchool();
        const QList<ReportEngine::PlacedText> placed =
            openReport("rep11.rpt", QString::fromUtf8(reportFiles[11].sql))->placedTexts();
        int courseCells = 0;
        for (const ReportEngine::PlacedText& text : placed)
            if (text.text.startsWith(QStringLiteral("คอร์สปรับพื้นฐาน"))) {
                ++courseCells;
                QVERIFY2(text.shown == text.text, qPrintable(text.shown));
            }
        QVERIFY(courseCells > 1000);
    }

    // The bill prints each subject of the demo school whole ("วิทยาศาสตร์" among them).
    void billSubjectsPrintWhole() {
        SampleData::load(QStringLiteral(VADEL_SOURCE_DIR "/sample/demo.sql"));
        const QList<FileColumn> columns = fileColumns(reportPath("Bill.rpt"));
        const QList<ReportEngine::PlacedText> placed =
            openReport("Bill.rpt",
                       QStringLiteral("SELECT CourseName, CourseLevel, Subject, StmAmt, "
                                      "StmOBal FROM QStatementCourse"))
                ->placedTexts();
        QStringList subjects;
        for (const ReportEngine::PlacedText& text : placed)
            if (!text.heading && columns.value(text.column).name == QLatin1String("Subject")) {
                subjects << text.text;
                QVERIFY2(text.shown == text.text, qPrintable(text.shown));
            }
        QVERIFY(subjects.contains(QStringLiteral("วิทยาศาสตร์")));
    }

    // A course name of a hundred letters and a long subject print whole on the bill, in
    // the teaching report, in the points report's course line and in the attendance
    // report's title, over more lines where they need them.
    void longNamesPrintWhole() {
        largeSchool();
        const QString name =
            QStringLiteral("ติวเข้มเข้ามหาวิทยาลัย ภาคฤดูร้อน คณิตศาสตร์ ฟิสิกส์ เคมี ชีววิทยา และภาษาอังกฤษ "
                           "สำหรับนักเรียนชั้นมัธยมศึกษาปีที่หก");
        const QString subject = QStringLiteral("คณิตศาสตร์เสริมทักษะ");
        Fixture::exec(QStringLiteral("UPDATE Course SET CourseName = '%1' WHERE CourseID = "
                                     "(SELECT CourseID FROM CourseTable WHERE CourseNo = "
                                     "'7000002')")
                          .arg(name));
        Fixture::exec(QStringLiteral("UPDATE CourseTable SET Subject = '%1' WHERE CourseNo = "
                                     "'7000002'")
                          .arg(subject));
        const struct {
            int file;
            const char* formula;
        } reports[] = {{15, nullptr}, {14, nullptr}, {8, "lblCourse"}, {13, "lblTitle"}};
        for (const auto& r : reports) {
            const char* file = reportFiles[r.file].file;
            const QString fileName = QString::fromLatin1(file);
            std::unique_ptr<Report> report =
                openReport(file, QString::fromUtf8(reportFiles[r.file].sql));
            if (r.formula)
                report->setFormula(QString::fromLatin1(r.formula),
                                   Library::Quote(QStringLiteral("คอร์ส ") + name +
                                                  QStringLiteral("  ระดับ ม.6  วิชา ") + subject));
            const QList<ReportEngine::PlacedText> placed = report->placedTexts();
            int whole = 0;
            for (const ReportEngine::PlacedText& text : placed)
                if (text.text.contains(name) || text.text == subject) {
                    QVERIFY2(text.shown == text.text, qPrintable(fileName + describe(text)));
                    ++whole;
                }
            QVERIFY2(whole > 0, file);
            const QStringList found = faults(fileColumns(reportPath(file)), placed);
            QVERIFY2(found.isEmpty(), qPrintable(fileName + found.join(u'\n')));
        }
    }

    // Hours and points print as they are stored, and their totals are the sums of what is
    // stored: three lessons of 1.333 hours make 3.999.
    void storedNumbersPrintAsStored() {
        largeSchool();
        Fixture::exec(QStringLiteral(
            "UPDATE [TimeStamp] SET StmHour = 1.333 WHERE StmID IN ('L000001', 'L000002', "
            "'L000003')"));
        Fixture::exec(QStringLiteral("UPDATE StudentCourse SET TestPoint1 = 7.125 WHERE CourseNo "
                                     "= (SELECT MIN(CourseNo) FROM StudentCourse)"));
        const QStringList lessons =
            openReport("rep14.rpt", QString::fromUtf8(reportFiles[14].sql) +
                                        QStringLiteral(" WHERE StmID IN ('L000001', 'L000002', "
                                                       "'L000003')"))
                ->pageTexts()
                .value(0);
        QCOMPARE(lessons.filter(QRegularExpression(QStringLiteral("\\|1\\.333\\|\\|?$"))).size(),
                 3);
        QVERIFY2(lessons.filter(QRegularExpression(QStringLiteral("^รวม.*\\|3\\.999$"))).size() ==
                     2,
                 qPrintable(lessons.join(u'\n')));
        const QList<QStringList> points =
            openReport("rep8.rpt", QString::fromUtf8(reportFiles[8].sql))->pageTexts();
        QVERIFY(points.value(0).filter(QRegularExpression(QStringLiteral("\\|7\\.125$"))).size() >
                3);
    }

    // A page that continues a group starts with the group's header line under the column
    // titles: the teacher of the lessons, the pupil who owes.
    void continuedGroupsRepeatTheirHeader_data() {
        QTest::addColumn<int>("file");
        QTest::addColumn<QString>("header");
        QTest::newRow("rep14") << 14 << QStringLiteral("^T\\d  อาจารย์");
        QTest::newRow("rep6") << 6 << QStringLiteral("^7\\d{6}  เด็กหญิง");
        QTest::newRow("rep13") << 13 << QStringLiteral("^ครั้งที่ \\d+   วันที่");
        QTest::newRow("rep1 summary") << 1 << QStringLiteral("^วิชา\\S");
        QTest::newRow("rep5 summary") << 5 << QStringLiteral("^[CK]\\d{3}  คอร์ส");
    }

    void continuedGroupsRepeatTheirHeader() {
        QFETCH(int, file);
        QFETCH(QString, header);
        largeSchool();
        const ReportFile& r = reportFiles[file];
        QStringList captions;
        for (const FileColumn& column : fileColumns(reportPath(r.file)))
            captions << column.caption;
        const QList<QStringList> pages = openReport(r.file, QString::fromUtf8(r.sql))->pageTexts();
        QVERIFY(pages.size() >= 4);
        const QRegularExpression headerLine(header);
        for (qsizetype p = 0; p < pages.size(); ++p) {
            const QStringList& lines = pages.at(p);
            const qsizetype titles = lines.indexOf(captions.join(u'|'));
            QVERIFY2(titles >= 0, qPrintable(QString::number(p + 1)));
            const QString first = lines.value(titles + 1);
            QVERIFY2(headerLine.match(first).hasMatch() ||
                         first.startsWith(QStringLiteral("รวมทั้งสิ้น")),
                     qPrintable(QStringLiteral("page %1: %2").arg(p + 1).arg(first)));
        }
    }

    // Every page of every report on the large school says which report it is and which
    // of how many pages.
    void everyPageNamesItsReportAndPage() {
        largeSchool();
        Library::gShopName =
            Fixture::value(QStringLiteral("SELECT ShopName FROM CtrlSetup")).toString();
        QStringList problems;
        int continued = 0;
        for (const ReportFile& r : reportFiles) {
            std::unique_ptr<Report> report = openReport(r.file, QString::fromUtf8(r.sql));
            const QString name = report->hasFormula(QStringLiteral("lblTitle"))
                                     ? report->formulaValue(QStringLiteral("lblTitle"))
                                 : report->hasFormula(QStringLiteral("lblDocNo"))
                                     ? QStringLiteral("ใบเสร็จเลขที่ 69000001")
                                     : QStringLiteral("รายชื่อนักเรียนที่ลงเรียน");
            const QList<QStringList> pages = report->pageTexts();
            if (pages.size() > 1)
                ++continued;
            for (qsizetype p = 0; p < pages.size(); ++p) {
                const QString text = pages.at(p).join(u'\n');
                const QString number = QStringLiteral("หน้า %1 / %2").arg(p + 1).arg(pages.size());
                if (!text.contains(name) || !text.contains(number))
                    problems << QStringLiteral("%1 page %2 of %3")
                                    .arg(QString::fromLatin1(r.file))
                                    .arg(p + 1)
                                    .arg(pages.size());
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
        QVERIFY(continued >= 10);
    }

    // The viewer shows the bills as they were when it opened, on every page: bills posted
    // or cancelled meanwhile change neither its pages nor its totals.
    void viewerShowsTheDataAsItWasWhenItOpened() {
        Fixture::school();
        Fixture::student(QStringLiteral("6900001"), QStringLiteral("สมชาย ใจดี"));
        const QString bill = QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT %1 UNION ALL SELECT i + 1 FROM n WHERE i < %2) "
            "INSERT INTO Statement SELECT printf('S%06d', i), '20261206', '6900001', 100, "
            "printf('69%06d', i), '0', 'admin', NULL FROM n");
        Fixture::exec(bill.arg(1).arg(120));
        const QString sql =
            QString::fromUtf8(reportFiles[10].sql) + QStringLiteral(" WHERE StmDate = '20261206'");
        QVERIFY(Library::ShowTitledReport(QStringLiteral("rep10.rpt"),
                                          QStringLiteral("รายงานใบเสร็จรับเงิน"), sql));
        frmViewReport* viewer = reportViewers().value(0);
        QVERIFY(viewer);
        showActive(viewer);
        const int count = viewer->viewer()->pageCount();
        QVERIFY(count >= 3);
        const QList<QStringList> opened = viewer->report().pageTexts();
        QCOMPARE(opened.size(), count);
        QVERIFY(opened.last().contains(QStringLiteral("รวม 120 ใบ|12,000.00")));

        Fixture::exec(bill.arg(121).arg(180));
        Fixture::exec(
            QStringLiteral("UPDATE Statement SET IsCancel = '1' WHERE StmID = 'S000002'"));
        // The open viewer holds no read on the database: the log can be emptied.
        QCOMPARE(Fixture::value(QStringLiteral("PRAGMA journal_mode")).toString(),
                 QStringLiteral("wal"));
        QCOMPARE(Fixture::value(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")).toInt(), 0);
        pressKey(Qt::Key_End);
        QCOMPARE(viewer->viewer()->page(), count);
        pressKey(Qt::Key_PageUp);
        QCOMPARE(viewer->viewer()->page(), count - 1);
        QCOMPARE(viewer->viewer()->pageCount(), count);
        QCOMPARE(viewer->report().pageTexts(), opened);
        viewer->pressButton(QStringLiteral("Print"));
        QCOMPARE(viewer->report().pageTexts(), opened);
    }
};

QTEST_MAIN(tst_report_pages)
#include "tst_report_pages.moc"
