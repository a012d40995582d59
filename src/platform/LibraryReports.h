#pragma once

// The report routines of the shared library, on top of the report engine.

#include <QString>
#include <QVariantList>
#include <memory>

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

} // namespace Library
