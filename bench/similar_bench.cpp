// Figures of the similarity check, each measured in a fresh process pinned to the cores it may use:
// reading a class of 300 drawings into the store on one core and on two (real corpus drawings through the
// reader, and generated drawings the size of the largest corpus drawing), a rerun with nothing changed, the
// check over the class, and 300 new drawings against 50,000 stored drawings of earlier years (time, peak
// memory, store size per drawing); and the strange drawings whose work once grew with their square, each a DXF
// file read by the reader in a whole run: 40,000 points on one vertical line, one million points, and two copies
// of a 10 MB drawing of 290,000 texts.
//
//   similar_bench           all figures (builds the 50,000 stored drawings first: a few minutes)
//   similar_bench --quick   5,000 stored drawings instead of 50,000
//   similar_bench --strange only the strange drawings
#include "base/DataFolder.h"
#include "projects/QuotedLinesFile.h"
#include "similar/ClassFolder.h"
#include "similar/ClassReading.h"
#include "similar/EntityBlob.h"
#include "similar/FeatureBlob.h"
#include "similar/GeneratedClass.h"
#include "similar/PropertiesJson.h"
#include "similar/Rarity.h"
#include "similar/SimilarRun.h"
#include "similar/SqliteEvidenceStore.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <malloc.h>
#include <sched.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace darv;
using namespace darv::similar;
using Clock = std::chrono::steady_clock;

namespace {

struct Timing
{
    double reading = 0;    // start of the run to the last drawing stored
    double total = 0;      // the whole run: reading, comparing, the report
    double readingCpu = 0; // processor time of all threads while reading
    std::size_t pairs = 0;
    std::size_t earlierPairs = 0;
    long peakKb = 0;
    double cpu =
        0; // processor time of the whole child process (on a shared machine, closer to a quiet one's wall time)
    bool ok = false;
};

// Runs work in a child process allowed on the first `cores` CPUs, and returns its figures.
Timing inChild(int cores, const std::function<Timing()>& work)
{
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        cpu_set_t set;
        CPU_ZERO(&set);
        for (std::size_t c = 0; c < static_cast<std::size_t>(cores); ++c)
            CPU_SET(c, &set);
        ::sched_setaffinity(0, sizeof set, &set);
        Timing t = work();
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        t.peakKb = usage.ru_maxrss;
        t.cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        [[maybe_unused]] const auto written = ::write(pipeEnds[1], &t, sizeof t);
        std::_Exit(0);
    }
    Timing t;
    ::close(pipeEnds[1]);
    if (::read(pipeEnds[0], &t, sizeof t) != sizeof t)
        t.ok = false;
    ::close(pipeEnds[0]);
    ::waitpid(child, nullptr, 0);
    return t;
}

double processorSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

Timing timedRun(const std::string& data, const std::string& project, const SimilarOptions& options,
                const DrawingSource& source)
{
    const std::atomic<bool> cancel{false};
    const auto start = Clock::now();
    const double startCpu = processorSeconds();
    auto lastStored = start;
    double lastStoredCpu = startCpu;
    SimilarRun run(data, project, options, source);
    run.progress = [&](const SimilarProgress&) {
        lastStored = Clock::now();
        lastStoredCpu = processorSeconds();
    };
    const SimilarResult result = run.run(cancel);
    Timing t;
    t.total = std::chrono::duration<double>(Clock::now() - start).count();
    t.reading = std::chrono::duration<double>(lastStored - start).count();
    t.readingCpu = lastStoredCpu - startCpu;
    t.pairs = result.pairs.size();
    for (const SimilarPair& pair : result.pairs)
        t.earlierPairs += pair.b.project != project ? 1u : 0u;
    t.ok = result.outcome == SimilarOutcome::Complete;
    if (!t.ok)
        std::fprintf(stderr, "run failed: %s\n", result.message.c_str());
    return t;
}

void removeStore(const std::string& data)
{
    for (const char* suffix : {"", "-wal", "-shm"})
        fs::remove(evidenceStorePath(data) + suffix);
}

