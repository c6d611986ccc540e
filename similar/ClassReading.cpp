// Reading a class into the store: the work per drawing on the pool, the storing on the calling thread.
#include "similar/ClassReading.h"

#include "similar/EntityBlob.h"
#include "similar/OrderedPool.h"
#include "similar/PropertiesJson.h"

#include <cerrno>
#include <cstring>
#include <map>
#include <new>
#include <sys/stat.h>

namespace darv::similar {
namespace {

// Drawings stored in one transaction.
constexpr std::size_t kBatch = 32;

// One drawing of the listing, from its job to its result.
struct Slot
{
    const StoredRow* stored = nullptr;  // the stored row, reused when the file is unchanged
    std::optional<StoredRecord> reused; // its record, loaded before the pool starts, decoded by the worker
    FileStamp stamp;
    std::string failure; // set: the drawing cannot be read
    // Filled by the worker:
    bool read = false; // read from its file (not reused)
    std::optional<DrawingFeatures> features;
    NewDrawing record;
};

void work(Slot& slot, const ListedDrawing& listed, const TemplateSet& templates, std::uint64_t basis,
          const DrawingSource& source)
{
    if (!slot.failure.empty())
        return;
    try {
        if (slot.reused) {
            dwg::Drawing drawing;
            const bool whole = decodeProperties(slot.reused->properties, drawing);
            auto entities = decodeEntities(slot.reused->entities);
            slot.reused.reset();
            if (whole && entities) {
                drawing.entities = std::move(*entities);
                slot.features = deriveFeatures(drawing, templates);
                return;
            }
            slot.stored = nullptr; // a damaged stored record: read again from the file
        }
        const dwg::ReadResult result = source(listed.path);
        if (!result.ok()) {
            slot.failure = dwg::describe(result.error);
            return;
        }
        slot.read = true;
        slot.features = deriveFeatures(*result.drawing, templates);
        slot.record.path = listed.path;
        slot.record.shownName = listed.shownName;
        slot.record.stamp = slot.stamp;
        slot.record.sourceVersion = kSourceVersion;
        slot.record.properties = encodeProperties(*result.drawing);
        slot.record.entities = encodeEntities(result.drawing->entities);
        slot.record.tokenBasis = basis;
        slot.record.tokens = slot.features->indexTokens();
    } catch (const std::bad_alloc&) {
        slot.features.reset();
        slot.failure = "not enough memory to compare it";
    }
}

} // namespace

std::optional<FileStamp> fileStamp(const std::string& path, std::string& reason)
{
    struct stat info
    {
    };
    if (::stat(path.c_str(), &info) != 0) {
        reason = std::strerror(errno);
        return std::nullopt;
    }
    return FileStamp{static_cast<std::int64_t>(info.st_size),
                     static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

ClassReading readClass(EvidenceStore& store, std::int64_t project, const std::string& projectName,
                       const std::vector<ListedDrawing>& listed, const TemplateSet& templates,
                       const DrawingSource& source, unsigned threads,
                       const std::function<void(const SimilarProgress&)>& progress, const std::atomic<bool>& cancel)
{
    ClassReading out;
    const std::vector<StoredRow> rows = store.rows(project, DrawingRole::Class);
    std::map<std::string, const StoredRow*> byPath;
    for (const StoredRow& row : rows)
        byPath.emplace(row.path, &row);
    const std::uint64_t basis = templates.basis();
    std::vector<Slot> slots(listed.size());
    for (std::size_t i = 0; i < listed.size(); ++i) {
        Slot& slot = slots[i];
        const auto stamp = fileStamp(listed[i].path, slot.failure);
        if (!stamp)
            continue;
        slot.stamp = *stamp;
        const auto it = byPath.find(listed[i].path);
        if (it != byPath.end() && it->second->stamp == *stamp && it->second->sourceVersion == kSourceVersion) {
            slot.stored = it->second;
            slot.reused = store.storedRecord(slot.stored->id);
        }
    }
    const std::function<void(std::size_t)> doWork = [&](std::size_t i) {
        work(slots[i], listed[i], templates, basis, source);
    };
    // Drawings are stored a few at a time, each whole (see EvidenceStore::saveDrawing): a run that is stopped or
    // killed leaves whole drawings only.
    std::optional<SqliteTransaction> batch;
    std::size_t inBatch = 0;
    const auto commitBatch = [&] {
        const bool ok = !batch || batch->commit();
        batch.reset();
        inBatch = 0;
        return ok;
    };
    const std::function<bool(std::size_t)> take = [&](std::size_t i) {
        Slot& slot = slots[i];
        SimilarProgress step{i, listed.size(), listed[i].path, listed[i].shownName, SimilarProgress::State::Read, {}};
        std::int64_t id = slot.stored ? slot.stored->id : 0;
        if (!slot.features) {
            step.state = SimilarProgress::State::Unreadable;
            step.failure = slot.failure;
            out.unread.push_back({listed[i].path, listed[i].shownName, slot.failure});
        } else if (slot.read) {
            if (!batch)
                batch.emplace(store.database());
            const auto saved = store.saveDrawing(project, slot.record);
            if (!saved || (++inBatch == kBatch && !commitBatch())) {
                out.failure = store.error();
                return false;
            }
            id = *saved;
        } else {
            step.state = SimilarProgress::State::Unchanged;
            if (slot.stored->tokenBasis != basis && !store.replaceTokens(id, basis, slot.features->indexTokens())) {
                out.failure = store.error();
                return false;
            }
        }
        if (slot.features)
            out.members.push_back(
                {DrawingName{listed[i].path, listed[i].shownName, projectName}, id, std::move(*slot.features)});
        slot = Slot();
        if (progress)
            progress(step);
        return true;
    };
    const bool complete = runOrdered(listed.size(), threads, doWork, take, cancel);
    // The stored drawings go into the index whether the run went on or was stopped.
    if ((!commitBatch() || !store.indexTokens(project)) && out.failure.empty())
        out.failure = store.error();
    if (!complete || !out.failure.empty()) {
        out.state = out.failure.empty() ? ClassReading::State::Cancelled : ClassReading::State::StoreFailed;
        return out;
    }
    std::vector<std::int64_t> present;
    for (const ClassMember& m : out.members)
        present.push_back(m.storeId);
    if (!store.setPresent(project, present)) {
        out.state = ClassReading::State::StoreFailed;
        out.failure = store.error();
    }
    return out;
}

} // namespace darv::similar
