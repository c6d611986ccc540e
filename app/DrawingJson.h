// A drawing as one line of JSON (dwginfo --json): its header values, properties, tables and entities with geometry.
#pragma once

#include "drawing/Drawing.h"

#include <string>

namespace darv {

// One JSON object without a line end. DWG: "tdcreate" is the CAD program's local value, "tducreate" the stored
// universal one; DXF: "tdcreate"/"tdupdate" are the values as written when the file states them.
std::string drawingJsonLine(const std::string& file, const dwg::Drawing& drawing);

// {"file": FILE, "error": REASON}
std::string errorJsonLine(const std::string& file, const std::string& reason);

} // namespace darv
