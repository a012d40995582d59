#include "core/Recordset.h"

#include "core/Database.h"
#include "core/Query.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <sqlite3.h>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

// The texts of a column that repeat become one shared string each: a text equal to the
// row before's (a pupil's name on each of the pupil's rows) is that string again, and a
// column whose texts recur further apart (a course name on every registration of the
// course) keeps the ones it has seen. A column whose texts hardly recur (a code) soon
// stops keeping them, so that it costs neither time nor memory; what is kept is bounded,
// whatever the number of rows. One whose text is hardly ever the row before's either (a
// code in a list not in its order) becomes plain: each text is made anew, nothing compared.
class TextPool {
public:
    explicit TextPool(int columns) : m_columns(static_cast<size_t>(columns)) {}
    size_t columns() const { return m_columns.size(); }
    bool plain(int column) const { return m_columns[static_cast<size_t>(column)].plain; }
    // Whether the column's texts recur, as far as its texts so far tell: a few hundred
    // different texts of which hardly any came again (names, addresses) say that they do
    // not; a column of a few thousand different texts (classes) has met some twice by then.
    bool recurring(int column) const {
        const ColumnTexts& texts = m_columns[static_cast<size_t>(column)];
        return texts.keeping &&
               (texts.missed < judgedAfter || (texts.found + texts.repeated) * 64 >= texts.missed);
    }

    // The text of a value of the column; valid until the column's next text is asked for.
    const QString& text(sqlite3_value* value, int column) {
        const auto* data = reinterpret_cast<const char*>(sqlite3_value_text(value));
        const std::string_view bytes(data, static_cast<size_t>(sqlite3_value_bytes(value)));
        ColumnTexts& texts = m_columns[static_cast<size_t>(column)];
        const size_t hash = quickHash(bytes);
        if (texts.last && hash == texts.lastHash && bytes == texts.lastBytes) {
            ++texts.repeated;
            return *texts.last;
        }
        texts.lastHash = hash;
        if (texts.keeping) {
            Recent& recent = texts.recent[hash % recentSlots];
            if (recent.text && recent.hash == hash && recent.bytes == bytes) {
                ++texts.found;
                texts.lastBytes = recent.bytes;
                return *(texts.last = recent.text);
            }
            if (const auto found = texts.kept.find(bytes); found != texts.kept.end()) {
                ++texts.found;
                recent.hash = hash;
                texts.lastBytes = recent.bytes = found->first; // nodes stay where they are
                return *(texts.last = recent.text = &found->second);
            }
            if (++texts.missed <= keptAtMost || texts.found >= texts.missed) {
                if (texts.kept.size() >= size_t{keptAtMost}) {
                    texts.kept.clear();
                    texts.recent = {};
                }
                const auto added = texts.kept.emplace_hint(
                    texts.kept.end(), std::string(bytes),
                    QString::fromUtf8(data, static_cast<qsizetype>(bytes.size())));
                Recent& slot = texts.recent[hash % recentSlots];
                slot.hash = hash;
                texts.lastBytes = slot.bytes = added->first;
                return *(texts.last = slot.text = &added->second);
            }
            texts.keeping = false;
            texts.kept = {};
            texts.recent = {};
        }
        if (++texts.changed >= plainAfter && texts.repeated < texts.changed / 8)
            texts.plain = true;
        texts.ownBytes.assign(bytes);
        texts.lastBytes = texts.ownBytes;
        texts.own = QString::fromUtf8(data, static_cast<qsizetype>(bytes.size()));
        return *(texts.last = &texts.own);
    }

private:
    static constexpr int keptAtMost = 4096;
    static constexpr int plainAfter = 1024;
    static constexpr int judgedAfter = 256;
    struct Hash {
        using is_transparent = void;
        // Eight bytes at a time: a Thai name is 30 to 60 bytes.
        size_t operator()(std::string_view bytes) const {
            return std::hash<std::string_view>{}(bytes);
        }
    };
    // A few of a column's kept texts, found by a quick hash of their length and first and
    // last bytes before the kept texts are searched by a hash of every byte; texts of
    // different quick hashes are not compared.
    static constexpr size_t recentSlots = 64;
    struct Recent {
        std::string_view bytes; // a key of kept
        size_t hash = 0;        // its quick hash
        const QString* text = nullptr;
    };
    static size_t quickHash(std::string_view bytes) {
        std::uint64_t head = bytes.size();
        std::uint64_t tail = 0;
        if (bytes.size() >= 8) {
            std::memcpy(&head, bytes.data(), 8);
            std::memcpy(&tail, bytes.data() + bytes.size() - 8, 8);
        } else {
            std::memcpy(&tail, bytes.data(), bytes.size());
        }
        const std::uint64_t mixed =
            (head ^ (tail * 0x9E3779B97F4A7C15ULL) ^ bytes.size()) * 0xBF58476D1CE4E5B9ULL;
        return static_cast<size_t>(mixed >> 40);
    }
    struct ColumnTexts {
        std::array<Recent, recentSlots> recent;
        std::string_view lastBytes;    // the text of the row before: a key of kept, or ownBytes
        size_t lastHash = 0;           // its quick hash
        const QString* last = nullptr; // the same as a string: in kept, or own
        std::string ownBytes;
        QString own;
        std::unordered_map<std::string, QString, Hash, std::equal_to<>> kept;
        bool keeping = true;
        bool plain = false;
        int found = 0;
        int missed = 0;
        int repeated = 0; // texts that were the row before's
        int changed = 0;  // texts that were not, once no longer keeping
    };
    std::vector<ColumnTexts> m_columns;
};

