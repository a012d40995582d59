#pragma once

// The rows of a report: the program's statement run inside the engine's own,
// reading only the columns the layout needs, in its order; and the order of
// values the database sorts by.

#include "report/ReportIO.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QStringList>
#include <QVariant>
#include <array>
#include <memory>
#include <vector>

namespace ReportEngine {

struct OrderKey {
    int field = 0; // index into the fields read
    bool descending = false;
};

class KeptRows;

class Reader {
public:
    virtual ~Reader() = default;
    // The next row's values, in the order of the fields asked for. A field the layout
    // does not need may be left without its value; keep() still keeps it.
    virtual bool next(QVariantList& values) = 0;
    // Keeps the row just read whole: values (with any computed after the fields read),
    // and what next() did not take.
    virtual void keep(KeptRows& rows, const QVariantList& values);
};

// Rows kept in little room: each different value once, a row as the indexes of
// its values. A report's rows repeat their names, courses, dates and amounts. Texts
// given as stored are kept as their bytes, made into strings only when a row is read.
class KeptRows {
public:
    explicit KeptRows(int width = 0)
        : m_width(width), m_recent(static_cast<std::size_t>(width)),
          m_lastNumbers(static_cast<std::size_t>(width)) {}

    void append(const QVariantList& row);
    // A row whose fields with a stored text (not null) are kept as those bytes.
    void append(const QVariantList& row, const QList<QByteArrayView>& storedTexts);
    // Done appending: the look-up of values is no longer needed.
    void squeeze();
    qsizetype size() const { return m_count; }
    // The row's values; with fields given, only the fields marked there.
    void read(qsizetype row, QVariantList& values, const QList<bool>* fields = nullptr) const;

private:
    quint32 index(const QVariant& value, int column);
    void appendCell(quint32 cell);

    // A cell with this bit holds the number of a stored text, else of a value.
    static constexpr quint32 storedBit = 0x80000000u;
    // The stored texts, one after the other in blocks that never move once made.
    static constexpr qsizetype textBlockSize = 1 << 20;
    std::vector<QByteArray> m_textBlocks;
    std::vector<QByteArrayView> m_storedTexts; // each stored text, in its block
    // Per column, the cell of the last stored text: a text that repeats the row before's
    // (a pupil's name on each of the pupil's rows) is kept once.
    std::vector<quint32> m_lastStored;

    // Cells in blocks of a fixed size: the rows grow without copying them all
    // to a larger place now and then.
    static constexpr std::size_t blockSize = 1 << 16;

    int m_width = 0;
    qsizetype m_count = 0;
    std::size_t m_cellCount = 0;
    std::vector<std::unique_ptr<quint32[]>> m_blocks;
    QList<QVariant> m_values{QVariant()}; // the first is NULL
    QHash<QString, quint32> m_texts;
    QHash<qint64, quint32> m_integers;
    QHash<double, quint32> m_reals;
    // Per column, texts met lately by the address of their characters: the record set
    // gives a text that recurs as one shared string, found here without hashing it. Each
    // string is held, so that its address stands for no other text meanwhile.
    struct Recent {
        QString text;
        quint32 index = 0;
    };
    static constexpr std::size_t recentSlots = 64;
    std::vector<std::array<Recent, recentSlots>> m_recent;
    // Per column, the last number met as it is stored (integer or real) and its index.
    struct LastNumber {
        int type = 0;
        quint64 bits = 0;
        quint32 index = 0;
    };
    std::vector<LastNumber> m_lastNumbers;
};

// The columns the source gives. Throws DbError.
QStringList sourceColumns(const Source& source);
// The source's rows with only the given fields, sorted by the keys (texts in
// Thai order); a source read already is sorted here. Only the fields marked in needed
// (all when it is empty) must have their values after next(). Throws DbError.
std::unique_ptr<Reader> readRows(const Source& source, const QStringList& fields,
                                 const QList<OrderKey>& order, const QList<bool>& needed = {});

bool isNumber(const QVariant& value);
// The text of a value, without a conversion when it holds a text.
QString textOf(const QVariant& value);
// The database's order of values: NULL, then numbers, then texts (Thai order).
int compareValues(const QVariant& a, const QVariant& b);
bool sameValue(const QVariant& a, const QVariant& b);

} // namespace ReportEngine
