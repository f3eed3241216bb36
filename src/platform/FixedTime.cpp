#include "FixedTime.h"

#include <cmath>

namespace {

// Floor division and the matching non-negative remainder.
struct FloorDiv {
    std::int64_t quotient;
    std::int64_t remainder;
};

FloorDiv floorDiv(std::int64_t n, std::int64_t d)
{
    std::int64_t q = n / d;
    std::int64_t r = n % d;
    if (r < 0) {
        --q;
        r += d;
    }
    return {q, r};
}

std::int64_t roundTicksHalfEven(std::int64_t ticks)
{
    const auto [q, r] = floorDiv(ticks, FixedTime::TicksPerSecond);
    const std::int64_t half = FixedTime::TicksPerSecond / 2;
    if (r > half)
        return q + 1;
    if (r < half)
        return q;
    return (q % 2 == 0) ? q : q + 1;
}

} // namespace

FixedTime FixedTime::fromDouble(double seconds)
{
    return FixedTime(std::llround(seconds * double(TicksPerSecond)));
}

std::int64_t FixedTime::roundHalfEven() const
{
    return roundTicksHalfEven(m_ticks);
}

std::int64_t FixedTime::displaySeconds() const
{
    return roundTicksHalfEven(m_ticks + 4999);
}
