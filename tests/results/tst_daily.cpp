// The daily reports window: its choices, the days each report covers and the four
// reports' rows and totals, read from the reports' own text.

#include "library/DateBox.h"
#include "library/Library.h"
#include "library/Seams.h"
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

namespace {

// The viewers open now, oldest first; the caller owns them.
QList<frmViewReport*> viewers() {
    QList<frmViewReport*> found;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* viewer = qobject_cast<frmViewReport*>(top))
            found << viewer;
    return found;
}

// Prints and gives the viewer's caption and the report's lines joined by "\n"; empty when
// no viewer opened.
QString print(frmReport* window) {
    window->pressButton(QStringLiteral("Print"));
    const QList<frmViewReport*> opened = viewers();
    if (opened.isEmpty())
        return {};
    std::unique_ptr<frmViewReport> viewer(opened.last());
    QStringList lines{viewer->windowTitle()};
    for (const QStringList& page : viewer->report().pageTexts())
        lines << page;
    return lines.join(u'\n');
}

QString date(int day) {
    return QStringLiteral("202612%1").arg(day, 2, 10, QLatin1Char('0'));
}

void expense(const QString& id, int day, const QString& text, double received, double paid) {
    Fixture::exec(QStringLiteral("INSERT INTO Expense VALUES (?, ?, ?, ?, ?, 'admin')"),
                  {id, date(day), text, received, paid});
}

void bill(const QString& docNo, int day, const QString& stdId, double amount, const QString& user,
          const QString& cancelledBy = {}) {
    Fixture::exec(QStringLiteral("INSERT INTO Statement VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                  {docNo, date(day), stdId, amount, docNo,
                   cancelledBy.isEmpty() ? QStringLiteral("0") : QStringLiteral("1"), user,
                   cancelledBy});
}

void lesson(const QString& id, const QString& courseNo, int day, const QString& from,
            const QString& to, double hours, const QList<std::pair<QString, bool>>& teachers) {
    Fixture::exec(QStringLiteral("INSERT INTO [TimeStamp] VALUES (?, ?, ?, 1, ?, ?, ?, 'admin')"),
                  {id, courseNo, date(day), from, to, hours});
    for (const auto& [techId, present] : teachers)
        Fixture::exec(QStringLiteral("INSERT INTO TimeStampTeacher VALUES (?, ?, 0, '0', ?)"),
                      {id, techId, present ? QStringLiteral("1") : QStringLiteral("0")});
}

} // namespace

class tst_daily : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<ScriptedMessages> messages;
    QPointer<frmReport> window;

    frmReport* open() {
        window = new frmReport;
        showActive(window);
        return window;
    }
    void choose(QRadioButton* option, int day1, int day2) {
        option->setChecked(true);
        window->dtpDate1->setDate(QDate(2026, 12, day1));
        window->dtpDate2->setDate(QDate(2026, 12, day2));
    }

