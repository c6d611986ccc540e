// Figures of the department store on a PostgreSQL server of the bench's own (started in a temporary folder, on a
// socket, without fsync, and stopped at the end): an archive of earlier years bulk-loaded with COPY, then 300 new
// drawings checked against all of it, at each archive size given (the archive grows from one to the next); the
// server's size per stored drawing; 10 teachers checking their own classes against the archive at once, each
// against its time alone; and pg_amcheck over the database afterwards.
//
//   store_bench [STORED...]   archive sizes (default 50000 200000)
//
// The archive holds a few thousand distinct generated drawings; the others are their replicas with every token
// moved by a replica's own number, so that the token index holds every stored drawing's tokens (its size and
// depth are the archive's), while only the first copy of each drawing can match a new drawing's tokens.
#include "similar/ClassFolder.h"
#include "similar/DepartmentSchema.h"
#include "similar/DrawingFeatures.h"
#include "similar/EntityBlob.h"
#include "similar/FeatureBlob.h"
#include "similar/GeneratedClass.h"
#include "similar/Postgres.h"
#include "similar/PropertiesJson.h"
#include "similar/Rarity.h"
#include "similar/SimilarRun.h"
#include "support/PostgresServer.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace darv;
using namespace darv::similar;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kDistinct = 4000; // distinct generated drawings of the archive
constexpr int kYears = 20;      // the archive's projects, all named by --against
constexpr int kClients = 10;

struct Figures
{
    double seconds = 0;
    double reading = 0; // the start to the last drawing stored
    long peakKb = 0;
    std::size_t earlierPairs = 0;
    bool ok = false;
};

// The work in a child process, with its wall time, peak memory and pairs with earlier drawings.
pid_t startChild(int pipeEnd, const std::function<Figures()>& work)
{
    const pid_t child = ::fork();
    if (child == 0) {
        Figures f = work();
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        f.peakKb = usage.ru_maxrss;
        [[maybe_unused]] const auto written = ::write(pipeEnd, &f, sizeof f);
        std::_Exit(0);
    }
    return child;
}

Figures inChild(const std::function<Figures()>& work)
{
    int ends[2];
    if (::pipe(ends) != 0)
        return {};
    const pid_t child = startChild(ends[1], work);
    ::close(ends[1]);
    Figures f;
    if (::read(ends[0], &f, sizeof f) != sizeof f)
        f.ok = false;
    ::close(ends[0]);
    ::waitpid(child, nullptr, 0);
    return f;
}

std::string yearName(int y)
{
    return "BRACKET " + std::to_string(2000 + y);
}

std::string copyText(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        if (c == '\\' || c == '\t' || c == '\n' || c == '\r')
            out += '\\', out += (c == '\t' ? 't' : c == '\n' ? 'n' : c == '\r' ? 'r' : '\\');
        else
            out += c;
    }
    return out;
}

std::string copyBytes(std::string_view bytes)
{
    static const char* hex = "0123456789abcdef";
    std::string out = "\\\\x";
    out.reserve(bytes.size() * 2 + 3);
    for (const char c : bytes) {
        out += hex[static_cast<std::uint8_t>(c) >> 4];
        out += hex[static_cast<std::uint8_t>(c) & 15];
    }
    return out;
}

std::string packTokens(const std::vector<std::uint64_t>& tokens)
{
    std::string bytes;
    for (const std::uint64_t token : tokens)
        for (int shift = 0; shift < 64; shift += 8)
            bytes += static_cast<char>((token >> shift) & 0xFF);
    return bytes;
}

struct Distinct
{
    std::string properties, entities, features;
    std::vector<std::uint64_t> tokens;
};

class Archive
{
public:
    Archive() : m_generator(test::bracketAssignment(1), 1000)
    {
        m_templates.add(m_generator.templateDrawing());
        std::vector<DrawingFeatures> all;
        for (int i = 0; i < kDistinct; ++i) {
            const dwg::Drawing d = m_generator.student(i);
            all.push_back(deriveFeatures(d, m_templates));
            m_drawings.push_back({encodeProperties(d), encodeEntities(d.entities), encodeFeatures(all.back()),
                                  all.back().indexTokens()});
        }
        std::vector<const DrawingFeatures*> pointers;
        for (const DrawingFeatures& f : all)
            pointers.push_back(&f);
        const TokenCounts counts = countTokens(pointers);
        const Rarity rarity(counts, all.size(), 25, m_templates);
        m_excluded = m_templates;
        counts.forEach([&](std::uint64_t token, const TokenHolders& holders) {
            if (rarity.commonCount(holders.count))
                m_excluded.addToken(token);
        });
    }
    test::ClassGenerator& generator() { return m_generator; }

