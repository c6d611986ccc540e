// The summary information section (AcDb:SummaryInfo, 2004 and later): title, author, last saved by, custom values.
#pragma once

#include "drawing/Drawing.h"
#include "dwg/TextDecoder.h"
#include "dwg/Version.h"

#include <cstdint>
#include <optional>
#include <span>

namespace dwg {

// Empty when the section is damaged.
std::optional<SummaryInfo> readSummaryInfo(std::span<const std::uint8_t> section, const VersionFlags& flags,
                                           TextDecoder& decoder);

} // namespace dwg
