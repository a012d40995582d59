#include "core/LibraryCore.h"

#include "core/Seams.h"

#include <QLocale>

namespace Library {

QString gToday;
QString gUserID;
QString gShopName;
QString gImagePath;

QString Quote(const QString& text) {
    QString doubled = text;
    doubled.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

namespace {

// The day a stored key names; invalid for a text of another length or no such day
// ("20230231"), which counts as no date at all.
QDate keyDate(const QString& key) {
    return key.size() == 8 ? QDate::fromString(key, QStringLiteral("yyyyMMdd")) : QDate();
}

} // namespace

QDate KeyToDate(const QString& key) {
    const QDate date = keyDate(key);
    return date.isValid() ? date : Seams::today();
}

QString KeyToShortThaiDate(const QString& key) {
    if (!keyDate(key).isValid())
        return {};
    const int year = key.left(4).toInt() + 543;
    return key.mid(6, 2) + QLatin1Char('/') + key.mid(4, 2) + QLatin1Char('/') +
           QStringLiteral("%1").arg(year % 100, 2, 10, QLatin1Char('0'));
}

QString KeyToThaiDate(const QString& key) {
    if (!keyDate(key).isValid())
        return {};
    const int year = key.left(4).toInt() + 543;
    return key.mid(6, 2) + QLatin1Char('/') + key.mid(4, 2) + QLatin1Char('/') +
           QString::number(year);
}

QString classDatesText(const Recordset& row) {
    const QString end =
        row.isNull(QStringLiteral("DateEnd")) ? gToday : row.text(QStringLiteral("DateEnd"));
    return KeyToShortThaiDate(row.text(QStringLiteral("DateStart"))) + QStringLiteral(" - ") +
           KeyToShortThaiDate(end) + QStringLiteral(" (") + row.text(QStringLiteral("CourseDate")) +
           QStringLiteral(")");
}

QString DateToKey(const QDate& date) {
    return date.toString(QStringLiteral("yyyyMMdd"));
}

QString DateToThaiDate(const QDate& date) {
    return KeyToThaiDate(DateToKey(date));
}

QString BuddhistYY(const QDate& date) {
    return QStringLiteral("%1").arg((date.year() + 543) % 100, 2, 10, QLatin1Char('0'));
}

QString FormatNum(const QString& text, bool withComma, int decimals) {
    decimals = std::clamp(decimals, 0, 6);
    std::int64_t scaled = 0;
    if (!ParseDecimal(text, decimals, scaled))
        return text;
    return FormatScaled(scaled, decimals, withComma);
}

double NumValue(const QString& text) {
    std::int64_t whole = 0;
    if (!ParseDecimal(text, 0, whole))
        return 0.0;
    QString plain = text.trimmed();
    plain.remove(QLatin1Char(','));
    return QLocale::c().toDouble(plain);
}

std::optional<double> TypedNumber(const QString& text) {
    std::int64_t whole = 0;
    switch (ReadNumber(text, 0, whole)) {
    case NumberReading::NoNumber:
        return 0.0;
    case NumberReading::Malformed:
    case NumberReading::TooLong:
        return std::nullopt;
    case NumberReading::Number:
        break;
    }
    QString plain = text.trimmed();
    plain.remove(QLatin1Char(','));
    // The digits that carry the value: no sign, no zeros before the first other digit or
    // after the last decimal one.
    QString digits = plain;
    digits.remove(QLatin1Char('-'));
    digits.remove(QLatin1Char('+'));
    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    if (point >= 0) {
        while (digits.endsWith(QLatin1Char('0')))
            digits.chop(1);
        digits.remove(point, 1);
    }
    while (digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    constexpr int storedDigits = 15;
    if (digits.size() > storedDigits)
        return std::nullopt;
    return QLocale::c().toDouble(plain);
}

QString NumberText(const QVariant& value) {
    if (value.isNull())
        return {};
    return QString::number(value.toDouble(), 'f', QLocale::FloatingPointShortest);
}

namespace {

const char16_t* const digitWords[] = {u"ศูนย์", u"หนึ่ง", u"สอง", u"สาม", u"สี่",
                                      u"ห้า",  u"หก",  u"เจ็ด", u"แปด", u"เก้า"};
const char16_t* const placeWords[] = {u"", u"สิบ", u"ร้อย", u"พัน", u"หมื่น", u"แสน"};

// Reads 1..999999; a final one after a higher digit reads "เอ็ด".
QString readGroup(std::uint64_t n, bool higherDigitsBefore) {
    QString words;
    const QString digits = QString::number(n);
    const qsizetype length = digits.size();
    for (qsizetype i = 0; i < length; ++i) {
        const int digit = digits.at(i).unicode() - '0';
        const qsizetype place = length - 1 - i;
        if (digit == 0)
            continue;
        if (place == 1 && digit == 1)
            words += QStringView(u"สิบ");
        else if (place == 1 && digit == 2)
            words += QStringView(u"ยี่สิบ");
        else if (place == 0 && digit == 1 && (length > 1 || higherDigitsBefore))
            words += QStringView(u"เอ็ด");
        else
            words += QStringView(digitWords[digit]) + QStringView(placeWords[place]);
    }
    return words;
}

// Reads a whole number; "ล้าน" repeats for millions of millions.
QString readNumber(std::uint64_t n, bool higherDigitsBefore = false) {
    if (n >= 1000000) {
        const std::uint64_t rest = n % 1000000;
        QString words = readNumber(n / 1000000, higherDigitsBefore) + QStringView(u"ล้าน");
        if (rest > 0)
            words += readGroup(rest, true);
        return words;
    }
    return readGroup(n, higherDigitsBefore);
}

} // namespace

QString BahtText(Money amount) {
    const std::int64_t satang = amount.satang();
    // The magnitude of the lowest amount does not fit a signed number.
    const std::uint64_t magnitude =
        satang < 0 ? 0 - static_cast<std::uint64_t>(satang) : static_cast<std::uint64_t>(satang);
    const std::uint64_t baht = magnitude / 100;
    const std::uint64_t cents = magnitude % 100;
    if (magnitude == 0)
        return QStringLiteral("ศูนย์บาทถ้วน");
    QString words = satang < 0 ? QStringLiteral("ลบ") : QString();
    if (baht > 0)
        words += readNumber(baht) + QStringView(u"บาท");
    if (cents == 0)
        words += QStringView(u"ถ้วน");
    else
        words += readGroup(cents, false) + QStringView(u"สตางค์");
    return words;
}

QString GetItemKey(const QString& text) {
    const qsizetype at = text.lastIndexOf(QLatin1Char('@'));
    if (at < 0)
        return {};
    return text.mid(at + 1).trimmed();
}

QString KeyedItem(const QString& text, int blanks, const QString& code) {
    return text + QString(blanks, QLatin1Char(' ')) + QLatin1Char('@') + code;
}

} // namespace Library
