// The few header variables the reader reports: creation time, editing time, handle seed, fingerprint.
#pragma once

#include "drawing/Drawing.h"
#include "dwg/Fault.h"
#include "dwg/Version.h"

#include <cstdint>
#include <span>
#include <string>

namespace dwg {

struct HeaderVariables
{
    StoredTime created;       // TDCREATE as stored
    StoredTime updated;       // TDUPDATE as stored
    StoredTime timeInDrawing; // TDINDWG
    std::uint64_t handSeed = 0;
    std::string fingerprintGuid; // R2000+; empty when the walk to it did not succeed
    // With `toLayouts` only (empty or 0 when the walk did not get there):
    std::string versionGuid;           // R2000+
    std::string hyperlinkBase;         // R2000+, in the drawing's code page before R2007
    std::uint64_t paperSpaceBlock = 0; // the active layout's block header
    std::uint64_t modelSpaceBlock = 0;
};

// Walks the AcDb:Header section up to HANDSEED (all versions) and on to FINGERPRINTGUID (R2000+); with
// `toLayouts` on to the layout block handles after it (all versions).
// Errors: Truncated or Corrupt when the walk fails before HANDSEED.
Expected<HeaderVariables> readHeaderVariables(std::span<const std::uint8_t> section, const VersionFlags& flags,
                                              bool toLayouts = false);

} // namespace dwg