    // Stored drawings from..to (ids from + 1 ..), spread over the years, loaded with COPY in slices.
    bool load(PgConnection& db, int from, int to)
    {
        for (int start = from; start < to; start += 5000) {
            std::string drawings, tokens;
            for (int i = start; i < std::min(to, start + 5000); ++i) {
                const Distinct& d = m_drawings[static_cast<std::size_t>(i % kDistinct)];
                const std::uint64_t salt =
                    static_cast<std::uint64_t>(i / kDistinct) * std::uint64_t{0x9E3779B97F4A7C15};
                std::vector<std::uint64_t> own = d.tokens;
                for (std::uint64_t& t : own)
                    t ^= salt;
                const int year = i % kYears;
                const std::string id = std::to_string(i + 1), project = std::to_string(year + 1);
                const std::string shown = "class/student " + std::to_string(i) + "/bracket.dwg";
                drawings += id + "\tarchive\t" + project + "\t0\t" +
                            copyBytes("/earlier/" + yearName(year) + "/" + shown) + "\t" + copyText(shown) +
                            "\t1\t1\tt\t" + copyText(d.properties) + "\t" + copyBytes(d.entities) + "\t" +
                            std::to_string(static_cast<std::int64_t>(m_templates.basis())) + "\t" +
                            copyBytes(packTokens(own)) + "\tt\t" + std::to_string(kSourceVersion) + "\t" +
                            copyBytes(d.features) + "\t0\n";
                for (const std::uint64_t t : own)
                    tokens += std::to_string(static_cast<std::int64_t>(t)) + "\t" + project + "\t" + id + "\tarchive\n";
            }
            if (!db.copyIn("COPY drawing(id, owner, project, role, path, shown, size, mtime_ns, present, properties, "
                           "entities, token_basis, tokens, indexed, source_version, features, record_sum) FROM STDIN",
                           drawings) ||
                !db.copyIn("COPY token(hash, project, drawing, owner) FROM STDIN", tokens))
                return false;
        }
        // The teachers' own drawings are numbered above any archive this bench loads.
        return db.exec("SELECT setval('drawing_id_seq', greatest(last_value, 100000000)) FROM drawing_id_seq");
    }

    bool addYears(PgConnection& db)
    {
        std::string excluded;
        for (const std::uint64_t t : m_excluded.tokens())
            excluded += (excluded.empty() ? "" : ",") + std::to_string(static_cast<std::int64_t>(t));
        for (int y = 0; y < kYears; ++y) {
            const std::string id = std::to_string(y + 1);
            if (!db.exec("INSERT INTO project(id, owner, name, handle_seed, token_version) VALUES (" + id +
                         ", 'archive', '" + yearName(y) + "', " +
                         std::to_string(static_cast<std::int64_t>(m_excluded.handleSeed())) + ", " +
                         std::to_string(kTokenVersion) +
                         ");"
                         "INSERT INTO excluded(project, hash, owner) SELECT " +
                         id + ", unnest('{" + excluded + "}'::bigint[]), 'archive'"))
                return false;
        }
        return db.exec("SELECT setval('project_id_seq', 1000)");
    }

    // A class of `count` new drawings with one copy of an archived drawing per year among them.
    void newClass(test::ClassFolder& folder, const std::string& project, int count, int seed)
    {
        for (int i = 0; i < count - kYears / 2; ++i)
            folder.add(project, "student " + std::to_string(i), m_generator.student(seed + i));
        for (int y = 0; y < kYears / 2; ++y) {
            test::CopyTrick trick;
            trick.move = {-17.5 - y, 9.25, 0};
            folder.add(project, "copier " + std::to_string(y),
                       m_generator.copy(m_generator.student(y * 37 + 17), seed + 5000 + y, trick));
        }
    }

private:
    test::ClassGenerator m_generator;
    TemplateSet m_templates, m_excluded;
    std::vector<Distinct> m_drawings;
};

