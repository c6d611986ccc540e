// The polylines: lightweight ones with their points, and the heads of 2D, 3D and mesh polylines whose points are
// their vertices.
#include "dwg/GeometryReaders.h"

namespace dwg {

bool readLwPolyline(EntityFields& fields, PolylineGeometry& polyline)
{
    BitReader& data = fields.data();
    polyline.planar = true;
    const auto flags = static_cast<std::uint16_t>(data.readBitShort());
    polyline.closed = (flags & 512) != 0;
    if ((flags & 4) != 0) {
        data.skipBitDoubles(1); // constant width
    }
    if ((flags & 8) != 0) {
        data.skipBitDoubles(1); // elevation
    }
    if ((flags & 2) != 0) {
        data.skipBitDoubles(1); // thickness
    }
    if ((flags & 1) != 0) {
        data.skipBitDoubles(3); // extrusion
    }
    const auto count = static_cast<std::uint32_t>(data.readBitLong());
    if ((flags & 16) != 0) {
        data.readBitLong(); // bulges
    }
    if (fields.flags().r2010Plus && (flags & 1024) != 0) {
        data.readBitLong(); // vertex ids
    }
    if ((flags & 32) != 0) {
        data.readBitLong(); // widths
    }
    if (!plausibleCount(fields, count, 2)) {
        return false;
    }
    polyline.points.reserve(count);
    for (std::uint32_t i = 0; i < count && !fields.failed(); ++i) {
        Point3 p;
        if (i == 0 || !fields.flags().r2000Plus) {
            p = fields.rawPoint2(0.0);
        } else {
            // From R2000 on each point is stored as its difference from the one before.
            p.x = fields.defaulted(polyline.points.back().x);
            p.y = fields.defaulted(polyline.points.back().y);
        }
        polyline.points.push_back(p);
    }
    return !fields.failed();
}

PolylineGeometry readPolyline2d(EntityFields& fields, GeometryLinks& links, ObjectContents& out)
{
    PolylineGeometry polyline;
    BitReader& data = fields.data();
    const auto flags = static_cast<std::uint16_t>(data.readBitShort());
    polyline.closed = (flags & 1) != 0;
    data.readBitShort();    // curve type
    data.skipBitDoubles(2); // start and end width
    fields.skipThickness();
    out.elevation = fields.bitDouble();
    fields.skipExtrusion();
    if (fields.flags().r2004Plus) {
        links.ownedCount = static_cast<std::uint32_t>(data.readBitLong());
    }
    return polyline;
}

// A polyface mesh and a polygon mesh: their points are their vertices; a polygon mesh may be closed in M.
PolylineGeometry readMesh(EntityFields& fields, GeometryLinks& links, bool polyface)
{
    PolylineGeometry polyline;
    BitReader& data = fields.data();
    if (polyface) {
        data.readBitShort(); // vertex count
        data.readBitShort(); // face count
    } else {
        polyline.closed = (static_cast<std::uint16_t>(data.readBitShort()) & 1) != 0;
        for (int i = 0; i < 5; ++i) {
            data.readBitShort(); // curve type, M and N vertex counts, M and N densities
        }
    }
    if (fields.flags().r2004Plus) {
        links.ownedCount = static_cast<std::uint32_t>(data.readBitLong());
    }
    return polyline;
}

PolylineGeometry readPolyline3d(EntityFields& fields, GeometryLinks& links)
{
    PolylineGeometry polyline;
    BitReader& data = fields.data();
    data.readByte(); // curve type
    polyline.closed = (data.readByte() & 1) != 0;
    if (fields.flags().r2004Plus) {
        links.ownedCount = static_cast<std::uint32_t>(data.readBitLong());
    }
    return polyline;
}

} // namespace dwg
