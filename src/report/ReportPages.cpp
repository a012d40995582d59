#include "report/ReportPages.h"

#include "report/ReportLayout.h"

#include <QColor>
#include <QPageSize>
#include <QPainter>
#include <QTextLayout>

using namespace ReportLayout;

namespace ReportEngine {
namespace {

constexpr double unitsPerPoint = unitsPerInch / 72;
constexpr double cellPadding = 3 * unitsPerPoint; // either side of a cell's text
constexpr double rowPadding = 1 * unitsPerPoint;  // above and below a table row

} // namespace

Canvas::Canvas(const Layout& layout, Output* output) : m_layout(layout), m_output(output) {
    QSizeF page = QPageSize(layout.pageSize).size(QPageSize::Point);
    if (layout.orientation == QPageLayout::Landscape)
        page.transpose();
    const double margin = layout.margin * 72 / 25.4;
    m_width = (page.width() - 2 * margin) * unitsPerPoint;
    m_height = (page.height() - 2 * margin) * unitsPerPoint;
    double total = 0;
    for (const Column& c : layout.columns)
        total += c.width;
    double x = 0;
    m_columnX << 0;
    for (const Column& c : layout.columns) {
        x += c.width * m_width / total;
        m_columnX << x;
    }
}

Canvas::Font::Font(const QFont& qfont) : font(qfont), metrics(qfont) {
    ascent = metrics.ascent();
    height = metrics.height();
    line = metrics.lineSpacing();
    row = height + 2 * rowPadding;
    widest = metrics.maxWidth();
}

// A line across the page, and a cell of a wrapping column, takes as many lines as its
// text needs; the other cells of the row stand on its first line.
double Canvas::bandHeight(const Band& band) {
    Font& f = font(band.size, band.bold);
    qsizetype lines = 1;
    for (const Cell& cell : band.cells)
        if (wraps(band, cell))
            lines = std::max(lines, wrapped(f, cell.text, cellRoom(band, cell)).size());
    return (band.kind == Band::Kind::Text ? f.line : f.row) +
           static_cast<double>(lines - 1) * f.line;
}

void Canvas::beginPage() {
    if (m_output && m_output->text)
        m_output->text->append(QStringList());
}

void Canvas::draw(const Band& band, double top) {
    if (!m_output)
        return;
    Font& f = font(band.size, band.bold);
    const double h = bandHeight(band);
    QPainter* painter = m_output->painter;
    if (painter && (band.kind == Band::Kind::Heading || band.kind == Band::Kind::Total))
        painter->fillRect(QRectF(0, top, m_width, h), QColor(0xE8, 0xE8, 0xE8));
    QList<Cell> cells = band.cells;
    if (band.kind == Band::Kind::Sum || band.kind == Band::Kind::Total)
        cells = spread(f, cells);
    const double firstLine =
        top + ((band.kind == Band::Kind::Text ? f.line : f.row) - f.height) / 2;
    QStringList texts;
    for (const Cell& cell : cells) {
        const bool inColumns = band.kind != Band::Kind::Text;
        const double left = inColumns ? m_columnX.at(cell.first) + cellPadding : 0;
        const double right = left + cellRoom(band, cell);
        const QStringList lines =
            wraps(band, cell) ? wrapped(f, cell.text, right - left) : QStringList{cell.text};
        QString shown;
        QRectF box;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            // Blanks where a line breaks take no room.
            QString text = lines.at(i);
            while (text.endsWith(QLatin1Char(' ')))
                text.chop(1);
            const Drawn drawn = drawText(f, text, left, right, cell.align,
                                         firstLine + static_cast<double>(i) * f.line);
            shown += drawn.shown + lines.at(i).mid(text.size());
            box = box.isNull() ? drawn.box : box.united(drawn.box);
        }
        if (m_output->placed && !cell.text.isEmpty())
            *m_output->placed << PlacedText{m_page,
                                            box,
                                            cell.text,
                                            shown,
                                            inColumns ? cell.first : -1,
                                            band.kind == Band::Kind::Heading};
        texts << shown;
    }
    if (m_output->text)
        m_output->text->last() << texts.join(QLatin1Char('|'));
}

