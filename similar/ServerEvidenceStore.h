// A department's evidence store on a PostgreSQL server, shared by its teachers: each connects as their own database
// role, reads every teacher's evidence and writes only their own (the server's row-level security enforces it).
// A teacher's own project is named as on this computer, a colleague's as "OWNER/NAME". Candidates are found in the
// server (the token table's b-tree), so no client pulls the archive to compare.
#pragma once

#include "similar/EvidenceStore.h"
#include "similar/Postgres.h"

namespace darv::similar {

class ServerEvidenceStore final : public EvidenceStore
{
public:
    ServerEvidenceStore() = default;
    ServerEvidenceStore(const ServerEvidenceStore&) = delete;
    ServerEvidenceStore& operator=(const ServerEvidenceStore&) = delete;
    // Gives up the session's holds before the connection closes: the server frees them at once, not when its
    // process for this session has noticed the closed connection, so the teacher's next run finds them free.
    ~ServerEvidenceStore() override;

    // Connects (libpq's conventions: URL or key=value words, PGSERVICE, ~/.pgpass, sslmode) and checks that the
    // server's store has this version's schema. False with error() set: a server that cannot be reached or
    // refuses the login, a store that is not set up (or set up by another version).
    bool open(const std::string& conninfo);

    const std::string& error() const override { return m_error; }
    // A server's store is never a damaged file: its failures are refusals, lost connections, full disks.
    bool damaged() const override { return false; }
    void setError(std::string error) override { m_error = std::move(error); }

    std::optional<std::int64_t> findProject(const std::string& name) override;
    std::optional<std::int64_t> addProject(const std::string& name) override;
    std::optional<std::vector<std::string>> projectNames() override;

    // An advisory lock of the session, per teacher and project: freed by the server when the program ends.
    Hold holdProject(const std::string& project) override;
    bool beginRun(const std::string& project) override;
    bool endRun(const std::string& project) override;
    // The teacher's own marks of runs whose projects no session holds.
    std::optional<std::vector<std::string>> uncleanRuns(const std::string& dataFolder,
                                                        const std::string& ownProject) override;
    // A transaction of the server is whole or not there: nothing to check beyond the connection.
    std::string quickCheck() override;
    bool clearRuns(const std::vector<std::string>& projects) override;

    std::optional<std::vector<StoredRow>> rows(std::int64_t project, DrawingRole role) override;
    std::optional<std::int64_t> saveDrawing(std::int64_t project, const NewDrawing& drawing) override;
    // Another teacher's drawing keeps its row: the features are worked out for this run only.
    bool replaceTokens(std::int64_t drawing, std::uint64_t basis, const std::vector<std::uint64_t>& tokens,
                       const std::string& features) override;
    bool keepFeatures(std::int64_t drawing, const std::string& features) override;
    bool indexTokens(std::int64_t project) override;
    bool setPresent(std::int64_t project, const std::vector<std::int64_t>& presentIds) override;

    std::optional<StoredRecord> storedRecord(std::int64_t drawing) override;
    std::optional<std::uint64_t> tokenBasis(std::int64_t drawing) override;
    std::optional<std::vector<std::uint64_t>> storedTokens(std::int64_t drawing) override;
    bool findRow(const std::string& project, const std::string& path, std::optional<StoredRow>& row) override;
    std::optional<std::string> storedProperties(std::int64_t drawing) override;

    std::optional<std::vector<std::string>> templatePaths(std::int64_t project) override;
    bool setTemplatePaths(std::int64_t project, const std::vector<std::string>& paths) override;

    bool saveExcluded(std::int64_t project, const TemplateSet& excluded) override;
    std::optional<TemplateSet> loadExcluded(std::int64_t project) override;
    std::optional<std::uint64_t> tokenVersion(std::int64_t project) override;

    std::optional<bool> hasPresentDrawings(std::int64_t project) override;
    // The search runs in the server: one statement per drawing for its candidates, one per batch of candidates
    // for their rows and features; no project's rows are read.
    std::unique_ptr<EarlierSearch> searchEarlier(const std::vector<std::int64_t>& projects) override;

    std::optional<std::vector<std::int64_t>> holders(std::uint64_t token, std::size_t limit) override;
    // One statement for all of them.
    std::optional<std::vector<std::vector<std::int64_t>>> holdersOf(const std::vector<std::uint64_t>& tokens,
                                                                    std::size_t limit) override;

    bool saveLastResult(const std::string& project, const KeptResult& result) override;
    bool lastResult(const std::string& project, std::optional<KeptResult>& kept) override;

    bool keepMarks(const std::vector<KeptMark>& marks) override;
    std::optional<std::map<PairKey, PairMark>> marks(const std::string& project) override;
    std::optional<std::vector<KeptMark>> keptMarks(const std::string& project) override;

    // The database role this store was opened as (the owner of what it writes).
    const std::string& teacher() const { return m_teacher; }

private:
    friend class ServerTransaction;
    friend class ServerEarlierSearch;
    // Runs a statement (results in binary form); a failure is noted in error().
    std::optional<PgResult> run(const char* sql, const std::vector<PgValue>& values = {});
    bool exec(const char* sql);
    // "OWNER/NAME" or a name of the teacher's own: (owner, name).
    std::pair<std::string, std::string> ownerAndName(const std::string& project) const;

    PgConnection m_db;
    std::string m_error;
    std::string m_teacher;
};

} // namespace darv::similar
