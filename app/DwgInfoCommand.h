// darv2007-cli dwginfo: what the drawing reader finds in each file, as plain text lines or JSON Lines.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace darv {

// For each file: "file PATH", then either "version V", "tdcreate T", "tducreate U", "entities N" and one
// "HANDLE ClassName" line per entity, or "error REASON". With "--json" as the first argument: one JSON object
// per file and line instead (see DrawingJson.h), {"file": PATH, "error": REASON} for a file that cannot be read.
// Returns 2 when any file failed, else 0.
int runDwgInfo(const std::vector<std::string>& args, std::ostream& out);

} // namespace darv
