#include "modShowDigits.h"

#include "ControlAccess.h"

#include <cmath>

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The whole-number part of the number a text starts with (after blanks and an
// optional sign); 0 when there is none. Saturates far beyond any limit.
double leadingWholeNumber(QStringView text)
{
    text = text.trimmed();
    double sign = 1;
    if (!text.isEmpty() && (text[0] == u'+' || text[0] == u'-')) {
        sign = text[0] == u'-' ? -1 : 1;
        text = text.mid(1);
    }
    double value = 0;
    for (QChar c : text) {
        if (!isDigit(c))
            break;
        value = std::min(value * 10 + (c.unicode() - u'0'), 1e15);
    }
    return sign * value;
}

} // namespace

namespace modShowDigits {

void NumberEntryKey(QObject *display, int keyChar, std::int16_t minValue, std::int16_t maxValue)
{
    const QString name = ControlAccess::name(display);
    if (name != TypedNumberOwner) {
        TypedNumber.clear();
        TypedNumberOwner = name;
    }
    if (keyChar >= '0' && keyChar <= '9')
        TypedNumber += QChar(keyChar);
    if (keyChar == '+' || keyChar == '-')
        TypedNumber += QChar(keyChar);
    if (keyChar == ' ')
        TypedNumber.clear();

    if (keyChar == 0)
        ApplyTypedNumber(display, QString(QChar(u'\0')), minValue, maxValue);
    const bool signFirst = TypedNumber.startsWith(u'+') || TypedNumber.startsWith(u'-');
    if (QString::number(maxValue).size() == 1 && !signFirst) {
        ApplyTypedNumber(display, TypedNumber, minValue, maxValue);
        TypedNumber.clear();
    }
    if (TypedNumber.size() >= 2 && signFirst && isDigit(TypedNumber[1])) {
        ApplyTypedNumber(display, TypedNumber, minValue, maxValue);
        TypedNumber.clear();
    }
    if (keyChar == 13) {
        ApplyTypedNumber(display, TypedNumber, minValue, maxValue);
        TypedNumber.clear();
    }
}

void ApplyTypedNumber(QObject *display, const QString &text, std::int16_t minValue,
                      std::int16_t maxValue)
{
    double current = leadingWholeNumber(ControlAccess::read(display, "Caption").toString());
    if (current == -1)
        current = 0;
    if (text.isEmpty())
        return;
    const QChar first = text[0];
    double value;
    if (first == u'\0')
        value = -1;
    else if (isDigit(first))
        value = leadingWholeNumber(text);
    else if (first == u'+')
        value = current + leadingWholeNumber(QStringView(text).mid(1));
    else if (first == u'-')
        value = current - leadingWholeNumber(QStringView(text).mid(1));
    else
        return;
    if (value >= minValue && value <= maxValue)
        ControlAccess::write(display, "Caption", QString::number(std::int64_t(value)));
}

} // namespace modShowDigits
