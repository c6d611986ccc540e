// A drawing's properties (everything the reader returned but the entities) as the JSON text that the
// evidence store keeps.
#pragma once

#include "drawing/Drawing.h"

#include <string>
#include <string_view>
#include <vector>

namespace darv::similar {

std::string encodeProperties(const dwg::Drawing& drawing);

// Fills the properties of `into` (its entities are left alone). False when the text is not such a record;
// `into` may then be partly filled and must not be used.
bool decodeProperties(std::string_view json, dwg::Drawing& into);

// Only the warnings of such a record (what was found damaged when the drawing was read): empty when there are
// none or the text is not such a record.
std::vector<std::string> decodeWarnings(std::string_view json);

} // namespace darv::similar
