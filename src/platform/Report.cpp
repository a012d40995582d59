#include "platform/Report.h"

#include "library/Library.h"
#include "library/Money.h"
#include "library/Seams.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QTextTableFormat>

namespace {

enum class Format { Text, Money, Number, Date, ShortDate, Row };

struct TextLine {
    Qt::Alignment align = Qt::AlignLeft;
    bool bold = false;
    double size = 0; // 0: the page's font size
    QString text;
};

struct Column {
    QString name;
    QString caption;
    double width = 1;
    Qt::Alignment align = Qt::AlignLeft;
    Format format = Format::Text;
};

} // namespace

struct ReportLayout {
    QPageSize::PageSizeId pageSize = QPageSize::A4;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    double margin = 12;
    QString font = QStringLiteral("Laksaman");
    double fontSize = 10;
    QHash<QString, QString> formulaDefaults;
    QList<TextLine> header;
    QList<TextLine> footer;
    QList<Column> columns;
    QString groupBy;
    bool hasGroupHeader = false;
    TextLine groupHeader;
    bool hasGroupFooter = false;
    TextLine groupFooter;
    QString groupCaption;
    QStringList groupSums;
    bool hasTotals = false;
    QString totalsCaption;
    QStringList totalsSums;
};

namespace {

// The rows a placeholder or sum reads: all rows, or one group.
struct Rows {
    const Recordset* records;
    int begin;
    int end;
};

[[noreturn]] void fail(const QString& file, int lineNo, const QString& what) {
    throw ReportError(QStringLiteral("รายงาน %1 บรรทัดที่ %2: %3").arg(file).arg(lineNo).arg(what));
}

bool parseAlign(const QString& word, Qt::Alignment& align) {
    const QString w = word.toLower();
    if (w == QLatin1String("left"))
        align = Qt::AlignLeft;
    else if (w == QLatin1String("center"))
        align = Qt::AlignHCenter;
    else if (w == QLatin1String("right"))
        align = Qt::AlignRight;
    else
        return false;
    return true;
}

// "align [bold] [size N] | text"
TextLine parseTextLine(const QString& definition, const QString& file, int lineNo) {
    const qsizetype bar = definition.indexOf(QLatin1Char('|'));
    if (bar < 0)
        fail(file, lineNo, QStringLiteral("ต้องเป็น \"align | text\""));
    TextLine line;
    line.text = definition.mid(bar + 1).trimmed();
    const QStringList words =
        definition.left(bar).simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty() || !parseAlign(words.first(), line.align))
        fail(file, lineNo, QStringLiteral("ไม่รู้จักการจัดวาง"));
    for (int i = 1; i < words.size(); ++i) {
        const QString w = words.at(i).toLower();
        if (w == QLatin1String("bold")) {
            line.bold = true;
        } else if (w == QLatin1String("size") && i + 1 < words.size()) {
            bool ok = false;
            line.size = words.at(++i).toDouble(&ok);
            if (!ok || line.size <= 0)
                fail(file, lineNo, QStringLiteral("ขนาดตัวอักษรไม่ถูกต้อง"));
        } else {
            fail(file, lineNo, QStringLiteral("ไม่รู้จัก \"%1\"").arg(words.at(i)));
        }
    }
    return line;
}

Format parseFormat(const QString& word, const QString& file, int lineNo) {
    const QString w = word.trimmed().toLower();
    if (w.isEmpty() || w == QLatin1String("text"))
        return Format::Text;
    if (w == QLatin1String("money"))
        return Format::Money;
    if (w == QLatin1String("number"))
        return Format::Number;
    if (w == QLatin1String("date"))
        return Format::Date;
    if (w == QLatin1String("shortdate"))
        return Format::ShortDate;
    if (w == QLatin1String("row"))
        return Format::Row;
    fail(file, lineNo, QStringLiteral("ไม่รู้จักรูปแบบ \"%1\"").arg(word.trimmed()));
}

