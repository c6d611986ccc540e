// Rebuilding a damaged evidence store from the drawings still on disk: what can still be read of the damaged
// store (its projects, their drawings' paths and templates) is salvaged, the damaged file is put aside as
// "evidence.sqlite.damaged", and a new store is filled by reading every salvaged project's drawings again.
// Earlier projects whose files are gone cannot be read again: they are named as lost.
#pragma once

#include "similar/DrawingSource.h"

#include <atomic>
#include <string>
#include <vector>

namespace darv::similar {

struct StoreRebuild
{
    std::string failure;            // set: the rebuild could not be done (the damaged store may be put aside)
    std::vector<std::string> notes; // what was rebuilt, and what was lost
};

// `ownProject` is read by the run that follows: only its templates are carried over here.
StoreRebuild rebuildStore(const std::string& dataFolder, const std::string& ownProject, const DrawingSource& source,
                          unsigned threads, const std::atomic<bool>& cancel);

// Where the damaged store is kept after a rebuild.
std::string damagedStorePath(const std::string& dataFolder);

} // namespace darv::similar
