#pragma once

#include <QString>
#include <cstdint>

class QObject;

// Numbers typed into a number display: a number and Enter replaces the
// value, a sign and one digit adds or subtracts at once, the Clear key
// blanks it, and on a one-digit display every digit counts at once.
namespace modShowDigits {

// The characters typed so far, and the name of the display they belong to.
// One buffer for all number displays.
inline QString TypedNumber;
inline QString TypedNumberOwner;

// Feeds one typed character (a character code; 13 is Enter, 0 the Clear key,
// -1 a key without a character) to the display's entry.
void NumberEntryKey(QObject *display, int keyChar, std::int16_t minValue, std::int16_t maxValue);

// Computes the display's new value from the text and writes it to its
// Caption when it lies within the limits.
void ApplyTypedNumber(QObject *display, const QString &text, std::int16_t minValue,
                      std::int16_t maxValue);

} // namespace modShowDigits