QStringList parseNameList(const QString& value) {
    QStringList names;
    for (const QString& part : value.split(QLatin1Char(','), Qt::SkipEmptyParts))
        if (!part.trimmed().isEmpty())
            names << part.trimmed();
    return names;
}

QString withoutComment(const QString& value) {
    const qsizetype hash = value.indexOf(QLatin1Char('#'));
    return (hash < 0 ? value : value.left(hash)).trimmed();
}

// Reads report-formula text: 'text' or "text" (the quote doubled inside), Chr(n)
// and bare numbers, joined by &. False when the text is malformed.
bool parseFormulaText(const QString& text, QString& value) {
    static const QRegularExpression number(QStringLiteral("^[+-]?[0-9]+(\\.[0-9]+)?"));
    static const QRegularExpression chr(QStringLiteral("^chr\\s*\\(\\s*([0-9]+)\\s*\\)"),
                                        QRegularExpression::CaseInsensitiveOption);
    value.clear();
    qsizetype pos = 0;
    const qsizetype size = text.size();
    auto skipBlanks = [&] {
        while (pos < size && text.at(pos).isSpace())
            ++pos;
    };
    skipBlanks();
    if (pos == size)
        return true;
    for (;;) {
        skipBlanks();
        if (pos == size)
            return false;
        const QChar c = text.at(pos);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            ++pos;
            bool closed = false;
            while (pos < size) {
                if (text.at(pos) == c) {
                    if (pos + 1 < size && text.at(pos + 1) == c) {
                        value += c;
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    closed = true;
                    break;
                }
                value += text.at(pos++);
            }
            if (!closed)
                return false;
        } else {
            const QString rest = text.mid(pos);
            const QRegularExpressionMatch chrMatch = chr.match(rest);
            const QRegularExpressionMatch numberMatch = number.match(rest);
            if (chrMatch.hasMatch()) {
                const int code = chrMatch.captured(1).toInt();
                if (code <= 0 || code > 0xFFFF)
                    return false;
                value += QChar(code);
                pos += chrMatch.capturedLength();
            } else if (numberMatch.hasMatch()) {
                value += numberMatch.captured();
                pos += numberMatch.capturedLength();
            } else {
                return false;
            }
        }
        skipBlanks();
        if (pos == size)
            return true;
        if (text.at(pos) != QLatin1Char('&'))
            return false;
        ++pos;
    }
}

