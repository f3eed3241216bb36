#include "NumberText.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Reads "[sign] digits [. digits] [e [sign] digits]" from position pos and
// returns how many characters form the number (0 when there is none).
qsizetype scanNumber(const QString &text, qsizetype pos)
{
    const qsizetype start = pos;
    const qsizetype n = text.size();
    if (pos < n && (text[pos] == u'+' || text[pos] == u'-'))
        ++pos;
    qsizetype digits = 0;
    while (pos < n && isDigit(text[pos])) {
        ++pos;
        ++digits;
    }
    if (pos < n && text[pos] == u'.') {
        ++pos;
        while (pos < n && isDigit(text[pos])) {
            ++pos;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (pos < n && (text[pos] == u'e' || text[pos] == u'E')) {
        qsizetype exp = pos + 1;
        if (exp < n && (text[exp] == u'+' || text[exp] == u'-'))
            ++exp;
        qsizetype expDigits = 0;
        while (exp < n && isDigit(text[exp])) {
            ++exp;
            ++expDigits;
        }
        if (expDigits > 0)
            pos = exp;
    }
    return pos - start;
}

template <typename Int> std::optional<Int> roundedInto(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    // nearbyint honours the current rounding mode, which is to-nearest-even.
    const int oldMode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(oldMode);
    if (rounded < double(std::numeric_limits<Int>::min()) ||
        rounded > double(std::numeric_limits<Int>::max()))
        return std::nullopt;
    return Int(rounded);
}

double toDouble(const QString &text, qsizetype pos, qsizetype length)
{
    return QStringView(text).mid(pos, length).toDouble();
}

template <typename Int> std::optional<Int> strict(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    const qsizetype length = scanNumber(text, begin);
    if (length == 0 || begin + length != end)
        return std::nullopt;
    return roundedInto<Int>(toDouble(text, begin, length));
}

} // namespace

namespace NumberText {

std::optional<std::int32_t> strictInt32(const QString &text)
{
    return strict<std::int32_t>(text);
}

std::optional<std::int16_t> strictInt16(const QString &text)
{
    return strict<std::int16_t>(text);
}

std::optional<std::int16_t> lenientInt16(const QString &text)
{
    qsizetype begin = 0;
    while (begin < text.size() && isBlank(text[begin]))
        ++begin;
    const qsizetype length = scanNumber(text, begin);
    if (length == 0)
        return std::int16_t(0);
    return roundedInto<std::int16_t>(toDouble(text, begin, length));
}

QString plain(std::int64_t value)
{
    return QString::number(qlonglong(value));
}

} // namespace NumberText
