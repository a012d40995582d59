#include "core/Decimal.h"

#include <QList>
#include <QStringView>
#include <algorithm>

namespace Library {

namespace {

bool allDigits(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The digits of a whole part. A comma separates thousands only: every comma has a digit
// before it and exactly three after it ("1,234"); "12,34" is no number at all.
bool wholeDigits(QStringView whole, QString& digits) {
    const QList<QStringView> groups = whole.split(u',');
    for (qsizetype i = 0; i < groups.size(); ++i) {
        const QStringView group = groups.at(i);
        if (!allDigits(group) || (i > 0 && group.size() != 3) ||
            (groups.size() > 1 && group.isEmpty()))
            return false;
        digits += group;
    }
    return true;
}

// Digits, written with nothing but a sign, points and commas.
bool looksLikeNumber(QStringView text) {
    if (text.startsWith(u'-') || text.startsWith(u'+'))
        text = text.mid(1);
    bool digit = false;
    for (QChar c : text) {
        if (c >= u'0' && c <= u'9')
            digit = true;
        else if (c != u'.' && c != u',')
            return false;
    }
    return digit;
}

} // namespace

NumberReading ReadNumber(const QString& text, int decimals, std::int64_t& scaled) {
    QStringView number = QStringView(text).trimmed();
    if (!looksLikeNumber(number))
        return NumberReading::NoNumber;
    bool negative = false;
    if (number.startsWith(u'-') || number.startsWith(u'+')) {
        negative = number.startsWith(u'-');
        number = number.mid(1);
    }
    const qsizetype point = number.indexOf(u'.');
    const QStringView fraction = point < 0 ? QStringView() : number.mid(point + 1);
    QString whole;
    if (!wholeDigits(point < 0 ? number : number.left(point), whole) || !allDigits(fraction))
        return NumberReading::Malformed;
    while (whole.startsWith(u'0'))
        whole.remove(0, 1);
    // 18 digits in all stay within 64 bits.
    if (whole.size() > 15 || whole.size() + decimals > 18)
        return NumberReading::TooLong;
    std::int64_t value = 0;
    for (QChar c : std::as_const(whole))
        value = value * 10 + (c.unicode() - '0');
    for (int i = 0; i < decimals; ++i)
        value = value * 10 + (i < fraction.size() ? fraction.at(i).unicode() - '0' : 0);
    if (fraction.size() > decimals && fraction.at(decimals) >= u'5')
        ++value; // half away from zero
    scaled = negative ? -value : value;
    return NumberReading::Number;
}

bool ParseDecimal(const QString& text, int decimals, std::int64_t& scaled) {
    return ReadNumber(text, decimals, scaled) == NumberReading::Number;
}

QString FormatScaled(std::int64_t scaled, int decimals, bool withComma) {
    const bool negative = scaled < 0;
    std::uint64_t magnitude = negative ? static_cast<std::uint64_t>(-(scaled + 1)) + 1
                                       : static_cast<std::uint64_t>(scaled);
    std::uint64_t divisor = 1;
    for (int i = 0; i < decimals; ++i)
        divisor *= 10;
    QString whole = QString::number(magnitude / divisor);
    if (withComma) {
        for (qsizetype i = whole.size() - 3; i > 0; i -= 3)
            whole.insert(i, QLatin1Char(','));
    }
    QString result = negative && magnitude != 0 ? QStringLiteral("-") + whole : whole;
    if (decimals > 0)
        result += QLatin1Char('.') +
                  QStringLiteral("%1").arg(magnitude % divisor, decimals, 10, QLatin1Char('0'));
    return result;
}

} // namespace Library
