// Annotation and fill entities as the geometry they draw, and block definitions exploded where they are inserted.
#include "similar/SimilarityView.h"

#include "similar/EntityShape.h"
#include "similar/Hashing.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <optional>
#include <string>
#include <type_traits>

namespace darv::similar {
namespace {

using dwg::Point3;

// Placing a block's entity in the drawing: x' = a x + b y + tx, y' = c x + d y + ty, z' = sz z + tz.
struct Placement
{
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0, sz = 1, tz = 0;

    Point3 operator()(const Point3& p) const { return {a * p.x + b * p.y + tx, c * p.x + d * p.y + ty, sz * p.z + tz}; }
    // Without the move: for directions and axes.
    Point3 turn(const Point3& v) const { return {a * v.x + b * v.y, c * v.x + d * v.y, sz * v.z}; }
    // This placement after `inner`.
    Placement after(const Placement& inner) const
    {
        return {a * inner.a + b * inner.c,
                a * inner.b + b * inner.d,
                c * inner.a + d * inner.c,
                c * inner.b + d * inner.d,
                a * inner.tx + b * inner.ty + tx,
                c * inner.tx + d * inner.ty + ty,
                sz * inner.sz,
                sz * inner.tz + tz};
    }
    double scale() const { return std::sqrt(std::abs(a * d - b * c)); }
    bool mirrored() const { return a * d - b * c < 0; }
    double rotation() const { return std::atan2(c, a); }
    // Circles stay circles: the same scale in every direction.
    bool keepsCircles() const
    {
        const double x = a * a + c * c, y = b * b + d * d;
        return std::abs(x - y) <= 1e-9 * std::max(x, y) && std::abs(a * b + c * d) <= 1e-9 * std::max(x, y);
    }
};

Placement insertPlacement(const dwg::InsertGeometry& insert, const Point3& basePoint)
{
    const double cosR = std::cos(insert.rotation), sinR = std::sin(insert.rotation);
    Placement p{cosR * insert.scale.x,
                -sinR * insert.scale.y,
                sinR * insert.scale.x,
                cosR * insert.scale.y,
                0,
                0,
                insert.scale.z,
                0};
    const Point3 base = p(basePoint);
    p.tx = insert.position.x - base.x;
    p.ty = insert.position.y - base.y;
    p.tz = insert.position.z - base.z;
    return p;
}

double fullTurn(double angle)
{
    constexpr double turn = 2 * std::numbers::pi;
    angle = std::fmod(angle, turn);
    return angle < 0 ? angle + turn : angle;
}

Point3 onCircle(const Point3& centre, double radius, double angle)
{
    return {centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle), centre.z};
}

// The geometry placed in the drawing; false when the placement cannot keep it (a circle scaled unevenly).
struct PlaceGeometry
{
    const Placement& at;

