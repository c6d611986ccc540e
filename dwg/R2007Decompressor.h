// Decompressor for the LZ77 variant used by the 2007 format's system pages and data pages.
#pragma once

#include "dwg/Fault.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace dwg {

// Decompresses the whole of `in` into `out` and returns the number of bytes written. The stream is
// trusted for nothing: reading past the end of `in`, writing past the end of `out` or copying from
// before the start of the output is a fault whose offset is the position in `in`.
Expected<std::size_t> decompressR2007(std::span<const std::uint8_t> in, std::span<std::uint8_t> out);

} // namespace dwg
