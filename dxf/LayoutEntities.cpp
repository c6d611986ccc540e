// Which entities live in a layout, the names of those layouts, their handles and class names.
#include "dxf/ClassNames.h"
#include "dxf/DrawingAssembly.h"
#include "dxf/Sections.h"

#include <algorithm>
#include <cctype>
#include <numeric>
#include <unordered_map>

namespace dxf {

namespace {

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

// Names of the layout blocks as the file spells them, and the block records by handle.
struct LayoutNames
{
    std::unordered_map<std::uint64_t, std::string_view> records;
    std::string_view model = "*Model_Space";
    std::string_view paper = "*Paper_Space";
};

LayoutNames layoutNames(const TableContent& tables)
{
    LayoutNames names;
    for (const BlockRecord& record : tables.blockRecords) {
        if (record.handle) {
            names.records.emplace(*record.handle, record.name);
        }
        if (equalIgnoringCase(record.name, "*Model_Space")) {
            names.model = record.name;
        } else if (equalIgnoringCase(record.name, "*Paper_Space")) {
            names.paper = record.name;
        }
    }
    return names;
}

// The owning block's name: the block record the entity names as its owner; otherwise where the entity stands (a
// block of the BLOCKS section, or the ENTITIES section, where group 67 tells paper space from model space).
std::string_view spaceOf(const EntityRecord& record, const LayoutNames& names)
{
    if (record.owner) {
        if (const auto found = names.records.find(*record.owner); found != names.records.end()) {
            return found->second;
        }
    }
    if (record.block.empty()) {
        return record.paperSpace ? names.paper : names.model;
    }
    if (equalIgnoringCase(record.block, "$MODEL_SPACE")) {
        return names.model;
    }
    return equalIgnoringCase(record.block, "$PAPER_SPACE") ? names.paper : record.block;
}

// Moves what the record holds into an entity of the drawing model.
dwg::Entity takeEntity(EntityRecord& record, std::uint64_t handle, std::string space, const DxfContent& content,
                       const LayoutNames& names, TextDecoder& decoder)
{
    const std::string_view name = objectName(record, content.classes);
    if (auto* mleader = record.data.get_if<dwg::MLeaderContents>(); mleader && record.reference != 0) {
        if (const auto found = names.records.find(record.reference); found != names.records.end()) {
            mleader->block = decoder.decode(found->second);
        }
    }
    if (auto* viewport = record.data.get_if<dwg::ViewportContents>()) {
        for (const std::uint64_t layer : record.frozenLayers) {
            std::string_view layerName;
            for (const auto& [layerHandle, named] : content.tables.layerHandles) {
                layerName = layerHandle == layer ? named : layerName;
            }
            viewport->frozenLayers.push_back(decoder.decode(layerName));
        }
    }
    if (auto* image = record.data.get_if<dwg::ImageContents>(); image && record.reference != 0) {
        for (const auto& [definition, path] : content.imagePaths) {
            if (definition == record.reference) {
                image->path = decoder.decode(path);
            }
        }
    }
    if (auto* underlay = record.data.get_if<dwg::UnderlayContents>(); underlay && record.reference != 0) {
        for (const auto& [definition, path] : content.imagePaths) {
            if (definition == record.reference) {
                underlay->path = decoder.decode(path);
            }
        }
    }
    // 2013 and later: the modeler data waits in the data store; an entity whose data is not there has no contents.
    if (auto* modeler = record.data.get_if<dwg::ModelerContents>(); modeler && modeler->binary) {
        if (const auto found = content.modelerData.find(handle); found != content.modelerData.end()) {
            modeler->data = found->second;
            modeler->hash = dwg::modelerHash(*modeler);
        } else {
            record.data = std::monostate{};
        }
    }
    return {handle,
            decoder.decode(name.empty() ? record.type : name),
            std::move(space),
            std::move(record.layer),
            std::move(record.geometry),
            std::move(record.data),
            std::move(record.attributes)};
}

std::string hexText(std::uint64_t handle)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), digits[handle & 15]);
        handle >>= 4;
    } while (handle != 0);
    return text;
}

} // namespace

