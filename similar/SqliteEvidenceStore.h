// This computer's evidence store: one SQLite database in the data folder (WAL journal, one writer at a time,
// statements run for every drawing or token prepared once and kept).
#pragma once

#include "similar/EvidenceStore.h"
#include "similar/Sqlite.h"

#include <map>
#include <memory>

namespace darv::similar {

class SqliteEvidenceStore final : public EvidenceStore
{
public:
    static constexpr std::int64_t kSchemaVersion = 5;
    // How long a statement waits for another program's write before it fails with "database is locked".
    static constexpr int kBusyTimeoutMs = 60000;

    // Opens the store, creating it when missing and bringing an older schema up to date; refuses a newer
    // schema and a file that is no such store. False with error() set (damaged() tells a damaged file).
    bool open(const std::string& path);

    const std::string& error() const override { return m_db.error(); }
    // SQLite's "malformed" or "not a database".
    bool damaged() const override { return m_db.damaged(); }
    void setError(std::string error) override { m_db.setError(std::move(error)); }

    std::optional<std::int64_t> findProject(const std::string& name) override;
    std::optional<std::int64_t> addProject(const std::string& name) override;
    std::optional<std::vector<std::string>> projectNames() override;

    // The project's lock file is the hold: always held here.
    Hold holdProject(const std::string&) override { return Hold::Held; }
    bool beginRun(const std::string& project) override;
    bool endRun(const std::string& project) override;
    std::optional<std::vector<std::string>> uncleanRuns(const std::string& dataFolder,
                                                        const std::string& ownProject) override;
    // SQLite's quick_check.
    std::string quickCheck() override;
    bool clearRuns(const std::vector<std::string>& projects) override;

    std::optional<std::vector<StoredRow>> rows(std::int64_t project, DrawingRole role) override;
    // A savepoint within an open transaction.
    std::optional<std::int64_t> saveDrawing(std::int64_t project, const NewDrawing& drawing) override;
    bool replaceTokens(std::int64_t drawing, std::uint64_t basis, const std::vector<std::uint64_t>& tokens,
                       const std::string& features) override;
    bool keepFeatures(std::int64_t drawing, const std::string& features) override;
    // In the index's order, a few drawings per transaction (much faster than drawing by drawing).
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
    std::optional<std::vector<std::int64_t>> holders(std::uint64_t token, std::size_t limit) override;

    bool saveLastResult(const std::string& project, const KeptResult& result) override;
    bool lastResult(const std::string& project, std::optional<KeptResult>& kept) override;

    bool keepMarks(const std::vector<KeptMark>& marks) override;
    std::optional<std::map<PairKey, PairMark>> marks(const std::string& project) override;
    std::optional<std::vector<KeptMark>> keptMarks(const std::string& project) override;

    // The database itself, for what only this store does (its check, its salvage after damage).
    SqliteDatabase& database() { return m_db; }

private:
    bool migrate();
    bool unindex(std::int64_t project, std::int64_t drawing, const std::string& packed);
    bool keepMark(const KeptMark& kept);

    // A statement prepared once and kept: those run for every drawing or token. Known by the address of its
    // text, which must live as long as the store (a literal). Reset after use.
    SqliteStatement& cached(const char* sql);

    SqliteDatabase m_db;
    std::map<const char*, std::unique_ptr<SqliteStatement>> m_statements;
};

// A pair_mark row's mark from its column `first` on: project_a, path_a, project_b, path_b, verdict, note, who, marked,
// size_a, mtime_a, size_b, mtime_b. The row's project is the caller's to set.
KeptMark keptMarkAt(SqliteStatement& query, int first);

} // namespace darv::similar
