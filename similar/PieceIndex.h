// A drawing's pieces as the search for turned, mirrored or scaled copies asks for them (see PlacementSearch.h):
// by form, the pieces whose form counts, and by where their centres lie; worked out once per run.
#pragma once

#include "similar/DrawingFeatures.h"
#include "similar/Rarity.h"

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace darv::similar {

struct CountingForm
{
    std::size_t piece = 0;
    std::uint64_t token = 0;
    std::uint64_t signature = 0; // which drawings of the class hold the form
    double weight = 0;
};

class PieceIndex
{
public:
    using Cell = std::pair<std::int64_t, std::int64_t>;

    PieceIndex(const DrawingFeatures& features, const Rarity& rarity);

    std::vector<CountingForm> counting; // the pieces whose form counts, by token
    // The pieces with this form, when it counts (a form counts for every drawing of the class alike).
    std::span<const CountingForm> countingWith(std::uint64_t token) const;
    // Centres this close coincide: a millionth of the drawing's extent (never below the coordinate grid).
    double tolerance = 0;
    std::vector<std::pair<Cell, std::size_t>> cells; // pieces by the cell of their centre, sorted

    // Cells twice the tolerance wide: a centre within it of another lies in the same or a next cell.
    Cell cellOf(const dwg::Point3& p) const;
};

} // namespace darv::similar
