#pragma once

// What the report engine takes (the layout, the formula fields, the rows) and where
// it puts its pages; shared by the engine and its readers and painters.

#include "core/Recordset.h"
#include "report/ReportLayout.h"

#include <QHash>
#include <QList>
#include <QRectF>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <memory>

class QPainter;

namespace ReportEngine {

constexpr double unitsPerInch = 720;

// The rows of a report: a statement run on the program's connection, or rows
// already read.
struct Source {
    QString sql;
    QVariantList params;
    bool useRecords = false;
    Recordset records;
};

struct Input {
    std::shared_ptr<const ReportLayout::Layout> layout;
    QHash<QString, QString> formulas; // lower-case name -> value
    Source source;
};

// A text as placed on its page, for checking a layout.
struct PlacedText {
    int page = 0;
    QRectF box;      // where its glyphs go
    QString text;    // the whole text
    QString shown;   // as drawn: cut with "…" when it did not fit
    int column = -1; // the table column it starts in; -1 for a line across the page
    bool heading = false;
};

// Where pages go: painted, or as text (one entry per printed line), and
// where each text went.
struct Output {
    QPainter* painter = nullptr;
    QList<QStringList>* text = nullptr;
    QList<PlacedText>* placed = nullptr;
    std::function<void()> newPage; // between two painted pages
};

} // namespace ReportEngine
