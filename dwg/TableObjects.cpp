// The non-entity objects a full read uses beyond names: the block table's order, R13/R14 full names and the
// properties of drawings before 2004.
#include "dwg/TableObjects.h"

#include <string>

namespace dwg {

namespace {

struct ObjectCommon
{
    std::uint32_t reactors = 0;
    bool extensionDictionaryMissing = false;
};

ObjectCommon readObjectCommon(BitReader& data, const VersionFlags& f)
{
    ObjectCommon common;
    common.reactors = static_cast<std::uint32_t>(data.readBitLong());
    if (f.r2004Plus) {
        common.extensionDictionaryMissing = data.readBit();
    }
    if (f.r2013Plus) {
        data.readBit(); // has data-store data
    }
    return common;
}

std::uint64_t resolved(BitReader& handles, std::uint64_t own)
{
    std::uint64_t value = 0;
    if (!resolveHandle(handles.readHandle(), own, value)) {
        handles.fail();
    }
    return value;
}

// The owner, reactors and extension dictionary that open every object's handle stream.
void skipCommonHandles(BitReader& handles, const ObjectCommon& common)
{
    handles.skipHandle(); // owner
    for (std::uint32_t i = 0; i < common.reactors && !handles.failed(); ++i) {
        handles.skipHandle();
    }
    if (!common.extensionDictionaryMissing) {
        handles.skipHandle();
    }
}

// A text item of an XRECORD before R2007: RS length, RC code page, the bytes.
std::string readItemText(BitReader& data)
{
    const auto length = static_cast<std::uint16_t>(data.readRawShort());
    data.readByte();
    if (data.failed() || length > data.remaining() / 8) {
        data.fail();
        return {};
    }
    std::string text(length, '\0');
    data.readBytes(reinterpret_cast<std::uint8_t*>(text.data()), length);
    return text;
}

std::string decoded(TextDecoder* decoder, const std::string& text)
{
    return decoder != nullptr ? decoder->decode(text) : text;
}

bool isTextGroup(std::int16_t code)
{
    return (code >= 1 && code <= 9) || (code >= 300 && code <= 309);
}

// Before 2004 the drawing's properties (title, author, last saved by, custom values) live in an XRECORD of the
// named objects dictionary whose first item is "DWGPROPS COOKIE"; its texts come first, then its times.
void readProperties(BitReader& data, TextDecoder* decoder, ObjectContents& out)
{
    while (!data.failed() && data.remaining() >= 16) {
        const std::int16_t code = data.readRawShort();
        if (!isTextGroup(code)) {
            return;
        }
        std::string text = readItemText(data);
        if (!data.failed()) {
            out.properties.emplace_back(code, decoded(decoder, text));
        }
    }
}

// The CAD program keeps a name that R14 cannot hold (mixed case, blanks) in an XRECORD ("EXTNAMES", group 102)
// whose items are the stored name (group 1) and the full one (group 2).
void readXRecord(BitReader& data, TextDecoder* decoder, ObjectContents& out)
{
    data.readBitLong(); // size of the items
    std::int16_t code = data.readRawShort();
    if (code == 102) {
        readItemText(data); // the record's name, "EXTNAMES"
        code = data.readRawShort();
    }
    if (code != 1) {
        return;
    }
    std::string stored = readItemText(data);
    if (stored == "DWGPROPS COOKIE") {
        readProperties(data, decoder, out);
        return;
    }
    if (data.readRawShort() != 2) {
        return;
    }
    std::string full = readItemText(data);
    if (data.failed()) {
        return;
    }
    out.storedName = decoded(decoder, stored);
    out.name = decoded(decoder, full);
}

} // namespace

bool needsTableObjectBody(std::uint16_t type, const VersionFlags& flags)
{
    return type == ObjectType::BlockControl || type == ObjectType::LayerControl ||
           (flags.r13r14 && type == ObjectType::Dictionary) || (!flags.r2004Plus && type == ObjectType::XRecord);
}

void readTableObjectBody(std::uint16_t type, std::uint64_t handle, BitReader data, BitReader handles,
                         const VersionFlags& flags, TextDecoder* decoder, ObjectContents& out)
{
    const ObjectCommon common = readObjectCommon(data, flags);
    if (type == ObjectType::BlockControl || type == ObjectType::LayerControl) {
        const auto entries = static_cast<std::uint32_t>(data.readBitLong());
        skipCommonHandles(handles, common);
        // Each handle takes at least a byte.
        if (data.failed() || entries > handles.remaining() / 8) {
            return;
        }
        out.owned.reserve(entries);
        for (std::uint32_t i = 0; i < entries && !handles.failed(); ++i) {
            out.owned.push_back(resolved(handles, handle));
        }
        if (handles.failed()) {
            out.owned.clear();
        }
        return;
    }
    out.owner = resolved(handles, handle);
    if (handles.failed()) {
        out.owner = 0;
        return;
    }
    if (type == ObjectType::XRecord) {
        readXRecord(data, decoder, out);
    }
}

} // namespace dwg
