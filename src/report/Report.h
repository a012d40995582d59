#pragma once

#include "core/Recordset.h"
#include "report/ReportError.h"

#include <QHash>
#include <QList>
#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <memory>
#include <stdexcept>

class QPagedPaintDevice;
class QPainter;

namespace ReportLayout {
struct Layout;
}
namespace ReportEngine {
struct Input;
struct Output;
struct Prepared;
struct PlacedText;
} // namespace ReportEngine

// A report file of the Report folder, with its formula fields and data source.
// Errors (unreadable file, unknown formula field, a layout that does not fit the
// data) throw ReportError; a failing statement throws DbError.
class Report {
public:
    ~Report();
    // Reads a report file; throws ReportError when it is missing or malformed.
    static std::unique_ptr<Report> open(const QString& path);
    // An independent copy with the same layout, formula values and data source.
    std::unique_ptr<Report> clone() const;

    QString fileName() const;
    // Sets a formula field from report-formula text: 'text' (quotes doubled inside),
    // a bare number, or "..." & Chr(10) & "..." pieces. An unknown name or malformed
    // text throws ReportError naming the field; callers show it with Library::MsgError.
    void setFormula(const QString& name, const QString& formulaText);
    // The value a formula field shows.
    QString formulaValue(const QString& name) const;
    bool hasFormula(const QString& name) const;

    // The rows: a statement with bound values, run on the program's connection
    // once when the report is laid out, inside the report's own ORDER BY ...
    void setDataSource(const QString& sql, const QVariantList& params = {});
    // ... or rows already read.
    void setDataSource(Recordset records);

    // Reads the rows and lays the report out without painting (once; setting a
    // formula or the data source starts again) and gives its number of pages.
    // Every page painted or printed after it shows the rows read then.
    int pageCount() const;
    // What each page prints, one entry per line; a table row's cells joined by "|".
    QList<QStringList> pageTexts() const;
    // Every page's lines, one per line.
    QString toPlainText() const;
    // Where every text of every page goes.
    QList<ReportEngine::PlacedText> placedTexts() const;

    // Page size, orientation and margins of the report file.
    QPageLayout pageLayout() const;
    // Paints one page (1-based) on a painter whose unit is a pixel at dpi, with
    // the page's top left corner at the origin.
    void paintPage(QPainter& painter, int page, double dpi) const;
    // Prints page 1 to the default printer, or to a new PDF file in the PDF folder.
    // Throws ReportError when there is neither a printer nor a PDF folder.
    void printFirstPage() const;
    // Every page, to the same place as printFirstPage.
    void printAllPages() const;
    // Prints the given pages (1-based; 0 = from the first / to the last) on an
    // already set-up printer or PDF file. Returns the number of pages printed.
    int print(QPagedPaintDevice& printer, int fromPage = 0, int toPage = 0) const;

    // Opens the system's default printer for a document of that name and page
    // layout; null when none is installed. Printers are reached through Qt Print
    // Support, which brings the widgets with it, so the engine is given the opener
    // (SystemPrinter::install); without one, pages go to PDF files only.
    using PrinterOpener = std::function<std::unique_ptr<QPagedPaintDevice>(
        const QString& docName, const QPageLayout& layout)>;
    static void setPrinterOpener(PrinterOpener opener);

private:
    Report();
    ReportEngine::Input input() const;
    int paint(ReportEngine::Output& output, int first, int last) const;
    void printToDestination(int fromPage, int toPage) const;
    void printPages(int fromPage, int toPage) const;

    std::shared_ptr<const ReportLayout::Layout> m_layout;
    QString m_path;
    QHash<QString, QString> m_formulas; // lower-case name -> shown value
    QString m_sql;
    QVariantList m_params;
    bool m_useRecords = false;
    Recordset m_records;
    mutable std::shared_ptr<const ReportEngine::Prepared> m_prepared;
};
