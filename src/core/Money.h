#pragma once

#include <QString>
#include <QVariant>
#include <cstdint>

// An amount of money in whole satang. Amounts are parsed from and shown as
// text with FormatNum's rules; the database stores them rounded to two decimals.
//
// The database keeps amounts as doubles, which hold fifteen significant digits
// exactly: every amount up to 9,999,999,999,999.99 either way comes back as it
// was stored. Typed amounts and stored values outside that range are refused,
// never rounded into another amount.
class Money {
public:
    static constexpr std::int64_t maxSatang = 999'999'999'999'999;
    static constexpr double maxBaht = 9'999'999'999'999.99;
    // "จำนวนเงินเกินกว่าที่บันทึกได้ ..." naming the largest amount.
    static QString rangeMessage();

    constexpr Money() = default;
    static constexpr Money fromSatang(std::int64_t satang) { return Money(satang); }
    // An amount given in baht; throws DbError outside the exact range.
    static Money fromBaht(double baht);
    // Text as typed or shown ("1,234.50"); a text that is not a number is 0, and so is
    // one outside the exact range (callers that store a typed amount refuse it first).
    static Money fromText(const QString& text);
    // Whether a text is a number that lies outside the exact range.
    static bool isOutOfRange(const QString& text);
    // Whether a text is digits with a separator out of place ("1,0000"): no amount at all,
    // yet not one to read as 0 either (callers that store a typed amount refuse it).
    static bool isMalformed(const QString& text);
    // A database value: NULL and non-numbers are 0; a number outside the exact range
    // throws DbError.
    static Money fromVariant(const QVariant& value);

    constexpr std::int64_t satang() const { return m_satang; }
    constexpr bool isExact() const { return m_satang >= -maxSatang && m_satang <= maxSatang; }
    // The value to store; throws DbError when the amount is outside the exact range.
    QVariant toVariant() const;
    // "1,234.50" (withComma) or "1234.50".
    QString toText(bool withComma = true) const;

    constexpr Money operator+(Money o) const { return Money(m_satang + o.m_satang); }
    constexpr Money operator-(Money o) const { return Money(m_satang - o.m_satang); }
    constexpr Money operator-() const { return Money(-m_satang); }
    Money& operator+=(Money o) {
        m_satang += o.m_satang;
        return *this;
    }
    Money& operator-=(Money o) {
        m_satang -= o.m_satang;
        return *this;
    }
    constexpr auto operator<=>(const Money&) const = default;

private:
    constexpr explicit Money(std::int64_t satang) : m_satang(satang) {}
    std::int64_t m_satang = 0;
};
