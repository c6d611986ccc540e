// Collects the groups of one entity that carry its geometry and turns them into the shared geometry types.
#include "dxf/GeometryBuilder.h"

#include <numbers>
#include <string>
#include <utility>

namespace dxf {

namespace {

struct KindName
{
    std::string_view name;
    GeometryKind kind;
};

constexpr KindName kindNames[] = {
    {"LINE", GeometryKind::Line},
    {"3DLINE", GeometryKind::Line},
    {"CIRCLE", GeometryKind::Circle},
    {"ARC", GeometryKind::Arc},
    {"POINT", GeometryKind::Point},
    {"LWPOLYLINE", GeometryKind::LwPolyline},
    {"POLYLINE", GeometryKind::Polyline},
    {"TEXT", GeometryKind::Text},
    {"MTEXT", GeometryKind::MText},
    {"INSERT", GeometryKind::Insert},
    {"ELLIPSE", GeometryKind::Ellipse},
    {"SPLINE", GeometryKind::Spline},
    {"SOLID", GeometryKind::Corners},
    {"TRACE", GeometryKind::Corners},
    {"3DFACE", GeometryKind::Corners},
    {"DIMENSION", GeometryKind::Dimension},
    {"ARC_DIMENSION", GeometryKind::ArcDimension},
};

using Kind = dwg::DimensionPointKind;

// The definition points each kind of dimension (group 70, bits 0-2) keeps, in the order of the shared model.
std::vector<Kind> dimensionPoints(std::int64_t flags)
{
    switch (flags & 7) {
    case 2: // angular, two lines
        return {Kind::DefPoint, Kind::TextMidpoint, Kind::DefPoint2, Kind::DefPoint3, Kind::DefPoint4, Kind::ArcPoint};
    case 3: // diameter
    case 4: // radius
        return {Kind::DefPoint, Kind::TextMidpoint, Kind::DefPoint4};
    case 5: // angular, three points
        return {Kind::DefPoint, Kind::TextMidpoint, Kind::DefPoint2, Kind::DefPoint3, Kind::DefPoint4};
    default: // rotated, aligned, ordinate
        return {Kind::DefPoint, Kind::TextMidpoint, Kind::DefPoint2, Kind::DefPoint3};
    }
}

// The point index (group 10 + index) of a dimension point.
std::size_t dimensionIndex(Kind kind)
{
    switch (kind) {
    case Kind::DefPoint:
        return 0;
    case Kind::TextMidpoint:
        return 1;
    case Kind::DefPoint2:
        return 3;
    case Kind::DefPoint3:
        return 4;
    case Kind::DefPoint4:
        return 5;
    case Kind::ArcPoint:
        return 6;
    }
    return 0;
}

double& axis(dwg::Point3& point, int which)
{
    return which == 0 ? point.x : which == 1 ? point.y : point.z;
}

} // namespace

double toRadians(double degrees)
{
    return degrees * (std::numbers::pi / 180.0);
}

GeometryKind geometryKindOf(std::string_view dxfName)
{
    for (const KindName& entry : kindNames) {
        if (entry.name == dxfName) {
            return entry.kind;
        }
    }
    return GeometryKind::None;
}

void GeometryBuilder::add(const Group& group)
{
    const int code = group.code;
    if (code == 1 || code == 3) {
        if (m_kind == GeometryKind::Text || m_kind == GeometryKind::MText) {
            m_text.push_back(group.text);
        }
        return;
    }
    if (code == 2) {
        if (m_name.empty()) {
            m_name = group.text;
        }
        return;
    }
    if (code < 10 || code > 59) {
        return;
    }
    double value = 0;
    if (!group.toReal(value)) {
        m_damaged = true;
        return;
    }
    if (code <= 37 && code % 10 <= 7) {
        if (m_kind == GeometryKind::LwPolyline || m_kind == GeometryKind::Spline) {
            addListCoordinate(code, value);
        } else {
            addCoordinate(code, value);
        }
        return;
    }
    const int index = code - 38;
    if (index >= 0 && !(m_realSeen & (1u << index))) {
        m_realSeen |= 1u << index;
        m_reals[static_cast<std::size_t>(index)] = value;
    }
}

void GeometryBuilder::addCoordinate(int code, double value)
{
    const int point = code % 10;
    const int which = code / 10 - 1;
    const std::uint32_t bit = 1u << (point * 3 + which);
    if (!(m_pointSeen & bit)) {
        m_pointSeen |= bit;
        axis(m_points[static_cast<std::size_t>(point)], which) = value;
    }
}

// Repeated points: each x (group 10 or 11) begins a new point, y and z complete the last one.
void GeometryBuilder::addListCoordinate(int code, double value)
{
    const int point = code % 10;
    const int which = code / 10 - 1;
    if (point > 1) {
        addCoordinate(code, value);
        return;
    }
    std::vector<dwg::Point3>& list = point == 0 ? m_list10 : m_list11;
    if (which == 0 || list.empty()) {
        list.emplace_back();
    }
    axis(list.back(), which) = value;
}

double GeometryBuilder::real(int code, double fallback) const
{
    const int index = code - 38;
    return (m_realSeen & (1u << index)) ? m_reals[static_cast<std::size_t>(index)] : fallback;
}

dwg::Geometry GeometryBuilder::dimension(std::int64_t flags) const
{
    dwg::DimensionGeometry geometry;
    for (Kind kind : dimensionPoints(flags)) {
        geometry.points.push_back({kind, m_points[dimensionIndex(kind)]});
    }
    return geometry;
}

dwg::Geometry GeometryBuilder::finish(std::int64_t flags, TextDecoder& decoder) const
{
    if (m_damaged) {
        return std::monostate{};
    }
    const auto& p = m_points;
    std::string text;
    for (std::string_view part : m_text) {
        text += part;
    }
    switch (m_kind) {
    case GeometryKind::Line:
        return dwg::LineGeometry{p[0], p[1]};
    case GeometryKind::Circle:
        return dwg::CircleGeometry{p[0], real(40, 0)};
    case GeometryKind::Arc:
        return dwg::ArcGeometry{p[0], real(40, 0), toRadians(real(50, 0)), toRadians(real(51, 0))};
    case GeometryKind::Point:
        return dwg::PointGeometry{p[0]};
    case GeometryKind::LwPolyline: {
        dwg::PolylineGeometry polyline{m_list10, (flags & 1) != 0, true};
        for (dwg::Point3& point : polyline.points) {
            point.z = 0;
        }
        return polyline;
    }
    case GeometryKind::Polyline:
        return dwg::PolylineGeometry{{}, (flags & 1) != 0, false}; // the vertices follow as records of their own
    case GeometryKind::Text:
        return dwg::TextGeometry{p[0], real(40, 0), decoder.decode(text), toRadians(real(50, 0))};
    case GeometryKind::MText:
        return dwg::MTextGeometry{p[0], real(40, 0), decoder.decode(text)};
    case GeometryKind::Insert:
        return dwg::InsertGeometry{
            p[0], decoder.decode(m_name), {real(41, 1), real(42, 1), real(43, 1)}, toRadians(real(50, 0))};
    case GeometryKind::Ellipse:
        return dwg::EllipseGeometry{p[0], p[1], real(40, 0), real(41, 0), real(42, 2 * std::numbers::pi)};
    case GeometryKind::Spline:
        return dwg::SplineGeometry{m_list10, m_list11};
    case GeometryKind::Corners: {
        // Three corners given: the fourth is the third (the reference's rule for SOLID and 3DFACE).
        const bool fourth = (m_pointSeen & (1u << 9)) != 0;
        return dwg::CornersGeometry{{p[0], p[1], p[2], fourth ? p[3] : p[2]}};
    }
    case GeometryKind::Dimension:
        return dimension(flags);
    case GeometryKind::ArcDimension: // its extension lines' points and the arc's centre
        return dwg::DimensionGeometry{{{Kind::DefPoint, p[0]},
                                       {Kind::TextMidpoint, p[1]},
                                       {Kind::DefPoint2, p[3]},
                                       {Kind::DefPoint3, p[4]},
                                       {Kind::DefPoint4, p[5]}}};
    case GeometryKind::None:
        break;
    }
    return std::monostate{};
}

} // namespace dxf
