#include "core/Numbering.h"

#include "core/Database.h"

namespace Numbering {
namespace {

QString padded(qulonglong value, int width) {
    return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
}

} // namespace

QString nextInSeries(const QString& table, const QString& column, const QString& prefix,
                     int width) {
    // The range lets the key's index find the year's codes without reading every code.
    const QString sql = QStringLiteral("SELECT MAX([%2]) FROM [%1] WHERE [%2] >= ? AND [%2] < ? "
                                       "AND length([%2]) = ? AND [%2] NOT GLOB '*[^0-9]*'")
                            .arg(table, column);
    const QVariant largest =
        Connection::shared().scalar(sql, {prefix, QString(prefix + QLatin1Char(':')), width});
    const int runWidth = width - static_cast<int>(prefix.size());
    const qulonglong run =
        largest.isNull() ? 0 : largest.toString().mid(prefix.size()).toULongLong();
    const QString next = prefix + padded(run + 1, runWidth);
    if (next.size() > width)
        throw DbError(QStringLiteral("เลขที่ของปีนี้ใช้ครบแล้ว: ") + largest.toString());
    return next;
}

QString nextAfterLargest(const QString& table, const QString& column, const QString& firstCode,
                         int width) {
    const QString sql =
        QStringLiteral("SELECT MAX([%2]) FROM [%1] WHERE length([%2]) = ? AND [%2] NOT GLOB "
                       "'*[^0-9]*'")
            .arg(table, column);
    const QVariant largest = Connection::shared().scalar(sql, {width});
    if (largest.isNull())
        return firstCode;
    const QString next = padded(largest.toString().toULongLong() + 1, width);
    if (next.size() > width)
        throw DbError(QStringLiteral("เลขที่ใช้ครบแล้ว: ") + largest.toString());
    return next;
}

} // namespace Numbering
