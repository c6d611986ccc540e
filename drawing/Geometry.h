// The geometry of a layout entity as the drawing stores it: object coordinates, angles in radians.
// Both readers (DWG and DXF) fill these types, so the checks treat both formats alike.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
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

// Beyond geometry: what the annotation and fill entities hold, as stored (object coordinates, angles in radians).
// Kept apart from Geometry, whose kinds the similarity check knows one by one.

struct AttributeContents // AcDbAttributeDefinition (ATTDEF), and an INSERT's AcDbAttribute (ATTRIB)
{
    std::string tag;    // 2
    std::string text;   // 1: an ATTDEF's default text, an ATTRIB's value
    std::string prompt; // 3: ATTDEF only
    Point3 position;    // 10, with the elevation as z
    double height = 0;  // 40
};

enum class HatchEdgeType { Line = 1, Arc = 2, EllipticArc = 3, Spline = 4 }; // DXF 72

struct HatchEdge
{
    HatchEdgeType type = HatchEdgeType::Line;
    Point3 start;                  // 10: a line's start; an arc's or elliptic arc's centre (planar)
    Point3 end;                    // 11: a line's end; an elliptic arc's major axis end, relative to the centre
    double radius = 0;             // 40: an arc's radius; an elliptic arc's ratio of minor to major axis
    double startAngle = 0;         // 50
    double endAngle = 0;           // 51
    bool counterClockwise = false; // 73
    // Splines: 94 degree, 73 rational, 74 periodic, 40 knots, 10 control points, 42 weights, 11 fit points.
    int degree = 0;
    bool rational = false;
    bool periodic = false;
    std::vector<double> knots;
    std::vector<Point3> controlPoints;
    std::vector<double> weights;
    std::vector<Point3> fitPoints;
};

struct HatchLoop
{
    std::uint32_t flags = 0;      // 92: bit 2 (value 2) marks a polyline loop
    std::vector<HatchEdge> edges; // the edges of a loop that is no polyline
    std::vector<Point3> vertices; // a polyline loop's vertices (planar)
    std::vector<double> bulges;   // and their bulges (all zero when the loop has none)
    bool closed = false;          // 73
};

struct HatchContents // AcDbHatch
{
    std::string patternName;  // 2
    bool solidFill = false;   // 70
    bool associative = false; // 71
    double patternAngle = 0;  // 52; 0 for a solid fill
    double patternScale = 1;  // 41; 1 for a solid fill
    double elevation = 0;     // 30
    std::vector<HatchLoop> loops;
    std::vector<Point3> seedPoints; // 10 after 98 (planar)
};

struct LeaderContents // AcDbLeader
{
    std::vector<Point3> vertices;
    bool arrowhead = false;       // 71
    std::uint64_t annotation = 0; // 340: the note's handle; 0 for none
};

struct ToleranceContents // AcDbFcf (TOLERANCE)
{
    std::string text; // 1, with its formatting codes
    Point3 position;  // 10
    Point3 direction; // 11: the x axis
};

struct MLineContents // AcDbMline
{
    std::string style;            // 2: the multiline style's name
    double scale = 1;             // 40
    int justification = 0;        // 70: 0 top, 1 zero, 2 bottom
    bool closed = false;          // 71 bit 2
    std::vector<Point3> vertices; // 11
};

struct RayContents // AcDbRay, AcDbXline
{
    Point3 point;     // 10
    Point3 direction; // 11
};

struct MLeaderContents // AcDbMLeader
{
    int contentType = 0;                          // 172: 0 none, 1 block, 2 multiline text
    std::string text;                             // 304: the note, with its formatting codes
    Point3 textPosition;                          // 12
    std::string block;                            // 341: the block of a block content, by name
    Point3 blockPosition;                         // 15
    std::vector<std::vector<Point3>> leaderLines; // 10 of every LEADER_LINE, leader by leader
    std::uint64_t arrowhead = 0;                  // 342: the arrowhead's block; 0 for the default arrowhead
};

struct ImageContents // AcDbRasterImage (IMAGE), AcDbWipeout
{
    Point3 position;                  // 10: the insertion point
    Point3 uVector;                   // 11: a pixel's width along the image's x axis
    Point3 vVector;                   // 12: a pixel's height along its y axis
    double width = 0;                 // 13: in pixels
    double height = 0;                // 23
    std::vector<Point3> clipBoundary; // 14, in pixels (planar): two corners, or a polygon
    std::string path;                 // IMAGE: the image file as its definition names it (group 1 of IMAGEDEF)
};

struct ViewportContents // AcDbViewport
{
    Point3 center;                         // 10, in paper space
    double width = 0;                      // 40
    double height = 0;                     // 41
    Point3 viewCenter;                     // 12: the view's centre in model space (planar)
    double viewHeight = 0;                 // 45
    std::vector<std::string> frozenLayers; // 331, by name
};

struct LightContents // AcDbLight
{
    std::string name;     // 1
    int type = 0;         // 70: 1 distant, 2 point, 3 spot
    Point3 position;      // 10
    Point3 target;        // 11
    double intensity = 0; // 40
};

struct TableContents // AcDbTable
{
    Point3 position;                // 10: the insertion point
    std::uint32_t rows = 0;         // 91
    std::uint32_t columns = 0;      // 92
    std::vector<std::string> cells; // every cell's text, row by row (rows x columns); empty for a cell without text
};

