// The teacher's marks of pairs in the evidence store.
#include "similar/PairMarks.h"

#include "similar/Sqlite.h"
#include "similar/SqliteEvidenceStore.h"

#include <tuple>

namespace darv::similar {
namespace {

using Step = SqliteStatement::Step;

// The stamp of a drawing as the store holds it now (class drawings before templates), or none.
std::optional<FileStamp> storedStamp(EvidenceStore& store, const std::string& project, const std::string& path,
                                     bool& failed)
{
    std::optional<StoredRow> row;
    failed = !store.findRow(project, path, row);
    if (!row)
        return std::nullopt;
    return row->stamp;
}

} // namespace

PairKey pairKey(const std::string& project, const SimilarPair& pair)
{
    PairKey key{pair.a.project.empty() ? project : pair.a.project, pair.a.path,
                pair.b.project.empty() ? project : pair.b.project, pair.b.path};
    if (std::tie(key.projectB, key.pathB) < std::tie(key.projectA, key.pathA)) {
        std::swap(key.projectA, key.projectB);
        std::swap(key.pathA, key.pathB);
    }
    return key;
}

bool saveMark(EvidenceStore& store, const std::string& project, const SimilarPair& pair, const PairMark& mark)
{
    const PairKey key = pairKey(project, pair);
    bool failed = false;
    // A drawing the store no longer holds gets an impossible stamp: the mark shows as changed since.
    const FileStamp a = storedStamp(store, key.projectA, key.pathA, failed).value_or(FileStamp{});
    if (failed)
        return false;
    const FileStamp b = storedStamp(store, key.projectB, key.pathB, failed).value_or(FileStamp{});
    if (failed)
        return false;
    return store.keepMarks({KeptMark{project, key, mark, a, b}});
}

std::optional<std::map<PairKey, PairMark>> loadMarks(EvidenceStore& store, const std::string& project)
{
    return store.marks(project);
}

std::vector<KeptMark> salvageMarks(const std::string& path)
{
    std::vector<KeptMark> marks;
    SqliteDatabase db;
    if (!db.open(path))
        return marks;
    // A store from before marks were kept has no such table: the statement fails and nothing is salvaged.
    SqliteStatement query(db, "SELECT project, project_a, path_a, project_b, path_b, verdict, note, who, marked, "
                              "size_a, mtime_a, size_b, mtime_b FROM pair_mark");
    while (query.step() == Step::Row) {
        KeptMark kept = keptMarkAt(query, 1);
        kept.project = query.text(0);
        marks.push_back(std::move(kept));
    }
    return marks;
}

bool restoreMarks(EvidenceStore& store, const std::vector<KeptMark>& marks)
{
    return store.keepMarks(marks);
}

} // namespace darv::similar
