// The thin SQLite wrapper.
#include "similar/Sqlite.h"

#include <sqlite3.h>

#include <algorithm>

#include <utility>

namespace darv::similar {

SqliteDatabase::SqliteDatabase(SqliteDatabase&& other) noexcept
    : m_db(std::exchange(other.m_db, nullptr)), m_error(std::move(other.m_error)), m_code(other.m_code)
{}

SqliteDatabase& SqliteDatabase::operator=(SqliteDatabase&& other) noexcept
{
    if (this != &other) {
        sqlite3_close_v2(m_db);
        m_db = std::exchange(other.m_db, nullptr);
        m_error = std::move(other.m_error);
        m_code = other.m_code;
    }
    return *this;
}

SqliteDatabase::~SqliteDatabase()
{
    sqlite3_close_v2(m_db);
}

bool SqliteDatabase::open(const std::string& path)
{
    sqlite3* db = nullptr;
    const int rc =
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        m_error = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        m_code = db ? sqlite3_extended_errcode(db) : rc;
        sqlite3_close_v2(db);
        return false;
    }
    sqlite3_close_v2(m_db);
    m_db = db;
    sqlite3_extended_result_codes(m_db, 1);
    return true;
}

std::string SqliteDatabase::sqliteMessage() const
{
    return m_db ? sqlite3_errmsg(m_db) : "no database";
}

bool SqliteDatabase::damaged() const
{
    const int primary = m_code & 0xFF;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

bool SqliteDatabase::exec(const std::string& sql)
{
    char* message = nullptr;
    const int rc = sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &message);
    if (rc == SQLITE_OK)
        return true;
    m_code = m_db ? sqlite3_extended_errcode(m_db) : rc;
    m_error = message ? message : sqliteMessage();
    sqlite3_free(message);
    return false;
}

bool SqliteDatabase::writeBlob(const char* table, const char* column, std::int64_t row, std::string_view bytes)
{
    sqlite3_blob* blob = nullptr;
    int rc = sqlite3_blob_open(m_db, "main", table, column, row, 1, &blob);
    constexpr std::size_t chunk = std::size_t{1} << 20;
    for (std::size_t at = 0; rc == SQLITE_OK && at < bytes.size(); at += chunk)
        rc = sqlite3_blob_write(blob, bytes.data() + at, static_cast<int>(std::min(chunk, bytes.size() - at)),
                                static_cast<int>(at));
    const int closed = sqlite3_blob_close(blob);
    if (rc == SQLITE_OK)
        rc = closed;
    if (rc == SQLITE_OK)
        return true;
    m_code = sqlite3_extended_errcode(m_db);
    m_error = sqliteMessage();
    return false;
}

std::int64_t SqliteDatabase::lastInsertId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

SqliteStatement::SqliteStatement(SqliteDatabase& db, std::string_view sql) : m_db(db)
{
    if (!db.handle()) {
        m_failure = "no database";
    } else if (sqlite3_prepare_v2(db.handle(), sql.data(), static_cast<int>(sql.size()), &m_stmt, nullptr) !=
               SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        m_failure = db.sqliteMessage();
        db.setCode(sqlite3_extended_errcode(db.handle()));
    } else if (!m_stmt) {
        m_failure = "an empty statement";
    }
    if (!m_failure.empty())
        db.setError(m_failure);
}

void SqliteStatement::bound(int rc)
{
    if (rc != SQLITE_OK && m_bindFailure.empty()) {
        m_bindFailure = std::string("a value cannot be bound: ") + sqlite3_errstr(rc);
        m_db.setCode(rc);
    }
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_stmt);
}

SqliteStatement& SqliteStatement::bind(int index, std::int64_t value)
{
    if (m_stmt)
        bound(sqlite3_bind_int64(m_stmt, index, value));
    return *this;
}

SqliteStatement& SqliteStatement::bindText(int index, std::string_view value)
{
    if (m_stmt)
        bound(sqlite3_bind_text64(m_stmt, index, value.empty() ? "" : value.data(), value.size(), SQLITE_TRANSIENT,
                                  SQLITE_UTF8));
    return *this;
}

SqliteStatement& SqliteStatement::bindBlob(int index, std::string_view value)
{
    // A zero-length blob, not NULL, for an empty value.
    if (m_stmt)
        bound(sqlite3_bind_blob64(m_stmt, index, value.empty() ? "" : value.data(), value.size(), SQLITE_TRANSIENT));
    return *this;
}

SqliteStatement& SqliteStatement::bindBlobInPlace(int index, std::string_view value)
{
    if (m_stmt)
        bound(sqlite3_bind_blob64(m_stmt, index, value.empty() ? "" : value.data(), value.size(), SQLITE_STATIC));
    return *this;
}

SqliteStatement& SqliteStatement::bindZeroBlob(int index, std::uint64_t size)
{
    if (m_stmt)
        bound(sqlite3_bind_zeroblob64(m_stmt, index, size));
    return *this;
}

SqliteStatement::Step SqliteStatement::step()
{
    if (!m_failure.empty() || !m_bindFailure.empty()) {
        m_db.setError(m_failure.empty() ? m_bindFailure : m_failure);
        return Step::Failed;
    }
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return Step::Row;
    if (rc == SQLITE_DONE)
        return Step::Done;
    m_db.setCode(sqlite3_extended_errcode(m_db.handle()));
    m_db.setError(m_db.sqliteMessage());
    return Step::Failed;
}

bool SqliteStatement::run()
{
    const Step result = step();
    reset();
    return result == Step::Done;
}

void SqliteStatement::reset()
{
    if (!m_stmt)
        return;
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    m_bindFailure.clear(); // belongs to the use that is over
}

std::int64_t SqliteStatement::integer(int column) const
{
    return m_stmt ? sqlite3_column_int64(m_stmt, column) : 0;
}

std::string SqliteStatement::text(int column) const
{
    if (!m_stmt)
        return {};
    const auto* bytes = sqlite3_column_text(m_stmt, column);
    const int size = sqlite3_column_bytes(m_stmt, column);
    return bytes ? std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size)) : std::string();
}

std::string SqliteStatement::blob(int column) const
{
    if (!m_stmt)
        return {};
    const void* bytes = sqlite3_column_blob(m_stmt, column);
    const int size = sqlite3_column_bytes(m_stmt, column);
    return bytes ? std::string(static_cast<const char*>(bytes), static_cast<std::size_t>(size)) : std::string();
}

SqliteTransaction::SqliteTransaction(SqliteDatabase& db) : m_db(db)
{
    m_nested = sqlite3_get_autocommit(m_db.handle()) == 0;
    m_open = m_db.exec(m_nested ? "SAVEPOINT part" : "BEGIN IMMEDIATE");
}

SqliteTransaction::~SqliteTransaction()
{
    if (m_open) {
        const std::string error = m_db.error();
        m_db.exec(m_nested ? "ROLLBACK TO part; RELEASE part" : "ROLLBACK");
        m_db.setError(error); // the reason of the failure, not of the rollback
    }
}

bool SqliteTransaction::commit()
{
    if (!m_open)
        return false;
    m_open = false;
    if (m_db.exec(m_nested ? "RELEASE part" : "COMMIT"))
        return true;
    const std::string error = m_db.error();
    m_db.exec(m_nested ? "ROLLBACK TO part; RELEASE part" : "ROLLBACK");
    m_db.setError(error);
    return false;
}

} // namespace darv::similar
