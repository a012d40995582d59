#include "platform/ReportEngine.h"

#include "core/Decimal.h"
#include "core/LibraryCore.h"
#include "core/Seams.h"
#include "core/ThaiOrder.h"
#include "platform/ReportPages.h"
#include "platform/ReportRows.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <optional>

using namespace ReportLayout;

namespace ReportEngine {

// Products of two numbers need more than 64 bits before they are divided.
__extension__ typedef __int128 Wide;

// Counts, and sums (exact numbers, see Exact below) per aggregate of the layout, and
// the values (their distinct keys) of the distinct counts, sorted out now and then: the
// keys before sorted[i] are sorted and each there once.
struct Accumulator {
    QList<Wide> values;
    QList<QList<qint64>> distinct;
    QList<qsizetype> sorted;
    QList<qsizetype> compactAt;
};

struct Prepared {
    int pages = 0;
    QList<QStringList> deferred; // header lines, filled once their rows were read
    Accumulator totals;          // the report's, for page headers and footers
    QVariantList first;          // the report's first row
    bool summary = false;
    QList<Band> bands; // without detail rows: every band, in order
    // With detail rows: every row as the one read gave them (sorted, computed columns
    // worked out). Every page is painted from them, so that all pages show the data
    // as it was when the report was laid out.
    KeptRows rows;
};

namespace {

// Numbers are worked out and summed exactly, in billionths: hours of 1.333 and points
// of 7.125 print as stored and add up to what is stored, amounts to the satang.
using Exact = Wide;
constexpr std::int64_t billionth = 1'000'000'000;
constexpr std::int64_t billionthsPerSatang = billionth / 100;

// Rounds half away from zero, as amounts are rounded everywhere.
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

// A stored value as it is stored: the decimal that its double shows (what the lists
// show), not the double's binary expansion. A text reads as an amount; NULL and other
// texts are 0; an amount outside what the program stores throws DbError.
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

// "1234.5", "3.999", "-2": trailing zeros dropped, no separators.
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

// A computed value kept as the database keeps numbers: a double showing its decimal.
QVariant storedOf(Exact value) {
    if (value % billionthsPerSatang == 0) {
        const Wide satang = value / billionthsPerSatang;
        if (satang > -(Wide(1) << 53) && satang < (Wide(1) << 53))
            return double(static_cast<std::int64_t>(satang)) / 100;
    }
    return exactText(value).toDouble();
}

// A value while an expression is worked out.
struct Value {
    enum class Type { Null, Number, Text };
    Type type = Type::Null;
    Exact number = 0;
    QString text;
};

// The aggregates, the first row and the running row number of a group or of
// the report.
struct Scope {
    Accumulator acc;
    QVariantList first;
    bool hasFirst = false;
    QVariant key;
    int rows = 0;
    QList<QPair<int, const TextLine*>> deferred; // header lines waiting for totals
};

// The rows kept by the read that laid the report out.
class KeptReader : public Reader {
public:
    explicit KeptReader(const KeptRows& rows) : m_rows(rows) {}

    bool next(QVariantList& values) override {
        if (m_next >= m_rows.size())
            return false;
        m_rows.read(m_next++, values);
        return true;
    }

private:
    const KeptRows& m_rows;
    qsizetype m_next = 0;
};

// A group of a report without detail rows, while every row is read.
struct Node {
    Scope scope;
    QHash<QString, int> texts; // the next level's nodes by key
    // The same by the key's string itself: the record set gives a text that recurs as one
    // shared string, found by its address without reading its characters. Each string
    // is held here, so that its address stands for no other text meanwhile.
    struct Shared {
        int index;
        qsizetype size;
    };
    QHash<const QChar*, Shared> shared;
    QList<QString> held;
    QHash<double, int> numbers;
    int null = -1;
    QList<int> children;
};

class Runner {
public:
    Runner(const Input& input, const Prepared* prepared)
        : L(*input.layout), m_input(input), m_prepared(prepared) {
        bind(sourceColumns(input.source));
        m_conditionRow.fill(-1, L.exprs.size());
        m_conditionValue.fill(false, L.exprs.size());
        m_amount.fill(0, L.aggregates.size());
        m_lastDistinct.resize(L.aggregates.size());
        m_counted.fill(false, L.aggregates.size());
        QList<int> live = L.reportAggregates;
        for (const Group& g : L.groups)
            live << g.aggregates;
        for (int index : live)
            if (!m_liveAggregates.contains(index))
                m_liveAggregates << index;
        for (const Column& c : L.columns)
            m_heading.cells << Cell{c.caption, static_cast<int>(m_heading.cells.size()), 1,
                                    Qt::AlignHCenter};
        m_heading.kind = Band::Kind::Heading;
        m_heading.bold = true;
    }

