// The few header variables the reader reports: creation time, editing time, handle seed, fingerprint.
#pragma once

#include "dwg/Drawing.h"
#include "dwg/Fault.h"
#include "dwg/Version.h"

#include <cstdint>
#include <span>
#include <string>

namespace dwg {

struct HeaderVariables
{
    StoredTime created;       // TDCREATE as stored
    StoredTime timeInDrawing; // TDINDWG
    std::uint64_t handSeed = 0;
    std::string fingerprintGuid; // R2000+; empty when the walk to it did not succeed
};

// Walks the AcDb:Header section up to HANDSEED (all versions) and on to FINGERPRINTGUID (R2000+).
// Errors: Truncated or Corrupt when the walk fails before HANDSEED.
Expected<HeaderVariables> readHeaderVariables(std::span<const std::uint8_t> section, const VersionFlags& flags);

} // namespace dwg
