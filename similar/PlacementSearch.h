// Finding a copy that was turned, mirrored or scaled: pieces of A and B with the same rare form (PieceForm.h)
// propose placements two at a time, the placements that most such matches agree on are kept, and a placement
// is then confirmed by the pieces that coincide under it.
#pragma once

#include "similar/Placement.h"
#include "similar/PreparedDrawing.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace darv::similar {

// The pieces of `to` that the pieces of `from` lie on under a placement: the same family, centre, ends and size
// (within the tolerance of `to`, see PieceIndex.h).
class PlacedPieces;

// A placement as a matrix, for applying it to many points.
struct PlacementMatrix
{
    explicit PlacementMatrix(const Placement& placement);
    dwg::Point3 apply(const dwg::Point3& p) const
    {
        return {xx * p.x + xy * p.y + offset.x, yx * p.x + yy * p.y + offset.y, scale * p.z + offset.z};
    }

    double xx = 1, xy = 0, yx = 0, yy = 1, scale = 1;
    dwg::Point3 offset;
};

// The placements of A's geometry in B (B = placement(A)) that turn, mirror or scale and that the most matched
// rare forms agree on, more than on any move; best first, at most a few, none when fewer than three rare forms of
// A agree on any. Common forms propose nothing.
std::vector<Placement> proposePlacements(const PreparedDrawing& a, const PreparedDrawing& b);

class PlacedPieces
{
public:
    PlacedPieces(const PreparedDrawing& from, const PreparedDrawing& to, const Placement& placement);

    // A partner with the same form, among the same neighbours: a piece of the given part that merely lies where
    // a classmate's does is not found.
    bool found(std::size_t piece) const;
    std::vector<std::size_t> partners(std::size_t piece) const;

private:
    const PreparedDrawing& m_from;
    const PreparedDrawing& m_to;
    PlacementMatrix m_map;
    double m_scale = 1;
};

} // namespace darv::similar
