// Positions picked by hand: where a note, a point or a construction line was put with the mouse. Nobody types
// such a coordinate (37.2291842..., not 20, 37.5 or 12.25), so two drawings that hold one to the stored precision
// share a decision that independent students do not make alike, whatever the text or shape there is.
#pragma once

#include "similar/DrawingFeatures.h"

#include <array>
#include <cstdint>
#include <vector>

namespace darv::similar {

// How many of the nearest pieces a hand-placed entity is measured against (see HandPlacedEntity::relative).
inline constexpr std::size_t kPlaceNeighbours = 3;

struct HandPlacedEntity
{
    std::size_t entity = 0; // index in DrawingFeatures::entities
    std::uint64_t kind = 0; // text, point, construction line
    dwg::Point3 anchor;
    std::uint64_t place = 0; // Place token of the position itself
    // Place tokens of the offsets to the nearest pieces, each with that piece's shape. Where the assignment puts a
    // text (a title, a label of the given part), the class holds these offsets alike: such a position is the
    // assignment's, not the student's, however oddly its coordinates read. 0 where there are fewer pieces.
    std::array<std::uint64_t, kPlaceNeighbours> relative{};
};

// Whether a coordinate reads as typed: a whole number or one of at most three decimals.
bool typedCoordinate(double value);

// The drawing's entities whose positions are hand-picked, in entity order. Worked out from the features alone, so
// stored features need nothing new.
std::vector<HandPlacedEntity> handPlacedEntities(const DrawingFeatures& features);

// The Place token of a kind of entity at a position (moved by offset).
std::uint64_t handPlaceToken(std::uint64_t kind, const dwg::Point3& at, const dwg::Point3& offset = {});

} // namespace darv::similar
