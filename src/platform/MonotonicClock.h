#pragma once

#include <cstdint>

// The time source of the time-keepers. The program's own clock is steady;
// tests pass a clock that they move by hand.
class MonotonicClock {
public:
    virtual ~MonotonicClock() = default;
    virtual std::int64_t nowNanoseconds() const = 0;

    // The steady clock that the running program uses.
    static MonotonicClock *system();
};

class ManualClock : public MonotonicClock {
public:
    std::int64_t nowNanoseconds() const override
    {
        m_now += m_readDelay;
        return m_now;
    }
    void advanceMilliseconds(std::int64_t ms) { m_now += ms * 1000000; }
    void advanceNanoseconds(std::int64_t ns) { m_now += ns; }
    // A busy machine: every reading of the clock comes this much after the
    // one before.
    void setReadDelayNanoseconds(std::int64_t ns) { m_readDelay = ns; }

private:
    mutable std::int64_t m_now = 1000000000;
    std::int64_t m_readDelay = 0;
};
