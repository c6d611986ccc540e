// A thin wrapper of libpq for a department's evidence store on a PostgreSQL server: a connection and results
// that close themselves, parameters sent apart from the SQL (never spliced into it), and failures as values with
// the server's message. Connection details follow libpq's own conventions (a URL or key=value string, PGSERVICE,
// ~/.pgpass, sslmode): nothing here stores a password.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct pg_conn;
struct pg_result;

namespace darv::similar {

// One value sent with a statement: text, bytes (bytea) or NULL.
struct PgValue
{
    enum class Kind { Null, Text, Bytes } kind = Kind::Null;
    std::string bytes;

    static PgValue text(std::string_view value) { return {Kind::Text, std::string(value)}; }
    static PgValue binary(std::string_view value) { return {Kind::Bytes, std::string(value)}; }
    static PgValue number(std::int64_t value) { return {Kind::Text, std::to_string(value)}; }
};

// Whether a connection address holds a password (password=..., or user:password@ in a URL), or cannot be read
// as an address at all: such an address is used, never kept.
bool holdsPassword(const std::string& conninfo);

class PgResult
{
public:
    int rows() const;
    bool isNull(int row, int column) const;
    std::string text(int row, int column) const;
    std::int64_t integer(int row, int column) const; // 0 for NULL or a value that is no integer
    // A bytea column returned in binary form (see PgConnection::query).
    std::string bytes(int row, int column) const;

private:
    friend class PgConnection;
    struct Clear
    {
        void operator()(pg_result* result) const;
    };
    std::unique_ptr<pg_result, Clear> m_result;
};

class PgConnection
{
public:
    PgConnection() = default;
    PgConnection(PgConnection&&) noexcept = default;
    PgConnection& operator=(PgConnection&&) noexcept = default;
    ~PgConnection() = default;

    // Connects with libpq's connection string or URL; false with error() telling why (the server's own words
    // for a refused login, "cannot be reached" with libpq's reason otherwise).
    bool connect(const std::string& conninfo);
    bool isOpen() const { return m_conn != nullptr; }
    // Runs statements without parameters or results (a schema, BEGIN, COMMIT); false with error() on failure.
    bool exec(const std::string& sql);
    // Runs one statement with $1, $2, ... bound to values; results come in binary form for bytea columns and as
    // text for the others. Empty optional with error() on failure.
    std::optional<PgResult> query(const std::string& sql, const std::vector<PgValue>& values = {},
                                  bool binaryResults = false);
    // Sends rows to a "COPY ... FROM STDIN" statement in COPY's text format (a bulk load); false with error() on
    // failure, when nothing of it is kept.
    bool copyIn(const std::string& sql, std::string_view rows);
    const std::string& error() const { return m_error; }
    // The SQLSTATE of the last failure ("42501" for a refused row, "40P01" for a deadlock), empty when none.
    const std::string& sqlState() const { return m_sqlState; }

private:
    struct Finish
    {
        void operator()(pg_conn* conn) const;
    };
    bool failed(pg_result* result);
    std::unique_ptr<pg_conn, Finish> m_conn;
    std::string m_error;
    std::string m_sqlState;
};

} // namespace darv::similar
