// This computer's evidence store: every statement on its rows (projects, drawings with their tokens, templates,
// excluded tokens, results and marks) in this one place.
#include "similar/SqliteEvidenceStore.h"

#include "projects/ProjectLock.h"

#include <algorithm>
#include <ctime>
#include <set>

namespace darv::similar {
namespace {

using Step = SqliteStatement::Step;

constexpr int kRows = 64; // rows per INSERT of the index: far fewer statement steps
// Index entries written per transaction: a few drawings' worth, so another program's write waits briefly.
constexpr std::size_t kIndexEntriesPerTransaction = 20000;

// Kept for the life of the program: the statement cache knows statements by the address of their text.
const std::string& insertManyTokens()
{
    static const std::string sql = [] {
        std::string text = "INSERT OR IGNORE INTO token(hash, project, drawing) VALUES (?, ?, ?)";
        for (int r = 1; r < kRows; ++r)
            text += ", (?, ?, ?)";
        return text;
    }();
    return sql;
}

} // namespace

std::optional<std::int64_t> SqliteEvidenceStore::findProject(const std::string& name)
{
    SqliteStatement query(m_db, "SELECT id FROM project WHERE name = ?");
    query.bindText(1, name);
    const Step step = query.step();
    if (step == Step::Failed)
        return std::nullopt;
    return step == Step::Row ? query.integer(0) : 0;
}

std::optional<std::int64_t> SqliteEvidenceStore::addProject(const std::string& name)
{
    SqliteStatement insert(m_db, "INSERT OR IGNORE INTO project(name) VALUES (?)");
    if (!insert.bindText(1, name).run())
        return std::nullopt;
    const auto id = findProject(name);
    if (id && *id == 0) {
        m_db.setError("project " + name + " was not stored");
        return std::nullopt;
    }
    return id;
}

std::optional<std::vector<std::string>> SqliteEvidenceStore::projectNames()
{
    SqliteStatement query(m_db, "SELECT name FROM project WHERE EXISTS (SELECT 1 FROM drawing WHERE "
                                "drawing.project = project.id AND role = 0 AND present = 1) ORDER BY name");
    std::vector<std::string> names;
    Step step = Step::Row;
    while ((step = query.step()) == Step::Row)
        names.push_back(query.text(0));
    if (step == Step::Failed)
        return std::nullopt;
    return names;
}

bool SqliteEvidenceStore::beginRun(const std::string& project)
{
    SqliteStatement mark(m_db, "INSERT OR REPLACE INTO open_run(project, started) VALUES (?, ?)");
    return mark.bindText(1, project).bind(2, static_cast<std::int64_t>(std::time(nullptr))).run();
}

bool SqliteEvidenceStore::endRun(const std::string& project)
{
    return clearRuns({project});
}

bool SqliteEvidenceStore::clearRuns(const std::vector<std::string>& projects)
{
    SqliteStatement clear(m_db, "DELETE FROM open_run WHERE project = ?");
    for (const std::string& project : projects)
        if (!clear.bindText(1, project).run())
            return false;
    return true;
}

std::optional<std::vector<std::string>> SqliteEvidenceStore::uncleanRuns(const std::string& dataFolder,
                                                                         const std::string& ownProject)
{
    SqliteStatement query(m_db, "SELECT project FROM open_run ORDER BY project");
    std::vector<std::string> unclean;
    Step step = Step::Row;
    while ((step = query.step()) == Step::Row) {
        const std::string project = query.text(0);
        // This run holds its own project's lock: a mark of that project is an earlier run's. Another
        // project's mark is a run still going while that project's lock is held.
        if (project != ownProject) {
            ProjectLock lock = ProjectLock::acquire(dataFolder, project);
            if (lock.state() == ProjectLock::State::HeldByOther)
                continue;
        }
        unclean.push_back(project);
    }
    if (step == Step::Failed)
        return std::nullopt;
    return unclean;
}

std::string SqliteEvidenceStore::quickCheck()
{
    SqliteStatement check(m_db, "PRAGMA quick_check");
    std::string found;
    Step step = Step::Row;
    while ((step = check.step()) == Step::Row) {
        const std::string line = check.text(0);
        if (line == "ok")
            continue;
        if (found.size() < 1000)
            found += (found.empty() ? "" : "; ") + line;
    }
    if (step == Step::Failed)
        return "it cannot be checked: " + m_db.error();
    return found;
}

std::optional<std::vector<StoredRow>> SqliteEvidenceStore::rows(std::int64_t project, DrawingRole role)
{
    SqliteStatement query(m_db, "SELECT id, path, shown, size, mtime_ns, source_version, token_basis, present, "
                                "length(tokens) / 8 FROM drawing WHERE project = ? AND role = ? ORDER BY id");
    query.bind(1, project).bind(2, static_cast<std::int64_t>(role));
    std::vector<StoredRow> rows;
    Step step = Step::Row;
    while ((step = query.step()) == Step::Row) {
        StoredRow row;
        row.id = query.integer(0);
        row.path = query.blob(1);
        row.shownName = query.text(2);
        row.stamp = FileStamp{query.integer(3), query.integer(4)};
        row.sourceVersion = query.integer(5);
        row.tokenBasis = query.unsignedInteger(6);
        row.present = query.integer(7) != 0;
        row.tokenCount = static_cast<std::size_t>(query.integer(8));
        rows.push_back(std::move(row));
    }
    if (step == Step::Failed)
        return std::nullopt;
    return rows;
}

SqliteStatement& SqliteEvidenceStore::cached(const char* sql)
{
    std::unique_ptr<SqliteStatement>& statement = m_statements[sql];
    if (!statement)
        statement = std::make_unique<SqliteStatement>(m_db, sql);
    return *statement;
}

bool SqliteEvidenceStore::unindex(std::int64_t project, std::int64_t drawing, const std::string& packed)
{
    SqliteStatement& remove = cached("DELETE FROM token WHERE hash = ? AND project = ? AND drawing = ?");
    for (const std::uint64_t token : unpackTokens(packed))
        if (!remove.bind(1, token).bind(2, project).bind(3, drawing).run())
            return false;
    return true;
}

namespace {
constexpr std::size_t kLargeRecordBytes = std::size_t{4} << 20;
} // namespace

std::optional<std::int64_t> SqliteEvidenceStore::saveDrawing(std::int64_t project, const NewDrawing& d)
{
    SqliteTransaction transaction(m_db);
    if (!transaction.ok())
        return std::nullopt;
    SqliteStatement& find =
        cached("SELECT id, tokens, indexed FROM drawing WHERE project = ? AND role = ? AND path = ?");
    find.bind(1, project).bind(2, static_cast<std::int64_t>(d.role)).bindBlob(3, d.path);
    std::optional<std::int64_t> id;
    const Step found = find.step();
    const bool indexed = found == Step::Row && find.integer(2) != 0;
    const std::string oldTokens = indexed ? find.blob(1) : std::string();
    if (found == Step::Row)
        id = find.integer(0);
    find.reset();
    if (found == Step::Failed || (indexed && !unindex(project, *id, oldTokens)))
        return std::nullopt;
    SqliteStatement& write =
        cached(id ? "UPDATE drawing SET shown = ?1, size = ?2, mtime_ns = ?3, source_version = ?4, "
                    "present = 1, properties = ?5, entities = ?6, token_basis = ?7, tokens = ?8, "
                    "features = ?9, record_sum = ?10, indexed = 0 WHERE id = ?11"
                  : "INSERT INTO drawing(shown, size, mtime_ns, source_version, properties, "
                    "entities, token_basis, tokens, features, record_sum, project, role, path) "
                    "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)");
    write.bindText(1, d.shownName).bind(2, d.stamp.size).bind(3, d.stamp.mtimeNs).bind(4, d.sourceVersion);
    // The record's own bytes are bound in place (a large drawing's are tens of megabytes); run() resets. Beyond a
    // few megabytes, entities and features are written after the row, into zeros of their size: SQLite would
    // otherwise copy the whole row in memory.
    const std::string tokens = packTokens(d.tokens);
    const bool large = d.entities.size() + d.features.size() > kLargeRecordBytes;
    write.bindText(5, d.properties);
    large ? write.bindZeroBlob(6, d.entities.size()) : write.bindBlobInPlace(6, d.entities);
    write.bind(7, d.tokenBasis).bindBlobInPlace(8, tokens);
    large ? write.bindZeroBlob(9, d.features.size()) : write.bindBlobInPlace(9, d.features);
    write.bind(10, recordSum(d.properties, d.entities));
    if (id)
        write.bind(11, *id);
    else
        write.bind(11, project).bind(12, static_cast<std::int64_t>(d.role)).bindBlob(13, d.path);
    if (!write.run())
        return std::nullopt;
    if (!id)
        id = m_db.lastInsertId();
    if (large && (!m_db.writeBlob("drawing", "entities", *id, d.entities) ||
                  !m_db.writeBlob("drawing", "features", *id, d.features)))
        return std::nullopt;
    if (!transaction.commit())
        return std::nullopt;
    return id;
}

bool SqliteEvidenceStore::replaceTokens(std::int64_t drawing, std::uint64_t basis,
                                        const std::vector<std::uint64_t>& tokens, const std::string& features)
{
    SqliteTransaction transaction(m_db);
    SqliteStatement find(m_db, "SELECT project, tokens, indexed FROM drawing WHERE id = ?");
    if (!transaction.ok())
        return false;
    const Step found = find.bind(1, drawing).step();
    if (found != Step::Row) {
        if (found == Step::Done)
            m_db.setError("no stored drawing " + std::to_string(drawing));
        return false;
    }
    const std::int64_t project = find.integer(0);
    const std::string oldTokens = find.blob(1);
    const bool indexed = find.integer(2) != 0;
    find.reset();
    SqliteStatement update(m_db,
                           "UPDATE drawing SET token_basis = ?, tokens = ?, features = ?, indexed = 0 WHERE id = ?");
    return (!indexed || unindex(project, drawing, oldTokens)) &&
           update.bind(1, basis).bindBlob(2, packTokens(tokens)).bindBlob(3, features).bind(4, drawing).run() &&
           transaction.commit();
}

bool SqliteEvidenceStore::indexTokens(std::int64_t project)
{
    // The drawings waiting, then their tokens a few drawings at a time, each batch in its own transaction that
    // marks its drawings indexed: a stop between batches leaves the rest waiting for the next run.
    std::vector<std::int64_t> waitingIds;
    {
        SqliteStatement waiting(m_db, "SELECT id FROM drawing WHERE project = ? AND indexed = 0 ORDER BY id");
        waiting.bind(1, project);
        Step step = Step::Row;
        while ((step = waiting.step()) == Step::Row)
            waitingIds.push_back(waiting.integer(0));
        if (step == Step::Failed)
            return false;
    }
    SqliteStatement& tokensOf = cached("SELECT tokens FROM drawing WHERE id = ? AND indexed = 0");
    SqliteStatement& insertMany = cached(insertManyTokens().c_str());
    SqliteStatement& insertOne = cached("INSERT OR IGNORE INTO token(hash, project, drawing) VALUES (?, ?, ?)");
    SqliteStatement& done = cached("UPDATE drawing SET indexed = 1 WHERE id = ?");
    std::size_t next = 0;
    while (next < waitingIds.size()) {
        SqliteTransaction transaction(m_db);
        if (!transaction.ok())
            return false;
        std::vector<std::pair<std::uint64_t, std::int64_t>> entries;
        std::vector<std::int64_t> batch;
        while (next < waitingIds.size() && (batch.empty() || entries.size() < kIndexEntriesPerTransaction)) {
            const std::int64_t id = waitingIds[next++];
            const Step step = tokensOf.bind(1, id).step();
            if (step == Step::Row) {
                for (const std::uint64_t token : unpackTokens(tokensOf.blob(0)))
                    entries.emplace_back(token, id);
                batch.push_back(id);
            }
            tokensOf.reset();
            if (step == Step::Failed)
                return false;
        }
        std::sort(entries.begin(), entries.end());
        std::size_t i = 0;
        for (; i + kRows <= entries.size(); i += kRows) {
            for (int r = 0; r < kRows; ++r) {
                const auto& [token, drawing] = entries[i + static_cast<std::size_t>(r)];
                insertMany.bind(3 * r + 1, token).bind(3 * r + 2, project).bind(3 * r + 3, drawing);
            }
            if (!insertMany.run())
                return false;
        }
        for (; i < entries.size(); ++i)
            if (!insertOne.bind(1, entries[i].first).bind(2, project).bind(3, entries[i].second).run())
                return false;
        for (const std::int64_t id : batch)
            if (!done.bind(1, id).run())
                return false;
        if (!transaction.commit())
            return false;
    }
    return true;
}

bool SqliteEvidenceStore::setPresent(std::int64_t project, const std::vector<std::int64_t>& presentIds)
{
    SqliteTransaction transaction(m_db);
    SqliteStatement rows(m_db, "SELECT id, present FROM drawing WHERE project = ? AND role = 0");
    if (!transaction.ok() || !rows.ok())
        return false;
    const std::set<std::int64_t> present(presentIds.begin(), presentIds.end());
    std::vector<std::pair<std::int64_t, bool>> changes; // only rows whose flag changes are written
    rows.bind(1, project);
    Step step = Step::Row;
    while ((step = rows.step()) == Step::Row) {
        const bool now = present.count(rows.integer(0)) != 0;
        if (now != (rows.integer(1) != 0))
            changes.emplace_back(rows.integer(0), now);
    }
    if (step == Step::Failed)
        return false;
    SqliteStatement update(m_db, "UPDATE drawing SET present = ? WHERE id = ?");
    for (const auto& [id, now] : changes)
        if (!update.bind(1, std::int64_t{now}).bind(2, id).run())
            return false;
    return transaction.commit();
}

std::optional<StoredRecord> SqliteEvidenceStore::storedRecord(std::int64_t drawing)
{
    SqliteStatement& query = cached("SELECT properties, entities, features, record_sum FROM drawing WHERE id = ?");
    const Step step = query.bind(1, drawing).step();
    if (step != Step::Row) {
        if (step == Step::Done)
            m_db.setError("no stored drawing " + std::to_string(drawing));
        query.reset();
        return std::nullopt;
    }
    StoredRecord record{query.text(0), query.blob(1), query.blob(2), query.unsignedInteger(3)};
    query.reset();
    return record;
}

bool SqliteEvidenceStore::keepFeatures(std::int64_t drawing, const std::string& features)
{
    SqliteStatement keep(m_db, "UPDATE drawing SET features = ? WHERE id = ?");
    return keep.bindBlob(1, features).bind(2, drawing).run();
}

std::optional<std::vector<std::string>> SqliteEvidenceStore::templatePaths(std::int64_t project)
{
    SqliteStatement query(m_db, "SELECT path FROM template WHERE project = ? ORDER BY position, rowid");
    query.bind(1, project);
    std::vector<std::string> paths;
    Step step = Step::Row;
    while ((step = query.step()) == Step::Row)
        paths.push_back(query.blob(0));
    if (step == Step::Failed)
        return std::nullopt;
    return paths;
}

bool SqliteEvidenceStore::setTemplatePaths(std::int64_t project, const std::vector<std::string>& paths)
{
    SqliteTransaction transaction(m_db);
    SqliteStatement clear(m_db, "DELETE FROM template WHERE project = ?");
    SqliteStatement insert(m_db, "INSERT OR IGNORE INTO template(project, path, position) VALUES (?, ?, ?)");
    if (!transaction.ok() || !clear.bind(1, project).run())
        return false;
    for (std::size_t i = 0; i < paths.size(); ++i)
        if (!insert.bind(1, project).bindBlob(2, paths[i]).bind(3, static_cast<std::int64_t>(i)).run())
            return false;
    return transaction.commit();
}

bool SqliteEvidenceStore::saveExcluded(std::int64_t project, const TemplateSet& excluded)
{
    SqliteTransaction transaction(m_db);
    SqliteStatement clear(m_db, "DELETE FROM excluded WHERE project = ?");
    SqliteStatement insert(m_db, "INSERT OR IGNORE INTO excluded(project, hash) VALUES (?, ?)");
    SqliteStatement seed(m_db, "UPDATE project SET handle_seed = ?, token_version = ? WHERE id = ?");
    if (!transaction.ok() || !clear.bind(1, project).run() ||
        !seed.bind(1, excluded.handleSeed()).bind(2, kTokenVersion).bind(3, project).run())
        return false;
    for (const std::uint64_t token : excluded.tokens())
        if (!insert.bind(1, project).bind(2, token).run())
            return false;
    return transaction.commit();
}

std::optional<TemplateSet> SqliteEvidenceStore::loadExcluded(std::int64_t project)
{
    TemplateSet set;
    SqliteStatement tokens(m_db, "SELECT hash FROM excluded WHERE project = ?");
    tokens.bind(1, project);
    Step step = Step::Row;
    while ((step = tokens.step()) == Step::Row)
        set.addToken(tokens.unsignedInteger(0));
    if (step == Step::Failed)
        return std::nullopt;
    SqliteStatement seed(m_db, "SELECT handle_seed FROM project WHERE id = ?");
    step = seed.bind(1, project).step();
    if (step == Step::Failed)
        return std::nullopt;
    if (step == Step::Row)
        set.raiseHandleSeed(seed.unsignedInteger(0));
    return set;
}

std::optional<std::uint64_t> SqliteEvidenceStore::tokenVersion(std::int64_t project)
{
    SqliteStatement query(m_db, "SELECT token_version FROM project WHERE id = ?");
    const Step step = query.bind(1, project).step();
    if (step == Step::Failed)
        return std::nullopt;
    return step == Step::Row ? query.unsignedInteger(0) : 0;
}

std::optional<bool> SqliteEvidenceStore::hasPresentDrawings(std::int64_t project)
{
    SqliteStatement query(m_db, "SELECT EXISTS (SELECT 1 FROM drawing WHERE project = ? AND role = 0 AND present)");
    if (query.bind(1, project).step() != Step::Row)
        return std::nullopt;
    return query.integer(0) != 0;
}

std::optional<std::vector<std::int64_t>> SqliteEvidenceStore::holders(std::uint64_t token, std::size_t limit)
{
    SqliteStatement& query = cached("SELECT drawing FROM token WHERE hash = ? LIMIT ?");
    query.bind(1, token).bind(2, static_cast<std::int64_t>(limit));
    std::vector<std::int64_t> ids;
    Step step = Step::Row;
    while ((step = query.step()) == Step::Row)
        ids.push_back(query.integer(0));
    query.reset();
    if (step == Step::Failed)
        return std::nullopt;
    return ids;
}

std::optional<std::uint64_t> SqliteEvidenceStore::tokenBasis(std::int64_t drawing)
{
    SqliteStatement query(m_db, "SELECT token_basis FROM drawing WHERE id = ?");
    const Step step = query.bind(1, drawing).step();
    if (step != Step::Row) {
        if (step == Step::Done)
            m_db.setError("no stored drawing " + std::to_string(drawing));
        return std::nullopt;
    }
    return query.unsignedInteger(0);
}

std::optional<std::vector<std::uint64_t>> SqliteEvidenceStore::storedTokens(std::int64_t drawing)
{
    SqliteStatement query(m_db, "SELECT tokens FROM drawing WHERE id = ?");
    const Step step = query.bind(1, drawing).step();
    if (step != Step::Row) {
        if (step == Step::Done)
            m_db.setError("no stored drawing " + std::to_string(drawing));
        return std::nullopt;
    }
    return unpackTokens(query.blob(0));
}

bool SqliteEvidenceStore::findRow(const std::string& project, const std::string& path, std::optional<StoredRow>& row)
{
    row.reset();
    SqliteStatement query(m_db, "SELECT drawing.id, shown, size, mtime_ns, source_version, token_basis, present, "
                                "length(tokens) / 8 FROM drawing JOIN project ON project.id = drawing.project "
                                "WHERE project.name = ? AND path = ? ORDER BY role LIMIT 1");
    const Step step = query.bindText(1, project).bindBlob(2, path).step();
    if (step == Step::Row)
        row = StoredRow{query.integer(0),      path,
                        query.text(1),         FileStamp{query.integer(2), query.integer(3)},
                        query.integer(4),      query.unsignedInteger(5),
                        query.integer(6) != 0, static_cast<std::size_t>(query.integer(7))};
    return step != Step::Failed;
}

std::optional<std::string> SqliteEvidenceStore::storedProperties(std::int64_t drawing)
{
    SqliteStatement query(m_db, "SELECT properties FROM drawing WHERE id = ?");
    const Step step = query.bind(1, drawing).step();
    if (step != Step::Row) {
        if (step == Step::Done)
            m_db.setError("no stored drawing " + std::to_string(drawing));
        return std::nullopt;
    }
    return query.text(0);
}

bool SqliteEvidenceStore::saveLastResult(const std::string& project, const KeptResult& result)
{
    SqliteStatement save(m_db, "INSERT OR REPLACE INTO last_result(project, finished, result) VALUES(?, ?, ?)");
    return save.bindText(1, project).bind(2, result.finished).bindBlob(3, result.encoded).run();
}

bool SqliteEvidenceStore::lastResult(const std::string& project, std::optional<KeptResult>& kept)
{
    kept.reset();
    SqliteStatement query(m_db, "SELECT finished, result FROM last_result WHERE project = ?");
    const Step step = query.bindText(1, project).step();
    if (step == Step::Row)
        kept = KeptResult{query.integer(0), query.blob(1)};
    return step != Step::Failed;
}

bool SqliteEvidenceStore::keepMark(const KeptMark& kept)
{
    const PairKey& key = kept.key;
    const PairMark& mark = kept.mark;
    SqliteStatement& save =
        cached("INSERT OR REPLACE INTO pair_mark(project, project_a, path_a, project_b, path_b, verdict, "
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
        .bind(10, kept.stampA.size)
        .bind(11, kept.stampA.mtimeNs)
        .bind(12, kept.stampB.size)
        .bind(13, kept.stampB.mtimeNs)
        .run();
}

bool SqliteEvidenceStore::keepMarks(const std::vector<KeptMark>& marks)
{
    SqliteTransaction transaction(m_db);
    if (!transaction.ok())
        return false;
    for (const KeptMark& kept : marks)
        if (!keepMark(kept))
            return false;
    return transaction.commit();
}

std::optional<std::map<PairKey, PairMark>> SqliteEvidenceStore::marks(const std::string& project)
{
    // Each mark with its drawings' stamps as stored now (none when a drawing is no longer stored).
    SqliteStatement query(
        m_db, "SELECT m.project_a, m.path_a, m.project_b, m.path_b, m.verdict, m.note, m.who, m.marked, "
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

KeptMark keptMarkAt(SqliteStatement& query, int first)
{
    KeptMark kept;
    kept.key = {query.text(first), query.blob(first + 1), query.text(first + 2), query.blob(first + 3)};
    const std::int64_t verdict = query.integer(first + 4);
    if (verdict == 1 || verdict == 2)
        kept.mark.verdict = static_cast<PairVerdict>(verdict);
    kept.mark.note = query.text(first + 5);
    kept.mark.who = query.text(first + 6);
    kept.mark.marked = query.integer(first + 7);
    kept.stampA = {query.integer(first + 8), query.integer(first + 9)};
    kept.stampB = {query.integer(first + 10), query.integer(first + 11)};
    return kept;
}

std::optional<std::vector<KeptMark>> SqliteEvidenceStore::keptMarks(const std::string& project)
{
    SqliteStatement query(m_db, "SELECT project_a, path_a, project_b, path_b, verdict, note, who, marked, size_a, "
                                "mtime_a, size_b, mtime_b FROM pair_mark WHERE project = ?");
    query.bindText(1, project);
    std::vector<KeptMark> marks;
    Step step = Step::Row;
    while ((step = query.step()) == Step::Row) {
        KeptMark kept = keptMarkAt(query, 0);
        kept.project = project;
        marks.push_back(std::move(kept));
    }
    if (step == Step::Failed)
        return std::nullopt;
    return marks;
}

} // namespace darv::similar