private slots:
    void init() {
        db = std::make_unique<TestDatabase>(); // working date 06/12/2026
        messages = std::make_unique<ScriptedMessages>();
    }
    void cleanup() {
        qDeleteAll(viewers());
        delete window;
        messages.reset();
        db.reset();
    }

    // Opens on the working date with the receipts and payments chosen; equal days give the
    // one-day title and rows, different days the range in the pickers' order, and a range
    // given later day first still selects the days between. Each Print opens one more viewer
    // and the window keeps its choices.
    void defaultsDaysAndViewers() {
        Library::gShopName = QStringLiteral("โรงเรียน 'ทดสอบ'");
        expense(QStringLiteral("69000001"), 5, QStringLiteral("ค่าน้ำ"), 0, 80);
        expense(QStringLiteral("69000002"), 6, QStringLiteral("ค่าไฟ 'ห้อง 2'"), 0, 1250.5);
        expense(QStringLiteral("69000003"), 6, QStringLiteral("ขายหนังสือ"), 300, 100);
        expense(QStringLiteral("69000004"), 8, QStringLiteral("ค่าเช่า"), 0, 5000);
        frmReport* w = open();
        checkLayout(w);
        QVERIFY(w->Option1->isChecked());
        QCOMPARE(w->dtpDate1->date(), QDate(2026, 12, 6));
        QCOMPARE(w->dtpDate2->date(), QDate(2026, 12, 6));
        QCOMPARE(w->titleLabel()->text(), QStringLiteral(" รายงานประจำวัน "));
        // Enter moves from date to date and on to the chosen report.
        w->dtpDate1->setFocus();
        pressKey(Qt::Key_Return);
        QVERIFY(w->dtpDate2->hasFocus());
        pressKey(Qt::Key_Return);
        QVERIFY(w->Option1->hasFocus());

        const QString day = print(w);
        QVERIFY2(day.startsWith(QStringLiteral("รายงาน รับ/จ่าย อื่นๆ ประจำวันที่  06/12/2569\n"
                                               "โรงเรียน 'ทดสอบ'\n"
                                               "รายงาน รับ/จ่าย อื่นๆ ประจำวันที่  06/12/2569\n")),
                 qPrintable(day));
        QVERIFY(day.contains(QStringLiteral("1|06/12/2569|ค่าไฟ 'ห้อง 2'|0.00|1,250.50|admin\n"
                                            "2|06/12/2569|ขายหนังสือ|300.00|100.00|admin\n"
                                            "รวม 2 รายการ|300.00|1,350.50\n"
                                            "รับ 300.00    จ่าย 1,350.50    "
                                            "รับ - จ่าย สุทธิ -1,050.50 บาท\n")));
        QVERIFY(day.contains(QStringLiteral("หน้า 1 / 1")));

        const struct {
            int day1, day2;
            const char16_t* title;
        } ranges[] = {{5, 7, u"รายงาน รับ/จ่าย อื่นๆ ระหว่างวันที่  05/12/2569  ถึงวันที่  07/12/2569"},
                      {7, 5, u"รายงาน รับ/จ่าย อื่นๆ ระหว่างวันที่  07/12/2569  ถึงวันที่  05/12/2569"}};
        for (const auto& range : ranges) {
            choose(w->Option1, range.day1, range.day2);
            const QString text = print(w);
            QVERIFY2(text.startsWith(QString::fromUtf16(range.title) + u'\n'), qPrintable(text));
            QVERIFY2(text.contains(QStringLiteral("รวม 3 รายการ|300.00|1,430.50\n")),
                     qPrintable(text));
        }

        // A day without lessons still gives its (empty) teaching report.
        choose(w->Option4, 1, 1);
        QVERIFY(print(w).contains(QStringLiteral("\nรวมทั้งสิ้น  สอน 0 ครั้ง|0\n")));

        w->pressButton(QStringLiteral("Print"));
        w->pressButton(QStringLiteral("Print"));
        QCOMPARE(viewers().size(), 2);
        QVERIFY(w->isVisible() && w->Option4->isChecked());
        QVERIFY(messages->all.isEmpty());
    }

    // The bills, registrations and lessons of a day, with their totals: a cancelled bill is
    // listed with who cancelled it and left out of the total, as is the bill of a pupil
    // deleted since; a closed course's registration counts; a teacher's missed lesson shows
    // and counts no hours.
    void billsRegistrationsAndLessons() {
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คอร์สปกติ"));
        Fixture::course(QStringLiteral("C02"), QStringLiteral("คอร์สเก่า"), QStringLiteral("0"));
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money::fromBaht(1500));
        Fixture::classRow(QStringLiteral("6900002"), QStringLiteral("C02"),
                          Money::fromSatang(250050), QStringLiteral("ม.2"), QStringLiteral("ฟิสิกส์"));
        Fixture::student(QStringLiteral("6900001"), QStringLiteral("สมศรี 'ตัวเล็ก'"));
        Fixture::student(QStringLiteral("6900002"), QStringLiteral("มานี มีนา"));
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900001"));
        Fixture::registration(QStringLiteral("6900002"), QStringLiteral("6900002"));
        Fixture::registration(QStringLiteral("6900002"), QStringLiteral("6900001"), Money(),
                              date(5));
        bill(QStringLiteral("69-00002"), 6, QStringLiteral("6900002"), 2000, QStringLiteral("U1"),
             QStringLiteral("U2"));
        bill(QStringLiteral("69-00001"), 6, QStringLiteral("6900001"), 1500, QStringLiteral("U1"));
        bill(QStringLiteral("69-00003"), 6, QStringLiteral("6900009"), 500.25,
             QStringLiteral("U1"));
        bill(QStringLiteral("69-00004"), 7, QStringLiteral("6900001"), 99, QStringLiteral("U1"));
        Fixture::teacher(QStringLiteral("T01"), QStringLiteral("ครูสมชาย"));
        Fixture::teacher(QStringLiteral("T02"), QStringLiteral("ครูสมหญิง"));
        lesson(QStringLiteral("2026000001"), QStringLiteral("6900001"), 6, QStringLiteral("13.00"),
               QStringLiteral("14.30"), 1.5,
               {{QStringLiteral("T01"), true}, {QStringLiteral("T02"), false}});
        lesson(QStringLiteral("2026000002"), QStringLiteral("6900002"), 6, QStringLiteral("09.00"),
               QStringLiteral("12.00"), 3,
               {{QStringLiteral("T01"), true}, {QStringLiteral("T02"), true}});
        lesson(QStringLiteral("2026000003"), QStringLiteral("6900001"), 7, QStringLiteral("09.00"),
               QStringLiteral("10.00"), 1, {{QStringLiteral("T01"), true}});
        frmReport* w = open();

        const struct {
            QRadioButton* option;
            const char16_t* rows;
        } reports[] = {
            {w->Option2, u"รายงานใบเสร็จรับเงิน  ประจำวันที่  06/12/2569\n"
                         u"ลำดับ|เลขที่ใบเสร็จ|วันที่|รหัส|ชื่อ - นามสกุล|จำนวนเงิน|"
                         u"ผู้รับเงิน|สถานะ|ผู้ยกเลิก\n"
                         u"1|69-00001|06/12/2569|6900001|สมศรี 'ตัวเล็ก'|1,500.00|U1||\n"
                         u"2|69-00002|06/12/2569|6900002|มานี มีนา|2,000.00|U1|ยกเลิก|U2\n"
                         u"3|69-00003|06/12/2569|6900009||500.25|U1||\n"
                         u"รวม 2 ใบ|2,000.25\n"
                         u"ใบเสร็จที่ยกเลิก 1 ใบ  2,000.00 บาท ไม่รวมในยอดรวม\n"},
            {w->Option3, u"รายงานการลงทะเบียน  ประจำวันที่  06/12/2569\n"
                         u"ลำดับ|วันที่|รหัส|ชื่อ - นามสกุล|ระดับ|วิชา|คอร์ส|ค่าเรียน\n"
                         u"1|06/12/2569|6900001|สมศรี 'ตัวเล็ก'|ม.1|คณิตศาสตร์|คอร์สปกติ|1,500.00\n"
                         u"2|06/12/2569|6900002|มานี มีนา|ม.2|ฟิสิกส์|คอร์สเก่า|2,500.50\n"
                         u"รวม 2 คน 2 รายการ|4,000.50\n"},
            {w->Option4, u"รายงานการเข้าสอนของอาจารย์ ประจำวันที่  06/12/2569\n"
                         u"วันที่|คอร์ส|ระดับ|วิชา|ครั้งที่|เวลา|ถึง|ชั่วโมง|หมายเหตุ\n"
                         u"T01  ครูสมชาย\n"
                         u"06/12/2569|คอร์สเก่า|ม.2|ฟิสิกส์|1|09.00|12.00|3|\n"
                         u"06/12/2569|คอร์สปกติ|ม.1|คณิตศาสตร์|1|13.00|14.30|1.5|\n"
                         u"รวม ครูสมชาย  สอน 2 ครั้ง|4.5\n"
                         u"T02  ครูสมหญิง\n"
                         u"06/12/2569|คอร์สเก่า|ม.2|ฟิสิกส์|1|09.00|12.00|3|\n"
                         u"06/12/2569|คอร์สปกติ|ม.1|คณิตศาสตร์|1|13.00|14.30|0|ไม่มา\n"
                         u"รวม ครูสมหญิง  สอน 1 ครั้ง|3\n"
                         u"รวมทั้งสิ้น  สอน 3 ครั้ง|7.5\n"},
        };
        for (const auto& report : reports) {
            choose(report.option, 6, 6);
            const QString text = print(w);
            const QStringList rows = QString::fromUtf16(report.rows).split(u'\n');
            QVERIFY2(text.startsWith(rows.first() + u'\n'), qPrintable(text));
            QVERIFY2(text.contains(rows.mid(1).join(u'\n')), qPrintable(text));
        }
    }

    // A report that cannot run names itself and the cause in an error box; no viewer opens
    // and the window stays with its choices.
    void failuresShowTheirCause() {
        QTemporaryDir program;
        QDir(program.path()).mkpath(QStringLiteral("Report"));
        const QString reports = program.filePath(QStringLiteral("Report/"));
        QFile::copy(QDir(Seams::programFolder()).filePath(QStringLiteral("Report/rep10.rpt")),
                    reports + QStringLiteral("rep10.rpt"));
        QFile file(reports + QStringLiteral("rep11.rpt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[formulas]\nlblComp = ''\n[columns]\nStdID | code | 1 | left | text\n");
        file.close();
        Seams::setProgramFolder(program.path());
        Fixture::exec(QStringLiteral("DROP VIEW QStatementStudent"));
        frmReport* w = open();

        const struct {
            QRadioButton* option;
            const char16_t* cause;
        } failures[] = {{w->Option1, u"ไม่พบไฟล์รายงาน .*/Report/rep12.rpt$"},
                        {w->Option2, u"^อ่านข้อมูลของรายงาน rep10.rpt ไม่ได้\n.*QStatementStudent"},
                        {w->Option3, u"^รายงาน rep11.rpt ไม่มีฟิลด์สูตร lblTitle$"}};
        for (const auto& failure : failures) {
            messages->clear();
            choose(failure.option, 7, 5);
            QCOMPARE(print(w), QString());
            QCOMPARE(messages->errors.size(), 1);
            QVERIFY2(messages->errors.first().contains(
                         QRegularExpression(QString::fromUtf16(failure.cause),
                                            QRegularExpression::DotMatchesEverythingOption)),
                     qPrintable(messages->errors.first()));
            QVERIFY(w->isVisible() && failure.option->isChecked());
            QCOMPARE(w->dtpDate1->date(), QDate(2026, 12, 7));
        }
        Seams::setProgramFolder({});
    }
};

QTEST_MAIN(tst_daily)
#include "tst_daily.moc"
