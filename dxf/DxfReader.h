// Public interface of the DXF reader: one call reads one DXF drawing (ASCII or binary, R12 to 2018) into the same
// Drawing as the DWG reader fills.
#pragma once

#include "drawing/Drawing.h"

#include <cstdint>
#include <span>

namespace dxf {

// Drawing::format is Dxf and Drawing::version the file's $ACADVER. A damaged file gives an error, or, when its
// entities could be reached, the part that could be read with Drawing::warnings saying what is missing.
dwg::ReadResult readDxf(std::span<const std::uint8_t> bytes, dwg::ReadDetail detail = dwg::ReadDetail::Entities);

// True for a binary DXF (its sentinel) and for text whose first group opens a section.
bool looksLikeDxf(std::span<const std::uint8_t> bytes);

} // namespace dxf