    // Reads the rows sorted, keeping them in record, or takes the rows kept, and sends
    // the bands straight to the pager.
    void stream(Pager& pager, Prepared* record, const KeptRows* kept = nullptr) {
        std::unique_ptr<Reader> reader = kept ? std::make_unique<KeptReader>(*kept) : open(true);
        if (record)
            record->rows = KeptRows(m_fieldCount);
        auto read = [&](QVariantList& row) {
            if (kept)
                return reader->next(row);
            const bool more = reader->next(row);
            if (more) {
                compute(row);
                if (record)
                    record->rows.append(row);
            }
            return more;
        };
        const int levels = static_cast<int>(L.groups.size());
        QList<Scope> groups(levels);
        int opened = 0; // open levels
        QVariantList row(m_fieldCount);
        bool more = read(row);
        if (more)
            setFirst(m_report, row);
        emitLines(L.header, m_report, pager, false, false, true, record);
        if (!more)
            pager.add(m_heading);
        while (more && !pager.done()) {
            int level = 0;
            while (level < opened && sameValue(row.at(keyField(level)), groups.at(level).key))
                ++level;
            for (; opened > level; --opened)
                closeGroup(opened - 1, groups[opened - 1], pager, record);
            for (; opened < levels; ++opened) {
                groups[opened] = Scope{};
                groups[opened].key = row.at(keyField(opened));
                setFirst(groups[opened], row);
                pager.add(groupMark(Band::Kind::OpenGroup, opened));
                emitLines(L.groups.at(opened).header, groups[opened], pager, true, true, true,
                          record);
            }
            learn(row);
            accumulate(m_report.acc, L.reportAggregates);
            for (int g = 0; g < levels; ++g)
                accumulate(groups[g].acc, L.groups.at(g).aggregates);
            Scope& innermost = levels > 0 ? groups[levels - 1] : m_report;
            ++innermost.rows;
            if (L.details && !L.columns.isEmpty())
                pager.add(detailBand(row, innermost.rows, pager.skipping()));
            more = read(row);
        }
        if (pager.done())
            return;
        for (; opened > 0; --opened)
            closeGroup(opened - 1, groups[opened - 1], pager, record);
        finishReport(pager, record);
        pager.finish();
        if (record) {
            record->totals = m_report.acc;
            record->first = m_report.first;
            record->rows.squeeze();
        }
    }

    // Reads the rows in any order into one node per group and gives every band
    // of the report, groups in the layout's order.
    QList<Band> summarise(Prepared& record) {
        std::unique_ptr<Reader> reader = open(false);
        const int levels = static_cast<int>(L.groups.size());
        m_nodes = QList<QList<Node>>(levels + 1);
        m_nodes[0] << Node{};
        QVariantList row(m_fieldCount);
        // Rows of one group mostly follow each other: a level whose key (and whose
        // parent) is the row before's is that row's group again, without looking it up.
        QList<int> previous(levels, -1);
        while (reader->next(row)) {
            compute(row);
            learn(row);
            setFirst(m_report, row);
            accumulate(m_report.acc, L.reportAggregates);
            int parent = 0;
            bool sameParent = true;
            for (int g = 0; g < levels; ++g) {
                const QVariant& key = row.at(keyField(g));
                sameParent = sameParent && previous.at(g) >= 0 &&
                             sameValue(key, m_nodes[g + 1][previous.at(g)].scope.key);
                parent = previous[g] = sameParent ? previous.at(g) : child(g, parent, key);
                Scope& scope = m_nodes[g + 1][parent].scope;
                setFirst(scope, row);
                accumulate(scope.acc, L.groups.at(g).aggregates);
            }
        }
        QList<Band> bands;
        BandList sink{bands};
        emitLines(L.header, m_report, sink, false, false, false, nullptr);
        if (!m_report.hasFirst)
            sink.add(m_heading);
        emitChildren(0, 0, sink);
        finishReport(sink, nullptr);
        record.totals = m_report.acc;
        record.first = m_report.first;
        return bands;
    }

