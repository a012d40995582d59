#include "library/Library.h"
#include "library/Recordset.h"
#include "library/Seams.h"
#include "platform/LibraryReports.h"
#include "platform/Report.h"
#include "platform/frmViewReport.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextTable>

namespace {

// Rows of the report's tables, cells joined by "|"; a merged cell counts once.
QStringList tableRows(const QTextDocument& doc) {
    QStringList rows;
    for (QTextFrame* frame : doc.rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        for (int r = 0; table && r < table->rows(); ++r) {
            QStringList cells;
            for (int c = 0; c < table->columns(); c += table->cellAt(r, c).columnSpan())
                cells << table->cellAt(r, c).firstCursorPosition().block().text();
            rows << cells.join(u'|');
        }
    }
    return rows;
}

int pdfPages(const QString& path) {
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path});
    info.waitForFinished(20000);
    const QRegularExpression pages(QStringLiteral("Pages:\\s*(\\d+)"));
    return pages.match(QString::fromUtf8(info.readAllStandardOutput())).captured(1).toInt();
}

QStringList pdfFiles(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
}

frmViewReport* topLevelViewer() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* viewer = qobject_cast<frmViewReport*>(window))
            return viewer;
    return nullptr;
}

const QString registrations =
    QStringLiteral("SELECT * FROM QStudentCourse3 ORDER BY CourseLevel, StdID");

// Two levels: ม.1 with two registrations, ม.2 with one.
void school() {
    Fixture::school(QStringLiteral("K'Academy"));
    Fixture::course(QStringLiteral("C01"), QStringLiteral("คณิตเข้มข้น"));
    Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money::fromSatang(250000),
                      QStringLiteral("ม.1"));
    Fixture::classRow(QStringLiteral("6900002"), QStringLiteral("C01"), Money::fromSatang(1234550),
                      QStringLiteral("ม.2"));
    Fixture::student(QStringLiteral("6900001"), QStringLiteral("สมชาย ใจดี"));
    Fixture::student(QStringLiteral("6900002"), QStringLiteral("สมหญิง รักเรียน"));
    Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900001"),
                          Money::fromSatang(100000), QStringLiteral("20261201"));
    Fixture::registration(QStringLiteral("6900002"), QStringLiteral("6900001"),
                          Money::fromSatang(250000), QStringLiteral("20261202"));
    Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900002"),
                          Money::fromSatang(1000000), QStringLiteral("20261203"));
}

} // namespace

class tst_report : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;

    std::unique_ptr<Report> openGrouped(bool withData = true) {
        std::unique_ptr<Report> report = Library::OpenReport(QStringLiteral("grouped.rpt"));
        if (!report)
            qFatal("grouped.rpt did not open");
        if (withData)
            report->setDataSource(Recordset::open(registrations, {}, true));
        return report;
    }

