// Nearest neighbours of every piece from a k-d tree over the distinct anchors: O(n log n) whatever the
// arrangement (pieces sharing an x, a line, a grid, many pieces at one place).
#include "similar/Neighbours.h"

#include "similar/Hashing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
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
};

Surroundings surroundingsFrom(const Nearest& nearestOffsets)
{
    Surroundings out;
    out.count = nearestOffsets.count;
    for (std::size_t k = 0; k < nearestOffsets.count; ++k) {
        const Offset& o = nearestOffsets.best[k];
        out.offsets[k] = {o.dx, o.dy, o.dz};
        out.shapes[k] = o.shape;
    }
    return out;
}

// Coordinates beyond this (or not numbers) are put at the edge of the tree's space: such pieces still get
// neighbours, and never make a distance infinite.
constexpr double kFar = 1e13;
// A query gathers at most this many places: only a cluster of more distinct places than this, all within a few
// grid steps of each other, could make the gathering quadratic; its pieces then take the nearest found first.
constexpr std::size_t kMaxPlaces = 512;
constexpr std::size_t kLeaf = 8;
// Below this many query-piece pairs, measuring each piece costs less than building the tree.
constexpr std::size_t kPlainSearch = std::size_t{1} << 16;

double treeCoordinate(double v)
{
    if (std::isnan(v))
        return 0;
    return std::clamp(v, -kFar, kFar);
}

// The pieces grouped by place (bit-equal anchors), each place's pieces ordered by shape, and a k-d tree of
// the places.
class PlaceTree
{
public:
    explicit PlaceTree(const std::vector<PlacedShape>& shapes) : m_shapes(shapes)
    {
        const auto bits = [&](std::size_t i) {
            std::array<std::uint64_t, 3> b{};
            std::memcpy(&b[0], &shapes[i].anchor.x, 8);
            std::memcpy(&b[1], &shapes[i].anchor.y, 8);
            std::memcpy(&b[2], &shapes[i].anchor.z, 8);
            return b;
        };
        m_pieces.resize(shapes.size());
        std::iota(m_pieces.begin(), m_pieces.end(), std::size_t{0});
        std::vector<std::array<std::uint64_t, 3>> keys(shapes.size());
        for (std::size_t i = 0; i < shapes.size(); ++i)
            keys[i] = bits(i);
        std::sort(m_pieces.begin(), m_pieces.end(), [&](std::size_t a, std::size_t b) {
            if (keys[a] != keys[b])
                return keys[a] < keys[b];
            return std::tie(shapes[a].shape, a) < std::tie(shapes[b].shape, b);
        });
        m_placeOf.resize(shapes.size());
        for (std::size_t k = 0; k < m_pieces.size(); ++k) {
            if (k == 0 || keys[m_pieces[k]] != keys[m_pieces[k - 1]]) {
                const dwg::Point3& a = shapes[m_pieces[k]].anchor;
                m_places.push_back({k, k, {treeCoordinate(a.x), treeCoordinate(a.y), treeCoordinate(a.z)}});
            }
            m_places.back().end = k + 1;
            m_placeOf[m_pieces[k]] = m_places.size() - 1;
        }
        m_tree.resize(m_places.size());
        std::iota(m_tree.begin(), m_tree.end(), std::size_t{0});
        m_axis.assign(m_places.size(), 0);
        build(0, m_tree.size());
    }

    // The context of every piece, place by place in the tree's order (neighbouring places one after another):
    // the places near a place are gathered once for all of its pieces.
    void contexts(std::vector<std::uint64_t>& result)
    {
        for (const std::size_t own : m_tree) {
            const std::vector<std::size_t>& places = nearPlaces(own);
            for (std::size_t k = m_places[own].begin; k < m_places[own].end; ++k)
                result[m_pieces[k]] = contextOf(m_pieces[k], places);
        }
    }

    // The surroundings of a position that is `self` (a piece) or no piece at all (npos).
    Surroundings around(const PlacedShape& query, std::size_t self)
    {
        const bool isPiece = self < m_shapes.size();
        const std::array<double, 3> at{treeCoordinate(query.anchor.x), treeCoordinate(query.anchor.y),
                                       treeCoordinate(query.anchor.z)};
        const std::vector<std::size_t>& places = isPiece ? nearPlaces(m_placeOf[self]) : nearPlacesAt(at, kNone);
        const Nearest nearestOffsets = nearestTo(query, self, places);
        return surroundingsFrom(nearestOffsets);
    }

    // The place itself first, then every place that could hold one of the nearest offsets of its pieces.
    const std::vector<std::size_t>& nearPlaces(std::size_t own) { return nearPlacesAt(m_places[own].at, own); }