// Reading the drawings into the store (reading, storing, indexing; no comparison), as the run does it.
Timing readIntoStore(const std::string& data, const std::vector<std::string>& paths, unsigned threads,
                     const DrawingSource& source)
{
    Timing t;
    const auto start = Clock::now();
    const double startCpu = processorSeconds();
    SqliteEvidenceStore store;
    const auto project = store.open(evidenceStorePath(data)) ? store.addProject("BENCH") : std::nullopt;
    if (!project)
        return t;
    std::vector<ListedDrawing> listed;
    for (const std::string& path : paths)
        listed.push_back({path, path});
    const std::atomic<bool> cancel{false};
    auto lastStored = start;
    const auto stored = [&](const SimilarProgress&) { lastStored = Clock::now(); };
    const ClassReading reading =
        readClass(store, *project, "BENCH", listed, TemplateSet(), source, threads, stored, cancel);
    t.total = std::chrono::duration<double>(Clock::now() - start).count();
    t.reading = std::chrono::duration<double>(lastStored - start).count();
    t.readingCpu = processorSeconds() - startCpu;
    t.ok = reading.state == ClassReading::State::Complete && reading.members.size() == paths.size();
    return t;
}

// The best of three readings into an empty store, on `cores` cores with as many reading threads.
Timing freshReading(const std::string& data, const std::vector<std::string>& paths, int cores,
                    const DrawingSource& source)
{
    Timing best;
    for (int round = 0; round < 3; ++round) {
        removeStore(data);
        const Timing t =
            inChild(cores, [&] { return readIntoStore(data, paths, static_cast<unsigned>(cores), source); });
        if (round == 0 || t.total < best.total)
            best = t;
    }
    return best;
}

// What the worker threads do for each drawing, alone and in one thread: the part of reading that two cores
// share. The rest of the one-core time is done in order on the run's own thread.
double parallelPart(const std::vector<std::string>& paths, const DrawingSource& source)
{
    const TemplateSet none;
    const auto start = Clock::now();
    for (const std::string& path : paths) {
        const dwg::ReadResult read = source(path);
        if (!read.ok())
            continue;
        const DrawingFeatures features = deriveFeatures(*read.drawing, none);
        const std::string bytes = encodeProperties(*read.drawing) + encodeEntities(read.drawing->entities);
        if (bytes.empty() || features.indexTokens().empty())
            std::printf(" ");
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The measured speed-up of reading into an empty store, and what two free cores give by the measured parts of
// the one-core run: the workers' part W and the run's own in-order part C (storing each drawing) overlap, on two
// cores they take at least max((W + C) / 2, C); what comes after the last drawing (indexing) A adds. This figure
// does not depend on what else the machine runs.
void printReading(const char* what, const Timing& one, const Timing& two, double workers)
{
    const double after = one.total - one.reading;
    const double inOrder = std::max(0.0, one.reading - workers);
    const double twoCores = std::max((workers + inOrder) / 2, inOrder) + after;
    std::printf("%s: 1 core %.3f s, 2 cores %.3f s, measured speed-up %.2fx (goal at least 1.6x; %.2f cores were "
                "free to it); workers %.3f s, in order %.3f s, after %.3f s: %.2fx on two free cores%s\n",
                what, one.total, two.total, one.total / two.total, two.readingCpu / two.total, workers, inOrder, after,
                one.total / twoCores, one.ok && two.ok ? "" : "  [A RUN FAILED]");
}

std::vector<std::string> classFiles(const std::string& folder)
{
    std::vector<std::string> paths;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            paths.push_back(entry.path().string());
    return paths;
}

void benchCorpusClass()
{
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(DARV_CORPUS_DIR))
        if (entry.path().extension() == ".dwg")
            files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        std::printf("corpus drawings: corpus not present\n");
        return;
    }
    test::TempFolder root;
    const std::string data = root.file("data");
    test::makeDataFolders(data);
    fs::create_directories(root.file("class"));
    for (int i = 0; i < 300; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "s%03d.dwg", i);
        fs::create_symlink(files[static_cast<std::size_t>(i) % files.size()], root.file("class/") + name);
    }
    if (!rewriteQuotedLines(locationFilePath(data, "CORPUS"), {"-" + root.file("class")}))
        throw std::runtime_error("the location file cannot be written");
    const std::vector<std::string> paths = classFiles(root.file("class"));
    const Timing one = freshReading(data, paths, 1, readForSimilarity);
    const Timing two = freshReading(data, paths, 2, readForSimilarity);
    const double parallel = inChild(1, [&] {
                                Timing t;
                                t.reading = parallelPart(paths, readForSimilarity);
                                return t;
                            }).reading;
    printReading("300 corpus drawings read into the store (the reader as it is today)", one, two, parallel);
}

