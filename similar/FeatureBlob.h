// A drawing's features as the evidence store keeps them, so that a rerun of an unchanged drawing reads them
// back instead of working them out again: "DFE1", the features, and a checksum of all of it.
#pragma once

#include "similar/DrawingFeatures.h"

#include <optional>
#include <string>
#include <string_view>

namespace darv::similar {

std::string encodeFeatures(const DrawingFeatures& features);

// Empty optional when the bytes are not such a record or their checksum does not match (a damaged store).
std::optional<DrawingFeatures> decodeFeatures(std::string_view bytes);

} // namespace darv::similar
