// Reads what an entity holds beyond its head: the common entity data (for the layer) and its geometry.
#include "dwg/EntityBody.h"

#include "dwg/EntityGeometry.h"
#include "dwg/GeometryReaders.h"
#include "dwg/ObjectTypes.h"

namespace dwg {

namespace {

// The common entity data that decides which handles follow in the handle stream.
struct CommonData
{
    std::uint32_t reactors = 0;
    bool byLayerLinetype = false; // R13-R14: no linetype handle
    bool extensionDictionaryMissing = false;
    bool noLinks = false; // R13-R2000: no previous/next entity handles
    bool colorBookHandle = false;
    bool inDataStore = false;
    unsigned linetypeFlags = 0;
    unsigned plotStyleFlags = 0;
    unsigned materialFlags = 0;
    unsigned visualStyles = 0; // R2010+: how many visual style handles follow
};

// A drawing cannot hold more reactors on one entity than its handle stream has bytes.
constexpr std::uint32_t maxReactors = 1u << 20;

void skipColor(EntityFields& fields, const VersionFlags& f, CommonData& common)
{
    BitReader& data = fields.data();
    if (!f.r2004Plus) {
        data.readBitShort(); // CMC: the colour index
        return;
    }
    // The entity colour encoding: index in the low bits, flags in the high byte.
    const auto raw = static_cast<std::uint16_t>(data.readBitShort());
    const unsigned flags = raw >> 8;
    if ((flags & 0x20) != 0) {
        data.readBitLong(); // transparency
    }
    if ((flags & 0x40) != 0) {
        common.colorBookHandle = true;
    } else if ((flags & 0x80) != 0) {
        data.readBitLong(); // true colour
    }
    if ((flags & 0x41) == 0x41) {
        fields.text(); // colour name
    }
    if ((flags & 0x42) == 0x42) {
        fields.text(); // colour book name
    }
}

CommonData readCommonData(EntityFields& fields)
{
    const VersionFlags& f = fields.flags();
    BitReader& data = fields.data();
    CommonData common;
    common.reactors = static_cast<std::uint32_t>(data.readBitLong());
    if (f.r13r14) {
        common.byLayerLinetype = data.readBit();
    }
    if (f.r2004Plus) {
        common.extensionDictionaryMissing = data.readBit();
    } else {
        common.noLinks = data.readBit();
    }
    if (f.r2013Plus) {
        common.inDataStore = data.readBit();
    }
    skipColor(fields, f, common);
    data.skipBitDoubles(1); // linetype scale
    if (f.r2000Plus) {
        common.linetypeFlags = data.read2Bits();
        common.plotStyleFlags = data.read2Bits();
    }
    if (f.r2007Plus) {
        common.materialFlags = data.read2Bits();
        data.readByte(); // shadow flags
    }
    if (f.r2010Plus) {
        for (int i = 0; i < 3; ++i) {
            common.visualStyles += data.readBit() ? 1u : 0u;
        }
    }
    data.readBitShort(); // invisibility
    if (f.r2000Plus) {
        data.readByte(); // line weight
    }
    if (common.reactors > maxReactors) {
        data.fail();
    }
    return common;
}

std::uint64_t resolved(BitReader& handles, std::uint64_t own)
{
    std::uint64_t value = 0;
    if (!resolveHandle(handles.readHandle(), own, value)) {
        handles.fail();
        return 0;
    }
    return value;
}

// The common entity handles up to and including the layer, and the ones after it that the type's own references
// follow.
void readCommonHandles(const EntityHead& head, const CommonData& common, const VersionFlags& f, BitReader& handles,
                       ObjectContents& out)
{
    if (head.entityMode == 0) {
        handles.skipHandle(); // owner
    }
    for (std::uint32_t i = 0; i < common.reactors && !handles.failed(); ++i) {
        handles.skipHandle();
    }
    if (!common.extensionDictionaryMissing) {
        handles.skipHandle();
    }
    if (f.r13r14) {
        out.layer = resolved(handles, head.handle);
        if (!common.byLayerLinetype) {
            handles.skipHandle();
        }
    }
    if (!f.r2004Plus) {
        if (common.noLinks) {
            out.nextEntity = head.handle + 1;
        } else {
            handles.skipHandle(); // previous entity
            out.nextEntity = resolved(handles, head.handle);
        }
    }
    if (common.colorBookHandle) {
        handles.skipHandle(); // R2004+: the colour book colour, which comes before the layer
    }
    if (f.r2000Plus) {
        out.layer = resolved(handles, head.handle);
        if (common.linetypeFlags == 3) {
            handles.skipHandle();
        }
        if (f.r2007Plus && common.materialFlags == 3) {
            handles.skipHandle();
        }
        if (common.plotStyleFlags == 3) {
            handles.skipHandle();
        }
        for (unsigned i = 0; i < common.visualStyles; ++i) {
            handles.skipHandle();
        }
    }
    if (handles.failed()) {
        out.layer = 0;
    }
}

} // namespace

EntityKind entityKind(std::uint16_t type, const ClassTable& classes)
{
    switch (type) {
    case 1:
        return EntityKind::Text;
    case 2:
        return EntityKind::Attribute;
    case 3:
        return EntityKind::AttributeDefinition;
    case 7:
        return EntityKind::Insert;
    case 8:
        return EntityKind::MInsert;
    case 10:
    case 11:
    case 12:
    case 13:
        return EntityKind::Vertex;
    case 14:
        return EntityKind::FaceRecord;
    case 15:
        return EntityKind::Polyline2d;
    case 16:
        return EntityKind::Polyline3d;
    case 17:
        return EntityKind::Arc;
    case 18:
        return EntityKind::Circle;
    case 19:
        return EntityKind::Line;
    case 27:
        return EntityKind::Point;
    case 28:
        return EntityKind::Face;
    case 29:
        return EntityKind::PolyFaceMesh;
    case 30:
        return EntityKind::PolygonMesh;
    case 31:
    case 32:
        return EntityKind::Solid;
    case 35:
        return EntityKind::Ellipse;
    case 36:
        return EntityKind::Spline;
    case 34:
        return EntityKind::Viewport;
    case 40:
    case 41:
        return EntityKind::Ray;
    case 45:
        return EntityKind::Leader;
    case 46:
        return EntityKind::Tolerance;
    case 47:
        return EntityKind::MLine;
    case 78:
        return EntityKind::Hatch;
    case 44:
        return EntityKind::MText;
    case 33:
        return EntityKind::Shape;
    case 37:
    case 38:
    case 39:
        return EntityKind::Modeler;
    case 77:
        return EntityKind::LwPolyline;
    default:
        break;
    }
    if (type >= 20 && type <= 26) {
        return EntityKind::Dimension;
    }
    if (type >= ObjectType::FirstClass) {
        // R13/R14 keep the lightweight polyline and the hatch as classes.
        const ClassEntry* entry = classes.find(type);
        if (entry != nullptr && entry->dxfName == "LWPOLYLINE") {
            return EntityKind::LwPolyline;
        }
        if (entry != nullptr && entry->dxfName == "HATCH") {
            return EntityKind::Hatch;
        }
        if (entry != nullptr && entry->dxfName == "LIGHT") {
            return EntityKind::Light;
        }
        if (entry != nullptr && entry->dxfName == "ARC_DIMENSION") {
            return EntityKind::ArcDimension;
        }
        if (entry != nullptr && entry->dxfName == "MULTILEADER") {
            return EntityKind::MLeader;
        }
        if (entry != nullptr && (entry->dxfName == "IMAGE" || entry->dxfName == "WIPEOUT")) {
            return EntityKind::Image;
        }
        if (entry != nullptr && entry->dxfName == "ACAD_TABLE") {
            return EntityKind::Table;
        }
        if (entry != nullptr && entry->dxfName.ends_with("UNDERLAY")) {
            return EntityKind::Underlay;
        }
        if (entry != nullptr && entry->dxfName == "HELIX") {
            return EntityKind::Helix;
        }
        if (entry != nullptr && entry->dxfName == "MESH") {
            return EntityKind::Mesh;
        }
        if (entry != nullptr && entry->dxfName.ends_with("SURFACE")) {
            return EntityKind::Modeler; // the surfaces keep the modeler data first, then fields of their own
        }
    }
    return EntityKind::Other;
}

bool readEntityBody(const EntityHead& head, EntityStreams& streams, const EntityContext& context, ObjectContents& out)
{
    const VersionFlags& f = context.flags;
    EntityFields fields(streams.data, streams.text, f, context.decoder);
    const CommonData common = readCommonData(fields);
    if (fields.failed()) {
        return false;
    }
    GeometryLinks links;
    EntityHead withCommon = head;
    withCommon.inDataStore = common.inDataStore;
    const bool geometryRead = readGeometry(withCommon, fields, out, links);
    readCommonHandles(head, common, f, streams.handles, out);
    if (!geometryRead) {
        out.geometry = std::monostate{};
        out.data.reset();
        return false;
    }
    if (streams.handles.failed() || !readGeometryHandles(head, streams.handles, f, links, out)) {
        // The geometry of an INSERT or POLYLINE is incomplete without its references.
        if (std::holds_alternative<InsertGeometry>(out.geometry) ||
            std::holds_alternative<PolylineGeometry>(out.geometry) || out.dataAs<LeaderContents>() != nullptr ||
            out.dataAs<MLeaderContents>() != nullptr || out.dataAs<MLineContents>() != nullptr ||
            out.dataAs<ViewportContents>() != nullptr || out.dataAs<ImageContents>() != nullptr ||
            out.dataAs<UnderlayContents>() != nullptr) {
            out.geometry = std::monostate{};
            out.data.reset();
            return false;
        }
    }
    if (auto* viewport = out.dataAs<ViewportContents>(); viewport && f.r13r14) {
        if (streams.extendedData == nullptr || !readViewportView(*streams.extendedData, *viewport, out.owned)) {
            out.data.reset();
            return false;
        }
    }
    out.bodyRead = true;
    return true;
}

} // namespace dwg