std::unique_ptr<ReportLayout> parseLayout(const QString& text, const QString& file) {
    auto layout = std::make_unique<ReportLayout>();
    QString section;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNo = i + 1;
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
            section = trimmed.mid(1, trimmed.size() - 2).trimmed().toLower();
            static const QStringList known = {QStringLiteral("page"),    QStringLiteral("formulas"),
                                              QStringLiteral("header"),  QStringLiteral("footer"),
                                              QStringLiteral("columns"), QStringLiteral("group"),
                                              QStringLiteral("totals")};
            if (!known.contains(section))
                fail(file, lineNo, QStringLiteral("ไม่รู้จักส่วน [%1]").arg(section));
            if (section == QLatin1String("totals"))
                layout->hasTotals = true;
            continue;
        }
        if (section == QLatin1String("header") || section == QLatin1String("footer")) {
            (section == QLatin1String("header") ? layout->header : layout->footer)
                << parseTextLine(trimmed, file, lineNo);
            continue;
        }
        if (section == QLatin1String("columns")) {
            const QStringList cells = trimmed.split(QLatin1Char('|'));
            if (cells.size() < 3)
                fail(file, lineNo,
                     QStringLiteral("ต้องเป็น \"Column | caption | width | align | format\""));
            Column column;
            column.name = cells.at(0).trimmed();
            column.caption = cells.at(1).trimmed();
            bool ok = false;
            column.width = cells.at(2).trimmed().toDouble(&ok);
            if (!ok || column.width <= 0)
                fail(file, lineNo, QStringLiteral("ความกว้างไม่ถูกต้อง"));
            if (cells.size() > 3 && !parseAlign(cells.at(3).trimmed(), column.align))
                fail(file, lineNo, QStringLiteral("ไม่รู้จักการจัดวาง"));
            if (cells.size() > 4)
                column.format = parseFormat(cells.at(4), file, lineNo);
            layout->columns << column;
            continue;
        }
        const qsizetype eq = trimmed.indexOf(QLatin1Char('='));
        if (section.isEmpty() || eq < 0)
            fail(file, lineNo, QStringLiteral("ต้องเป็น \"name = value\""));
        const QString key = trimmed.left(eq).trimmed();
        const QString rawValue = trimmed.mid(eq + 1).trimmed();
        if (section == QLatin1String("formulas")) {
            QString value;
            layout->formulaDefaults.insert(key.toLower(),
                                           parseFormulaText(rawValue, value) ? value : rawValue);
            continue;
        }
        const QString lowerKey = key.toLower();
        if (section == QLatin1String("page")) {
            const QString value = withoutComment(rawValue);
            bool ok = true;
            if (lowerKey == QLatin1String("size")) {
                if (value.compare(QLatin1String("A4"), Qt::CaseInsensitive) == 0)
                    layout->pageSize = QPageSize::A4;
                else if (value.compare(QLatin1String("A5"), Qt::CaseInsensitive) == 0)
                    layout->pageSize = QPageSize::A5;
                else
                    ok = false;
            } else if (lowerKey == QLatin1String("orientation")) {
                if (value.compare(QLatin1String("portrait"), Qt::CaseInsensitive) == 0)
                    layout->orientation = QPageLayout::Portrait;
                else if (value.compare(QLatin1String("landscape"), Qt::CaseInsensitive) == 0)
                    layout->orientation = QPageLayout::Landscape;
                else
                    ok = false;
            } else if (lowerKey == QLatin1String("margin")) {
                layout->margin = value.toDouble(&ok);
            } else if (lowerKey == QLatin1String("font")) {
                layout->font = value;
                ok = !value.isEmpty();
            } else if (lowerKey == QLatin1String("fontsize")) {
                layout->fontSize = value.toDouble(&ok);
                ok = ok && layout->fontSize > 0;
            } else {
                ok = false;
            }
            if (!ok)
                fail(file, lineNo, QStringLiteral("ค่า %1 ไม่ถูกต้อง").arg(key));
        } else if (section == QLatin1String("group")) {
            if (lowerKey == QLatin1String("by")) {
                layout->groupBy = withoutComment(rawValue);
            } else if (lowerKey == QLatin1String("header")) {
                layout->groupHeader = parseTextLine(rawValue, file, lineNo);
                layout->hasGroupHeader = true;
            } else if (lowerKey == QLatin1String("footer")) {
                layout->groupFooter = parseTextLine(rawValue, file, lineNo);
                layout->hasGroupFooter = true;
            } else if (lowerKey == QLatin1String("caption")) {
                layout->groupCaption = rawValue;
            } else if (lowerKey == QLatin1String("sum")) {
                layout->groupSums = parseNameList(withoutComment(rawValue));
            } else {
                fail(file, lineNo, QStringLiteral("ไม่รู้จัก %1").arg(key));
            }
        } else if (section == QLatin1String("totals")) {
            if (lowerKey == QLatin1String("caption"))
                layout->totalsCaption = rawValue;
            else if (lowerKey == QLatin1String("sum"))
                layout->totalsSums = parseNameList(withoutComment(rawValue));
            else
                fail(file, lineNo, QStringLiteral("ไม่รู้จัก %1").arg(key));
        } else {
            fail(file, lineNo, QStringLiteral("ส่วน [%1] ไม่มีค่า %2").arg(section, key));
        }
    }
    return layout;
}

