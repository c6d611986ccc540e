// Parsing and lookup of the 2007 page map.
#include "dwg/R2007PageMap.h"

#include "dwg/R2007Cursor.h"
#include "dwg/R2007FileHeader.h"

#include <algorithm>
#include <limits>
#include <string>

namespace dwg {

namespace {

constexpr std::size_t kEntryBytes = 16;

Fault mapFault(std::uint64_t offset, const char* what)
{
    return Fault{ErrorCode::Corrupt, offset, std::string("2007 page map: ") + what};
}

} // namespace

Expected<R2007PageMap> R2007PageMap::parse(std::span<const std::uint8_t> map, std::uint64_t fileSize)
{
    R2007PageMap result;
    result.m_pages.reserve(map.size() / kEntryBytes);
    R2007Cursor cursor(map);
    std::uint64_t address = kR2007PageBase;
    // The map's decompressed size is rounded up; a trailing partial entry is padding.
    while (cursor.remaining() >= kEntryBytes) {
        const std::size_t at = cursor.pos();
        std::uint64_t size = 0, id = 0;
        cursor.u64(size);
        cursor.u64(id);
        if (size > fileSize)
            return mapFault(at, "page larger than the file");
        result.m_pages.push_back({static_cast<std::int64_t>(id), address, size});
        if (size > std::numeric_limits<std::uint64_t>::max() - address)
            return mapFault(at, "page addresses overflow");
        address += size;
    }
    std::stable_sort(result.m_pages.begin(), result.m_pages.end(),
                     [](const R2007Page& a, const R2007Page& b) { return a.id < b.id; });
    // Unused pages may share an id; a used page must be unique or its section would be ambiguous.
    for (std::size_t i = 1; i < result.m_pages.size(); ++i) {
        if (result.m_pages[i].id > 0 && result.m_pages[i].id == result.m_pages[i - 1].id)
            return mapFault(0, ("page id " + std::to_string(result.m_pages[i].id) + " listed twice").c_str());
    }
    return result;
}

const R2007Page* R2007PageMap::find(std::int64_t id) const
{
    const auto it = std::lower_bound(m_pages.begin(), m_pages.end(), id,
                                     [](const R2007Page& page, std::int64_t key) { return page.id < key; });
    return it != m_pages.end() && it->id == id ? &*it : nullptr;
}

} // namespace dwg
