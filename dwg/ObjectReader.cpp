// The first fields of each object record: type, handle, and for entities the mode and owner; block names.
#include "dwg/ObjectReader.h"

#include "dwg/BitReader.h"
#include "dwg/Crc.h"
#include "dwg/EntityBody.h"
#include "dwg/ObjectTypes.h"
#include "dwg/TableObjects.h"
#include "dwg/TextDecoder.h"
#include "dwg/TextSource.h"

#include <string>
#include <utility>

namespace dwg {

namespace {

constexpr std::size_t keptNameLength = 64;   // enough to recognise every layout block name
constexpr std::uint64_t bodyReadsPerBit = 4; // a full read reads each bit of a sound drawing about once

} // namespace

ObjectReader::ObjectReader(std::span<const std::uint8_t> objects, const VersionFlags& flags, const ClassTable& classes)
    // Each group of extended data takes more than two bytes, so objects that do not overlap never
    // hold more groups than half the buffer's size.
    : m_objects(objects), m_flags(flags), m_classes(classes), m_extendedDataBudget(objects.size() / 2 + 1024),
      m_bodyBudget(objects.size() * 8 * bodyReadsPerBit + 4096),
      // The 2004 family's data pages carry checksums of their own, which cover the objects too.
      m_checkCrc(!flags.r2004Plus || (flags.r2007Plus && !flags.r2010Plus))
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

void ObjectReader::readContents(ObjectHead& head, std::uint64_t extendedDataAt, const BitReader& afterMode,
                                std::uint64_t handleStart, std::uint64_t dataEnd, ObjectContents& contents,
                                TextDecoder* decoder)
{
    // Reading a body takes work in proportion to the object's size at most.
    const std::uint64_t objectBits = dataEnd - afterMode.position();
    if (objectBits > m_bodyBudget) {
        m_bodyBudget = 0;
        return; // the drawing's objects overlap far beyond any sound drawing: leave the remaining bodies out
    }
    m_bodyBudget -= objectBits;
    if (head.isEntity) {
        readBody(head, extendedDataAt, afterMode, handleStart, dataEnd, contents, decoder);
        return;
    }
    if (head.type >= ObjectType::FirstClass) {
        // Some versions keep XRECORD as a class; a full read treats it as the fixed type.
        const ClassEntry* entry = m_classes.find(head.type);
        if (entry != nullptr && entry->dxfName == "XRECORD") {
            head.type = ObjectType::XRecord;
        }
        if (entry != nullptr && (entry->dxfName == "IMAGEDEF" || entry->dxfName.ends_with("DEFINITION"))) {
            readImagePath(afterMode, handleStart, dataEnd, contents, decoder, entry->dxfName == "IMAGEDEF");
            return;
        }
    }
    if (needsTableObjectBody(head.type, m_flags)) {
        BitReader data = afterMode;
        data.setEnd(handleStart);
        BitReader handles = afterMode;
        handles.setPosition(handleStart);
        readTableObjectBody(head.type, head.handle, data, handles, m_flags, decoder, contents);
    }
}

void ObjectReader::readBody(const ObjectHead& head, std::uint64_t extendedDataAt, const BitReader& afterMode,
                            std::uint64_t handleStart, std::uint64_t dataEnd, ObjectContents& contents,
                            TextDecoder* decoder)
{
    BitReader data = afterMode;
    data.setEnd(handleStart);
    BitReader handles = afterMode;
    handles.setPosition(handleStart);
    TextSource text =
        m_flags.r2007Plus
            ? TextSource::stringStream(m_objects.first(static_cast<std::size_t>(dataEnd / 8)), handleStart)
            : TextSource::inData(data);
    BitReader extendedData = afterMode;
    extendedData.setPosition(extendedDataAt);
    EntityStreams streams{data, handles, text, m_flags.r13r14 ? &extendedData : nullptr};
    EntityHead entity;
    entity.type = head.type;
    entity.kind = entityKind(head.type, m_classes);
    entity.entityMode = head.entityMode;
    entity.handle = head.handle;
    readEntityBody(entity, streams, EntityContext{m_flags, m_flags.r2007Plus ? nullptr : decoder}, contents);
}

// One function for both reads, so that the quick one compiles without any of the full read's steps.
template <bool Full>
Expected<ObjectHead> ObjectReader::readObject(std::uint64_t offset, std::uint64_t expectedHandle,
                                              ObjectContents* contents, TextDecoder* decoder)
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
    if (m_checkCrc) {
        // The CRC follows the data and covers the object from its size field on.
        const auto crcAt = static_cast<std::size_t>(dataEnd / 8);
        head.crcMatches = crcAt + 2 <= m_objects.size() &&
                          crc16(m_objects.subspan(static_cast<std::size_t>(offset), crcAt - offset)) ==
                              (m_objects[crcAt] | (m_objects[crcAt + 1] << 8));
    }
    head.type = m_flags.r2010Plus ? reader.readObjectType() : static_cast<std::uint16_t>(reader.readBitShort());
    std::uint64_t bitSize = 0; // bits from dataStart to the handle stream, R13-R2007
    if (m_flags.r2000Plus && !m_flags.r2010Plus) {
        bitSize = reader.readRawLong();
    }
    head.handle = reader.readHandle().value;
    if (reader.failed() || head.handle != expectedHandle) {
        return Fault{ErrorCode::Corrupt, offset, "object handle differs from the object map"};
    }
    const std::uint64_t extendedDataAt = reader.position();
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
    const BitReader afterHead = reader; // an entity's data after its mode, another object's after its head