QString formatNumber(Money value) {
    QString text = value.toText(false);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text;
}

QString formatValue(const QVariant& value, Format format) {
    if (value.isNull())
        return {};
    switch (format) {
    case Format::Money:
        return Money::fromVariant(value).toText(true);
    case Format::Number:
        return formatNumber(Money::fromVariant(value));
    case Format::Date:
        return Library::KeyToThaiDate(value.toString());
    case Format::ShortDate:
        return Library::KeyToShortThaiDate(value.toString());
    case Format::Text:
    case Format::Row:
        break;
    }
    return value.toString();
}

QString formatSum(Money sum, Format format) {
    return format == Format::Number ? formatNumber(sum) : sum.toText(true);
}

class Renderer {
public:
    Renderer(const ReportLayout& layout, const QHash<QString, QString>& formulas,
             const Recordset& records, const QString& file)
        : m_layout(layout), m_formulas(formulas), m_records(records), m_file(file) {}

    std::unique_ptr<QTextDocument> run() {
        checkColumns();
        auto doc = std::make_unique<QTextDocument>();
        QFont font(m_layout.font);
        font.setPointSizeF(m_layout.fontSize);
        doc->setDefaultFont(font);
        doc->setDocumentMargin(0);
        QTextCursor cursor(doc.get());
        const Rows all{&m_records, 0, m_records.RecordCount()};
        for (const TextLine& line : m_layout.header)
            addText(cursor, line, all);
        if (!m_layout.columns.isEmpty())
            addTable(cursor);
        for (const TextLine& line : m_layout.footer)
            addText(cursor, line, all);
        return doc;
    }

private:
    struct Cell {
        QString text;
        Qt::Alignment align = Qt::AlignLeft;
    };
    enum class Kind { Heading, Detail, Merged, Subtotal, Total };
    struct Row {
        Kind kind;
        QList<Cell> cells; // one per column; Merged rows use cells[0] only
        bool bold = false;
        int span = 1; // columns that the first cell covers
    };

    int column(const QString& name) const {
        const int index = m_records.fieldIndex(name);
        if (index < 0)
            throw ReportError(QStringLiteral("รายงาน %1 ไม่มีคอลัมน์ %2 ในข้อมูล").arg(m_file, name));
        return index;
    }

    void checkColumns() const {
        for (const Column& c : m_layout.columns)
            if (c.format != Format::Row)
                column(c.name);
        if (!m_layout.groupBy.isEmpty())
            column(m_layout.groupBy);
        for (const QString& name : m_layout.groupSums + m_layout.totalsSums)
            column(name);
    }

    Money sum(const Rows& rows, const QString& name) const {
        const int index = column(name);
        Money total;
        for (int r = rows.begin; r < rows.end; ++r)
            total += Money::fromVariant(m_records.rows().at(r).at(index));
        return total;
    }

    Format listedFormat(const QString& name) const {
        for (const Column& c : m_layout.columns)
            if (c.name.compare(name, Qt::CaseInsensitive) == 0)
                return c.format;
        return Format::Text;
    }

    QString fill(const QString& text, const Rows& rows) const {
        static const QRegularExpression placeholder(QStringLiteral("\\{([^{}]*)\\}"));
        QString result;
        qsizetype last = 0;
        QRegularExpressionMatchIterator it = placeholder.globalMatch(text);
        while (it.hasNext()) {
            const QRegularExpressionMatch match = it.next();
            result += text.mid(last, match.capturedStart() - last);
            result += placeholderValue(match.captured(1).trimmed(), rows);
            last = match.capturedEnd();
        }
        return result + text.mid(last);
    }

