// The department store's rows: every statement the checks run on the server, in this one place (its schema and
// rules are in DepartmentSchema.cpp). Numbers of 64 bits (tokens, bases, checksums) are kept as bigint with the
// same bits.
#include "similar/ServerEvidenceStore.h"

#include "similar/DepartmentSchema.h"

#include <algorithm>
#include <ctime>

namespace darv::similar {
namespace {

// Index entries written per transaction: a few drawings' worth, so that no write of another teacher waits long.
constexpr std::size_t kIndexEntriesPerTransaction = 20000;

PgValue signedBits(std::uint64_t value)
{
    return PgValue::number(static_cast<std::int64_t>(value));
}

std::uint64_t unsignedBits(std::int64_t value)
{
    return static_cast<std::uint64_t>(value);
}

template <class Numbers> PgValue bigintArray(const Numbers& numbers)
{
    std::string text = "{";
    for (const auto number : numbers) {
        if (text.size() > 1)
            text += ',';
        text += std::to_string(static_cast<std::int64_t>(number));
    }
    return PgValue::text(text + "}");
}

PgValue boolArray(const std::vector<bool>& flags)
{
    std::string text = "{";
    for (std::size_t i = 0; i < flags.size(); ++i)
        text += std::string(i ? "," : "") + (flags[i] ? "t" : "f");
    return PgValue::text(text + "}");
}

// The advisory lock's key of a teacher's project: 64 bits of an MD5 of "owner/name", worked out by the server.
constexpr const char* kHoldKey = "('x' || substr(md5(current_user || '/' || $1), 1, 16))::bit(64)::bigint";

} // namespace

// A transaction rolled back unless committed; a failure inside keeps its own message, not the rollback's.
class ServerTransaction
{
public:
    explicit ServerTransaction(ServerEvidenceStore& store) : m_store(store), m_open(store.exec("BEGIN")) {}
    ServerTransaction(const ServerTransaction&) = delete;
    ServerTransaction& operator=(const ServerTransaction&) = delete;
    ~ServerTransaction()
    {
        if (m_open)
            m_store.m_db.exec("ROLLBACK");
    }
    bool ok() const { return m_open; }
    bool commit()
    {
        m_open = false;
        return m_store.exec("COMMIT");
    }

private:
    ServerEvidenceStore& m_store;
    bool m_open;
};

bool ServerEvidenceStore::open(const std::string& conninfo)
{
    if (!m_db.connect(conninfo)) {
        m_error = m_db.error();
        return false;
    }
    const int version = departmentSchemaVersion(m_db);
    if (version < 0) {
        m_error = "the department's store cannot be read: " + m_db.error();
    } else if (version == 0) {
        m_error = "the server holds no department store: its administrator sets it up with 'darv2007-cli store init'";
    } else if (version > kDepartmentSchemaVersion) {
        m_error = "the department's store was written by a newer DARV (schema version " + std::to_string(version) +
                  "; this one reads up to " + std::to_string(kDepartmentSchemaVersion) + ")";
    } else if (version < kDepartmentSchemaVersion) {
        m_error = "the department's store has an older schema (version " + std::to_string(version) +
                  "): its administrator brings it up to date with 'darv2007-cli store init'";
    } else if (!exec("SET jit = off")) { // short lookups by key: compiling one would cost more than it saves
    } else if (const auto who = run("SELECT current_user::text")) {
        m_teacher = who->text(0, 0);
        return true;
    }
    m_db = PgConnection();
    return false;
}

std::optional<PgResult> ServerEvidenceStore::run(const char* sql, const std::vector<PgValue>& values)
{
    auto result = m_db.query(sql, values, true);
    if (!result)
        m_error = m_db.error();
    return result;
}

bool ServerEvidenceStore::exec(const char* sql)
{
    if (m_db.exec(sql))
        return true;
    m_error = m_db.error();
    return false;
}

std::pair<std::string, std::string> ServerEvidenceStore::ownerAndName(const std::string& project) const
{
    const std::size_t slash = project.find('/');
    if (slash == std::string::npos)
        return {m_teacher, project};
    return {project.substr(0, slash), project.substr(slash + 1)};
}

std::optional<std::int64_t> ServerEvidenceStore::findProject(const std::string& name)
{
    const auto [owner, own] = ownerAndName(name);
    const auto found =
        run("SELECT id FROM project WHERE owner = $1 AND name = $2", {PgValue::text(owner), PgValue::text(own)});
    if (!found)
        return std::nullopt;
    return found->rows() ? found->integer(0, 0) : 0;
}

std::optional<std::int64_t> ServerEvidenceStore::addProject(const std::string& name)
{
    if (ownerAndName(name).first != m_teacher) {
        m_error = "project " + name + " is another teacher's: only your own projects are written";
        return std::nullopt;
    }
    if (!run("INSERT INTO project(name) VALUES ($1) ON CONFLICT (owner, name) DO NOTHING", {PgValue::text(name)}))
        return std::nullopt;
    const auto id = findProject(name);
    if (id && *id == 0) {
        m_error = "project " + name + " was not stored";
        return std::nullopt;
    }
    return id;
}

std::optional<std::vector<std::string>> ServerEvidenceStore::projectNames()
{
    const auto found = run("SELECT CASE WHEN owner = current_user THEN name ELSE owner || '/' || name END AS shown "
                           "FROM project WHERE EXISTS (SELECT 1 FROM drawing WHERE drawing.project = project.id "
                           "AND role = 0 AND present) ORDER BY shown");
    if (!found)
        return std::nullopt;
    std::vector<std::string> names;
    for (int r = 0; r < found->rows(); ++r)
        names.push_back(found->text(r, 0));
    return names;
}

ServerEvidenceStore::~ServerEvidenceStore()
{
    if (m_db.isOpen())
        m_db.exec("SELECT pg_advisory_unlock_all()");
}

EvidenceStore::Hold ServerEvidenceStore::holdProject(const std::string& project)
{
    const std::string sql = std::string("SELECT pg_try_advisory_lock(") + kHoldKey + ")::int";
    const auto held = run(sql.c_str(), {PgValue::text(project)});
    if (!held)
        return Hold::Failed;
    return held->integer(0, 0) == 1 ? Hold::Held : Hold::Busy;
}

bool ServerEvidenceStore::beginRun(const std::string& project)
{
    return run("INSERT INTO open_run(project, started) VALUES ($1, $2) "
               "ON CONFLICT (owner, project) DO UPDATE SET started = EXCLUDED.started",
               {PgValue::text(project), PgValue::number(static_cast<std::int64_t>(std::time(nullptr)))})
        .has_value();
}

bool ServerEvidenceStore::endRun(const std::string& project)
{
    return clearRuns({project});
}

bool ServerEvidenceStore::clearRuns(const std::vector<std::string>& projects)
{
    for (const std::string& project : projects)
        if (!run("DELETE FROM open_run WHERE owner = current_user AND project = $1", {PgValue::text(project)}))
            return false;
    return true;
}

std::optional<std::vector<std::string>> ServerEvidenceStore::uncleanRuns(const std::string&,
                                                                         const std::string& ownProject)
{
    const auto marks = run("SELECT project FROM open_run WHERE owner = current_user ORDER BY project");
    if (!marks)
        return std::nullopt;
    std::vector<std::string> unclean;
    const std::string tryHold = std::string("SELECT pg_try_advisory_lock(") + kHoldKey + ")::int";
    const std::string release = std::string("SELECT pg_advisory_unlock(") + kHoldKey + ")";
    for (int r = 0; r < marks->rows(); ++r) {
        const std::string project = marks->text(r, 0);
        // Another project's mark is a run still going while another session holds that project.
        if (project != ownProject) {
            const auto held = run(tryHold.c_str(), {PgValue::text(project)});
            if (!held)
                return std::nullopt;
            if (held->integer(0, 0) != 1)
                continue;
            if (!run(release.c_str(), {PgValue::text(project)}))
                return std::nullopt;
        }
        unclean.push_back(project);
    }
    return unclean;
}

std::string ServerEvidenceStore::quickCheck()
{
    return run("SELECT 1") ? "" : "it cannot be checked: " + m_error;
}

std::optional<std::vector<StoredRow>> ServerEvidenceStore::rows(std::int64_t project, DrawingRole role)
{
    const auto found = run("SELECT id, path, shown, size, mtime_ns, source_version, token_basis, present::int, "
                           "length(tokens) / 8 FROM drawing WHERE project = $1 AND role = $2 ORDER BY id",
                           {PgValue::number(project), PgValue::number(static_cast<std::int64_t>(role))});
    if (!found)
        return std::nullopt;
    std::vector<StoredRow> rows;
    rows.reserve(static_cast<std::size_t>(found->rows()));
    for (int r = 0; r < found->rows(); ++r)
        rows.push_back(StoredRow{found->integer(r, 0), found->bytes(r, 1), found->text(r, 2),
                                 FileStamp{found->integer(r, 3), found->integer(r, 4)}, found->integer(r, 5),
                                 unsignedBits(found->integer(r, 6)), found->integer(r, 7) != 0,
                                 static_cast<std::size_t>(found->integer(r, 8))});
    return rows;
}

std::optional<std::int64_t> ServerEvidenceStore::saveDrawing(std::int64_t project, const NewDrawing& d)
{
    ServerTransaction transaction(*this);
    if (!transaction.ok())
        return std::nullopt;
    const PgValue projectId = PgValue::number(project);
    const PgValue role = PgValue::number(static_cast<std::int64_t>(d.role));
    const auto found = run("SELECT id FROM drawing WHERE project = $1 AND role = $2 AND path = $3 FOR UPDATE",
                           {projectId, role, PgValue::binary(d.path)});
    if (!found)
        return std::nullopt;
    const std::vector<PgValue> values = {PgValue::text(d.shownName),
                                         PgValue::number(d.stamp.size),
                                         PgValue::number(d.stamp.mtimeNs),
                                         PgValue::number(d.sourceVersion),
                                         PgValue::text(d.properties),
                                         PgValue::binary(d.entities),
                                         signedBits(d.tokenBasis),
                                         PgValue::binary(packTokens(d.tokens)),
                                         PgValue::binary(d.features),
                                         signedBits(recordSum(d.properties, d.entities)),
                                         projectId,
                                         role,
                                         PgValue::binary(d.path)};
    std::optional<std::int64_t> id;
    if (found->rows()) {
        id = found->integer(0, 0);
        if (!run("DELETE FROM token WHERE drawing = $1", {PgValue::number(*id)}) ||
            !run("UPDATE drawing SET shown = $1, size = $2, mtime_ns = $3, source_version = $4, present = true, "
                 "properties = $5, entities = $6, token_basis = $7, tokens = $8, features = $9, record_sum = $10, "
                 "indexed = false WHERE project = $11 AND role = $12 AND path = $13",
                 values))
            return std::nullopt;
    } else {
        const auto inserted =
            run("INSERT INTO drawing(shown, size, mtime_ns, source_version, properties, entities, token_basis, "
                "tokens, features, record_sum, project, role, path) "
                "VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13) RETURNING id",
                values);
        if (!inserted)
            return std::nullopt;
        id = inserted->integer(0, 0);
    }
    if (!transaction.commit())
        return std::nullopt;
    return id;
}

bool ServerEvidenceStore::replaceTokens(std::int64_t drawing, std::uint64_t basis,
                                        const std::vector<std::uint64_t>& tokens, const std::string& features)
{
    const auto own = run("SELECT (owner = current_user)::int FROM drawing WHERE id = $1", {PgValue::number(drawing)});
    if (!own)
        return false;
    if (own->rows() == 0) {
        m_error = "no stored drawing " + std::to_string(drawing);
        return false;
    }
    if (own->integer(0, 0) != 1)
        return true;
    ServerTransaction transaction(*this);
    return transaction.ok() && run("DELETE FROM token WHERE drawing = $1", {PgValue::number(drawing)}) &&
           run("UPDATE drawing SET token_basis = $1, tokens = $2, features = $3, indexed = false WHERE id = $4",
               {signedBits(basis), PgValue::binary(packTokens(tokens)), PgValue::binary(features),
                PgValue::number(drawing)}) &&
           transaction.commit();
}

bool ServerEvidenceStore::keepFeatures(std::int64_t drawing, const std::string& features)
{
    // Another teacher's row is left as it is (the server's rules would not change it anyway).
    return run("UPDATE drawing SET features = $1 WHERE id = $2 AND owner = current_user",
               {PgValue::binary(features), PgValue::number(drawing)})
        .has_value();
}

bool ServerEvidenceStore::indexTokens(std::int64_t project)
{
    // The waiting rows by their own index: no scan of the project's rows.
    const auto waiting = run("SELECT id FROM drawing WHERE project = $1 AND NOT indexed AND owner = current_user "
                             "ORDER BY id",
                             {PgValue::number(project)});
    if (!waiting)
        return false;
    const int count = waiting->rows();
    int next = 0;
    while (next < count) {
        std::vector<std::int64_t> hashes, drawings, batch;
        while (next < count && (batch.empty() || hashes.size() < kIndexEntriesPerTransaction)) {
            const std::int64_t id = waiting->integer(next++, 0);
            const auto tokens = run("SELECT tokens FROM drawing WHERE id = $1 AND NOT indexed", {PgValue::number(id)});
            if (!tokens)
                return false;
            if (tokens->rows() == 0)
                continue;
            for (const std::uint64_t token : unpackTokens(tokens->bytes(0, 0))) {
                hashes.push_back(static_cast<std::int64_t>(token));
                drawings.push_back(id);
            }
            batch.push_back(id);
        }
        ServerTransaction transaction(*this);
        if (!transaction.ok() ||
            !run("INSERT INTO token(hash, project, drawing) SELECT h, $2::bigint, d FROM unnest($1::bigint[], "
                 "$3::bigint[]) "
                 "AS t(h, d) ON CONFLICT DO NOTHING",
                 {bigintArray(hashes), PgValue::number(project), bigintArray(drawings)}) ||
            !run("UPDATE drawing SET indexed = true WHERE id = ANY($1::bigint[])", {bigintArray(batch)}) ||
            !transaction.commit())
            return false;
    }
    return true;
}

bool ServerEvidenceStore::setPresent(std::int64_t project, const std::vector<std::int64_t>& presentIds)
{
    // Only rows whose flag changes are written.
    return run("UPDATE drawing SET present = (id = ANY($2::bigint[])) WHERE project = $1 AND role = 0 "
               "AND present <> (id = ANY($2::bigint[]))",
               {PgValue::number(project), bigintArray(presentIds)})
        .has_value();
}

std::optional<StoredRecord> ServerEvidenceStore::storedRecord(std::int64_t drawing)
{
    const auto found =
        run("SELECT properties, entities, features, record_sum FROM drawing WHERE id = $1", {PgValue::number(drawing)});
    if (!found)
        return std::nullopt;
    if (found->rows() == 0) {
        m_error = "no stored drawing " + std::to_string(drawing);
        return std::nullopt;
    }
    return StoredRecord{found->text(0, 0), found->bytes(0, 1), found->bytes(0, 2), unsignedBits(found->integer(0, 3))};
}

std::optional<std::uint64_t> ServerEvidenceStore::tokenBasis(std::int64_t drawing)
{
    const auto found = run("SELECT token_basis FROM drawing WHERE id = $1", {PgValue::number(drawing)});
    if (!found)
        return std::nullopt;
    if (found->rows() == 0) {
        m_error = "no stored drawing " + std::to_string(drawing);
        return std::nullopt;
    }
    return unsignedBits(found->integer(0, 0));
}

std::optional<std::vector<std::uint64_t>> ServerEvidenceStore::storedTokens(std::int64_t drawing)
{
    const auto found = run("SELECT tokens FROM drawing WHERE id = $1", {PgValue::number(drawing)});
    if (!found)
        return std::nullopt;
    if (found->rows() == 0) {
        m_error = "no stored drawing " + std::to_string(drawing);
        return std::nullopt;
    }
    return unpackTokens(found->bytes(0, 0));
}

bool ServerEvidenceStore::findRow(const std::string& project, const std::string& path, std::optional<StoredRow>& row)
{
    row.reset();
    const auto [owner, name] = ownerAndName(project);
    const auto found = run("SELECT d.id, d.shown, d.size, d.mtime_ns, d.source_version, d.token_basis, "
                           "d.present::int, length(d.tokens) / 8 FROM drawing d JOIN project p ON p.id = d.project "
                           "WHERE p.owner = $1 AND p.name = $2 AND d.path = $3 ORDER BY d.role LIMIT 1",
                           {PgValue::text(owner), PgValue::text(name), PgValue::binary(path)});
    if (!found)
        return false;
    if (found->rows())
        row = StoredRow{found->integer(0, 0),      path,
                        found->text(0, 1),         FileStamp{found->integer(0, 2), found->integer(0, 3)},
                        found->integer(0, 4),      unsignedBits(found->integer(0, 5)),
                        found->integer(0, 6) != 0, static_cast<std::size_t>(found->integer(0, 7))};
    return true;
}

std::optional<std::string> ServerEvidenceStore::storedProperties(std::int64_t drawing)
{
    const auto found = run("SELECT properties FROM drawing WHERE id = $1", {PgValue::number(drawing)});
    if (!found)
        return std::nullopt;
    if (found->rows() == 0) {
        m_error = "no stored drawing " + std::to_string(drawing);
        return std::nullopt;
    }
    return found->text(0, 0);
}

std::optional<std::vector<std::string>> ServerEvidenceStore::templatePaths(std::int64_t project)
{
    // In the teacher's order (rows from before it was kept, in path order).
    const auto found =
        run("SELECT path FROM template WHERE project = $1 ORDER BY position, path", {PgValue::number(project)});
    if (!found)
        return std::nullopt;
    std::vector<std::string> paths;
    for (int r = 0; r < found->rows(); ++r)
        paths.push_back(found->bytes(r, 0));
    return paths;
}

bool ServerEvidenceStore::setTemplatePaths(std::int64_t project, const std::vector<std::string>& paths)
{
    ServerTransaction transaction(*this);
    if (!transaction.ok() || !run("DELETE FROM template WHERE project = $1", {PgValue::number(project)}))
        return false;
    for (std::size_t i = 0; i < paths.size(); ++i)
        if (!run("INSERT INTO template(project, path, position) VALUES ($1, $2, $3) ON CONFLICT DO NOTHING",
                 {PgValue::number(project), PgValue::binary(paths[i]), PgValue::number(static_cast<std::int64_t>(i))}))
            return false;
    return transaction.commit();
}

bool ServerEvidenceStore::saveExcluded(std::int64_t project, const TemplateSet& excluded)
{
    ServerTransaction transaction(*this);
    const PgValue id = PgValue::number(project);
    return transaction.ok() && run("DELETE FROM excluded WHERE project = $1", {id}) &&
           run("UPDATE project SET handle_seed = $1, token_version = $2 WHERE id = $3",
               {signedBits(excluded.handleSeed()), signedBits(kTokenVersion), id}) &&
           run("INSERT INTO excluded(project, hash) SELECT $1::bigint, unnest($2::bigint[]) ON CONFLICT DO NOTHING",
               {id, bigintArray(excluded.tokens())}) &&
           transaction.commit();
}

std::optional<TemplateSet> ServerEvidenceStore::loadExcluded(std::int64_t project)
{
    const auto tokens = run("SELECT hash FROM excluded WHERE project = $1", {PgValue::number(project)});
    const auto seed =
        tokens ? run("SELECT handle_seed FROM project WHERE id = $1", {PgValue::number(project)}) : std::nullopt;
    if (!seed)
        return std::nullopt;
    TemplateSet set;
    for (int r = 0; r < tokens->rows(); ++r)
        set.addToken(unsignedBits(tokens->integer(r, 0)));
    if (seed->rows())
        set.raiseHandleSeed(unsignedBits(seed->integer(0, 0)));
    return set;
}

std::optional<std::uint64_t> ServerEvidenceStore::tokenVersion(std::int64_t project)
{
    const auto found = run("SELECT token_version FROM project WHERE id = $1", {PgValue::number(project)});
    if (!found)
        return std::nullopt;
    return found->rows() ? unsignedBits(found->integer(0, 0)) : 0;
}

std::optional<bool> ServerEvidenceStore::hasPresentDrawings(std::int64_t project)
{
    const auto found = run("SELECT EXISTS (SELECT 1 FROM drawing WHERE project = $1 AND role = 0 AND present)::int",
                           {PgValue::number(project)});
    if (!found)
        return std::nullopt;
    return found->integer(0, 0) == 1;
}

class ServerEarlierSearch final : public EarlierSearch
{
public:
    ServerEarlierSearch(ServerEvidenceStore& store, const std::vector<std::int64_t>& projects)
        : m_store(store), m_projects(bigintArray(projects))
    {
        for (std::size_t p = 0; p < projects.size(); ++p)
            m_index.emplace(projects[p], p);
    }

