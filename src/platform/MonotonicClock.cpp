#include "MonotonicClock.h"

#include <chrono>

namespace {

class SteadyClock : public MonotonicClock {
public:
    std::int64_t nowNanoseconds() const override
    {
        using namespace std::chrono;
        return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
    }
};

} // namespace

MonotonicClock *MonotonicClock::system()
{
    static SteadyClock clock;
    return &clock;
}
