// The readers of the longer entity bodies (polylines, dimensions), shared by the geometry dispatch.
#pragma once

#include "dwg/EntityGeometry.h"

#include <cstdint>
#include <vector>

namespace dwg {

// No entity holds more points than its data stream has bits; a larger count is damage.
inline bool plausibleCount(EntityFields& fields, std::uint64_t count, unsigned minimumBitsEach)
{
    if (count > fields.data().remaining() / minimumBitsEach) {
        fields.data().fail();
        return false;
    }
    return true;
}

bool readLwPolyline(EntityFields& fields, PolylineGeometry& polyline);
PolylineGeometry readPolyline2d(EntityFields& fields, GeometryLinks& links, ObjectContents& out);
PolylineGeometry readMesh(EntityFields& fields, GeometryLinks& links, bool polyface);
PolylineGeometry readPolyline3d(EntityFields& fields, GeometryLinks& links);
// `type`: the fixed dimension types (20-26), or arcLengthDimension.
inline constexpr std::uint16_t arcLengthDimension = 0;
DimensionGeometry readDimension(EntityFields& fields, std::uint16_t type);

// The annotation and fill entities. Each returns false (or leaves the fields failed) on a damaged body.
bool readAttribute(EntityFields& fields, bool definition, AttributeContents& attribute);
bool readHatch(EntityFields& fields, HatchContents& hatch);
bool readLeader(EntityFields& fields, LeaderContents& leader);
ToleranceContents readTolerance(EntityFields& fields);
bool readMLine(EntityFields& fields, MLineContents& mline);
bool readImage(EntityFields& fields, ImageContents& image);
LightContents readLight(EntityFields& fields);
// R2000 and later; `links.ownedCount` is set to the number of frozen layers, whose handles follow.
ViewportContents readViewport(EntityFields& fields, GeometryLinks& links);
// R13/R14: the view (view centre and height, frozen layers) from the viewport's extended data; false when it holds
// none.
bool readViewportView(BitReader extendedData, ViewportContents& viewport, std::vector<std::uint64_t>& frozenLayers);
// Fills `links` with the places of the block content's and the arrowhead's handles in the handle stream.
bool readMLeader(EntityFields& fields, MLeaderContents& mleader, GeometryLinks& links);
InsertGeometry readInsert(EntityFields& fields); // position, scale and rotation
// Tables: before 2010 their grid of cells, later their table content.
bool readTable(EntityFields& fields, TableContents& table);
bool readMeshBody(EntityFields& fields, MeshContents& mesh);
bool readUnderlay(EntityFields& fields, UnderlayContents& underlay);
enum class ModelerRead {
    Read,
    Elsewhere, // 2013 and later: in the drawing's data store
    Damaged,
};
// `inDataStore`: the entity's common data says that its data lives in the drawing's data store.
ModelerRead readModeler(EntityFields& fields, bool inDataStore, ModelerContents& modeler);

} // namespace dwg
