// Reads the section buffers of a 2007-format (AC1021) drawing from its paged, RS-coded container.
#pragma once

#include "dwg/Fault.h"
#include "dwg/Sections.h"

#include <cstdint>
#include <span>

namespace dwg {

// Decoding never allocates more than this many times the file size in total, whatever the size fields
// claim: real sections expand far less, and a forged size must not exhaust memory.
constexpr std::uint64_t kR2007MaxExpansion = 16;

// Fills header, classes, handles and objects (AcDb:AcDbObjects; object-map offsets count from its
// start) from the whole file. The spans point into the returned value's storage.
// With `withSummaryInfo`, AcDb:SummaryInfo too when it is there and readable (optional).
Expected<Sections> readR2007Sections(std::span<const std::uint8_t> file, bool withSummaryInfo = false);

} // namespace dwg
