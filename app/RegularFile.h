// Reading a whole data file safely: only regular files, opened without blocking, so a FIFO or a
// device put where a report or a list is expected can never freeze the window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace darv {

struct FileRead
{
    std::optional<std::string> bytes; // the whole content; empty optional when it could not be read
    bool missing = false;             // the file does not exist
    std::string error;                // "PATH: reason" when it exists but could not be read
};

// Files larger than maxBytes are refused as "too large".
FileRead readRegularFile(const std::string& path, std::uint64_t maxBytes = std::uint64_t{1} << 31);

} // namespace darv
