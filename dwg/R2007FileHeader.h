// The 2007 format's file header at 0x80: where the page map and the section map are stored.
#pragma once

#include "dwg/Fault.h"

#include <cstdint>
#include <span>

namespace dwg {

// All page offsets of the 2007 container count from this file offset.
constexpr std::uint64_t kR2007PageBase = 0x480;

struct R2007FileHeader
{
    std::uint64_t pageMapOffset = 0; // relative to kR2007PageBase
    std::uint64_t pageMapCompressed = 0;
    std::uint64_t pageMapSize = 0; // decompressed
    std::uint64_t pageMapCorrection = 0;
    std::uint64_t sectionMapId = 0;
    std::uint64_t sectionMapCompressed = 0;
    std::uint64_t sectionMapSize = 0;
    std::uint64_t sectionMapCorrection = 0;
};

// Reads the RS-coded, usually compressed header block at 0x80 of a whole 2007 file.
Expected<R2007FileHeader> readR2007FileHeader(std::span<const std::uint8_t> file);

} // namespace dwg
