// Julian day numbers as calendar dates (Meeus: Julian calendar before day 2299161, Gregorian from it on).
#pragma once

#include <cstdint>

namespace darv {

struct CalendarDate
{
    std::int64_t year = 0;
    std::int64_t month = 0;
    std::int64_t day = 0;
};

// JulianToDate: the calendar date of the day number t. The time of day (the fraction) is not added.
// Integer parts truncate toward zero, as the conversion has always done, also for dates before year 0.
CalendarDate julianToDate(double t);

} // namespace darv
