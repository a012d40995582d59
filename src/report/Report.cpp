#include "report/Report.h"

#include "core/Seams.h"
#include "report/ReportEngine.h"
#include "report/ReportLayout.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>

namespace {

QString newPdfPath(const QString& folder, const QString& reportFile) {
    QDir().mkpath(folder);
    const QString base = QFileInfo(reportFile).completeBaseName() + QLatin1Char('-') +
                         Seams::now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = QDir(folder).filePath(base + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(folder).filePath(base + QLatin1Char('-') + QString::number(n) +
                                     QStringLiteral(".pdf"));
    return path;
}

// Printing into a folder (as on a desk without a printer) says once where the
// pages went, on the terminal the program was started from.
void tellPdfFolder(const QString& folder) {
    static QString told;
    const QString path = QFileInfo(folder).absoluteFilePath();
    if (told == path)
        return;
    told = path;
    qInfo().noquote() << QStringLiteral("Printed pages go to PDF files in %1").arg(path);
}

Report::PrinterOpener& printerOpener() {
    static Report::PrinterOpener opener;
    return opener;
}

} // namespace

Report::Report() = default;
Report::~Report() = default;

std::unique_ptr<Report> Report::open(const QString& path) {
    QFile file(path);
    if (!file.exists())
        throw ReportError(QStringLiteral("ไม่พบไฟล์รายงาน %1").arg(path));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw ReportError(QStringLiteral("เปิดไฟล์รายงาน %1 ไม่ได้").arg(path));
    std::unique_ptr<Report> report(new Report);
    report->m_layout =
        ReportLayout::parse(QString::fromUtf8(file.readAll()), QFileInfo(path).fileName());
    report->m_path = path;
    report->m_formulas = report->m_layout->formulaDefaults;
    return report;
}

std::unique_ptr<Report> Report::clone() const {
    std::unique_ptr<Report> copy(new Report);
    copy->m_layout = m_layout;
    copy->m_path = m_path;
    copy->m_formulas = m_formulas;
    copy->m_sql = m_sql;
    copy->m_params = m_params;
    copy->m_useRecords = m_useRecords;
    copy->m_records = m_records;
    copy->m_prepared = m_prepared;
    return copy;
}

QString Report::fileName() const {
    return QFileInfo(m_path).fileName();
}

void Report::setFormula(const QString& name, const QString& formulaText) {
    const QString key = name.toLower();
    if (!m_formulas.contains(key))
        throw ReportError(QStringLiteral("รายงาน %1 ไม่มีฟิลด์สูตร %2").arg(fileName(), name));
    QString value;
    if (!ReportLayout::parseFormulaText(formulaText, value))
        throw ReportError(QStringLiteral("ค่าของฟิลด์สูตร %1 ในรายงาน %2 ไม่ถูกต้อง: %3")
                              .arg(name, fileName(), formulaText));
    m_formulas.insert(key, value);
    m_prepared.reset();
}

QString Report::formulaValue(const QString& name) const {
    return m_formulas.value(name.toLower());
}

bool Report::hasFormula(const QString& name) const {
    return m_formulas.contains(name.toLower());
}

void Report::setDataSource(const QString& sql, const QVariantList& params) {
    m_sql = sql;
    m_params = params;
    m_useRecords = false;
    m_records = Recordset();
    m_prepared.reset();
}

void Report::setDataSource(Recordset records) {
    m_sql.clear();
    m_params.clear();
    m_useRecords = true;
    m_records = std::move(records);
    m_prepared.reset();
}

ReportEngine::Input Report::input() const {
    ReportEngine::Input in;
    in.layout = m_layout;
    in.formulas = m_formulas;
    in.source.sql = m_sql;
    in.source.params = m_params;
    in.source.useRecords = m_useRecords;
    in.source.records = m_records;
    if (!m_useRecords && m_sql.trimmed().isEmpty()) {
        // No data source: the layout prints over no rows.
        in.source.useRecords = true;
    }
    return in;
}

int Report::pageCount() const {
    if (!m_prepared)
        m_prepared = ReportEngine::prepare(input());
    return ReportEngine::pageCount(*m_prepared);
}

int Report::paint(ReportEngine::Output& output, int first, int last) const {
    pageCount();
    return ReportEngine::paint(input(), *m_prepared, output, first, last);
}

QList<QStringList> Report::pageTexts() const {
    QList<QStringList> pages;
    ReportEngine::Output output;
    output.text = &pages;
    paint(output, 1, 0);
    return pages;
}

QString Report::toPlainText() const {
    QStringList lines;
    for (const QStringList& page : pageTexts())
        lines << page;
    return lines.join(QLatin1Char('\n'));
}

QList<ReportEngine::PlacedText> Report::placedTexts() const {
    QList<ReportEngine::PlacedText> placed;
    ReportEngine::Output output;
    output.placed = &placed;
    paint(output, 1, 0);
    return placed;
}

QPageLayout Report::pageLayout() const {
    const double m = m_layout->margin;
    return QPageLayout(QPageSize(m_layout->pageSize), m_layout->orientation, QMarginsF(m, m, m, m),
                       QPageLayout::Millimeter);
}

void Report::paintPage(QPainter& painter, int page, double dpi) const {
    const double scale = dpi / ReportEngine::unitsPerInch;
    const double margin = m_layout->margin / 25.4 * ReportEngine::unitsPerInch;
    painter.save();
    painter.scale(scale, scale);
    painter.translate(margin, margin);
    ReportEngine::Output output;
    output.painter = &painter;
    paint(output, page, page);
    painter.restore();
}

int Report::print(QPagedPaintDevice& printer, int fromPage, int toPage) const {
    // Every fault found before the first page goes out; the pages are those shown.
    pageCount();
    QPainter painter;
    if (!painter.begin(&printer))
        throw ReportError(QStringLiteral("พิมพ์รายงาน %1 ไม่ได้").arg(fileName()));
    const double scale = printer.logicalDpiX() / ReportEngine::unitsPerInch;
    painter.scale(scale, scale);
    ReportEngine::Output output;
    output.painter = &painter;
    output.newPage = [&printer] { printer.newPage(); };
    const int printed = paint(output, fromPage > 0 ? fromPage : 1, toPage);
    painter.end();
    return printed;
}

void Report::printToDestination(int fromPage, int toPage) const {
    printPages(fromPage, toPage);
    if (const Seams::PrintListener& listener = Seams::printListener()) {
        const QList<QStringList> pages = pageTexts();
        const int first = std::max(fromPage, 1) - 1;
        listener(fileName(), pages.mid(first, toPage > 0 ? toPage - first : -1));
    }
}

void Report::printPages(int fromPage, int toPage) const {
    const QString folder = Seams::pdfFolder();
    if (!folder.isEmpty()) {
        const QString path = newPdfPath(folder, fileName());
        try {
            QPdfWriter pdf(path);
            pdf.setResolution(1200); // a high-resolution printer's
            pdf.setTitle(fileName());
            pdf.setPageLayout(pageLayout());
            print(pdf, fromPage, toPage);
        } catch (const std::runtime_error&) {
            QFile::remove(path); // no half report
            throw;
        }
        tellPdfFolder(folder);
        return;
    }
    const std::unique_ptr<QPagedPaintDevice> printer =
        Seams::printerEnabled() && printerOpener() ? printerOpener()(fileName(), pageLayout())
                                                   : nullptr;
    if (!printer)
        throw ReportError(QStringLiteral("ไม่ได้ติดตั้งเครื่องพิมพ์"));
    print(*printer, fromPage, toPage);
}

void Report::setPrinterOpener(PrinterOpener opener) {
    printerOpener() = std::move(opener);
}

void Report::printFirstPage() const {
    printToDestination(1, 1);
}

void Report::printAllPages() const {
    printToDestination(0, 0);
}