    QList<Band> pageLines(const QList<TextLine>& lines, int page) {
        Scope scope;
        scope.first = m_prepared ? m_prepared->first : m_report.first;
        scope.hasFirst = !scope.first.isEmpty();
        scope.acc = m_prepared ? m_prepared->totals : m_report.acc;
        QList<Band> bands;
        BandList sink{bands};
        m_page = page;
        emitLines(lines, scope, sink, false, false, false, nullptr);
        return bands;
    }

    const Band& heading() const { return m_heading; }

private:
    struct BandList {
        QList<Band>& bands;
        void add(const Band& band) { bands << band; }
        bool skipping() const { return false; }
    };

    static Band groupMark(Band::Kind kind, int level) {
        Band band;
        band.kind = kind;
        band.level = level;
        return band;
    }

    void bind(const QStringList& available) {
        QHash<QString, QString> byLower;
        for (const QString& name : available)
            if (!byLower.contains(name.toLower()))
                byLower.insert(name.toLower(), name);
        QHash<QString, int> computed;
        for (int i = 0; i < L.computed.size(); ++i)
            computed.insert(L.computed.at(i).name.toLower(), i);
        QHash<QString, int> fieldOf;
        m_fieldOfRef.resize(L.refs.size());
        for (int r = 0; r < L.refs.size(); ++r) {
            const QString lower = L.refs.at(r).name.toLower();
            if (computed.contains(lower)) {
                m_fieldOfRef[r] = -1 - computed.value(lower);
                continue;
            }
            if (!byLower.contains(lower))
                fail(L.file, L.refs.at(r).line,
                     QStringLiteral("ไม่มีคอลัมน์ %1 ในข้อมูล").arg(L.refs.at(r).name));
            if (!fieldOf.contains(lower)) {
                fieldOf.insert(lower, static_cast<int>(m_fields.size()));
                m_fields << byLower.value(lower);
            }
            m_fieldOfRef[r] = fieldOf.value(lower);
        }
        m_sourceCount = static_cast<int>(m_fields.size());
        for (int& field : m_fieldOfRef)
            if (field < 0)
                field = m_sourceCount - 1 - field;
        m_fieldCount = m_sourceCount + static_cast<int>(L.computed.size());
    }

    // Sorted by the groups' keys and the sort keys for detail rows; a report
    // without detail rows orders its groups itself.
    std::unique_ptr<Reader> open(bool sorted) {
        QList<OrderKey> order;
        if (sorted) {
            for (const Group& g : L.groups)
                order << OrderKey{m_fieldOfRef.at(g.key.ref), g.key.descending};
            for (const SortKey& key : L.sort)
                order << OrderKey{m_fieldOfRef.at(key.ref), key.descending};
        }
        return readRows(m_input.source, m_fields, order);
    }

    int keyField(int level) const { return m_fieldOfRef.at(L.groups.at(level).key.ref); }

    void setFirst(Scope& scope, const QVariantList& row) {
        if (scope.hasFirst)
            return;
        scope.first = row;
        scope.hasFirst = true;
    }

    // The strings a group holds for finding its groups by address: enough for a report's
    // distinct texts, bounded when a text column gives new strings on every row.
    static constexpr qsizetype sharedAtMost = 1024;

