// Turns what one pass over a DXF file collected into the shared drawing model.
#pragma once

#include "drawing/Drawing.h"
#include "dxf/DxfContent.h"
#include "dxf/TextDecoder.h"

#include <optional>
#include <vector>

namespace dxf {

dwg::Drawing assembleDrawing(DxfContent& content, TextDecoder& decoder, dwg::ReadDetail detail);

// The entities of the layouts in ascending handle order, with class names and layout names. Entities without a
// handle (R12 written without handles) get the numbers after the highest handle, in file order.
std::vector<dwg::Entity> layoutEntities(DxfContent& content, TextDecoder& decoder);
// The block definitions named `blocks` (raw names, in the drawing's order) with their base points and entities.
// Call after layoutEntities: the layouts' records are taken by then, the blocks' are still there.
std::vector<dwg::BlockDefinition> blockDefinitions(DxfContent& content, TextDecoder& decoder,
                                                   const std::vector<std::string_view>& blocks);

// A Julian date as the DXF writes it (day number + fraction) as a stored day and milliseconds; empty when it is
// not a date at all.
std::optional<dwg::StoredTime> storedTimeOf(double julian);

} // namespace dxf
