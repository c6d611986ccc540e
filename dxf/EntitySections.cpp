// The ENTITIES and BLOCKS sections: the entities of the layouts, with the vertices of their polylines.
#include "dxf/Sections.h"

#include <variant>

namespace dxf {

namespace {

// Follows one run of entity records: a POLYLINE takes the VERTEX records after it up to its SEQEND; attributes
// (ATTRIB) and SEQEND belong to the entity before them and are never layout entities themselves.
class EntityRun
{
public:
    EntityRun(EntityReader& reader, DxfContent& content) : m_reader(reader), m_content(content) {}

    // The source stands on a record's 0 group; afterwards on the next one.
    void take(GroupSource& source, std::string_view block);

private:
    void addVertex(const Vertex& vertex);
    void addAttribute(EntityRecord attribute);

    EntityReader& m_reader;
    DxfContent& m_content;
    std::size_t m_polyline = 0; // index + 1 of the POLYLINE taking vertices; 0 for none
    std::size_t m_insert = 0;   // index + 1 of the INSERT taking attributes; 0 for none
    double m_elevation = 0;
    bool m_polyline2d = false;
};

void EntityRun::take(GroupSource& source, std::string_view block)
{
    const std::string_view type = source.current().word();
    if (type == "VERTEX") {
        const Vertex vertex = m_reader.readVertex(source);
        if (m_polyline > 0) {
            addVertex(vertex);
        }
        return;
    }
    if (type == "ATTRIB" && m_insert > 0 && m_reader.readsContents()) {
        addAttribute(m_reader.read(source));
        return;
    }
    if (type == "SEQEND" || type == "ATTRIB") {
        m_polyline = type == "SEQEND" ? 0 : m_polyline;
        m_insert = type == "SEQEND" ? 0 : m_insert;
        skipRecord(source);
        return;
    }
    EntityRecord record = m_reader.read(source);
    m_polyline = 0;
    m_insert = 0;
    if (!record.hasData) {
        // A record with no data of its own (not even a layer) is no entity; a file of nothing else must not make
        // the reader hold hundreds of bytes for every few bytes it reads.
        warn(m_content, "records without data are passed over");
        return;
    }
    record.block = block;
    if (record.type == "INSERT") {
        m_insert = m_content.entities.size() + 1;
    }
    if (record.type == "POLYLINE") {
        m_polyline = m_content.entities.size() + 1;
        // A 2D polyline's vertices lie in its plane: their z is the polyline's elevation (its point's z).
        m_polyline2d = (record.flags & (8 | 16 | 64)) == 0;
        m_elevation = m_polyline2d ? record.elevation : 0;
    }
    m_content.entities.push_back(std::move(record));
}

// An attribute whose contents could not be read is left out, and its INSERT counts as damaged.
void EntityRun::addAttribute(EntityRecord attribute)
{
    EntityRecord& insert = m_content.entities[m_insert - 1];
    auto* contents = attribute.data.get_if<dwg::AttributeContents>();
    if (contents == nullptr) {
        warn(m_content, "attributes that could not be read are left out");
        return;
    }
    const std::uint64_t handle = attribute.handle.value_or(0);
    std::size_t at = insert.attributeHandles.size();
    while (at > 0 && insert.attributeHandles[at - 1] > handle) {
        --at;
    }
    insert.attributeHandles.insert(insert.attributeHandles.begin() + static_cast<std::ptrdiff_t>(at), handle);
    insert.attributes.insert(insert.attributes.begin() + static_cast<std::ptrdiff_t>(at), std::move(*contents));
}

void EntityRun::addVertex(const Vertex& vertex)
{
    EntityRecord& polyline = m_content.entities[m_polyline - 1];
    auto* geometry = std::get_if<dwg::PolylineGeometry>(&polyline.geometry);
    if (!geometry) {
        return; // no geometry read (ReadDetail::Entities), or already damaged
    }
    if (vertex.damaged) {
        polyline.damaged = true;
        polyline.geometry = std::monostate{};
        return;
    }
    // Face records of a polyface mesh (flag 128 without 64) hold vertex numbers, not points.
    if ((vertex.flags & 128) && !(vertex.flags & 64)) {
        return;
    }
    dwg::Point3 point = vertex.point;
    if (m_polyline2d) {
        point.z = m_elevation;
    }
    geometry->points.push_back(point);
}

} // namespace

void readEntitiesSection(GroupSource& source, EntityReader& reader, DxfContent& content)
{
    content.entitiesReached = true;
    EntityRun run(reader, content);
    source.advance();
    while (!endsSection(source.current())) {
        if (source.current().code != 0) {
            source.advance();
            continue;
        }
        run.take(source, {});
    }
}

void readBlocksSection(GroupSource& source, EntityReader& reader, DxfContent& content)
{
    EntityRun run(reader, content);
    std::string_view block;
    bool layout = false;
    source.advance();
    while (!endsSection(source.current())) {
        const Group& group = source.current();
        if (group.code != 0) {
            source.advance();
        } else if (group.word() == "BLOCK") {
            block = {};
            dwg::Point3 base;
            while (source.advance() && source.current().code != 0) {
                const Group& field = source.current();
                if (field.code == 2 && block.empty()) {
                    block = field.text;
                } else if (field.code == 10 || field.code == 20 || field.code == 30) {
                    field.toReal(field.code == 10 ? base.x : field.code == 20 ? base.y : base.z);
                }
            }
            content.blockNames.push_back(block);
            content.blockBases.push_back(base);
            layout = isLayoutName(block);
        } else if (group.word() == "ENDBLK") {
            layout = false;
            skipRecord(source);
        } else if (layout || reader.readsContents()) {
            run.take(source, block); // a block definition's insides are kept for the full read only
        } else {
            skipRecord(source);
        }
    }
}

} // namespace dxf