    int child(int level, int parent, const QVariant& key) {
        Node& p = m_nodes[level][parent];
        const bool null = key.isNull();
        const bool number = !null && isNumber(key);
        const int index = static_cast<int>(m_nodes[level + 1].size());
        if (null) {
            if (p.null >= 0)
                return p.null;
            p.null = index;
        } else if (number) {
            const auto found = p.numbers.constFind(key.toDouble());
            if (found != p.numbers.cend())
                return *found;
            p.numbers.insert(key.toDouble(), index);
        } else {
            const QString text = textOf(key);
            const auto same = p.shared.constFind(text.constData());
            if (same != p.shared.cend() && same->size == text.size())
                return same->index;
            const auto found = p.texts.constFind(text);
            const int at = found != p.texts.cend() ? *found : index;
            if (p.shared.size() < sharedAtMost) {
                p.shared.insert(text.constData(), {at, text.size()});
                p.held << text;
            }
            if (found != p.texts.cend())
                return at;
            p.texts.insert(text, index);
        }
        p.children << index;
        Node node;
        node.scope.key = key;
        m_nodes[level + 1] << node;
        return index;
    }

    void emitChildren(int level, int parent, BandList& sink) {
        if (level >= L.groups.size())
            return;
        QList<int> children = m_nodes[level][parent].children;
        const QList<Node>& nodes = m_nodes[level + 1];
        const bool descending = L.groups.at(level).key.descending;
        std::sort(children.begin(), children.end(), [&](int a, int b) {
            const int c = compareValues(nodes.at(a).scope.key, nodes.at(b).scope.key);
            return descending ? c > 0 : c < 0;
        });
        for (int index : children) {
            const Group& group = L.groups.at(level);
            Scope& scope = m_nodes[level + 1][index].scope;
            sink.add(groupMark(Band::Kind::OpenGroup, level));
            emitLines(group.header, scope, sink, true, true, false, nullptr);
            emitChildren(level + 1, index, sink);
            groupEnd(level, scope, sink);
            sink.add(groupMark(Band::Kind::CloseGroup, level));
        }
    }

    // A group's total row and footer lines.
    template <typename Sink> void groupEnd(int level, Scope& scope, Sink& sink) {
        const Group& group = L.groups.at(level);
        if (group.row.present)
            sink.add(sumBand(group.row, scope, Band::Kind::Sum, sink.skipping()));
        emitLines(group.footer, scope, sink, true, false, false, nullptr);
    }

    void closeGroup(int level, Scope& scope, Pager& pager, Prepared* record) {
        groupEnd(level, scope, pager);
        pager.add(groupMark(Band::Kind::CloseGroup, level));
        settle(scope, record);
    }

    template <typename Sink> void finishReport(Sink& sink, Prepared* record) {
        if (L.totals.present)
            sink.add(sumBand(L.totals, m_report, Band::Kind::Total, false));
        emitLines(L.footer, m_report, sink, false, false, false, nullptr);
        settle(m_report, record);
    }

    // Header lines that print totals of rows read after them.
    void settle(Scope& scope, Prepared* record) {
        if (!record)
            return;
        for (const auto& [ordinal, line] : scope.deferred)
            record->deferred[ordinal] = lines(fill(line->text, scope));
    }

    static QStringList lines(const QString& filled) {
        if (filled.trimmed().isEmpty())
            return {};
        QString text = filled;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        return text.split(QLatin1Char('\n'));
    }

