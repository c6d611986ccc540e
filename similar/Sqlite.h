// A thin wrapper of the SQLite library: a connection and prepared statements that close themselves, and
// failures as values with SQLite's message.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace darv::similar {

class SqliteStatement;

class SqliteDatabase
{
public:
    SqliteDatabase() = default;
    SqliteDatabase(SqliteDatabase&& other) noexcept;
    SqliteDatabase& operator=(SqliteDatabase&& other) noexcept;
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;
    ~SqliteDatabase();

    // Opens (creating when missing) the database file; false with error() set on failure.
    bool open(const std::string& path);
    bool isOpen() const { return m_db != nullptr; }
    // Runs statements without results; false with error() set on failure.
    bool exec(const std::string& sql);
    const std::string& error() const { return m_error; }
    void setError(std::string error) { m_error = std::move(error); }
    std::string sqliteMessage() const;
    // The extended result code of the last failure (SQLITE_CORRUPT, SQLITE_BUSY, ...), 0 when none.
    int lastCode() const { return m_code; }
    void setCode(int code) { m_code = code; }
    // The last failure said the file is damaged or no database (SQLITE_CORRUPT, SQLITE_NOTADB).
    bool damaged() const;
    std::int64_t lastInsertId() const;
    // Writes the bytes into a column of an existing row, made of zeros of their size (bindZeroBlob), a megabyte at
    // a time: a large value then needs no copy of the whole row in memory. False with error() set on failure.
    bool writeBlob(const char* table, const char* column, std::int64_t row, std::string_view bytes);
    sqlite3* handle() const { return m_db; }

private:
    sqlite3* m_db = nullptr;
    std::string m_error;
    int m_code = 0;
};

class SqliteStatement
{
public:
    enum class Step { Row, Done, Failed };

    SqliteStatement(SqliteDatabase& db, std::string_view sql);
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;
    ~SqliteStatement();

    // False when the statement could not be prepared (a damaged or changed schema): every call is then a
    // no-op and step() fails with the reason, never touching a null statement.
    bool ok() const { return m_stmt != nullptr; }
    SqliteStatement& bind(int index, std::int64_t value);
    SqliteStatement& bind(int index, std::uint64_t value) { return bind(index, static_cast<std::int64_t>(value)); }
    SqliteStatement& bindText(int index, std::string_view value);
    SqliteStatement& bindBlob(int index, std::string_view value);
    // Without a copy: the bytes must stay as they are until the statement is reset (large records).
    SqliteStatement& bindBlobInPlace(int index, std::string_view value);
    // Zeros of that size, to be written by SqliteDatabase::writeBlob.
    SqliteStatement& bindZeroBlob(int index, std::uint64_t size);
    // Failed sets the database's error (also for a statement that could not be prepared or a value that could
    // not be bound).
    Step step();
    // Runs a statement without results to its end; false on failure.
    bool run();
    void reset();

    std::int64_t integer(int column) const;
    std::uint64_t unsignedInteger(int column) const { return static_cast<std::uint64_t>(integer(column)); }
    std::string text(int column) const;
    std::string blob(int column) const;

private:
    void bound(int rc);

    SqliteDatabase& m_db;
    sqlite3_stmt* m_stmt = nullptr;
    std::string m_failure;     // not prepared: why
    std::string m_bindFailure; // a value of this use could not be bound: why
};

// BEGIN IMMEDIATE ... COMMIT, or a savepoint inside a transaction already open; rolled back unless committed.
class SqliteTransaction
{
public:
    explicit SqliteTransaction(SqliteDatabase& db);
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;
    ~SqliteTransaction();

    bool ok() const { return m_open; }
    bool commit();

private:
    SqliteDatabase& m_db;
    bool m_open = false;
    bool m_nested = false;
};

} // namespace darv::similar
