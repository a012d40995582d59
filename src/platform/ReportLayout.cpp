#include "platform/ReportLayout.h"

#include "core/Decimal.h"
#include "platform/ReportError.h"

#include <QRegularExpression>
#include <QStringList>

namespace ReportLayout {

bool Template::usesAggregates() const {
    for (const Part& part : parts)
        if (part.kind == Part::Kind::Aggregate || part.kind == Part::Kind::BahtText)
            return true;
    return false;
}

void fail(const QString& file, int line, const QString& what) {
    throw ReportError(QStringLiteral("รายงาน %1 บรรทัดที่ %2: %3").arg(file).arg(line).arg(what));
}

namespace {

bool parseAlign(const QString& word, Qt::Alignment& align) {
    const QString w = word.trimmed().toLower();
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

QString withoutComment(const QString& value) {
    const qsizetype hash = value.indexOf(QLatin1Char('#'));
    return (hash < 0 ? value : value.left(hash)).trimmed();
}

QStringList nameList(const QString& value) {
    QStringList names;
    for (const QString& part : value.split(QLatin1Char(','), Qt::SkipEmptyParts))
        if (!part.trimmed().isEmpty())
            names << part.trimmed();
    return names;
}

// Tokens of an expression: names, numbers, 'text', operators and parentheses.
struct Token {
    enum class Kind { Name, Number, Text, Symbol, End };
    Kind kind = Kind::End;
    QString text;
};

QList<Token> tokenize(const QString& text, bool& ok) {
    QList<Token> tokens;
    ok = true;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const QChar c = text.at(i);
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('\'')) {
            QString value;
            ++i;
            bool closed = false;
            while (i < n) {
                if (text.at(i) == QLatin1Char('\'')) {
                    if (i + 1 < n && text.at(i + 1) == QLatin1Char('\'')) {
                        value += QLatin1Char('\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                value += text.at(i++);
            }
            if (!closed)
                ok = false;
            tokens << Token{Token::Kind::Text, value};
        } else if (c == QLatin1Char('[')) {
            const qsizetype close = text.indexOf(QLatin1Char(']'), i);
            if (close < 0) {
                ok = false;
                return tokens;
            }
            tokens << Token{Token::Kind::Name, text.mid(i + 1, close - i - 1).trimmed()};
            i = close + 1;
        } else if (c.isDigit() ||
                   (c == QLatin1Char('.') && i + 1 < n && text.at(i + 1).isDigit())) {
            const qsizetype start = i;
            while (i < n && (text.at(i).isDigit() || text.at(i) == QLatin1Char('.')))
                ++i;
            tokens << Token{Token::Kind::Number, text.mid(start, i - start)};
        } else if (c.isLetter() || c == QLatin1Char('_')) {
            const qsizetype start = i;
            while (i < n && (text.at(i).isLetterOrNumber() || text.at(i) == QLatin1Char('_') ||
                             text.at(i).isMark()))
                ++i;
            tokens << Token{Token::Kind::Name, text.mid(start, i - start)};
        } else {
            static const QStringList two = {QStringLiteral("<>"), QStringLiteral("<="),
                                            QStringLiteral(">="), QStringLiteral("!=")};
            const QString pair = text.mid(i, 2);
            if (two.contains(pair)) {
                tokens << Token{Token::Kind::Symbol, pair};
                i += 2;
            } else if (QStringLiteral("+-*/()=<>").contains(c)) {
                tokens << Token{Token::Kind::Symbol, QString(c)};
                ++i;
            } else {
                ok = false;
                return tokens;
            }
        }
    }
    tokens << Token{Token::Kind::End, {}};
    return tokens;
}

Part literal(const QString& text) {
    Part part;
    part.text = text;
    return part;
}

class Parser {
public:
    explicit Parser(const QString& file) : m_layout(std::make_shared<Layout>()) {
        m_layout->file = file;
    }

    std::shared_ptr<const Layout> run(const QString& text);

private:
    // The sum row of a group or of the totals as the file gives it: a row of
    // cells, or the older caption with a list of summed columns.
    struct RowSpec {
        bool present = false;
        QList<Template> cells;
        int cellsLine = 0;
        bool hasCaption = false;
        Template caption;
        QStringList sums;
        int sumsLine = 0;
    };

    void sectionLine(const QString& section, const QString& line, int lineNo);
    void keyLine(const QString& section, const QString& key, const QString& raw, int lineNo);
    void pageKey(const QString& key, const QString& value, int lineNo);
    void groupKey(const QString& key, const QString& raw, int lineNo);
    void rowKey(RowSpec& spec, const QString& key, const QString& raw, int lineNo);
    void finish();
    void finishRow(const RowSpec& spec, SumRow& row, QList<int>& scope);

    TextLine textLine(const QString& definition, int lineNo);
    Template compile(const QString& text, int lineNo);
    Part placeholder(const QString& inside, int lineNo);
    int aggregate(Aggregate::Kind kind, const QString& column, const QString& condition,
                  int lineNo);
    int ref(const QString& name, int lineNo);
    SortKey sortKey(const QString& text, int lineNo);
    int expression(const QString& text, int lineNo, bool condition);
    Format format(const QString& text, QString& map, int lineNo);

    // Recursive descent over m_tokens.
    int orExpr();
    int andExpr();
    int notExpr();
    int comparison();
    int sum();
    int product();
    int unary();
    int primary();
    int node(Expr::Op op, int left = -1, int right = -1);
    enum class Kind { Value, Text, Condition, Invalid };
    Kind kindOf(int node) const;
    bool accept(const QString& symbol);
    bool acceptWord(const char* word);
    [[noreturn]] void bad() const;

    std::shared_ptr<Layout> m_layout;
    QList<RowSpec> m_groupRows;
    QList<int> m_groupLines;
    RowSpec m_totalsRow;
    QList<int>* m_scope = nullptr; // where aggregates of the current line belong
    QString m_mapName;
    QList<QPair<QString, int>> m_formulaUses; // name, line
    QHash<QString, int> m_aggregateKeys;
    QList<Token> m_tokens;
    qsizetype m_pos = 0;
    int m_exprLine = 0;
};

std::shared_ptr<const Layout> Parser::run(const QString& text) {
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
            const QString name = trimmed.mid(1, trimmed.size() - 2).simplified();
            section = name.toLower();
            static const QStringList known = {
                QStringLiteral("page"),       QStringLiteral("formulas"),
                QStringLiteral("pageheader"), QStringLiteral("pagefooter"),
                QStringLiteral("header"),     QStringLiteral("footer"),
                QStringLiteral("columns"),    QStringLiteral("compute"),
                QStringLiteral("sort"),       QStringLiteral("group"),
                QStringLiteral("totals"),     QStringLiteral("details")};
            if (section.startsWith(QLatin1String("map "))) {
                m_mapName = section.mid(4).trimmed();
                if (m_layout->maps.contains(m_mapName))
                    fail(m_layout->file, lineNo, QStringLiteral("มีแผนที่ค่า %1 แล้ว").arg(m_mapName));
                m_layout->maps.insert(m_mapName, {});
                section = QStringLiteral("map");
                continue;
            }
            if (!known.contains(section))
                fail(m_layout->file, lineNo, QStringLiteral("ไม่รู้จักส่วน [%1]").arg(name));
            if (section == QLatin1String("group")) {
                m_layout->groups.append(Group{});
                m_groupRows.append(RowSpec{});
                m_groupLines.append(lineNo);
            } else if (section == QLatin1String("totals")) {
                m_totalsRow.present = true;
            }
            continue;
        }
        sectionLine(section, trimmed, lineNo);
    }
    finish();
    return m_layout;
}

void Parser::sectionLine(const QString& section, const QString& line, int lineNo) {
    Layout& L = *m_layout;
    m_scope = &L.reportAggregates;
    if (section == QLatin1String("pageheader"))
        L.pageHeader << textLine(line, lineNo);
    else if (section == QLatin1String("pagefooter"))
        L.pageFooter << textLine(line, lineNo);
    else if (section == QLatin1String("header"))
        L.header << textLine(line, lineNo);
    else if (section == QLatin1String("footer"))
        L.footer << textLine(line, lineNo);
    else if (section == QLatin1String("columns")) {
        const QStringList cells = line.split(QLatin1Char('|'));
        if (cells.size() < 3)
            fail(L.file, lineNo,
                 QStringLiteral("ต้องเป็น \"Column | caption | width | align | format\""));
        Column column;
        column.name = cells.at(0).trimmed();
        column.caption = cells.at(1).trimmed();
        column.line = lineNo;
        bool ok = false;
        column.width = cells.at(2).trimmed().toDouble(&ok);
        if (!ok || column.width <= 0)
            fail(L.file, lineNo, QStringLiteral("ความกว้างไม่ถูกต้อง"));
        if (cells.size() > 3 && !parseAlign(cells.at(3), column.align))
            fail(L.file, lineNo, QStringLiteral("ไม่รู้จักการจัดวาง"));
        if (cells.size() > 4)
            column.format = format(cells.at(4), column.map, lineNo);
        if (cells.size() > 5) {
            if (cells.at(5).trimmed() != QLatin1String("wrap"))
                fail(L.file, lineNo, QStringLiteral("ไม่รู้จัก %1").arg(cells.at(5).trimmed()));
            column.wrap = true;
        }
        if (cells.size() > 6)
            fail(L.file, lineNo, QStringLiteral("คอลัมน์มีส่วนเกิน"));
        L.columns << column;
    } else {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (section.isEmpty() || eq < 0)
            fail(L.file, lineNo, QStringLiteral("ต้องเป็น \"name = value\""));
        keyLine(section, line.left(eq).trimmed(), line.mid(eq + 1).trimmed(), lineNo);
    }
}

void Parser::keyLine(const QString& section, const QString& key, const QString& raw, int lineNo) {
    Layout& L = *m_layout;
    const QString lowerKey = key.toLower();
    if (section == QLatin1String("formulas")) {
        QString value;
        L.formulaDefaults.insert(lowerKey, parseFormulaText(raw, value) ? value : raw);
    } else if (section == QLatin1String("map")) {
        L.maps[m_mapName].insert(key, raw);
    } else if (section == QLatin1String("page")) {
        pageKey(lowerKey, withoutComment(raw), lineNo);
    } else if (section == QLatin1String("compute")) {
        for (const Computed& c : L.computed)
            if (c.name.compare(key, Qt::CaseInsensitive) == 0)
                fail(L.file, lineNo, QStringLiteral("ชื่อ %1 ซ้ำ").arg(key));
        L.computed << Computed{key, expression(withoutComment(raw), lineNo, false), lineNo};
    } else if (section == QLatin1String("sort") && lowerKey == QLatin1String("by")) {
        for (const QString& name : nameList(withoutComment(raw)))
            L.sort << sortKey(name, lineNo);
    } else if (section == QLatin1String("details") && lowerKey == QLatin1String("print")) {
        const QString value = withoutComment(raw).toLower();
        if (value != QLatin1String("yes") && value != QLatin1String("no"))
            fail(L.file, lineNo, QStringLiteral("print ต้องเป็น yes หรือ no"));
        L.details = value == QLatin1String("yes");
    } else if (section == QLatin1String("group")) {
        m_scope = &L.groups.last().aggregates;
        groupKey(lowerKey, raw, lineNo);
    } else if (section == QLatin1String("totals")) {
        rowKey(m_totalsRow, lowerKey, raw, lineNo);
    } else {
        fail(L.file, lineNo, QStringLiteral("ส่วน [%1] ไม่มีค่า %2").arg(section, key));
    }
}

void Parser::pageKey(const QString& key, const QString& value, int lineNo) {
    Layout& L = *m_layout;
    bool ok = true;
    if (key == QLatin1String("size")) {
        if (value.compare(QLatin1String("A4"), Qt::CaseInsensitive) == 0)
            L.pageSize = QPageSize::A4;
        else if (value.compare(QLatin1String("A5"), Qt::CaseInsensitive) == 0)
            L.pageSize = QPageSize::A5;
        else
            ok = false;
    } else if (key == QLatin1String("orientation")) {
        if (value.compare(QLatin1String("portrait"), Qt::CaseInsensitive) == 0)
            L.orientation = QPageLayout::Portrait;
        else if (value.compare(QLatin1String("landscape"), Qt::CaseInsensitive) == 0)
            L.orientation = QPageLayout::Landscape;
        else
            ok = false;
    } else if (key == QLatin1String("margin")) {
        L.margin = value.toDouble(&ok);
        ok = ok && L.margin >= 0;
    } else if (key == QLatin1String("font")) {
        L.font = value;
        ok = !value.isEmpty();
    } else if (key == QLatin1String("fontsize")) {
        L.fontSize = value.toDouble(&ok);
        ok = ok && L.fontSize > 0;
    } else {
        fail(L.file, lineNo, QStringLiteral("ส่วน [page] ไม่มีค่า %1").arg(key));
    }
    if (!ok)
        fail(L.file, lineNo, QStringLiteral("ค่า %1 ไม่ถูกต้อง").arg(key));
}

void Parser::groupKey(const QString& key, const QString& raw, int lineNo) {
    Group& group = m_layout->groups.last();
    if (key == QLatin1String("by")) {
        if (group.key.ref >= 0)
            fail(m_layout->file, lineNo, QStringLiteral("กลุ่มหนึ่งจัดตามคอลัมน์เดียว"));
        group.key = sortKey(withoutComment(raw), lineNo);
    } else if (key == QLatin1String("header")) {
        group.header << textLine(raw, lineNo);
    } else if (key == QLatin1String("footer")) {
        group.footer << textLine(raw, lineNo);
    } else {
        rowKey(m_groupRows.last(), key, raw, lineNo);
    }
}

void Parser::rowKey(RowSpec& spec, const QString& key, const QString& raw, int lineNo) {
    if (key == QLatin1String("caption")) {
        spec.hasCaption = true;
        spec.caption = compile(raw, lineNo);
    } else if (key == QLatin1String("sum")) {
        spec.sums = nameList(withoutComment(raw));
        spec.sumsLine = lineNo;
    } else if (key == QLatin1String("row")) {
        spec.cells.clear();
        for (const QString& cell : raw.split(QLatin1Char('|')))
            spec.cells << compile(cell.trimmed(), lineNo);
        spec.cellsLine = lineNo;
    } else {
        fail(m_layout->file, lineNo, QStringLiteral("ไม่รู้จัก %1").arg(key));
    }
}

TextLine Parser::textLine(const QString& definition, int lineNo) {
    const qsizetype bar = definition.indexOf(QLatin1Char('|'));
    if (bar < 0)
        fail(m_layout->file, lineNo, QStringLiteral("ต้องเป็น \"align | text\""));
    TextLine line;
    const QStringList words =
        definition.left(bar).simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty() || !parseAlign(words.first(), line.align))
        fail(m_layout->file, lineNo, QStringLiteral("ไม่รู้จักการจัดวาง"));
    for (int i = 1; i < words.size(); ++i) {
        const QString w = words.at(i).toLower();
        if (w == QLatin1String("bold")) {
            line.bold = true;
        } else if (w == QLatin1String("size") && i + 1 < words.size()) {
            bool ok = false;
            line.size = words.at(++i).toDouble(&ok);
            if (!ok || line.size <= 0)
                fail(m_layout->file, lineNo, QStringLiteral("ขนาดตัวอักษรไม่ถูกต้อง"));
        } else {
            fail(m_layout->file, lineNo, QStringLiteral("ไม่รู้จัก \"%1\"").arg(words.at(i)));
        }
    }
    line.text = compile(definition.mid(bar + 1).trimmed(), lineNo);
    return line;
}

Template Parser::compile(const QString& text, int lineNo) {
    Template result;
    result.line = lineNo;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype open = text.indexOf(QLatin1Char('{'), pos);
        const qsizetype close = open < 0 ? -1 : text.indexOf(QLatin1Char('}'), open);
        if (open < 0 || close < 0) {
            result.parts << literal(text.mid(pos));
            break;
        }
        if (open > pos)
            result.parts << literal(text.mid(pos, open - pos));
        result.parts << placeholder(text.mid(open + 1, close - open - 1).trimmed(), lineNo);
        pos = close + 1;
    }
    return result;
}

