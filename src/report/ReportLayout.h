#pragma once

// A report file read into its parts: page, formula fields, text lines, columns,
// computed columns, value maps, sort keys, groups and totals. Report/README.md
// describes the format; the report engine (ReportEngine.h) lays it out.

#include "core/Money.h"

#include <QHash>
#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <memory>

namespace ReportLayout {

enum class Format { Text, Money, Number, Date, ShortDate, Row, Map };

// A column named in the file; bound to a field of the data when a run starts.
struct ColumnRef {
    QString name;
    int line = 0;
};

// A node of an expression; nodes refer to each other by index in Layout::exprs.
struct Expr {
    enum class Op {
        Number,
        Text,
        Field,
        Negate,
        Add,
        Subtract,
        Multiply,
        Divide,
        Equal,
        NotEqual,
        Less,
        LessEqual,
        Greater,
        GreaterEqual,
        And,
        Or,
        Not
    };
    Op op = Op::Number;
    Money number;
    QString text;
    int ref = -1; // Field
    int left = -1;
    int right = -1;
};

// A count, sum or distinct count over the rows of a group or of the report,
// optionally only of the rows that meet a condition.
struct Aggregate {
    enum class Kind { Count, Sum, Distinct };
    Kind kind = Kind::Count;
    int ref = -1;       // the column summed or counted
    int condition = -1; // an expression, or -1 for every row
};

struct Part {
    enum class Kind { Literal, Formula, Value, Aggregate, BahtText, Today, Page, Pages };
    Kind kind = Kind::Literal;
    QString text; // literal text, or the formula field's lower-case name
    int ref = -1; // Value
    int aggregate = -1;
    Format format = Format::Text; // how a Value or a sum shows
    QString map;                  // Format::Map
};

// A text with placeholders, compiled.
struct Template {
    QList<Part> parts;
    int line = 0;
    bool usesAggregates() const;
    bool isEmpty() const { return parts.isEmpty(); }
};

struct TextLine {
    Qt::Alignment align = Qt::AlignLeft;
    bool bold = false;
    double size = 0; // 0: the page's font size
    Template text;
};

struct Column {
    QString name;
    QString caption;
    double width = 1;
    Qt::Alignment align = Qt::AlignLeft;
    Format format = Format::Text;
    QString map;
    bool wrap = false; // a value too long for the column goes on over more lines
    int line = 0;
    int ref = -1; // bound when detail rows print
};

struct Computed {
    QString name;
    int expr = -1;
    int line = 0;
};

struct SortKey {
    int ref = -1;
    bool descending = false;
};

// A subtotal or total row: one template per column (empty where nothing shows).
struct SumRow {
    bool present = false;
    QList<Template> cells;
    QList<Qt::Alignment> align;
};

struct Group {
    SortKey key;
    QList<TextLine> header;
    QList<TextLine> footer;
    SumRow row;
    QList<int> aggregates; // what this group's lines need
};

struct Layout {
    QString file;
    QPageSize::PageSizeId pageSize = QPageSize::A4;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    double margin = 12; // millimetres
    QString font = QStringLiteral("Laksaman");
    double fontSize = 10;
    QHash<QString, QString> formulaDefaults; // lower-case name -> shown value
    QList<TextLine> pageHeader;
    QList<TextLine> pageFooter;
    QList<TextLine> header;
    QList<TextLine> footer;
    QList<Column> columns;
    QList<Computed> computed;
    QHash<QString, QHash<QString, QString>> maps; // lower-case map name -> stored -> shown
    QList<SortKey> sort;
    QList<Group> groups;
    SumRow totals;
    bool details = true;
    QList<ColumnRef> refs;
    QList<Expr> exprs;
    QList<Aggregate> aggregates;
    QList<int> reportAggregates; // what the report's own lines need
};

// Throws ReportError for a fault of the file at the given line.
[[noreturn]] void fail(const QString& file, int line, const QString& what);
// Adds a column named at a line to the layout's references and gives its index;
// throws ReportError when the name is empty.
int addRef(Layout& layout, const QString& name, int line);

// Reads a report file's text; throws ReportError naming the file and line.
std::shared_ptr<const Layout> parse(const QString& text, const QString& file);

// Reads report-formula text: 'text' or "text" (the quote doubled inside), Chr(n)
// and bare numbers, joined by &. False when the text is malformed.
bool parseFormulaText(const QString& text, QString& value);

} // namespace ReportLayout
