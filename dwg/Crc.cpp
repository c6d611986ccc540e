// The checks the format stores beside its data. The 16-bit CRC runs over every object of a drawing, so it takes
// sixteen bytes per step (one table per byte position) instead of one.
#include "dwg/Crc.h"

#include <array>

namespace dwg {

namespace {

using Crc16Tables = std::array<std::array<std::uint16_t, 256>, 16>;

constexpr Crc16Tables makeCrc16Tables()
{
    Crc16Tables tables{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned value = i;
        for (int bit = 0; bit < 8; ++bit) {
            value = (value & 1) != 0 ? (value >> 1) ^ 0xA001u : value >> 1;
        }
        tables[0][i] = static_cast<std::uint16_t>(value);
    }
    // tables[k][i]: the CRC of byte i followed by k zero bytes.
    for (std::size_t k = 1; k < tables.size(); ++k) {
        for (unsigned i = 0; i < 256; ++i) {
            const std::uint16_t previous = tables[k - 1][i];
            tables[k][i] = static_cast<std::uint16_t>((previous >> 8) ^ tables[0][previous & 0xFF]);
        }
    }
    return tables;
}

constexpr Crc16Tables crc16Tables = makeCrc16Tables();

constexpr std::array<std::uint32_t, 256> makeCrc32Table()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t value = i;
        for (int bit = 0; bit < 8; ++bit) {
            value = (value & 1) != 0 ? (value >> 1) ^ 0xEDB88320u : value >> 1;
        }
        table[i] = value;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> crc32Table = makeCrc32Table();

} // namespace

std::uint16_t crc16(std::span<const std::uint8_t> bytes, std::uint16_t seed)
{
    const auto& t = crc16Tables;
    unsigned crc = seed;
    const std::uint8_t* p = bytes.data();
    std::size_t left = bytes.size();
    for (; left >= 16; left -= 16, p += 16) {
        const unsigned low = (crc ^ p[0]) & 0xFF;
        const unsigned high = ((crc >> 8) ^ p[1]) & 0xFF;
        crc = t[15][low] ^ t[14][high] ^ t[13][p[2]] ^ t[12][p[3]] ^ t[11][p[4]] ^ t[10][p[5]] ^ t[9][p[6]] ^
              t[8][p[7]] ^ t[7][p[8]] ^ t[6][p[9]] ^ t[5][p[10]] ^ t[4][p[11]] ^ t[3][p[12]] ^ t[2][p[13]] ^
              t[1][p[14]] ^ t[0][p[15]];
    }
    for (; left > 0; --left, ++p) {
        crc = (crc >> 8) ^ t[0][(crc ^ *p) & 0xFF];
    }
    return static_cast<std::uint16_t>(crc);
}

std::uint32_t crc32(std::span<const std::uint8_t> bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const std::uint8_t byte : bytes) {
        crc = (crc >> 8) ^ crc32Table[(crc ^ byte) & 0xFF];
    }
    return crc ^ 0xFFFFFFFFu;
}

std::uint32_t pageChecksum(std::span<const std::uint8_t> bytes, std::uint32_t seed)
{
    constexpr std::uint32_t modulus = 65521;
    // The largest run, a multiple of the block below, whose sums cannot overflow 32 bits before they are reduced.
    constexpr std::size_t run = 5552;
    constexpr std::size_t block = 16;
    std::uint32_t low = seed & 0xFFFF;
    std::uint32_t high = seed >> 16;
    const std::uint8_t* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        std::size_t n = left < run ? left : run;
        left -= n;
        // A block adds its byte sum to `low`, and to `high` the old `low` once per byte plus each byte once for
        // every byte from it to the block's end: independent sums instead of one chain.
        for (; n >= block; n -= block, p += block) {
            std::uint32_t sum = 0;
            std::uint32_t weighted = 0;
            for (std::size_t i = 0; i < block; ++i) {
                sum += p[i];
                weighted += static_cast<std::uint32_t>(block - i) * p[i];
            }
            high += static_cast<std::uint32_t>(block) * low + weighted;
            low += sum;
        }
        for (; n > 0; --n, ++p) {
            low += *p;
            high += low;
        }
        low %= modulus;
        high %= modulus;
    }
    return (high << 16) | low;
}

} // namespace dwg