    const std::uint64_t handleStart = m_flags.r2010Plus ? dataEnd - handleBits : dataStart + bitSize;
    if (handleStart < dataStart || handleStart > dataEnd) {
        return Fault{ErrorCode::Corrupt, offset, "object handle stream position"};
    }
    if (head.type == ObjectType::BlockHeader ||
        (Full && (head.type == ObjectType::Layer || head.type == ObjectType::MLineStyle ||
                  head.type == ObjectType::TextStyle))) {
        if (!readRecordName(reader, dataEnd, handleStart, head, contents, decoder)) {
            return Fault{ErrorCode::Corrupt, offset, "table record name"};
        }
    }
    if (head.isEntity && head.entityMode == 0) {
        reader.setPosition(handleStart);
        const HandleRef owner = reader.readHandle();
        if (reader.failed() || !resolveHandle(owner, head.handle, head.owner)) {
            return Fault{ErrorCode::Corrupt, offset, "entity owner"};
        }
    }
    if constexpr (Full) {
        readContents(head, extendedDataAt, afterHead, handleStart, dataEnd, *contents, decoder);
    }
    return head;
}

// A table record's name is its first string: in the data stream, or from R2007 on first in the string stream. The
// quick read keeps the start of a block's name; the full read keeps whole names, in UTF-8.
bool ObjectReader::readRecordName(BitReader& reader, std::uint64_t dataEnd, std::uint64_t handleStart, ObjectHead& head,
                                  ObjectContents* contents, TextDecoder* decoder)
{
    reader.readBitLong(); // reactor count
    if (m_flags.r2004Plus) {
        reader.readBit(); // no extension dictionary
    }
    if (m_flags.r2013Plus) {
        reader.readBit(); // has data-store data
    }
    TextSource text =
        m_flags.r2007Plus
            ? TextSource::stringStream(m_objects.first(static_cast<std::size_t>(dataEnd / 8)), handleStart)
            : TextSource::inData(reader);
    std::string name = text.read(contents != nullptr ? SIZE_MAX : keptNameLength);
    if (reader.failed() || text.failed()) {
        return false;
    }
    if (contents != nullptr) {
        contents->name = m_flags.r2007Plus || decoder == nullptr ? name : decoder->decode(name);
        if (head.type == ObjectType::BlockHeader) {
            readBasePoint(reader, handleStart, *contents);
        }
        if (head.type == ObjectType::TextStyle) {
            // The flags and sizes, then the font (or shape) file: a shape names its file through its style.
            reader.skipBits(1);
            reader.readBitShort();
            reader.skipBits(3);
            reader.skipBitDoubles(3);
            reader.readByte();
            reader.skipBitDoubles(1);
            std::string file = text.read();
            if (!reader.failed() && !text.failed()) {
                contents->fontFile = m_flags.r2007Plus || decoder == nullptr ? file : decoder->decode(file);
            }
        }
    }
    if (head.type == ObjectType::BlockHeader) {
        head.blockName = std::move(name);
    }
    return true;
}

// An image definition names its file after its version and the image's size in pixels.
void ObjectReader::readImagePath(const BitReader& afterHead, std::uint64_t handleStart, std::uint64_t dataEnd,
                                 ObjectContents& contents, TextDecoder* decoder, bool image) const
{
    BitReader data = afterHead;
    data.setEnd(handleStart);
    data.readBitLong(); // reactors
    if (m_flags.r2004Plus) {
        data.readBit(); // no extension dictionary
    }
    if (m_flags.r2013Plus) {
        data.readBit(); // has data-store data
    }
    if (image) {
        data.readBitLong();     // version
        data.skipRawDoubles(2); // size in pixels
    }
    TextSource text =
        m_flags.r2007Plus
            ? TextSource::stringStream(m_objects.first(static_cast<std::size_t>(dataEnd / 8)), handleStart)
            : TextSource::inData(data);
    std::string path = text.read();
    if (data.failed() || text.failed()) {
        return;
    }
    contents.name = m_flags.r2007Plus || decoder == nullptr ? path : decoder->decode(path);
    contents.imageDefinition = true;
}

// A block's base point follows its name and flags; a damaged one leaves the point at the origin, the name kept.
void ObjectReader::readBasePoint(const BitReader& afterName, std::uint64_t handleStart, ObjectContents& contents) const
{
    BitReader data = afterName;
    data.setEnd(handleStart);
    data.skipBits(1); // referenced by an external reference
    if (!m_flags.r2007Plus) {
        data.readBitShort(); // external reference index (not kept here from R2007 on)
    }
    data.skipBits(m_flags.r2000Plus ? 6 : 5); // dependent, anonymous, has attributes, external, overlaid, (loaded)
    if (m_flags.r2004Plus) {
        data.readBitLong(); // owned objects
    }
    Point3 base;
    base.x = data.readBitDouble();
    base.y = data.readBitDouble();
    base.z = data.readBitDouble();
    if (!data.failed()) {
        contents.point = base;
    }
}

Expected<ObjectHead> ObjectReader::read(std::uint64_t offset, std::uint64_t expectedHandle)
{
    return readObject<false>(offset, expectedHandle, nullptr, nullptr);
}

Expected<ObjectHead> ObjectReader::read(std::uint64_t offset, std::uint64_t expectedHandle, ObjectContents& contents,
                                        TextDecoder& decoder)
{
    return readObject<true>(offset, expectedHandle, &contents, &decoder);
}

} // namespace dwg
