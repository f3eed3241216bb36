#pragma once

#include "FixedTime.h"

#include <QObject>

class MonotonicClock;

// A count-down time-keeper. The remaining time is computed from the clock
// each time it is read, never counted in ticks, so it cannot drift. It stops
// at zero but stays "running" until told otherwise.
class Tarrow : public QObject {
    Q_OBJECT
    Q_CLASSINFO("ControlClass", "Tarrow")
    Q_PROPERTY(QString Name READ objectName)
    Q_PROPERTY(bool Running READ running WRITE setRunning)
    Q_PROPERTY(FixedTime Time READ time WRITE setTime)

public:
    explicit Tarrow(MonotonicClock *clock, QObject *parent = nullptr);

    bool running() const { return m_running; }
    // Every start and stop counts, a stop of a stopped keeper too: undo
    // tells by it whether anything started or stopped the keeper since.
    void setRunning(bool running);
    int switches() const { return m_switches; }
    void setSwitches(int switches) { m_switches = switches; }
    FixedTime time() const;
    // What it shows at the given reading of its clock, so that several
    // keepers can be read at one instant.
    FixedTime timeAt(std::int64_t clockNanoseconds) const;
    void setTime(FixedTime time);

private:
    MonotonicClock *m_clock;
    bool m_running = false;
    int m_switches = 0;
    FixedTime m_base;             // the time when last started, set or stopped
    std::int64_t m_startedAt = 0; // clock reading at that moment
};
