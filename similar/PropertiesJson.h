// A drawing's properties (everything the reader returned but the entities) as the JSON text that the
// evidence store keeps.
#pragma once

#include "drawing/Drawing.h"

#include <string>
#include <string_view>

namespace darv::similar {

std::string encodeProperties(const dwg::Drawing& drawing);

// Fills the properties of `into` (its entities are left alone). False when the text is not such a record;
// `into` may then be partly filled and must not be used.
bool decodeProperties(std::string_view json, dwg::Drawing& into);

} // namespace darv::similar
