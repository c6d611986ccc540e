// Locates the sections of R13, R14 and R2000 drawings through the locator table after the file header.
#pragma once

#include "dwg/Fault.h"
#include "dwg/Sections.h"

#include <cstdint>
#include <span>

namespace dwg {

// Header, classes and object map are slices of the file; objects is the whole file (absolute offsets).
Expected<Sections> readR13Sections(std::span<const std::uint8_t> file);

} // namespace dwg