Part Parser::placeholder(const QString& inside, int lineNo) {
    static const QRegularExpression where(QStringLiteral("\\s+where\\s+"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QString lower = inside.toLower();
    Part part;
    if (lower == QLatin1String("today")) {
        part.kind = Part::Kind::Today;
    } else if (lower == QLatin1String("page")) {
        part.kind = Part::Kind::Page;
    } else if (lower == QLatin1String("pages")) {
        part.kind = Part::Kind::Pages;
    } else if (inside.startsWith(QLatin1Char('='))) {
        part.kind = Part::Kind::Value;
        part.ref = ref(inside.mid(1).trimmed(), lineNo);
    } else if (lower == QLatin1String("count") || lower.startsWith(QLatin1String("count "))) {
        const QRegularExpressionMatch match = where.match(inside);
        if (lower != QLatin1String("count") && (!match.hasMatch() || match.capturedStart() != 5))
            fail(m_layout->file, lineNo, QStringLiteral("ไม่รู้จัก {%1}").arg(inside));
        part.kind = Part::Kind::Aggregate;
        part.aggregate =
            aggregate(Aggregate::Kind::Count, {},
                      match.hasMatch() ? inside.mid(match.capturedEnd()) : QString(), lineNo);
    } else if (const qsizetype colon = inside.indexOf(QLatin1Char(':')); colon > 0) {
        const QString function = lower.left(colon).trimmed();
        const QString rest = inside.mid(colon + 1);
        const QRegularExpressionMatch match = where.match(rest);
        const QString column =
            (match.hasMatch() ? rest.left(match.capturedStart()) : rest).trimmed();
        const QString condition = match.hasMatch() ? rest.mid(match.capturedEnd()) : QString();
        if (function == QLatin1String("sum") || function == QLatin1String("bahttext")) {
            part.kind =
                function == QLatin1String("sum") ? Part::Kind::Aggregate : Part::Kind::BahtText;
            part.format = Format::Money;
            part.aggregate = aggregate(Aggregate::Kind::Sum, column, condition, lineNo);
        } else if (function == QLatin1String("distinct")) {
            part.kind = Part::Kind::Aggregate;
            part.aggregate = aggregate(Aggregate::Kind::Distinct, column, condition, lineNo);
        } else {
            fail(m_layout->file, lineNo, QStringLiteral("ไม่รู้จัก {%1}").arg(inside));
        }
    } else {
        part.kind = Part::Kind::Formula;
        part.text = lower;
        m_formulaUses << qMakePair(inside, lineNo);
    }
    return part;
}

int Parser::aggregate(Aggregate::Kind kind, const QString& column, const QString& condition,
                      int lineNo) {
    if (kind != Aggregate::Kind::Count && column.isEmpty())
        fail(m_layout->file, lineNo, QStringLiteral("ไม่ได้ระบุคอลัมน์"));
    Aggregate a;
    a.kind = kind;
    if (!column.isEmpty())
        a.ref = ref(column, lineNo);
    if (!condition.trimmed().isEmpty())
        a.condition = expression(condition, lineNo, true);
    // The same total written twice is worked out once.
    const QString key = QString::number(static_cast<int>(kind)) + QLatin1Char('|') +
                        column.toLower() + QLatin1Char('|') + condition.simplified();
    int index = m_aggregateKeys.value(key, -1);
    if (index < 0) {
        m_layout->aggregates << a;
        index = static_cast<int>(m_layout->aggregates.size() - 1);
        m_aggregateKeys.insert(key, index);
    }
    if (!m_scope->contains(index))
        m_scope->append(index);
    return index;
}

int Parser::ref(const QString& name, int lineNo) {
    if (name.isEmpty())
        fail(m_layout->file, lineNo, QStringLiteral("ไม่ได้ระบุคอลัมน์"));
    m_layout->refs << ColumnRef{name, lineNo};
    return static_cast<int>(m_layout->refs.size() - 1);
}

SortKey Parser::sortKey(const QString& text, int lineNo) {
    QStringList words = text.simplified().split(QLatin1Char(' '));
    SortKey key;
    if (words.size() == 2 &&
        words.last().compare(QLatin1String("desc"), Qt::CaseInsensitive) == 0) {
        key.descending = true;
        words.removeLast();
    } else if (words.size() == 2 &&
               words.last().compare(QLatin1String("asc"), Qt::CaseInsensitive) == 0) {
        words.removeLast();
    }
    if (words.size() != 1)
        fail(m_layout->file, lineNo, QStringLiteral("ต้องเป็น \"Column\" หรือ \"Column desc\""));
    key.ref = ref(words.first(), lineNo);
    return key;
}

Format Parser::format(const QString& text, QString& map, int lineNo) {
    const QString w = text.simplified().toLower();
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
    if (w.startsWith(QLatin1String("map "))) {
        map = w.mid(4).trimmed();
        return Format::Map;
    }
    fail(m_layout->file, lineNo, QStringLiteral("ไม่รู้จักรูปแบบ \"%1\"").arg(text.trimmed()));
}

int Parser::expression(const QString& text, int lineNo, bool condition) {
    bool ok = false;
    m_tokens = tokenize(text, ok);
    m_pos = 0;
    m_exprLine = lineNo;
    if (!ok)
        bad();
    const int root = condition ? orExpr() : sum();
    if (m_tokens.at(m_pos).kind != Token::Kind::End)
        bad();
    if (kindOf(root) != (condition ? Kind::Condition : Kind::Value))
        fail(m_layout->file, lineNo,
             condition ? QStringLiteral("ต้องเป็นเงื่อนไข เช่น IsCancel <> '1'")
                       : QStringLiteral("ต้องเป็นการคำนวณ เช่น CoursePrice - CoursePayAmt"));
    return root;
}

// Arithmetic takes values, comparisons take values or texts, and/or/not take conditions.
Parser::Kind Parser::kindOf(int index) const {
    const Expr& e = m_layout->exprs.at(index);
    switch (e.op) {
    case Expr::Op::Number:
    case Expr::Op::Field:
        return Kind::Value;
    case Expr::Op::Text:
        return Kind::Text;
    case Expr::Op::Negate:
        return kindOf(e.left) == Kind::Value ? Kind::Value : Kind::Invalid;
    case Expr::Op::Add:
    case Expr::Op::Subtract:
    case Expr::Op::Multiply:
    case Expr::Op::Divide:
        return kindOf(e.left) == Kind::Value && kindOf(e.right) == Kind::Value ? Kind::Value
                                                                               : Kind::Invalid;
    case Expr::Op::And:
    case Expr::Op::Or:
        return kindOf(e.left) == Kind::Condition && kindOf(e.right) == Kind::Condition
                   ? Kind::Condition
                   : Kind::Invalid;
    case Expr::Op::Not:
        return kindOf(e.left) == Kind::Condition ? Kind::Condition : Kind::Invalid;
    default: {
        const Kind left = kindOf(e.left);
        const Kind right = kindOf(e.right);
        const bool operands = (left == Kind::Value || left == Kind::Text) &&
                              (right == Kind::Value || right == Kind::Text);
        return operands ? Kind::Condition : Kind::Invalid;
    }
    }
}

void Parser::bad() const {
    fail(m_layout->file, m_exprLine, QStringLiteral("นิพจน์ไม่ถูกต้อง"));
}

bool Parser::accept(const QString& symbol) {
    const Token& t = m_tokens.at(m_pos);
    if (t.kind == Token::Kind::Symbol && t.text == symbol) {
        ++m_pos;
        return true;
    }
    return false;
}

bool Parser::acceptWord(const char* word) {
    const Token& t = m_tokens.at(m_pos);
    if (t.kind == Token::Kind::Name &&
        t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0) {
        ++m_pos;
        return true;
    }
    return false;
}

int Parser::node(Expr::Op op, int left, int right) {
    Expr e;
    e.op = op;
    e.left = left;
    e.right = right;
    m_layout->exprs << e;
    return static_cast<int>(m_layout->exprs.size() - 1);
}

int Parser::orExpr() {
    int left = andExpr();
    while (acceptWord("or"))
        left = node(Expr::Op::Or, left, andExpr());
    return left;
}

int Parser::andExpr() {
    int left = notExpr();
    while (acceptWord("and"))
        left = node(Expr::Op::And, left, notExpr());
    return left;
}

int Parser::notExpr() {
    if (acceptWord("not"))
        return node(Expr::Op::Not, notExpr());
    return comparison();
}

int Parser::comparison() {
    const int left = sum();
    static const QList<QPair<QString, Expr::Op>> ops = {
        {QStringLiteral("="), Expr::Op::Equal},        {QStringLiteral("<>"), Expr::Op::NotEqual},
        {QStringLiteral("!="), Expr::Op::NotEqual},    {QStringLiteral("<"), Expr::Op::Less},
        {QStringLiteral("<="), Expr::Op::LessEqual},   {QStringLiteral(">"), Expr::Op::Greater},
        {QStringLiteral(">="), Expr::Op::GreaterEqual}};
    for (const auto& [symbol, op] : ops)
        if (accept(symbol))
            return node(op, left, sum());
    return left;
}

int Parser::sum() {
    int left = product();
    for (;;) {
        if (accept(QStringLiteral("+")))
            left = node(Expr::Op::Add, left, product());
        else if (accept(QStringLiteral("-")))
            left = node(Expr::Op::Subtract, left, product());
        else
            return left;
    }
}

int Parser::product() {
    int left = unary();
    for (;;) {
        if (accept(QStringLiteral("*")))
            left = node(Expr::Op::Multiply, left, unary());
        else if (accept(QStringLiteral("/")))
            left = node(Expr::Op::Divide, left, unary());
        else
            return left;
    }
}

int Parser::unary() {
    if (accept(QStringLiteral("-")))
        return node(Expr::Op::Negate, unary());
    return primary();
}

int Parser::primary() {
    const Token t = m_tokens.at(m_pos);
    if (accept(QStringLiteral("("))) {
        const int inner = orExpr();
        if (!accept(QStringLiteral(")")))
            bad();
        return inner;
    }
    if (t.kind == Token::Kind::Number) {
        ++m_pos;
        std::int64_t satang = 0;
        if (!Library::ParseDecimal(t.text, 2, satang))
            bad();
        const int n = node(Expr::Op::Number);
        m_layout->exprs[n].number = Money::fromSatang(satang);
        return n;
    }
    if (t.kind == Token::Kind::Text) {
        ++m_pos;
        const int n = node(Expr::Op::Text);
        m_layout->exprs[n].text = t.text;
        return n;
    }
    static const QStringList keywords = {QStringLiteral("and"), QStringLiteral("or"),
                                         QStringLiteral("not")};
    if (t.kind == Token::Kind::Name && !keywords.contains(t.text.toLower())) {
        ++m_pos;
        const int n = node(Expr::Op::Field);
        m_layout->exprs[n].ref = ref(t.text, m_exprLine);
        return n;
    }
    bad();
}

void Parser::finishRow(const RowSpec& spec, SumRow& row, QList<int>& scope) {
    const Layout& L = *m_layout;
    const qsizetype columns = L.columns.size();
    row.present = spec.present || spec.hasCaption || !spec.sums.isEmpty() || !spec.cells.isEmpty();
    if (!row.present)
        return;
    for (const Column& c : L.columns) {
        row.cells << Template{};
        row.align << c.align;
    }
    if (!spec.cells.isEmpty()) {
        if (spec.cells.size() > columns)
            fail(L.file, spec.cellsLine,
                 QStringLiteral("มี %1 ช่อง แต่มี %2 คอลัมน์").arg(spec.cells.size()).arg(columns));
        for (qsizetype c = 0; c < spec.cells.size(); ++c)
            row.cells[c] = spec.cells.at(c);
        return;
    }
    m_scope = &scope;
    for (const QString& name : spec.sums) {
        qsizetype c = 0;
        while (c < columns && L.columns.at(c).name.compare(name, Qt::CaseInsensitive) != 0)
            ++c;
        if (c == columns)
            fail(L.file, spec.sumsLine, QStringLiteral("คอลัมน์ %1 ไม่อยู่ใน [columns]").arg(name));
        Part part;
        part.kind = Part::Kind::Aggregate;
        part.format = L.columns.at(c).format == Format::Number ? Format::Number : Format::Money;
        part.aggregate = aggregate(Aggregate::Kind::Sum, name, {}, spec.sumsLine);
        row.cells[c] = Template{{part}, spec.sumsLine};
    }
    if (spec.hasCaption && columns > 0 && row.cells.first().isEmpty()) {
        row.cells[0] = spec.caption;
        row.align[0] = Qt::AlignLeft;
    }
}

void Parser::finish() {
    Layout& L = *m_layout;
    for (qsizetype g = 0; g < L.groups.size(); ++g) {
        if (L.groups.at(g).key.ref < 0)
            fail(L.file, m_groupLines.at(g), QStringLiteral("กลุ่มนี้ไม่มี by"));
        finishRow(m_groupRows.at(g), L.groups[g].row, L.groups[g].aggregates);
    }
    finishRow(m_totalsRow, L.totals, L.reportAggregates);
    for (const Column& c : L.columns)
        if (c.format == Format::Map && !L.maps.contains(c.map))
            fail(L.file, c.line, QStringLiteral("ไม่มีแผนที่ค่า %1").arg(c.map));
    if (L.details)
        for (Column& c : L.columns)
            if (c.format != Format::Row)
                c.ref = ref(c.name, c.line);
    for (const auto& [name, line] : m_formulaUses)
        if (!L.formulaDefaults.contains(name.toLower()))
            fail(L.file, line, QStringLiteral("ไม่มีฟิลด์สูตร %1").arg(name));

    auto computedIndex = [&](const QString& name) {
        for (qsizetype i = 0; i < L.computed.size(); ++i)
            if (L.computed.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
                return static_cast<int>(i);
        return -1;
    };
    // A computed column reads only the data and the computed columns before it.
    for (qsizetype i = 0; i < L.computed.size(); ++i) {
        QList<int> pending = {L.computed.at(i).expr};
        while (!pending.isEmpty()) {
            const Expr& e = L.exprs.at(pending.takeLast());
            if (e.op == Expr::Op::Field && computedIndex(L.refs.at(e.ref).name) >= i)
                fail(L.file, L.computed.at(i).line,
                     QStringLiteral("ใช้ %1 ก่อนที่จะคำนวณ").arg(L.refs.at(e.ref).name));
            for (int child : {e.left, e.right})
                if (child >= 0)
                    pending << child;
        }
    }
    // Rows are sorted and grouped by the data's own columns.
    QList<SortKey> keys = L.sort;
    for (const Group& g : L.groups)
        keys << g.key;
    for (const SortKey& key : keys)
        if (computedIndex(L.refs.at(key.ref).name) >= 0)
            fail(L.file, L.refs.at(key.ref).line,
                 QStringLiteral("จัดเรียงหรือจัดกลุ่มด้วยคอลัมน์ที่คำนวณ (%1) ไม่ได้")
                     .arg(L.refs.at(key.ref).name));

    // A shown value takes the format of its listed column.
    auto resolve = [&](Template& t) {
        for (Part& part : t.parts) {
            if (part.kind != Part::Kind::Value)
                continue;
            const QString& name = L.refs.at(part.ref).name;
            part.format = computedIndex(name) >= 0 ? Format::Money : Format::Text;
            for (const Column& c : L.columns)
                if (c.name.compare(name, Qt::CaseInsensitive) == 0 && c.format != Format::Row) {
                    part.format = c.format;
                    part.map = c.map;
                }
        }
    };
    for (QList<TextLine>* lines : {&L.pageHeader, &L.pageFooter, &L.header, &L.footer})
        for (TextLine& line : *lines)
            resolve(line.text);
    for (Group& g : L.groups) {
        for (QList<TextLine>* lines : {&g.header, &g.footer})
            for (TextLine& line : *lines)
                resolve(line.text);
        for (Template& t : g.row.cells)
            resolve(t);
    }
    for (Template& t : L.totals.cells)
        resolve(t);
}

} // namespace

std::shared_ptr<const Layout> parse(const QString& text, const QString& file) {
    return Parser(file).run(text);
}

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

} // namespace ReportLayout