void benchGeneratedClass()
{
    const test::Assignment assignment =
        test::corpusAssignment(std::string(DARV_CORPUS_DIR) + "/sample_AC1015.geometry.json");
    if (assignment.given.empty())
        return;
    test::ClassFolder folder;
    test::ClassGenerator generator(assignment, 77);
    std::vector<dwg::Drawing> students;
    for (int i = 0; i < 290; ++i) {
        students.push_back(generator.student(i));
        folder.add("CLASS", "student " + std::to_string(i), students.back());
    }
    for (int i = 0; i < 10; ++i) {
        test::CopyTrick trick;
        trick.move = {assignment.scale * (10 + i), 0, 0};
        folder.add("CLASS", "copier " + std::to_string(i),
                   generator.copy(students[static_cast<std::size_t>(i)], 400 + i, trick));
    }
    const std::vector<std::string> paths = classFiles(folder.root() + "/CLASS class");
    const Timing one = freshReading(folder.data(), paths, 1, folder.source());
    const Timing two = freshReading(folder.data(), paths, 2, folder.source());
    const double parallel = inChild(1, [&] {
                                Timing t;
                                t.reading = parallelPart(paths, folder.source());
                                return t;
                            }).reading;
    printReading("300 generated drawings of ~200 entities read into the store", one, two, parallel);
    removeStore(folder.data());
    SimilarOptions options;
    options.threads = 2;
    inChild(2, [&] { return timedRun(folder.data(), "CLASS", options, folder.source()); }); // fills the store
    Timing rerun;
    for (int round = 0; round < 3; ++round) {
        const Timing t = inChild(2, [&] { return timedRun(folder.data(), "CLASS", options, folder.source()); });
        if (round == 0 || t.total < rerun.total)
            rerun = t;
    }
    std::printf("rerun with nothing changed: reading %.3f s (goal under 0.2 s); the check over 300 drawings "
                "%.3f s (goal under 0.5 s); whole run %.3f s (processor %.3f s); %zu pairs reported (10 planted)\n",
                rerun.reading, rerun.total - rerun.reading, rerun.total, rerun.cpu, rerun.pairs);
}

std::string yearName(int p)
{
    return "BRACKET " + std::to_string(2000 + p);
}

// Earlier years straight into the store, as their own runs would have left them: drawings with their tokens,
// and each project's template and common tokens.
bool buildEarlierYears(const std::string& data, int projects, int perProject)
{
    SqliteEvidenceStore store;
    if (!store.open(evidenceStorePath(data))) {
        std::fprintf(stderr, "%s\n", store.error().c_str());
        return false;
    }
    test::ClassGenerator generator(test::bracketAssignment(1), 1000);
    TemplateSet templates;
    templates.add(generator.templateDrawing());
    for (int p = 0; p < projects; ++p) {
        const auto project = store.addProject(yearName(p));
        std::vector<DrawingFeatures> features;
        std::vector<std::int64_t> ids;
        for (int i = 0; i < perProject; ++i) {
            const dwg::Drawing d = generator.student(p * perProject + i);
            features.push_back(deriveFeatures(d, templates));
            const std::string shown = "class/student " + std::to_string(i) + "/bracket.dwg";
            const NewDrawing record{DrawingRole::Class,
                                    "/earlier/" + yearName(p) + "/" + shown,
                                    shown,
                                    FileStamp{1, 1},
                                    kSourceVersion,
                                    encodeProperties(d),
                                    encodeEntities(d.entities),
                                    templates.basis(),
                                    features.back().indexTokens(),
                                    encodeFeatures(features.back())};
            const auto id = store.saveDrawing(*project, record);
            if (!id)
                return false;
            ids.push_back(*id);
        }
        std::vector<const DrawingFeatures*> all;
        for (const DrawingFeatures& f : features)
            all.push_back(&f);
        const TokenCounts counts = countTokens(all);
        const Rarity rarity(counts, features.size(), 25, templates);
        TemplateSet excluded = templates;
        counts.forEach([&](std::uint64_t token, const TokenHolders& holders) {
            if (rarity.commonCount(holders.count))
                excluded.addToken(token);
        });
        if (!store.indexTokens(*project) || !store.saveExcluded(*project, excluded) || !store.setPresent(*project, ids))
            return false;
    }
    return true;
}

