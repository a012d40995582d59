#include "library/Library.h"
#include "library/Recordset.h"
#include "library/Seams.h"
#include "platform/Report.h"
#include "platform/frmViewReport.h"
#include "support/TestSupport.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextTable>

namespace {

// Rows of the report's table, each cell's text; a merged row has one cell.
QList<QStringList> tableRows(const QTextDocument& doc) {
    QList<QStringList> rows;
    const QList<QTextFrame*> frames = doc.rootFrame()->childFrames();
    for (QTextFrame* frame : frames) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table)
            continue;
        for (int r = 0; r < table->rows(); ++r) {
            QStringList cells;
            for (int c = 0; c < table->columns(); ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                if (cell.column() != c)
                    continue; // covered by a merged cell
                QTextCursor cursor = cell.firstCursorPosition();
                cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
                cells << cursor.selectedText();
            }
            rows << cells;
        }
    }
    return rows;
}

int pdfPages(const QString& path) {
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path});
    if (!info.waitForFinished(20000))
        return -1;
    const QString out = QString::fromUtf8(info.readAllStandardOutput());
    for (const QString& line : out.split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("Pages:")))
            return line.mid(6).trimmed().toInt();
    return -1;
}

QStringList pdfFiles(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
}

} // namespace

class tst_report : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<QTemporaryDir> m_program;

    // Two levels: ม.1 with two registrations, ม.2 with one.
    void school() {
        Fixture::school(QStringLiteral("K'Academy"));
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คณิตเข้มข้น"));
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"),
                          Money::fromSatang(250000), QStringLiteral("ม.1"));
        Fixture::classRow(QStringLiteral("6900002"), QStringLiteral("C01"),
                          Money::fromSatang(1234550), QStringLiteral("ม.2"));
        Fixture::student(QStringLiteral("6900001"), QStringLiteral("สมชาย ใจดี"));
        Fixture::student(QStringLiteral("6900002"), QStringLiteral("สมหญิง รักเรียน"));
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900001"),
                              Money::fromSatang(100000), QStringLiteral("20261201"));
        Fixture::registration(QStringLiteral("6900002"), QStringLiteral("6900001"),
                              Money::fromSatang(250000), QStringLiteral("20261202"));
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900002"),
                              Money::fromSatang(1000000), QStringLiteral("20261203"));
    }

    static QString registrations() {
        return QStringLiteral("SELECT * FROM QStudentCourse3 ORDER BY CourseLevel, StdID");
    }

    std::unique_ptr<Report> openGrouped() {
        std::unique_ptr<Report> report = Library::OpenReport(QStringLiteral("grouped.rpt"), false);
        if (!report)
            qFatal("grouped.rpt did not open");
        return report;
    }

