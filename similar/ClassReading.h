// Bringing the store up to date with a project's drawings: changed and new files are read on worker threads,
// unchanged ones are taken from the store, and every drawing is stored whole, in the listing's order.
#pragma once

#include "similar/ClassComparison.h"
#include "similar/DrawingSource.h"
#include "similar/EvidenceStore.h"
#include "similar/SimilarResult.h"

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
    std::string failure;  // StoreFailed: the store's reason
    bool damaged = false; // StoreFailed: the store's file is damaged
    std::vector<ClassMember> members;
    std::vector<UnreadDrawing> unread;
    std::vector<UnreadDrawing> partial; // compared on what could be read
};

// A drawing with more entities than this, or whose entities draw more pieces, is not compared: the check's work
// and memory grow with them, and no student's drawing comes near.
inline constexpr std::size_t kMaxEntities = 2000000;

// Why such a drawing is not compared.
std::string tooLargeReason(std::size_t entities, std::size_t pieces);

// The file's size and modification time; empty optional with the system's reason when it cannot be asked.
std::optional<FileStamp> fileStamp(const std::string& path, std::string& reason);

// The project's template drawings: from the store when their files are unchanged (or gone), else read again and
// stored. False with the reason in failure.
bool loadTemplates(EvidenceStore& store, std::int64_t project, const std::vector<std::string>& paths,
                   const DrawingSource& source, TemplateSet& templates, std::string& failure);

ClassReading readClass(EvidenceStore& store, std::int64_t project, const std::string& projectName,
                       const std::vector<ListedDrawing>& listed, const TemplateSet& templates,
                       const DrawingSource& source, unsigned threads,
                       const std::function<void(const SimilarProgress&)>& progress, const std::atomic<bool>& cancel);

} // namespace darv::similar
