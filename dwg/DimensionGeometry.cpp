// The dimensions: their definition points as stored, named after the exchange format's group codes.
#include "dwg/GeometryReaders.h"

namespace dwg {

DimensionGeometry readDimension(EntityFields& fields, std::uint16_t type)
{
    const VersionFlags& f = fields.flags();
    BitReader& data = fields.data();
    if (f.r2010Plus) {
        data.readByte(); // class version
    }
    data.skipBitDoubles(3); // extrusion
    const double textX = fields.rawDouble();
    const double textY = fields.rawDouble();
    const double elevation = fields.bitDouble();
    data.readByte();                // flags
    fields.text();                  // user text
    data.skipBitDoubles(2 + 3 + 1); // text rotation, horizontal direction, insertion scale and rotation
    if (f.r2000Plus) {
        data.readBitShort();    // attachment
        data.readBitShort();    // line spacing style
        data.skipBitDoubles(2); // line spacing factor, measurement
    }
    if (f.r2007Plus) {
        data.skipBits(3); // unknown, arrow flips
    }
    data.skipRawDoubles(2); // clone insertion point

    DimensionGeometry dimension;
    auto add = [&](DimensionPointKind kind, Point3 point) { dimension.points.push_back({kind, point}); };
    add(DimensionPointKind::TextMidpoint, Point3{textX, textY, elevation});
    switch (type) {
    case 20: // ordinate
        add(DimensionPointKind::DefPoint, fields.point3());
        add(DimensionPointKind::DefPoint2, fields.point3());
        add(DimensionPointKind::DefPoint3, fields.point3());
        break;
    case 21: // linear
    case 22: // aligned
        add(DimensionPointKind::DefPoint2, fields.point3());
        add(DimensionPointKind::DefPoint3, fields.point3());
        add(DimensionPointKind::DefPoint, fields.point3());
        break;
    case 23: // angular, three points
        add(DimensionPointKind::DefPoint, fields.point3());
        add(DimensionPointKind::DefPoint2, fields.point3());
        add(DimensionPointKind::DefPoint3, fields.point3());
        add(DimensionPointKind::DefPoint4, fields.point3());
        break;
    case 24: // angular, two lines
        add(DimensionPointKind::ArcPoint, fields.rawPoint2(elevation));
        add(DimensionPointKind::DefPoint2, fields.point3());
        add(DimensionPointKind::DefPoint3, fields.point3());
        add(DimensionPointKind::DefPoint4, fields.point3());
        add(DimensionPointKind::DefPoint, fields.point3());
        break;
    case arcLengthDimension: // its extension lines' points and the arc's centre
        add(DimensionPointKind::DefPoint, fields.point3());
        add(DimensionPointKind::DefPoint2, fields.point3());
        add(DimensionPointKind::DefPoint3, fields.point3());
        add(DimensionPointKind::DefPoint4, fields.point3());
        break;
    case 25: // radius
        add(DimensionPointKind::DefPoint, fields.point3());
        add(DimensionPointKind::DefPoint4, fields.point3());
        break;
    default: // 26, diameter
        add(DimensionPointKind::DefPoint4, fields.point3());
        add(DimensionPointKind::DefPoint, fields.point3());
        break;
    }
    return dimension;
}

} // namespace dwg
