// Locates the sections of R13, R14 and R2000 drawings through the locator table after the file header.
#include "dwg/R13Container.h"

#include "dwg/BitReader.h"
#include "dwg/Crc.h"

#include <optional>

namespace dwg {

namespace {

constexpr std::uint32_t maxLocatorRecords = 64; // real files have 5 or 6; more means a damaged header

struct Locator
{
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
};

} // namespace

Expected<Sections> readR13Sections(std::span<const std::uint8_t> file)
{
    BitReader reader(file);
    reader.setPosition(0x15 * 8);
    const std::uint32_t count = reader.readRawLong();
    if (reader.failed()) {
        return Fault{ErrorCode::Truncated, file.size(), "section locators"};
    }
    if (count < 3 || count > maxLocatorRecords) {
        return Fault{ErrorCode::Corrupt, 0x15, "section locator count"};
    }
    std::optional<Locator> locators[3];
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t id = reader.readByte();
        Locator locator;
        locator.offset = reader.readRawLong();
        locator.size = reader.readRawLong();
        if (id < 3) {
            locators[id] = locator;
        }
    }
    const std::size_t locatorsEnd = reader.bytePosition();
    const auto storedCrc = static_cast<std::uint16_t>(reader.readRawShort());
    if (reader.failed()) {
        return Fault{ErrorCode::Truncated, file.size(), "section locators"};
    }
    Sections sections;
    // The CRC runs from the file's first byte to the last locator.
    if (crc16(file.first(locatorsEnd)) != storedCrc) {
        sections.damage.emplace_back("the section locators fail their CRC check");
    }
    static const char* const names[3] = {"header section", "classes section", "object map"};
    std::span<const std::uint8_t>* targets[3] = {&sections.header, &sections.classes, &sections.handles};
    for (int i = 0; i < 3; ++i) {
        if (!locators[i]) {
            return Fault{ErrorCode::Corrupt, 0x19, std::string("no locator for the ") + names[i]};
        }
        const Locator& l = *locators[i];
        if (l.offset > file.size() || l.size > file.size() - l.offset) {
            return Fault{ErrorCode::Truncated, l.offset, names[i]};
        }
        *targets[i] = file.subspan(l.offset, l.size);
    }
    sections.objects = file;
    return sections;
}

} // namespace dwg
