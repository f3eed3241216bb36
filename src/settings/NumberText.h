#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// Conversions of stored text to the numeric fields of the settings record.
namespace NumberText {

// Strict: the whole text, blanks around it allowed, must be a decimal number;
// a fraction rounds to the nearest integer with a tie going to the even
// neighbour; the result must fit the range. Anything else gives no value.
std::optional<std::int32_t> strictInt32(const QString &text);
std::optional<std::int16_t> strictInt16(const QString &text);

// Lenient: the number at the start of the text (after leading blanks) up to
// the first character that can't continue it; no number gives 0. The result
// is rounded half to even and must fit 16 bits.
std::optional<std::int16_t> lenientInt16(const QString &text);

// A number as plain decimal text, a minus sign for negatives.
QString plain(std::int64_t value);

} // namespace NumberText
