#include "Tarrow.h"

#include "MonotonicClock.h"

Tarrow::Tarrow(MonotonicClock *clock, QObject *parent)
    : QObject(parent), m_clock(clock ? clock : MonotonicClock::system())
{
}

FixedTime Tarrow::time() const
{
    return timeAt(m_clock->nowNanoseconds());
}

FixedTime Tarrow::timeAt(std::int64_t clockNanoseconds) const
{
    if (!m_running)
        return m_base;
    const std::int64_t elapsedNs = clockNanoseconds - m_startedAt;
    const FixedTime left =
        m_base - FixedTime::fromTicks(elapsedNs / (1000000000 / FixedTime::TicksPerSecond));
    return left < FixedTime() ? FixedTime() : left;
}

void Tarrow::setTime(FixedTime time)
{
    m_base = time;
    m_startedAt = m_clock->nowNanoseconds();
}

void Tarrow::setRunning(bool running)
{
    ++m_switches;
    if (running == m_running)
        return;
    m_base = time();
    m_startedAt = m_clock->nowNanoseconds();
    m_running = running;
}
