// What a piece of geometry keeps when a copy is turned, mirrored or resized: its family (class and the values
// no such change alters), its centre, its two ends and its size; and, for every piece, a token of its form
// among its nearest neighbours that is the same in any such copy.
#pragma once

#include "drawing/Drawing.h"

#include <cstdint>
#include <vector>

namespace darv::similar {

struct PieceForm
{
    std::uint64_t family = 0; // class, and an arc's sweep, an ellipse's ratio, a block's name, a count of points
    dwg::Point3 centre;       // a line's midpoint, a circle's or arc's centre, the mean of other points
    dwg::Point3 from;         // the ends, in no particular order: a line's, an arc's; else the centre
    dwg::Point3 to;
    double size = 0; // a line's length, a radius, an axis; 0 for a point or a block reference
};

// The forms of the pieces that drawnPieces (EntityShape.h) gives for the entity, in the same order.
std::vector<PieceForm> pieceForms(const dwg::Entity& entity);

// One token value per piece: its family and size, and the families and sizes of the pieces at its place and at
// the two nearest other places, with the distances and the angle to those places, every length measured against
// the distance to the nearest place. Equal for a piece and its copy turned, mirrored, scaled and moved; 0 for a
// piece with no other place near it to measure by.
std::vector<std::uint64_t> formHashes(const std::vector<PieceForm>& forms);

} // namespace darv::similar
