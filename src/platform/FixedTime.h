#pragma once

#include <QMetaType>
#include <cstdint>

// A time in seconds as a whole count of 1/10000 s. Clock arithmetic never
// touches floating point; only the final display value becomes a float.
class FixedTime {
public:
    static constexpr std::int64_t TicksPerSecond = 10000;

    constexpr FixedTime() = default;
    static constexpr FixedTime fromTicks(std::int64_t ticks) { return FixedTime(ticks); }
    static constexpr FixedTime fromSeconds(std::int64_t seconds)
    {
        return FixedTime(seconds * TicksPerSecond);
    }
    // Nearest tick to a decimal number of seconds (halves away from zero).
    static FixedTime fromDouble(double seconds);

    constexpr std::int64_t ticks() const { return m_ticks; }
    double toDouble() const { return double(m_ticks) / double(TicksPerSecond); }
    float toFloat() const { return float(toDouble()); }

    // The whole number of seconds nearest to this time, an exact half going
    // to the even neighbour.
    std::int64_t roundHalfEven() const;
    // What a clock shows in whole seconds: the time plus 0.4999 s, rounded
    // half to even. This is the ceiling, except one tick above an even second.
    std::int64_t displaySeconds() const;

    constexpr FixedTime operator+(FixedTime o) const { return FixedTime(m_ticks + o.m_ticks); }
    constexpr FixedTime operator-(FixedTime o) const { return FixedTime(m_ticks - o.m_ticks); }
    constexpr auto operator<=>(const FixedTime &) const = default;

private:
    constexpr explicit FixedTime(std::int64_t ticks) : m_ticks(ticks) {}
    std::int64_t m_ticks = 0;
};

Q_DECLARE_METATYPE(FixedTime)
