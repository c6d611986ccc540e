// The full read's last stages: which objects to keep, and how names, layouts and vertices join into the Drawing.
#include "dwg/DrawingContents.h"

#include "dwg/EntitySelection.h"
#include "dwg/ObjectTypes.h"
#include "dwg/TableObjects.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

namespace dwg {

namespace {

class RecordIndex
{
public:
    explicit RecordIndex(std::vector<ObjectRecord>& records) : m_records(records) {}

    ObjectRecord* find(std::uint64_t handle) const
    {
        const auto it = std::lower_bound(m_records.begin(), m_records.end(), handle,
                                         [](const ObjectRecord& r, std::uint64_t h) { return r.head.handle < h; });
        return it != m_records.end() && it->head.handle == handle ? &*it : nullptr;
    }
    ObjectContents* contents(std::uint64_t handle, std::uint16_t type) const
    {
        ObjectRecord* record = find(handle);
        return record != nullptr && record->head.type == type ? &record->contents : nullptr;
    }

private:
    std::vector<ObjectRecord>& m_records;
};

// VERTEX of every kind, and the face records that share a polyface mesh's vertex chain.
bool isVertex(std::uint16_t type)
{
    return type >= 10 && type <= 14;
}

constexpr std::uint16_t faceRecordType = 14;

// The layout blocks as the CAD program names them: model space and the active layout by their stored names, every
// other layout block by its stored name and its rank in ascending handle order ("*Paper_Space0", ...).
std::vector<std::pair<std::uint64_t, std::string>> layoutNames(const std::vector<ObjectRecord>& records,
                                                               const HeaderVariables& header)
{
    std::vector<std::pair<std::uint64_t, std::string>> names;
    int rank = 0;
    for (const ObjectRecord& record : records) {
        if (record.head.type != ObjectType::BlockHeader || !isLayoutBlockName(record.head.blockName)) {
            continue;
        }
        std::string name = record.contents.name;
        const bool model = name.size() == 12 && isLayoutBlockName(name) && (name[1] == 'M' || name[1] == 'm');
        const bool numbered = !name.empty() && name.back() >= '0' && name.back() <= '9'; // an R13/R14 full name
        if (numbered) {
            ++rank;
        } else if (!model && record.head.handle != header.paperSpaceBlock) {
            name += std::to_string(rank++);
        }
        names.emplace_back(record.head.handle, std::move(name));
    }
    return names;
}

// `names` is in ascending handle order (the records are).
std::string nameOf(const std::vector<std::pair<std::uint64_t, std::string>>& names, std::uint64_t handle)
{
    const auto it = std::lower_bound(names.begin(), names.end(), handle,
                                     [](const auto& entry, std::uint64_t h) { return entry.first < h; });
    return it != names.end() && it->first == handle ? it->second : std::string();
}

// The points of a POLYLINE's vertices (not its face records): listed from R2004 on, a chain from first to last
// before. A 2D polyline's vertices lie at its elevation. Every vertex belongs to one polyline, so all chains
// together take no more steps than there are vertices: `steps` is what is left of that budget (damaged links
// must not make the work grow with the square of the drawing).
void fillVertices(const ObjectContents& polyline, const RecordIndex& index, std::size_t& steps,
                  PolylineGeometry& geometry, bool planar)
{
    auto add = [&](const ObjectRecord& vertex) {
        if (vertex.head.type == faceRecordType) {
            return;
        }
        Point3 p = vertex.contents.point;
        if (planar) {
            p.z = polyline.elevation;
        }
        geometry.points.push_back(p);
    };
    if (!polyline.owned.empty() || polyline.firstVertex == 0) {
        for (const std::uint64_t handle : polyline.owned) {
            const ObjectRecord* vertex = index.find(handle);
            if (vertex != nullptr && isVertex(vertex->head.type)) {
                add(*vertex);
            }
        }
        return;
    }
    std::uint64_t handle = polyline.firstVertex;
    for (; steps > 0; --steps) {
        const ObjectRecord* vertex = index.find(handle);
        if (vertex == nullptr || !isVertex(vertex->head.type)) {
            break;
        }
        add(*vertex);
        if (handle == polyline.lastVertex) {
            break;
        }
        handle = vertex->contents.nextEntity;
    }
}

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
        if (upper(a[i]) != upper(b[i])) {
            return false;
        }
    }
    return true;
}

