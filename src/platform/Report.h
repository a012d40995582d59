#pragma once

#include "library/Recordset.h"

#include <QHash>
#include <QString>
#include <memory>
#include <stdexcept>

class QPrinter;
class QTextDocument;
struct ReportLayout;

// A report file of the Report folder, with its formula fields and data source.
// Errors (unreadable file, unknown formula field) throw ReportError.
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
    void setDataSource(Recordset records);
    const Recordset& dataSource() const;

    // The whole report laid out as a document (also what tests inspect). Throws
    // ReportError when a listed column is missing from the data source.
    std::unique_ptr<QTextDocument> render() const;
    // The plain text of the rendered report.
    QString toPlainText() const;
    // Prints page 1 to the default printer, or to a new PDF file in the PDF folder.
    // Throws ReportError when there is neither a printer nor a PDF folder.
    void printFirstPage() const;
    // Every page, to the same place as printFirstPage.
    void printAllPages() const;
    // Page size, orientation and margins of the report file.
    void setupPrinter(QPrinter& printer) const;
    // Prints the given pages (1-based; 0 = from the first / to the last) to an
    // already set-up printer. Returns the number of pages printed.
    int print(QPrinter& printer, int fromPage = 0, int toPage = 0) const;

private:
    Report();
    void printToDestination(int fromPage, int toPage) const;
    std::unique_ptr<ReportLayout> m_layout;
    QString m_path;
    QHash<QString, QString> m_formulas; // lower-case name -> shown value
    Recordset m_records;
};

class ReportError : public std::runtime_error {
public:
    explicit ReportError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};
