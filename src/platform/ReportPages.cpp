#include "platform/ReportPages.h"

#include "platform/ReportLayout.h"

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
}

double Canvas::bandHeight(const Band& band) {
    Font& f = font(band.size, band.bold);
    return band.kind == Band::Kind::Text ? f.line : f.row;
}

void Canvas::beginPage() {
    if (m_output && m_output->text)
        m_output->text->append(QStringList());
}

void Canvas::draw(const Band& band, double top) {
    if (!m_output)
        return;
    Font& f = font(band.size, band.bold);
    const double h = band.kind == Band::Kind::Text ? f.line : f.row;
    QPainter* painter = m_output->painter;
    if (painter && (band.kind == Band::Kind::Heading || band.kind == Band::Kind::Total))
        painter->fillRect(QRectF(0, top, m_width, h), QColor(0xE8, 0xE8, 0xE8));
    QList<Cell> cells = band.cells;
    if (band.kind == Band::Kind::Sum || band.kind == Band::Kind::Total)
        cells = spread(f, cells);
    QStringList texts;
    for (const Cell& cell : cells) {
        double left = 0;
        double right = m_width;
        const bool inColumns = band.kind != Band::Kind::Text;
        if (inColumns) {
            left = m_columnX.at(cell.first) + cellPadding;
            right = left + columnRoom(cell.first, cell.span);
        }
        texts << drawText(f, cell.text, left, right, cell.align, top + (h - f.height) / 2, band,
                          inColumns ? cell.first : -1);
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

bool Canvas::fits(Font& f, const QString& text, double room) {
    return shape(f, text).width <= room;
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
// amount), which is drawn smaller to fit whole; returns what was drawn.
QString Canvas::drawText(Font& f, const QString& text, double left, double right,
                         Qt::Alignment align, double top, const Band& band, int column) {
    if (text.isEmpty())
        return text;
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
    if (m_output->placed)
        *m_output->placed << PlacedText{m_page, QRectF(x, y, width, f.height * scale), text, shown,
                                        column, band.kind == Band::Kind::Heading};
    QPainter* painter = m_output->painter;
    if (!painter)
        return shown;
    painter->save();
    painter->translate(x, y);
    painter->scale(scale, scale);
    for (const QGlyphRun& run : shaped.runs)
        painter->drawGlyphRun(QPointF(0, 0), run);
    painter->restore();
    return shown;
}

Pager::Pager(Canvas& canvas, Output* output, int first, int last, Band heading, PageLines header,
             PageLines footer)
    : m_canvas(canvas), m_output(output), m_first(std::max(first, 1)), m_last(last),
      m_heading(std::move(heading)), m_header(std::move(header)), m_footer(std::move(footer)) {}

void Pager::add(const Band& band) {
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
}

void Pager::openGroup(int level, const QList<Band>& header) {
    m_groupHeaders.resize(level);
    m_groupHeaders << header;
}

void Pager::closeGroup(int level) {
    m_groupHeaders.resize(level);
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
