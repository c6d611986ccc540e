// Collects the groups of one annotation or fill entity (attributes, hatches, leaders, tolerances, multilines, rays)
// and reads them in their stored order into the shared contents types.
#pragma once

#include "drawing/Geometry.h"
#include "dxf/GroupSource.h"
#include "dxf/TextDecoder.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace dxf {

enum class ContentsKind : std::uint8_t {
    None,
    Attribute,
    AttributeDefinition,
    Hatch,
    Leader,
    Tolerance,
    MLine,
    Ray,
    MLeader,
    Image, // IMAGE and WIPEOUT
    Viewport,
    Light,
    Table,
    Modeler, // 3DSOLID, REGION, BODY and the surfaces
    Mesh,
    Shape,
    Underlay,
    Helix
};

// The contents kind of a DXF entity name; None for entities whose contents are geometry or not kept.
ContentsKind contentsKindOf(std::string_view dxfName);

class ContentsBuilder
{
public:
    explicit ContentsBuilder(ContentsKind kind) : m_kind(kind) {}

    // One group of the entity's own data, in file order (the groups that name the entity too: 70, 71, 330...).
    void add(const Group& group)
    {
        if (m_kind != ContentsKind::None) {
            m_groups.push_back(group);
        }
    }
    // std::monostate when the groups do not hold the kind's contents whole; `damaged` is then set.
    dwg::EntityData finish(TextDecoder& decoder, bool& damaged) const;
    // The object the caller names: a MULTILEADER's block content (group 341 of its context, a block record), an
    // IMAGE's definition (group 340, an IMAGEDEF); 0 for none.
    std::uint64_t reference() const;
    // VIEWPORT: the handles of its frozen layers (group 331), for the caller to name.
    std::vector<std::uint64_t> frozenLayers() const;

private:
    ContentsKind m_kind;
    std::vector<Group> m_groups; // their texts point into the file's bytes
};

} // namespace dxf
