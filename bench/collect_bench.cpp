// A collection run over 300 drawings (copies of the corpus drawings) against the reader's own time for
// the same files: walking, recording and the comparison may add at most 30 percent.
#include "BenchSupport.h"
#include "app/CommandLine.h"
#include "dwg/Drawing.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

using darv::medianSeconds;

int main(int argc, char** argv)
{
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
    // 300 drawings, 30 students with 10 drawings each, in sub-folders of one location.
    std::vector<std::string> paths;
    std::uintmax_t bytes = 0;
    for (int k = 0; k < 300; ++k) {
        const fs::path folder = root / "class" / ("student" + std::to_string(k / 10));
        fs::create_directories(folder);
        const fs::path target = folder / ("drawing" + std::to_string(k) + ".dwg");
        fs::copy_file(sources[static_cast<std::size_t>(k) % sources.size()], target,
                      fs::copy_options::overwrite_existing);
        paths.push_back(target.string());
        bytes += fs::file_size(target);
    }
    std::FILE* locations = std::fopen((data / "projects" / "BENCH.prj").c_str(), "wb");
    std::fprintf(locations, "\"+%s\"\r\n", (root / "class").c_str());
    std::fclose(locations);

    std::size_t unreadable = 0;
    const double reader = medianSeconds(5, [&] {
        unreadable = 0;
        for (const std::string& path : paths)
            unreadable += dwg::readDrawingFile(path).ok() ? 0u : 1u;
    });
    int status = 0;
    const auto upper = [](const std::string& text) { return text; };
    const double run = medianSeconds(5, [&] {
        std::ostringstream out;
        std::ostringstream err;
        status = darv::runCommandLine({"collect", "BENCH", "--data", data.string(), "--entity", "LINE"}, "", upper, out,
                                      err);
    });
    fs::remove_all(root);

    std::printf("300 drawings, %.1f MB, %zu unreadable by this reader\n", static_cast<double>(bytes) / 1e6, unreadable);
    std::printf("reader alone: %.3f s (%.0f drawings/s, %.0f MB/s)\n", reader, 300.0 / reader,
                static_cast<double>(bytes) / 1e6 / reader);
    std::printf("collect run:  %.3f s (%.0f drawings/s), exit %d\n", run, 300.0 / run, status);
    std::printf("run / reader: %.2f (goal at most 1.3); share outside the reader: %.0f%%\n", run / reader,
                100.0 * (run - reader) / run);
    return 0;
}