void benchEarlierYears(int stored)
{
    const int projects = 10, perProject = stored / projects;
    test::ClassFolder folder;
    const auto buildStart = Clock::now();
    const Timing built = inChild(2, [&] {
        Timing t;
        t.ok = buildEarlierYears(folder.data(), projects, perProject);
        return t;
    });
    if (!built.ok) {
        std::printf("earlier years: the store could not be built\n");
        return;
    }
    const double buildSeconds = std::chrono::duration<double>(Clock::now() - buildStart).count();
    std::uintmax_t storeBytes = 0;
    for (const char* suffix : {"", "-wal"}) {
        std::error_code ec;
        const auto size = fs::file_size(evidenceStorePath(folder.data()) + suffix, ec);
        storeBytes += ec ? 0 : size;
    }

    test::ClassGenerator generator(test::bracketAssignment(1), 1000);
    for (int i = 0; i < 290; ++i)
        folder.add("NOW", "student " + std::to_string(i), generator.student(1000000 + i));
    for (int p = 0; p < projects; ++p) {
        test::CopyTrick trick;
        trick.move = {-17.5 - p, 9.25, 0};
        folder.add("NOW", "copier " + std::to_string(p),
                   generator.copy(generator.student(p * perProject + 17), 2000000 + p, trick));
    }
    SimilarOptions options;
    options.threads = 2;
    for (int p = 0; p < projects; ++p)
        options.earlierProjects.push_back(yearName(p));
    const Timing t = inChild(2, [&] { return timedRun(folder.data(), "NOW", options, folder.source()); });
    std::printf("300 new drawings against %d stored drawings of %d earlier years: check %.3f s (goal under 5 s), "
                "whole run %.3f s (processor %.3f s), peak memory %.0f MB (goal under 1 GB), %zu pairs with earlier "
                "drawings (%d planted)%s\n",
                perProject * projects, projects, t.total - t.reading, t.total, t.cpu,
                static_cast<double>(t.peakKb) / 1024, t.earlierPairs, projects, t.ok ? "" : "  [THE RUN FAILED]");
    std::printf("store: %.1f MB for %d drawings of ~40 entities, %.1f kB per drawing (built in %.0f s)\n",
                static_cast<double>(storeBytes) / 1e6, perProject * projects,
                static_cast<double>(storeBytes) / 1e3 / (perProject * projects), buildSeconds);
}

// A DXF of the given entities (each its groups after "0 NAME"), with handles counting from 0x100.
std::string dxfFile(const std::vector<std::pair<std::string, std::string>>& entities)
{
    std::string text = "  0\nSECTION\n  2\nENTITIES\n";
    char handle[32];
    std::uint64_t next = 0x100;
    for (const auto& [name, groups] : entities) {
        std::snprintf(handle, sizeof handle, "%llX", static_cast<unsigned long long>(next++));
        text += "  0\n" + name + "\n  5\n" + handle + "\n  8\n0\n" + groups;
    }
    return text + "  0\nENDSEC\n  0\nEOF\n";
}

