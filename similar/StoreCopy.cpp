// Copying a project's evidence between stores.
#include "similar/StoreCopy.h"

#include <map>
#include <optional>
#include <set>
#include <tuple>

namespace darv::similar {
namespace {

// The target's row holds the source's drawing as it is: same file, same reader, same tokens.
bool sameRow(const StoredRow& a, const StoredRow& b)
{
    return a.shownName == b.shownName && a.stamp == b.stamp && a.sourceVersion == b.sourceVersion &&
           a.tokenBasis == b.tokenBasis && a.tokenCount == b.tokenCount;
}

// The project's last result and the teacher's marks of its pairs, once its drawings are all there: the marks name
// the project as the target does.
StoreCopy copyResultAndMarks(EvidenceStore& from, const std::string& fromName, EvidenceStore& to,
                             const std::string& toName, StoreCopy& out)
{
    std::optional<KeptResult> result;
    auto marks = from.lastResult(fromName, result) ? from.keptMarks(fromName) : std::nullopt;
    if (!marks) {
        out.failure = "the project's result and marks cannot be read: " + from.error();
        return out;
    }
    const auto renamed = [&](std::string& project) {
        if (project == fromName)
            project = toName;
    };
    for (KeptMark& kept : *marks) {
        kept.project = toName;
        renamed(kept.key.projectA);
        renamed(kept.key.projectB);
        // A pair's key names its drawings in order (see pairKey).
        if (std::tie(kept.key.projectB, kept.key.pathB) < std::tie(kept.key.projectA, kept.key.pathA)) {
            std::swap(kept.key.projectA, kept.key.projectB);
            std::swap(kept.key.pathA, kept.key.pathB);
            std::swap(kept.stampA, kept.stampB);
        }
    }
    if ((result && !to.saveLastResult(toName, *result)) || (!marks->empty() && !to.keepMarks(*marks)))
        out.failure = "the project's result and marks cannot be written: " + to.error();
    return out;
}

} // namespace

StoreCopy copyProject(EvidenceStore& from, const std::string& fromName, EvidenceStore& to, const std::string& toName)
{
    StoreCopy out;
    const auto fail = [&](const std::string& what, const EvidenceStore& store) {
        out.failure = what + ": " + store.error();
        return out;
    };
    const auto source = from.findProject(fromName);
    if (!source)
        return fail("the project cannot be read", from);
    if (*source == 0) {
        out.failure = "there is no stored project " + fromName;
        return out;
    }
    const auto version = from.tokenVersion(*source);
    if (!version)
        return fail("the project cannot be read", from);
    if (*version != kTokenVersion) {
        out.failure = "project " + fromName + " was stored by another version of the check: compare it again first";
        return out;
    }
    const auto existing = to.findProject(toName);
    if (!existing)
        return fail("the target store cannot be read", to);
    const auto target = *existing != 0 ? existing : to.addProject(toName);
    if (!target)
        return fail("the target store cannot be written", to);

    std::vector<std::int64_t> present;
    for (const DrawingRole role : {DrawingRole::Template, DrawingRole::Class}) {
        const auto rows = from.rows(*source, role);
        if (!rows)
            return fail("the project cannot be read", from);
        const auto held = to.rows(*target, role);
        if (!held)
            return fail("the target store cannot be read", to);
        std::map<std::string, StoredRow> there;
        for (const StoredRow& row : *held)
            there.emplace(row.path, row);
        std::set<std::string> paths;
        for (const StoredRow& row : *rows)
            paths.insert(row.path);
        for (const auto& [path, row] : there)
            if (role == DrawingRole::Class && !paths.count(path)) {
                out.failure = "the target store's project " + toName + " holds drawings that " + fromName +
                              " does not (" + path + "): it is another project, and nothing is copied into it";
                return out;
            }
        for (const StoredRow& row : *rows) {
            const auto found = there.find(row.path);
            std::int64_t id = 0;
            if (found != there.end() && sameRow(found->second, row)) {
                id = found->second.id;
                ++out.unchanged;
            } else {
                const auto record = from.storedRecord(row.id);
                const auto tokens = record ? from.storedTokens(row.id) : std::nullopt;
                if (!tokens)
                    return fail("drawing " + row.path + " cannot be read", from);
                if (!record->intact()) {
                    out.failure = "the stored record of drawing " + row.path + " is damaged: it is not copied";
                    return out;
                }
                const NewDrawing drawing{role,
                                         row.path,
                                         row.shownName,
                                         row.stamp,
                                         row.sourceVersion,
                                         record->properties,
                                         record->entities,
                                         row.tokenBasis,
                                         *tokens,
                                         record->features};
                const auto saved = to.saveDrawing(*target, drawing);
                if (!saved)
                    return fail("drawing " + row.path + " cannot be written", to);
                id = *saved;
                ++out.copied;
            }
            if (role == DrawingRole::Class && row.present)
                present.push_back(id);
        }
    }
    const auto templates = from.templatePaths(*source);
    const auto excluded = templates ? from.loadExcluded(*source) : std::nullopt;
    if (!excluded)
        return fail("the project cannot be read", from);
    if (!to.indexTokens(*target) || !to.setPresent(*target, present) || !to.setTemplatePaths(*target, *templates) ||
        !to.saveExcluded(*target, *excluded))
        return fail("the target store cannot be written", to);
    return copyResultAndMarks(from, fromName, to, toName, out);
}

} // namespace darv::similar
