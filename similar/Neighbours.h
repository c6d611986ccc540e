// The context of each entity: its shape together with the shapes of its nearest neighbours and the offsets
// to them. A moved copy keeps every context; a redrawn part changes them.
#pragma once

#include "drawing/Drawing.h"

#include <array>
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

// What lies around a position among the shapes: the offsets to its nearest shapes on the length grid (nearest
// first, chosen as for a context) and those shapes.
struct Surroundings
{
    std::size_t count = 0;
    std::array<std::array<std::int64_t, 3>, kNeighbours> offsets{};
    std::array<std::uint64_t, kNeighbours> shapes{};
};

// The surroundings of each query among the shapes; a query's `self` (an index into shapes, or npos for a position
// that is none of them) is not its own neighbour. O((n + q) log n) whatever the arrangement.
struct SurroundingsQuery
{
    PlacedShape at;
    std::size_t self = static_cast<std::size_t>(-1);
};
std::vector<Surroundings> surroundingsOf(const std::vector<PlacedShape>& shapes,
                                         const std::vector<SurroundingsQuery>& queries);

} // namespace darv::similar