    // The same for a position; `own` is its place among the tree's, or kNone.
    const std::vector<std::size_t>& nearPlacesAt(const std::array<double, 3>& at, std::size_t own)
    {
        // The three nearest other places by plain distance, then every place that could hold a nearer offset
        // on the grid (rounding moves each offset by at most half a grid step per axis).
        std::array<std::pair<double, std::size_t>, kNeighbours + 1> best;
        std::size_t found = 0;
        nearest(0, m_tree.size(), at, own, best, found);
        double reach = std::numeric_limits<double>::infinity();
        if (found == kNeighbours)
            reach = std::sqrt(best[found - 1].first) + 2 * kLengthGrid +
                    1e-14 * (std::abs(at[0]) + std::abs(at[1]) + std::abs(at[2]) + std::sqrt(best[found - 1].first));
        std::vector<std::size_t>& places = m_scratch;
        places.clear();
        if (own != kNone)
            places.push_back(own);
        gather(0, m_tree.size(), at, reach * reach, own, places);
        return places;
    }

    std::uint64_t contextOf(std::size_t piece, const std::vector<std::size_t>& places) const
    {
        return contextHash(m_shapes[piece].shape, nearestTo(m_shapes[piece], piece, places));
    }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    Nearest nearestTo(const PlacedShape& self, std::size_t piece, const std::vector<std::size_t>& places) const
    {
        Nearest nearestOffsets;
        for (const std::size_t p : places) {
            // A place's pieces differ only by shape: its first few (by shape) are all that can count.
            std::size_t taken = 0;
            for (std::size_t k = m_places[p].begin; k < m_places[p].end && taken < kNeighbours; ++k) {
                if (m_pieces[k] == piece)
                    continue;
                nearestOffsets.offer(offsetBetween(self, m_shapes[m_pieces[k]]));
                ++taken;
            }
        }
        return nearestOffsets;
    }

    static std::uint64_t contextHash(std::uint64_t shape, const Nearest& nearestOffsets)
    {
        Hasher hash(0x434F4E54ull); // "CONT"
        hash.add(shape).add(static_cast<std::uint64_t>(nearestOffsets.count));
        for (std::size_t k = 0; k < nearestOffsets.count; ++k) {
            const Offset& o = nearestOffsets.best[k];
            hash.add(o.dx).add(o.dy).add(o.dz).add(o.shape);
        }
        return hash.value();
    }

    struct Place
    {
        std::size_t begin = 0; // its pieces in m_pieces
        std::size_t end = 0;
        std::array<double, 3> at;
    };

    double distance2(std::size_t place, const std::array<double, 3>& at) const
    {
        double d = 0;
        for (std::size_t axis = 0; axis < 3; ++axis) {
            const double delta = m_places[place].at[axis] - at[axis];
            d += delta * delta;
        }
        return d;
    }

    void build(std::size_t lo, std::size_t hi)
    {
        if (hi - lo <= kLeaf)
            return;
        std::array<double, 3> low{}, high{};
        low.fill(std::numeric_limits<double>::infinity());
        high.fill(-std::numeric_limits<double>::infinity());
        for (std::size_t k = lo; k < hi; ++k)
            for (std::size_t axis = 0; axis < 3; ++axis) {
                low[axis] = std::min(low[axis], m_places[m_tree[k]].at[axis]);
                high[axis] = std::max(high[axis], m_places[m_tree[k]].at[axis]);
            }
        std::size_t axis = 0;
        for (std::size_t a = 1; a < 3; ++a)
            if (high[a] - low[a] > high[axis] - low[axis])
                axis = a;
        const std::size_t mid = lo + (hi - lo) / 2;
        std::nth_element(m_tree.begin() + static_cast<std::ptrdiff_t>(lo),
                         m_tree.begin() + static_cast<std::ptrdiff_t>(mid),
                         m_tree.begin() + static_cast<std::ptrdiff_t>(hi), [&](std::size_t a, std::size_t b) {
                             return std::tie(m_places[a].at[axis], a) < std::tie(m_places[b].at[axis], b);
                         });
        m_axis[mid] = static_cast<std::uint8_t>(axis);
        build(lo, mid);
        build(mid + 1, hi);
    }

    void offer(std::array<std::pair<double, std::size_t>, kNeighbours + 1>& best, std::size_t& found,
               std::pair<double, std::size_t> candidate) const
    {
        if (found == kNeighbours && !(candidate < best[found - 1]))
            return;
        std::size_t at = found < kNeighbours ? found++ : kNeighbours - 1;
        best[at] = candidate;
        while (at > 0 && best[at] < best[at - 1]) {
            std::swap(best[at], best[at - 1]);
            --at;
        }
    }

