// What the checks report while they run.
#include "compare/CompareObserver.h"

namespace darv {

std::string comparingText(std::int64_t first, std::int64_t second)
{
    // The numbers are written as the system always wrote them: a blank where a minus sign would go.
    return "Comparing  " + std::to_string(first) + " vs.  " + std::to_string(second);
}

std::string indexingText(std::int64_t step, std::int64_t steps)
{
    return "Indexing  " + std::to_string(step) + " of  " + std::to_string(steps);
}

} // namespace darv