    void points(std::vector<Point3>& list) const
    {
        for (Point3& p : list)
            p = at(p);
    }
    bool operator()(std::monostate&) const { return false; }
    bool operator()(dwg::LineGeometry& g) const
    {
        g.start = at(g.start);
        g.end = at(g.end);
        return true;
    }
    bool operator()(dwg::CircleGeometry& g) const
    {
        g.center = at(g.center);
        g.radius *= at.scale();
        return at.keepsCircles();
    }
    bool operator()(dwg::ArcGeometry& g) const
    {
        const Point3 centre = at(g.center);
        const Point3 from = at(onCircle(g.center, g.radius, g.startAngle));
        const Point3 to = at(onCircle(g.center, g.radius, g.endAngle));
        // A mirror turns the arc's direction: it then runs from the image of its end.
        const Point3& first = at.mirrored() ? to : from;
        const Point3& last = at.mirrored() ? from : to;
        g.startAngle = fullTurn(std::atan2(first.y - centre.y, first.x - centre.x));
        g.endAngle = fullTurn(std::atan2(last.y - centre.y, last.x - centre.x));
        g.center = centre;
        g.radius *= at.scale();
        return at.keepsCircles();
    }
    bool operator()(dwg::PointGeometry& g) const
    {
        g.position = at(g.position);
        return true;
    }
    bool operator()(dwg::PolylineGeometry& g) const
    {
        points(g.points);
        return true;
    }
    bool operator()(dwg::TextGeometry& g) const
    {
        g.position = at(g.position);
        g.height *= at.scale();
        g.rotation = fullTurn(g.rotation + at.rotation());
        return true;
    }
    bool operator()(dwg::MTextGeometry& g) const
    {
        g.position = at(g.position);
        g.height *= at.scale();
        return true;
    }
    bool operator()(dwg::InsertGeometry&) const { return false; } // placed by the caller, block by block
    bool operator()(dwg::EllipseGeometry& g) const
    {
        g.center = at(g.center);
        g.majorAxis = at.turn(g.majorAxis);
        if (at.mirrored()) {
            const double start = g.startParam;
            g.startParam = fullTurn(-g.endParam);
            g.endParam = fullTurn(-start);
        }
        return at.keepsCircles();
    }
    bool operator()(dwg::SplineGeometry& g) const
    {
        points(g.controlPoints);
        points(g.fitPoints);
        return true;
    }
    bool operator()(dwg::CornersGeometry& g) const
    {
        for (Point3& p : g.corners)
            p = at(p);
        return true;
    }
    bool operator()(dwg::DimensionGeometry& g) const
    {
        for (dwg::DimensionPoint& p : g.points)
            p.point = at(p.point);
        return true;
    }
};

// A hatch edge loop's outline through its edges' starting points.
std::vector<Point3> edgeOutline(const dwg::HatchLoop& loop, double elevation)
{
    std::vector<Point3> points;
    for (const dwg::HatchEdge& edge : loop.edges) {
        switch (edge.type) {
        case dwg::HatchEdgeType::Line:
            points.push_back(edge.start);
            break;
        case dwg::HatchEdgeType::Arc:
            points.push_back(
                onCircle(edge.start, edge.radius, edge.counterClockwise ? edge.startAngle : -edge.startAngle));
            break;
        case dwg::HatchEdgeType::EllipticArc: {
            const double t = edge.counterClockwise ? edge.startAngle : -edge.startAngle;
            const Point3 minor{-edge.end.y * edge.radius, edge.end.x * edge.radius, 0};
            points.push_back({edge.start.x + edge.end.x * std::cos(t) + minor.x * std::sin(t),
                              edge.start.y + edge.end.y * std::cos(t) + minor.y * std::sin(t), 0});
            break;
        }
        case dwg::HatchEdgeType::Spline: {
            const auto& through = edge.controlPoints.empty() ? edge.fitPoints : edge.controlPoints;
            points.insert(points.end(), through.begin(), through.end());
            break;
        }
        }
    }
    for (Point3& p : points)
        p.z = elevation;
    return points;
}

double boxArea(const std::vector<Point3>& points)
{
    if (points.empty())
        return -1;
    const auto [left, right] =
        std::minmax_element(points.begin(), points.end(), [](const Point3& p, const Point3& q) { return p.x < q.x; });
    const auto [low, high] =
        std::minmax_element(points.begin(), points.end(), [](const Point3& p, const Point3& q) { return p.y < q.y; });
    return (right->x - left->x) * (high->y - low->y);
}

// The geometry an entity with contents draws: the outline, note or line a teacher sees.
// Points along a helix, a sixteenth of a turn apart (at most kHelixPoints): from its start point about its axis,
// the radius going from the base's to the top's. Empty for a helix that draws nothing or holds no real numbers.
constexpr double kHelixStepsPerTurn = 16;
constexpr double kHelixPoints = 1024;

std::vector<Point3> helixOutline(const dwg::HelixContents& h)
{
    const auto length = [](const Point3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); };
    const double axisLength = length(h.axisVector);
    const Point3 radial{h.startPoint.x - h.axisBase.x, h.startPoint.y - h.axisBase.y, h.startPoint.z - h.axisBase.z};
    if (!std::isfinite(axisLength) || axisLength == 0 || !std::isfinite(h.turns) || h.turns <= 0 ||
        !std::isfinite(h.turnHeight) || !std::isfinite(h.baseRadius) || !std::isfinite(h.topRadius) ||
        !std::isfinite(length(radial)))
        return {};
    const Point3 w{h.axisVector.x / axisLength, h.axisVector.y / axisLength, h.axisVector.z / axisLength};
    // The start point's direction from the axis, square to it.
    const double along = radial.x * w.x + radial.y * w.y + radial.z * w.z;
    Point3 u{radial.x - along * w.x, radial.y - along * w.y, radial.z - along * w.z};
    const double uLength = length(u);
    if (uLength == 0)
        return {};
    u = {u.x / uLength, u.y / uLength, u.z / uLength};
    const double turn = h.rightHanded ? 1 : -1;
    const Point3 v{turn * (w.y * u.z - w.z * u.y), turn * (w.z * u.x - w.x * u.z), turn * (w.x * u.y - w.y * u.x)};
    const double steps = std::min(std::ceil(h.turns * kHelixStepsPerTurn), kHelixPoints);
    std::vector<Point3> points;
    points.reserve(static_cast<std::size_t>(steps) + 1);
    for (double k = 0; k <= steps; ++k) {
        const double t = k / steps; // of the whole helix
        const double angle = 2 * M_PI * h.turns * t;
        const double r = h.baseRadius + (h.topRadius - h.baseRadius) * t;
        const double height = h.turns * h.turnHeight * t;
        const double c = r * std::cos(angle), s = r * std::sin(angle);
        points.push_back({h.axisBase.x + height * w.x + c * u.x + s * v.x,
                          h.axisBase.y + height * w.y + c * u.y + s * v.y,
                          h.axisBase.z + height * w.z + c * u.z + s * v.z});
    }
    return points;
}