std::string pointGroups(double x, double y)
{
    char text[96];
    std::snprintf(text, sizeof text, " 10\n%g\n 20\n%g\n", x, y);
    return text;
}

// A project whose location holds the files, checked in a whole run (the reader, the store, the comparison,
// the report) in a fresh child process on two cores; then once more with nothing changed.
void benchStrange(const std::string& what, std::vector<std::pair<std::string, std::string>> files,
                  const std::string& goal)
{
    test::TempFolder root;
    const std::string data = root.file("data");
    test::makeDataFolders(data);
    fs::create_directories(root.file("class"));
    std::uintmax_t bytes = 0;
    for (const auto& [name, content] : files) {
        test::writeFile(root.file("class/" + name), content);
        bytes += content.size();
    }
    if (!rewriteQuotedLines(locationFilePath(data, "STRANGE"), {"-" + root.file("class")}))
        throw std::runtime_error("the location file cannot be written");
    // The child inherits what this process holds: the files' texts go first, so that its peak is the run's own.
    files.clear();
    files.shrink_to_fit();
    ::malloc_trim(0);
    SimilarOptions options;
    options.threads = 2;
    const Timing t = inChild(2, [&] { return timedRun(data, "STRANGE", options, readForSimilarity); });
    const Timing again = inChild(2, [&] { return timedRun(data, "STRANGE", options, readForSimilarity); });
    std::printf("%s (%.1f MB of DXF): whole run %.3f s (processor %.3f s), reading and storing %.3f s, the check "
                "%.3f s, peak memory %.0f MB, %zu pairs; rerun with nothing changed %.3f s (processor %.3f s), peak "
                "%.0f MB (%s)%s\n",
                what.c_str(), static_cast<double>(bytes) / 1e6, t.total, t.cpu, t.reading, t.total - t.reading,
                static_cast<double>(t.peakKb) / 1024, t.pairs, again.total, again.cpu,
                static_cast<double>(again.peakKb) / 1024, goal.c_str(), t.ok && again.ok ? "" : "  [A RUN FAILED]");
}

void benchStrangeDrawings()
{
    std::vector<std::pair<std::string, std::string>> line;
    for (int i = 0; i < 40000; ++i)
        line.emplace_back("POINT", pointGroups(250, 0.5 * i));
    benchStrange("40,000 points on one vertical line", {{"line.dxf", dxfFile(line)}}, "goal under 1 s");

    std::string millionText;
    {
        std::vector<std::pair<std::string, std::string>> million;
        million.reserve(1000000);
        for (int i = 0; i < 1000000; ++i)
            million.emplace_back("POINT", pointGroups(0.37 * (i % 1000), 0.53 * (i / 1000)));
        millionText = dxfFile(million);
    }
    benchStrange("1,000,000 points", {{"million.dxf", std::move(millionText)}}, "goal under 10 s and 1 GB");

    std::vector<std::pair<std::string, std::string>> texts;
    for (int i = 0; i < 290000; ++i) {
        char groups[128];
        std::snprintf(groups, sizeof groups, " 10\n%d\n 20\n%d\n 30\n0\n 40\n2.5\n  1\nPart %07d\n", i % 700, i / 700,
                      i);
        texts.emplace_back("TEXT", groups);
    }
    const std::string drawing = dxfFile(texts);
    benchStrange("two copies of a drawing of 290,000 texts", {{"anna.dxf", drawing}, {"bert.dxf", drawing}},
                 "goal: the check under 5 s");
}

} // namespace

int main(int argc, char** argv)
{
    const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
    if (argc > 1 && std::strcmp(argv[1], "--strange") == 0) {
        benchStrangeDrawings();
        return 0;
    }
    // Only the earlier years, against 5,000 stored drawings: a quick look at the check against an archive.
    if (argc > 1 && std::strcmp(argv[1], "--earlier") == 0) {
        benchEarlierYears(5000);
        return 0;
    }
    benchStrangeDrawings();
    benchCorpusClass();
    benchGeneratedClass();
    benchEarlierYears(quick ? 5000 : 50000);
    return 0;
}
