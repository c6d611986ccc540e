// Unpacks a download archive (ZIP, 7z, tar with gzip or xz) and the archives students put in it into
// a staging folder, entry by entry, refusing what could write elsewhere and stopping at the limits
// against archive bombs. Nothing is written outside the staging folder: every file gets a numbered
// name there, whatever the archive calls it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace darv::submissions {

// The limits against archive bombs. Reaching one stops the whole import.
struct ImportLimits
{
    std::uint64_t maxTotalBytes = 4ULL << 30; // everything unpacked together: 4 GiB
    double maxRatio = 200;                    // unpacked size to the archive's size
    std::uint64_t ratioFloor = 1ULL << 20;    // the ratio counts once more than 1 MiB is unpacked
    std::uint64_t maxEntries = 100000;        // entries of the archive and the archives in it
    int maxDepth = 2;                         // the download (1) and the students' archives in it (2)
};

struct StagedFile
{
    std::vector<std::string> outer; // path in the download; for a file of a student's archive, that archive's path
    std::vector<std::string> inner; // path inside the student's archive; empty for a file of the download
    std::string archivePath;        // as shown: "outer/path", or "outer/work.zip/inner/path"
    std::string staged;             // where it lies in the staging folder
    std::uint64_t size = 0;
    std::string sha256;
    std::int64_t mtime = 0; // seconds since 1970 as the archive gives them, 0 when unknown
};

struct SkippedEntry
{
    std::vector<std::string> outer; // as in StagedFile; empty when the path itself was refused
    std::vector<std::string> inner;
    std::string archivePath;
    std::string reason;
    // A drawing, or a student's archive that may hold drawings, that was there but could not be read
    // (encrypted, damaged, nested too deep): the import stands in for it with a drawing that cannot be read.
    bool unreadableDrawing = false;
};

struct Unpacked
{
    bool stopped = false;
    std::string reason;              // why it stopped
    std::uint64_t unpackedBytes = 0; // everything written, also of what was dropped again
    std::vector<StagedFile> files;
    std::vector<SkippedEntry> skipped;
};

// Unpacks archive into stagingFolder (which must exist and be empty).
Unpacked unpackArchive(const std::string& archive, const std::string& stagingFolder, const ImportLimits& limits);

} // namespace darv::submissions
