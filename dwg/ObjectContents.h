// What a full read keeps of one object beyond its head: an entity's layer and geometry, a table record's name.
#pragma once

#include "drawing/Geometry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace dwg {

struct ObjectContents
{
    // Entities. A damaged body leaves `bodyRead` false and the geometry empty; the head stays valid.
    bool bodyRead = false;
    std::uint64_t layer = 0; // the LAYER record's handle
    Geometry geometry;       // std::monostate for classes without geometry here
    // The annotation and fill entities' contents; null for the others. Kept apart, so that the many objects without
    // such contents stay small.
    std::unique_ptr<EntityData> data;
    bool modelerInDataStore = false; // 2013+: the modeler data is the data store's record of this entity
    std::uint64_t style = 0;         // MLINE: its MLINESTYLE; IMAGE, underlays: their definition; SHAPE: its STYLE
    std::uint64_t block = 0;         // INSERT, MINSERT: the referenced BLOCK_HEADER
    // POLYLINE_2D and POLYLINE_3D: their vertices, either listed (R2004+) or as a chain (R13-R2000).
    // BLOCK_CONTROL, LAYER_CONTROL: the table's entries, in table order. VIEWPORT: its frozen layers.
    std::vector<std::uint64_t> owned;
    std::uint64_t firstVertex = 0;
    std::uint64_t lastVertex = 0;
    double elevation = 0; // POLYLINE_2D: the z of every vertex
    // VERTEX_2D and VERTEX_3D: the point, and the next entity of the chain (R13-R2000). BLOCK_HEADER: the base point.
    Point3 point;
    std::uint64_t nextEntity = 0;
    // Table records (LAYER, BLOCK_HEADER) and MLINESTYLE: the name, already in UTF-8. R13/R14 XRECORD holding a
    // record's full name (the CAD program keeps names that R14 could not hold this way): the full name, and the stored
    // one.
    std::string name;
    std::string storedName;
    std::string fontFile;         // STYLE: its font or shape file
    std::uint64_t owner = 0;      // R13/R14 DICTIONARY and XRECORD: their owner
    bool imageDefinition = false; // an IMAGEDEF or an underlay's definition, whose file path is kept as `name`
    // R13-R2000 XRECORD "DWGPROPS": the drawing's properties as (group code, text) items.
    std::vector<std::pair<std::int16_t, std::string>> properties;

    void setData(EntityData value) { data = std::make_unique<EntityData>(std::move(value)); }
    template <class T> T* dataAs() const { return data ? std::get_if<T>(data.get()) : nullptr; }
};

} // namespace dwg
