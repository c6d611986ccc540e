// A drawing made ready to be compared with many others of its class: everything the pair comparison needs that
// does not depend on the other drawing (where its pieces lie, its own details, its counting tokens with their
// weights), worked out once per run instead of once per pair.
#pragma once

#include "similar/DrawingFeatures.h"
#include "similar/FlatTokens.h"
#include "similar/HandPlaced.h"
#include "similar/PieceIndex.h"
#include "similar/Rarity.h"

#include <cstdint>
#include <map>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace darv::similar {

// A drawing's own geometry, in details: its pieces whose shapes count, grouped by kind (entity class; how a student
// sorts the work into layers plays no part) and by exactly which drawings of the class hold the shape. A detail, not a
// shape, is one piece of evidence: a student's one choice (the length of the centre lines, say) repeated at every hole,
// whatever its size, is one coincidence; a copy shares every detail.
struct Detail
{
    double weight = 0;
    bool typed = true; // every piece of it measures a typed length (see typedPiece in HandPlaced.h)
    std::map<std::uint64_t, std::vector<std::size_t>> shapes; // shape token -> its pieces
};
using Details = std::map<std::pair<std::uint64_t, std::uint64_t>, Detail>;

// Token -> the pieces or entities that carry it.
using TokenIndex = std::unordered_map<std::uint64_t, std::vector<std::size_t>>;

struct WeightedToken
{
    std::uint64_t token = 0;
    double weight = 0;
};

struct PreparedDrawing
{
    // handPlaced: the drawing's handPlacedEntities when already worked out (else they are worked out here).
    PreparedDrawing(const DrawingFeatures& features, const Rarity& rarity,
                    const std::vector<HandPlacedEntity>* handPlaced = nullptr);

    const DrawingFeatures& features;
    const Rarity& rarity;
    std::vector<std::uint64_t> placeKeys; // per piece: its shape at its place
    TokenIndex places;                    // place key -> pieces
    TokenIndex contexts;                  // context token -> pieces
    TokenIndex shapes;                    // shape hash -> pieces
    Details own;
    // Hand-picked positions: all of them with their Place and offset tokens, and those that count, with their
    // weights (the position rare in the class, its offsets to the pieces nearby not the assignment's).
    std::vector<HandPlacedEntity> handPlaced;
    std::vector<std::pair<std::size_t, double>> countingPlaces; // index in handPlaced, weight
    TokenIndex handPlaces;                                      // Place token -> handPlaced indices
    TokenIndex handOffsets;                                     // offset token -> handPlaced indices
    PieceIndex pieces;                                          // for turned, mirrored or scaled copies
    // The counting tokens of the token signals, each once, with their weights; and every token of those kinds.
    std::vector<WeightedToken> order, texts, handles;
    FlatTokenSet orderSet, textSet, handleSet;
    // Of every kind: how much this drawing can share (worked out when first asked).
    std::size_t countingTokens() const;

private:
    mutable std::optional<std::size_t> m_countingTokens;
};

} // namespace darv::similar
