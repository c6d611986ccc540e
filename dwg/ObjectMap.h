// The object map (AcDb:Handles): where each object of the drawing starts, in ascending handle order.
#pragma once

#include "dwg/Fault.h"

#include <cstdint>
#include <span>
#include <vector>

namespace dwg {

struct ObjectLocation
{
    std::uint64_t handle = 0;
    std::int64_t offset = 0; // R13-R2000: file offset; R2004+: offset in AcDb:AcDbObjects
};

// Errors: Truncated (a page runs past the section), Corrupt.
Expected<std::vector<ObjectLocation>> readObjectMap(std::span<const std::uint8_t> section);

} // namespace dwg
