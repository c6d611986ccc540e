// Reading a whole data file safely: only regular files, opened without blocking, so a FIFO or a
// device put where a report or a list is expected can never freeze the window.
#pragma once

#include "base/FileResult.h"

#include <cstdint>
#include <string>

namespace darv {

// The whole content. Files larger than maxBytes are refused as "too large".
FileResult<std::string> readRegularFile(const std::string& path, std::uint64_t maxBytes = std::uint64_t{1} << 31);

} // namespace darv
