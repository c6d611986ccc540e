// Reading a class into the store: the work per drawing on the pool, the storing on the calling thread.
#include "similar/ClassReading.h"

#include "similar/EntityBlob.h"
#include "similar/FeatureBlob.h"
#include "similar/OrderedPool.h"
#include "similar/PropertiesJson.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <new>
#include <sys/stat.h>

namespace darv::similar {
namespace {

// One drawing of the listing, from its job to its result.
struct Slot
{
    const StoredRow* stored = nullptr;  // the stored row, reused when the file is unchanged
    std::optional<StoredRecord> reused; // its record, loaded before the pool starts, decoded by the worker
    FileStamp stamp;
    std::string failure;               // set: the drawing cannot be read
    std::vector<std::string> warnings; // what was found damaged when it was read: a partial read
    // Filled by the worker:
    bool read = false; // read from its file (not reused)
    std::optional<DrawingFeatures> features;
    NewDrawing record;
    std::string newFeatures;           // reused: features worked out again from the stored entities, to be kept
    std::vector<std::uint64_t> tokens; // allTokens of the features
    std::vector<HandPlacedEntity> handPlaced;
};

// How many pieces the drawing's entities draw (a polyline a piece per segment), without working them out.
std::size_t pieceCount(const dwg::Drawing& drawing)
{
    std::size_t pieces = 0;
    for (const dwg::Entity& entity : drawing.entities) {
        const auto* polyline = std::get_if<dwg::PolylineGeometry>(&entity.geometry);
        pieces += polyline ? polyline->points.size() : 1;
    }
    return pieces;
}

void derive(Slot& slot, const ListedDrawing& listed, const TemplateSet& templates, std::uint64_t basis,
            const DrawingSource& source);

std::string partialReason(const std::vector<std::string>& warnings)
{
    std::string reason = "read only in part";
    for (std::size_t i = 0; i < warnings.size(); ++i)
        reason += (i == 0 ? ": " : "; ") + warnings[i];
    return reason;
}

void work(Slot& slot, const ListedDrawing& listed, const TemplateSet& templates, std::uint64_t basis,
          const DrawingSource& source)
{
    derive(slot, listed, templates, basis, source);
    try {
        if (slot.features) {
            slot.handPlaced = handPlacedEntities(*slot.features);
            slot.tokens = allTokens(*slot.features, slot.handPlaced);
        }
    } catch (const std::bad_alloc&) {
        slot.features.reset();
        slot.failure = "not enough memory to compare it";
    }
}

void derive(Slot& slot, const ListedDrawing& listed, const TemplateSet& templates, std::uint64_t basis,
            const DrawingSource& source)
{
    if (!slot.failure.empty())
        return;
    try {
        if (slot.reused) {
            const StoredRecord record = std::move(*slot.reused);
            slot.reused.reset();
            if (record.intact()) {
                slot.warnings = decodeWarnings(record.properties);
                // The features kept with the drawing, when they were made with these templates.
                if (slot.stored->tokenBasis == basis && !record.features.empty()) {
                    slot.features = decodeFeatures(record.features);
                    if (slot.features)
                        return;
                }
                dwg::Drawing drawing;
                const bool whole = decodeProperties(record.properties, drawing);
                auto entities = decodeEntities(record.entities);
                if (whole && entities) {
                    drawing.entities = std::move(*entities);
                    slot.features = deriveFeatures(drawing, templates);
                    slot.newFeatures = encodeFeatures(*slot.features);
                    return;
                }
            }
            slot.stored = nullptr; // a damaged stored record: read again from the file
        }
        dwg::ReadResult result = source(listed.path);
        if (!result.ok()) {
            slot.failure = dwg::describe(result.error);
            return;
        }
        const std::size_t entities = result.drawing->entities.size();
        const std::size_t pieces = pieceCount(*result.drawing);
        if (entities > kMaxEntities || pieces > kMaxEntities) {
            slot.failure = tooLargeReason(entities, pieces);
            return;
        }
        slot.read = true;
        slot.warnings = result.drawing->warnings;
        slot.features = deriveFeatures(*result.drawing, templates);
        slot.record.path = listed.path;
        slot.record.shownName = listed.shownName;
        slot.record.stamp = slot.stamp;
        slot.record.sourceVersion = kSourceVersion;
        slot.record.properties = encodeProperties(*result.drawing);
        slot.record.entities = encodeEntities(result.drawing->entities);
        // The features and the record hold all that is needed of the drawing: it goes before they are encoded.
        result.drawing.reset();
        slot.record.tokenBasis = basis;
        slot.record.tokens = slot.features->indexTokens();
        slot.record.features = encodeFeatures(*slot.features);
    } catch (const std::bad_alloc&) {
        slot.features.reset();
        slot.failure = "not enough memory to compare it";
    }
}

} // namespace

std::string tooLargeReason(std::size_t entities, std::size_t pieces)
{
    const auto number = [](std::size_t n) {
        std::string digits = std::to_string(n);
        for (std::size_t at = digits.size(); at > 3; at -= 3)
            digits.insert(at - 3, ",");
        return digits;
    };
    const std::string what = entities > kMaxEntities ? number(entities) + " entities"
                                                     : number(pieces) + " pieces (polyline segments and entities)";
    return "it holds " + what + ", more than the " + number(kMaxEntities) +
           " the similarity check compares in one drawing; it is not compared";
}

bool loadTemplates(EvidenceStore& store, std::int64_t project, const std::vector<std::string>& paths,
                   const DrawingSource& source, TemplateSet& templates, std::string& failure)
{
    const auto rows = store.rows(project, DrawingRole::Template);
    if (!rows) {
        failure = "the evidence store cannot be read: " + store.error();
        return false;
    }
    for (const std::string& path : paths) {
        const auto row = std::find_if(rows->begin(), rows->end(), [&](const StoredRow& r) { return r.path == path; });
        std::string reason;
        const auto stamp = fileStamp(path, reason);
        std::optional<dwg::Drawing> drawing;
        if (row != rows->end() && (!stamp || (row->stamp == *stamp && row->sourceVersion == kSourceVersion))) {
            drawing = store.loadDrawing(row->id);
            if (!drawing && !stamp) {
                failure = "the template " + path + " is gone and its stored copy cannot be read: " + store.error();
                return false;
            }
        }
        if (!drawing && stamp) {
            dwg::ReadResult read = source(path);
            if (!read.ok()) {
                failure = "the template " + path + " cannot be read: " + dwg::describe(read.error);
                return false;
            }
            drawing = std::move(read.drawing);
            NewDrawing record{DrawingRole::Template,
                              path,
                              path,
                              *stamp,
                              kSourceVersion,
                              encodeProperties(*drawing),
                              encodeEntities(drawing->entities),
                              0,
                              {},
                              {}};
            if (!store.saveDrawing(project, record)) {
                failure = "the evidence store cannot be written: " + store.error();
                return false;
            }
        }
        if (!drawing) {
            failure = "the template " + path + " cannot be read: " + reason;
            return false;
        }
        templates.add(*drawing);
    }
    return true;
}

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
    const auto storeFailed = [&] {
        out.state = ClassReading::State::StoreFailed;
        out.failure = store.error();
        out.damaged = store.damaged();
        return out;
    };
    const auto rows = store.rows(project, DrawingRole::Class);
    if (!rows)
        return storeFailed();
    std::map<std::string, const StoredRow*> byPath;
    for (const StoredRow& row : *rows)
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
            if (!slot.reused)
                return storeFailed();
        }
    }
    const std::function<void(std::size_t)> doWork = [&](std::size_t i) {
        work(slots[i], listed[i], templates, basis, source);
    };
    // Each drawing is stored whole in its own short transaction (see EvidenceStore::saveDrawing): a run that is
    // stopped or killed leaves whole drawings only, and another project's run waits for one drawing's write at most.
    const std::function<bool(std::size_t)> take = [&](std::size_t i) {
        Slot& slot = slots[i];
        SimilarProgress step{i, listed.size(), listed[i].path, listed[i].shownName, SimilarProgress::State::Read, {}};
        std::int64_t id = slot.stored ? slot.stored->id : 0;
        if (!slot.features) {
            step.state = SimilarProgress::State::Unreadable;
            step.failure = slot.failure;
            out.unread.push_back({listed[i].path, listed[i].shownName, slot.failure});
        } else if (slot.read) {
            const auto saved = store.saveDrawing(project, slot.record);
            if (!saved) {
                out.failure = store.error();
                out.damaged = store.damaged();
                return false;
            }
            id = *saved;
        } else {
            step.state = SimilarProgress::State::Unchanged;
            const bool kept = slot.stored->tokenBasis != basis
                                  ? store.replaceTokens(id, basis, slot.features->indexTokens(), slot.newFeatures)
                                  : slot.newFeatures.empty() || store.keepFeatures(id, slot.newFeatures);
            if (!kept) {
                out.failure = store.error();
                out.damaged = store.damaged();
                return false;
            }
        }
        if (slot.features && !slot.warnings.empty())
            out.partial.push_back({listed[i].path, listed[i].shownName, partialReason(slot.warnings)});
        if (slot.features)
            out.members.push_back({DrawingName{listed[i].path, listed[i].shownName, projectName}, id,
                                   std::move(*slot.features), std::move(slot.tokens), std::move(slot.handPlaced)});
        slot = Slot();
        if (progress)
            progress(step);
        return true;
    };
    const bool complete = runOrdered(listed.size(), threads, doWork, take, cancel);
    // The stored drawings go into the index whether the run went on or was stopped.
    if (!store.indexTokens(project) && out.failure.empty()) {
        out.failure = store.error();
        out.damaged = store.damaged();
    }
    if (!complete || !out.failure.empty()) {
        out.state = out.failure.empty() ? ClassReading::State::Cancelled : ClassReading::State::StoreFailed;
        return out;
    }
    std::vector<std::int64_t> present;
    for (const ClassMember& m : out.members)
        present.push_back(m.storeId);
    if (!store.setPresent(project, present))
        return storeFailed();
    return out;
}

} // namespace darv::similar
