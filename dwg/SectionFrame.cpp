// The framing shared by the header and classes sections: sentinel, size fields and, from R2007 on,
// the bit size that tells where the string stream ends.
#include "dwg/SectionFrame.h"

#include "dwg/Crc.h"

#include <algorithm>

namespace dwg {

bool sectionCrcMatches(std::span<const std::uint8_t> section, const VersionFlags& flags)
{
    BitReader reader(section);
    reader.skipBytes(16); // sentinel
    const std::uint32_t size = reader.readRawLong();
    if (flags.sizeHasHighPart) {
        reader.readRawLong(); // the area is counted from after the high part here
    }
    const std::uint64_t crcAt = reader.bytePosition() + std::uint64_t{size};
    reader.setPosition(crcAt * 8);
    const auto stored = static_cast<std::uint16_t>(reader.readRawShort());
    return !reader.failed() && crc16(section.subspan(16, static_cast<std::size_t>(crcAt - 16))) == stored;
}

Expected<SectionFrame> openSection(std::span<const std::uint8_t> section, const Sentinel& sentinel,
                                   const VersionFlags& flags, const char* name)
{
    BitReader reader(section);
    std::array<std::uint8_t, 16> start{};
    reader.readBytes(start.data(), start.size());
    const std::uint32_t size = reader.readRawLong();
    const std::uint64_t areaStart = reader.position();
    if (flags.sizeHasHighPart) {
        reader.readRawLong();
    }
    SectionFrame frame;
    if (flags.r2007Plus) {
        const std::uint64_t bitsizeAt = reader.position();
        frame.stringsEnd = bitsizeAt + reader.readRawLong();
    }
    if (reader.failed()) {
        return Fault{ErrorCode::Truncated, section.size(), name};
    }
    if (!std::equal(start.begin(), start.end(), sentinel.begin())) {
        return Fault{ErrorCode::Corrupt, 0, std::string(name) + " sentinel"};
    }
    const std::uint64_t areaEnd = areaStart + static_cast<std::uint64_t>(size) * 8;
    if (areaEnd > reader.end()) {
        return Fault{ErrorCode::Truncated, section.size(), name};
    }
    reader.setEnd(areaEnd);
    frame.data = reader;
    return frame;
}

} // namespace dwg
