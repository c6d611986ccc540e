// The object map (AcDb:Handles): where each object of the drawing starts, in ascending handle order.
#pragma once

#include "dwg/Fault.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace dwg {

struct ObjectLocation
{
    std::uint64_t handle = 0;
    std::int64_t offset = 0; // R13-R2000: file offset; R2004+: offset in AcDb:AcDbObjects
};

struct ObjectMap
{
    std::vector<ObjectLocation> locations;
    std::vector<std::string> damage; // pages that fail their CRC check, or where the map breaks off
};

// A page that fails its CRC check is read all the same; a page that cannot be read ends the map there. Both are
// told in `damage`.
// Errors: Truncated or Corrupt when not even the first page can be read.
Expected<ObjectMap> readObjectMap(std::span<const std::uint8_t> section);

} // namespace dwg
