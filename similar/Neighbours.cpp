// Nearest neighbours of every entity by a sweep over the anchors sorted by x.
#include "similar/Neighbours.h"

#include "similar/Hashing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <tuple>

namespace darv::similar {
namespace {

// An offset on the grid: translation-invariant, so its comparisons are too.
struct Offset
{
    std::int64_t dx = 0;
    std::int64_t dy = 0;
    std::int64_t dz = 0;
    double length2 = 0;
    std::uint64_t shape = 0;

    bool operator<(const Offset& other) const
    {
        return std::tie(length2, dx, dy, dz, shape) <
               std::tie(other.length2, other.dx, other.dy, other.dz, other.shape);
    }
};

Offset offsetBetween(const PlacedShape& from, const PlacedShape& to)
{
    Offset o;
    o.dx = lengthKey(to.anchor.x - from.anchor.x);
    o.dy = lengthKey(to.anchor.y - from.anchor.y);
    o.dz = lengthKey(to.anchor.z - from.anchor.z);
    const auto x = static_cast<double>(o.dx);
    const auto y = static_cast<double>(o.dy);
    const auto z = static_cast<double>(o.dz);
    o.length2 = x * x + y * y + z * z;
    o.shape = to.shape;
    return o;
}

// Keeps the kNeighbours smallest offsets seen, in order.
struct Nearest
{
    std::array<Offset, kNeighbours> best{};
    std::size_t count = 0;

    void offer(const Offset& o)
    {
        if (count == kNeighbours && !(o < best[count - 1]))
            return;
        std::size_t at = count < kNeighbours ? count++ : kNeighbours - 1;
        best[at] = o;
        while (at > 0 && best[at] < best[at - 1]) {
            std::swap(best[at], best[at - 1]);
            --at;
        }
    }
    // Distance of the farthest kept neighbour, in grid units; anything farther along x cannot come in.
    double reach() const { return count < kNeighbours ? -1 : best[count - 1].length2; }
};

} // namespace

std::vector<std::uint64_t> contextHashes(const std::vector<PlacedShape>& shapes)
{
    std::vector<std::size_t> byX(shapes.size());
    std::iota(byX.begin(), byX.end(), std::size_t{0});
    // Sorted on the grid, so that coordinates that are not numbers still give an order.
    std::vector<std::int64_t> gridX(shapes.size());
    for (std::size_t i = 0; i < shapes.size(); ++i)
        gridX[i] = lengthKey(shapes[i].anchor.x);
    std::sort(byX.begin(), byX.end(),
              [&](std::size_t a, std::size_t b) { return std::tie(gridX[a], a) < std::tie(gridX[b], b); });
    std::vector<std::uint64_t> result(shapes.size());
    for (std::size_t rank = 0; rank < byX.size(); ++rank) {
        const PlacedShape& self = shapes[byX[rank]];
        Nearest nearest;
        // Walk outwards on both sides while a neighbour could still be nearer than the farthest kept one.
        const auto scan = [&](std::size_t other) {
            // One grid step of slack: the offsets round the difference, the sweep the coordinates.
            const double gap = std::abs(static_cast<double>(gridX[other]) - static_cast<double>(gridX[byX[rank]])) - 1;
            const double reach = nearest.reach();
            if (reach >= 0 && gap > 0 && gap * gap > reach)
                return false;
            nearest.offer(offsetBetween(self, shapes[other]));
            return true;
        };
        for (std::size_t r = rank + 1; r < byX.size() && scan(byX[r]);)
            ++r;
        for (std::size_t r = rank; r > 0 && scan(byX[r - 1]);)
            --r;
        Hasher hash(0x434F4E54ull); // "CONT"
        hash.add(self.shape).add(static_cast<std::uint64_t>(nearest.count));
        for (std::size_t k = 0; k < nearest.count; ++k)
            hash.add(nearest.best[k].dx).add(nearest.best[k].dy).add(nearest.best[k].dz).add(nearest.best[k].shape);
        result[byX[rank]] = hash.value();
    }
    return result;
}

} // namespace darv::similar
