// The geometry of a layout entity as the drawing stores it: object coordinates, angles in radians.
// Both readers (DWG and DXF) fill these types, so the checks treat both formats alike.
#pragma once

#include <array>
#include <string>
#include <variant>
#include <vector>

namespace dwg {

struct Point3
{
    double x = 0;
    double y = 0;
    double z = 0;
};

struct LineGeometry // AcDbLine
{
    Point3 start;
    Point3 end;
};

struct CircleGeometry // AcDbCircle
{
    Point3 center;
    double radius = 0;
};

struct ArcGeometry // AcDbArc
{
    Point3 center;
    double radius = 0;
    double startAngle = 0;
    double endAngle = 0;
};

struct PointGeometry // AcDbPoint
{
    Point3 position;
};

// AcDbPolyline (lightweight: planar, points are [x, y] with z = 0), AcDb2dPolyline and AcDb3dPolyline
// (their vertices, [x, y, z]; a 2D polyline's z is its elevation).
struct PolylineGeometry
{
    std::vector<Point3> points;
    bool closed = false;
    bool planar = false; // true for the lightweight polyline: written as [x, y]
};

struct TextGeometry // AcDbText: the insertion point with the elevation as z
{
    Point3 position;
    double height = 0;
    std::string text; // UTF-8
    double rotation = 0;
};

struct MTextGeometry // AcDbMText: the stored contents, formatting codes included
{
    Point3 position;
    double height = 0;
    std::string text; // UTF-8
};

struct InsertGeometry // AcDbBlockReference, AcDbMInsertBlock
{
    Point3 position;
    std::string block; // the referenced block's name
    Point3 scale{1, 1, 1};
    double rotation = 0;
};

struct EllipseGeometry // AcDbEllipse
{
    Point3 center;
    Point3 majorAxis; // relative to the center
    double ratio = 0;
    double startParam = 0;
    double endParam = 0;
};

struct SplineGeometry // AcDbSpline
{
    std::vector<Point3> controlPoints;
    std::vector<Point3> fitPoints;
};

struct CornersGeometry // AcDbSolid, AcDbTrace, AcDbFace: four corners as stored
{
    std::array<Point3, 4> corners;
};

// The definition points of a dimension, named after the DXF group that holds each one. A dimension
// class keeps only the points it has, in this order.
enum class DimensionPointKind {
    DefPoint,     // DXF 10: "defpoint"
    TextMidpoint, // DXF 11: "text_midpoint"
    DefPoint2,    // DXF 13: "defpoint2" (first extension line, or feature location)
    DefPoint3,    // DXF 14: "defpoint3" (second extension line, or leader end)
    DefPoint4,    // DXF 15: "defpoint4" (chord point, or angular vertex)
    ArcPoint,     // DXF 16: "arc_point" (angular dimension's arc)
};

struct DimensionPoint
{
    DimensionPointKind kind = DimensionPointKind::DefPoint;
    Point3 point;
};

struct DimensionGeometry // the dimension classes
{
    std::vector<DimensionPoint> points;
};

// The JSON key of a dimension point: "defpoint", "text_midpoint", "defpoint2", "defpoint3", "defpoint4", "arc_point".
const char* dimensionPointKey(DimensionPointKind kind);

// std::monostate: a class without geometry here, or an entity whose body could not be read.
using Geometry = std::variant<std::monostate, LineGeometry, CircleGeometry, ArcGeometry, PointGeometry,
                              PolylineGeometry, TextGeometry, MTextGeometry, InsertGeometry, EllipseGeometry,
                              SplineGeometry, CornersGeometry, DimensionGeometry>;

} // namespace dwg