Canvas::Font& Canvas::font(double size, bool bold) {
    const double points = size > 0 ? size : m_layout.fontSize;
    const int pixels = qRound(points * unitsPerPoint);
    const int key = pixels * 2 + (bold ? 1 : 0);
    auto it = m_fonts.find(key);
    if (it == m_fonts.end()) {
        QFont qfont(m_layout.font);
        qfont.setPixelSize(pixels);
        qfont.setBold(bold);
        qfont.setHintingPreference(QFont::PreferNoHinting);
        it = m_fonts.try_emplace(key, qfont).first;
    }
    return it->second;
}

Canvas::Shaped Canvas::shape(Font& f, const QString& text) {
    auto it = f.shaped.constFind(text);
    if (it != f.shaped.constEnd())
        return *it;
    QTextLayout layout(text, f.font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid())
        line.setLineWidth(1e9);
    layout.endLayout();
    Shaped shaped;
    shaped.width = line.isValid() ? line.naturalTextWidth() : 0;
    shaped.runs = layout.glyphRuns();
    if (f.shaped.size() >= 4096)
        f.shaped.clear();
    return *f.shaped.insert(text, shaped);
}

double Canvas::columnRoom(int first, int span) const {
    return m_columnX.at(first + span) - m_columnX.at(first) - 2 * cellPadding;
}

double Canvas::cellRoom(const Band& band, const Cell& cell) const {
    return band.kind == Band::Kind::Text ? m_width : columnRoom(cell.first, cell.span);
}

bool Canvas::fits(Font& f, const QString& text, double room) {
    // A short text (a page number) fits without being shaped.
    return static_cast<double>(text.size()) * f.widest <= room || shape(f, text).width <= room;
}

bool Canvas::wraps(const Band& band, const Cell& cell) const {
    return band.kind == Band::Kind::Text ||
           (band.kind == Band::Kind::Detail && m_layout.columns.at(cell.first).wrap);
}

// The lines of a text too long for its room, broken between words (Thai words too, by
// the dictionary of the line breaker).
QStringList Canvas::wrapped(Font& f, const QString& text, double room) {
    if (fits(f, text, room))
        return {text};
    QTextLayout layout(text, f.font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    QStringList lines;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(room);
        lines << text.mid(line.textStart(), line.textLength());
    }
    layout.endLayout();
    return lines;
}

// The texts of a total row: one too long for its column runs on over the
// empty cells after it, or first before it when aligned right (an amount
// stays at the right); empty cells go.
QList<Cell> Canvas::spread(Font& f, const QList<Cell>& cells) {
    QList<bool> taken(cells.size(), false);
    auto isFree = [&](qsizetype c) {
        return c >= 0 && c < cells.size() && !taken.at(c) && cells.at(c).text.isEmpty();
    };
    QList<Cell> spread;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        Cell cell = cells.at(i);
        if (cell.text.isEmpty())
            continue;
        taken[i] = true;
        auto tooLong = [&] { return !fits(f, cell.text, columnRoom(cell.first, cell.span)); };
        if ((cell.align & Qt::AlignRight) != 0)
            while (tooLong() && isFree(cell.first - 1)) {
                taken[--cell.first] = true;
                ++cell.span;
            }
        if (tooLong() && isFree(cell.first + cell.span)) {
            cell.align = Qt::AlignLeft;
            while (tooLong() && isFree(cell.first + cell.span))
                taken[cell.first + cell.span++] = true;
        }
        spread << cell;
    }
    return spread;
}

