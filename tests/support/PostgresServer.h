// A PostgreSQL server of the test's own: a fresh cluster in a temporary folder, listening only on a socket there,
// started on construction and stopped (immediately) on destruction. As root the server runs as "nobody", since
// PostgreSQL refuses to run as root. No test talks to a server it did not start.
#pragma once

#include "support/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace darv::test {

class PostgresServer
{
public:
    PostgresServer()
    {
        const std::string bin = binFolder();
        if (bin.empty()) {
            m_reason = "PostgreSQL's server programs are not installed (the package postgresql)";
            return;
        }
        m_prefix = ::geteuid() == 0 ? "setpriv --reuid=nobody --regid=nogroup --clear-groups " : "";
        if (::geteuid() == 0 && std::system(("chown nobody:nogroup " + quoted(m_folder.path())).c_str()) != 0) {
            m_reason = "the server's folder cannot be given to nobody";
            return;
        }
        m_pgCtl = bin + "/pg_ctl";
        // The shell writes init.log; the server, as its own user, writes server.log.
        if (!run(quoted(bin + "/initdb") + " -D " + quoted(data()) + " -U darv_admin --auth=trust -E UTF8 " +
                 "--locale=C --no-sync > " + quoted(m_folder.file("init.log")) + " 2>&1")) {
            m_reason = "initdb failed: " + readFile(m_folder.file("init.log"));
            return;
        }
        // No TCP port: the socket in the folder only, and no fsync (the data are thrown away).
        const std::string options = "-k " + m_folder.path() + " -c listen_addresses= -p 5432 -F";
        if (!run(quoted(m_pgCtl) + " -D " + quoted(data()) + " -o " + quoted(options) + " -l " +
                 quoted(m_folder.file("server.log")) + " -w -t 60 start > /dev/null 2>&1")) {
            m_reason = "the server did not start: " + readFile(m_folder.file("server.log"));
            return;
        }
        m_running = true;
    }
    ~PostgresServer()
    {
        if (m_running)
            run(quoted(m_pgCtl) + " -D " + quoted(data()) + " -m immediate -w stop > /dev/null 2>&1");
    }
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    bool running() const { return m_running; }
    const std::string& reason() const { return m_reason; }
    // libpq's connection string for the administrator, or for another role, to a database of the cluster.
    std::string conninfo(const std::string& role = "darv_admin", const std::string& database = "postgres") const
    {
        return "host=" + m_folder.path() + " port=5432 user=" + role + " dbname=" + database;
    }
    // Where no server listens: for the tests of a server that cannot be reached.
    std::string unreachable() const { return "host=" + m_folder.file("nothing") + " port=5432 connect_timeout=2"; }

private:
    static std::string binFolder()
    {
        std::string found;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/postgresql", ec))
            if (std::filesystem::exists(entry.path() / "bin" / "initdb") && entry.path().string() > found)
                found = entry.path().string();
        return found.empty() ? found : found + "/bin";
    }
    static std::string quoted(const std::string& text)
    {
        std::string out = "'";
        for (const char c : text)
            out += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return out + "'";
    }
    std::string data() const { return m_folder.file("data"); }
    bool run(const std::string& command) const { return std::system((m_prefix + command).c_str()) == 0; }

    TempFolder m_folder;
    std::string m_prefix;
    std::string m_pgCtl;
    std::string m_reason;
    bool m_running = false;
};

} // namespace darv::test
