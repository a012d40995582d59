// The daily reports window: its choices, the days each report covers and the four
// reports' rows and totals, read from the reports' own text.

#include "core/Seams.h"
#include "frame/DateBox.h"
#include "frame/Library.h"
#include "platform/Report.h"
#include "platform/frmViewReport.h"
#include "results/frmReport.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Prints; the viewer's caption and the report's lines, one per line; empty when no viewer
// opened.
QString print(frmReport* window) {
    window->pressButton(u"Print"_s);
    if (reportViewers().isEmpty())
        return {};
    std::unique_ptr<frmViewReport> viewer(reportViewers().last());
    QStringList lines{viewer->windowTitle()};
    for (const QStringList& page : viewer->report().pageTexts())
        lines << page;
    return lines.join(u'\n') + u'\n';
}

void insert(const QString& table, const QList<QVariantList>& rows) {
    for (const QVariantList& row : rows)
        Fixture::exec(
            u"INSERT INTO [%1] VALUES (?%2)"_s.arg(table, u", ?"_s.repeated(row.size() - 1)), row);
}

} // namespace

class tst_daily : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<ScriptedMessages> messages;
    QPointer<frmReport> window;

    void choose(QRadioButton* option, int day1, int day2) {
        option->setChecked(true);
        window->dtpDate1->setDate(QDate(2026, 12, day1));
        window->dtpDate2->setDate(QDate(2026, 12, day2));
    }

