#include "modCount.h"

#include "ControlAccess.h"

namespace {

// The value of a run of digits ("" is 0).
std::int64_t digitsValue(QStringView digits)
{
    std::int64_t value = 0;
    for (QChar c : digits)
        value = value * 10 + (c.unicode() - u'0');
    return value;
}

} // namespace

namespace modCount {

FixedTime TimeEntryKey(const QObject *display, int keyChar, std::int32_t maxSeconds)
{
    const QString name = ControlAccess::name(display);
    if (name != TypedTimeOwner) {
        TypedTime.clear();
        TypedTimeOwner = name;
    }
    if (keyChar >= '0' && keyChar <= '9')
        TypedTime += QChar(keyChar);
    if (keyChar == '.')
        TypedTime += u'.';
    if (keyChar == ' ')
        TypedTime.clear();
    if (keyChar == 13) {
        const FixedTime t = ParseTypedTime(TypedTime);
        TypedTime.clear();
        if (t != NoTime && t <= FixedTime::fromSeconds(maxSeconds))
            return t;
    }
    return NoTime;
}

FixedTime ParseTypedTime(const QString &text)
{
    if (text.size() > 8)
        return NoTime;
    for (QChar c : text) {
        if (!(c.isDigit() && c.unicode() < 128) && c != u'.')
            return NoTime;
    }
    const QList<QStringView> pieces = QStringView(text).split(u'.');
    if (pieces.size() > 2)
        return NoTime;
    const std::int64_t minutes = digitsValue(pieces.value(0));
    std::int64_t seconds = 0;
    std::int64_t tenths = 0;
    if (pieces.size() == 2) {
        const QStringView second = pieces[1];
        if (second.size() <= 2) {
            seconds = digitsValue(second);
        } else {
            seconds = digitsValue(second.left(2));
            tenths = digitsValue(second.mid(2, 1));
        }
    }
    if (minutes > 99 || seconds > 99 || tenths > 9)
        return NoTime;
    return FixedTime::fromTicks((minutes * 60 + seconds) * FixedTime::TicksPerSecond +
                                tenths * (FixedTime::TicksPerSecond / 10));
}

} // namespace modCount
