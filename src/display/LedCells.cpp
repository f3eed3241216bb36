#include "LedCells.h"

#include <QVarLengthArray>
#include <cmath>

namespace {

Glyph digitGlyph(int d)
{
    return Glyph(int(Glyph::D0) + d);
}

int digitsFor(std::int64_t n)
{
    int digits = 1;
    while (n >= 10) {
        n /= 10;
        ++digits;
    }
    return digits;
}

std::int64_t power10(int n)
{
    std::int64_t p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// Writes value into `width` positions: zero-padded, or with leading blanks
// (but at least one digit). A value too large for them shows all nines.
void appendNumber(LedCells &cells, std::int64_t value, int width, bool zeroPad)
{
    if (width <= 0)
        return;
    const std::int64_t limit = power10(width) - 1;
    if (value > limit)
        value = limit;
    const int used = digitsFor(value);
    for (int i = width - 1; i >= 0; --i) {
        if (i >= used && !zeroPad)
            cells.append(Glyph::Blank);
        else
            cells.append(digitGlyph(int(value / power10(i) % 10)));
    }
}

} // namespace

int LedCells::digitCount() const
{
    int n = 0;
    for (int i = 0; i < count; ++i)
        n += isSeparator(glyphs[i]) ? 0 : 1;
    return n;
}

int LedCells::separatorCount() const
{
    return count - digitCount();
}

QString LedCells::toText() const
{
    QString text;
    for (int i = 0; i < count; ++i) {
        const Glyph g = glyphs[i];
        if (g <= Glyph::D9)
            text += QChar(u'0' + int(g));
        else if (g == Glyph::Blank || g == Glyph::SeparatorOff)
            text += u' ';
        else if (g == Glyph::Minus)
            text += u'-';
        else if (g == Glyph::Colon)
            text += u':';
        else
            text += u'.';
    }
    return text;
}

GroupUnits GroupUnits::parse(const QString &text)
{
    GroupUnits units;
    const auto parts = QStringView(text).split(u',');
    for (QStringView part : parts) {
        part = part.trimmed();
        bool ok = false;
        const double unit = part.toDouble(&ok);
        const std::int64_t ticks = ok ? std::llround(unit * 10000.0) : 0;
        units.unitTicks.append(ticks > 0 ? ticks : 10000);
        units.pointBefore.append(part.startsWith(u'.') || part.startsWith(u"0."));
    }
    if (units.unitTicks.isEmpty()) {
        units.unitTicks.append(10000);
        units.pointBefore.append(false);
    }
    return units;
}

QVector<int> parseGroupLengths(const QString &text)
{
    QVector<int> lengths;
    for (QStringView part : QStringView(text).split(u',')) {
        bool ok = false;
        const int n = part.trimmed().toInt(&ok);
        if (ok && n > 0 && n <= 8)
            lengths.append(n);
    }
    return lengths;
}

LedCells clockCells(float value, const GroupUnits &units, const QVector<int> &lengths)
{
    const int groups = int(units.unitTicks.size());
    int totalDigits = 0;
    for (int n : lengths)
        totalDigits += n;
    if (totalDigits == 0)
        totalDigits = 2 * groups;

    // Digits of the lower groups follow from their range; the first takes the rest.
    QVector<int> widths(groups, 1);
    int lower = 0;
    for (int i = 1; i < groups; ++i) {
        const std::int64_t range = units.unitTicks[i - 1] / units.unitTicks[i];
        widths[i] = range > 1 ? digitsFor(range - 1) : 1;
        lower += widths[i];
    }
    widths[0] = qMax(1, totalDigits - lower);

    LedCells cells;
    if (value == -1.0f) {
        for (int g = 0; g < groups; ++g) {
            if (g > 0)
                cells.append(Glyph::SeparatorOff);
            for (int i = 0; i < widths[g]; ++i)
                cells.append(Glyph::Blank);
        }
        return cells;
    }

    // Through whole ticks first, so that 0.7f (0.69999...) still shows 0.7.
    std::int64_t ticks = std::isfinite(value) ? std::llround(double(value) * 10000.0) : 0;
    if (ticks < 0)
        ticks = 0;
    QVarLengthArray<std::int64_t, 4> parts;
    for (int g = 0; g < groups; ++g) {
        const std::int64_t part = ticks / units.unitTicks[g];
        ticks -= part * units.unitTicks[g];
        parts.append(part);
    }
    // A value beyond the display shows the largest it can.
    if (parts[0] > power10(widths[0]) - 1) {
        parts[0] = power10(widths[0]) - 1;
        for (int g = 1; g < groups; ++g)
            parts[g] = qMax<std::int64_t>(0, units.unitTicks[g - 1] / units.unitTicks[g] - 1);
    }
    for (int g = 0; g < groups; ++g) {
        if (g > 0)
            cells.append(units.pointBefore[g] ? Glyph::Point : Glyph::Colon);
        appendNumber(cells, parts[g], widths[g], g > 0);
    }
    return cells;
}

LedCells numberCells(const QString &caption, int digits)
{
    LedCells cells;
    bool ok = false;
    const qlonglong value = caption.trimmed().toLongLong(&ok);
    if (!ok || value == -1) {
        for (int i = 0; i < digits; ++i)
            cells.append(Glyph::Blank);
        return cells;
    }
    if (value < 0) {
        // The sign takes the position before the first digit.
        if (digits < 2) {
            cells.append(Glyph::Minus);
            return cells;
        }
        appendNumber(cells, qMin<qlonglong>(-value, power10(digits - 1) - 1), digits, false);
        int first = 0;
        while (cells.glyphs[first] == Glyph::Blank)
            ++first;
        cells.glyphs[first - 1] = Glyph::Minus;
        return cells;
    }
    appendNumber(cells, value, digits, false);
    return cells;
}