// Draws text between left and right, cut with "…" (at a whole character
// with its marks) when it is too long, but for a text aligned right (an
// amount), which is drawn smaller to fit whole.
Canvas::Drawn Canvas::drawText(Font& f, const QString& text, double left, double right,
                               Qt::Alignment align, double top) {
    if (text.isEmpty())
        return {text, QRectF(left, top, 0, 0)};
    const double room = right - left;
    QString shown = text;
    Shaped shaped = shape(f, text);
    double scale = 1;
    if (shaped.width > room) {
        if (align & Qt::AlignRight) {
            scale = room / shaped.width;
        } else {
            shown = f.metrics.elidedText(text, Qt::ElideRight, room);
            shaped = shape(f, shown);
        }
    }
    const double width = shaped.width * scale;
    double x = left;
    if (align & Qt::AlignRight)
        x = right - width;
    else if (align & Qt::AlignHCenter)
        x = left + (room - width) / 2;
    // A smaller figure keeps its line's middle.
    const double y = top + f.height * (1 - scale) / 2;
    const Drawn drawn{shown, QRectF(x, y, width, f.height * scale)};
    QPainter* painter = m_output->painter;
    if (!painter)
        return drawn;
    painter->save();
    painter->translate(x, y);
    painter->scale(scale, scale);
    for (const QGlyphRun& run : shaped.runs)
        painter->drawGlyphRun(QPointF(0, 0), run);
    painter->restore();
    return drawn;
}

Pager::Pager(Canvas& canvas, Output* output, int first, int last, Band heading, PageLines header,
             PageLines footer)
    : m_canvas(canvas), m_output(output), m_first(std::max(first, 1)), m_last(last),
      m_heading(std::move(heading)), m_header(std::move(header)), m_footer(std::move(footer)) {}

void Pager::add(const Band& band) {
    if (band.kind == Band::Kind::OpenGroup || band.kind == Band::Kind::CloseGroup) {
        m_groupHeaders.resize(band.level);
        if (band.kind == Band::Kind::OpenGroup)
            m_groupHeaders << QList<Band>();
        return;
    }
    if (!m_open)
        startPage();
    if (band.kind == Band::Kind::Heading) {
        if (!m_headingShown && m_canvas.columns() > 0) {
            place(m_heading);
            m_headingShown = true;
        }
        return;
    }
    // A table row needs the column titles above it on its page.
    auto needsHeading = [&] { return band.table && !m_headingShown && m_canvas.columns() > 0; };
    double need = m_canvas.bandHeight(band);
    if (band.keepWithNext)
        need += m_canvas.rowHeight();
    if (needsHeading())
        need += m_canvas.bandHeight(m_heading);
    bool continuing = false;
    if (m_y + need > m_bottom && m_hasBody) {
        endPage();
        startPage();
        continuing = band.table;
    }
    if (needsHeading()) {
        place(m_heading);
        m_headingShown = true;
    }
    if (continuing)
        for (const QList<Band>& header : std::as_const(m_groupHeaders))
            for (const Band& line : header)
                place(line);
    place(band);
    m_hasBody = true;
    if (band.groupHeader && !m_groupHeaders.isEmpty())
        m_groupHeaders.last() << band;
}

void Pager::finish() {
    if (!m_open)
        startPage();
    endPage();
}

void Pager::startPage() {
    ++m_page;
    m_open = true;
    m_hasBody = false;
    m_headingShown = false;
    m_y = 0;
    if (painting()) {
        if (m_painted > 0 && m_output->newPage)
            m_output->newPage();
        ++m_painted;
        m_canvas.setPage(m_page);
        m_canvas.beginPage();
    }
    for (const Band& band : m_header(m_page))
        place(band);
    m_footerBands = m_footer(m_page);
    double footer = 0;
    for (const Band& band : m_footerBands)
        footer += m_canvas.bandHeight(band);
    m_bottom = m_canvas.height() - footer;
}

void Pager::endPage() {
    m_y = m_bottom;
    for (const Band& band : m_footerBands)
        place(band);
    m_open = false;
}

void Pager::place(const Band& band) {
    if (painting())
        m_canvas.draw(band, m_y);
    m_y += m_canvas.bandHeight(band);
}

} // namespace ReportEngine
