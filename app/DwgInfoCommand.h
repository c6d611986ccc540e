// darv2007-cli dwginfo: what the drawing reader finds in each file, as plain text lines.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace darv {

// For each file: "file PATH", then either "version V", "tdcreate T", "tducreate U", "entities N" and one
// "HANDLE ClassName" line per entity, or "error REASON". Returns 2 when any file failed, else 0.
int runDwgInfo(const std::vector<std::string>& files, std::ostream& out);

} // namespace darv
