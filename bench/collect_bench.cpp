// A collection run over 300 drawings (copies of the corpus drawings) against the reader's own time for
// the same files: walking, recording and display may add at most 30 percent. Each side runs in a fresh
// process of its own, as the command line does, so neither inherits the other's heap.
//
//   collect_bench [CORPUS]            prepares the drawings, times both sides, prints the figures
//   collect_bench --read DATA         (used by the above) reads every drawing of the location once
//   collect_bench --collect DATA      (used by the above) one "collect" on the data folder
//   collect_bench --compare DATA      (used by the above) one "compare" on the data folder
#include "app/CommandLine.h"
#include "drawing/Drawing.h"
#include "projects/FolderListing.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const auto kSameName = [](const std::string& text) { return text; };

int readAll(const std::string& data)
{
    std::size_t unreadable = 0;
    darv::WalkCallbacks walk;
    walk.drawing = [&](const darv::WalkStep& step) {
        unreadable += dwg::readDrawingFile(step.fullPath).ok() ? 0u : 1u;
    };
    darv::walkDrawings({"+" + (fs::path(data).parent_path() / "class").string()}, walk);
    return unreadable == 0 ? 0 : 3;
}

int command(const std::string& name, const std::string& data)
{
    std::ostringstream out;
    std::ostringstream err;
    return darv::runCommandLine({name, "BENCH", "--data", data, "--entity", "LINE"}, "", kSameName, out, err);
}

// The median CPU seconds (user + system) of a few runs of this program in the given mode.
double childSeconds(const char* mode, const std::string& data, int& status)
{
    std::vector<double> times;
    for (int k = 0; k < 7; ++k) {
        const pid_t child = ::fork();
        if (child == 0) {
            ::execl("/proc/self/exe", "collect_bench", mode, data.c_str(), static_cast<char*>(nullptr));
            std::_Exit(127);
        }
        int childStatus = 0;
        rusage usage{};
        ::wait4(child, &childStatus, 0, &usage);
        status = WIFEXITED(childStatus) ? WEXITSTATUS(childStatus) : -1;
        const auto seconds = [](const timeval& t) {
            return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
        };
        times.push_back(seconds(usage.ru_utime) + seconds(usage.ru_stime));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--read")
        return readAll(argv[2]);
    if (argc == 3 && (std::string(argv[1]) == "--collect" || std::string(argv[1]) == "--compare"))
        return command(std::string(argv[1]).substr(2), argv[2]);

    const fs::path corpus = argc > 1 ? fs::path(argv[1]) : fs::path(DARV_CORPUS_DIR);
    std::vector<fs::path> sources;
    for (const auto& entry : fs::directory_iterator(corpus))
        if (entry.path().extension() == ".dwg")
            sources.push_back(entry.path());
    std::sort(sources.begin(), sources.end());
    if (sources.empty()) {
        std::fprintf(stderr, "no drawings in %s\n", corpus.c_str());
        return 2;
    }
    const fs::path root = fs::temp_directory_path() / ("darv-collect-bench-" + std::to_string(::getpid()));
    const fs::path data = root / "data";
    for (const char* sub :
         {"projects", "compares", "time conflicts", "handle conflicts", "date conflicts", "resources"})
        fs::create_directories(data / sub);
    // 300 drawings: 30 students with 10 drawings each, in sub-folders of one location.
    std::uintmax_t bytes = 0;
    for (int k = 0; k < 300; ++k) {
        const fs::path folder = root / "class" / ("student" + std::to_string(k / 10));
        fs::create_directories(folder);
        const fs::path target = folder / ("drawing" + std::to_string(k) + ".dwg");
        fs::copy_file(sources[static_cast<std::size_t>(k) % sources.size()], target,
                      fs::copy_options::overwrite_existing);
        bytes += fs::file_size(target);
    }
    std::FILE* locations = std::fopen((data / "projects" / "BENCH.prj").c_str(), "wb");
    std::fprintf(locations, "\"+%s\"\r\n", (root / "class").c_str());
    std::fclose(locations);

    int readStatus = 0;
    int collectStatus = 0;
    int compareStatus = 0;
    const double reader = childSeconds("--read", data.string(), readStatus);
    const double run = childSeconds("--collect", data.string(), collectStatus);
    const double compare = childSeconds("--compare", data.string(), compareStatus);
    fs::remove_all(root);

    std::printf("300 drawings, %.1f MB%s (CPU seconds, median of 7 fresh processes)\n",
                static_cast<double>(bytes) / 1e6, readStatus == 0 ? "" : ", some unreadable");
    std::printf("reader alone: %.3f s (%.0f drawings/s, %.0f MB/s)\n", reader, 300.0 / reader,
                static_cast<double>(bytes) / 1e6 / reader);
    std::printf("collect run:  %.3f s (%.0f drawings/s), exit %d\n", run, 300.0 / run, collectStatus);
    std::printf("run / reader: %.2f (goal at most 1.3); share outside the reader: %.0f%%\n", run / reader,
                100.0 * (run - reader) / run);
    std::printf("of which the comparison (a compare on the same data): %.3f s\n", compare);
    return 0;
}
