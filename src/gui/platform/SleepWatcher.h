#pragma once

#include <QObject>

// Tells when the computer wakes from sleep, from logind's PrepareForSleep
// signal on the system bus. Without a system bus, or without logind on it, it
// never tells and says nothing: the scheduler then sees the wall clock's jump
// at its next tick.
class SleepWatcher : public QObject {
    Q_OBJECT

public:
    explicit SleepWatcher(QObject *parent = nullptr);

Q_SIGNALS:
    // The computer woke up.
    void woke();

private Q_SLOTS:
    // logind's signal: true before the computer goes to sleep, false after it woke.
    void PrepareForSleep(bool start);
};