    // Header lines (deferrable) that print totals of rows read after them take
    // those totals from the counting pass.
    template <typename Sink>
    void emitLines(const QList<TextLine>& textLines, Scope& scope, Sink& sink, bool table,
                   bool groupHeader, bool deferrable, Prepared* record) {
        for (const TextLine& line : textLines) {
            QStringList parts;
            bool known = false;
            if (deferrable && line.text.usesAggregates() && (record || m_prepared)) {
                const int ordinal = m_deferredCount++;
                if (record) {
                    record->deferred << QStringList();
                    scope.deferred << qMakePair(ordinal, &line);
                } else if (ordinal < m_prepared->deferred.size()) {
                    parts = m_prepared->deferred.at(ordinal);
                    known = true;
                }
            }
            if (!known)
                parts = lines(fill(line.text, scope));
            for (qsizetype i = 0; i < parts.size(); ++i) {
                Band band;
                band.kind = Band::Kind::Text;
                band.bold = line.bold;
                band.size = line.size;
                band.table = table;
                band.keepWithNext =
                    groupHeader && &line == &textLines.last() && i == parts.size() - 1;
                band.groupHeader = groupHeader;
                band.cells << Cell{parts.at(i), 0, 1, line.align};
                sink.add(band);
            }
        }
    }

    Band detailBand(const QVariantList& row, int number, bool skip) const {
        Band band;
        band.kind = Band::Kind::Detail;
        band.table = true;
        for (int c = 0; c < L.columns.size(); ++c) {
            const Column& column = L.columns.at(c);
            // The page is laid out by the lines a wrapping cell takes.
            if (skip && !column.wrap)
                continue;
            const QString text =
                column.format == Format::Row
                    ? QString::number(number)
                    : display(row, m_fieldOfRef.at(column.ref), column.format, column.map);
            band.cells << Cell{oneLine(text), c, 1, column.align};
        }
        return band;
    }

    // A cell prints on one line: the lines of a value (an address) are joined by blanks.
    static QString oneLine(const QString& text) {
        if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
            return text;
        return lines(text).join(QLatin1Char(' '));
    }

    Band sumBand(const SumRow& sumRow, const Scope& scope, Band::Kind kind, bool skip) const {
        Band band;
        band.kind = kind;
        band.bold = true;
        band.table = true;
        if (skip)
            return band;
        for (int c = 0; c < sumRow.cells.size(); ++c)
            band.cells << Cell{oneLine(fill(sumRow.cells.at(c), scope)), c, 1, sumRow.align.at(c)};
        return band;
    }

    QString fill(const Template& t, const Scope& scope) const {
        QString out;
        for (const Part& part : t.parts) {
            switch (part.kind) {
            case Part::Kind::Literal:
                out += part.text;
                break;
            case Part::Kind::Formula:
                out += m_input.formulas.value(part.text);
                break;
            case Part::Kind::Value:
                if (scope.hasFirst)
                    out += display(scope.first, m_fieldOfRef.at(part.ref), part.format, part.map);
                break;
            case Part::Kind::Aggregate:
                out += aggregateText(part, scope.acc);
                break;
            case Part::Kind::BahtText:
                out += Library::BahtText(moneyOf(total(scope.acc, part.aggregate)));
                break;
            case Part::Kind::Today:
                out += Library::DateToThaiDate(Seams::today());
                break;
            case Part::Kind::Page:
                out += QString::number(m_page);
                break;
            case Part::Kind::Pages:
                out += QString::number(m_prepared ? m_prepared->pages : 0);
                break;
            }
        }
        return out;
    }

    static Wide total(const Accumulator& acc, int aggregate) {
        return aggregate < acc.values.size() ? acc.values.at(aggregate) : 0;
    }

    QString aggregateText(const Part& part, const Accumulator& acc) const {
        const Aggregate& a = L.aggregates.at(part.aggregate);
        switch (a.kind) {
        case Aggregate::Kind::Count:
            return QString::number(static_cast<qint64>(total(acc, part.aggregate)));
        case Aggregate::Kind::Distinct: {
            if (part.aggregate >= acc.distinct.size())
                return QStringLiteral("0");
            QList<qint64> ids = acc.distinct.at(part.aggregate);
            return QString::number(compact(ids, acc.sorted.at(part.aggregate)));
        }
        case Aggregate::Kind::Sum:
            break;
        }
        const Exact sum = total(acc, part.aggregate);
        return part.format == Format::Number ? exactText(sum) : moneyOf(sum).toText(true);
    }

