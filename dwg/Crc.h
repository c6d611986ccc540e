// The checks the format stores beside its data: a 16-bit CRC (R13-R2000 section locators, header and classes
// sections, object map pages, object records), a 32-bit CRC (the 2004 family's container header) and the 2004
// family's page checksum (system pages, data page headers and data).
#pragma once

#include <cstdint>
#include <span>

namespace dwg {

inline constexpr std::uint16_t crc16Seed = 0xC0C1;

// Reflected polynomial 0xA001, continued from `seed`.
std::uint16_t crc16(std::span<const std::uint8_t> bytes, std::uint16_t seed = crc16Seed);
// Reflected polynomial 0xEDB88320, initial value and final XOR all ones.
std::uint32_t crc32(std::span<const std::uint8_t> bytes);
// Two 16-bit running sums modulo 65521 (first in the low half), continued from `seed`.
std::uint32_t pageChecksum(std::span<const std::uint8_t> bytes, std::uint32_t seed = 0);

} // namespace dwg
