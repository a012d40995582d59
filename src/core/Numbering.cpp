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

DbError yearUsedUp(const QString& last) {
    return DbError(QStringLiteral("เลขที่ของปีนี้ใช้ครบแล้ว: ") + last);
}

// The largest all-digit code of that width stored in the table; NULL when there is none.
QVariant largestStored(const QString& table, const QString& column, int width) {
    return Connection::shared().scalar(
        QStringLiteral("SELECT MAX([%2]) FROM [%1] WHERE length([%2]) = ? AND [%2] NOT GLOB "
                       "'*[^0-9]*'")
            .arg(table, column),
        {width});
}

// Every series the stores number, with the length of its yearly prefix (0 for the series
// numbered after the largest code) and the width of its codes.
struct Series {
    const char* table;
    const char* column;
    int prefixLength;
    int width;
};
const Series numberedSeries[] = {
    {"CourseTable", "CourseNo", 2, 7}, {"Expense", "ExpID", 2, 8},  {"TimeStamp", "StmID", 0, 10},
    {"Statement", "StmID", 0, 8},      {"CtrlMenu", "MnuID", 0, 2},
};

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
        throw yearUsedUp(largest.toString());
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
    const QVariant stored = largestStored(table, column, width);
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

QString takeFromFirstOrAfterLargest(const QString& table, const QString& column,
                                    const QString& firstCode, int width) {
    const QString series = seriesName(table, column);
    const QVariant largest =
        larger(largestStored(table, column, width), lastHandedOut(series, noPrefix));
    const QString after =
        largest.isNull() ? QString() : padded(largest.toString().toULongLong() + 1, width);
    if (after.size() > width)
        throw DbError(QStringLiteral("เลขที่ใช้ครบแล้ว: ") + largest.toString());
    // Codes of one width: text order is number order.
    const QString next = after > firstCode ? after : firstCode;
    record(series, noPrefix, next);
    return next;
}

void recordStoredCodes(Connection& connection) {
    for (const Series& numbered : numberedSeries) {
        const QString series =
            seriesName(QString::fromLatin1(numbered.table), QString::fromLatin1(numbered.column));
        QString codes =
            QStringLiteral("SELECT [%2] AS Code FROM [%1]")
                .arg(QString::fromLatin1(numbered.table), QString::fromLatin1(numbered.column));
        QVariantList params{series, numbered.prefixLength};
        // A series numbered after the largest code keeps one last code, whatever prefix an
        // older version recorded it under.
        if (numbered.prefixLength == 0) {
            codes += QStringLiteral(" UNION ALL SELECT LastCode FROM CodeSeries WHERE Series = ?");
            params << series;
        }
        params << numbered.width << numbered.prefixLength;
        connection.exec(QStringLiteral("INSERT INTO CodeSeries (Series, Prefix, LastCode) "
                                       "SELECT ?, substr(Code, 1, ?), MAX(Code) FROM (") +
                            codes +
                            QStringLiteral(") WHERE length(Code) = ? AND Code NOT GLOB "
                                           "'*[^0-9]*' GROUP BY substr(Code, 1, ?) "
                                           "ON CONFLICT (Series, Prefix) DO UPDATE SET "
                                           "LastCode = max(LastCode, excluded.LastCode)"),
                        params);
        if (numbered.prefixLength == 0)
            connection.exec(
                QStringLiteral("DELETE FROM CodeSeries WHERE Series = ? AND Prefix <> ''"),
                {series});
    }
}

QString nextBillNumber(const QString& yy, const QString& counterYY, const QString& stored) {
    const QString counter = stored.trimmed();
    qsizetype digits = 0;
    while (digits < counter.size() && counter.at(digits).isDigit())
        ++digits;
    const qulonglong last = counterYY.trimmed() == yy ? counter.left(digits).toULongLong() : 0;
    const QString number = padded(last + 1, 5);
    if (number.size() > 5)
        throw yearUsedUp(yy + QLatin1Char('-') + counter);
    return yy + QLatin1Char('-') + number;
}

} // namespace Numbering