dwg::Geometry drawnGeometry(const dwg::EntityData& data)
{
    return std::visit(
        [](const auto& d) -> dwg::Geometry {
            using T = std::decay_t<decltype(d)>;
            if constexpr (std::is_same_v<T, dwg::HatchContents>) {
                std::vector<Point3> largest;
                for (const dwg::HatchLoop& loop : d.loops) {
                    std::vector<Point3> outline = loop.vertices;
                    if (outline.empty())
                        outline = edgeOutline(loop, d.elevation);
                    else
                        for (Point3& p : outline)
                            p.z = d.elevation;
                    if (boxArea(outline) > boxArea(largest))
                        largest = std::move(outline);
                }
                if (largest.empty())
                    return std::monostate{};
                return dwg::PolylineGeometry{std::move(largest), true, true};
            } else if constexpr (std::is_same_v<T, dwg::LeaderContents>) {
                if (d.vertices.empty())
                    return std::monostate{};
                return dwg::PolylineGeometry{d.vertices, false, false};
            } else if constexpr (std::is_same_v<T, dwg::MLineContents>) {
                if (d.vertices.empty())
                    return std::monostate{};
                return dwg::PolylineGeometry{d.vertices, d.closed, false};
            } else if constexpr (std::is_same_v<T, dwg::RayContents>) {
                return dwg::LineGeometry{
                    d.point, {d.point.x + d.direction.x, d.point.y + d.direction.y, d.point.z + d.direction.z}};
            } else if constexpr (std::is_same_v<T, dwg::ToleranceContents>) {
                return dwg::TextGeometry{d.position, 0, d.text, fullTurn(std::atan2(d.direction.y, d.direction.x))};
            } else if constexpr (std::is_same_v<T, dwg::AttributeContents>) {
                return dwg::TextGeometry{d.position, d.height, d.tag, 0};
            } else if constexpr (std::is_same_v<T, dwg::MLeaderContents>) {
                if (d.contentType == 2 && !d.text.empty())
                    return dwg::MTextGeometry{d.textPosition, 0, d.text};
                if (d.contentType == 1 && !d.block.empty())
                    return dwg::InsertGeometry{d.blockPosition, d.block, {1, 1, 1}, 0};
                if (!d.leaderLines.empty() && !d.leaderLines.front().empty())
                    return dwg::PolylineGeometry{d.leaderLines.front(), false, false};
                return std::monostate{};
            } else if constexpr (std::is_same_v<T, dwg::TableContents>) {
                std::string text;
                for (const std::string& cell : d.cells)
                    if (!cell.empty())
                        text += (text.empty() ? "" : " | ") + cell;
                if (text.empty())
                    return std::monostate{};
                return dwg::MTextGeometry{d.position, 0, text};
            } else if constexpr (std::is_same_v<T, dwg::MeshContents>) {
                if (d.vertices.empty())
                    return std::monostate{};
                return dwg::PolylineGeometry{d.vertices, false, false};
            } else if constexpr (std::is_same_v<T, dwg::HelixContents>) {
                std::vector<Point3> outline = helixOutline(d);
                if (outline.empty())
                    return std::monostate{};
                return dwg::PolylineGeometry{std::move(outline), false, false};
            } else if constexpr (std::is_same_v<T, dwg::ShapeContents>) {
                // The drawing names a shape by its number, the exchange format by its name: only its place compares.
                return dwg::PointGeometry{d.position};
            } else {
                return std::monostate{};
            }
        },
        data);
}

// A solid of a block where an insert places it: its modeler data's hash with the placement, since the data holds the
// solid where the block has it. None for an entity that is no solid with a hash.
std::optional<std::uint64_t> placedSolid(const dwg::Entity& inside, const Placement& at)
{
    const auto* modeler = inside.data.get_if<dwg::ModelerContents>();
    if (modeler == nullptr || !modeler->hash || !std::holds_alternative<std::monostate>(inside.geometry))
        return std::nullopt;
    Hasher hash(*modeler->hash);
    for (const double factor : {at.a, at.b, at.c, at.d, at.sz})
        hash.add(onGrid(factor, kAngleGrid));
    for (const double move : {at.tx, at.ty, at.tz})
        hash.add(lengthKey(move));
    return hash.value();
}

