// Collects the groups of one entity that carry its geometry and turns them into the shared geometry types.
#pragma once

#include "drawing/Geometry.h"
#include "dxf/GroupSource.h"
#include "dxf/TextDecoder.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace dxf {

enum class GeometryKind : std::uint8_t {
    None,
    Line,
    Circle,
    Arc,
    Point,
    LwPolyline,
    Polyline,
    Text,
    MText,
    Insert,
    Ellipse,
    Spline,
    Corners,
    Dimension,
    ArcDimension
};

// The geometry kind of a DXF entity name; None for entities whose geometry the drawing model does not keep.
GeometryKind geometryKindOf(std::string_view dxfName);

class GeometryBuilder
{
public:
    explicit GeometryBuilder(GeometryKind kind) : m_kind(kind) {}

    // One group of the entity's own data (not extended data, not an application group).
    void add(const Group& group);
    // flags: the entity's group 70 (closed polylines, the kind of a dimension).
    dwg::Geometry finish(std::int64_t flags, TextDecoder& decoder) const;
    bool damaged() const { return m_damaged; }
    // The first point (group 10); a POLYLINE keeps its elevation in z.
    dwg::Point3 firstPoint() const { return m_points[0]; }

private:
    void addCoordinate(int code, double value);
    void addListCoordinate(int code, double value);
    double real(int code, double fallback) const;
    dwg::Geometry dimension(std::int64_t flags) const;

    GeometryKind m_kind;
    std::array<dwg::Point3, 8> m_points{}; // groups 10-17 / 20-27 / 30-37, first occurrence
    std::uint32_t m_pointSeen = 0;         // one bit per coordinate
    std::array<double, 22> m_reals{};      // groups 38-59, first occurrence
    std::uint32_t m_realSeen = 0;
    std::vector<std::string_view> m_text; // groups 3 (chunks) and 1, in file order
    std::string_view m_name;              // group 2
    std::vector<dwg::Point3> m_list10;    // LWPOLYLINE vertices, SPLINE control points
    std::vector<dwg::Point3> m_list11;    // SPLINE fit points
    bool m_damaged = false;
};

double toRadians(double degrees);

} // namespace dxf
