// Importing a Moodle download of 300 students with about 500 MB of drawings (copies of the corpus
// drawings, each made a student's own by a few bytes, so no two files are equal): the first import, the
// same download again (nothing changes), and a newer download in which 30 students handed in again.
// The goal: the first import in under 30 seconds.
//
//   submissions_bench [FOLDER]   works in FOLDER (default: a new folder under the temporary folder)
#include "submissions/SubmissionImport.h"

#include <archive.h>
#include <archive_entry.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kStudents = 300;
constexpr std::uint64_t kTargetBytes = 500ULL << 20;

std::vector<std::string> corpusDrawings()
{
    std::vector<std::string> drawings;
    std::error_code ec;
    for (const auto& item : fs::directory_iterator(DARV_CORPUS_DIR, ec)) {
        if (item.path().extension() != ".dwg")
            continue;
        std::ifstream in(item.path(), std::ios::binary);
        drawings.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (drawings.empty()) // no corpus: made-up drawings of typical size that do not compress
        for (int k = 0; k < 8; ++k) {
            std::string bytes(400000, '\0');
            std::uint32_t state = 2463534242u + static_cast<std::uint32_t>(k);
            for (char& c : bytes) {
                state ^= state << 13;
                state ^= state >> 17;
                state ^= state << 5;
                c = static_cast<char>(state & 0xff);
            }
            drawings.push_back(std::move(bytes));
        }
    return drawings;
}

// The download: one Moodle folder per student; resubmitted students (round > 0) get changed drawings.
bool writeDownload(const std::string& path, const std::vector<std::string>& drawings, int resubmitted)
{
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    if (archive_write_open_filename(a, path.c_str()) != ARCHIVE_OK) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), archive_error_string(a));
        archive_write_free(a);
        return false;
    }
    std::uint64_t total = 0;
    std::size_t next = 0;
    for (int s = 0; s < kStudents; ++s) {
        const std::string folder =
            "Student Nummer" + std::to_string(s) + "_" + std::to_string(100000 + s) + "_assignsubmission_file_/";
        const std::uint64_t share = kTargetBytes / kStudents;
        for (int k = 0; total < share * static_cast<std::uint64_t>(s + 1); ++k) {
            std::string bytes = drawings[next++ % drawings.size()];
            const std::string own = "student " + std::to_string(s) + " drawing " + std::to_string(k) +
                                    (s < resubmitted ? " handed in again" : "");
            bytes.replace(bytes.size() / 2, own.size(), own);
            archive_entry* entry = archive_entry_new();
            archive_entry_set_pathname(entry, (folder + "part" + std::to_string(k) + ".dwg").c_str());
            archive_entry_set_filetype(entry, AE_IFREG);
            archive_entry_set_perm(entry, 0644);
            archive_entry_set_size(entry, static_cast<la_int64_t>(bytes.size()));
            archive_entry_set_mtime(entry, 1700000000, 0);
            archive_write_header(a, entry);
            archive_write_data(a, bytes.data(), bytes.size());
            archive_entry_free(entry);
            total += bytes.size();
        }
    }
    const bool ok = archive_write_close(a) == ARCHIVE_OK;
    archive_write_free(a);
    return ok;
}

double timedImport(const std::string& archive, const std::string& data, darv::submissions::ImportReport& report)
{
    const auto start = std::chrono::steady_clock::now();
    report = darv::submissions::importSubmissions(archive, data, "BENCH");
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    const fs::path root = argc > 1
                              ? fs::path(argv[1])
                              : fs::temp_directory_path() / ("darv-submissions-bench-" + std::to_string(::getpid()));
    fs::create_directories(root / "data");
    const std::vector<std::string> drawings = corpusDrawings();
    const std::string first = (root / "download.zip").string();
    const std::string newer = (root / "newer.zip").string();
    if (!writeDownload(first, drawings, 0) || !writeDownload(newer, drawings, 30))
        return 2;
    const std::string data = (root / "data").string();

    darv::submissions::ImportReport report;
    const double seconds = timedImport(first, data, report);
    if (report.outcome != darv::submissions::ImportReport::Outcome::Imported) {
        std::fprintf(stderr, "%s\n", darv::submissions::importMessage(report).c_str());
        return 2;
    }
    std::printf("first import: %zu students, %zu files, %.0f MB unpacked from a %.0f MB archive: %.2f s (goal: "
                "under 30 s)\n",
                report.students, report.files, static_cast<double>(report.unpackedBytes) / (1 << 20),
                static_cast<double>(fs::file_size(first)) / (1 << 20), seconds);
    const double again = timedImport(first, data, report);
    std::printf("same download again: %.2f s (%s)\n", again,
                report.outcome == darv::submissions::ImportReport::Outcome::Unchanged ? "nothing changed"
                                                                                      : "changed: a fault");
    const double update = timedImport(newer, data, report);
    std::printf("newer download, 30 students handed in again: %.2f s (%zu replaced, %zu unchanged)\n", update,
                report.replaced.size(), report.unchanged);
    std::error_code ec;
    if (argc <= 1)
        fs::remove_all(root, ec);
    return seconds < 30 ? 0 : 1;
}
