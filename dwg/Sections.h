// The section buffers a container reader hands to the version-independent part of the reader.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace dwg {

// Produced by the container readers (R13-R2000 locator table, R2004 family pages, R2007 pages).
// Every span lies inside the file bytes or inside `storage`; a Sections value must therefore not be
// copied (moving is fine: the inner vectors keep their heap buffers).
// The shape below was agreed with the R2007 container; keep it as it is.
// clang-format off
struct Sections
{
    std::span<const std::uint8_t> header, classes, handles, objects; // objects: R13-R2000 = whole file (absolute offsets); R2004+ = AcDb:AcDbObjects
    std::vector<std::vector<std::uint8_t>> storage;                  // owns decompressed buffers the spans point into
    std::span<const std::uint8_t> summaryInfo;                       // AcDb:SummaryInfo (2004 and later) when asked for and readable; else empty
    std::span<const std::uint8_t> dataStore;                         // AcDb:AcDsPrototype_1b (2010 and later) when asked for and readable; else empty
    std::vector<std::string> damage;                                 // failed checks of the container, each naming its part: the read is partial
};
// clang-format on

} // namespace dwg
