// A project's last complete similarity check as the evidence store keeps it: the result with the options it
// ran with and when it ended, so that the window shows it on opening without comparing again.
#pragma once

#include "drawing/Drawing.h"
#include "similar/EvidenceStore.h"
#include "similar/SimilarResult.h"

#include <cstdint>
#include <optional>
#include <string>

namespace darv::similar {

struct LastResult
{
    std::int64_t finished = 0; // seconds since 1970 (UTC)
    SimilarOptions options;    // templates (as used), earlier projects, threshold and share
    SimilarResult result;      // outcome Complete
};

// Replaces the project's kept result. False with the store's error() set on failure.
bool saveLastResult(EvidenceStore& store, const std::string& project, const LastResult& last);

// The project's kept result into `last` (left empty when the project has none). False with the store's error()
// set when the store fails or the kept result cannot be decoded (a damaged store).
bool loadLastResult(EvidenceStore& store, const std::string& project, std::optional<LastResult>& last);

// The stored properties of a drawing of the project (its entities left out: cheap), or none when the store does
// not hold it or fails.
std::optional<dwg::Drawing> storedProperties(EvidenceStore& store, const std::string& project, const std::string& path);

} // namespace darv::similar
