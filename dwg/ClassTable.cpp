// The drawing's class section: object type numbers from 500 on and the classes they stand for.
#include "dwg/ClassTable.h"

#include "dwg/SectionFrame.h"
#include "dwg/TextSource.h"

namespace dwg {

namespace {

constexpr std::uint16_t entityClassId = 0x1F2;
constexpr std::uint16_t firstClassNumber = 500;

ClassEntry readClass(BitReader& data, TextSource& text, const VersionFlags& flags)
{
    ClassEntry entry;
    entry.number = static_cast<std::uint16_t>(data.readBitShort());
    data.readBitShort(); // proxy flags
    text.skip();         // application name
    entry.cppName = text.read();
    entry.dxfName = text.read();
    data.readBit(); // was a zombie
    entry.isEntity = static_cast<std::uint16_t>(data.readBitShort()) == entityClassId;
    if (flags.r2004Plus) {
        for (int i = 0; i < 5; ++i) {
            data.readBitLong(); // instance count, versions, two zeros
        }
    }
    return entry;
}

} // namespace

const ClassEntry* ClassTable::find(std::uint16_t number) const
{
    // Classes are numbered 500, 501, ... in order; look there first, then search.
    if (number >= firstClassNumber) {
        const std::size_t index = number - firstClassNumber;
        if (index < entries.size() && entries[index].number == number) {
            return &entries[index];
        }
    }
    for (const ClassEntry& entry : entries) {
        if (entry.number == number) {
            return &entry;
        }
    }
    return nullptr;
}

Expected<ClassTable> readClasses(std::span<const std::uint8_t> section, const VersionFlags& flags)
{
    auto frame = openSection(section, classesSentinel, flags, "classes section");
    if (!frame) {
        return frame.fault();
    }
    BitReader& data = frame->data;
    TextSource text = flags.r2007Plus ? TextSource::stringStream(section, frame->stringsEnd) : TextSource::inData(data);
    ClassTable table;
    if (flags.r2004Plus) {
        const auto maxNumber = static_cast<std::uint16_t>(data.readBitShort());
        data.readByte();
        data.readByte();
        data.readBit();
        const int count = maxNumber >= firstClassNumber ? maxNumber - firstClassNumber + 1 : 0;
        // Every record takes more than one byte, so a count beyond the data fails at the end of it.
        for (int i = 0; i < count && !data.failed() && !text.failed(); ++i) {
            table.entries.push_back(readClass(data, text, flags));
        }
    } else {
        while (data.remaining() >= 8 && !data.failed()) {
            table.entries.push_back(readClass(data, text, flags));
        }
    }
    if (data.failed() || text.failed()) {
        return Fault{ErrorCode::Corrupt, data.failPosition() / 8, "classes section"};
    }
    return table;
}

} // namespace dwg
