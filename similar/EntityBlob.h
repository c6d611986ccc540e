// A drawing's entities as the evidence store keeps them: a compact binary record from which the drawing
// can be drawn again (handle, class, space, layer and geometry of every entity).
#pragma once

#include "drawing/Drawing.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace darv::similar {

std::string encodeEntities(const std::vector<dwg::Entity>& entities);

// Empty optional when the bytes are not such a record (a damaged store): nothing is guessed.
std::optional<std::vector<dwg::Entity>> decodeEntities(std::string_view bytes);

} // namespace darv::similar
