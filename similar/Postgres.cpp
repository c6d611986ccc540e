// libpq calls behind the wrapper.
#include "similar/Postgres.h"

#include <libpq-fe.h>

#include <algorithm>
#include <charconv>

namespace darv::similar {

namespace {

// libpq's messages run over lines ("...failed: ...\n\tIs the server running...?"): one line of them.
std::string oneLine(std::string text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n') {
            out += text[i];
            continue;
        }
        while (i + 1 < text.size() && (text[i + 1] == '\t' || text[i + 1] == ' '))
            ++i;
        if (i + 1 < text.size())
            out += ' ';
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

} // namespace

bool holdsPassword(const std::string& conninfo)
{
    PQconninfoOption* options = PQconninfoParse(conninfo.c_str(), nullptr);
    if (!options)
        return true;
    bool found = false;
    for (const PQconninfoOption* option = options; option->keyword; ++option)
        if (std::string_view(option->keyword) == "password" && option->val && *option->val)
            found = true;
    PQconninfoFree(options);
    return found;
}

void PgResult::Clear::operator()(pg_result* result) const
{
    PQclear(result);
}

int PgResult::rows() const
{
    return PQntuples(m_result.get());
}

bool PgResult::isNull(int row, int column) const
{
    return PQgetisnull(m_result.get(), row, column) != 0;
}

std::string PgResult::text(int row, int column) const
{
    return std::string(PQgetvalue(m_result.get(), row, column),
                       static_cast<std::size_t>(PQgetlength(m_result.get(), row, column)));
}

std::int64_t PgResult::integer(int row, int column) const
{
    if (isNull(row, column))
        return 0;
    const std::string value = text(row, column);
    if (PQfformat(m_result.get(), column) == 1) {
        // Binary: a big-endian integer of 2, 4 or 8 bytes, sign-extended.
        if (value.size() != 2 && value.size() != 4 && value.size() != 8)
            return 0;
        std::uint64_t bits = static_cast<std::uint8_t>(value[0]) & 0x80 ? ~std::uint64_t{0} : 0;
        for (const char c : value)
            bits = (bits << 8) | static_cast<std::uint8_t>(c);
        return static_cast<std::int64_t>(bits);
    }
    std::int64_t number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    return error == std::errc() && end == value.data() + value.size() ? number : 0;
}

std::string PgResult::bytes(int row, int column) const
{
    if (PQfformat(m_result.get(), column) == 1)
        return text(row, column);
    std::size_t length = 0;
    unsigned char* raw =
        PQunescapeBytea(reinterpret_cast<const unsigned char*>(PQgetvalue(m_result.get(), row, column)), &length);
    if (!raw)
        return {};
    std::string out(reinterpret_cast<const char*>(raw), length);
    PQfreemem(raw);
    return out;
}

void PgConnection::Finish::operator()(pg_conn* conn) const
{
    PQfinish(conn);
}

bool PgConnection::connect(const std::string& conninfo)
{
    m_conn.reset(PQconnectdb(conninfo.c_str()));
    if (m_conn && PQstatus(m_conn.get()) == CONNECTION_OK) {
        // The server's notices ("role is already a member") are no failures: not printed.
        PQsetNoticeProcessor(
            m_conn.get(), [](void*, const char*) {}, nullptr);
        m_error.clear();
        return true;
    }
    const std::string reason = oneLine(m_conn ? PQerrorMessage(m_conn.get()) : "out of memory");
    m_conn.reset();
    m_error = "the server cannot be reached or refused the login: " + reason;
    return false;
}

bool PgConnection::failed(pg_result* result)
{
    const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
        m_error.clear();
        m_sqlState.clear();
        return false;
    }
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    m_sqlState = state ? state : "";
    m_error = oneLine(result ? PQresultErrorMessage(result) : PQerrorMessage(m_conn.get()));
    if (m_error.empty())
        m_error = "the server did not answer";
    return true;
}

bool PgConnection::exec(const std::string& sql)
{
    if (!m_conn) {
        m_error = "not connected";
        return false;
    }
    const std::unique_ptr<pg_result, PgResult::Clear> result(PQexec(m_conn.get(), sql.c_str()));
    return !failed(result.get());
}

bool PgConnection::copyIn(const std::string& sql, std::string_view rows)
{
    if (!m_conn) {
        m_error = "not connected";
        return false;
    }
    std::unique_ptr<pg_result, PgResult::Clear> started(PQexec(m_conn.get(), sql.c_str()));
    if (!started || PQresultStatus(started.get()) != PGRES_COPY_IN) {
        if (!failed(started.get()))
            m_error = "the statement is no COPY FROM STDIN";
        return false;
    }
    constexpr std::size_t kChunk = std::size_t{1} << 20;
    bool sent = true;
    for (std::size_t at = 0; sent && at < rows.size(); at += kChunk) {
        const std::size_t size = std::min(kChunk, rows.size() - at);
        sent = PQputCopyData(m_conn.get(), rows.data() + at, static_cast<int>(size)) == 1;
    }
    // A failed send ends the COPY with an error, so that the server keeps none of it.
    if (PQputCopyEnd(m_conn.get(), sent ? nullptr : "the rows could not be sent") != 1) {
        m_error = PQerrorMessage(m_conn.get());
        return false;
    }
    bool ok = true;
    while (pg_result* raw = PQgetResult(m_conn.get())) {
        const std::unique_ptr<pg_result, PgResult::Clear> result(raw);
        if (failed(result.get()))
            ok = false;
    }
    return ok;
}

std::optional<PgResult> PgConnection::query(const std::string& sql, const std::vector<PgValue>& values,
                                            bool binaryResults)
{
    if (!m_conn) {
        m_error = "not connected";
        return std::nullopt;
    }
    std::vector<const char*> data;
    std::vector<int> lengths;
    std::vector<int> formats;
    for (const PgValue& value : values) {
        data.push_back(value.kind == PgValue::Kind::Null ? nullptr : value.bytes.data());
        lengths.push_back(static_cast<int>(value.bytes.size()));
        formats.push_back(value.kind == PgValue::Kind::Bytes ? 1 : 0);
    }
    PgResult out;
    out.m_result.reset(PQexecParams(m_conn.get(), sql.c_str(), static_cast<int>(values.size()), nullptr, data.data(),
                                    lengths.data(), formats.data(), binaryResults ? 1 : 0));
    if (failed(out.m_result.get()))
        return std::nullopt;
    return out;
}

} // namespace darv::similar
