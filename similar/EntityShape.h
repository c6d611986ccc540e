// What one entity looks like to the similarity check: its shape apart from where it lies, and one point
// (its anchor) that says where it lies.
#pragma once

#include "drawing/Drawing.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace darv::similar {

struct EntityShape
{
    bool hasGeometry = false; // false: a class without geometry here, or a damaged body; true for a solid with its hash
    // Class and every size, direction, angle and text of the entity, relative to the anchor: equal for
    // the same entity moved anywhere. For entities without geometry, the class alone. For a solid, the class and
    // its modeler data's content hash (which holds where it lies; the anchor is then the origin).
    std::uint64_t shape = 0;
    dwg::Point3 anchor; // a line's start, a circle's centre, a polyline's first vertex, a text's insertion point
    // Coarser than shape: class and extents (and radius, angles, text) however the entity was drawn: a line
    // drawn either way, a closed polyline begun at any vertex. What the drawing order is made of.
    std::uint64_t size = 0;
};

EntityShape entityShape(const dwg::Entity& entity);

// The content hash of a solid's modeler data, for an entity drawn by nothing else (no geometry of its own); none for
// any other entity, or for modeler data that could not be hashed.
std::optional<std::uint64_t> solidHash(const dwg::Entity& entity);

// What the entity draws, piece by piece, for comparing geometry: a polyline's segments, each exactly as the
// same segment drawn as a line (how a student structured an outline is not what it looks like), every other
// entity whole. Empty for an entity without geometry.
std::vector<EntityShape> drawnPieces(const dwg::Entity& entity);

// The entity's shape at its anchor moved by offset: equal for two entities with the same shape at the
// same place (offset zero), or for an entity and its copy moved by offset.
std::uint64_t placeKey(const EntityShape& shape, const dwg::Point3& offset = {});

// A block's name as the CAD program tells blocks apart: not case-sensitive.
std::string blockNameKey(std::string name);

} // namespace darv::similar
