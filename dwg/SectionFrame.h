// The framing shared by the header and classes sections: sentinel, size fields and, from R2007 on,
// the bit size that tells where the string stream ends.
#pragma once

#include "dwg/BitReader.h"
#include "dwg/Fault.h"
#include "dwg/Version.h"

#include <array>
#include <cstdint>
#include <span>

namespace dwg {

using Sentinel = std::array<std::uint8_t, 16>;

inline constexpr Sentinel headerSentinel{0xCF, 0x7B, 0x1F, 0x23, 0xFD, 0xDE, 0x38, 0xA9,
                                         0x5F, 0x7C, 0x68, 0xB8, 0x4E, 0x6D, 0x33, 0x5F};
inline constexpr Sentinel classesSentinel{0x8D, 0xA1, 0xC4, 0xB8, 0xC4, 0xA9, 0xF8, 0xC5,
                                          0xC0, 0xDC, 0xF4, 0x5F, 0xE7, 0xCF, 0xB6, 0x8A};

struct SectionFrame
{
    BitReader data;               // at the first field; its end is the end of the size data area
    std::uint64_t stringsEnd = 0; // R2007+: bit where the string stream's flag bit ends (P + bitsize)
};

// Whether the CRC stored right after the size data area matches; it covers the size fields and the area. False also
// when the section is too short to hold it.
bool sectionCrcMatches(std::span<const std::uint8_t> section, const VersionFlags& flags);

// Errors: Truncated, Corrupt (wrong sentinel). `name` goes into the fault detail.
Expected<SectionFrame> openSection(std::span<const std::uint8_t> section, const Sentinel& sentinel,
                                   const VersionFlags& flags, const char* name);

} // namespace dwg
