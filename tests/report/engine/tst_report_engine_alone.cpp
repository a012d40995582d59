// The report engine on its own, as a command-line tool would use it: it links no
// widgets, reads its rows, totals them and prints to PDF files, and without a printer
// opener it reaches no printer.
#include "core/Database.h"
#include "core/Seams.h"
#include "report/Report.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

class tst_report_engine_alone : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    std::unique_ptr<Report> paidReport() {
        const QString path = m_dir.filePath(QStringLiteral("paid.rpt"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return nullptr;
        file.write(R"([formulas]
lblTitle = 'ยอดชำระ'
[header]
center bold | {lblTitle}
[columns]
Name | ชื่อ | 3 | left | text
Amount | ชำระ | 1 | right | money
[compute]
Half = Amount / 2
[sort]
by = Name
[totals]
row = {count where Amount > 100} คน | {sum:Amount}
[footer]
left | ครึ่งหนึ่ง {sum:Half}
)");
        file.close();
        std::unique_ptr<Report> report = Report::open(path);
        report->setDataSource(QStringLiteral("SELECT 'ข' AS Name, 1250.5 AS Amount UNION ALL "
                                             "SELECT 'ก', 100 UNION ALL SELECT 'ค', 0.25"));
        return report;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        Seams::setDatabasePath(m_dir.filePath(QStringLiteral("school.db")));
        Seams::setPrinterEnabled(true);
        Connection::shared().open(NewSchool::Make);
    }

    void cleanupTestCase() { Connection::shared().close(); }

    void linksNoWidgets() {
        QFile maps(QStringLiteral("/proc/self/maps"));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        const QByteArray loaded = maps.readAll();
        QVERIFY(loaded.contains("libQt6Gui"));
        QVERIFY2(!loaded.contains("libQt6Widgets"), "the engine brought Qt Widgets in");
        QVERIFY(!loaded.contains("libQt6PrintSupport"));
    }

    void laysOutAndTotals() {
        std::unique_ptr<Report> report = paidReport();
        QVERIFY(report);
        QCOMPARE(report->pageTexts(),
                 QList<QStringList>({{QStringLiteral("ยอดชำระ"), QStringLiteral("ชื่อ|ชำระ"),
                                      QStringLiteral("ก|100.00"), QStringLiteral("ข|1,250.50"),
                                      QStringLiteral("ค|0.25"), QStringLiteral("1 คน|1,350.75"),
                                      QStringLiteral("ครึ่งหนึ่ง 675.38")}}));
    }

    void printsToPdfOrRefusesWithoutPrinter() {
        std::unique_ptr<Report> report = paidReport();
        QVERIFY(report);
        const QString folder = m_dir.filePath(QStringLiteral("pdf"));
        Seams::setPdfFolder(folder);
        report->printAllPages();
        const QStringList files = QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files);
        QCOMPARE(files.size(), 1);
        QFile pdf(QDir(folder).filePath(files.first()));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.read(5) == "%PDF-");

        Seams::setPdfFolder({});
        qunsetenv("VADEL_PDF_DIR");
        QVERIFY_THROWS_EXCEPTION(ReportError, report->printFirstPage());
    }
};

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    tst_report_engine_alone test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_report_engine_alone.moc"
