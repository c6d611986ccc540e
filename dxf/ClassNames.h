// The class name a DXF entity has in the CAD program's automation interface, as the DWG reader reports it.
#pragma once

#include "dxf/DxfContent.h"

#include <string>
#include <vector>

namespace dxf {

// Fixed entity types by their DXF name (POLYLINE by its flags, DIMENSION by its kind, INSERT with rows or columns
// as MINSERT), then the file's CLASSES section, then the class-based types the CAD program names, then the last
// subclass marker. Empty when none of these names the entity (the caller falls back to the DXF name).
std::string_view objectName(const EntityRecord& record, const std::vector<ClassEntry>& classes);

} // namespace dxf
