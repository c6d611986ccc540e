// The framing shared by the header and classes sections: sentinel, size fields and, from R2007 on,
// the bit size that tells where the string stream ends.
#include "dwg/SectionFrame.h"

#include <algorithm>

namespace dwg {

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
