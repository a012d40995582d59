#include "library/Numbering.h"

#include "library/Database.h"

namespace Numbering {
namespace {

// The series numbered after the largest code have no prefix: stored as empty text.
const QString noPrefix = QStringLiteral("");

QString padded(qulonglong value, int width) {
    return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
}

QString seriesName(const QString& table, const QString& column) {
    return table + QLatin1Char('.') + column;
}

// The larger of the largest code stored and the last code handed out; both are digits of
// one width, so that text order is number order. NULL when there is neither.
QVariant largestCode(const QString& largestStored, const QVariantList& storedParams,
                     const QString& series, const QString& prefix) {
    return Connection::shared().scalar(
        QStringLiteral("SELECT MAX(code) FROM (") + largestStored +
            QStringLiteral(" UNION ALL SELECT LastCode FROM CodeSeries WHERE Series = ? AND "
                           "Prefix = ?)"),
        storedParams + QVariantList{series, prefix});
}

void record(const QString& series, const QString& prefix, const QString& code) {
    Connection::shared().exec(
        QStringLiteral("INSERT INTO CodeSeries (Series, Prefix, LastCode) VALUES (?, ?, ?) "
                       "ON CONFLICT (Series, Prefix) DO UPDATE SET LastCode = excluded.LastCode"),
        {series, prefix, code});
}

} // namespace

QString nextInSeries(const QString& table, const QString& column, const QString& prefix,
                     int width) {
    // The range lets the key's index find the year's codes without reading every code.
    const QString stored = QStringLiteral("SELECT MAX([%2]) AS code FROM [%1] WHERE [%2] >= ? "
                                          "AND [%2] < ? AND length([%2]) = ? "
                                          "AND [%2] NOT GLOB '*[^0-9]*'")
                               .arg(table, column);
    const QVariant largest =
        largestCode(stored, {prefix, QString(prefix + QLatin1Char(':')), width},
                    seriesName(table, column), prefix);
    const int runWidth = width - static_cast<int>(prefix.size());
    const qulonglong run =
        largest.isNull() ? 0 : largest.toString().mid(prefix.size()).toULongLong();
    const QString next = prefix + padded(run + 1, runWidth);
    if (next.size() > width)
        throw DbError(QStringLiteral("เลขที่ของปีนี้ใช้ครบแล้ว: ") + largest.toString());
    return next;
}

QString takeInSeries(const QString& table, const QString& column, const QString& prefix,
                     int width) {
    const QString next = nextInSeries(table, column, prefix, width);
    record(seriesName(table, column), prefix, next);
    return next;
}

QString takeAfterLargest(const QString& table, const QString& column, const QString& firstCode,
                         int width) {
    const QString stored =
        QStringLiteral("SELECT MAX([%2]) AS code FROM [%1] WHERE length([%2]) = ? AND [%2] NOT "
                       "GLOB '*[^0-9]*'")
            .arg(table, column);
    const QString series = seriesName(table, column);
    const QVariant largest = largestCode(stored, {width}, series, noPrefix);
    const QString next =
        largest.isNull() ? firstCode : padded(largest.toString().toULongLong() + 1, width);
    if (next.size() > width)
        throw DbError(QStringLiteral("เลขที่ใช้ครบแล้ว: ") + largest.toString());
    record(series, noPrefix, next);
    return next;
}

} // namespace Numbering
