#include "Tarrow.h"

#include "MonotonicClock.h"

Tarrow::Tarrow(MonotonicClock *clock, QObject *parent)
    : QObject(parent), m_clock(clock ? clock : MonotonicClock::system())
{
}

FixedTime Tarrow::elapsedSinceStart() const
{
    const std::int64_t ns = m_clock->nowNanoseconds() - m_startedAt;
    return FixedTime::fromTicks(ns / (1000000000 / FixedTime::TicksPerSecond));
}

FixedTime Tarrow::time() const
{
    if (!m_running)
        return m_base;
    const FixedTime left = m_base - elapsedSinceStart();
    return left < FixedTime() ? FixedTime() : left;
}

void Tarrow::setTime(FixedTime time)
{
    m_base = time;
    m_startedAt = m_clock->nowNanoseconds();
}

void Tarrow::setRunning(bool running)
{
    if (running == m_running)
        return;
    m_base = time();
    m_startedAt = m_clock->nowNanoseconds();
    m_running = running;
}
