// The object map (AcDb:Handles): where each object of the drawing starts, in ascending handle order.
#include "dwg/ObjectMap.h"

#include "dwg/BitReader.h"
#include "dwg/Crc.h"

namespace dwg {

namespace {

// Damage that ends the map: an error when nothing came before it, the end of a partial map otherwise.
Expected<ObjectMap> brokenOff(ObjectMap map, std::size_t page, Fault fault)
{
    if (page == 0) {
        return fault;
    }
    map.damage.push_back("the object map breaks off at its page " + std::to_string(page + 1) +
                         ": the objects listed after it are missing");
    return map;
}

} // namespace

Expected<ObjectMap> readObjectMap(std::span<const std::uint8_t> section)
{
    ObjectMap map;
    BitReader reader(section);
    const std::uint64_t sectionEnd = reader.end();
    // Pages: big-endian size (counting its own two bytes), pairs of deltas, big-endian CRC of the page.
    // A page of size 2 ends the map. Every page moves the position forward by at least 4 bytes.
    for (std::size_t page = 0;; ++page) {
        const std::uint64_t pageStart = reader.position();
        const std::uint16_t pageSize = reader.readRawShortBigEndian();
        if (reader.failed()) {
            return brokenOff(std::move(map), page, Fault{ErrorCode::Truncated, pageStart / 8, "object map"});
        }
        if (pageSize <= 2) {
            break;
        }
        const std::uint64_t pageEnd = pageStart + static_cast<std::uint64_t>(pageSize) * 8;
        if (pageEnd + 16 > sectionEnd) {
            return brokenOff(std::move(map), page, Fault{ErrorCode::Truncated, pageStart / 8, "object map"});
        }
        reader.setEnd(pageEnd);
        // Handle and offset restart from zero on every page; the handle delta is unsigned, the offset
        // delta signed.
        std::uint64_t handle = 0;
        std::uint64_t offset = 0; // unsigned arithmetic: damaged deltas wrap instead of overflowing
        const std::size_t before = map.locations.size();
        while (reader.position() < pageEnd && !reader.failed()) {
            handle += reader.readModularCharUnsigned();
            offset += static_cast<std::uint64_t>(reader.readModularChar());
            if (!reader.failed()) {
                map.locations.push_back(ObjectLocation{handle, static_cast<std::int64_t>(offset)});
            }
        }
        if (reader.failed()) {
            map.locations.resize(before);
            return brokenOff(std::move(map), page, Fault{ErrorCode::Corrupt, reader.failPosition() / 8, "object map"});
        }
        reader.setEnd(sectionEnd);
        const std::uint16_t storedCrc = reader.readRawShortBigEndian();
        const auto pageBytes = section.subspan(static_cast<std::size_t>(pageStart / 8), pageSize);
        if (crc16(pageBytes) != storedCrc) {
            map.damage.push_back("the object map's page " + std::to_string(page + 1) + " fails its CRC check");
        }
    }
    return map;
}

} // namespace dwg
