#pragma once

#include <QDateTime>

// The one source of the current date and time. Nothing else in the program
// asks the system for the time, so that tests can set and move it.
class Clock {
public:
    virtual ~Clock();

    // The local wall-clock date and time.
    static QDateTime now();
    static QDate today() { return now().date(); }

    // Makes `clock` the program's clock; nullptr goes back to the system's.
    // The caller keeps ownership.
    static void setInstance(Clock *clock);

protected:
    virtual QDateTime currentDateTime() const = 0;
};
