// Comparing two drawings: every signal with its numbers, the placement found, the matched entities, the score.
#pragma once

#include "similar/DrawingFeatures.h"
#include "similar/Placement.h"
#include "similar/PreparedDrawing.h"
#include "similar/Rarity.h"
#include "similar/Signal.h"

#include <optional>
#include <vector>

namespace darv::similar {

struct SignalEvidence
{
    SignalKind kind = SignalKind::GeometryInPlace;
    double share = 0;          // weighted share of the smaller side's countable details found in the other side
    std::size_t matched = 0;   // details of the smaller side found (in part) in the other
    std::size_t countable = 0; // countable details of the smaller side
    std::size_t items = 0;     // the items (shapes, fingerprints, texts, handles) of those details
    std::size_t itemsMatched = 0;
    double evidence = 0;    // the matched items weighted by rarity: how far the share can be trusted
    double decisions = 0;   // the same with every detail counted once: how many choices the pair shares
    std::size_t places = 0; // hand-picked positions of the smaller side found in the other (geometry)
    // Geometry: the information the shared details give beyond what chance gives the most alike of the pairs
    // compared, over that; 0 where chance explains them, 1 for twice what chance gives.
    double significance = 0;
    bool smallerIsA = true;
    Placement placement;             // GeometryMoved: where A's entities lie in B (B = placement(A))
    std::vector<std::string> labels; // identity values, names, texts
    bool decisive = false;
};

struct PairEvidence
{
    std::vector<SignalEvidence> signals; // strongest first
    double score = 0;                    // 0 to 1
    double measured = 0;                 // how far the class shows how rare its choices are (Rarity::measured)
    std::optional<Placement> placement;  // the move (turn, mirror, scale) found, when the moved geometry fired
    std::vector<std::size_t> matchedA;   // entity indices in A that a signal matched, ascending
    std::vector<std::size_t> matchedB;
};

// Both prepared with the same rarity.
PairEvidence comparePair(const PreparedDrawing& a, const PreparedDrawing& b);
PairEvidence comparePair(const DrawingFeatures& a, const DrawingFeatures& b, const Rarity& rarity);

} // namespace darv::similar
