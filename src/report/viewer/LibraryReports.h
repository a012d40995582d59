#pragma once

// The report routines of the shared library, on top of the report engine.

#include <QList>
#include <QString>
#include <QVariantList>
#include <memory>
#include <utility>

class Report;

namespace Library {

// The path of a report file: the Report folder beside the program.
QString reportPath(const QString& fileName);
// Opens a report file of the Report folder. A missing file shows an error box
// and gives null.
std::unique_ptr<Report> OpenReport(const QString& fileName);
// Feeds the report the rows of sql (when not blank) and shows it in a new viewer
// window, modeless. Returns false (after an error box) when it could not be shown.
bool ShowReport(Report& report, const QString& title, const QString& sql,
                const QVariantList& params = {});

// Opens a report file, sets its formula fields (name and report-formula text)
// and shows it with the rows of sql, as OpenReport and ShowReport do. A failing
// step shows an error box; returns whether the report was shown.
bool showReportFile(const QString& fileName, const QString& title,
                    const QList<std::pair<QString, QString>>& formulas, const QString& sql,
                    const QVariantList& params = {});

// showReportFile with "lblComp" the school's name and "lblTitle" the title, the
// viewer captioned with the title.
bool ShowTitledReport(const QString& fileName, const QString& title, const QString& sql,
                      const QVariantList& params = {});

} // namespace Library
