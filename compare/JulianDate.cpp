// Julian day numbers as calendar dates (Meeus).
#include "compare/JulianDate.h"

#include <cmath>

namespace darv {
namespace {

// A day number far outside any calendar still gives a defined (clamped) date instead of an overflow.
std::int64_t toInteger(double value)
{
    constexpr double limit = 9.0e15;
    if (!(value > -limit))
        return static_cast<std::int64_t>(-limit);
    if (value > limit)
        return static_cast<std::int64_t>(limit);
    return static_cast<std::int64_t>(value);
}

} // namespace

CalendarDate julianToDate(double t)
{
    if (!std::isfinite(t))
        t = 0.0;
    const double z = std::trunc(t);
    double a = z;
    if (z >= 2299161.0) {
        const double alpha = std::trunc((z - 1867216.25) / 36524.25);
        a = z + 1.0 + alpha - std::trunc(alpha / 4.0);
    }
    const double b = a + 1524.0;
    const double k = std::trunc((b - 122.1) / 365.25);
    const double d = std::trunc(365.25 * k);
    const double e = std::trunc((b - d) / 30.6001);
    const double day = std::trunc(b - d - std::trunc(30.6001 * e));
    const double month = e < 14.0 ? e - 1.0 : e - 13.0;
    const double year = month > 2.0 ? k - 4716.0 : k - 4715.0;
    return {toInteger(year), toInteger(month), toInteger(day)};
}

} // namespace darv
