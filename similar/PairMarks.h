// The teacher's decision about a pair, kept in the evidence store with the pair's drawings: a mark ("not
// reviewed", "copy", "not a copy"), a free note, who made it and when. A mark outlives new checks, a changed
// threshold and restarts; a mark whose drawings changed since it was made is flagged.
#pragma once

#include "similar/EvidenceStore.h"
#include "similar/SimilarResult.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace darv::similar {

enum class PairVerdict : std::int64_t { NotReviewed = 0, Copy = 1, NotCopy = 2 };

struct PairMark
{
    PairVerdict verdict = PairVerdict::NotReviewed;
    std::string note;
    std::string who;
    std::int64_t marked = 0; // seconds since 1970 (UTC)
    // One of the drawings was stored again since (its file changed) or is no longer stored: the mark was made
    // on other drawings.
    bool changedSince = false;
};

// A pair the same way round whichever drawing the check names first: (project, path) of both, in order.
struct PairKey
{
    std::string projectA, pathA, projectB, pathB;
    auto operator<=>(const PairKey&) const = default;
};
// `project`: the checked project, for drawings named without one.
PairKey pairKey(const std::string& project, const SimilarPair& pair);

// Keeps the mark of a pair of the project's check, with the two drawings' stamps as stored now. False with the
// store's error() set on failure.
bool saveMark(EvidenceStore& store, const std::string& project, const SimilarPair& pair, const PairMark& mark);

// Every mark made in the project's checks, or none with the store's error() set on failure.
std::optional<std::map<PairKey, PairMark>> loadMarks(EvidenceStore& store, const std::string& project);

// A mark as the store keeps it, for carrying the marks of a damaged store over into its rebuilt one.
struct KeptMark
{
    std::string project;
    PairKey key;
    PairMark mark;
    FileStamp stampA, stampB;
};
// The marks the database at path holds, as many as can still be read.
std::vector<KeptMark> salvageMarks(const std::string& path);
// Puts the marks back as they were kept (their stamps too). False with the store's error() set on failure.
bool restoreMarks(EvidenceStore& store, const std::vector<KeptMark>& marks);

} // namespace darv::similar
