#pragma once

#include <QString>
#include <QVariant>
#include <cstdint>

// An amount of money in whole satang. Amounts are parsed from and shown as
// text with FormatNum's rules; the database stores them rounded to two decimals.
class Money {
public:
    constexpr Money() = default;
    static constexpr Money fromSatang(std::int64_t satang) { return Money(satang); }
    static Money fromBaht(double baht);
    // Text as typed or shown ("1,234.50"); a text that is not a number is 0.
    static Money fromText(const QString& text);
    // A database value: NULL and non-numbers are 0.
    static Money fromVariant(const QVariant& value);

    constexpr std::int64_t satang() const { return m_satang; }
    double toDouble() const { return static_cast<double>(m_satang) / 100.0; }
    QVariant toVariant() const { return toDouble(); }
    // "1,234.50" (withComma) or "1234.50".
    QString toText(bool withComma = true) const;

    constexpr bool isZero() const { return m_satang == 0; }
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
