// Where one drawing's geometry lies in another: mirrored, scaled, turned and moved. A moved copy has a placement
// that only moves; a copy that was turned, flipped or resized after pasting has one that says so.
#pragma once

#include "drawing/Geometry.h"

namespace darv::similar {

// B = offset + R(rotation) * scale * M(A), where M mirrors in the y axis (x -> -x) when `mirrored`: the mirror
// first, then the scale, the turn about the origin and the move. Only x and y turn; z is scaled and moved.
struct Placement
{
    double rotation = 0; // radians, counter-clockwise, in [0, 2 pi)
    bool mirrored = false;
    double scale = 1;
    dwg::Point3 offset;

    static Placement moved(const dwg::Point3& offset);
    dwg::Point3 apply(const dwg::Point3& p) const;
    Placement inverse() const;
    // Neither turned (below a hundredth of a degree) nor mirrored nor scaled (below 0.01 %).
    bool onlyMoves() const;
    double rotationDegrees() const;
};

} // namespace darv::similar
