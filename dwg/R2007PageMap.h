// The 2007 page map: where each numbered page lies in the file.
#pragma once

#include "dwg/Fault.h"

#include <cstdint>
#include <span>
#include <vector>

namespace dwg {

struct R2007Page
{
    std::int64_t id = 0;       // negative for unused pages, which still occupy file space
    std::uint64_t address = 0; // file offset
    std::uint64_t size = 0;    // bytes on disk
};

class R2007PageMap
{
public:
    // Parses the decompressed page map: (size, id) pairs whose sizes add up to the page addresses.
    static Expected<R2007PageMap> parse(std::span<const std::uint8_t> map, std::uint64_t fileSize);

    const R2007Page* find(std::int64_t id) const;
    std::size_t size() const { return m_pages.size(); }

private:
    std::vector<R2007Page> m_pages; // sorted by id for lookup
};

} // namespace dwg
