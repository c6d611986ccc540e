// The bodies of the solid modeler's entities (3DSOLID, REGION, BODY, the surfaces) and of the subdivision mesh.
#include "dwg/GeometryReaders.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace dwg {

namespace {

// The text form is stored with every printable character mirrored (c -> 159 - c); blanks and control characters
// stay as they are.
char unmirrored(std::uint8_t c)
{
    return static_cast<char>(c <= 32 ? c : 159 - c);
}

// The binary form has no size of its own: it ends with its end record.
constexpr std::string_view binaryEnds[] = {
    std::string_view("\x0e\x03"
                     "End\x0e\x02"
                     "of\x0e\x04"
                     "ACIS\x0d\x04"
                     "data"),
    std::string_view("\x0e\x03"
                     "End\x0e\x02"
                     "of\x0e\x03"
                     "ASM\x0d\x04"
                     "data"),
};

bool readText(EntityFields& fields, ModelerContents& modeler)
{
    BitReader& data = fields.data();
    for (;;) {
        const auto size = static_cast<std::uint32_t>(data.readBitLong());
        if (fields.failed()) {
            return false;
        }
        if (size == 0) {
            return true;
        }
        if (size > data.remaining() / 8) {
            data.fail();
            return false;
        }
        const std::size_t at = modeler.data.size();
        modeler.data.resize(at + size);
        auto* target = reinterpret_cast<std::uint8_t*>(modeler.data.data() + at);
        if (!data.readBytes(target, size)) {
            return false;
        }
        std::transform(target, target + size, modeler.data.begin() + static_cast<std::ptrdiff_t>(at), unmirrored);
    }
}

bool readBinary(EntityFields& fields, ModelerContents& modeler)
{
    BitReader& data = fields.data();
    std::string bytes(static_cast<std::size_t>(data.remaining() / 8), '\0');
    if (!data.readBytes(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size())) {
        return false;
    }
    for (const std::string_view end : binaryEnds) {
        if (const std::size_t found = bytes.find(end); found != std::string::npos) {
            bytes.resize(found + end.size());
            modeler.binary = true;
            modeler.data = std::move(bytes);
            return true;
        }
    }
    data.fail(); // no end record: the data is cut short
    return false;
}

} // namespace

ModelerRead readModeler(EntityFields& fields, bool inDataStore, ModelerContents& modeler)
{
    BitReader& data = fields.data();
    if (data.readBit()) {
        // No data here: none at all, or (2013 and later) all of it in the data store.
        return fields.failed() ? ModelerRead::Damaged : inDataStore ? ModelerRead::Elsewhere : ModelerRead::Read;
    }
    data.readBit(); // unknown
    const auto format = static_cast<std::uint16_t>(data.readBitShort());
    bool read = false;
    if (format == 1) {
        read = readText(fields, modeler);
    } else if (format == 2) {
        // From 2013 on the binary form lives in the drawing's data store rather than in the entity.
        if (inDataStore) {
            return ModelerRead::Elsewhere;
        }
        read = readBinary(fields, modeler);
    } else {
        data.fail();
    }
    if (!read || fields.failed()) {
        return ModelerRead::Damaged;
    }
    if (!modeler.binary) {
        // The text's line ends as the exchange format gives them: one "\n" each.
        std::erase(modeler.data, '\r');
    }
    modeler.hash = modelerHash(modeler);
    return ModelerRead::Read;
}

bool readMeshBody(EntityFields& fields, MeshContents& mesh)
{
    BitReader& data = fields.data();
    data.readBitShort(); // version
    data.readBit();      // blend crease
    // The mesh as drawn at level 0: its vertices and faces, as the exchange format lists them.
    mesh.subdivisionLevel = data.readBitLong();
    const auto vertices = static_cast<std::uint32_t>(data.readBitLong());
    if (!plausibleCount(fields, vertices, 6)) {
        return false;
    }
    mesh.vertices.reserve(vertices);
    for (std::uint32_t i = 0; i < vertices && !fields.failed(); ++i) {
        mesh.vertices.push_back(fields.point3());
    }
    // The faces as one list: each face's vertex count, then its vertices' indexes.
    const auto items = static_cast<std::uint32_t>(data.readBitLong());
    if (!plausibleCount(fields, items, 2)) {
        return false;
    }
    for (std::uint32_t i = 0; i < items && !fields.failed();) {
        const std::int32_t count = data.readBitLong();
        ++i;
        if (count < 0 || static_cast<std::uint32_t>(count) > items - i) {
            data.fail();
            return false;
        }
        std::vector<std::int32_t>& face = mesh.faces.emplace_back();
        for (std::int32_t k = 0; k < count && !fields.failed(); ++k, ++i) {
            face.push_back(data.readBitLong());
        }
    }
    return !fields.failed();
}

} // namespace dwg
