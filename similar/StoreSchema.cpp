// Opening the evidence store: WAL journal, and the schema brought up to date one migration at a time.
#include "similar/SqliteEvidenceStore.h"

#include <sqlite3.h>

#include <array>

namespace darv::similar {
namespace {

// Migration N takes the schema from version N to N + 1. Never change one that has been released: add one.
const std::array<const char*, SqliteEvidenceStore::kSchemaVersion> kMigrations = {
    // 0 -> 1: projects, drawings with their properties (JSON), entities (binary record) and tokens (packed
    // 64-bit numbers, in the inverted index once "indexed"), the inverted index of the tokens, remembered
    // templates, and what each project's last run did not count.
    "CREATE TABLE project(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE,"
    "  handle_seed INTEGER NOT NULL DEFAULT 0, token_version INTEGER NOT NULL DEFAULT 0);"
    "CREATE TABLE drawing(id INTEGER PRIMARY KEY, project INTEGER NOT NULL REFERENCES project(id),"
    "  role INTEGER NOT NULL, path BLOB NOT NULL, shown TEXT NOT NULL, size INTEGER NOT NULL,"
    "  mtime_ns INTEGER NOT NULL, present INTEGER NOT NULL DEFAULT 1, properties TEXT NOT NULL,"
    "  entities BLOB NOT NULL, token_basis INTEGER NOT NULL, tokens BLOB NOT NULL,"
    "  indexed INTEGER NOT NULL DEFAULT 0, UNIQUE(project, role, path));"
    "CREATE TABLE token(hash INTEGER NOT NULL, project INTEGER NOT NULL, drawing INTEGER NOT NULL,"
    "  PRIMARY KEY(hash, project, drawing)) WITHOUT ROWID;"
    "CREATE TABLE template(project INTEGER NOT NULL REFERENCES project(id), path BLOB NOT NULL,"
    "  PRIMARY KEY(project, path));"
    "CREATE TABLE excluded(project INTEGER NOT NULL, hash INTEGER NOT NULL,"
    "  PRIMARY KEY(project, hash)) WITHOUT ROWID;",
    // 1 -> 2: the reader that made each row, so that drawings stored by an older reader are read again
    // (rows from before get 0: read again when their file is there, kept as they are when it is not).
    "ALTER TABLE drawing ADD COLUMN source_version INTEGER NOT NULL DEFAULT 0;",
    // 2 -> 3: each drawing's features (made with its token basis), so that a rerun reads them back, and a
    // checksum of its properties and entities (rows from before get empty features, worked out again from their
    // entities, and 0: not checked); the runs going, so that a run that did not close the store is seen.
    "ALTER TABLE drawing ADD COLUMN features BLOB NOT NULL DEFAULT x'';"
    "ALTER TABLE drawing ADD COLUMN record_sum INTEGER NOT NULL DEFAULT 0;"
    "CREATE TABLE open_run(project TEXT PRIMARY KEY, started INTEGER NOT NULL) WITHOUT ROWID;",
    // 3 -> 4: each project's last complete result (so that the window shows it on opening), and the teacher's
    // mark of a pair with its note, who made it and when, with the two files' stamps at that time (so that a mark
    // outlives new runs, and a drawing changed since is seen).
    "CREATE TABLE last_result(project TEXT PRIMARY KEY, finished INTEGER NOT NULL, result BLOB NOT NULL)"
    "  WITHOUT ROWID;"
    "CREATE TABLE pair_mark(project TEXT NOT NULL, project_a TEXT NOT NULL, path_a BLOB NOT NULL,"
    "  project_b TEXT NOT NULL, path_b BLOB NOT NULL, verdict INTEGER NOT NULL, note TEXT NOT NULL,"
    "  who TEXT NOT NULL, marked INTEGER NOT NULL, size_a INTEGER NOT NULL, mtime_a INTEGER NOT NULL,"
    "  size_b INTEGER NOT NULL, mtime_b INTEGER NOT NULL,"
    "  PRIMARY KEY(project, project_a, path_a, project_b, path_b)) WITHOUT ROWID;",
    // 4 -> 5: the remembered templates' order kept in a column of its own, as the department server keeps it
    // (rows from before get 0 and keep the order they were written in).
    "ALTER TABLE template ADD COLUMN position INTEGER NOT NULL DEFAULT 0;",
};

std::optional<std::int64_t> schemaVersion(SqliteDatabase& db)
{
    SqliteStatement query(db, "PRAGMA user_version");
    if (query.step() != SqliteStatement::Step::Row)
        return std::nullopt;
    return query.integer(0);
}

bool walJournal(SqliteDatabase& db)
{
    SqliteStatement wal(db, "PRAGMA journal_mode=WAL");
    if (wal.step() != SqliteStatement::Step::Row)
        return false;
    if (wal.text(0) != "wal") {
        db.setError("cannot keep a write-ahead log here (journal mode " + wal.text(0) + ")");
        return false;
    }
    return true;
}

} // namespace

bool SqliteEvidenceStore::open(const std::string& path)
{
    if (!m_db.open(path)) {
        m_db.setError(path + ": " + m_db.error());
        return false;
    }
    // Another project's run writes one drawing at a time: waiting for it takes seconds at most.
    sqlite3_busy_timeout(m_db.handle(), kBusyTimeoutMs);
    // The first statement tells a file that is no SQLite database; journal_mode answers "wal" once set.
    if (!walJournal(m_db) || !m_db.exec("PRAGMA synchronous=NORMAL; PRAGMA foreign_keys=ON") || !migrate()) {
        const std::string reason = m_db.error();
        const int code = m_db.lastCode();
        m_statements.clear();
        m_db = SqliteDatabase();
        m_db.setError(path + ": " + reason);
        m_db.setCode(code);
        return false;
    }
    return true;
}

bool SqliteEvidenceStore::migrate()
{
    // The version is read again inside each write transaction: another program may migrate at the same time.
    for (;;) {
        SqliteTransaction transaction(m_db);
        const auto version = transaction.ok() ? schemaVersion(m_db) : std::nullopt;
        if (!version)
            return false;
        if (*version > kSchemaVersion) {
            m_db.setError("written by a newer DARV (schema version " + std::to_string(*version) +
                          "; this one reads up to " + std::to_string(kSchemaVersion) + ")");
            return false;
        }
        if (*version == kSchemaVersion)
            return transaction.commit();
        if (!m_db.exec(kMigrations[static_cast<std::size_t>(*version)]) ||
            !m_db.exec("PRAGMA user_version=" + std::to_string(*version + 1)) || !transaction.commit())
            return false;
    }
}

} // namespace darv::similar