    QString placeholderValue(const QString& name, const Rows& rows) const {
        const QString lower = name.toLower();
        if (lower == QLatin1String("count"))
            return QString::number(rows.end - rows.begin);
        if (lower == QLatin1String("today"))
            return Library::DateToThaiDate(Seams::today());
        if (name.startsWith(QLatin1Char('='))) {
            const QString columnName = name.mid(1).trimmed();
            const int index = column(columnName);
            if (rows.begin >= rows.end)
                return {};
            return formatValue(m_records.rows().at(rows.begin).at(index), listedFormat(columnName));
        }
        if (lower.startsWith(QLatin1String("sum:")))
            return sum(rows, name.mid(4).trimmed()).toText(true);
        if (lower.startsWith(QLatin1String("bahttext:")))
            return Library::BahtText(sum(rows, name.mid(9).trimmed()));
        if (!m_formulas.contains(lower))
            throw ReportError(QStringLiteral("รายงาน %1 ไม่มีฟิลด์สูตร %2").arg(m_file, name));
        return m_formulas.value(lower);
    }

    void applyCharFormat(QTextCursor& cursor, bool bold, double size) const {
        QTextCharFormat format;
        format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
        format.setFontPointSize(size > 0 ? size : m_layout.fontSize);
        cursor.setCharFormat(format);
    }

    void addText(QTextCursor& cursor, const TextLine& line, const Rows& rows) {
        const QString filled = fill(line.text, rows);
        if (filled.trimmed().isEmpty())
            return;
        QString normalised = filled;
        normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        for (const QString& part : normalised.split(QLatin1Char('\n'))) {
            if (!m_firstBlock)
                cursor.insertBlock();
            m_firstBlock = false;
            QTextBlockFormat block;
            block.setAlignment(line.align);
            cursor.setBlockFormat(block);
            applyCharFormat(cursor, line.bold, line.size);
            cursor.insertText(part);
        }
    }

    // A subtotal or total row: the sums in their columns, the caption across the
    // columns before the first sum.
    Row sumRow(Kind kind, const Rows& rows, const QStringList& sums, const QString& caption) const {
        Row row{kind, {}, true, 1};
        for (const Column& c : m_layout.columns) {
            Cell cell{{}, c.align};
            for (const QString& name : sums)
                if (name.compare(c.name, Qt::CaseInsensitive) == 0)
                    cell.text = formatSum(sum(rows, name), c.format);
            row.cells << cell;
        }
        if (caption.isEmpty())
            return row;
        int span = 0;
        while (span < row.cells.size() && row.cells.at(span).text.isEmpty())
            ++span;
        if (span > 0) {
            row.cells[0] = Cell{fill(caption, rows), Qt::AlignLeft};
            row.span = span;
        }
        return row;
    }

    void addDetailRows(QList<Row>& rows, const Rows& range) const {
        for (int r = range.begin; r < range.end; ++r) {
            Row row{Kind::Detail, {}, false, 1};
            for (const Column& c : m_layout.columns) {
                const QString text =
                    c.format == Format::Row
                        ? QString::number(r - range.begin + 1)
                        : formatValue(m_records.rows().at(r).at(column(c.name)), c.format);
                row.cells << Cell{text, c.align};
            }
            rows << row;
        }
    }

    QList<Row> tableRows() const {
        QList<Row> rows;
        Row heading{Kind::Heading, {}, true, 1};
        for (const Column& c : m_layout.columns)
            heading.cells << Cell{c.caption, Qt::AlignHCenter};
        rows << heading;
        const int count = m_records.RecordCount();
        if (m_layout.groupBy.isEmpty()) {
            addDetailRows(rows, Rows{&m_records, 0, count});
        } else {
            const int by = column(m_layout.groupBy);
            int begin = 0;
            while (begin < count) {
                const QString key = m_records.rows().at(begin).at(by).toString();
                int end = begin + 1;
                while (end < count && m_records.rows().at(end).at(by).toString() == key)
                    ++end;
                const Rows group{&m_records, begin, end};
                if (m_layout.hasGroupHeader)
                    rows << mergedRow(m_layout.groupHeader, group);
                addDetailRows(rows, group);
                if (!m_layout.groupSums.isEmpty() || !m_layout.groupCaption.isEmpty())
                    rows << sumRow(Kind::Subtotal, group, m_layout.groupSums,
                                   m_layout.groupCaption);
                if (m_layout.hasGroupFooter)
                    rows << mergedRow(m_layout.groupFooter, group);
                begin = end;
            }
        }
        if (m_layout.hasTotals)
            rows << sumRow(Kind::Total, Rows{&m_records, 0, count}, m_layout.totalsSums,
                           m_layout.totalsCaption);
        return rows;
    }

