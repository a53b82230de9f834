#pragma once

#include <QTimer>

// Keeps the scheduler's timer off for as long as it lives, and switches it on
// again however the scope is left.
class TimerPause {
public:
    explicit TimerPause(QTimer &timer)
        : m_timer(timer)
    {
        m_timer.stop();
    }
    ~TimerPause() { m_timer.start(); }
    TimerPause(const TimerPause &) = delete;
    TimerPause &operator=(const TimerPause &) = delete;

private:
    QTimer &m_timer;
};
