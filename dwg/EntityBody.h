// Reads what an entity holds beyond its head: the common entity data (for the layer) and its geometry.
#pragma once

#include "dwg/BitReader.h"
#include "dwg/ClassTable.h"
#include "dwg/ObjectContents.h"
#include "dwg/TextDecoder.h"
#include "dwg/TextSource.h"
#include "dwg/Version.h"

#include <cstdint>

namespace dwg {

// The entity classes whose bodies the reader decodes; everything else keeps only its layer.
enum class EntityKind {
    Other,
    Line,
    Circle,
    Arc,
    Point,
    Face,  // 3DFACE
    Solid, // SOLID and TRACE
    Ellipse,
    Spline,
    Text,
    MText,
    Insert,  // INSERT
    MInsert, // MINSERT
    LwPolyline,
    Polyline2d,
    Polyline3d,
    PolyFaceMesh, // POLYLINE holding a polyface mesh: its points are the vertices, not the face records
    PolygonMesh,
    Vertex,     // the vertices of every kind of POLYLINE (2D, 3D, mesh, polyface)
    FaceRecord, // the faces of a polyface mesh: no point, but a link of the vertex chain
    Dimension,  // the seven fixed dimension types
    ArcDimension,
    Attribute, // ATTRIB, inside an INSERT
    AttributeDefinition,
    Hatch,
    Leader,
    Tolerance,
    MLine,
    Ray, // RAY and XLINE
    MLeader,
    Image, // IMAGE and WIPEOUT
    Viewport,
    Light,
    Table,   // ACAD_TABLE
    Modeler, // 3DSOLID, REGION, BODY and the surfaces
    Mesh,    // MESH (subdivision mesh)
    Shape,
    Underlay, // PDFUNDERLAY, DWFUNDERLAY, DGNUNDERLAY
    Helix,
};

EntityKind entityKind(std::uint16_t type, const ClassTable& classes);

// One entity's streams, each positioned where the body reader needs it.
struct EntityStreams
{
    BitReader& data;    // right after the entity mode
    BitReader& handles; // at the start of the handle stream
    TextSource& text;   // the entity's strings (data stream before R2007, string stream after)
    // R13/R14: the object's extended data, where a viewport keeps its view; nullptr for later versions.
    const BitReader* extendedData = nullptr;
};

struct EntityContext
{
    const VersionFlags& flags;
    TextDecoder* decoder = nullptr; // before R2007: the drawing's code page; nullptr when texts are UTF-16
};

struct EntityHead
{
    std::uint16_t type = 0;
    EntityKind kind = EntityKind::Other;
    std::uint8_t entityMode = 0;
    std::uint64_t handle = 0;
    bool inDataStore = false; // 2013+: the common data says part of the entity lives in the data store
};

// Fills `out` (layer, geometry, references). On a damaged body it returns false and leaves the geometry empty;
// whatever was read before the damage (the layer, usually) stays.
bool readEntityBody(const EntityHead& head, EntityStreams& streams, const EntityContext& context, ObjectContents& out);

} // namespace dwg
