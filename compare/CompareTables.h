// The per-drawing tables of a comparison run: one slot per drawing counted.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace darv {

// Slot k holds the record on line k + 1 of the collected-data file. A slot without a record keeps an
// empty name, time 0 (no time stamp) and an empty handle list.
struct CompareTables
{
    std::vector<std::string> names;
    std::vector<double> times;        // Julian dates; the fraction is the time of day
    std::vector<std::string> handles; // every handle followed by "$", as stored

    explicit CompareTables(std::size_t count = 0) : names(count), times(count, 0.0), handles(count) {}

    std::size_t drawingCount() const { return names.size(); }
};

} // namespace darv
