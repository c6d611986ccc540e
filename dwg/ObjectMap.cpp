// The object map (AcDb:Handles): where each object of the drawing starts, in ascending handle order.
#include "dwg/ObjectMap.h"

#include "dwg/BitReader.h"

namespace dwg {

Expected<std::vector<ObjectLocation>> readObjectMap(std::span<const std::uint8_t> section)
{
    std::vector<ObjectLocation> map;
    BitReader reader(section);
    const std::uint64_t sectionEnd = reader.end();
    // Pages: big-endian size (counting its own two bytes), pairs of deltas, big-endian CRC.
    // A page of size 2 ends the map. Every page moves the position forward by at least 4 bytes.
    while (true) {
        const std::uint64_t pageStart = reader.position();
        const std::uint16_t pageSize = reader.readRawShortBigEndian();
        if (reader.failed()) {
            return Fault{ErrorCode::Truncated, pageStart / 8, "object map"};
        }
        if (pageSize <= 2) {
            break;
        }
        const std::uint64_t pageEnd = pageStart + static_cast<std::uint64_t>(pageSize) * 8;
        if (pageEnd > sectionEnd) {
            return Fault{ErrorCode::Truncated, pageStart / 8, "object map"};
        }
        reader.setEnd(pageEnd);
        // Handle and offset restart from zero on every page; the handle delta is unsigned, the offset
        // delta signed.
        std::uint64_t handle = 0;
        std::uint64_t offset = 0; // unsigned arithmetic: damaged deltas wrap instead of overflowing
        while (reader.position() < pageEnd && !reader.failed()) {
            handle += reader.readModularCharUnsigned();
            offset += static_cast<std::uint64_t>(reader.readModularChar());
            if (!reader.failed()) {
                map.push_back(ObjectLocation{handle, static_cast<std::int64_t>(offset)});
            }
        }
        if (reader.failed()) {
            return Fault{ErrorCode::Corrupt, reader.failPosition() / 8, "object map"};
        }
        reader.setEnd(sectionEnd);
        reader.skipBytes(2); // CRC
    }
    return map;
}

} // namespace dwg