    void nearest(std::size_t lo, std::size_t hi, const std::array<double, 3>& at, std::size_t own,
                 std::array<std::pair<double, std::size_t>, kNeighbours + 1>& best, std::size_t& found) const
    {
        if (hi - lo <= kLeaf) {
            for (std::size_t k = lo; k < hi; ++k)
                if (m_tree[k] != own)
                    offer(best, found, {distance2(m_tree[k], at), m_tree[k]});
            return;
        }
        const std::size_t mid = lo + (hi - lo) / 2;
        const std::size_t axis = m_axis[mid];
        const double delta = at[axis] - m_places[m_tree[mid]].at[axis];
        if (m_tree[mid] != own)
            offer(best, found, {distance2(m_tree[mid], at), m_tree[mid]});
        const bool lowFirst = delta <= 0;
        nearest(lowFirst ? lo : mid + 1, lowFirst ? mid : hi, at, own, best, found);
        if (found < kNeighbours || delta * delta <= best[found - 1].first)
            nearest(lowFirst ? mid + 1 : lo, lowFirst ? hi : mid, at, own, best, found);
    }

    void gather(std::size_t lo, std::size_t hi, const std::array<double, 3>& at, double reach2, std::size_t own,
                std::vector<std::size_t>& places) const
    {
        if (places.size() >= kMaxPlaces)
            return;
        if (hi - lo <= kLeaf) {
            for (std::size_t k = lo; k < hi && places.size() < kMaxPlaces; ++k)
                if (m_tree[k] != own && distance2(m_tree[k], at) <= reach2)
                    places.push_back(m_tree[k]);
            return;
        }
        const std::size_t mid = lo + (hi - lo) / 2;
        const std::size_t axis = m_axis[mid];
        const double delta = at[axis] - m_places[m_tree[mid]].at[axis];
        if (m_tree[mid] != own && distance2(m_tree[mid], at) <= reach2 && places.size() < kMaxPlaces)
            places.push_back(m_tree[mid]);
        const bool lowFirst = delta <= 0;
        gather(lowFirst ? lo : mid + 1, lowFirst ? mid : hi, at, reach2, own, places);
        if (delta * delta <= reach2)
            gather(lowFirst ? mid + 1 : lo, lowFirst ? hi : mid, at, reach2, own, places);
    }

    const std::vector<PlacedShape>& m_shapes;
    std::vector<std::size_t> m_pieces;  // piece indices, by place then shape
    std::vector<std::size_t> m_placeOf; // piece -> its place
    std::vector<Place> m_places;
    std::vector<std::size_t> m_tree;  // place indices in k-d order: each range's middle splits it
    std::vector<std::uint8_t> m_axis; // the split axis of the range whose middle is here
    std::vector<std::size_t> m_scratch;
};

} // namespace

std::vector<std::uint64_t> contextHashes(const std::vector<PlacedShape>& shapes)
{
    std::vector<std::uint64_t> result(shapes.size());
    if (shapes.empty())
        return result;
    PlaceTree tree(shapes);
    tree.contexts(result);
    return result;
}

std::vector<Surroundings> surroundingsOf(const std::vector<PlacedShape>& shapes,
                                         const std::vector<SurroundingsQuery>& queries)
{
    std::vector<Surroundings> result(queries.size());
    if (shapes.empty() || queries.empty())
        return result;
    if (queries.size() * shapes.size() <= kPlainSearch) {
        // A few positions among the pieces (the notes of a drawing): every piece offered, as the tree would.
        for (std::size_t q = 0; q < queries.size(); ++q) {
            const dwg::Point3& at = queries[q].at.anchor;
            Nearest nearestOffsets;
            // Pieces plainly farther than the third nearest so far (beyond what rounding to the grid can change)
            // are passed over without working out their offsets.
            double beyond = std::numeric_limits<double>::infinity();
            for (std::size_t k = 0; k < shapes.size(); ++k) {
                const dwg::Point3& p = shapes[k].anchor;
                const double dx = p.x - at.x, dy = p.y - at.y, dz = p.z - at.z;
                if (k == queries[q].self || dx * dx + dy * dy + dz * dz > beyond)
                    continue;
                nearestOffsets.offer(offsetBetween(queries[q].at, shapes[k]));
                if (nearestOffsets.count == kNeighbours) {
                    const double reach = (std::sqrt(nearestOffsets.best[kNeighbours - 1].length2) + 4) * kLengthGrid;
                    beyond = reach * reach;
                }
            }
            result[q] = surroundingsFrom(nearestOffsets);
        }
        return result;
    }
    PlaceTree tree(shapes);
    for (std::size_t q = 0; q < queries.size(); ++q)
        result[q] = tree.around(queries[q].at, queries[q].self);
    return result;
}

} // namespace darv::similar
