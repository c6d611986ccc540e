// Reads one entity record (from its "0 NAME" group to the next 0 group): identity, owner, layer and geometry.
#include "dxf/EntityReader.h"

#include "dxf/ContentsBuilder.h"
#include "dxf/GeometryBuilder.h"

namespace dxf {

void skipRecord(GroupSource& source)
{
    while (source.advance() && source.current().code != 0) {
    }
}

const std::string& EntityReader::layerName(std::string_view raw)
{
    auto found = m_layers.find(raw);
    if (found == m_layers.end()) {
        found = m_layers.emplace(raw, m_decoder.decode(raw)).first;
    }
    return found->second;
}

EntityRecord EntityReader::read(GroupSource& source)
{
    EntityRecord record;
    record.type = source.current().word();
    GeometryBuilder builder(m_contents ? geometryKindOf(record.type) : GeometryKind::None);
    ContentsBuilder contents(m_contents ? contentsKindOf(record.type) : ContentsKind::None);
    std::string_view layer = "0"; // the layer of an entity that names none
    bool layerSeen = false;
    bool flagsSeen = false;
    bool markerSeen = false;
    int appGroups = 0;     // inside "102 {NAME" ... "102 }"
    bool ownData = true;   // false from an embedded object (101) or the extended data (1000+) on
    bool embedded = false; // in an embedded object: its groups go to the contents only
    while (source.advance() && source.current().code != 0) {
        const Group& group = source.current();
        record.hasData = true;
        if (group.code == 102) {
            appGroups += group.word().starts_with("{") ? 1 : (appGroups > 0 ? -1 : 0);
            continue;
        }
        if (appGroups > 0 || (!ownData && !embedded)) {
            continue;
        }
        if (group.code < 1000) {
            contents.add(group); // 101 and what follows too: a multi-line attribute's text is there
        }
        if (embedded) {
            continue;
        }
        std::int64_t number = 0;
        switch (group.code) {
        case 5:
            if (std::uint64_t handle = 0; !record.handle && group.toHandle(handle)) {
                record.handle = handle;
            }
            break;
        case 330:
            if (std::uint64_t owner = 0; !record.owner && !markerSeen && group.toHandle(owner)) {
                record.owner = owner;
            }
            break;
        case 100:
            markerSeen = true;
            record.marker = group.word();
            break;
        case 8:
            if (!layerSeen) {
                layerSeen = true;
                layer = group.text;
            }
            break;
        case 67:
            record.paperSpace = group.toInteger(number) && number == 1;
            break;
        case 70:
            if (!flagsSeen && group.toInteger(number)) {
                flagsSeen = true;
                record.flags = number;
            }
            break;
        case 71:
            record.multiple = record.multiple || (group.toInteger(number) && number > 1);
            break;
        case 101:
            ownData = false;
            embedded = true;
            break;
        default:
            if (group.code >= 1000) {
                ownData = false;
            } else {
                builder.add(group);
            }
        }
    }
    // A record cut short by the end of the data or a damaged group: its geometry would be incomplete.
    const bool cut = source.current().isEnd();
    if (record.type == "INSERT") {
        record.multiple = record.multiple || record.marker == "AcDbMInsertBlock" || record.flags > 1;
    }
    if (m_contents) {
        record.layer = layerName(layer);
        record.geometry = cut ? dwg::Geometry{} : builder.finish(record.flags, m_decoder);
        bool damaged = builder.damaged() || cut;
        record.data = cut ? dwg::EntityData{} : contents.finish(m_decoder, damaged);
        record.reference = contents.reference();
        record.frozenLayers = contents.frozenLayers();
        record.damaged = damaged;
        record.elevation = builder.firstPoint().z;
    }
    return record;
}

Vertex EntityReader::readVertex(GroupSource& source)
{
    Vertex vertex;
    double* coordinates[] = {&vertex.point.x, &vertex.point.y, &vertex.point.z};
    int appGroups = 0;
    while (source.advance() && source.current().code != 0) {
        const Group& group = source.current();
        if (group.code == 102) {
            appGroups += group.word().starts_with("{") ? 1 : (appGroups > 0 ? -1 : 0);
        } else if (appGroups == 0 && (group.code == 10 || group.code == 20 || group.code == 30)) {
            vertex.damaged = !group.toReal(*coordinates[group.code / 10 - 1]) || vertex.damaged;
        } else if (appGroups == 0 && group.code == 70) {
            std::int64_t flags = 0;
            vertex.flags = group.toInteger(flags) ? flags : vertex.flags;
        }
    }
    vertex.damaged = vertex.damaged || source.current().isEnd();
    return vertex;
}

} // namespace dxf