// R13/R14: a record whose name the file could not hold keeps its full name in an XRECORD of its extension
// dictionary.
void applyFullNames(const std::vector<ObjectRecord>& records, const RecordIndex& index)
{
    for (const ObjectRecord& record : records) {
        if (record.head.type != ObjectType::XRecord || record.contents.name.empty()) {
            continue;
        }
        const ObjectContents* dictionary = index.contents(record.contents.owner, ObjectType::Dictionary);
        if (dictionary == nullptr) {
            continue;
        }
        ObjectRecord* owner = index.find(dictionary->owner);
        const bool named =
            owner != nullptr && (owner->head.type == ObjectType::Layer || owner->head.type == ObjectType::BlockHeader);
        // A layout block is stored as "*PAPER_SPACE" while its full name carries its number ("*Paper_Space0").
        const std::string_view stored = record.contents.storedName;
        const bool layout = named && isLayoutBlockName(stored) && isLayoutBlockName(owner->contents.name);
        if (named && (layout ? equalIgnoringCase(stored.substr(0, owner->contents.name.size()), owner->contents.name)
                             : equalIgnoringCase(owner->contents.name, stored))) {
            owner->contents.name = record.contents.name;
        }
    }
}

// Anonymous blocks are stored as "*D", "*U", ... without a number; the CAD program names them by their place in
// the block table ("*U18").
void numberAnonymousBlocks(const std::vector<ObjectRecord>& records, const RecordIndex& index)
{
    for (const ObjectRecord& control : records) {
        if (control.head.type != ObjectType::BlockControl) {
            continue;
        }
        for (std::size_t i = 0; i < control.contents.owned.size(); ++i) {
            ObjectRecord* block = index.find(control.contents.owned[i]);
            if (block == nullptr || block->head.type != ObjectType::BlockHeader ||
                isLayoutBlockName(block->head.blockName)) {
                continue;
            }
            std::string& name = block->contents.name;
            if (name.size() >= 2 && name[0] == '*' && !(name.back() >= '0' && name.back() <= '9')) {
                name += std::to_string(i);
            }
        }
    }
}

// A table's records in table order (the control object's list), then any record the list misses.
std::vector<const ObjectRecord*> tableRecords(const std::vector<ObjectRecord>& records, const RecordIndex& index,
                                              std::uint16_t controlType, std::uint16_t recordType)
{
    std::vector<const ObjectRecord*> names;
    std::vector<std::uint64_t> listed;
    auto wanted = [recordType](const ObjectRecord& record) {
        return record.head.type == recordType &&
               !(recordType == ObjectType::BlockHeader && isLayoutBlockName(record.head.blockName));
    };
    for (const ObjectRecord& control : records) {
        if (control.head.type != controlType) {
            continue;
        }
        for (const std::uint64_t handle : control.contents.owned) {
            const ObjectRecord* record = index.find(handle);
            if (record != nullptr && wanted(*record)) {
                names.push_back(record);
                listed.push_back(handle);
            }
        }
        break;
    }
    std::sort(listed.begin(), listed.end());
    for (const ObjectRecord& record : records) {
        if (wanted(record) && !std::binary_search(listed.begin(), listed.end(), record.head.handle)) {
            names.push_back(&record);
        }
    }
    return names;
}

std::vector<std::string> namesOf(const std::vector<const ObjectRecord*>& records)
{
    std::vector<std::string> names;
    names.reserve(records.size());
    for (const ObjectRecord* record : records) {
        names.push_back(record->contents.name);
    }
    return names;
}

