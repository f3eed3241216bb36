#pragma once

#include <QString>
#include <QVector>
#include <array>
#include <cstdint>

// What one position of an LED display shows.
enum class Glyph : std::uint8_t {
    D0,
    D1,
    D2,
    D3,
    D4,
    D5,
    D6,
    D7,
    D8,
    D9,
    Blank, // a digit position with nothing lit
    Minus,
    Colon,
    Point,
    SeparatorOff, // a separator position with nothing lit
};

inline bool isSeparator(Glyph g)
{
    return g == Glyph::Colon || g == Glyph::Point || g == Glyph::SeparatorOff;
}

// The glyphs a display shows, left to right; small and fixed so that a
// refresh allocates nothing.
struct LedCells {
    static constexpr int Capacity = 24;
    std::array<Glyph, Capacity> glyphs{};
    int count = 0;

    void append(Glyph g)
    {
        if (count < Capacity)
            glyphs[count++] = g;
    }
    bool operator==(const LedCells &o) const
    {
        return count == o.count &&
               std::equal(glyphs.begin(), glyphs.begin() + count, o.glyphs.begin());
    }
    int digitCount() const;
    int separatorCount() const;
    // "10:00", " 59.9", "  _" ... for tests and messages.
    QString toText() const;
};

// "60,1" or "1,.1": the unit of each digit group in 1/10000 of the value's
// unit, most significant first, and whether a decimal point (rather than a
// colon) stands before each group.
struct GroupUnits {
    QVector<std::int64_t> unitTicks;
    QVector<bool> pointBefore;
    static GroupUnits parse(const QString &text);
};

// "1,2": the number of digit positions of each group.
QVector<int> parseGroupLengths(const QString &text);

// A clock display's value split into its groups. The number of digit
// positions stays sum(lengths) whatever the units: the lower groups take the
// digits their range needs and the first group the rest. −1 blanks it.
LedCells clockCells(float value, const GroupUnits &units, const QVector<int> &lengths);

// A whole number right-aligned in `digits` positions; "-1" blanks it.
LedCells numberCells(const QString &caption, int digits);
