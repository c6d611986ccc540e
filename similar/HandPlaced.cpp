// Finding a drawing's hand-picked positions and the pieces around them.
#include "similar/HandPlaced.h"

#include "similar/Hashing.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace darv::similar {
namespace {

// A typed coordinate has at most this many decimals; a typed length of one's own is a whole number of quarters.
constexpr double kTypedDecimals = 1000;
constexpr double kTypedLengthParts = 4;

// Whether value is a whole number of 1/parts, to what a DXF's 16 significant digits or a sum of such values keep.
// False for a value that is not finite.
bool wholeParts(double value, double parts)
{
    const double scaled = value * parts;
    return std::abs(scaled - std::round(scaled)) <= 1e-6 + 1e-12 * std::abs(scaled);
}

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

// An offset on the length grid is typed when it is a whole number of thousandths.
bool typedOffset(const std::array<std::int64_t, 3>& offset)
{
    const std::int64_t thousandth = std::llround(1e-3 / kLengthGrid);
    return std::all_of(offset.begin(), offset.end(), [&](std::int64_t v) { return v % thousandth == 0; });
}

} // namespace

bool typedCoordinate(double value)
{
    return !std::isfinite(value) || wholeParts(value, kTypedDecimals);
}

bool typedPiece(const PieceForm& form)
{
    return wholeParts(form.size, kTypedLengthParts);
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
    std::vector<HandPlacedEntity> candidates;
    std::vector<SurroundingsQuery> queries;
    for (std::size_t i = 0; i < features.entities.size(); ++i) {
        const EntityFeature& e = features.entities[i];
        if (e.isText && !e.fromTemplate && handPicked(e.anchor)) {
            candidates.push_back({i, textKind, e.anchor, 0, {}});
            queries.push_back({{e.shape, e.anchor}, SurroundingsQuery{}.self});
        }
    }
    for (std::size_t k = 0; k < features.items.size(); ++k) {
        const GeometryItem& item = features.items[k];
        if (placedByHand(item.kind) && handPicked(item.anchor)) {
            candidates.push_back({item.entity, item.kind, item.anchor, 0, {}});
            queries.push_back({{item.shape, item.anchor}, k});
        }
    }
    if (candidates.empty())
        return {};
    std::vector<PlacedShape> pieces;
    pieces.reserve(features.items.size());
    for (const GeometryItem& item : features.items)
        pieces.push_back({item.shape, item.anchor});
    const std::vector<Surroundings> around = surroundingsOf(pieces, queries);
    std::vector<HandPlacedEntity> out;
    for (std::size_t n = 0; n < candidates.size(); ++n) {
        const Surroundings& s = around[n];
        if (std::any_of(s.offsets.begin(), s.offsets.begin() + static_cast<std::ptrdiff_t>(s.count), typedOffset))
            continue;
        HandPlacedEntity h = candidates[n];
        h.place = handPlaceToken(h.kind, h.anchor);
        for (std::size_t k = 0; k < s.count; ++k)
            h.relative[k] = makeToken(
                TokenKind::Place,
                Hasher(h.kind).add(s.shapes[k]).add(s.offsets[k][0]).add(s.offsets[k][1]).add(s.offsets[k][2]).value());
        out.push_back(h);
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const HandPlacedEntity& x, const HandPlacedEntity& y) { return x.entity < y.entity; });
    return out;
}

} // namespace darv::similar
