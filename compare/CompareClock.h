// The clock of a comparison run: the moments for the elapsed time, and today's year and month for the age check.
#pragma once

#include "compare/CheckDates.h"

#include <cstdint>

namespace darv {

class CompareClock
{
public:
    virtual ~CompareClock() = default;
    // The current moment in whole seconds (seconds since 1970 for the system clock).
    virtual std::int64_t nowSeconds() = 0;
    // Today's year and month in the local time zone.
    virtual YearMonth today() = 0;
};

} // namespace darv
