// The geometry of the entity classes the reader decodes, read as the drawing stores it.
#include "dwg/EntityGeometry.h"

#include "dwg/GeometryReaders.h"
#include "dwg/SplineFit.h"

#include <utility>

namespace dwg {

namespace {

LineGeometry readLine(EntityFields& fields)
{
    LineGeometry line;
    if (!fields.flags().r2000Plus) {
        line.start = fields.point3();
        line.end = fields.point3();
        return line;
    }
    const bool zIsZero = fields.data().readBit();
    line.start.x = fields.rawDouble();
    line.end.x = fields.defaulted(line.start.x);
    line.start.y = fields.rawDouble();
    line.end.y = fields.defaulted(line.start.y);
    if (!zIsZero) {
        line.start.z = fields.rawDouble();
        line.end.z = fields.defaulted(line.start.z);
    }
    return line;
}

ArcGeometry readArc(EntityFields& fields)
{
    ArcGeometry arc;
    arc.center = fields.point3();
    arc.radius = fields.bitDouble();
    fields.skipThickness();
    fields.skipExtrusion();
    arc.startAngle = fields.bitDouble();
    arc.endAngle = fields.bitDouble();
    return arc;
}

CornersGeometry readFace(EntityFields& fields)
{
    CornersGeometry face;
    if (!fields.flags().r2000Plus) {
        for (Point3& corner : face.corners) {
            corner = fields.point3();
        }
        return face;
    }
    fields.data().readBit(); // no invisible-edge flags
    const bool zIsZero = fields.data().readBit();
    face.corners[0].x = fields.rawDouble();
    face.corners[0].y = fields.rawDouble();
    if (!zIsZero) {
        face.corners[0].z = fields.rawDouble();
    }
    for (std::size_t i = 1; i < face.corners.size(); ++i) {
        face.corners[i] = fields.defaultedPoint3(face.corners[i - 1]);
    }
    return face;
}

CornersGeometry readSolid(EntityFields& fields) // SOLID, TRACE: planar corners at the elevation
{
    CornersGeometry solid;
    fields.skipThickness();
    const double elevation = fields.bitDouble();
    for (Point3& corner : solid.corners) {
        corner = fields.rawPoint2(elevation);
    }
    return solid;
}

EllipseGeometry readEllipse(EntityFields& fields)
{
    EllipseGeometry ellipse;
    ellipse.center = fields.point3();
    ellipse.majorAxis = fields.point3();
    fields.data().skipBitDoubles(3); // extrusion
    ellipse.ratio = fields.bitDouble();
    ellipse.startParam = fields.bitDouble();
    ellipse.endParam = fields.bitDouble();
    return ellipse;
}

bool readPoints(EntityFields& fields, std::vector<Point3>& points, std::uint64_t count, bool weighted)
{
    if (!plausibleCount(fields, count, 6)) {
        return false;
    }
    points.reserve(static_cast<std::size_t>(count));
    for (std::uint64_t i = 0; i < count && !fields.failed(); ++i) {
        points.push_back(fields.point3());
        if (weighted) {
            fields.data().skipBitDoubles(1);
        }
    }
    return !fields.failed();
}

// A spline is stored by its control points (knots, weights) or by its fit points (tangents); R2013+ may say so in
// its flags rather than in the scenario.
bool readSpline(EntityFields& fields, SplineGeometry& spline)
{
    BitReader& data = fields.data();
    std::uint32_t scenario = static_cast<std::uint32_t>(data.readBitLong());
    FitData fit;
    if (fields.flags().r2013Plus) {
        const auto splineFlags = static_cast<std::uint32_t>(data.readBitLong());
        const auto knotParameter = static_cast<std::uint32_t>(data.readBitLong());
        fit.spacing = knotParameter == 1   ? KnotSpacing::SquareRootChord
                      : knotParameter == 2 ? KnotSpacing::Uniform
                                           : KnotSpacing::Chord;
        if ((splineFlags & 1) != 0) {
            scenario = 2;
        }
        if (knotParameter == 15) {
            scenario = 1;
        }
    }
    const auto degree = static_cast<std::uint32_t>(data.readBitLong());
    if ((scenario & 1) != 0) {
        data.skipBits(3);       // rational, closed, periodic
        data.skipBitDoubles(2); // knot and control tolerance
        const auto knots = static_cast<std::uint32_t>(data.readBitLong());
        const auto controls = static_cast<std::uint32_t>(data.readBitLong());
        const bool weighted = data.readBit();
        if (!plausibleCount(fields, knots, 2)) {
            return false;
        }
        data.skipBitDoubles(knots);
        return readPoints(fields, spline.controlPoints, controls, weighted);
    }
    data.skipBitDoubles(1); // fit tolerance
    fit.startTangent = fields.point3();
    fit.endTangent = fields.point3();
    const auto fits = static_cast<std::uint32_t>(data.readBitLong());
    if (!readPoints(fields, spline.fitPoints, fits, false)) {
        return false;
    }
    // Only the fit points are stored; the control points are the cubic through them.
    if (degree == 3) {
        fit.points = spline.fitPoints;
        spline.controlPoints = controlPointsThrough(fit);
    }
    return true;
}

// A helix is a spline, then the helix's own numbers.
bool readHelix(EntityFields& fields, HelixContents& helix)
{
    BitReader& data = fields.data();
    SplineGeometry spline;
    if (!readSpline(fields, spline)) {
        return false;
    }
    data.readBitLong(); // major version
    data.readBitLong(); // maintenance version
    helix.axisBase = fields.point3();
    helix.startPoint = fields.point3();
    helix.axisVector = fields.point3();
    helix.baseRadius = fields.bitDouble();
    helix.turns = fields.bitDouble();
    helix.turnHeight = fields.bitDouble();
    helix.rightHanded = data.readBit();
    data.readBitShort(); // what stays fixed when the helix changes
    const std::vector<Point3>& ends = spline.fitPoints.empty() ? spline.controlPoints : spline.fitPoints;
    if (ends.empty()) {
        data.fail(); // a helix without points: damage
        return false;
    }
    helix.topRadius = helixTopRadius(helix, ends.back());
    return !fields.failed();
}

TextGeometry readText(EntityFields& fields)
{
    TextGeometry text;
    if (!fields.flags().r2000Plus) {
        const double elevation = fields.bitDouble();
        text.position = fields.rawPoint2(elevation);
        fields.data().skipRawDoubles(2); // alignment point
        fields.data().skipBitDoubles(3); // extrusion
        fields.data().skipBitDoubles(2); // thickness, oblique angle
        text.rotation = fields.bitDouble();
        text.height = fields.bitDouble();
        fields.data().skipBitDoubles(1); // width factor
        text.text = fields.text();
        return text;
    }
    // Fields that hold their default are left out; a bit of the data flags says which.
    const std::uint8_t flags = fields.data().readByte();
    const double elevation = (flags & 0x01) == 0 ? fields.rawDouble() : 0.0;
    text.position = fields.rawPoint2(elevation);
    if ((flags & 0x02) == 0) {
        fields.defaulted(text.position.x); // alignment point
        fields.defaulted(text.position.y);
    }
    fields.skipExtrusion();
    fields.skipThickness();
    if ((flags & 0x04) == 0) {
        fields.rawDouble(); // oblique angle
    }
    if ((flags & 0x08) == 0) {
        text.rotation = fields.rawDouble();
    }
    text.height = fields.rawDouble();
    if ((flags & 0x10) == 0) {
        fields.rawDouble(); // width factor
    }
    text.text = fields.text();
    return text;
}

MTextGeometry readMText(EntityFields& fields)
{
    MTextGeometry mtext;
    mtext.position = fields.point3();
    fields.data().skipBitDoubles(3 + 3 + 1); // extrusion, x axis direction, rectangle width
    if (fields.flags().r2007Plus) {
        fields.data().skipBitDoubles(1); // rectangle height
    }
    mtext.height = fields.bitDouble();
    fields.data().readBitShort();    // attachment
    fields.data().readBitShort();    // drawing direction
    fields.data().skipBitDoubles(2); // extents
    mtext.text = fields.text();
    return mtext;
}

} // namespace

InsertGeometry readInsert(EntityFields& fields)
{
    InsertGeometry insert;
    insert.position = fields.point3();
    if (!fields.flags().r2000Plus) {
        insert.scale = fields.point3();
    } else {
        switch (fields.data().read2Bits()) {
        case 3:
            break; // (1, 1, 1)
        case 1:
            insert.scale.y = fields.defaulted(1.0);
            insert.scale.z = fields.defaulted(1.0);
            break;
        case 2:
            insert.scale.x = fields.rawDouble();
            insert.scale.y = insert.scale.x;
            insert.scale.z = insert.scale.x;
            break;
        default:
            insert.scale.x = fields.rawDouble();
            insert.scale.y = fields.defaulted(insert.scale.x);
            insert.scale.z = fields.defaulted(insert.scale.x);
            break;
        }
    }
    insert.rotation = fields.bitDouble();
    return insert;
}

namespace {

// The kinds whose contents are no geometry (see EntityData).
bool readContents(const EntityHead& head, EntityFields& fields, ObjectContents& out, GeometryLinks& links)
{
    switch (head.kind) {
    case EntityKind::Attribute:
    case EntityKind::AttributeDefinition: {
        AttributeContents attribute;
        if (!readAttribute(fields, head.kind == EntityKind::AttributeDefinition, attribute)) {
            return false;
        }
        out.setData(std::move(attribute));
        break;
    }
    case EntityKind::Hatch: {
        HatchContents hatch;
        if (!readHatch(fields, hatch)) {
            return false;
        }
        out.setData(std::move(hatch));
        break;
    }
    case EntityKind::Leader: {
        LeaderContents leader;
        if (!readLeader(fields, leader)) {
            return false;
        }
        out.setData(std::move(leader));
        break;
    }
    case EntityKind::Tolerance:
        out.setData(readTolerance(fields));
        break;
    case EntityKind::MLine: {
        MLineContents mline;
        if (!readMLine(fields, mline)) {
            return false;
        }
        out.setData(std::move(mline));
        break;
    }
    case EntityKind::MLeader: {
        MLeaderContents mleader;
        if (!readMLeader(fields, mleader, links)) {
            return false;
        }
        out.setData(std::move(mleader));
        break;
    }
    case EntityKind::Light:
        out.setData(readLight(fields));
        break;
    case EntityKind::Viewport:
        if (fields.flags().r2000Plus) {
            out.setData(readViewport(fields, links));
        } else { // R13/R14 keep the view in the viewport's extended data, read with the handles
            ViewportContents viewport;
            viewport.center = fields.point3();
            viewport.width = fields.bitDouble();
            viewport.height = fields.bitDouble();
            out.setData(std::move(viewport));
        }
        break;
    case EntityKind::Image: {
        ImageContents image;
        if (!readImage(fields, image)) {
            return false;
        }
        out.setData(std::move(image));
        break;
    }
    case EntityKind::Table: {
        TableContents table;
        if (!readTable(fields, table)) {
            return false;
        }
        out.setData(std::move(table));
        break;
    }
    case EntityKind::Modeler: {
        ModelerContents modeler;
        const ModelerRead read = readModeler(fields, head.inDataStore, modeler);
        if (read == ModelerRead::Damaged) {
            return false;
        }
        // Data kept in the data store joins the entity when the drawing is assembled.
        out.modelerInDataStore = read == ModelerRead::Elsewhere;
        out.setData(std::move(modeler));
        break;
    }
    case EntityKind::Shape: {
        ShapeContents shape;
        shape.position = fields.point3();
        shape.size = fields.bitDouble();
        shape.rotation = fields.bitDouble();
        fields.data().skipBitDoubles(3); // width factor, oblique angle, thickness
        shape.shapeNumber = static_cast<std::uint16_t>(fields.data().readBitShort());
        fields.data().skipBitDoubles(3); // extrusion
        out.setData(std::move(shape));
        break;
    }
    case EntityKind::Underlay: {
        UnderlayContents underlay;
        if (!readUnderlay(fields, underlay)) {
            return false;
        }
        out.setData(std::move(underlay));
        break;
    }
    case EntityKind::Mesh: {
        MeshContents mesh;
        if (!readMeshBody(fields, mesh)) {
            return false;
        }
        out.setData(std::move(mesh));
        break;
    }
    case EntityKind::Ray: {
        RayContents ray;
        ray.point = fields.point3();
        ray.direction = fields.point3();
        out.setData(ray);
        break;
    }
    default:
        break;
    }
    return !fields.failed();
}

} // namespace

bool readGeometry(const EntityHead& head, EntityFields& fields, ObjectContents& out, GeometryLinks& links)
{
    switch (head.kind) {
    case EntityKind::Other:
        return true;
    case EntityKind::Line:
        out.geometry = readLine(fields);
        break;
    case EntityKind::Circle: {
        CircleGeometry circle;
        circle.center = fields.point3();
        circle.radius = fields.bitDouble();
        out.geometry = circle;
        break;
    }
    case EntityKind::Arc:
        out.geometry = readArc(fields);
        break;
    case EntityKind::Point:
        out.geometry = PointGeometry{fields.point3()};
        break;
    case EntityKind::Face:
        out.geometry = readFace(fields);
        break;
    case EntityKind::Solid:
        out.geometry = readSolid(fields);
        break;
    case EntityKind::Ellipse:
        out.geometry = readEllipse(fields);
        break;
    case EntityKind::Spline: {
        SplineGeometry spline;
        if (!readSpline(fields, spline)) {
            return false;
        }
        out.geometry = std::move(spline);
        break;
    }
    case EntityKind::Helix: {
        HelixContents helix;
        if (!readHelix(fields, helix)) {
            return false;
        }
        out.setData(std::move(helix));
        break;
    }
    case EntityKind::Text:
        out.geometry = readText(fields);
        break;
    case EntityKind::MText:
        out.geometry = readMText(fields);
        break;
    case EntityKind::Insert:
    case EntityKind::MInsert:
        out.geometry = readInsert(fields);
        break;
    case EntityKind::LwPolyline: {
        PolylineGeometry polyline;
        if (!readLwPolyline(fields, polyline)) {
            return false;
        }
        out.geometry = std::move(polyline);
        break;
    }
    case EntityKind::Polyline2d:
        out.geometry = readPolyline2d(fields, links, out);
        break;
    case EntityKind::Polyline3d:
        out.geometry = readPolyline3d(fields, links);
        break;
    case EntityKind::PolyFaceMesh:
    case EntityKind::PolygonMesh:
        out.geometry = readMesh(fields, links, head.kind == EntityKind::PolyFaceMesh);
        break;
    case EntityKind::Vertex:
        fields.data().readByte(); // flags
        out.point = fields.point3();
        break;
    case EntityKind::FaceRecord:
        break;
    case EntityKind::Dimension:
        out.geometry = readDimension(fields, head.type);
        break;
    case EntityKind::ArcDimension:
        out.geometry = readDimension(fields, arcLengthDimension);
        break;
    default:
        return readContents(head, fields, out, links);
    }
    return !fields.failed();
}

bool readGeometryHandles(const EntityHead& head, BitReader& handles, const VersionFlags& flags,
                         const GeometryLinks& links, ObjectContents& out)
{
    auto next = [&]() {
        std::uint64_t value = 0;
        if (!resolveHandle(handles.readHandle(), head.handle, value)) {
            handles.fail();
        }
        return value;
    };
    switch (head.kind) {
    case EntityKind::Insert:
    case EntityKind::MInsert:
        out.block = next();
        break;
    case EntityKind::Leader:
        if (auto* leader = out.dataAs<LeaderContents>()) {
            leader->annotation = next();
        }
        break;
    case EntityKind::MLine:
    case EntityKind::Image:
    case EntityKind::Shape:
    case EntityKind::Underlay:
        out.style = next();
        break;
    case EntityKind::MLeader:
        if (auto* mleader = out.dataAs<MLeaderContents>()) {
            for (std::uint32_t i = 0; i <= links.handlesBeforeArrowhead && !handles.failed(); ++i) {
                const std::uint64_t handle = next();
                if (static_cast<std::int64_t>(i) == links.blockHandle) {
                    out.block = handle;
                }
                if (i == links.handlesBeforeArrowhead) {
                    mleader->arrowhead = handle;
                }
            }
        }
        break;
    case EntityKind::Viewport:
        if (out.dataAs<ViewportContents>() == nullptr) {
            break;
        }
        if (links.ownedCount > handles.remaining() / 8) {
            return false; // each handle takes at least a byte
        }
        for (std::uint32_t i = 0; i < links.ownedCount && !handles.failed(); ++i) {
            out.owned.push_back(next()); // the frozen layers
        }
        break;
    case EntityKind::Polyline2d:
    case EntityKind::Polyline3d:
    case EntityKind::PolyFaceMesh:
    case EntityKind::PolygonMesh:
        if (!flags.r2004Plus) {
            out.firstVertex = next();
            out.lastVertex = next();
            break;
        }
        // Each handle takes at least a byte.
        if (links.ownedCount > handles.remaining() / 8) {
            return false;
        }
        out.owned.reserve(links.ownedCount);
        for (std::uint32_t i = 0; i < links.ownedCount && !handles.failed(); ++i) {
            out.owned.push_back(next());
        }
        break;
    default:
        break;
    }
    return !handles.failed();
}

} // namespace dwg
