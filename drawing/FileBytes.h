// A drawing file read into memory with ordinary reads: a bound on its size, only regular files (a FIFO or a device
// would block or never end), and a check that the file did not change while it was read. (Not mapped: a mapped file
// that shrinks under the reader, on a shared drive for example, kills the process.)
#pragma once

#include "drawing/Drawing.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace dwg {

class FileBytes
{
public:
    // Errors: IoError (missing, not a regular file, unreadable), TooLarge (over maxBytes), Changed (its size or
    // modification time differs after the read from before it). `afterFirstRead` runs once after the first read
    // from the file; tests change the file there.
    static FileBytes open(const std::string& path, std::uint64_t maxBytes = maxDrawingBytes,
                          const std::function<void()>& afterFirstRead = {});

    bool ok() const { return !m_error.has_value(); }
    const DwgError& error() const { return *m_error; }
    std::span<const std::uint8_t> bytes() const { return {m_data.get(), m_size}; }

private:
    FileBytes() = default;

    std::unique_ptr<std::uint8_t[]> m_data;
    std::size_t m_size = 0;
    std::optional<DwgError> m_error;
};

} // namespace dwg
