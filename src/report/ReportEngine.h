#pragma once

// The report engine: reads the rows forward once (sorted by the database when
// detail rows print), groups and totals them, and lays them out page by page
// with fixed measures, painting each page with QPainter or taking its text.
// Coordinates are 1/10 point from the top left corner inside the margins; fonts
// are sized in that unit (at a few hundred pixels the font engine still keeps
// its glyph metrics).

#include "report/ReportIO.h"

#include <memory>

namespace ReportEngine {

// What one pass over every row learns for the pages painted after it: the
// page count, totals printed above their rows, and the rows themselves (for a
// report without detail rows, its whole short content), so that every page
// shows one state of the data.
struct Prepared;

// Reads every row once and lays the report out without painting. Throws
// ReportError (a layout that does not fit the data, naming file and line) or DbError.
std::shared_ptr<const Prepared> prepare(const Input& input);
int pageCount(const Prepared& prepared);

// Paints pages first to last (1-based; last 0: to the end) from the prepared
// pass, reading nothing again. Returns the number of pages painted.
int paint(const Input& input, const Prepared& prepared, Output& output, int first, int last);

} // namespace ReportEngine
