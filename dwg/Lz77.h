// The LZ77 variant that compresses the pages of R2004-family drawings.
#pragma once

#include "dwg/Fault.h"

#include <cstdint>
#include <span>

namespace dwg {

// Decompresses one stream (ended by opcode 0x11) into `out`. Returns the number of bytes written.
// A stream that reads past its input, copies from before the start of its output or writes past the
// end of `out` yields a Corrupt fault whose offset is the input position.
Expected<std::size_t> decompressLz77(std::span<const std::uint8_t> in, std::span<std::uint8_t> out);

} // namespace dwg
