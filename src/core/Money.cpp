#include "core/Money.h"

#include "core/DbError.h"
#include "core/Decimal.h"

#include <cmath>

namespace {

[[noreturn]] void outOfRange(const QString& value) {
    throw DbError(Money::rangeMessage() + QStringLiteral(": ") + value);
}

} // namespace

QString Money::rangeMessage() {
    return QStringLiteral("จำนวนเงินเกินกว่าที่บันทึกได้ (ไม่เกิน ") + fromSatang(maxSatang).toText(true) +
           QStringLiteral(" บาท)");
}

Money Money::fromBaht(double baht) {
    const double satang = std::round(baht * 100.0);
    // Also false for NaN.
    if (!(std::fabs(satang) <= static_cast<double>(maxSatang)))
        outOfRange(QString::number(baht, 'g', 17));
    return Money(static_cast<std::int64_t>(satang));
}

Money Money::fromText(const QString& text) {
    std::int64_t satang = 0;
    if (!Library::ParseDecimal(text, 2, satang))
        return Money();
    const Money amount(satang);
    return amount.isExact() ? amount : Money();
}

bool Money::isOutOfRange(const QString& text) {
    std::int64_t satang = 0;
    const Library::NumberReading reading = Library::ReadNumber(text, 2, satang);
    return reading == Library::NumberReading::TooLong ||
           (reading == Library::NumberReading::Number && !Money(satang).isExact());
}

bool Money::isMalformed(const QString& text) {
    std::int64_t satang = 0;
    return Library::ReadNumber(text, 2, satang) == Library::NumberReading::Malformed;
}

Money Money::fromVariant(const QVariant& value) {
    if (value.isNull())
        return Money();
    if (value.typeId() == QMetaType::QString) {
        if (isOutOfRange(value.toString()))
            outOfRange(value.toString());
        return fromText(value.toString());
    }
    bool ok = false;
    const double baht = value.toDouble(&ok);
    return ok ? fromBaht(baht) : Money();
}

QVariant Money::toVariant() const {
    if (!isExact())
        outOfRange(toText(true));
    return static_cast<double>(m_satang) / 100.0;
}

QString Money::toText(bool withComma) const {
    return Library::FormatScaled(m_satang, 2, withComma);
}