    Row mergedRow(const TextLine& line, const Rows& group) const {
        return Row{Kind::Merged, {Cell{fill(line.text, group), line.align}}, line.bold, 0};
    }

    void addTable(QTextCursor& cursor) {
        const QList<Row> rows = tableRows();
        if (!m_firstBlock)
            cursor.insertBlock();
        m_firstBlock = false;
        const int columns = static_cast<int>(m_layout.columns.size());
        QTextTableFormat format;
        format.setHeaderRowCount(1);
        format.setBorder(0);
        format.setCellPadding(2);
        format.setCellSpacing(0);
        format.setTopMargin(4);
        format.setBottomMargin(4);
        format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        double totalWidth = 0;
        for (const Column& c : m_layout.columns)
            totalWidth += c.width;
        QList<QTextLength> widths;
        for (const Column& c : m_layout.columns)
            widths << QTextLength(QTextLength::PercentageLength, c.width * 100 / totalWidth);
        format.setColumnWidthConstraints(widths);
        QTextTable* table = cursor.insertTable(static_cast<int>(rows.size()), columns, format);
        for (int r = 0; r < rows.size(); ++r) {
            const Row& row = rows.at(r);
            const int span = row.kind == Kind::Merged ? columns : row.span;
            if (span > 1)
                table->mergeCells(r, 0, 1, span);
            const int cellCount = row.kind == Kind::Merged ? 1 : columns;
            for (int c = 0; c < cellCount; c = c == 0 ? span : c + 1) {
                QTextTableCell cell = table->cellAt(r, c);
                if (row.kind == Kind::Heading || row.kind == Kind::Total) {
                    QTextCharFormat shade = cell.format();
                    shade.setBackground(QColor(0xE8, 0xE8, 0xE8));
                    cell.setFormat(shade);
                }
                QTextCursor cellCursor = cell.firstCursorPosition();
                QTextBlockFormat block;
                block.setAlignment(row.cells.at(c).align);
                cellCursor.setBlockFormat(block);
                applyCharFormat(cellCursor, row.bold, 0);
                cellCursor.insertText(row.cells.at(c).text);
            }
        }
        cursor.movePosition(QTextCursor::End);
    }

    const ReportLayout& m_layout;
    const QHash<QString, QString>& m_formulas;
    const Recordset& m_records;
    QString m_file;
    bool m_firstBlock = true;
};

QString newPdfPath(const QString& folder, const QString& reportFile) {
    QDir().mkpath(folder);
    const QString base = QFileInfo(reportFile).completeBaseName() + QLatin1Char('-') +
                         Seams::now().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = QDir(folder).filePath(base + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(folder).filePath(base + QLatin1Char('-') + QString::number(n) +
                                     QStringLiteral(".pdf"));
    return path;
}

} // namespace

Report::Report() = default;
Report::~Report() = default;

std::unique_ptr<Report> Report::open(const QString& path) {
    QFile file(path);
    const QString name = QFileInfo(path).fileName();
    if (!file.exists())
        throw ReportError(QStringLiteral("ไม่พบไฟล์รายงาน %1").arg(path));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw ReportError(QStringLiteral("เปิดไฟล์รายงาน %1 ไม่ได้").arg(path));
    std::unique_ptr<Report> report(new Report);
    report->m_layout = parseLayout(QString::fromUtf8(file.readAll()), name);
    report->m_path = path;
    report->m_formulas = report->m_layout->formulaDefaults;
    return report;
}