// Joins what an entity's record refers to: its layer, an INSERT's block, a POLYLINE's vertices, an MLINE's style.
class EntityJoin
{
public:
    EntityJoin(std::vector<ObjectRecord>& records, const RecordIndex& index, std::size_t vertexCount,
               std::vector<DataStoreRecord>& stored)
        : m_index(index), m_vertexSteps(vertexCount), m_stored(stored)
    {
        for (ObjectRecord& record : records) {
            if (record.head.type != ObjectType::Attrib) {
                continue;
            }
            if (record.head.entityMode == 0 && record.contents.dataAs<AttributeContents>() != nullptr) {
                m_attributes.emplace_back(record.head.owner, &record);
            } else {
                ++m_unread; // left out of its INSERT
            }
        }
        // Records come in ascending handle order: a stable sort keeps each INSERT's attributes in that order.
        std::stable_sort(m_attributes.begin(), m_attributes.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
    }

    void fill(Entity& entity, ObjectRecord& record)
    {
        const ObjectContents& contents = record.contents;
        m_unread += contents.bodyRead ? 0 : 1;
        if (const ObjectContents* layer = m_index.contents(contents.layer, ObjectType::Layer)) {
            entity.layer = layer->name;
        }
        // Each record becomes one entity at most: what it holds moves there.
        entity.geometry = std::move(record.contents.geometry);
        if (record.contents.data) {
            entity.data = std::move(*record.contents.data);
        }
        if (contents.modelerInDataStore) {
            joinStoredModelerData(entity, record.head.handle);
        }
        if (auto* insert = std::get_if<InsertGeometry>(&entity.geometry)) {
            const ObjectContents* block = m_index.contents(contents.block, ObjectType::BlockHeader);
            if (block != nullptr) {
                insert->block = block->name;
            }
            addAttributes(entity);
        } else if (auto* polyline = std::get_if<PolylineGeometry>(&entity.geometry); polyline && !polyline->planar) {
            fillVertices(contents, m_index, m_vertexSteps, *polyline, record.head.type == 15);
        } else if (auto* mleader = entity.data.get_if<MLeaderContents>()) {
            if (const ObjectContents* block = m_index.contents(contents.block, ObjectType::BlockHeader)) {
                mleader->block = block->name;
            }
        } else if (auto* image = entity.data.get_if<ImageContents>(); image && contents.style != 0) {
            if (const ObjectRecord* definition = m_index.find(contents.style);
                definition != nullptr && definition->contents.imageDefinition) {
                image->path = definition->contents.name;
            }
        } else if (auto* viewport = entity.data.get_if<ViewportContents>()) {
            for (const std::uint64_t handle : contents.owned) {
                const ObjectContents* layer = m_index.contents(handle, ObjectType::Layer);
                viewport->frozenLayers.push_back(layer != nullptr ? layer->name : std::string());
            }
        } else if (auto* underlay = entity.data.get_if<UnderlayContents>(); underlay && contents.style != 0) {
            if (const ObjectRecord* definition = m_index.find(contents.style);
                definition != nullptr && definition->contents.imageDefinition) {
                underlay->path = definition->contents.name;
            }
        } else if (auto* shape = entity.data.get_if<ShapeContents>()) {
            if (const ObjectContents* style = m_index.contents(contents.style, ObjectType::TextStyle)) {
                shape->style = style->fontFile;
            }
        } else if (auto* mline = entity.data.get_if<MLineContents>()) {
            if (const ObjectContents* style = m_index.contents(contents.style, ObjectType::MLineStyle)) {
                mline->style = style->name;
            }
        }
    }

    std::size_t unread() const { return m_unread; }

private:
    // The data store's record of the entity; without one, the entity has no contents.
    void joinStoredModelerData(Entity& entity, std::uint64_t handle)
    {
        auto* modeler = entity.data.get_if<ModelerContents>();
        const auto it = std::lower_bound(m_stored.begin(), m_stored.end(), handle,
                                         [](const DataStoreRecord& r, std::uint64_t h) { return r.handle < h; });
        if (modeler == nullptr || it == m_stored.end() || it->handle != handle || it->modelerData.empty()) {
            entity.data = std::monostate{};
            ++m_unread;
            return;
        }
        modeler->binary = true;
        modeler->data = std::move(it->modelerData);
        modeler->hash = modelerHash(*modeler);
    }

    void addAttributes(Entity& entity) const
    {
        auto it = std::lower_bound(m_attributes.begin(), m_attributes.end(), entity.handle,
                                   [](const auto& entry, std::uint64_t h) { return entry.first < h; });
        for (; it != m_attributes.end() && it->first == entity.handle; ++it) {
            entity.attributes.push_back(std::move(*it->second->contents.dataAs<AttributeContents>()));
        }
    }

    const RecordIndex& m_index;
    std::size_t m_vertexSteps;                                         // see fillVertices
    std::size_t m_unread = 0;                                          // entities whose body could not be decoded
    std::vector<std::pair<std::uint64_t, ObjectRecord*>> m_attributes; // by owning INSERT
    std::vector<DataStoreRecord>& m_stored;                            // ascending handle; each moves to its entity
};

// Every block definition with its base point and entities (those whose owner is the block), in table order.
std::vector<BlockDefinition> blockDefinitions(const std::vector<const ObjectRecord*>& blocks,
                                              std::vector<ObjectRecord>& records, const ClassTable& classes,
                                              EntityJoin& join)
{
    std::vector<std::pair<std::uint64_t, ObjectRecord*>> owned;
    for (ObjectRecord& record : records) {
        if (record.head.isEntity && record.head.entityMode == 0 && !isSubEntityOrBlockMark(record.head.type)) {
            owned.emplace_back(record.head.owner, &record);
        }
    }
    std::stable_sort(owned.begin(), owned.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<BlockDefinition> definitions;
    definitions.reserve(blocks.size());
    for (const ObjectRecord* block : blocks) {
        BlockDefinition definition{block->contents.name, block->contents.point, {}};
        auto it = std::lower_bound(owned.begin(), owned.end(), block->head.handle,
                                   [](const auto& entry, std::uint64_t h) { return entry.first < h; });
        const auto end = std::upper_bound(it, owned.end(), block->head.handle,
                                          [](std::uint64_t h, const auto& entry) { return h < entry.first; });
        definition.entities.reserve(static_cast<std::size_t>(end - it));
        for (; it != end; ++it) {
            Entity entity;
            entity.handle = it->second->head.handle;
            entity.className = entityClassName(it->second->head.type, classes);
            entity.space = definition.name;
            join.fill(entity, *it->second);
            definition.entities.push_back(std::move(entity));
        }
        definitions.push_back(std::move(definition));
    }
    return definitions;
}

} // namespace

bool keepForContents(const ObjectHead& head, const ObjectContents& contents, TableCounts& counts)
{
    switch (head.type) {
    case ObjectType::BlockControl:
    case ObjectType::LayerControl:
    case ObjectType::MLineStyle:
    case ObjectType::Attrib:
        return true;
    case ObjectType::Dictionary:
    case ObjectType::XRecord:
        return contents.owner != 0;
    case ObjectType::BlockHeader:
        if (!isLayoutBlockName(head.blockName)) {
            ++counts.blocks;
        }
        return true;
    case ObjectType::Layer:
        ++counts.layers;
        return true;
    case ObjectType::TextStyle:
        ++counts.textStyles;
        return true; // a shape's file
    case ObjectType::Linetype:
        ++counts.linetypes;
        return false;
    case ObjectType::DimensionStyle:
        ++counts.dimStyles;
        return false;
    default:
        break;
    }
    return contents.imageDefinition || isVertex(head.type) || mattersForSelection(head);
}

std::optional<SummaryInfo> drawingProperties(const ContentRecords& records)
{
    for (const ObjectRecord& record : records.records) {
        if (record.head.type != ObjectType::XRecord || record.contents.properties.empty()) {
            continue;
        }
        SummaryInfo info;
        for (const auto& [code, text] : record.contents.properties) {
            switch (code) {
            case 2:
                info.title = text;
                break;
            case 3:
                info.subject = text;
                break;
            case 4:
                info.author = text;
                break;
            case 6:
                info.comments = text;
                break;
            case 7:
                info.keywords = text;
                break;
            case 8:
                info.lastSavedBy = text;
                break;
            case 9:
                info.revision = text;
                break;
            default: // 300-309: custom values as "name=value"; an unused one is "="
                if (const std::size_t equals = text.find('=');
                    code >= 300 && equals != std::string::npos && equals > 0) {
                    info.custom.emplace_back(text.substr(0, equals), text.substr(equals + 1));
                }
                break;
            }
        }
        return info;
    }
    return std::nullopt;
}

void assembleContents(ContentRecords& input, const HeaderVariables& header, const ClassTable& classes, Drawing& drawing)
{
    const std::vector<ObjectRecord>& records = input.records;
    const RecordIndex index(input.records);
    applyFullNames(input.records, index);
    numberAnonymousBlocks(input.records, index);
    drawing.counts = input.counts;
    std::size_t vertexCount = 0;
    std::vector<ObjectHead> heads;
    drawing.layers = namesOf(tableRecords(records, index, ObjectType::LayerControl, ObjectType::Layer));
    const auto blocks = tableRecords(records, index, ObjectType::BlockControl, ObjectType::BlockHeader);
    drawing.blocks = namesOf(blocks);
    for (const ObjectRecord& record : records) {
        if (isVertex(record.head.type)) {
            ++vertexCount;
        }
        if (mattersForSelection(record.head)) {
            heads.push_back(record.head);
        }
    }
    const auto layouts = layoutNames(records, header);
    std::string modelSpace = nameOf(layouts, header.modelSpaceBlock);
    if (modelSpace.empty()) {
        // The header walk did not get to the layout handles: model space is the one layout stored by that name.
        for (const auto& [handle, name] : layouts) {
            if (name.size() == 12 && (name[1] == 'M' || name[1] == 'm')) {
                modelSpace = name;
            }
        }
    }
    const std::string paperSpace = nameOf(layouts, header.paperSpaceBlock);

    drawing.entities = selectLayoutEntities(heads, classes);
    EntityJoin join(input.records, index, vertexCount, input.dataStore.records);
    for (Entity& entity : drawing.entities) {
        ObjectRecord* record = index.find(entity.handle);
        if (record == nullptr) {
            continue;
        }
        const ObjectHead& head = record->head;
        entity.space = head.entityMode == 2   ? modelSpace
                       : head.entityMode == 1 ? paperSpace
                                              : nameOf(layouts, head.owner);
        join.fill(entity, *record);
    }
    drawing.blockDefinitions = blockDefinitions(blocks, input.records, classes, join);
    if (join.unread() > 0) {
        drawing.notes.push_back(std::to_string(join.unread()) +
                                " entities hold contents this reader does not decode yet: they are left out");
    }
}

} // namespace dwg