void giveDrawnGeometry(dwg::Entity& entity)
{
    if (std::holds_alternative<std::monostate>(entity.geometry) && !entity.data.empty())
        entity.geometry = drawnGeometry(*entity.data);
}

class Exploder
{
public:
    explicit Exploder(dwg::Drawing& drawing) : m_drawing(drawing)
    {
        for (dwg::BlockDefinition& block : drawing.blockDefinitions) {
            for (dwg::Entity& entity : block.entities)
                giveDrawnGeometry(entity);
            m_blocks.emplace(blockNameKey(block.name), &block);
        }
    }

    void explode()
    {
        const std::size_t layout = m_drawing.entities.size();
        for (std::size_t i = 0; i < layout && !m_full; ++i) {
            const dwg::Entity& entity = m_drawing.entities[i];
            const auto* g = std::get_if<dwg::InsertGeometry>(&entity.geometry);
            if (!g && entity.attributes.empty())
                continue;
            // Copies: the list grows below.
            const Top top{entity.space, entity.layer};
            const std::optional<dwg::InsertGeometry> insert = g ? std::optional(*g) : std::nullopt;
            const std::vector<dwg::AttributeContents> attributes = entity.attributes;
            if (insert)
                place(*insert, Placement{}, top, 1);
            for (const dwg::AttributeContents& attribute : attributes)
                add(top, "AcDbAttribute", dwg::TextGeometry{attribute.position, attribute.height, attribute.text, 0});
        }
        if (m_full)
            m_drawing.notes.push_back("more than " + std::to_string(kMaxExplodedEntities) +
                                      " entities inside inserted blocks: the rest is not compared");
    }

private:
    // Where the entities placed from one insert of the layout go: its layout and its layer.
    struct Top
    {
        std::string space;
        std::string layer;
    };

    void place(const dwg::InsertGeometry& insert, const Placement& outer, const Top& top, int depth)
    {
        const auto found = m_blocks.find(blockNameKey(insert.block));
        if (found == m_blocks.end() || depth > kMaxBlockDepth || m_full)
            return;
        // Every block placed counts too: blocks that only insert each other draw nothing but could be placed
        // without end.
        if (++m_placed > kMaxExplodedEntities) {
            m_full = true;
            return;
        }
        const Placement at = outer.after(insertPlacement(insert, found->second->basePoint));
        for (const dwg::Entity& inside : found->second->entities) {
            if (const auto* nested = std::get_if<dwg::InsertGeometry>(&inside.geometry)) {
                place(*nested, at, top, depth + 1);
                continue;
            }
            if (const std::optional<std::uint64_t> solid = placedSolid(inside, at)) {
                add(top, inside.className, std::monostate{}, inside.layer).data =
                    dwg::ModelerContents{true, std::string(), *solid};
                continue;
            }
            dwg::Geometry geometry = inside.geometry;
            if (std::visit(PlaceGeometry{at}, geometry))
                add(top, inside.className, std::move(geometry), inside.layer);
        }
    }
    // The entity added, or a scratch one when the limit is reached.
    dwg::Entity& add(const Top& top, const std::string& className, dwg::Geometry geometry,
                     const std::string& layer = "0")
    {
        if (m_added == kMaxExplodedEntities) {
            m_full = true;
            m_scratch = dwg::Entity();
            return m_scratch;
        }
        dwg::Entity entity;
        entity.handle = kPlacedHandleBase + m_added++;
        entity.className = className;
        entity.space = top.space;
        // On layer 0 an entity of a block takes the layer of the insert that places it.
        entity.layer = layer == "0" ? top.layer : layer;
        entity.geometry = std::move(geometry);
        m_drawing.entities.push_back(std::move(entity));
        return m_drawing.entities.back();
    }

    dwg::Drawing& m_drawing;
    std::map<std::string, const dwg::BlockDefinition*> m_blocks;
    std::size_t m_added = 0;
    std::size_t m_placed = 0;
    bool m_full = false;
    dwg::Entity m_scratch;
};

} // namespace

void addSimilarityView(dwg::Drawing& drawing)
{
    for (dwg::Entity& entity : drawing.entities)
        giveDrawnGeometry(entity);
    Exploder(drawing).explode();
}

} // namespace darv::similar