    QString display(const QVariantList& row, int field, Format format, const QString& map) const {
        const QVariant& value = row.at(field);
        if (format == Format::Map) {
            const QString stored = value.toString();
            return L.maps.value(map).value(stored, stored);
        }
        if (value.isNull())
            return {};
        switch (format) {
        case Format::Money:
            return Money::fromVariant(value).toText(true);
        case Format::Number:
            return exactText(exactOf(value));
        case Format::Date:
            return Library::KeyToThaiDate(value.toString());
        case Format::ShortDate:
            return Library::KeyToShortThaiDate(value.toString());
        default:
            // A computed value shows as an amount.
            return field >= m_sourceCount ? Money::fromVariant(value).toText(false)
                                          : value.toString();
        }
    }

    // What the current row adds to each aggregate, worked out once for all scopes.
    void learn(const QVariantList& row) {
        ++m_rowGeneration;
        for (int index : m_liveAggregates) {
            const Aggregate& a = L.aggregates.at(index);
            m_counted[index] = a.condition < 0 || condition(a.condition, row);
            if (!m_counted[index])
                continue;
            if (a.kind == Aggregate::Kind::Sum) {
                m_amount[index] = exactOf(row.at(m_fieldOfRef.at(a.ref)));
            } else if (a.kind == Aggregate::Kind::Distinct) {
                const QVariant& value = row.at(m_fieldOfRef.at(a.ref));
                m_counted[index] = value.isValid();
                if (m_counted[index] && !sameValue(value, m_lastDistinct[index])) {
                    m_amount[index] = distinctKey(value);
                    m_lastDistinct[index] = value;
                }
            }
        }
    }

    void accumulate(Accumulator& acc, const QList<int>& aggregates) const {
        if (aggregates.isEmpty())
            return;
        if (acc.values.size() < L.aggregates.size()) {
            acc.values.resize(L.aggregates.size());
            acc.distinct.resize(L.aggregates.size());
            acc.sorted.fill(0, L.aggregates.size());
            acc.compactAt.fill(4096, L.aggregates.size());
        }
        for (int index : aggregates) {
            if (!m_counted.at(index))
                continue;
            switch (L.aggregates.at(index).kind) {
            case Aggregate::Kind::Count:
                ++acc.values[index];
                break;
            case Aggregate::Kind::Sum:
                acc.values[index] += m_amount.at(index);
                break;
            case Aggregate::Kind::Distinct: {
                QList<qint64>& ids = acc.distinct[index];
                ids << static_cast<qint64>(m_amount.at(index));
                if (ids.size() >= acc.compactAt.at(index)) {
                    acc.sorted[index] = compact(ids, acc.sorted.at(index));
                    acc.compactAt[index] = std::max<qsizetype>(4096, 2 * ids.size());
                }
                break;
            }
            }
        }
    }

    // Sorts the keys added since the last time and merges them in; gives the number of
    // different keys.
    static qsizetype compact(QList<qint64>& ids, qsizetype sorted) {
        const auto added = ids.begin() + sorted;
        std::sort(added, ids.end());
        std::inplace_merge(ids.begin(), added, ids.end());
        ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
        return ids.size();
    }

    // What a distinct count keeps of a value: a short text (a pupil's code) is its
    // characters packed with its length into a number, compared without a look-up among
    // thousands; any other value is the order in which it was first met, as a negative.
    qint64 distinctKey(const QVariant& value) {
        const QString key =
            isNumber(value) ? QString::number(value.toDouble(), 'g', 17) : textOf(value);
        if (const std::optional<qint64> packed = shortText(key))
            return *packed;
        auto found = m_interned.constFind(key);
        if (found == m_interned.cend())
            found = m_interned.insert(key, m_interned.size());
        return -1 - *found;
    }

