// A drawing file mapped into memory read-only: no copy of the whole file, a bound on its size, and
// only regular files (a FIFO or a device would block or never end).
#pragma once

#include "drawing/Drawing.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace dwg {

class MappedFile
{
public:
    // Errors: IoError (missing, not a regular file, unreadable), TooLarge (over maxBytes).
    static MappedFile open(const std::string& path, std::uint64_t maxBytes = maxDrawingBytes);

    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile();

    bool ok() const { return !m_error.has_value(); }
    const DwgError& error() const { return *m_error; }
    std::span<const std::uint8_t> bytes() const { return {m_data, m_size}; }

private:
    MappedFile() = default;
    void release();

    const std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
    std::optional<DwgError> m_error;
};

} // namespace dwg