private slots:
    void init() {
        m_db = std::make_unique<TestDatabase>();
        // The program folder is the database's temporary folder.
        const QDir program = QFileInfo(m_db->path()).dir();
        program.mkpath(QStringLiteral("Report"));
        QFile::copy(QFINDTESTDATA("grouped.rpt"),
                    program.filePath(QStringLiteral("Report/grouped.rpt")));
        Seams::setProgramFolder(program.path());
        school();
    }

    void cleanup() {
        qDeleteAll(QApplication::topLevelWidgets());
        Seams::setProgramFolder({});
        m_db.reset();
    }

    void formulaTextAndErrors() {
        std::unique_ptr<Report> report = openGrouped(false);
        // Defaults (no formula set): plain text as written, formula text by its value.
        const std::tuple<const char*, const char*, const char*> values[] = {
            {"lblTitle", nullptr, "รายงานทดสอบ"},
            {"lblAddr", nullptr, ""},
            {"lblComp", R"('Ann "Jo" O''Neil')", R"(Ann "Jo" O'Neil)"},
            {"lblAddr", R"("a ""b""" & chr(13) & Chr(10) & 'c')", "a \"b\"\r\nc"},
            {"xTestMax", " -12.5 ", "-12.5"}};
        for (const auto& [field, formula, value] : values) {
            if (formula)
                report->setFormula(QString::fromLatin1(field), QString::fromLatin1(formula));
            QCOMPARE(report->formulaValue(QString::fromLatin1(field)), QString::fromUtf8(value));
        }
        // An unknown field or a malformed formula is an error that names the field.
        auto refusal = [&](const char* field, const char* formula) {
            try {
                report->setFormula(QString::fromLatin1(field), QString::fromLatin1(formula));
            } catch (const ReportError& error) {
                return error.message();
            }
            return QString();
        };
        QVERIFY(refusal("lblNoSuch", "'x'").contains(QStringLiteral("lblNoSuch")));
        for (const char* formula : {"'open", "'a' 'b'", "'a' &", "abc"})
            QVERIFY(refusal("lblTitle", formula).contains(QStringLiteral("lblTitle")));
    }

    void groupsSubtotalsTotalsAndFormulas() {
        std::unique_ptr<Report> report = openGrouped();
        report->setFormula(QStringLiteral("lblComp"), Library::Quote(Library::gShopName));
        report->setFormula(QStringLiteral("LBLTITLE"),
                           Library::Quote(QStringLiteral("รายงาน \"ทดสอบ\" ประจำวัน")));
        report->setFormula(QStringLiteral("lblAddr"),
                           QStringLiteral("\"1 ถนนสุขุมวิท\" & Chr(10) & \"กรุงเทพฯ\""));
        report->setFormula(QStringLiteral("xTestMax"), QStringLiteral("100"));

        std::unique_ptr<QTextDocument> doc = report->render();
        const QStringList lines = doc->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(lines.mid(0, 5),
                 QStringList({QStringLiteral("K'Academy"), QStringLiteral("1 ถนนสุขุมวิท"),
                              QStringLiteral("กรุงเทพฯ"), QStringLiteral("รายงาน \"ทดสอบ\" ประจำวัน"),
                              QStringLiteral("พิมพ์วันที่ 06/12/2569")}));
        QVERIFY(
            lines.contains(QStringLiteral("ชำระแล้วรวม 13,500.00 บาท (หนึ่งหมื่นสามพันห้าร้อยบาทถ้วน)")));
        QVERIFY(lines.contains(QStringLiteral("คะแนนเต็ม 100")));

        const QStringList expected = {
            QStringLiteral("ลำดับ|รหัส|ชื่อ - สกุล|วันที่ลงทะเบียน|ค่าเรียน|ชำระแล้ว"),
            QStringLiteral("ระดับ ม.1 (2 คน)"),
            QStringLiteral("1|6900001|สมชาย ใจดี|01/12/2569|2,500.00|1,000.00"),
            QStringLiteral("2|6900002|สมหญิง รักเรียน|02/12/2569|2,500.00|2,500.00"),
            QStringLiteral("รวม ม.1|5,000.00|3,500.00"),
            QStringLiteral("ระดับ ม.2 (1 คน)"),
            QStringLiteral("1|6900001|สมชาย ใจดี|03/12/2569|12,345.50|10,000.00"),
            QStringLiteral("รวม ม.2|12,345.50|10,000.00"),
            QStringLiteral("รวมทั้งสิ้น|17,345.50|13,500.00")};
        QCOMPARE(tableRows(*doc), expected);
    }

    void printsToPdfFolderOrFailsWithoutPrinter() {
        for (int id = 6900003; id <= 6900120; ++id) {
            Fixture::student(QString::number(id), QStringLiteral("นักเรียน"));
            Fixture::registration(QString::number(id), QStringLiteral("6900002"));
        }
        std::unique_ptr<Report> report = openGrouped();
        report->printFirstPage();
        report->printAllPages();
        // Named after the report and the clock; the second print of the second gets "-2".
        const QDir folder(m_db->pdfFolder());
        const QStringList files = pdfFiles(folder.path());
        QCOMPARE(files, QStringList({QStringLiteral("grouped-20261206-090000-2.pdf"),
                                     QStringLiteral("grouped-20261206-090000.pdf")}));
        QCOMPARE(pdfPages(folder.filePath(files.at(1))), 1);
        QVERIFY(pdfPages(folder.filePath(files.at(0))) > 1);

        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("a printer is installed on this machine");
        Seams::setPdfFolder({});
        qunsetenv("VADEL_PDF_DIR");
        QVERIFY_THROWS_EXCEPTION(ReportError, report->printFirstPage());
        QCOMPARE(pdfFiles(folder.path()).size(), 2);
    }

    void viewersOpenSideBySideCloseWithEscOrShowErrors() {
        std::unique_ptr<Report> report = openGrouped(false);
        // Errors show a box and open no viewer.
        ScriptedMessages messages;
        QVERIFY(!Library::OpenReport(QStringLiteral("rep99.rpt")));
        QVERIFY(!Library::ShowReport(*report, QStringLiteral("x"),
                                     QStringLiteral("SELECT StdID FROM Student")));
        QVERIFY(!Library::ShowReport(*report, QStringLiteral("x"),
                                     QStringLiteral("SELECT * FROM NoSuchTable")));
        QCOMPARE(messages.errors.size(), 3);
        QVERIFY(messages.errors.at(0).contains(QStringLiteral("rep99.rpt")));
        // A data source without a listed column: the error names report and column.
        QVERIFY(messages.errors.at(1).contains(QStringLiteral("grouped.rpt")));
        QVERIFY(messages.errors.at(1).contains(QStringLiteral("StdName")));
        QVERIFY(!topLevelViewer());

        report->setFormula(QStringLiteral("lblComp"), Library::Quote(Library::gShopName));
        // Without a main window the viewer is a window of its own.
        QVERIFY(Library::ShowReport(*report, QStringLiteral("หน้าต่างเดี่ยว"), registrations));
        QVERIFY(topLevelViewer());
        delete topLevelViewer();

        QMainWindow main;
        auto* area = new QMdiArea(&main);
        main.setCentralWidget(area);
        main.show();
        QVERIFY(Library::ShowReport(*report, QStringLiteral("รายงานที่หนึ่ง"), registrations));
        QVERIFY(Library::ShowReport(*report, QStringLiteral("รายงานที่สอง"), registrations));
        report.reset(); // the viewers keep their own copies
        const QList<QMdiSubWindow*> frames = area->subWindowList(QMdiArea::CreationOrder);
        QCOMPARE(frames.size(), 2);
        QCOMPARE(frames.at(0)->windowTitle(), QStringLiteral("รายงานที่หนึ่ง"));
        QCOMPARE(frames.at(1)->windowTitle(), QStringLiteral("รายงานที่สอง"));
        auto* viewer = qobject_cast<frmViewReport*>(frames.at(1)->widget());
        QVERIFY(viewer);
        QVERIFY(viewer->viewer()->pageCount() >= 1);
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