// AcDb3dSolid, AcDbRegion, AcDbBody and the surfaces: the solid modeler's own description of the shape, as the
// drawing keeps it. Text (SAT) with "\n" line ends, or the binary form (SAB).
struct ModelerContents
{
    bool binary = false;               // SAB rather than SAT text
    std::string data;                  // the SAT text (decoded), or the SAB bytes
    std::optional<std::uint64_t> hash; // modelerHash(*this); none when the records could not be reduced
};

struct MeshContents // AcDbSubDMesh (MESH)
{
    int subdivisionLevel = 0;                     // 91
    std::vector<Point3> vertices;                 // 10
    std::vector<std::vector<std::int32_t>> faces; // 90: each face's vertex indexes
};

struct ShapeContents // AcDbShape: the shape's name lives in the shape file, which the drawing names by its style
{
    Point3 position;     // 10
    double size = 0;     // 40
    double rotation = 0; // 50
    // The drawing keeps the shape's number in its file and the style that names the file; the exchange format the
    // shape's name instead (2), as the file gives it.
    int shapeNumber = 0;
    std::string style; // the shape file, as the text style names it
    std::string name;  // DXF only
};

struct UnderlayContents // AcDbPdfReference, AcDbDwfReference, AcDbDgnReference
{
    Point3 position;                  // 10
    Point3 scale{1, 1, 1};            // 41, 42, 43
    double rotation = 0;              // 50
    std::vector<Point3> clipBoundary; // 11 (planar)
    std::string path;                 // the underlay file as its definition names it (group 1 of the definition)
};

// AcDbHelix: a spline along a helix, and the helix's own numbers. The drawing keeps the base radius only; the top
// radius is the distance of the spline's end from the axis.
struct HelixContents
{
    Point3 axisBase;          // 10 (of AcDbHelix)
    Point3 axisVector;        // 12
    Point3 startPoint;        // 11
    double baseRadius = 0;    // 40
    double topRadius = 0;     // see helixTopRadius
    double turns = 0;         // 41
    double turnHeight = 0;    // 42
    bool rightHanded = false; // 290
};

// std::monostate: a class without such contents, or an entity whose body could not be read.
using EntityData =
    std::variant<std::monostate, AttributeContents, HatchContents, LeaderContents, ToleranceContents, MLineContents,
                 RayContents, MLeaderContents, ImageContents, ViewportContents, LightContents, TableContents,
                 ModelerContents, MeshContents, ShapeContents, UnderlayContents, HelixContents>;

// An entity's contents, kept apart from the entity: most entities have none, and the largest contents would make
// every entity as large (a drawing of a million points would need hundreds of megabytes more). Copies copy them.
class Contents
{
public:
    Contents() = default;
    Contents(EntityData data) { *this = std::move(data); }
    Contents(const Contents& other) : m_data(other.m_data ? std::make_unique<EntityData>(*other.m_data) : nullptr) {}
    Contents(Contents&&) noexcept = default;
    Contents& operator=(const Contents& other)
    {
        if (this != &other)
            m_data = other.m_data ? std::make_unique<EntityData>(*other.m_data) : nullptr;
        return *this;
    }
    Contents& operator=(Contents&&) noexcept = default;
    Contents& operator=(EntityData data)
    {
        if (std::holds_alternative<std::monostate>(data))
            m_data.reset();
        else
            m_data = std::make_unique<EntityData>(std::move(data));
        return *this;
    }
    ~Contents() = default;

    bool empty() const { return !m_data; }
    // std::monostate when empty.
    const EntityData& operator*() const
    {
        static const EntityData none;
        return m_data ? *m_data : none;
    }
    template <class T> T* get_if() { return m_data ? std::get_if<T>(m_data.get()) : nullptr; }
    template <class T> const T* get_if() const { return m_data ? std::get_if<T>(m_data.get()) : nullptr; }

private:
    std::unique_ptr<EntityData> m_data;
};

// The content hash of modeler data: of the shape's records only, the same for the same records in the text form and
// in the binary form. The header before them (the modeler's version, the program and the date of the save, the
// units) changes with every save and export. The records reduce to one stream of tokens: type names, pointers,
// numbers (integers and reals alike, rounded to 40 bits of mantissa; logicals and enumerations' values too, whichever
// way the form writes them), strings, sub-type brackets and record ends. None for data that does not reduce (damaged,
// or a token of a kind not known here).
std::optional<std::uint64_t> modelerHash(const ModelerContents& modeler);

// The distance of `end` (the helix spline's last fit point, or its last control point) from the helix's axis; 0 when
// the axis has no direction.
double helixTopRadius(const HelixContents& helix, const Point3& end);

// The JSON key of a dimension point: "defpoint", "text_midpoint", "defpoint2", "defpoint3", "defpoint4", "arc_point".
const char* dimensionPointKey(DimensionPointKind kind);

// std::monostate: a class without geometry here, or an entity whose body could not be read.
using Geometry = std::variant<std::monostate, LineGeometry, CircleGeometry, ArcGeometry, PointGeometry,
                              PolylineGeometry, TextGeometry, MTextGeometry, InsertGeometry, EllipseGeometry,
                              SplineGeometry, CornersGeometry, DimensionGeometry>;

} // namespace dwg
