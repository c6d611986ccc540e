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
#include <vector>

namespace darv::similar {

// PairVerdict, PairMark, PairKey and KeptMark are the store's own (EvidenceStore.h).

// `project`: the checked project, for drawings named without one.
PairKey pairKey(const std::string& project, const SimilarPair& pair);

// Keeps the mark of a pair of the project's check, with the two drawings' stamps as stored now. False with the
// store's error() set on failure.
bool saveMark(EvidenceStore& store, const std::string& project, const SimilarPair& pair, const PairMark& mark);

// Every mark made in the project's checks, or none with the store's error() set on failure.
std::optional<std::map<PairKey, PairMark>> loadMarks(EvidenceStore& store, const std::string& project);

// Marks as the store keeps them (KeptMark), for carrying the marks of a damaged store over into its rebuilt one.
// The marks the database at path holds, as many as can still be read.
std::vector<KeptMark> salvageMarks(const std::string& path);
// Puts the marks back as they were kept (their stamps too). False with the store's error() set on failure.
bool restoreMarks(EvidenceStore& store, const std::vector<KeptMark>& marks);

} // namespace darv::similar
