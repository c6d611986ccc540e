// The wall clock that start-up reads while the splash window waits; tests replace it.
#pragma once

#include <QTime>

namespace darv {

class StartClock
{
public:
    virtual ~StartClock() = default;
    virtual QTime currentTime() = 0;
};

class SystemStartClock : public StartClock
{
public:
    QTime currentTime() override { return QTime::currentTime(); }
};

// Busy-waits until the clock's whole seconds (minute * 60 + second, modulo one hour) have advanced
// by two, so the wait lasts more than one and at most two seconds.
void waitTwoClockSeconds(StartClock& clock);

} // namespace darv
