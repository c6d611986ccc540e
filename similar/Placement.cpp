// The arithmetic of placements.
#include "similar/Placement.h"

#include <algorithm>
#include <cmath>

namespace darv::similar {
namespace {

constexpr double kTurn = 6.283185307179586476925;
constexpr double kLeastTurn = kTurn / 36000;
constexpr double kLeastScale = 1e-4;

double normalised(double radians)
{
    double r = std::fmod(radians, kTurn);
    if (r < 0)
        r += kTurn;
    return r >= kTurn || !(r > 0) ? 0 : r; // never -0
}

} // namespace

Placement Placement::moved(const dwg::Point3& offset)
{
    Placement p;
    p.offset = offset;
    return p;
}

dwg::Point3 Placement::apply(const dwg::Point3& p) const
{
    const double x = (mirrored ? -p.x : p.x) * scale;
    const double y = p.y * scale;
    const double c = std::cos(rotation), s = std::sin(rotation);
    return {offset.x + c * x - s * y, offset.y + s * x + c * y, offset.z + scale * p.z};
}

Placement Placement::inverse() const
{
    // A = M(R(-rotation) (B - offset) / scale); M R(-t) = R(t) M, so the inverse turns by -t unmirrored and by t
    // mirrored.
    Placement back;
    back.mirrored = mirrored;
    back.scale = 1 / scale;
    back.rotation = normalised(mirrored ? rotation : -rotation);
    const dwg::Point3 origin = back.apply(offset);
    back.offset = {-origin.x, -origin.y, -origin.z};
    return back;
}

bool Placement::onlyMoves() const
{
    const double turn = std::min(normalised(rotation), kTurn - normalised(rotation));
    return !mirrored && turn < kLeastTurn && std::abs(scale - 1) < kLeastScale;
}

double Placement::rotationDegrees() const
{
    return normalised(rotation) * 360 / kTurn;
}

} // namespace darv::similar
