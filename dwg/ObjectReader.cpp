// The first fields of each object record: type, handle, and for entities the mode and owner; block names.
#include "dwg/ObjectReader.h"

#include "dwg/BitReader.h"
#include "dwg/ObjectTypes.h"
#include "dwg/TextSource.h"

namespace dwg {

namespace {

constexpr std::size_t keptNameLength = 64; // enough to recognise every layout block name

} // namespace

ObjectReader::ObjectReader(std::span<const std::uint8_t> objects, const VersionFlags& flags, const ClassTable& classes)
    // Each group of extended data takes more than two bytes, so objects that do not overlap never
    // hold more groups than half the buffer's size.
    : m_objects(objects), m_flags(flags), m_classes(classes), m_extendedDataBudget(objects.size() / 2 + 1024)
{}

// Extended entity data: groups of (size, application handle, bytes) until a size of zero.
bool ObjectReader::skipExtendedData(BitReader& reader)
{
    while (!reader.failed()) {
        const auto size = static_cast<std::uint16_t>(reader.readBitShort());
        if (size == 0) {
            return true;
        }
        if (m_extendedDataBudget == 0) {
            return false;
        }
        --m_extendedDataBudget;
        reader.skipHandle();
        reader.skipBytes(size);
    }
    return false;
}

Expected<ObjectHead> ObjectReader::read(std::uint64_t offset, std::uint64_t expectedHandle)
{
    if (offset >= m_objects.size()) {
        return Fault{ErrorCode::Truncated, offset, "object outside its section"};
    }
    BitReader reader(m_objects);
    reader.setPosition(offset * 8);
    const std::uint64_t size = reader.readModularShort();
    // R2010+: the size counts from after the handle-stream size, which is given in bits.
    const std::uint64_t handleBits = m_flags.r2010Plus ? reader.readModularCharUnsigned() : 0;
    const std::uint64_t dataStart = reader.position();
    const std::uint64_t dataEnd = dataStart + size * 8;
    if (reader.failed() || dataEnd > reader.end()) {
        return Fault{ErrorCode::Truncated, offset, "object"};
    }
    reader.setEnd(dataEnd);

    ObjectHead head;
    head.type = m_flags.r2010Plus ? reader.readObjectType() : static_cast<std::uint16_t>(reader.readBitShort());
    std::uint64_t bitSize = 0; // bits from dataStart to the handle stream, R13-R2007
    if (m_flags.r2000Plus && !m_flags.r2010Plus) {
        bitSize = reader.readRawLong();
    }
    head.handle = reader.readHandle().value;
    if (reader.failed() || head.handle != expectedHandle) {
        return Fault{ErrorCode::Corrupt, offset, "object handle differs from the object map"};
    }
    if (!skipExtendedData(reader)) {
        return Fault{ErrorCode::Corrupt, offset, "extended object data"};
    }
    head.isEntity = isEntityType(head.type, m_classes);
    if (head.isEntity) {
        if (reader.readBit()) { // graphics present
            const std::uint64_t graphicsSize = m_flags.r2010Plus ? reader.readBitLongLong() : reader.readRawLong();
            if (graphicsSize > reader.remaining() / 8) {
                return Fault{ErrorCode::Corrupt, offset, "object graphics size"};
            }
            reader.skipBytes(graphicsSize);
        }
        if (m_flags.r13r14) {
            bitSize = reader.readRawLong();
        }
        head.entityMode = static_cast<std::uint8_t>(reader.read2Bits());
    } else if (m_flags.r13r14) {
        bitSize = reader.readRawLong();
    }
    if (reader.failed()) {
        return Fault{ErrorCode::Corrupt, offset, "object head"};
    }

    const std::uint64_t handleStart = m_flags.r2010Plus ? dataEnd - handleBits : dataStart + bitSize;
    if (handleStart < dataStart || handleStart > dataEnd) {
        return Fault{ErrorCode::Corrupt, offset, "object handle stream position"};
    }

    if (head.type == ObjectType::BlockHeader) {
        reader.readBitLong(); // reactor count
        if (m_flags.r2004Plus) {
            reader.readBit(); // no extension dictionary
        }
        if (m_flags.r2013Plus) {
            reader.readBit(); // has data-store data
        }
        // The name is the first string: in the data stream, or from R2007 on first in the string stream.
        TextSource text =
            m_flags.r2007Plus
                ? TextSource::stringStream(m_objects.first(static_cast<std::size_t>(dataEnd / 8)), handleStart)
                : TextSource::inData(reader);
        head.blockName = text.read(keptNameLength);
        if (reader.failed() || text.failed()) {
            return Fault{ErrorCode::Corrupt, offset, "block header name"};
        }
    }

    if (head.isEntity && head.entityMode == 0) {
        reader.setPosition(handleStart);
        const HandleRef owner = reader.readHandle();
        if (reader.failed() || !resolveHandle(owner, head.handle, head.owner)) {
            return Fault{ErrorCode::Corrupt, offset, "entity owner"};
        }
    }
    return head;
}

} // namespace dwg
