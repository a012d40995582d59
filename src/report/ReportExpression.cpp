#include "report/ReportExpression.h"

#include "core/LibraryCore.h"
#include "core/ThaiOrder.h"
#include "report/ReportRows.h"

#include <QLocale>
#include <cmath>

using namespace ReportLayout;
using ReportEngine::isNumber;

namespace ReportExpression {

namespace {

// A number text in plain digits ("-12.5"), to the billionth.
Exact parseExact(const QString& text) {
    const bool negative = text.startsWith(QLatin1Char('-'));
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    Exact whole = 0;
    for (qsizetype i = negative ? 1 : 0; i < (point < 0 ? text.size() : point); ++i)
        whole = whole * 10 + (text.at(i).unicode() - u'0');
    Exact fraction = 0;
    const QString digits = point < 0 ? QString() : text.mid(point + 1);
    for (int i = 0; i < 9; ++i)
        fraction = fraction * 10 + (i < digits.size() ? digits.at(i).unicode() - u'0' : 0);
    if (digits.size() > 9 && digits.at(9) >= QLatin1Char('5'))
        ++fraction;
    const Exact value = whole * billionth + fraction;
    return negative ? -value : value;
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
            if (!readQuoted(text, i, value))
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

// Recursive descent over an expression's tokens into the layout's nodes.
class ExpressionParser {
public:
    ExpressionParser(Layout& layout, int line) : m_layout(layout), m_line(line) {}

    int read(const QString& text, bool condition);

private:
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

    Layout& m_layout;
    QList<Token> m_tokens;
    qsizetype m_pos = 0;
    int m_line = 0;
};

int ExpressionParser::read(const QString& text, bool condition) {
    bool ok = false;
    m_tokens = tokenize(text, ok);
    m_pos = 0;
    if (!ok)
        bad();
    const int root = condition ? orExpr() : sum();
    if (m_tokens.at(m_pos).kind != Token::Kind::End)
        bad();
    if (kindOf(root) != (condition ? Kind::Condition : Kind::Value))
        fail(m_layout.file, m_line,
             condition ? QStringLiteral("ต้องเป็นเงื่อนไข เช่น IsCancel <> '1'")
                       : QStringLiteral("ต้องเป็นการคำนวณ เช่น CoursePrice - CoursePayAmt"));
    return root;
}

// Arithmetic takes values, comparisons take values or texts, and/or/not take conditions.
ExpressionParser::Kind ExpressionParser::kindOf(int index) const {
    const Expr& e = m_layout.exprs.at(index);
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

void ExpressionParser::bad() const {
    fail(m_layout.file, m_line, QStringLiteral("นิพจน์ไม่ถูกต้อง"));
}

bool ExpressionParser::accept(const QString& symbol) {
    const Token& t = m_tokens.at(m_pos);
    if (t.kind == Token::Kind::Symbol && t.text == symbol) {
        ++m_pos;
        return true;
    }
    return false;
}

bool ExpressionParser::acceptWord(const char* word) {
    const Token& t = m_tokens.at(m_pos);
    if (t.kind == Token::Kind::Name &&
        t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0) {
        ++m_pos;
        return true;
    }
    return false;
}

int ExpressionParser::node(Expr::Op op, int left, int right) {
    Expr e;
    e.op = op;
    e.left = left;
    e.right = right;
    m_layout.exprs << e;
    return static_cast<int>(m_layout.exprs.size() - 1);
}

int ExpressionParser::orExpr() {
    int left = andExpr();
    while (acceptWord("or"))
        left = node(Expr::Op::Or, left, andExpr());
    return left;
}

int ExpressionParser::andExpr() {
    int left = notExpr();
    while (acceptWord("and"))
        left = node(Expr::Op::And, left, notExpr());
    return left;
}

int ExpressionParser::notExpr() {
    if (acceptWord("not"))
        return node(Expr::Op::Not, notExpr());
    return comparison();
}

int ExpressionParser::comparison() {
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

int ExpressionParser::sum() {
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

int ExpressionParser::product() {
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

int ExpressionParser::unary() {
    if (accept(QStringLiteral("-")))
        return node(Expr::Op::Negate, unary());
    return primary();
}

int ExpressionParser::primary() {
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
        m_layout.exprs[n].number = Money::fromSatang(satang);
        return n;
    }
    if (t.kind == Token::Kind::Text) {
        ++m_pos;
        const int n = node(Expr::Op::Text);
        m_layout.exprs[n].text = t.text;
        return n;
    }
    static const QStringList keywords = {QStringLiteral("and"), QStringLiteral("or"),
                                         QStringLiteral("not")};
    if (t.kind == Token::Kind::Name && !keywords.contains(t.text.toLower())) {
        ++m_pos;
        const int n = node(Expr::Op::Field);
        m_layout.exprs[n].ref = addRef(m_layout, t.text, m_line);
        return n;
    }
    bad();
}

} // namespace

Wide divideRounded(Wide numerator, Wide denominator) {
    Wide quotient = numerator / denominator;
    const Wide remainder = numerator % denominator;
    const Wide twice = remainder < 0 ? -2 * remainder : 2 * remainder;
    if (twice >= (denominator < 0 ? -denominator : denominator))
        quotient += (numerator < 0) == (denominator < 0) ? 1 : -1;
    return quotient;
}

Exact exactOfSatang(std::int64_t satang) {
    return Exact(satang) * billionthsPerSatang;
}

Money moneyOf(Exact value) {
    return Money::fromSatang(static_cast<std::int64_t>(divideRounded(value, billionthsPerSatang)));
}

Exact exactOf(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return 0;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return Exact(value.toLongLong()) * billionth;
    case QMetaType::Double:
    case QMetaType::Float:
        break;
    default:
        return exactOfSatang(Money::fromVariant(value).satang());
    }
    const double number = value.toDouble();
    // Below a million the billionths are within a double's precision.
    if (std::fabs(number) < 1e6)
        return Exact(std::llround(number * billionth));
    const double satang = std::round(number * 100);
    if (satang / 100 == number && std::fabs(satang) <= double(Money::maxSatang))
        return exactOfSatang(static_cast<std::int64_t>(satang));
    Money::fromVariant(value); // throws outside the range stored
    return parseExact(QString::number(number, 'f', QLocale::FloatingPointShortest));
}

QString exactText(Exact value) {
    const bool negative = value < 0;
    Exact magnitude = negative ? -value : value;
    const auto fraction = static_cast<std::int64_t>(magnitude % billionth);
    Exact whole = magnitude / billionth;
    QString digits;
    do {
        digits.prepend(QChar(u'0' + static_cast<char16_t>(whole % 10)));
        whole /= 10;
    } while (whole > 0);
    if (fraction != 0) {
        QString decimals = QStringLiteral("%1").arg(fraction, 9, 10, QLatin1Char('0'));
        while (decimals.endsWith(QLatin1Char('0')))
            decimals.chop(1);
        digits += QLatin1Char('.') + decimals;
    }
    return negative ? QLatin1Char('-') + digits : digits;
}

QVariant storedOf(Exact value) {
    if (value % billionthsPerSatang == 0) {
        const Wide satang = value / billionthsPerSatang;
        if (satang > -(Wide(1) << 53) && satang < (Wide(1) << 53))
            return double(static_cast<std::int64_t>(satang)) / 100;
    }
    return exactText(value).toDouble();
}

bool readQuoted(const QString& text, qsizetype& pos, QString& value) {
    const QChar quote = text.at(pos);
    const qsizetype size = text.size();
    ++pos;
    while (pos < size) {
        if (text.at(pos) == quote) {
            if (pos + 1 < size && text.at(pos + 1) == quote) {
                value += quote;
                pos += 2;
                continue;
            }
            ++pos;
            return true;
        }
        value += text.at(pos++);
    }
    return false;
}

int parse(Layout& layout, const QString& text, int line, bool condition) {
    return ExpressionParser(layout, line).read(text, condition);
}

Evaluator::Evaluator(const QList<Expr>& exprs, const QList<int>& fieldOfRef)
    : m_exprs(exprs), m_fieldOfRef(fieldOfRef) {}

bool Evaluator::truth(int index, const QVariantList& row) const {
    const Expr& e = m_exprs.at(index);
    switch (e.op) {
    case Expr::Op::And:
        return truth(e.left, row) && truth(e.right, row);
    case Expr::Op::Or:
        return truth(e.left, row) || truth(e.right, row);
    case Expr::Op::Not:
        return !truth(e.left, row);
    default:
        break;
    }
    const int c = compare(evaluate(e.left, row), evaluate(e.right, row));
    switch (e.op) {
    case Expr::Op::Equal:
        return c == 0;
    case Expr::Op::NotEqual:
        return c != 0;
    case Expr::Op::Less:
        return c < 0;
    case Expr::Op::LessEqual:
        return c <= 0;
    case Expr::Op::Greater:
        return c > 0;
    default:
        return c >= 0;
    }
}

// Numbers compare as numbers (a text that reads as a number, too); anything
// else as text, NULL as empty text or zero.
int Evaluator::compare(const Value& a, const Value& b) {
    const bool numbers = (a.type != Value::Type::Text || b.type != Value::Type::Text) &&
                         isNumeric(a) && isNumeric(b);
    if (numbers) {
        const Exact x = asNumber(a);
        const Exact y = asNumber(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    const QString x = a.type == Value::Type::Number ? exactText(a.number) : a.text;
    const QString y = b.type == Value::Type::Number ? exactText(b.number) : b.text;
    return x == y ? 0 : ThaiOrder::compare(x, y);
}

bool Evaluator::isNumeric(const Value& v) {
    std::int64_t scaled = 0;
    return v.type != Value::Type::Text || Library::ParseDecimal(v.text, 2, scaled);
}

Exact Evaluator::asNumber(const Value& v) {
    return v.type == Value::Type::Text ? exactOfSatang(Money::fromText(v.text).satang()) : v.number;
}

Value Evaluator::evaluate(int index, const QVariantList& row) const {
    const Expr& e = m_exprs.at(index);
    Value v;
    switch (e.op) {
    case Expr::Op::Number:
        v.type = Value::Type::Number;
        v.number = exactOfSatang(e.number.satang());
        return v;
    case Expr::Op::Text:
        v.type = Value::Type::Text;
        v.text = e.text;
        return v;
    case Expr::Op::Field: {
        const int field = m_fieldOfRef.at(e.ref);
        const QVariant& value = row.at(field);
        if (value.isNull())
            return v;
        if (isNumber(value)) {
            v.type = Value::Type::Number;
            v.number = exactOf(value);
        } else {
            v.type = Value::Type::Text;
            v.text = value.toString();
        }
        return v;
    }
    case Expr::Op::Negate:
        v.type = Value::Type::Number;
        v.number = -asNumber(evaluate(e.left, row));
        return v;
    default:
        break;
    }
    const Exact a = asNumber(evaluate(e.left, row));
    const Exact b = asNumber(evaluate(e.right, row));
    v.type = Value::Type::Number;
    Wide product = 0;
    switch (e.op) {
    case Expr::Op::Add:
        v.number = a + b;
        break;
    case Expr::Op::Subtract:
        v.number = a - b;
        break;
    case Expr::Op::Multiply: // a product too large to hold gives nothing
        if (__builtin_mul_overflow(a, b, &product))
            return Value{};
        v.number = divideRounded(product, billionth);
        break;
    default: // division; by zero gives nothing
        if (b == 0)
            return Value{};
        v.number = divideRounded(a * billionth, b);
        break;
    }
    return v;
}

} // namespace ReportExpression
