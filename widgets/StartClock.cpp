// The splash wait.
#include "widgets/StartClock.h"

namespace darv {
namespace {
int clockSeconds(const QTime& t)
{
    return t.minute() * 60 + t.second();
}
} // namespace

void waitTwoClockSeconds(StartClock& clock)
{
    const int start = clockSeconds(clock.currentTime());
    for (;;) {
        const int now = clockSeconds(clock.currentTime());
        if ((now - start + 3600) % 3600 >= 2)
            return;
    }
}

} // namespace darv
