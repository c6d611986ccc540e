// The machine's own clock for comparison runs.
#include "compare/SystemCompareClock.h"

#include <chrono>
#include <ctime>

namespace darv {

std::int64_t SystemCompareClock::nowSeconds()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::seconds>(now).count();
}

YearMonth SystemCompareClock::today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {static_cast<std::int64_t>(local.tm_year) + 1900, static_cast<std::int64_t>(local.tm_mon) + 1};
}

} // namespace darv
