// Positions picked by hand: where a note, a point or a construction line was put with the mouse. Nobody types
// such a coordinate (37.2291842..., not 20, 37.5 or 12.25), so two drawings that hold one to the stored precision
// share a decision that independent students do not make alike, whatever the text or shape there is.
#pragma once

#include "similar/DrawingFeatures.h"
#include "similar/Neighbours.h"

#include <array>

#include <cstdint>
#include <vector>

namespace darv::similar {

struct HandPlacedEntity
{
    std::size_t entity = 0; // index in DrawingFeatures::entities
    std::uint64_t kind = 0; // text, point, construction line
    dwg::Point3 anchor;
    std::uint64_t place = 0; // Place token of the position itself
    // Place tokens of its offsets to the nearest pieces, each with that piece's shape (0 where there are fewer
    // pieces): the same wherever the drawing is moved. Where the assignment puts a text (a title, a label of the
    // given part), the class holds such an offset alike: the position is the assignment's, not the student's,
    // however oddly its coordinates read. One common offset is enough to tell, whatever else lies nearer in one
    // student's drawing.
    std::array<std::uint64_t, kNeighbours> relative{};
};

// Whether a coordinate reads as typed: a whole number or one of at most three decimals.
bool typedCoordinate(double value);

// Whether a piece's size (a line's length, a radius) is a round number, a whole one or a quarter, as a student types
// it: a choice typed as a round number is one that students make alike by chance, one picked by eye is not.
bool typedPiece(const PieceForm& form);

// The drawing's entities whose positions are hand-picked, in entity order: the position is no typed coordinate,
// and nor is any of its offsets to the pieces nearest to it (a centre line a typed length off a hole is placed
// by typing, wherever the hole lies). Worked out from the features alone, so stored features need nothing new.
std::vector<HandPlacedEntity> handPlacedEntities(const DrawingFeatures& features);

// The Place token of a kind of entity at a position (moved by offset).
std::uint64_t handPlaceToken(std::uint64_t kind, const dwg::Point3& at, const dwg::Point3& offset = {});

} // namespace darv::similar
