#include "report/ReportEngine.h"

#include "core/LibraryCore.h"
#include "core/Seams.h"
#include "report/ReportAggregates.h"
#include "report/ReportExpression.h"
#include "report/ReportPages.h"
#include "report/ReportRows.h"

#include <algorithm>

using namespace ReportLayout;
using namespace ReportExpression;
using ReportAggregates::Accumulator;
using ReportAggregates::Tally;

namespace ReportEngine {

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

// The rows kept by the read that laid the report out: whole for a page painted, else
// only the fields that place the rows on their pages.
class KeptReader : public Reader {
public:
    explicit KeptReader(const KeptRows& rows) : m_rows(rows) {}

    void readOnly(const QList<bool>* fields) { m_fields = fields; }

    bool next(QVariantList& values) override {
        if (m_next >= m_rows.size())
            return false;
        m_rows.read(m_next++, values, m_fields);
        return true;
    }

private:
    const KeptRows& m_rows;
    qsizetype m_next = 0;
    const QList<bool>* m_fields = nullptr;
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
        for (const Column& c : L.columns)
            m_heading.cells << Cell{c.caption, static_cast<int>(m_heading.cells.size()), 1,
                                    Qt::AlignHCenter};
        m_heading.kind = Band::Kind::Heading;
        m_heading.bold = true;
    }

    // Reads the rows sorted, keeping them in record, or takes the rows kept, and sends
    // the bands straight to the pager.
    void stream(Pager& pager, Prepared* record, const KeptRows* kept = nullptr) {
        std::unique_ptr<KeptReader> keptReader =
            kept ? std::make_unique<KeptReader>(*kept) : nullptr;
        std::unique_ptr<Reader> reader = kept ? nullptr : open(true);
        if (record)
            record->rows = KeptRows(m_fieldCount);
        auto read = [&](QVariantList& row) {
            if (keptReader) {
                keptReader->readOnly(pager.skipping() ? &m_needed : nullptr);
                return keptReader->next(row);
            }
            const bool more = reader->next(row);
            if (more) {
                compute(row);
                if (record)
                    reader->keep(record->rows, row);
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
            m_tally.learn(row);
            m_tally.accumulate(m_report.acc, L.reportAggregates);
            for (int g = 0; g < levels; ++g)
                m_tally.accumulate(groups[g].acc, L.groups.at(g).aggregates);
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
            m_tally.learn(row);
            setFirst(m_report, row);
            m_tally.accumulate(m_report.acc, L.reportAggregates);
            int parent = 0;
            bool sameParent = true;
            for (int g = 0; g < levels; ++g) {
                const QVariant& key = row.at(keyField(g));
                sameParent = sameParent && previous.at(g) >= 0 &&
                             sameValue(key, m_nodes[g + 1][previous.at(g)].scope.key);
                parent = previous[g] = sameParent ? previous.at(g) : child(g, parent, key);
                Scope& scope = m_nodes[g + 1][parent].scope;
                setFirst(scope, row);
                m_tally.accumulate(scope.acc, L.groups.at(g).aggregates);
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
        // Detail columns only show their values; every other use places rows on pages.
        QList<bool> shownOnly(L.refs.size(), false);
        for (const Column& c : L.columns)
            if (c.ref >= 0)
                shownOnly[c.ref] = true;
        m_needed.fill(false, m_fieldCount);
        for (int r = 0; r < L.refs.size(); ++r)
            if (!shownOnly.at(r) || m_fieldOfRef.at(r) >= m_sourceCount)
                m_needed[m_fieldOfRef.at(r)] = true;
        for (int f = m_sourceCount; f < m_fieldCount; ++f)
            m_needed[f] = true;
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
        return readRows(m_input.source, m_fields, order, sorted ? m_needed : QList<bool>());
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
                out += m_tally.text(part, scope.acc);
                break;
            case Part::Kind::BahtText:
                out += Library::BahtText(moneyOf(Tally::total(scope.acc, part.aggregate)));
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

    void compute(QVariantList& row) {
        for (int i = 0; i < L.computed.size(); ++i) {
            const Value v = m_expressions.evaluate(L.computed.at(i).expr, row);
            row[m_sourceCount + i] = v.type == Value::Type::Null ? QVariant() : storedOf(v.number);
        }
    }

    const Layout& L;
    const Input& m_input;
    const Prepared* m_prepared;
    QStringList m_fields;
    QList<int> m_fieldOfRef;
    QList<bool> m_needed; // per field: needed to place the rows, not only shown
    int m_sourceCount = 0;
    int m_fieldCount = 0;
    Scope m_report;
    Band m_heading;
    int m_deferredCount = 0;
    int m_page = 0;
    QList<QList<Node>> m_nodes;
    Evaluator m_expressions{L.exprs, m_fieldOfRef};
    Tally m_tally{L, m_expressions, m_fieldOfRef};
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