    // Up to seven Latin-1 characters, the length in the highest byte: never negative.
    static std::optional<qint64> shortText(const QString& text) {
        constexpr qsizetype longest = sizeof(qint64) - 1;
        if (text.size() > longest)
            return std::nullopt;
        quint64 packed = static_cast<quint64>(text.size()) << (8 * longest);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text.at(i).unicode();
            if (c > 0xff)
                return std::nullopt;
            packed |= static_cast<quint64>(c) << (8 * i);
        }
        return static_cast<qint64>(packed);
    }

    void compute(QVariantList& row) {
        for (int i = 0; i < L.computed.size(); ++i) {
            const Value v = evaluate(L.computed.at(i).expr, row);
            row[m_sourceCount + i] = v.type == Value::Type::Null ? QVariant() : storedOf(v.number);
        }
    }

    bool condition(int expr, const QVariantList& row) {
        if (m_conditionRow.at(expr) != m_rowGeneration) {
            m_conditionRow[expr] = m_rowGeneration;
            m_conditionValue[expr] = truth(expr, row);
        }
        return m_conditionValue.at(expr);
    }

    bool truth(int index, const QVariantList& row) const {
        const Expr& e = L.exprs.at(index);
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
    static int compare(const Value& a, const Value& b) {
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

    static bool isNumeric(const Value& v) {
        std::int64_t scaled = 0;
        return v.type != Value::Type::Text || Library::ParseDecimal(v.text, 2, scaled);
    }

    static Exact asNumber(const Value& v) {
        return v.type == Value::Type::Text ? exactOfSatang(Money::fromText(v.text).satang())
                                           : v.number;
    }

    Value evaluate(int index, const QVariantList& row) const {
        const Expr& e = L.exprs.at(index);
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

    const Layout& L;
    const Input& m_input;
    const Prepared* m_prepared;
    QStringList m_fields;
    QList<int> m_fieldOfRef;
    int m_sourceCount = 0;
    int m_fieldCount = 0;
    Scope m_report;
    Band m_heading;
    int m_deferredCount = 0;
    int m_page = 0;
    QList<QList<Node>> m_nodes;
    QHash<QString, qint64> m_interned;
    qint64 m_rowGeneration = 0;
    QList<int> m_liveAggregates; // used by some scope
    QList<Wide> m_amount;        // per aggregate: the row's amount, or its distinct key
    QVariantList m_lastDistinct; // per distinct count: the value of m_amount
    QList<bool> m_counted;       // per aggregate: whether the row counts
    QList<qint64> m_conditionRow;
    QList<bool> m_conditionValue;
};

} // namespace

std::shared_ptr<const Prepared> prepare(const Input& input) {
    auto prepared = std::make_shared<Prepared>();
    Runner runner(input, nullptr);
    Canvas canvas(*input.layout, nullptr);
    Pager pager(
        canvas, nullptr, 1, 0, runner.heading(),
        [&](int page) { return runner.pageLines(input.layout->pageHeader, page); },
        [&](int page) { return runner.pageLines(input.layout->pageFooter, page); });
    if (input.layout->details) {
        runner.stream(pager, prepared.get());
    } else {
        prepared->summary = true;
        prepared->bands = runner.summarise(*prepared);
        for (const Band& band : prepared->bands)
            pager.add(band);
        pager.finish();
    }
    prepared->pages = pager.pages();
    return prepared;
}

int pageCount(const Prepared& prepared) {
    return prepared.pages;
}

int paint(const Input& input, const Prepared& prepared, Output& output, int first, int last) {
    Runner runner(input, &prepared);
    Canvas canvas(*input.layout, &output);
    Pager pager(
        canvas, &output, first, last, runner.heading(),
        [&](int page) { return runner.pageLines(input.layout->pageHeader, page); },
        [&](int page) { return runner.pageLines(input.layout->pageFooter, page); });
    if (prepared.summary) {
        for (const Band& band : prepared.bands) {
            pager.add(band);
            if (pager.done())
                break;
        }
        if (!pager.done())
            pager.finish();
    } else {
        runner.stream(pager, nullptr, &prepared.rows);
    }
    return pager.painted();
}

} // namespace ReportEngine
