// Recovers the payload of the 2007 format's interleaved Reed-Solomon code words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace dwg {

constexpr std::size_t kR2007CodeWordSize = 255;
constexpr std::size_t kR2007SystemPayload = 239; // file header, page map, section map
constexpr std::size_t kR2007DataPayload = 251;   // RS-coded data pages

// Number of code words needed to carry `payload` bytes with `k` payload bytes per word (k > 0).
constexpr std::size_t r2007BlockCount(std::size_t payload, std::size_t k)
{
    return payload / k + (payload % k != 0 ? 1 : 0);
}

// The stored words are interleaved byte by byte: payload byte j of word i sits at src[i + j * blocks].
// Writes blocks * k payload bytes (word 0 first) into `out`. Parity bytes are not checked: the reader
// relies on the page checks and the decompressor to notice damage. Returns false, leaving `out` empty,
// when `src` is too short to hold the payload of that many words or the sizes are out of range.
bool deinterleaveR2007(std::span<const std::uint8_t> src, std::size_t blocks, std::size_t k,
                       std::vector<std::uint8_t>& out);

} // namespace dwg