    bool count()
    {
        // By the index of the drawings found by their runs (an index-only count).
        const auto found = m_store.run("SELECT count(*) FROM drawing WHERE project = ANY($1::bigint[]) AND role = 0 "
                                       "AND present",
                                       {m_projects});
        if (!found)
            return false;
        m_drawings = static_cast<std::size_t>(found->integer(0, 0));
        return true;
    }

    std::size_t drawings() const override { return m_drawings; }

    std::optional<std::vector<SharedHolder>> sharing(const std::vector<std::uint64_t>& tokens,
                                                     const std::vector<bool>& labelled, std::size_t limit) override
    {
        // Each token's first limit + 1 holders by the index (a b-tree on the hash), as holdersOf asks them; a token
        // with more counts for none. Holders are counted per drawing before each one's row is looked up by its
        // key (never a scan of the archive's rows, whatever the planner guesses of the tokens' holders).
        const auto found = m_store.run(
            "SELECT d.id, d.project, h.shared, h.labelled::int, d.held FROM "
            "(SELECT x.drawing, count(*) AS shared, bool_or(x.labelled) AS labelled FROM "
            "(SELECT t.labelled, y.drawing, y.project, count(*) OVER (PARTITION BY t.i) AS holders "
            "FROM unnest($1::bigint[], $2::boolean[]) WITH ORDINALITY AS t(hash, labelled, i) "
            "CROSS JOIN LATERAL (SELECT drawing, project FROM token WHERE token.hash = t.hash "
            "ORDER BY project, drawing LIMIT $3) y) x "
            "WHERE x.holders <= $4 AND x.project = ANY($5::bigint[]) GROUP BY x.drawing) h "
            "CROSS JOIN LATERAL (SELECT id, project, length(tokens) / 8 AS held FROM drawing WHERE drawing.id = "
            "h.drawing "
            "AND project = ANY($5::bigint[]) AND role = 0 AND present LIMIT 1) d ORDER BY d.id",
            {bigintArray(tokens), boolArray(labelled), PgValue::number(static_cast<std::int64_t>(limit + 1)),
             PgValue::number(static_cast<std::int64_t>(limit)), m_projects});
        if (!found)
            return std::nullopt;
        std::vector<SharedHolder> out;
        out.reserve(static_cast<std::size_t>(found->rows()));
        for (int r = 0; r < found->rows(); ++r)
            out.push_back(SharedHolder{found->integer(r, 0), m_index.at(found->integer(r, 1)),
                                       static_cast<std::uint32_t>(found->integer(r, 2)), found->integer(r, 3) != 0,
                                       static_cast<std::size_t>(found->integer(r, 4))});
        return out;
    }

