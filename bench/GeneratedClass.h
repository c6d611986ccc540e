// A generated class of drawings for the benchmarks: handle lists as a CAD program leaves them.
#pragma once

#include "compare/CompareTables.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace darv {

// Every student starts from one template and the program hands out handles counting up from its seed;
// some students copy a classmate's drawing and change part of it.
CompareTables makeClass(std::size_t drawings, std::size_t lines, std::uint64_t seed);

// Writes a data folder with project BENCH: its location (a folder of empty drawings to count) and its
// collected data.
void writeDataFolder(const std::string& folder, const CompareTables& tables);

} // namespace darv