private slots:
    void init() {
        db = std::make_unique<TestDatabase>(); // working date 06/12/2026
        messages = std::make_unique<ScriptedMessages>();
        window = new frmReport;
        showActive(window);
    }
    void cleanup() {
        qDeleteAll(reportViewers());
        delete window;
        messages.reset();
        db.reset();
    }

    // Opens on the working date with the receipts and payments chosen; equal days give the
    // one-day title and rows, different days the range in the pickers' order, and a range
    // given later day first still selects the days between. Each Print opens one more viewer
    // and the window keeps its choices.
    void defaultsDaysAndViewers() {
        Library::gShopName = u"โรงเรียน 'ทดสอบ'"_s;
        insert(u"Expense"_s,
               {{u"69000001"_s, u"20261205"_s, u"ค่าน้ำ"_s, 0, 80, u"admin"_s},
                {u"69000002"_s, u"20261206"_s, u"ค่าไฟ 'ห้อง 2'"_s, 0, 1250.5, u"admin"_s},
                {u"69000003"_s, u"20261206"_s, u"ขายหนังสือ"_s, 300, 100, u"admin"_s},
                {u"69000004"_s, u"20261208"_s, u"ค่าเช่า"_s, 0, 5000, u"admin"_s}});
        frmReport* w = window;
        QVERIFY(w->Option(1)->isChecked());
        QCOMPARE(w->dtpDate1->date(), QDate(2026, 12, 6));
        QCOMPARE(w->dtpDate2->date(), QDate(2026, 12, 6));
        // Enter moves from date to date and on to the chosen report.
        w->dtpDate1->setFocus();
        pressKey(Qt::Key_Return);
        QVERIFY(w->dtpDate2->hasFocus());
        pressKey(Qt::Key_Return);
        QVERIFY(w->Option(1)->hasFocus());

        const QString day = print(w);
        QVERIFY2(day.startsWith(u"รายงาน รับ/จ่าย อื่นๆ ประจำวันที่  06/12/2569\nโรงเรียน 'ทดสอบ'\n"
                                u"รายงาน รับ/จ่าย อื่นๆ ประจำวันที่  06/12/2569\n"_s) &&
                     day.contains(u"1|06/12/2569|ค่าไฟ 'ห้อง 2'|0.00|1,250.50|admin\n"
                                  u"2|06/12/2569|ขายหนังสือ|300.00|100.00|admin\n"
                                  u"รวม 2 รายการ|300.00|1,350.50\n"
                                  u"รับ 300.00    จ่าย 1,350.50    รับ - จ่าย สุทธิ -1,050.50 บาท\n"
                                  u"พิมพ์วันที่ 06/12/2569    หน้า 1 / 1\n"_s),
                 qPrintable(day));
        for (const auto& [day1, day2] : {std::pair{5, 7}, std::pair{7, 5}}) {
            choose(w->Option(1), day1, day2);
            const QString range = print(w);
            QVERIFY2(range.startsWith(u"รายงาน รับ/จ่าย อื่นๆ ระหว่างวันที่  %1/12/2569  ถึงวันที่  "
                                      u"%2/12/2569\n"_s.arg(day1, 2, 10, QLatin1Char('0'))
                                          .arg(day2, 2, 10, QLatin1Char('0'))) &&
                         range.contains(u"\nรวม 3 รายการ|300.00|1,430.50\n"_s),
                     qPrintable(range));
        }
        // A day without lessons still gives its (empty) teaching report.
        choose(w->Option(4), 1, 1);
        QVERIFY(print(w).contains(u"\nรวมทั้งสิ้น  สอน 0 ครั้ง|0\n"_s));

        w->pressButton(u"Print"_s);
        w->pressButton(u"Print"_s);
        QCOMPARE(reportViewers().size(), 2);
        QVERIFY(w->isVisible() && w->Option(4)->isChecked());
        QVERIFY(messages->all.isEmpty());
    }

    // The bills, registrations and lessons of a day, with their totals: a cancelled bill is
    // listed with who cancelled it and left out of the total, the bill and the registration of
    // a pupil deleted since are counted; a closed course's registration counts; a teacher's
    // missed lesson shows and counts no hours.
    void billsRegistrationsAndLessons() {
        Fixture::course(u"C01"_s, u"คอร์สปกติ"_s);
        Fixture::course(u"C02"_s, u"คอร์สเก่า"_s, u"0"_s);
        Fixture::classRow(u"6900001"_s, u"C01"_s, Money::fromBaht(1500));
        Fixture::classRow(u"6900002"_s, u"C02"_s, Money::fromSatang(250050), u"ม.2"_s, u"ฟิสิกส์"_s);
        Fixture::student(u"6900001"_s, u"สมศรี 'ตัวเล็ก'"_s);
        Fixture::student(u"6900002"_s, u"มานี มีนา"_s);
        Fixture::registration(u"6900001"_s, u"6900001"_s);
        Fixture::registration(u"6900002"_s, u"6900002"_s);
        Fixture::registration(u"6900002"_s, u"6900001"_s, Money(), u"20261205"_s);
        Fixture::registration(u"6900009"_s, u"6900001"_s);
        insert(
            u"Statement"_s,
            {{u"2"_s, u"20261206"_s, u"6900002"_s, 2000, u"69-00002"_s, u"1"_s, u"U1"_s, u"U2"_s},
             {u"1"_s, u"20261206"_s, u"6900001"_s, 1500, u"69-00001"_s, u"0"_s, u"U1"_s, u""_s},
             {u"3"_s, u"20261206"_s, u"6900009"_s, 500.25, u"69-00003"_s, u"0"_s, u"U1"_s, u""_s},
             {u"4"_s, u"20261207"_s, u"6900001"_s, 99, u"69-00004"_s, u"0"_s, u"U1"_s, u""_s}});
        Fixture::teacher(u"T01"_s, u"ครูสมชาย"_s);
        Fixture::teacher(u"T02"_s, u"ครูสมหญิง"_s);
        insert(u"TimeStamp"_s,
               {{u"L1"_s, u"6900001"_s, u"20261206"_s, 1, u"13.00"_s, u"14.30"_s, 1.5, u"admin"_s},
                {u"L2"_s, u"6900002"_s, u"20261206"_s, 1, u"09.00"_s, u"12.00"_s, 3, u"admin"_s},
                {u"L3"_s, u"6900001"_s, u"20261207"_s, 2, u"09.00"_s, u"10.00"_s, 1, u"admin"_s}});
        insert(u"TimeStampTeacher"_s, {{u"L1"_s, u"T01"_s, 0, u"0"_s, u"1"_s},
                                       {u"L1"_s, u"T02"_s, 0, u"0"_s, u"0"_s},
                                       {u"L2"_s, u"T01"_s, 0, u"0"_s, u"1"_s},
                                       {u"L2"_s, u"T02"_s, 0, u"0"_s, u"1"_s},
                                       {u"L3"_s, u"T01"_s, 0, u"0"_s, u"1"_s}});

        const std::pair<QRadioButton*, QString> reports[] = {
            {window->Option(2), u"รายงานใบเสร็จรับเงิน  ประจำวันที่  06/12/2569\n"
                                u"1|69-00001|06/12/2569|6900001|สมศรี 'ตัวเล็ก'|1,500.00|U1||\n"
                                u"2|69-00002|06/12/2569|6900002|มานี มีนา|2,000.00|U1|ยกเลิก|U2\n"
                                u"3|69-00003|06/12/2569|6900009||500.25|U1||\n"
                                u"รวม 2 ใบ|2,000.25\n"
                                u"ใบเสร็จที่ยกเลิก 1 ใบ  2,000.00 บาท ไม่รวมในยอดรวม\n"_s},
            {window->Option(3), u"รายงานการลงทะเบียน  ประจำวันที่  06/12/2569\n"
                                u"1|06/12/2569|6900001|สมศรี 'ตัวเล็ก'|ม.1|คณิตศาสตร์|คอร์สปกติ|1,500.00\n"
                                u"2|06/12/2569|6900002|มานี มีนา|ม.2|ฟิสิกส์|คอร์สเก่า|2,500.50\n"
                                u"3|06/12/2569|6900009||ม.1|คณิตศาสตร์|คอร์สปกติ|1,500.00\n"
                                u"รวม 3 คน 3 รายการ|5,500.50\n"_s},
            {window->Option(4), u"รายงานการเข้าสอนของอาจารย์ ประจำวันที่  06/12/2569\n"
                                u"T01  ครูสมชาย\n"
                                u"06/12/2569|คอร์สเก่า|ม.2|ฟิสิกส์|1|09.00|12.00|3|\n"
                                u"06/12/2569|คอร์สปกติ|ม.1|คณิตศาสตร์|1|13.00|14.30|1.5|\n"
                                u"รวม ครูสมชาย  สอน 2 ครั้ง|4.5\n"
                                u"T02  ครูสมหญิง\n"
                                u"06/12/2569|คอร์สเก่า|ม.2|ฟิสิกส์|1|09.00|12.00|3|\n"
                                u"06/12/2569|คอร์สปกติ|ม.1|คณิตศาสตร์|1|13.00|14.30|0|ไม่มา\n"
                                u"รวม ครูสมหญิง  สอน 1 ครั้ง|3\n"
                                u"รวมทั้งสิ้น  สอน 3 ครั้ง|7.5\n"_s},
        };
        for (const auto& [option, expected] : reports) {
            choose(option, 6, 6);
            const QString text = print(window);
            const qsizetype title = expected.indexOf(u'\n') + 1;
            QVERIFY2(text.startsWith(expected.left(title)) && text.contains(expected.mid(title)),
                     qPrintable(text));
        }
    }

    // A report that cannot run names itself and the cause in an error box; no viewer opens
    // and the window stays with its choices.
    void failuresShowTheirCause() {
        Fixture::exec(u"DROP VIEW QStatementStudent"_s);
        QTemporaryDir program;
        QDir(program.path()).mkpath(u"Report"_s);
        QFile file(program.filePath(u"Report/rep11.rpt"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[formulas]\nlblComp = ''\n[columns]\nStdID | code | 1 | left | text\n");
        file.close();

        const std::pair<QRadioButton*, QString> failures[] = {
            {window->Option(2), u"^อ่านข้อมูลของรายงาน rep10.rpt ไม่ได้\n.*QStatementStudent"_s},
            {window->Option(1), u"^ไม่พบไฟล์รายงาน .*/Report/rep12.rpt$"_s},
            {window->Option(3), u"^รายงาน rep11.rpt ไม่มีฟิลด์สูตร lblTitle$"_s}};
        for (const auto& [option, cause] : failures) {
            if (option == window->Option(1))
                Seams::setProgramFolder(program.path());
            messages->clear();
            choose(option, 7, 5);
            QCOMPARE(print(window), QString());
            QCOMPARE(messages->errors.size(), 1);
            QVERIFY2(messages->errors.first().contains(
                         QRegularExpression(cause, QRegularExpression::DotMatchesEverythingOption)),
                     qPrintable(messages->errors.first()));
            QVERIFY(window->isVisible() && option->isChecked());
            QCOMPARE(window->dtpDate1->date(), QDate(2026, 12, 7));
        }
        Seams::setProgramFolder({});
    }
};

QTEST_MAIN(tst_daily)
#include "tst_daily.moc"
