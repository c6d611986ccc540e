// The geometry of a read entity under the keys of the corpus geometry files, and a comparison with their tolerances.
#pragma once

#include "drawing/Geometry.h"

#include <nlohmann/json.hpp>

#include <string>

namespace darv::test {

// {"start": [x, y, z], ...} as NAME.geometry.json writes it; null for std::monostate.
nlohmann::json geometryJson(const dwg::Geometry& geometry);

// Empty when actual matches expected: numbers within 1e-9 relative (angles modulo 2 pi), texts and flags exactly.
// Otherwise the first difference, e.g. "center[1]: 2.5 != 2.6". Keys of expected that actual lacks are differences.
std::string geometryDifference(const nlohmann::json& expected, const nlohmann::json& actual);

} // namespace darv::test
