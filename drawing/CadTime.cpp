// How the CAD program reports a drawing's creation time: the one place of that conversion.
#include "drawing/CadTime.h"

#include <ctime>

namespace dwg {

namespace {

constexpr std::int64_t unixEpochDay = 2440588; // day number of 1970-01-01
constexpr std::int64_t secondsPerDay = 86400;

} // namespace

double cadJulianDate(StoredTime stored)
{
    // Whole seconds of the stored instant: the CAD program drops the milliseconds (it truncates).
    std::int64_t day = stored.day;
    std::int64_t seconds = stored.ms / 1000;
    const std::int64_t unixTime = (day - unixEpochDay) * secondsPerDay + seconds;
    const auto instant = static_cast<std::time_t>(unixTime);
    std::tm local{};
    if (localtime_r(&instant, &local) != nullptr) {
        seconds += local.tm_gmtoff; // the offset in force at that instant, daylight saving included
    }
    // Carry whole days so that the fraction stays within one day (floor division for negative seconds).
    std::int64_t carry = seconds / secondsPerDay;
    seconds %= secondsPerDay;
    if (seconds < 0) {
        seconds += secondsPerDay;
        --carry;
    }
    day += carry;
    return static_cast<double>(day) + static_cast<double>(seconds) / static_cast<double>(secondsPerDay);
}

double storedJulianDate(StoredTime stored)
{
    return static_cast<double>(stored.day) + static_cast<double>(stored.ms) / 86400000.0;
}

} // namespace dwg
