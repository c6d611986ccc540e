// The geometry of the entity classes the reader decodes, read as the drawing stores it.
#pragma once

#include "dwg/EntityBody.h"
#include "dwg/EntityFields.h"

#include <cstdint>

namespace dwg {

// What the data stream tells about the references that follow in the handle stream.
struct GeometryLinks
{
    std::uint32_t ownedCount = 0; // R2004+: vertices of a POLYLINE
    // MLEADER: how many handles come before its arrowhead's, and which of them is the block content's (-1: none).
    std::uint32_t handlesBeforeArrowhead = 0;
    std::int64_t blockHandle = -1;
};

// Reads the geometry of `head.kind` from the data stream, right after the common entity data. Returns false when
// the body is damaged; `out.geometry` is then left empty.
bool readGeometry(const EntityHead& head, EntityFields& fields, ObjectContents& out, GeometryLinks& links);

// Reads the references after the common entity handles: the block of an INSERT, the vertices of a POLYLINE.
bool readGeometryHandles(const EntityHead& head, BitReader& handles, const VersionFlags& flags,
                         const GeometryLinks& links, ObjectContents& out);

} // namespace dwg
