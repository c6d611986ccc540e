// The teacher's marks of pairs in the evidence store.
#include "similar/PairMarks.h"

namespace darv::similar {
namespace {

using Step = SqliteStatement::Step;

// The stamp of a drawing as the store holds it now (class drawings before templates), or none.
std::optional<FileStamp> storedStamp(EvidenceStore& store, const std::string& project, const std::string& path,
                                     bool& failed)
{
    SqliteStatement query(store.database(),
                          "SELECT size, mtime_ns FROM drawing JOIN project ON project.id = "
                          "drawing.project WHERE project.name = ? AND path = ? ORDER BY role LIMIT 1");
    const Step step = query.bindText(1, project).bindBlob(2, path).step();
    failed = step == Step::Failed;
    if (step != Step::Row)
        return std::nullopt;
    return FileStamp{query.integer(0), query.integer(1)};
}

bool keepMark(EvidenceStore& store, const KeptMark& kept);

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
    return keepMark(store, {project, key, mark, a, b});
}

namespace {

bool keepMark(EvidenceStore& store, const KeptMark& kept)
{
    const PairKey& key = kept.key;
    const PairMark& mark = kept.mark;
    const FileStamp& a = kept.stampA;
    const FileStamp& b = kept.stampB;
    SqliteStatement save(store.database(),
                         "INSERT OR REPLACE INTO pair_mark(project, project_a, path_a, project_b, path_b, verdict, "
                         "note, who, marked, size_a, mtime_a, size_b, mtime_b) VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?)");
    return save.bindText(1, kept.project)
        .bindText(2, key.projectA)
        .bindBlob(3, key.pathA)
        .bindText(4, key.projectB)
        .bindBlob(5, key.pathB)
        .bind(6, static_cast<std::int64_t>(mark.verdict))
        .bindText(7, mark.note)
        .bindText(8, mark.who)
        .bind(9, mark.marked)
        .bind(10, a.size)
        .bind(11, a.mtimeNs)
        .bind(12, b.size)
        .bind(13, b.mtimeNs)
        .run();
}

} // namespace

std::optional<std::map<PairKey, PairMark>> loadMarks(EvidenceStore& store, const std::string& project)
{
    // Each mark with its drawings' stamps as stored now (none when a drawing is no longer stored).
    SqliteStatement query(
        store.database(),
        "SELECT m.project_a, m.path_a, m.project_b, m.path_b, m.verdict, m.note, m.who, m.marked, "
        "  m.size_a = da.size AND m.mtime_a = da.mtime_ns AND m.size_b = db.size AND m.mtime_b = db.mtime_ns "
        "FROM pair_mark m "
        "LEFT JOIN drawing da ON da.id = (SELECT d.id FROM drawing d JOIN project p ON p.id = d.project "
        "  WHERE p.name = m.project_a AND d.path = m.path_a ORDER BY d.role LIMIT 1) "
        "LEFT JOIN drawing db ON db.id = (SELECT d.id FROM drawing d JOIN project p ON p.id = d.project "
        "  WHERE p.name = m.project_b AND d.path = m.path_b ORDER BY d.role LIMIT 1) "
        "WHERE m.project = ?");
    query.bindText(1, project);
    std::map<PairKey, PairMark> marks;
    Step step = Step::Row;
    while ((step = query.step()) == Step::Row) {
        const std::int64_t verdict = query.integer(4);
        PairMark mark;
        // A verdict this version does not know is shown as not reviewed rather than guessed.
        if (verdict == 1 || verdict == 2)
            mark.verdict = static_cast<PairVerdict>(verdict);
        mark.note = query.text(5);
        mark.who = query.text(6);
        mark.marked = query.integer(7);
        mark.changedSince = query.integer(8) != 1; // NULL (a drawing not stored) reads as 0
        marks.emplace(PairKey{query.text(0), query.blob(1), query.text(2), query.blob(3)}, std::move(mark));
    }
    if (step == Step::Failed)
        return std::nullopt;
    return marks;
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
        KeptMark kept;
        kept.project = query.text(0);
        kept.key = {query.text(1), query.blob(2), query.text(3), query.blob(4)};
        const std::int64_t verdict = query.integer(5);
        if (verdict == 1 || verdict == 2)
            kept.mark.verdict = static_cast<PairVerdict>(verdict);
        kept.mark.note = query.text(6);
        kept.mark.who = query.text(7);
        kept.mark.marked = query.integer(8);
        kept.stampA = {query.integer(9), query.integer(10)};
        kept.stampB = {query.integer(11), query.integer(12)};
        marks.push_back(std::move(kept));
    }
    return marks;
}

bool restoreMarks(EvidenceStore& store, const std::vector<KeptMark>& marks)
{
    SqliteTransaction transaction(store.database());
    if (!transaction.ok())
        return false;
    for (const KeptMark& kept : marks)
        if (!keepMark(store, kept))
            return false;
    return transaction.commit();
}

} // namespace darv::similar