private slots:
    void init() {
        m_db = std::make_unique<TestDatabase>();
        m_program = std::make_unique<QTemporaryDir>();
        QDir(m_program->path()).mkpath(QStringLiteral("Report"));
        QFile::copy(QFINDTESTDATA("grouped.rpt"),
                    m_program->filePath(QStringLiteral("Report/grouped.rpt")));
        Seams::setProgramFolder(m_program->path());
    }

    void cleanup() {
        const QList<QWidget*> windows = QApplication::topLevelWidgets();
        for (QWidget* window : windows)
            delete window;
        Seams::setProgramFolder({});
        m_program.reset();
        m_db.reset();
    }

    void groupsSubtotalsTotalsAndFormulas() {
        school();
        std::unique_ptr<Report> report = openGrouped();
        report->setFormula(QStringLiteral("lblComp"), Library::Quote(Library::gShopName));
        report->setFormula(QStringLiteral("LBLTITLE"),
                           Library::Quote(QStringLiteral("รายงาน \"ทดสอบ\" ประจำวัน")));
        report->setFormula(QStringLiteral("lblAddr"),
                           QStringLiteral("\"1 ถนนสุขุมวิท\" & Chr(10) & \"กรุงเทพฯ\""));
        report->setFormula(QStringLiteral("xTestMax"), QStringLiteral("100"));
        QCOMPARE(report->formulaValue(QStringLiteral("lblComp")), QStringLiteral("K'Academy"));
        QCOMPARE(report->formulaValue(QStringLiteral("lblAddr")),
                 QStringLiteral("1 ถนนสุขุมวิท\nกรุงเทพฯ"));
        report->setDataSource(Recordset::open(registrations(), {}, true));

        std::unique_ptr<QTextDocument> doc = report->render();
        QCOMPARE(doc->defaultFont().family(), QStringLiteral("Laksaman"));
        const QStringList lines = doc->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(lines.at(0), QStringLiteral("K'Academy"));
        QCOMPARE(lines.at(1), QStringLiteral("1 ถนนสุขุมวิท"));
        QCOMPARE(lines.at(2), QStringLiteral("กรุงเทพฯ"));
        QCOMPARE(lines.at(3), QStringLiteral("รายงาน \"ทดสอบ\" ประจำวัน"));
        QCOMPARE(lines.at(4), QStringLiteral("พิมพ์วันที่ 06/12/2569"));
        QVERIFY(
            lines.contains(QStringLiteral("ชำระแล้วรวม 13,500.00 บาท (หนึ่งหมื่นสามพันห้าร้อยบาทถ้วน)")));
        QVERIFY(lines.contains(QStringLiteral("คะแนนเต็ม 100")));

        const QList<QStringList> rows = tableRows(*doc);
        const QList<QStringList> expected = {
            {QStringLiteral("ลำดับ"), QStringLiteral("รหัส"), QStringLiteral("ชื่อ - สกุล"),
             QStringLiteral("วันที่ลงทะเบียน"), QStringLiteral("ค่าเรียน"), QStringLiteral("ชำระแล้ว")},
            {QStringLiteral("ระดับ ม.1 (2 คน)")},
            {QStringLiteral("1"), QStringLiteral("6900001"), QStringLiteral("สมชาย ใจดี"),
             QStringLiteral("01/12/2569"), QStringLiteral("2,500.00"), QStringLiteral("1,000.00")},
            {QStringLiteral("2"), QStringLiteral("6900002"), QStringLiteral("สมหญิง รักเรียน"),
             QStringLiteral("02/12/2569"), QStringLiteral("2,500.00"), QStringLiteral("2,500.00")},
            {QStringLiteral("รวม ม.1"), QStringLiteral("5,000.00"), QStringLiteral("3,500.00")},
            {QStringLiteral("ระดับ ม.2 (1 คน)")},
            {QStringLiteral("1"), QStringLiteral("6900001"), QStringLiteral("สมชาย ใจดี"),
             QStringLiteral("03/12/2569"), QStringLiteral("12,345.50"),
             QStringLiteral("10,000.00")},
            {QStringLiteral("รวม ม.2"), QStringLiteral("12,345.50"), QStringLiteral("10,000.00")},
            {QStringLiteral("รวมทั้งสิ้น"), QStringLiteral("17,345.50"), QStringLiteral("13,500.00")},
        };
        QCOMPARE(rows, expected);
    }

    void formulaTextAndErrors() {
        school();
        std::unique_ptr<Report> report = openGrouped();
        // Defaults: plain text as written, formula text by its value.
        QCOMPARE(report->formulaValue(QStringLiteral("lblTitle")), QStringLiteral("รายงานทดสอบ"));
        QCOMPARE(report->formulaValue(QStringLiteral("lblAddr")), QString());
        report->setFormula(QStringLiteral("lblComp"), QStringLiteral("'Ann \"Jo\" O''Neil'"));
        QCOMPARE(report->formulaValue(QStringLiteral("lblComp")),
                 QStringLiteral("Ann \"Jo\" O'Neil"));
        report->setFormula(QStringLiteral("lblAddr"),
                           QStringLiteral("\"a \"\"b\"\"\" & chr(13) & Chr(10) & 'c'"));
        QCOMPARE(report->formulaValue(QStringLiteral("lblAddr")), QStringLiteral("a \"b\"\r\nc"));
        report->setFormula(QStringLiteral("xTestMax"), QStringLiteral(" -12.5 "));
        QCOMPARE(report->formulaValue(QStringLiteral("xTestMax")), QStringLiteral("-12.5"));

        try {
            report->setFormula(QStringLiteral("lblNoSuch"), QStringLiteral("'x'"));
            QFAIL("an unknown formula field was accepted");
        } catch (const ReportError& error) {
            QVERIFY(error.message().contains(QStringLiteral("lblNoSuch")));
        }
        const QStringList malformed = {QStringLiteral("'open"), QStringLiteral("'a' 'b'"),
                                       QStringLiteral("'a' &"), QStringLiteral("abc")};
        for (const QString& text : malformed) {
            try {
                report->setFormula(QStringLiteral("lblTitle"), text);
                QFAIL(qPrintable(QStringLiteral("accepted: ") + text));
            } catch (const ReportError& error) {
                QVERIFY(error.message().contains(QStringLiteral("lblTitle")));
            }
        }

        // A data source without a listed column: the error names report and column.
        report->setDataSource(
            Recordset::open(QStringLiteral("SELECT StdID FROM Student"), {}, true));
        try {
            report->render();
            QFAIL("a missing column rendered");
        } catch (const ReportError& error) {
            QVERIFY(error.message().contains(QStringLiteral("grouped.rpt")));
            QVERIFY(error.message().contains(QStringLiteral("StdName")));
        }
    }

    void thaiTextWraps() {
        Fixture::course(QStringLiteral("C01"), QStringLiteral("คอร์ส"));
        Fixture::classRow(QStringLiteral("6900001"), QStringLiteral("C01"), Money());
        const QString longName =
            QStringLiteral("นักเรียนที่มีชื่อยาวมากเป็นพิเศษเพื่อทดสอบการตัดคำภาษาไทยในช่องตารางที่แคบ");
        Fixture::student(QStringLiteral("6900001"), longName);
        Fixture::registration(QStringLiteral("6900001"), QStringLiteral("6900001"));
        std::unique_ptr<Report> report = openGrouped();
        report->setDataSource(Recordset::open(registrations(), {}, true));
        std::unique_ptr<QTextDocument> doc = report->render();
        doc->setPageSize(QSizeF(600, 800));
        doc->documentLayout()->documentSize(); // lays the document out
        bool found = false;
        for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
            if (block.text() == longName) {
                found = true;
                QVERIFY(block.layout()->lineCount() > 1);
                // Every line ends between Thai words, never inside "ตัดคำ".
                for (int i = 0; i < block.layout()->lineCount() - 1; ++i) {
                    const int end = block.layout()->lineAt(i).textStart() +
                                    block.layout()->lineAt(i).textLength();
                    QVERIFY(end != longName.indexOf(QStringLiteral("ตัดคำ")) + 3);
                }
            }
        }
        QVERIFY(found);
    }

    void printsToPdfFolder() {
        school();
        for (int i = 3; i <= 120; ++i) {
            const QString id = QStringLiteral("69%1").arg(i, 5, 10, QLatin1Char('0'));
            Fixture::student(id, QStringLiteral("นักเรียน %1").arg(i));
            Fixture::registration(id, QStringLiteral("6900002"));
        }
        std::unique_ptr<Report> report = openGrouped();
        report->setDataSource(Recordset::open(registrations(), {}, true));
        report->printFirstPage();
        report->printAllPages();
        const QStringList files = pdfFiles(m_db->pdfFolder());
        QCOMPARE(files.size(), 2);
        const QDir folder(m_db->pdfFolder());
        const QString first = folder.filePath(QStringLiteral("grouped-20261206-090000.pdf"));
        const QString all = folder.filePath(QStringLiteral("grouped-20261206-090000-2.pdf"));
        QVERIFY(files.contains(QFileInfo(first).fileName()));
        QVERIFY(files.contains(QFileInfo(all).fileName()));
        QCOMPARE(pdfPages(first), 1);
        QVERIFY(pdfPages(all) > 1);
    }

    void noPrinterAndNoPdfFolder() {
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("a printer is installed on this machine");
        Seams::setPdfFolder({});
        qunsetenv("VADEL_PDF_DIR");
        std::unique_ptr<Report> report = openGrouped();
        try {
            report->printFirstPage();
            QFAIL("printed without a printer");
        } catch (const ReportError& error) {
            QCOMPARE(error.message(), QStringLiteral("ไม่ได้ติดตั้งเครื่องพิมพ์"));
        }
        QVERIFY(pdfFiles(m_db->pdfFolder()).isEmpty());
    }

    void missingReportFileShowsErrorAndNoViewer() {
        ScriptedMessages messages;
        std::unique_ptr<Report> report = Library::OpenReport(QStringLiteral("rep99.rpt"), false);
        QVERIFY(!report);
        QCOMPARE(messages.errors.size(), 1);
        QVERIFY(messages.errors.first().contains(QStringLiteral("rep99.rpt")));
        for (QWidget* window : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<frmViewReport*>(window));
    }

    void viewersInsideMainWindow() {
        school();
        QMainWindow main;
        auto* area = new QMdiArea(&main);
        main.setCentralWidget(area);
        main.resize(1000, 800);
        main.show();
        std::unique_ptr<Report> report = openGrouped();
        report->setFormula(QStringLiteral("lblComp"), Library::Quote(Library::gShopName));
        QVERIFY(Library::ShowReport(*report, QStringLiteral("รายงานที่หนึ่ง"), registrations(), 0));
        QVERIFY(Library::ShowReport(*report, QStringLiteral("รายงานที่สอง"), registrations(), 0));
        report.reset(); // the viewers keep their own copies
        const QList<QMdiSubWindow*> frames = area->subWindowList(QMdiArea::CreationOrder);
        QCOMPARE(frames.size(), 2);
        QCOMPARE(frames.at(0)->windowTitle(), QStringLiteral("รายงานที่หนึ่ง"));
        QCOMPARE(frames.at(1)->windowTitle(), QStringLiteral("รายงานที่สอง"));
        auto* viewer = qobject_cast<frmViewReport*>(frames.at(1)->widget());
        QVERIFY(viewer);
        QCOMPARE(viewer->viewer()->zoomFactor(), 1.0);
        QVERIFY(viewer->viewer()->pageCount() >= 1);
        QVERIFY(viewer->report().toPlainText().contains(QStringLiteral("K'Academy")));

        viewer->pressButton(QStringLiteral("ZoomIn"));
        QVERIFY(viewer->viewer()->zoomFactor() > 1.0);
        viewer->pressButton(QStringLiteral("Print"));
        QCOMPARE(pdfFiles(m_db->pdfFolder()).size(), 1);

        // Esc closes the focused viewer and leaves the other one.
        QApplication::setActiveWindow(&main);
        area->setActiveSubWindow(frames.at(1));
        viewer->viewer()->setFocus();
        QPointer<QMdiSubWindow> second = frames.at(1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(second.isNull());
        QCOMPARE(area->subWindowList().size(), 1);

        // The "CLOSE" key closes the other.
        QPointer<QMdiSubWindow> first = frames.at(0);
        qobject_cast<frmViewReport*>(first->widget())->pressButton(QStringLiteral("CLOSE"));
        QTRY_VERIFY(first.isNull());
    }

    void showReportErrorsOpenNoViewer() {
        ScriptedMessages messages;
        std::unique_ptr<Report> report = openGrouped();
        QVERIFY(!Library::ShowReport(*report, QStringLiteral("x"),
                                     QStringLiteral("SELECT StdID FROM Student"), 0));
        QVERIFY(!Library::ShowReport(*report, QStringLiteral("x"),
                                     QStringLiteral("SELECT * FROM NoSuchTable"), 0));
        QCOMPARE(messages.errors.size(), 2);
        QVERIFY(messages.errors.at(0).contains(QStringLiteral("StdName")));
        for (QWidget* window : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<frmViewReport*>(window));
    }

    void viewerWithoutMainWindowIsTopLevel() {
        school();
        std::unique_ptr<Report> report = openGrouped();
        QVERIFY(Library::ShowReport(*report, QStringLiteral("หน้าต่างเดี่ยว"), registrations(), 0));
        frmViewReport* viewer = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* found = qobject_cast<frmViewReport*>(window))
                viewer = found;
        QVERIFY(viewer);
        QCOMPARE(viewer->windowTitle(), QStringLiteral("หน้าต่างเดี่ยว"));
        QPointer<frmViewReport> watch = viewer;
        QApplication::setActiveWindow(viewer);
        viewer->viewer()->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(watch.isNull());
    }
};

QTEST_MAIN(tst_report)
#include "tst_report.moc"
