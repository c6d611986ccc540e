// What one entity looks like to the similarity check: shape keys and anchors for every geometry kind.
#include "similar/EntityShape.h"

#include "similar/Hashing.h"

#include <algorithm>
#include <optional>
#include <tuple>
#include <type_traits>
#include <vector>

namespace darv::similar {
namespace {

void addPoint(Hasher& hash, const dwg::Point3& p)
{
    hash.add(lengthKey(p.x)).add(lengthKey(p.y)).add(lengthKey(p.z));
}

void addRelative(Hasher& hash, const dwg::Point3& p, const dwg::Point3& anchor)
{
    addPoint(hash, dwg::Point3{p.x - anchor.x, p.y - anchor.y, p.z - anchor.z});
}

using GridPoint = std::tuple<std::int64_t, std::int64_t, std::int64_t>;

GridPoint gridPoint(const dwg::Point3& p)
{
    return {lengthKey(p.x), lengthKey(p.y), lengthKey(p.z)};
}

// The same outline however it was drawn: a closed polyline from its lowest vertex, turning towards its lower
// neighbour; an open one (or a line, or a spline) from its lower end. A moved copy keeps the choice, since a
// move keeps the order of coordinates.
std::vector<dwg::Point3> canonicalPath(std::vector<dwg::Point3> points, bool closed)
{
    if (points.size() < 2)
        return points;
    if (!closed) {
        if (gridPoint(points.back()) < gridPoint(points.front()))
            std::reverse(points.begin(), points.end());
        return points;
    }
    const auto lowest = std::min_element(points.begin(), points.end(),
                                         [](const auto& a, const auto& b) { return gridPoint(a) < gridPoint(b); });
    std::rotate(points.begin(), lowest, points.end());
    if (gridPoint(points.back()) < gridPoint(points[1]))
        std::reverse(points.begin() + 1, points.end());
    return points;
}

// The extents of the points an entity is drawn through.
struct Box
{
    bool empty = true;
    dwg::Point3 low;
    dwg::Point3 high;

    void add(const dwg::Point3& p)
    {
        if (empty) {
            low = high = p;
            empty = false;
            return;
        }
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
    void addTo(Hasher& hash) const
    {
        hash.add(lengthKey(high.x - low.x)).add(lengthKey(high.y - low.y)).add(lengthKey(high.z - low.z));
    }
};

// Fills the shape's hash with what the geometry holds relative to its anchor and returns the anchor; the size
// hash gets what does not depend on the way the entity was drawn (other values than points, and the box).
struct ShapeVisitor
{
    Hasher& hash;
    Hasher& size;
    Box& box;
    bool& hasGeometry;