std::vector<dwg::Entity> layoutEntities(DxfContent& content, TextDecoder& decoder)
{
    const LayoutNames names = layoutNames(content.tables);
    std::vector<std::size_t> chosen;
    std::vector<std::string_view> spaces(content.entities.size());
    std::uint64_t highest = 0;
    std::string_view lastSpace;
    bool lastIsLayout = false; // most entities share one owner: ask once per run
    for (std::size_t i = 0; i < content.entities.size(); ++i) {
        const EntityRecord& record = content.entities[i];
        spaces[i] = spaceOf(record, names);
        if (spaces[i].data() != lastSpace.data() || spaces[i].size() != lastSpace.size()) {
            lastSpace = spaces[i];
            lastIsLayout = isLayoutName(lastSpace);
        }
        if (lastIsLayout) {
            chosen.push_back(i);
            highest = std::max(highest, record.handle.value_or(0));
        }
    }
    // Handles for entities written without one, after every handle the file holds, in file order.
    std::vector<std::uint64_t> handles(content.entities.size());
    for (std::size_t i : chosen) {
        const auto& handle = content.entities[i].handle;
        handles[i] = handle ? *handle : (highest < UINT64_MAX ? ++highest : highest);
    }
    std::stable_sort(chosen.begin(), chosen.end(),
                     [&](std::size_t a, std::size_t b) { return handles[a] < handles[b]; });

    std::vector<dwg::Entity> entities;
    entities.reserve(chosen.size());
    for (std::size_t i : chosen) {
        EntityRecord& record = content.entities[i];
        if (!entities.empty() && entities.back().handle == handles[i]) {
            warn(content, "entities share handle " + hexText(handles[i]) + ": only the first is read");
            continue;
        }
        entities.push_back(takeEntity(record, handles[i], decoder.decode(spaces[i]), content, names, decoder));
    }
    return entities;
}

std::vector<dwg::BlockDefinition> blockDefinitions(DxfContent& content, TextDecoder& decoder,
                                                   const std::vector<std::string_view>& blocks)
{
    const LayoutNames names = layoutNames(content.tables);
    std::unordered_map<std::string_view, std::vector<std::size_t>> byBlock;
    for (std::size_t i = 0; i < content.entities.size(); ++i) {
        const std::string_view space = spaceOf(content.entities[i], names);
        if (!isLayoutName(space)) {
            byBlock[space].push_back(i);
        }
    }
    std::vector<dwg::BlockDefinition> definitions;
    definitions.reserve(blocks.size());
    for (const std::string_view block : blocks) {
        dwg::BlockDefinition definition;
        definition.name = decoder.decode(block);
        const auto base = std::find(content.blockNames.begin(), content.blockNames.end(), block);
        if (base != content.blockNames.end() &&
            static_cast<std::size_t>(base - content.blockNames.begin()) < content.blockBases.size()) {
            definition.basePoint = content.blockBases[static_cast<std::size_t>(base - content.blockNames.begin())];
        }
        if (auto found = byBlock.find(block); found != byBlock.end()) {
            std::vector<std::size_t>& members = found->second;
            std::stable_sort(members.begin(), members.end(), [&](std::size_t a, std::size_t b) {
                return content.entities[a].handle.value_or(0) < content.entities[b].handle.value_or(0);
            });
            for (std::size_t i : members) {
                EntityRecord& record = content.entities[i];
                definition.entities.push_back(
                    takeEntity(record, record.handle.value_or(0), definition.name, content, names, decoder));
            }
            byBlock.erase(found); // a block named twice keeps its entities once
        }
        definitions.push_back(std::move(definition));
    }
    return definitions;
}

} // namespace dxf