Figures check(const test::ClassFolder& folder, const std::string& project, const std::string& server)
{
    SimilarOptions options;
    options.threads = 2;
    options.server = server;
    for (int y = 0; y < kYears; ++y)
        options.earlierProjects.push_back("archive/" + yearName(y));
    const std::atomic<bool> cancel{false};
    const auto start = Clock::now();
    auto lastStored = start;
    SimilarRun run(folder.data(), project, options, folder.source());
    run.progress = [&](const SimilarProgress&) { lastStored = Clock::now(); };
    const SimilarResult result = run.run(cancel);
    Figures f;
    f.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    f.reading = std::chrono::duration<double>(lastStored - start).count();
    for (const SimilarPair& pair : result.pairs)
        f.earlierPairs += pair.b.project != project ? 1u : 0u;
    f.ok = result.outcome == SimilarOutcome::Complete;
    if (!f.ok)
        std::fprintf(stderr, "run failed: %s\n", result.message.c_str());
    return f;
}

// Processor time the whole machine has spent so far outside its idle time and outside niced processes (seconds):
// the clients' and the server's work together. From /proc/stat; 0 where it cannot be read.
double busySeconds()
{
    std::FILE* stat = std::fopen("/proc/stat", "r");
    if (!stat)
        return 0;
    unsigned long long user = 0, nice = 0, system = 0, idle = 0, iowait = 0, irq = 0, softirq = 0;
    const int read = std::fscanf(stat, "cpu %llu %llu %llu %llu %llu %llu %llu", &user, &nice, &system, &idle, &iowait,
                                 &irq, &softirq);
    std::fclose(stat);
    if (read != 7)
        return 0;
    return static_cast<double>(user + system + irq + softirq) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

std::int64_t scalar(PgConnection& db, const std::string& sql)
{
    const auto result = db.query(sql);
    return result && result->rows() ? result->integer(0, 0) : -1;
}

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each figure as soon as it is known
    std::vector<int> sizes;
    for (int a = 1; a < argc; ++a)
        sizes.push_back(std::atoi(argv[a]));
    if (sizes.empty())
        sizes = {50000, 200000};
    test::PostgresServer server;
    if (!server.running()) {
        std::fprintf(stderr, "no server: %s\n", server.reason().c_str());
        return 1;
    }
    PgConnection admin, db;
    std::string failure;
    if (!admin.connect(server.conninfo()) || !admin.exec("CREATE DATABASE dept") ||
        !db.connect(server.conninfo("darv_admin", "dept")) || !initDepartmentStore(db, failure)) {
        std::fprintf(stderr, "the store cannot be set up: %s %s\n", failure.c_str(), db.error().c_str());
        return 1;
    }
    for (int t = 0; t <= kClients; ++t) {
        const std::string role = "teacher" + std::to_string(t);
        if (!db.exec("CREATE ROLE " + role + " LOGIN") || !grantTeacher(db, role, failure))
            return 1;
    }
    if (!db.exec("CREATE ROLE archive") || !grantTeacher(db, "archive", failure))
        return 1;
    const auto buildStart = Clock::now();
    Archive archive;
    std::printf("%d distinct drawings generated in %.0f s\n", kDistinct,
                std::chrono::duration<double>(Clock::now() - buildStart).count());
    if (!archive.addYears(db))
        return 1;

    int stored = 0;
    for (const int size : sizes) {
        const auto loadStart = Clock::now();
        // A bulk load: the index's key and the references are built and checked once, after it.
        if (!db.exec("ALTER TABLE token DROP CONSTRAINT token_pkey; ALTER TABLE token DISABLE TRIGGER ALL;"
                     "ALTER TABLE drawing DISABLE TRIGGER ALL") ||
            !archive.load(db, stored, size) ||
            !db.exec("ALTER TABLE token ADD PRIMARY KEY (hash, project, drawing); ALTER TABLE token ENABLE TRIGGER "
                     "ALL; ALTER TABLE drawing ENABLE TRIGGER ALL") ||
            !db.exec("VACUUM ANALYZE")) {
            std::fprintf(stderr, "the archive cannot be loaded: %s\n", db.error().c_str());
            return 1;
        }
        stored = size;
        const double loadSeconds = std::chrono::duration<double>(Clock::now() - loadStart).count();
        const std::int64_t bytes = scalar(db, "SELECT pg_database_size('dept')");
        std::printf(
            "archive of %d drawings (%lld index entries) loaded in %.0f s; server %.0f MB, %.1f kB per drawing\n",
            stored, static_cast<long long>(scalar(db, "SELECT count(*) FROM token")), loadSeconds,
            static_cast<double>(bytes) / 1e6, static_cast<double>(bytes) / 1e3 / stored);
        test::ClassFolder folder;
        const std::string project = "NOW " + std::to_string(size);
        archive.newClass(folder, project, 300, 1000000);
        const Figures f = inChild([&] { return check(folder, project, server.conninfo("teacher0", "dept")); });
        std::printf("300 new drawings against %d stored: whole run %.2f s (goal under 5 s), of it reading and "
                    "storing the new drawings %.2f s, comparing %.2f s; client peak %.0f MB (goal under 1 GB), %zu "
                    "pairs with stored drawings (%d planted)%s\n",
                    stored, f.seconds, f.reading, f.seconds - f.reading, static_cast<double>(f.peakKb) / 1024,
                    f.earlierPairs, kYears / 2, f.ok ? "" : "  [THE RUN FAILED]");
    }

    // Ten teachers at once, each with a class of 100 against the whole archive; first each alone.
    std::vector<test::ClassFolder> folders(kClients);
    for (int t = 0; t < kClients; ++t)
        archive.newClass(folders[static_cast<std::size_t>(t)], "CLASS " + std::to_string(t), 100, 2000000 + t * 1000);
    const auto conninfo = [&](int t) { return server.conninfo("teacher" + std::to_string(t + 1), "dept"); };
    std::vector<double> alone(kClients);
    double aloneBusy = 0, aloneWall = 0;
    for (int t = 0; t < kClients; ++t) {
        const auto& folder = folders[static_cast<std::size_t>(t)];
        // The first run stores the class; the second, alone, is the one the crowd is measured against.
        inChild([&] { return check(folder, "CLASS " + std::to_string(t), conninfo(t)); });
        const double busyBefore = busySeconds();
        alone[static_cast<std::size_t>(t)] =
            inChild([&] { return check(folder, "CLASS " + std::to_string(t), conninfo(t)); }).seconds;
        aloneBusy += busySeconds() - busyBefore;
        aloneWall += alone[static_cast<std::size_t>(t)];
    }
    const double crowdBusyBefore = busySeconds();
    std::vector<int> ends(kClients);
    std::vector<pid_t> children;
    for (int t = 0; t < kClients; ++t) {
        int pipeEnds[2];
        if (::pipe(pipeEnds) != 0)
            return 1;
        auto& folder = folders[static_cast<std::size_t>(t)];
        children.push_back(
            startChild(pipeEnds[1], [&] { return check(folder, "CLASS " + std::to_string(t), conninfo(t)); }));
        ::close(pipeEnds[1]);
        ends[static_cast<std::size_t>(t)] = pipeEnds[0];
    }
    double worst = 0;
    bool allOk = true;
    for (int t = 0; t < kClients; ++t) {
        Figures f;
        allOk = ::read(ends[static_cast<std::size_t>(t)], &f, sizeof f) == sizeof f && f.ok && allOk;
        ::close(ends[static_cast<std::size_t>(t)]);
        ::waitpid(children[static_cast<std::size_t>(t)], nullptr, 0);
        const double ratio = f.seconds / alone[static_cast<std::size_t>(t)];
        worst = std::max(worst, ratio);
        std::printf("client %d: alone %.2f s, with 9 others %.2f s (%.1fx)\n", t + 1,
                    alone[static_cast<std::size_t>(t)], f.seconds, ratio);
    }
    std::printf("10 clients at once: the slowest took %.1fx its time alone (goal at most 2x on a free server)%s\n",
                worst, allOk ? "" : "  [A RUN FAILED]");
    // Where each run keeps more than one fifth of the machine's cores busy alone, ten at once cannot finish within
    // twice their time alone on any server: the processor time per run, alone and in the crowd, shows whether
    // the runs also wait for each other (locks, contention) beyond sharing the cores.
    const double crowdBusy = busySeconds() - crowdBusyBefore;
    const double cores = static_cast<double>(::sysconf(_SC_NPROCESSORS_ONLN));
    if (aloneBusy > 0 && aloneWall > 0)
        std::printf("processor time per run (clients and server): alone %.2f s, with 9 others %.2f s; a run alone "
                    "keeps %.2f of the %.0f cores busy, so ten at once need at least %.1fx their time alone here\n",
                    aloneBusy / kClients, crowdBusy / kClients, aloneBusy / aloneWall, cores,
                    kClients * aloneBusy / aloneWall / cores);

    const std::string socket = server.conninfo().substr(5, server.conninfo().find(' ') - 5);
    const std::string amcheck = "$(ls -d /usr/lib/postgresql/*/bin | tail -1)/pg_amcheck --install-missing "
                                "--heapallindexed -h '" +
                                socket + "' -p 5432 -U darv_admin dept > /dev/null 2>&1";
    std::printf("pg_amcheck over the database: %s\n", std::system(amcheck.c_str()) == 0 ? "clean" : "PROBLEMS FOUND");
    return 0;
}
