#include "core/Numbering.h"

#include "core/Database.h"

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

// The last code handed out of the series; NULL when none was recorded.
QVariant lastHandedOut(const QString& series, const QString& prefix) {
    return Connection::shared().scalar(
        QStringLiteral("SELECT LastCode FROM CodeSeries WHERE Series = ? AND Prefix = ?"),
        {series, prefix});
}

// The larger of two codes of one width (digits: text order is number order); NULL ones
// do not count.
QVariant larger(const QVariant& a, const QVariant& b) {
    if (a.isNull())
        return b;
    if (b.isNull())
        return a;
    return a.toString() < b.toString() ? b : a;
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
    const QString stored = QStringLiteral("SELECT MAX([%2]) FROM [%1] WHERE [%2] >= ? "
                                          "AND [%2] < ? AND length([%2]) = ? "
                                          "AND [%2] NOT GLOB '*[^0-9]*'")
                               .arg(table, column);
    const QVariant largest = larger(
        Connection::shared().scalar(stored, {prefix, QString(prefix + QLatin1Char(':')), width}),
        lastHandedOut(seriesName(table, column), prefix));
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
    const QString series = seriesName(table, column);
    const QVariant stored = Connection::shared().scalar(
        QStringLiteral("SELECT MAX([%2]) FROM [%1] WHERE length([%2]) = ? AND [%2] NOT GLOB "
                       "'*[^0-9]*'")
            .arg(table, column),
        {width});
    const QVariant last = lastHandedOut(series, noPrefix);
    // With no code stored the series starts at firstCode, unless a code at or above it was
    // handed out before (and deleted since).
    const QVariant largest = stored.isNull() && (last.isNull() || last.toString() < firstCode)
                                 ? QVariant()
                                 : larger(stored, last);
    const QString next =
        largest.isNull() ? firstCode : padded(largest.toString().toULongLong() + 1, width);
    if (next.size() > width)
        throw DbError(QStringLiteral("เลขที่ใช้ครบแล้ว: ") + largest.toString());
    record(series, noPrefix, next);
    return next;
}

} // namespace Numbering
