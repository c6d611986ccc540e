// Finding the similar pairs: within the class from an inverted index of the counting tokens, and against earlier
// projects through the store's index, never by comparing all pairs.
#pragma once

#include "similar/DrawingFeatures.h"
#include "similar/EvidenceStore.h"
#include "similar/PairEvidence.h"
#include "similar/Rarity.h"
#include "similar/SimilarResult.h"

#include <vector>

namespace darv::similar {

struct ClassMember
{
    DrawingName name;
    std::int64_t storeId = 0;
    DrawingFeatures features;
    std::vector<std::uint64_t> tokens;        // allTokens(features), worked out once
    std::vector<HandPlacedEntity> handPlaced; // handPlacedEntities(features), likewise
};

// The pair as reported: names, score in percent, signal texts, matched and template handles.
SimilarPair makePair(const DrawingName& a, const DrawingFeatures& fa, const DrawingName& b, const DrawingFeatures& fb,
                     const PairEvidence& evidence);

// A pair of members the check compared, with its score (percent), reported or not.
struct ComparedPair
{
    std::size_t a = 0;
    std::size_t b = 0;
    double score = 0;
};

// Pairs of the class at or above minScore (percent), unordered; every pair compared goes to `compared` when given,
// and those under minScore down to belowFloor to `below`.
std::vector<SimilarPair> compareWithinClass(const std::vector<ClassMember>& members, const Rarity& rarity,
                                            double minScore, std::vector<ComparedPair>* compared = nullptr,
                                            std::vector<SimilarPair>* below = nullptr, double belowFloor = 0);

struct EarlierComparison
{
    std::vector<SimilarPair> pairs;
    std::size_t drawings = 0; // the earlier projects' stored drawings
    std::string failure;      // set when a project cannot be compared
    bool damaged = false;     // the failure is a damaged store
};

// Why one of the named earlier projects cannot be compared with (unknown, no stored drawings, stored by another
// version of the check), or "" when all can.
std::string unusableEarlierProject(EvidenceStore& store, const std::vector<std::string>& names);

// Pairs of a class drawing and a stored drawing of the earlier projects at or above minScore, unordered.
EarlierComparison compareWithEarlier(EvidenceStore& store, const std::vector<ClassMember>& members,
                                     const TokenCounts& counts, const TemplateSet& templates,
                                     const SimilarOptions& options);

} // namespace darv::similar
