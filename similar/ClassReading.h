// Bringing the store up to date with a project's drawings: changed and new files are read on worker threads,
// unchanged ones are taken from the store, and every drawing is stored whole, in the listing's order.
#pragma once

#include "similar/ClassComparison.h"
#include "similar/DrawingSource.h"
#include "similar/EvidenceStore.h"
#include "similar/SimilarRun.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace darv::similar {

struct ListedDrawing
{
    std::string path;
    std::string shownName;
};

struct ClassReading
{
    enum class State { Complete, Cancelled, StoreFailed } state = State::Complete;
    std::string failure; // StoreFailed: the store's reason
    std::vector<ClassMember> members;
    std::vector<UnreadDrawing> unread;
};

// The file's size and modification time; empty optional with the system's reason when it cannot be asked.
std::optional<FileStamp> fileStamp(const std::string& path, std::string& reason);

ClassReading readClass(EvidenceStore& store, std::int64_t project, const std::string& projectName,
                       const std::vector<ListedDrawing>& listed, const TemplateSet& templates,
                       const DrawingSource& source, unsigned threads,
                       const std::function<void(const SimilarProgress&)>& progress, const std::atomic<bool>& cancel);

} // namespace darv::similar
