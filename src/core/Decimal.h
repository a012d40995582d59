#pragma once

#include <QString>
#include <cstdint>

// Exact decimal numbers as integers scaled by a power of ten: what money and the number
// boxes are read and shown with.
namespace Library {

// How a typed text reads as a number: the one rule of every number box. A comma is a
// thousands separator only between a digit and three digits ("1,234.50").
enum class NumberReading {
    Number,    // scaled holds the value, rounded half away from zero to the decimals
    NoNumber,  // empty, or no number at all ("abc", "12a"): a box reads it as 0
    Malformed, // digits with a separator out of place ("1,0000", "12,34", "1.2.3"): no
               // number anyone could mean, so never read as 0
    TooLong,   // more than 15 whole digits: beyond every number stored
};
NumberReading ReadNumber(const QString& text, int decimals, std::int64_t& scaled);
// Whether ReadNumber reads the text as a number.
bool ParseDecimal(const QString& text, int decimals, std::int64_t& scaled);
// Formats an integer scaled by 10^decimals with FormatNum's masks.
QString FormatScaled(std::int64_t scaled, int decimals, bool withComma);

} // namespace Library
