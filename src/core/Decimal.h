#pragma once

#include <QString>
#include <cstdint>

// Exact decimal numbers as integers scaled by a power of ten: what money and the number
// boxes are read and shown with.
namespace Library {

// Parses a number text into an integer scaled by 10^decimals, rounding half away from
// zero. A comma is a thousands separator only between a digit and three digits
// ("1,234.50"); false when the text is not a number, or has more than 15 whole digits.
bool ParseDecimal(const QString& text, int decimals, std::int64_t& scaled);
// Formats an integer scaled by 10^decimals with FormatNum's masks.
QString FormatScaled(std::int64_t scaled, int decimals, bool withComma);

} // namespace Library