// A stored number beyond what an amount holds exactly (or no number at all, as infinity)
// could not be told from an amount changed on the way: reading it is an error.
[[noreturn]] void numberOutOfRange(sqlite3_stmt* statement, int column, const QString& number) {
    throw DbError(QStringLiteral("ตัวเลขในฐานข้อมูลเกินกว่าที่อ่านได้ถูกต้อง: ") +
                  QString::fromUtf8(sqlite3_column_name(statement, column)) +
                  QStringLiteral(" = ") + number);
}

// A value of the current row, its number checked, its text taken from the pool when
// there is one.
QVariant pooledValue(sqlite3_stmt* statement, int column, TextPool* texts) {
    sqlite3_value* value = sqlite3_column_value(statement, column);
    switch (sqlite3_value_type(value)) {
    case SQLITE_TEXT:
        if (!texts)
            return storedValue(value);
        if (texts->plain(column)) {
            // The new string handed over whole: no count of its users to change twice.
            QVariant text{QString()};
            QString made =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(value)),
                                  sqlite3_value_bytes(value));
            static_cast<QString*>(text.data())->swap(made);
            return text;
        }
        return texts->text(value, column);
    case SQLITE_FLOAT: {
        const double number = sqlite3_value_double(value);
        if (!(std::fabs(number) <= Money::maxBaht)) // also for NaN
            numberOutOfRange(statement, column, QString::number(number, 'g', 17));
        return QVariant(number);
    }
    case SQLITE_INTEGER: {
        const qlonglong number = sqlite3_value_int64(value);
        if (number > Money::maxSatang / 100 || number < -Money::maxSatang / 100)
            numberOutOfRange(statement, column, QString::number(number));
        return QVariant(number);
    }
    default:
        return storedValue(value);
    }
}

} // namespace

// The statement of a forward-only record set, with the texts of its rows.
struct Recordset::Cursor {
    Cursor(Query&& running) : query(std::move(running)), texts(query.columns()->count()) {}
    Query query;
    TextPool texts;
};

Recordset Recordset::open(const QString& sql, const QVariantList& params, bool readOnly) {
    if (!readOnly)
        throw DbError(QStringLiteral("record sets are read-only; write with a statement:\n") + sql);
    Recordset rs;
    Query query = Connection::shared().exec(sql, params);
    rs.m_columns = query.columns();
    rs.readAll(query);
    return rs;
}

void Recordset::readAll(Query& query) {
    // A short list (a pupil's classes) is read faster without sharing its few texts.
    constexpr qsizetype rowsBeforeSharing = 16;
    const int columns = m_columns->count();
    std::optional<TextPool> pool;
    while (query.next()) {
        sqlite3_stmt* statement = query.handle();
        if (!pool && m_rows.size() == rowsBeforeSharing)
            pool.emplace(columns);
        QVariantList row;
        row.reserve(columns);
        for (int i = 0; i < columns; ++i)
            row << pooledValue(statement, i, pool ? &*pool : nullptr);
        m_rows << row;
    }
}

Recordset Recordset::forwardOnly(const QString& sql, const QVariantList& params) {
    Recordset rs;
    rs.m_cursor = std::make_shared<Cursor>(Connection::shared().exec(sql, params));
    rs.m_columns = rs.m_cursor->query.columns();
    rs.m_cursorEnd = !rs.m_cursor->query.next();
    rs.m_cursorEmpty = rs.m_cursorEnd;
    return rs;
}

bool Recordset::isEOF() const {
    return m_cursor ? m_cursorEnd : m_position >= RecordCount();
}

void Recordset::MoveFirst() {
    if (m_cursor && m_position != 0)
        throw DbError(QStringLiteral("a forward-only record set cannot go back"));
    m_position = 0;
}

void Recordset::MoveNext() {
    if (m_cursor && !m_cursorEnd)
        m_cursorEnd = !m_cursor->query.next();
    ++m_position;
}

int Recordset::columnCount() const {
    return m_columns ? m_columns->count() : 0;
}

QStringList Recordset::fieldNames() const {
    return m_columns ? m_columns->names() : QStringList();
}

int Recordset::fieldIndex(const QString& name) const {
    return m_columns ? m_columns->indexOf(name) : -1;
}

int Recordset::checkedIndex(const QString& name) const {
    const int index = fieldIndex(name);
    if (index < 0)
        throw DbError(QStringLiteral("no column ") + name);
    return index;
}

QVariant Recordset::value(const QString& name) const {
    return value(checkedIndex(name));
}

QVariant Recordset::value(int column) const {
    if (m_cursor) {
        if (m_cursorEnd || static_cast<unsigned>(column) >= m_cursor->texts.columns())
            return {};
        return pooledValue(m_cursor->query.handle(), column, &m_cursor->texts);
    }
    if (isEOF() || m_position < 0 || column < 0 || column >= columnCount())
        return {};
    return m_rows.at(m_position).at(column);
}

QByteArrayView Recordset::storedText(int column) const {
    if (!m_cursor || m_cursorEnd || static_cast<unsigned>(column) >= m_cursor->texts.columns())
        return {};
    sqlite3_stmt* statement = m_cursor->query.handle();
    if (sqlite3_column_type(statement, column) != SQLITE_TEXT)
        return {};
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return QByteArrayView(data, sqlite3_column_bytes(statement, column));
}

bool Recordset::textsRecur(int column) const {
    if (!m_cursor || static_cast<unsigned>(column) >= m_cursor->texts.columns())
        return true;
    return m_cursor->texts.recurring(column);
}

QString Recordset::text(const QString& name) const {
    const QVariant v = value(name);
    if (v.typeId() == QMetaType::QString)
        return *static_cast<const QString*>(v.constData());
    return v.isNull() ? QString() : v.toString();
}