    dwg::Point3 operator()(const std::monostate&) const
    {
        hasGeometry = false;
        return {};
    }
    dwg::Point3 operator()(const dwg::LineGeometry& g) const
    {
        const bool reversed = gridPoint(g.end) < gridPoint(g.start);
        const dwg::Point3& from = reversed ? g.end : g.start;
        const dwg::Point3& to = reversed ? g.start : g.end;
        addRelative(hash, to, from);
        box.add(from);
        box.add(to);
        return from;
    }
    dwg::Point3 operator()(const dwg::CircleGeometry& g) const
    {
        hash.add(lengthKey(g.radius));
        size.add(lengthKey(g.radius));
        return g.center;
    }
    dwg::Point3 operator()(const dwg::ArcGeometry& g) const
    {
        hash.add(lengthKey(g.radius)).add(angleKey(g.startAngle)).add(angleKey(g.endAngle));
        size.add(lengthKey(g.radius)).add(angleKey(g.startAngle)).add(angleKey(g.endAngle));
        return g.center;
    }
    dwg::Point3 operator()(const dwg::PointGeometry& g) const { return g.position; }
    dwg::Point3 operator()(const dwg::PolylineGeometry& g) const
    {
        if (g.points.empty()) {
            hasGeometry = false;
            return {};
        }
        const std::vector<dwg::Point3> points = canonicalPath(g.points, g.closed);
        hash.add(std::uint64_t{g.closed}).add(static_cast<std::uint64_t>(points.size()));
        size.add(std::uint64_t{g.closed}).add(static_cast<std::uint64_t>(points.size()));
        for (const dwg::Point3& p : points) {
            addRelative(hash, p, points.front());
            box.add(p);
        }
        return points.front();
    }
    dwg::Point3 operator()(const dwg::TextGeometry& g) const
    {
        hash.add(lengthKey(g.height)).add(angleKey(g.rotation)).add(g.text);
        size.add(lengthKey(g.height)).add(angleKey(g.rotation)).add(g.text);
        return g.position;
    }
    dwg::Point3 operator()(const dwg::MTextGeometry& g) const
    {
        hash.add(lengthKey(g.height)).add(g.text);
        size.add(lengthKey(g.height)).add(g.text);
        return g.position;
    }
    dwg::Point3 operator()(const dwg::InsertGeometry& g) const
    {
        hash.add(blockNameKey(g.block)).add(angleKey(g.rotation));
        addPoint(hash, g.scale);
        size.add(blockNameKey(g.block)).add(angleKey(g.rotation));
        addPoint(size, g.scale);
        return g.position;
    }
    dwg::Point3 operator()(const dwg::EllipseGeometry& g) const
    {
        addPoint(hash, g.majorAxis);
        hash.add(onGrid(g.ratio, kAngleGrid)).add(angleKey(g.startParam)).add(angleKey(g.endParam));
        addPoint(size, g.majorAxis);
        size.add(onGrid(g.ratio, kAngleGrid)).add(angleKey(g.startParam)).add(angleKey(g.endParam));
        return g.center;
    }
    dwg::Point3 operator()(const dwg::SplineGeometry& g) const
    {
        const auto& first = g.controlPoints.empty() ? g.fitPoints : g.controlPoints;
        if (first.empty()) {
            hasGeometry = false;
            return {};
        }
        // A spline drawn from the other end has its points in reverse.
        const bool reversed = gridPoint(first.back()) < gridPoint(first.front());
        std::vector<dwg::Point3> control = g.controlPoints, fit = g.fitPoints;
        if (reversed) {
            std::reverse(control.begin(), control.end());
            std::reverse(fit.begin(), fit.end());
        }
        const dwg::Point3 anchor = control.empty() ? fit.front() : control.front();
        hash.add(static_cast<std::uint64_t>(control.size()));
        for (const dwg::Point3& p : control) {
            addRelative(hash, p, anchor);
            box.add(p);
        }
        hash.add(static_cast<std::uint64_t>(fit.size()));
        for (const dwg::Point3& p : fit) {
            addRelative(hash, p, anchor);
            box.add(p);
        }
        return anchor;
    }
    dwg::Point3 operator()(const dwg::CornersGeometry& g) const
    {
        for (const dwg::Point3& p : g.corners) {
            addRelative(hash, p, g.corners[0]);
            box.add(p);
        }
        return g.corners[0];
    }
    dwg::Point3 operator()(const dwg::DimensionGeometry& g) const
    {
        if (g.points.empty()) {
            hasGeometry = false;
            return {};
        }
        // By kind: the DWG and the DXF reader give a dimension's points in different orders.
        std::vector<dwg::DimensionPoint> points = g.points;
        std::stable_sort(points.begin(), points.end(),
                         [](const dwg::DimensionPoint& x, const dwg::DimensionPoint& y) { return x.kind < y.kind; });
        for (const dwg::DimensionPoint& p : points) {
            hash.add(static_cast<std::uint64_t>(p.kind));
            addRelative(hash, p.point, points.front().point);
            box.add(p.point);
        }
        return points.front().point;
    }
};

} // namespace

std::optional<std::uint64_t> solidHash(const dwg::Entity& entity)
{
    const auto* modeler = entity.data.get_if<dwg::ModelerContents>();
    if (modeler == nullptr || !std::holds_alternative<std::monostate>(entity.geometry))
        return std::nullopt;
    return modeler->hash;
}

EntityShape entityShape(const dwg::Entity& entity)
{
    EntityShape result;
    Hasher hash(0x5348415045ull); // "SHAPE"
    hash.add(entity.className);
    const Hasher classOnly = hash;
    Hasher size(0x53495A45ull); // "SIZE"
    size.add(entity.className);
    Box box;
    result.hasGeometry = true;
    if (const auto hashed = solidHash(entity)) {
        // A solid is its modeler data, which holds where it lies: the same solid has the same hash, a moved copy
        // another. No anchor of its own, then.
        hash.add(*hashed);
        size.add(*hashed);
        result.shape = hash.value();
        result.size = size.value();
        return result;
    }
    result.anchor = std::visit(ShapeVisitor{hash, size, box, result.hasGeometry}, entity.geometry);
    result.shape = result.hasGeometry ? hash.value() : classOnly.value();
    if (!box.empty)
        box.addTo(size);
    result.size = result.hasGeometry ? size.value() : classOnly.value();
    return result;
}

std::vector<EntityShape> drawnPieces(const dwg::Entity& entity)
{
    std::vector<EntityShape> pieces;
    const auto* polyline = std::get_if<dwg::PolylineGeometry>(&entity.geometry);
    if (!polyline) {
        EntityShape whole = entityShape(entity);
        if (whole.hasGeometry)
            pieces.push_back(whole);
        return pieces;
    }
    const std::vector<dwg::Point3>& points = polyline->points;
    const std::size_t segments = points.size() < 2 ? 0 : polyline->closed ? points.size() : points.size() - 1;
    dwg::Entity segment;
    segment.className = "AcDbLine";
    for (std::size_t k = 0; k < segments; ++k) {
        const dwg::Point3& from = points[k];
        const dwg::Point3& to = points[(k + 1) % points.size()];
        if (gridPoint(from) == gridPoint(to))
            continue; // a repeated vertex draws nothing
        segment.geometry = dwg::LineGeometry{from, to};
        pieces.push_back(entityShape(segment));
    }
    return pieces;
}

std::uint64_t placeKey(const EntityShape& shape, const dwg::Point3& offset)
{
    Hasher hash(shape.shape);
    addPoint(hash, dwg::Point3{shape.anchor.x + offset.x, shape.anchor.y + offset.y, shape.anchor.z + offset.z});
    return hash.value();
}

std::string blockNameKey(std::string name)
{
    for (char& c : name)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return name;
}

} // namespace darv::similar
