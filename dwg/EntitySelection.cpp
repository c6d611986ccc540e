// Chooses the entities that live directly in model space or in a paper-space layout.
#include "dwg/EntitySelection.h"

#include "dwg/ObjectTypes.h"

#include <algorithm>

namespace dwg {

namespace {

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
        if (c != prefix[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

bool isLayoutBlockName(std::string_view name)
{
    return (name.size() == 12 && startsWithIgnoringCase(name, "*MODEL_SPACE")) ||
           startsWithIgnoringCase(name, "*PAPER_SPACE");
}

bool mattersForSelection(const ObjectHead& object)
{
    if (object.type == ObjectType::BlockHeader) {
        return isLayoutBlockName(object.blockName);
    }
    return object.isEntity && !isSubEntityOrBlockMark(object.type);
}

std::vector<Entity> selectLayoutEntities(const std::vector<ObjectHead>& objects, const ClassTable& classes)
{
    std::vector<std::uint64_t> layoutBlocks;
    for (const ObjectHead& object : objects) {
        if (object.type == ObjectType::BlockHeader && isLayoutBlockName(object.blockName)) {
            layoutBlocks.push_back(object.handle);
        }
    }
    std::sort(layoutBlocks.begin(), layoutBlocks.end());

    std::vector<Entity> entities;
    for (const ObjectHead& object : objects) {
        if (!object.isEntity || isSubEntityOrBlockMark(object.type)) {
            continue;
        }
        const bool inLayout =
            object.entityMode == 1 || object.entityMode == 2 ||
            (object.entityMode == 0 && std::binary_search(layoutBlocks.begin(), layoutBlocks.end(), object.owner));
        if (inLayout) {
            Entity entity;
            entity.handle = object.handle;
            entity.className = entityClassName(object.type, classes);
            entities.push_back(std::move(entity));
        }
    }
    std::sort(entities.begin(), entities.end(), [](const Entity& a, const Entity& b) { return a.handle < b.handle; });
    entities.erase(std::unique(entities.begin(), entities.end(),
                               [](const Entity& a, const Entity& b) { return a.handle == b.handle; }),
                   entities.end());
    return entities;
}

} // namespace dwg
