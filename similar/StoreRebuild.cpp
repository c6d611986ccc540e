// Salvaging a damaged store's projects and reading their drawings into a new one.
#include "similar/StoreRebuild.h"

#include "base/DataFolder.h"
#include "similar/ClassReading.h"
#include "similar/PairMarks.h"
#include "similar/Rarity.h"
#include "similar/SqliteEvidenceStore.h"

#include <sqlite3.h>

#include <filesystem>
#include <map>
#include <system_error>

namespace darv::similar {
namespace {

struct SalvagedDrawing
{
    std::string path;
    std::string shownName;
};

struct SalvagedProject
{
    std::string name;
    std::vector<SalvagedDrawing> drawings; // present in its last run
    std::vector<std::string> templates;
};

// Runs a query on the damaged file and keeps the rows read before any failure.
template <class Row> void salvageRows(SqliteDatabase& db, const char* sql, const Row& row)
{
    SqliteStatement query(db, sql);
    while (query.step() == SqliteStatement::Step::Row)
        row(query);
}

// What can still be read of the damaged store, and how many drawings belong to projects whose names are lost.
std::vector<SalvagedProject> salvage(const std::string& path, std::size_t& nameless)
{
    SqliteDatabase db;
    std::map<std::int64_t, SalvagedProject> projects;
    nameless = 0;
    if (!db.open(path))
        return {};
    salvageRows(db, "SELECT id, name FROM project",
                [&](SqliteStatement& q) { projects[q.integer(0)].name = q.text(1); });
    salvageRows(db, "SELECT project, path, shown FROM drawing WHERE role = 0 AND present = 1 ORDER BY id",
                [&](SqliteStatement& q) {
                    const auto it = projects.find(q.integer(0));
                    if (it == projects.end())
                        ++nameless;
                    else
                        it->second.drawings.push_back({q.blob(1), q.text(2)});
                });
    salvageRows(db, "SELECT project, path FROM template ORDER BY rowid", [&](SqliteStatement& q) {
        const auto it = projects.find(q.integer(0));
        if (it != projects.end())
            it->second.templates.push_back(q.blob(1));
    });
    std::vector<SalvagedProject> out;
    for (auto& [id, project] : projects)
        if (!project.name.empty())
            out.push_back(std::move(project));
    return out;
}

bool exists(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

// Puts the store's files aside ("-wal" and "-shm" with it, so that the damaged copy stays consistent).
bool putAside(const std::string& store, const std::string& aside, std::string& failure)
{
    for (const char* suffix : {"", "-wal", "-shm"}) {
        std::error_code ec;
        std::filesystem::remove(aside + suffix, ec);
        if (exists(store + suffix))
            std::filesystem::rename(store + suffix, aside + suffix, ec);
        if (ec) {
            failure = "the damaged store cannot be put aside as " + aside + ": " + ec.message();
            return false;
        }
    }
    return true;
}

std::string count(std::size_t n, const std::string& thing)
{
    return std::to_string(n) + " " + thing + (n == 1 ? "" : "s");
}

} // namespace

std::string damagedStorePath(const std::string& dataFolder)
{
    return evidenceStorePath(dataFolder) + ".damaged";
}

StoreRebuild rebuildStore(const std::string& dataFolder, const std::string& ownProject, const DrawingSource& source,
                          unsigned threads, const std::atomic<bool>& cancel)
{
    StoreRebuild out;
    const std::string path = evidenceStorePath(dataFolder);
    std::size_t nameless = 0;
    const bool existed = exists(path);
    const std::vector<SalvagedProject> projects = existed ? salvage(path, nameless) : std::vector<SalvagedProject>{};
    // The teacher's marks are no drawing read again: they are carried over as far as they can be read.
    const std::vector<KeptMark> marks = existed ? salvageMarks(path) : std::vector<KeptMark>{};
    if (existed && !putAside(path, damagedStorePath(dataFolder), out.failure))
        return out;
    out.notes.push_back(existed ? "The evidence store was rebuilt from the drawings still on disk; the damaged one "
                                  "is kept as " +
                                      damagedStorePath(dataFolder) + "."
                                : std::string("The evidence store was made anew (there was none)."));
    if (nameless > 0)
        out.notes.push_back("Lost: " + count(nameless, "stored drawing") + " of projects whose names cannot be read.");
    SqliteEvidenceStore store;
    if (!store.open(path) || !restoreMarks(store, marks)) {
        out.failure = store.error();
        return out;
    }
    for (const SalvagedProject& salvaged : projects) {
        std::vector<std::string> templates;
        for (const std::string& t : salvaged.templates)
            if (exists(t))
                templates.push_back(t);
        if (salvaged.name == ownProject) {
            const auto id = store.addProject(salvaged.name);
            if (!id || !store.setTemplatePaths(*id, templates)) {
                out.failure = store.error();
                return out;
            }
            continue;
        }
        std::vector<ListedDrawing> listed;
        for (const SalvagedDrawing& d : salvaged.drawings)
            if (exists(d.path))
                listed.push_back({d.path, d.shownName});
        const std::size_t gone = salvaged.drawings.size() - listed.size();
        if (listed.empty()) {
            out.notes.push_back("Lost: the earlier project " + salvaged.name + " (" +
                                count(salvaged.drawings.size(), "drawing") + ", none of them still on disk).");
            continue;
        }
        const auto id = store.addProject(salvaged.name);
        TemplateSet templateSet;
        std::string failure;
        if (!id || !store.setTemplatePaths(*id, templates)) {
            out.failure = store.error();
            return out;
        }
        if (!loadTemplates(store, *id, templates, source, templateSet, failure)) {
            out.notes.push_back("The earlier project " + salvaged.name +
                                " is rebuilt without its templates: " + failure);
            templateSet = TemplateSet();
        }
        ClassReading reading =
            readClass(store, *id, salvaged.name, listed, templateSet, source, threads, nullptr, cancel);
        if (reading.state != ClassReading::State::Complete) {
            out.failure = reading.state == ClassReading::State::Cancelled ? "cancelled" : reading.failure;
            return out;
        }
        std::vector<const std::vector<std::uint64_t>*> features;
        for (const ClassMember& m : reading.members)
            features.push_back(&m.tokens);
        const TokenCounts counts = countTokens(features);
        const Rarity rarity(counts, reading.members.size(), 25, templateSet);
        TemplateSet excluded = templateSet;
        counts.forEach([&](std::uint64_t token, const TokenHolders& holders) {
            if (rarity.commonHolders(holders))
                excluded.addToken(token);
        });
        if (!store.saveExcluded(*id, excluded)) {
            out.failure = store.error();
            return out;
        }
        const std::size_t lost = gone + reading.unread.size();
        if (lost > 0)
            out.notes.push_back("Lost: " + count(lost, "drawing") + " of the earlier project " + salvaged.name +
                                " (gone from disk or unreadable); its other " +
                                count(reading.members.size(), "drawing") + " were read again.");
    }
    return out;
}

} // namespace darv::similar