std::unique_ptr<Report> Report::clone() const {
    std::unique_ptr<Report> copy(new Report);
    copy->m_layout = std::make_unique<ReportLayout>(*m_layout);
    copy->m_path = m_path;
    copy->m_formulas = m_formulas;
    copy->m_records = m_records;
    return copy;
}

QString Report::fileName() const {
    return QFileInfo(m_path).fileName();
}

void Report::setFormula(const QString& name, const QString& formulaText) {
    const QString key = name.toLower();
    if (!m_formulas.contains(key))
        throw ReportError(QStringLiteral("รายงาน %1 ไม่มีฟิลด์สูตร %2").arg(fileName(), name));
    QString value;
    if (!parseFormulaText(formulaText, value))
        throw ReportError(QStringLiteral("ค่าของฟิลด์สูตร %1 ในรายงาน %2 ไม่ถูกต้อง: %3")
                              .arg(name, fileName(), formulaText));
    m_formulas.insert(key, value);
}

QString Report::formulaValue(const QString& name) const {
    return m_formulas.value(name.toLower());
}

bool Report::hasFormula(const QString& name) const {
    return m_formulas.contains(name.toLower());
}

void Report::setDataSource(Recordset records) {
    m_records = std::move(records);
}

const Recordset& Report::dataSource() const {
    return m_records;
}

std::unique_ptr<QTextDocument> Report::render() const {
    return Renderer(*m_layout, m_formulas, m_records, fileName()).run();
}

QString Report::toPlainText() const {
    return render()->toPlainText();
}

void Report::setupPrinter(QPrinter& printer) const {
    const double m = m_layout->margin;
    printer.setPageLayout(QPageLayout(QPageSize(m_layout->pageSize), m_layout->orientation,
                                      QMarginsF(m, m, m, m), QPageLayout::Millimeter));
}

int Report::print(QPrinter& printer, int fromPage, int toPage) const {
    std::unique_ptr<QTextDocument> doc = render();
    doc->documentLayout()->setPaintDevice(&printer);
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    doc->setPageSize(page.size());
    const int pages = doc->pageCount();
    const int first = fromPage > 0 ? fromPage : 1;
    const int last = toPage > 0 ? std::min(toPage, pages) : pages;
    QPainter painter;
    if (!painter.begin(&printer))
        throw ReportError(QStringLiteral("พิมพ์รายงาน %1 ไม่ได้").arg(fileName()));
    for (int p = first; p <= last; ++p) {
        if (p > first)
            printer.newPage();
        const QRectF clip(0, (p - 1) * page.height(), page.width(), page.height());
        painter.save();
        painter.translate(0, -clip.top());
        doc->drawContents(&painter, clip);
        painter.restore();
    }
    painter.end();
    return last - first + 1;
}

void Report::printToDestination(int fromPage, int toPage) const {
    const QString folder = Seams::pdfFolder();
    if (!folder.isEmpty()) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(newPdfPath(folder, fileName()));
        printer.setDocName(fileName());
        setupPrinter(printer);
        print(printer, fromPage, toPage);
        return;
    }
    // Without a printer Qt quietly makes a PDF printer with no file; ask first.
    const QPrinterInfo defaultPrinter =
        Seams::printerEnabled() ? QPrinterInfo::defaultPrinter() : QPrinterInfo();
    if (defaultPrinter.isNull())
        throw ReportError(QStringLiteral("ไม่ได้ติดตั้งเครื่องพิมพ์"));
    QPrinter printer(defaultPrinter, QPrinter::HighResolution);
    printer.setCopyCount(1);
    printer.setDocName(fileName());
    setupPrinter(printer);
    print(printer, fromPage, toPage);
}

void Report::printFirstPage() const {
    printToDestination(1, 1);
}

void Report::printAllPages() const {
    printToDestination(0, 0);
}
