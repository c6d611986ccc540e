// The manifest import.json of a project's submissions: for every file its student, where it came from
// and its hash, and what the import skipped. Other parts read the students' display names from it.
#pragma once

#include "base/FileResult.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace darv::submissions {

struct ManifestFile
{
    std::string studentKey;   // the same student in every download ("moodle:123456")
    std::string student;      // the student's folder
    std::string file;         // the file's name in that folder
    std::string identity;     // the same file in every download: the student's key and the path in their part
    std::string displayName;  // the student's name as the platform writes it
    std::string platformId;   // the platform's number for the student, or empty
    std::string platform;     // "moodle", "canvas", "folder" or "file"
    std::string originalName; // the file's own name in the archive
    std::string archivePath;  // the whole path in the archive
    bool late = false;
    std::uint64_t size = 0;
    std::string sha256;
    bool inDownload = true;  // false: an earlier download held it, the latest does not (the file is kept)
    bool unreadable = false; // an empty stand-in for a drawing that could not be read (see skipped)
};

struct ManifestSkip
{
    std::string archivePath;
    std::string reason;
    std::string student; // the student's folder, when known
};

struct Manifest
{
    std::string project;
    std::string archive; // the download last imported
    std::vector<ManifestFile> files;
    std::vector<ManifestSkip> skipped;
};

std::string manifestPath(const std::string& submissionsFolder);

// The JSON text; names that are not UTF-8 are kept recoverable in an extra "...Base64" field.
std::string manifestJson(const Manifest& manifest);

// The manifest of a submissions folder; missing (error().missing) when there is none, an error when
// it cannot be read or is no manifest.
FileResult<Manifest> readManifest(const std::string& submissionsFolder);

// The display name of a student's folder (".../submissions/NAME/Anna Meier_123456" gives "Anna Meier")
// from the manifest beside it; empty optional when no manifest names that folder.
std::optional<std::string> studentDisplayName(const std::string& studentFolder);

// Every student folder of a submissions folder with its display name, from one reading of the manifest
// (for a report over a whole class); empty when there is no manifest that can be read.
std::map<std::string, std::string> studentDisplayNames(const std::string& submissionsFolder);

} // namespace darv::submissions