    std::optional<std::vector<CandidateRecord>> records(const std::vector<std::int64_t>& ids) override
    {
        const auto found = m_store.run("SELECT id, path, shown, size, mtime_ns, source_version, token_basis, "
                                       "present::int, length(tokens) / 8, features FROM drawing "
                                       "WHERE id = ANY($1::bigint[])",
                                       {bigintArray(ids)});
        if (!found)
            return std::nullopt;
        std::map<std::int64_t, int> rowOf;
        for (int r = 0; r < found->rows(); ++r)
            rowOf.emplace(found->integer(r, 0), r);
        std::vector<CandidateRecord> out;
        out.reserve(ids.size());
        for (const std::int64_t id : ids) {
            const auto at = rowOf.find(id);
            if (at == rowOf.end()) {
                m_store.setError("no stored drawing " + std::to_string(id));
                return std::nullopt;
            }
            const int r = at->second;
            out.push_back(
                CandidateRecord{StoredRow{id, found->bytes(r, 1), found->text(r, 2),
                                          FileStamp{found->integer(r, 3), found->integer(r, 4)}, found->integer(r, 5),
                                          unsignedBits(found->integer(r, 6)), found->integer(r, 7) != 0,
                                          static_cast<std::size_t>(found->integer(r, 8))},
                                found->bytes(r, 9)});
        }
        return out;
    }

private:
    ServerEvidenceStore& m_store;
    PgValue m_projects;
    std::map<std::int64_t, std::size_t> m_index; // project -> its place among those searched
    std::size_t m_drawings = 0;
};

std::unique_ptr<EarlierSearch> ServerEvidenceStore::searchEarlier(const std::vector<std::int64_t>& projects)
{
    auto search = std::make_unique<ServerEarlierSearch>(*this, projects);
    if (!search->count())
        return nullptr;
    return search;
}

std::optional<std::vector<std::int64_t>> ServerEvidenceStore::holders(std::uint64_t token, std::size_t limit)
{
    auto all = holdersOf({token}, limit);
    if (!all)
        return std::nullopt;
    return std::move(all->front());
}

std::optional<std::vector<std::vector<std::int64_t>>>
ServerEvidenceStore::holdersOf(const std::vector<std::uint64_t>& tokens, std::size_t limit)
{
    // Each token's holders by the index (a b-tree on the hash), in the index's order, at most `limit` of them.
    const auto found = run("SELECT t.i, h.drawing FROM unnest($1::bigint[]) WITH ORDINALITY AS t(hash, i) "
                           "CROSS JOIN LATERAL (SELECT drawing FROM token WHERE token.hash = t.hash "
                           "ORDER BY project, drawing LIMIT $2) h ORDER BY t.i",
                           {bigintArray(tokens), PgValue::number(static_cast<std::int64_t>(limit))});
    if (!found)
        return std::nullopt;
    std::vector<std::vector<std::int64_t>> all(tokens.size());
    for (int r = 0; r < found->rows(); ++r) {
        const std::int64_t i = found->integer(r, 0);
        if (i >= 1 && static_cast<std::size_t>(i) <= all.size())
            all[static_cast<std::size_t>(i - 1)].push_back(found->integer(r, 1));
    }
    return all;
}

bool ServerEvidenceStore::saveLastResult(const std::string& project, const KeptResult& result)
{
    return run("INSERT INTO last_result(project, finished, result) VALUES ($1, $2, $3) ON CONFLICT (owner, project) "
               "DO UPDATE SET finished = EXCLUDED.finished, result = EXCLUDED.result",
               {PgValue::text(project), PgValue::number(result.finished), PgValue::binary(result.encoded)})
        .has_value();
}

bool ServerEvidenceStore::lastResult(const std::string& project, std::optional<KeptResult>& kept)
{
    kept.reset();
    const auto [owner, name] = ownerAndName(project);
    const auto found = run("SELECT finished, result FROM last_result WHERE owner = $1 AND project = $2",
                           {PgValue::text(owner), PgValue::text(name)});
    if (!found)
        return false;
    if (found->rows())
        kept = KeptResult{found->integer(0, 0), found->bytes(0, 1)};
    return true;
}

bool ServerEvidenceStore::keepMarks(const std::vector<KeptMark>& marks)
{
    ServerTransaction transaction(*this);
    if (!transaction.ok())
        return false;
    for (const KeptMark& kept : marks)
        if (!run("INSERT INTO pair_mark(project, project_a, path_a, project_b, path_b, verdict, note, who, marked, "
                 "size_a, mtime_a, size_b, mtime_b) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13) "
                 "ON CONFLICT (owner, project, project_a, path_a, project_b, path_b) DO UPDATE SET "
                 "verdict = EXCLUDED.verdict, note = EXCLUDED.note, who = EXCLUDED.who, marked = EXCLUDED.marked, "
                 "size_a = EXCLUDED.size_a, mtime_a = EXCLUDED.mtime_a, size_b = EXCLUDED.size_b, "
                 "mtime_b = EXCLUDED.mtime_b",
                 {PgValue::text(kept.project), PgValue::text(kept.key.projectA), PgValue::binary(kept.key.pathA),
                  PgValue::text(kept.key.projectB), PgValue::binary(kept.key.pathB),
                  PgValue::number(static_cast<std::int64_t>(kept.mark.verdict)), PgValue::text(kept.mark.note),
                  PgValue::text(kept.mark.who), PgValue::number(kept.mark.marked), PgValue::number(kept.stampA.size),
                  PgValue::number(kept.stampA.mtimeNs), PgValue::number(kept.stampB.size),
                  PgValue::number(kept.stampB.mtimeNs)}))
            return false;
    return transaction.commit();
}

std::optional<std::map<PairKey, PairMark>> ServerEvidenceStore::marks(const std::string& project)
{
    // The teacher's own marks alone (the server shows no other's); each compared with its drawings' stamps now.
    const auto found = run("SELECT project_a, path_a, project_b, path_b, verdict, note, who, marked, size_a, "
                           "mtime_a, size_b, mtime_b FROM pair_mark WHERE owner = current_user AND project = $1",
                           {PgValue::text(project)});
    if (!found)
        return std::nullopt;
    std::map<PairKey, PairMark> marks;
    for (int r = 0; r < found->rows(); ++r) {
        PairKey key{found->text(r, 0), found->bytes(r, 1), found->text(r, 2), found->bytes(r, 3)};
        PairMark mark;
        const std::int64_t verdict = found->integer(r, 4);
        // A verdict this version does not know is shown as not reviewed rather than guessed.
        if (verdict == 1 || verdict == 2)
            mark.verdict = static_cast<PairVerdict>(verdict);
        mark.note = found->text(r, 5);
        mark.who = found->text(r, 6);
        mark.marked = found->integer(r, 7);
        std::optional<StoredRow> a, b;
        if (!findRow(key.projectA, key.pathA, a) || !findRow(key.projectB, key.pathB, b))
            return std::nullopt;
        mark.changedSince = !a || !b || a->stamp != FileStamp{found->integer(r, 8), found->integer(r, 9)} ||
                            b->stamp != FileStamp{found->integer(r, 10), found->integer(r, 11)};
        marks.emplace(std::move(key), std::move(mark));
    }
    return marks;
}

std::optional<std::vector<KeptMark>> ServerEvidenceStore::keptMarks(const std::string& project)
{
    const auto [owner, name] = ownerAndName(project);
    if (owner != m_teacher)
        return std::vector<KeptMark>{};
    const auto found = run("SELECT project_a, path_a, project_b, path_b, verdict, note, who, marked, size_a, "
                           "mtime_a, size_b, mtime_b FROM pair_mark WHERE owner = current_user AND project = $1",
                           {PgValue::text(name)});
    if (!found)
        return std::nullopt;
    std::vector<KeptMark> marks;
    for (int r = 0; r < found->rows(); ++r) {
        KeptMark kept{name, {found->text(r, 0), found->bytes(r, 1), found->text(r, 2), found->bytes(r, 3)}, {}, {}, {}};
        const std::int64_t verdict = found->integer(r, 4);
        if (verdict == 1 || verdict == 2)
            kept.mark.verdict = static_cast<PairVerdict>(verdict);
        kept.mark.note = found->text(r, 5);
        kept.mark.who = found->text(r, 6);
        kept.mark.marked = found->integer(r, 7);
        kept.stampA = {found->integer(r, 8), found->integer(r, 9)};
        kept.stampB = {found->integer(r, 10), found->integer(r, 11)};
        marks.push_back(std::move(kept));
    }
    return marks;
}

} // namespace darv::similar
