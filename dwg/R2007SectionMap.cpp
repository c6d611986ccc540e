// Parsing of the 2007 section map.
#include "dwg/R2007SectionMap.h"

#include "dwg/R2007Cursor.h"

namespace dwg {

namespace {

constexpr std::size_t kEntryFields = 8;
constexpr std::size_t kPageFields = 7;

Fault mapFault(ErrorCode code, std::uint64_t offset, const char* what)
{
    return Fault{code, offset, std::string("2007 section map: ") + what};
}

// Section names are UTF-16LE; the names the reader looks for are plain ASCII.
std::string decodeName(std::span<const std::uint8_t> bytes)
{
    std::string name;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const unsigned unit = bytes[i] | (unsigned{bytes[i + 1]} << 8);
        if (unit == 0)
            break;
        name.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    }
    return name;
}

} // namespace

Expected<std::vector<R2007Section>> parseR2007SectionMap(std::span<const std::uint8_t> map)
{
    std::vector<R2007Section> sections;
    R2007Cursor cursor(map);
    while (cursor.remaining() > 0) {
        const std::size_t at = cursor.pos();
        std::uint64_t f[kEntryFields] = {};
        for (std::uint64_t& value : f) {
            if (!cursor.u64(value))
                return mapFault(ErrorCode::Truncated, at, "entry cut off");
        }
        R2007Section section;
        section.dataSize = f[0];
        section.maxPageSize = f[1];
        section.encrypted = f[2];
        section.encoding = f[6];
        const std::uint64_t nameBytes = f[4];
        const std::uint64_t pageCount = f[7];
        std::span<const std::uint8_t> name;
        if (nameBytes > cursor.remaining() || !cursor.bytes(static_cast<std::size_t>(nameBytes), name))
            return mapFault(ErrorCode::Corrupt, at, "section name longer than the map");
        section.name = decodeName(name);
        // Checking the count against the bytes left bounds the allocation below by the map size.
        if (pageCount > cursor.remaining() / (kPageFields * 8))
            return mapFault(ErrorCode::Corrupt, at, ("more pages than the map holds in " + section.name).c_str());
        section.pages.resize(static_cast<std::size_t>(pageCount));
        for (R2007SectionPage& page : section.pages) {
            std::uint64_t p[kPageFields] = {};
            for (std::uint64_t& value : p)
                cursor.u64(value);
            page.offset = p[0];
            page.diskSize = p[1];
            page.id = static_cast<std::int64_t>(p[2]);
            page.size = p[3];
            page.compressed = p[4];
        }
        sections.push_back(std::move(section));
    }
    return sections;
}

const R2007Section* findR2007Section(const std::vector<R2007Section>& sections, const std::string& name)
{
    for (const R2007Section& section : sections) {
        if (section.name == name)
            return &section;
    }
    return nullptr;
}

} // namespace dwg
