// Imports a learning platform's download archive into the data folder's submissions/NAME/: one folder
// per student with every drawing directly in it, and the manifest import.json. The archive is unpacked
// into a hidden folder beside the target, and only a complete import takes the target's place: an
// import that stops leaves the earlier one as it was.
#pragma once

#include "submissions/ArchiveUnpack.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace darv::submissions {

struct ImportReport
{
    enum class Outcome {
        Imported,  // the target now holds the download
        Unchanged, // the download holds nothing new: nothing on the disk changed
        Stopped,   // nothing changed; see reason
    };
    Outcome outcome = Outcome::Stopped;
    std::string reason; // Stopped: why
    std::string archive;
    std::string target;              // submissions/NAME
    std::uint64_t unpackedBytes = 0; // everything the archive gave before the import ended or stopped
    std::size_t students = 0;
    std::size_t files = 0;             // the files of this download placed (stand-ins of unreadable drawings too)
    std::vector<std::string> added;    // "student folder/file", new in this import
    std::vector<std::string> replaced; // changed since the earlier import
    std::size_t unchanged = 0;         // left untouched on the disk
    std::vector<std::string> kept;     // earlier downloads held them, this one does not: kept
    std::vector<SkippedEntry> skipped; // not imported, with the reason
};

// The caller holds the project's lock. project must be a usable project name.
ImportReport importSubmissions(const std::string& archive, const std::string& installLoc, const std::string& project,
                               const ImportLimits& limits = {});

// The message for the teacher: what was imported, skipped and changed, or why nothing was.
std::string importMessage(const ImportReport& report);

} // namespace darv::submissions
