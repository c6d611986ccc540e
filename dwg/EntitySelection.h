// Chooses the entities that live directly in model space or in a paper-space layout.
#pragma once

#include "drawing/Drawing.h"
#include "dwg/ClassTable.h"
#include "dwg/ObjectReader.h"

#include <string_view>
#include <vector>

namespace dwg {

// "*Model_Space", "*Paper_Space", "*Paper_Space0", ... compared without regard to case (R13/R14 store
// the names in upper case, and every layout block is stored without its number).
bool isLayoutBlockName(std::string_view name);

// Whether the selection can use this object at all: a listable entity or a layout block header. The
// reader keeps only these, which keeps its memory small for drawings full of other objects.
bool mattersForSelection(const ObjectHead& object);

// Entities with mode 1 or 2, or with mode 0 and a layout block as owner; never sub-entities or block
// marks. Result in ascending handle order without duplicates.
std::vector<Entity> selectLayoutEntities(const std::vector<ObjectHead>& objects, const ClassTable& classes);

} // namespace dwg
