// The checks the format stores beside its data. The 16-bit CRC runs over every object of a drawing, so it takes
// sixteen bytes per step (one table per byte position) instead of one.
#include "dwg/Crc.h"

#include <algorithm>
#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
    // Objects are short: most of their tail is taken four bytes at a time too.
    for (; left >= 4; left -= 4, p += 4) {
        crc = t[3][(crc ^ p[0]) & 0xFF] ^ t[2][((crc >> 8) ^ p[1]) & 0xFF] ^ t[1][p[2]] ^ t[0][p[3]];
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
    constexpr std::uint64_t modulus = 65521;
    std::uint64_t low = seed & 0xFFFF;
    std::uint64_t high = seed >> 16;
    const std::uint8_t* p = bytes.data();
    std::size_t left = bytes.size();
#if defined(__SSE2__)
    // Blocks of 16 bytes: a block adds its byte sum S to `low`, and to `high` 16 times the `low` before it plus
    // the sum of (16 - i) times its byte i. Over a run of blocks the vectors keep the byte sums, the sums of the
    // byte sums before each block and the weighted sums; runs are short enough that no lane overflows.
    constexpr std::size_t runBlocks = 256;
    const __m128i zero = _mm_setzero_si128();
    const __m128i weightsFirst = _mm_setr_epi16(16, 15, 14, 13, 12, 11, 10, 9);
    const __m128i weightsSecond = _mm_setr_epi16(8, 7, 6, 5, 4, 3, 2, 1);
    while (left >= 16) {
        const std::size_t blocks = std::min(left / 16, runBlocks);
        __m128i sums = zero;
        __m128i sumsBefore = zero;
        __m128i weighted = zero;
        for (std::size_t k = 0; k < blocks; ++k, p += 16) {
            const __m128i data = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            sumsBefore = _mm_add_epi32(sumsBefore, sums);
            sums = _mm_add_epi32(sums, _mm_sad_epu8(data, zero));
            weighted = _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpacklo_epi8(data, zero), weightsFirst));
            weighted = _mm_add_epi32(weighted, _mm_madd_epi16(_mm_unpackhi_epi8(data, zero), weightsSecond));
        }
        left -= blocks * 16;
        alignas(16) std::uint32_t lanes[3][4];
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes[0]), sums);
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes[1]), sumsBefore);
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes[2]), weighted);
        const std::uint64_t sum = std::uint64_t{lanes[0][0]} + lanes[0][2]; // the byte sums sit in lanes 0 and 2
        const std::uint64_t before = std::uint64_t{lanes[1][0]} + lanes[1][2];
        const std::uint64_t weight = std::uint64_t{lanes[2][0]} + lanes[2][1] + lanes[2][2] + lanes[2][3];
        high = (high + 16 * blocks * low + 16 * before + weight) % modulus;
        low = (low + sum) % modulus;
    }
#endif
    // Byte by byte; reduced often enough that the sums stay far from overflowing.
    constexpr std::size_t run = 4096;
    while (left > 0) {
        std::size_t n = std::min(left, run);
        left -= n;
        for (; n > 0; --n, ++p) {
            low += *p;
            high += low;
        }
        low %= modulus;
        high %= modulus;
    }
    return static_cast<std::uint32_t>((high << 16) | low);
}

} // namespace dwg
