// Names of the geometry that the drawing model shares between both readers.
#include "drawing/Geometry.h"

#include <cmath>
#include <string>

namespace dwg {

const char* dimensionPointKey(DimensionPointKind kind)
{
    switch (kind) {
    case DimensionPointKind::DefPoint:
        return "defpoint";
    case DimensionPointKind::TextMidpoint:
        return "text_midpoint";
    case DimensionPointKind::DefPoint2:
        return "defpoint2";
    case DimensionPointKind::DefPoint3:
        return "defpoint3";
    case DimensionPointKind::DefPoint4:
        return "defpoint4";
    case DimensionPointKind::ArcPoint:
        return "arc_point";
    }
    return "defpoint";
}

double helixTopRadius(const HelixContents& helix, const Point3& end)
{
    const Point3& a = helix.axisVector;
    const double length = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
    if (!(length > 0) || !std::isfinite(length)) {
        return 0;
    }
    const Point3 d{end.x - helix.axisBase.x, end.y - helix.axisBase.y, end.z - helix.axisBase.z};
    const double along = (d.x * a.x + d.y * a.y + d.z * a.z) / length;
    const Point3 across{d.x - along * a.x / length, d.y - along * a.y / length, d.z - along * a.z / length};
    return std::sqrt(across.x * across.x + across.y * across.y + across.z * across.z);
}

} // namespace dwg
