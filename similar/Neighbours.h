// The context of each entity: its shape together with the shapes of its nearest neighbours and the offsets
// to them. A moved copy keeps every context; a redrawn part changes them.
#pragma once

#include "drawing/Drawing.h"

#include <cstdint>
#include <vector>

namespace darv::similar {

inline constexpr std::size_t kNeighbours = 3;

struct PlacedShape
{
    std::uint64_t shape = 0;
    dwg::Point3 anchor;
};

// One context hash per shape, from the kNeighbours nearest other shapes (by anchor distance; ties broken
// by the offset and the shape, so the choice is the same wherever the group lies).
std::vector<std::uint64_t> contextHashes(const std::vector<PlacedShape>& shapes);

} // namespace darv::similar
