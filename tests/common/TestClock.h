#pragma once

#include "core/system/Clock.h"

// A clock that tests set and move. Installed as the program's clock for its
// lifetime.
class TestClock : public Clock {
public:
    explicit TestClock(const QDateTime &start)
        : m_now(start)
    {
        Clock::setInstance(this);
    }
    ~TestClock() override { Clock::setInstance(nullptr); }
    TestClock(const TestClock &) = delete;
    TestClock &operator=(const TestClock &) = delete;

    void set(const QDateTime &moment) { m_now = moment; }
    void advanceMs(qint64 ms) { m_now = m_now.addMSecs(ms); }

protected:
    QDateTime currentDateTime() const override { return m_now; }

private:
    QDateTime m_now;
};
