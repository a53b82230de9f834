#include "core/system/Clock.h"

namespace {

class SystemClock final : public Clock {
protected:
    QDateTime currentDateTime() const override { return QDateTime::currentDateTime(); }
};

SystemClock g_systemClock;
Clock *g_clock = &g_systemClock;

} // namespace

Clock::~Clock() = default;

QDateTime Clock::now()
{
    return g_clock->currentDateTime();
}

void Clock::setInstance(Clock *clock)
{
    g_clock = clock ? clock : &g_systemClock;
}
