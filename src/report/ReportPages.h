#pragma once

// Pages of fixed measures: every text line and table row is one line of its
// font, so where a page ends is known without laying out text.

#include "report/ReportIO.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QString>
#include <functional>
#include <map>

namespace ReportEngine {

struct Cell {
    QString text;
    int first = 0; // column
    int span = 1;
    Qt::Alignment align = Qt::AlignLeft;
};

// One printed line: a line of text across the page, or a row of the table; or where a
// group opens or closes (prints nothing).
struct Band {
    enum class Kind { Text, Heading, Detail, Sum, Total, OpenGroup, CloseGroup };
    Kind kind = Kind::Text;
    QList<Cell> cells;
    bool bold = false;
    double size = 0;    // points; 0: the page's font size
    bool table = false; // prints under the column titles
    bool keepWithNext = false;
    bool groupHeader = false; // printed again on a page that continues its group
    int level = 0;            // of OpenGroup and CloseGroup
};

// The page, its fonts and the table's columns; draws bands or takes their text.
class Canvas {
public:
    Canvas(const ReportLayout::Layout& layout, Output* output);

    double height() const { return m_height; }
    int columns() const { return static_cast<int>(m_columnX.size() - 1); }
    double rowHeight() { return font(0, false).row; }
    double bandHeight(const Band& band);
    void beginPage();
    void draw(const Band& band, double top);
    // Where the texts of the page being painted were placed (Output::placed).
    void setPage(int page) { m_page = page; }

private:
    // A text shaped once: its glyphs (Thai marks placed) and its width. Reports
    // repeat most of their texts (names, courses, amounts, dates).
    struct Shaped {
        QList<QGlyphRun> runs;
        double width = 0;
    };

    struct Font {
        explicit Font(const QFont& qfont);
        QFont font;
        QFontMetricsF metrics;
        double ascent = 0;
        double height = 0;
        double line = 0;
        double row = 0;
        double widest = 0; // of its characters
        QHash<QString, Shaped> shaped;
    };

    // A text as drawn and where its glyphs went.
    struct Drawn {
        QString shown;
        QRectF box;
    };

    Font& font(double size, bool bold);
    Shaped shape(Font& f, const QString& text);
    double columnRoom(int first, int span) const;
    bool fits(Font& f, const QString& text, double room);
    bool wraps(const Band& band, const Cell& cell) const;
    double cellRoom(const Band& band, const Cell& cell) const;
    QStringList wrapped(Font& f, const QString& text, double room);
    QList<Cell> spread(Font& f, const QList<Cell>& cells);
    Drawn drawText(Font& f, const QString& text, double left, double right, Qt::Alignment align,
                   double top);

    const ReportLayout::Layout& m_layout;
    Output* m_output;
    double m_width = 0;
    double m_height = 0;
    QList<double> m_columnX;
    std::map<int, Font> m_fonts;
    int m_page = 0;
};

// Places bands on pages: the page header and footer on every page, the column
// titles above the table's rows on every page, a group's header kept with the
// row after it. Paints only the pages asked for.
class Pager {
public:
    using PageLines = std::function<QList<Band>(int page)>;

    Pager(Canvas& canvas, Output* output, int first, int last, Band heading, PageLines header,
          PageLines footer);

    // A band of kind Heading places the column titles (a report without rows). The
    // header lines of a group (between its OpenGroup and its rows) print again under
    // the column titles of a page that continues the group, with those of the groups
    // around it.
    void add(const Band& band);
    void finish();
    int pages() const { return m_page; }
    int painted() const { return m_painted; }
    // Past the last page asked for: the rest need not be read.
    bool done() const { return m_last > 0 && m_page > m_last; }
    // The band being added cannot reach a painted page: its text is not needed.
    bool skipping() const {
        return !m_output || (m_last > 0 && m_page > m_last) || m_page + 1 < m_first;
    }

private:
    bool painting() const {
        return m_output && m_page >= m_first && (m_last == 0 || m_page <= m_last);
    }
    void startPage();
    void endPage();
    void place(const Band& band);

    Canvas& m_canvas;
    Output* m_output;
    int m_first;
    int m_last;
    Band m_heading;
    QList<QList<Band>> m_groupHeaders; // of the open groups, outermost first
    PageLines m_header;
    PageLines m_footer;
    QList<Band> m_footerBands;
    int m_page = 0;
    int m_painted = 0;
    bool m_open = false;
    bool m_hasBody = false;
    bool m_headingShown = false;
    double m_y = 0;
    double m_bottom = 0;
};

} // namespace ReportEngine
