// Names of the geometry that the drawing model shares between both readers.
#include "drawing/Geometry.h"

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

} // namespace dwg
