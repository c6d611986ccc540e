// Finding a drawing's hand-picked positions and the pieces around them.
#include "similar/HandPlaced.h"

#include "similar/Hashing.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace darv::similar {
namespace {

// A typed coordinate has at most this many decimals.
constexpr double kTypedDecimals = 1000;

std::uint64_t kindOf(const char* name)
{
    return Hasher().add(std::string(name)).value();
}

// The entities whose place is their only decision: a text's or a point's shape is the same wherever it lies, a
// construction line is endless.
bool placedByHand(std::uint64_t itemKind)
{
    static const std::uint64_t kinds[] = {kindOf("AcDbPoint"), kindOf("AcDbXline"), kindOf("AcDbRay")};
    return std::find(std::begin(kinds), std::end(kinds), itemKind) != std::end(kinds);
}

bool handPicked(const dwg::Point3& p)
{
    return !typedCoordinate(p.x) || !typedCoordinate(p.y) || !typedCoordinate(p.z);
}

using Offset = std::tuple<std::int64_t, std::int64_t, std::int64_t>;

Offset offsetKey(const dwg::Point3& from, const dwg::Point3& to)
{
    return {lengthKey(to.x - from.x), lengthKey(to.y - from.y), lengthKey(to.z - from.z)};
}

// The nearest pieces of one position, by distance, then by offset and shape: the same choice wherever the drawing
// lies.
class NearestPieces
{
public:
    explicit NearestPieces(const std::vector<GeometryItem>& items) : m_items(items)
    {
        m_byX.reserve(items.size());
        for (std::size_t k = 0; k < items.size(); ++k)
            m_byX.emplace_back(items[k].anchor.x, k);
        std::sort(m_byX.begin(), m_byX.end());
    }

    // Up to kPlaceNeighbours pieces other than `self`.
    std::vector<std::size_t> around(const dwg::Point3& at, std::size_t self) const
    {
        std::vector<Candidate> best;
        const auto consider = [&](std::size_t k) {
            if (k == self)
                return;
            const dwg::Point3& p = m_items[k].anchor;
            const double dx = p.x - at.x, dy = p.y - at.y, dz = p.z - at.z;
            const Candidate c{dx * dx + dy * dy + dz * dz, offsetKey(at, p), m_items[k].shape, k};
            if (best.size() == kPlaceNeighbours && !(c < best.back()))
                return;
            best.insert(std::upper_bound(best.begin(), best.end(), c), c);
            if (best.size() > kPlaceNeighbours)
                best.pop_back();
        };
        const auto reach = [&](double x) {
            const double dx = x - at.x;
            return best.size() < kPlaceNeighbours || dx * dx <= best.back().distance;
        };
        const auto start = std::lower_bound(m_byX.begin(), m_byX.end(), std::pair{at.x, std::size_t{0}});
        for (auto it = start; it != m_byX.end() && reach(it->first); ++it)
            consider(it->second);
        for (auto it = start; it != m_byX.begin() && reach(std::prev(it)->first); --it)
            consider(std::prev(it)->second);
        std::vector<std::size_t> out;
        for (const Candidate& c : best)
            out.push_back(c.piece);
        return out;
    }

private:
    struct Candidate
    {
        double distance = 0;
        Offset offset;
        std::uint64_t shape = 0;
        std::size_t piece = 0;
        bool operator<(const Candidate& o) const
        {
            return std::tie(distance, offset, shape) < std::tie(o.distance, o.offset, o.shape);
        }
    };
    const std::vector<GeometryItem>& m_items;
    std::vector<std::pair<double, std::size_t>> m_byX;
};

} // namespace

bool typedCoordinate(double value)
{
    if (!std::isfinite(value))
        return true;
    const double scaled = value * kTypedDecimals;
    return std::abs(scaled - std::round(scaled)) <= 1e-6 + 1e-12 * std::abs(scaled);
}

std::uint64_t handPlaceToken(std::uint64_t kind, const dwg::Point3& at, const dwg::Point3& offset)
{
    return makeToken(TokenKind::Place, Hasher(kind)
                                           .add(lengthKey(at.x + offset.x))
                                           .add(lengthKey(at.y + offset.y))
                                           .add(lengthKey(at.z + offset.z))
                                           .value());
}

std::vector<HandPlacedEntity> handPlacedEntities(const DrawingFeatures& features)
{
    static const std::uint64_t textKind = kindOf("text");
    std::vector<HandPlacedEntity> out;
    std::vector<std::size_t> selves; // the piece of a placed point, which is not its own neighbour
    for (std::size_t i = 0; i < features.entities.size(); ++i) {
        const EntityFeature& e = features.entities[i];
        if (e.isText && !e.fromTemplate && handPicked(e.anchor)) {
            out.push_back({i, textKind, e.anchor, 0, {}});
            selves.push_back(features.items.size());
        }
    }
    for (std::size_t k = 0; k < features.items.size(); ++k) {
        const GeometryItem& item = features.items[k];
        if (placedByHand(item.kind) && handPicked(item.anchor)) {
            out.push_back({item.entity, item.kind, item.anchor, 0, {}});
            selves.push_back(k);
        }
    }
    if (out.empty())
        return out;
    const NearestPieces nearest(features.items);
    for (std::size_t n = 0; n < out.size(); ++n) {
        HandPlacedEntity& h = out[n];
        h.place = handPlaceToken(h.kind, h.anchor);
        const std::vector<std::size_t> around = nearest.around(h.anchor, selves[n]);
        for (std::size_t j = 0; j < around.size(); ++j) {
            const GeometryItem& piece = features.items[around[j]];
            const auto [dx, dy, dz] = offsetKey(h.anchor, piece.anchor);
            h.relative[j] =
                makeToken(TokenKind::Place, Hasher(h.kind).add(piece.shape).add(dx).add(dy).add(dz).value());
        }
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const HandPlacedEntity& x, const HandPlacedEntity& y) { return x.entity < y.entity; });
    return out;
}

} // namespace darv::similar
