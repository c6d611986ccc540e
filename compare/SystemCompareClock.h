// The machine's own clock for comparison runs.
#pragma once

#include "compare/CompareClock.h"

namespace darv {

class SystemCompareClock : public CompareClock
{
public:
    std::int64_t nowSeconds() override;
    YearMonth today() override;
};

} // namespace darv
