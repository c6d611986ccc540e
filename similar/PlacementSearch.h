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

// The placements of A's geometry in B (B = placement(A)) that the most matched rare forms agree on, best first;
// at most a few, none when fewer than three rare forms of A agree on any. Common forms propose nothing.
std::vector<Placement> proposePlacements(const PreparedDrawing& a, const PreparedDrawing& b);

// The pieces of `to` that the pieces of `from` lie on under a placement: the same family, centre, ends and size
// (within a millionth of the drawing's extent).
class PlacedPieces
{
public:
    PlacedPieces(const PreparedDrawing& from, const PreparedDrawing& to, const Placement& placement);

    // A partner with the same form, among the same neighbours: a piece of the given part that merely lies where
    // a classmate's does is not found.
    bool found(std::size_t piece) const;
    std::vector<std::size_t> partners(std::size_t piece) const;

private:
    using Cell = std::pair<std::int64_t, std::int64_t>;
    Cell cellOf(const dwg::Point3& p) const;

    const PreparedDrawing& m_from;
    const PreparedDrawing& m_to;
    Placement m_placement;
    double m_tolerance = 0;
    std::vector<std::pair<Cell, std::size_t>> m_cells; // the pieces of `to` by the cell of their centre
};

} // namespace darv::similar
