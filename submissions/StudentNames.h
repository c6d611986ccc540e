// Who handed in a file of a download archive, told by the learning platform's naming, and the safe
// names the import gives folders and files.
#pragma once

#include <string>
#include <vector>

namespace darv::submissions {

struct Student
{
    std::string key;         // the same student in every download: "moodle:ID", "canvas:ID", "folder:NAME", "file:NAME"
    std::string folder;      // the student's folder (a safe name; numbered later when two students share it)
    std::string displayName; // as the platform writes it, Unicode kept
    std::string platformId;  // the platform's number for the student, or empty
    std::string platform;    // "moodle", "canvas", "folder" or "file"
    bool late = false;       // the platform marked the submission late
    std::vector<std::string> part; // the path inside the student's part of the archive (last: the file name)
};

// The student of an archive path (its components, the common wrapper folder already taken off):
// - a top folder "Firstname Lastname_123456_assignsubmission_file_" (Moodle), or a top-level file
//   "Firstname Lastname_123456_assignsubmission_file_NAME" (Moodle without folders);
// - a top-level file "lastnamefirstname[_late]_12345_67890_NAME" (Canvas);
// - any other top folder: one student per folder; any other top-level file: one student per file.
Student studentOf(const std::vector<std::string>& path);

// A name that is safe as one file or folder name: control characters, "/", "\", ":" and the other
// characters other systems refuse become "_", bytes that are not UTF-8 too; a leading "." (hidden),
// trailing dots and spaces, and reserved device names ("CON", "NUL", "COM1"...) are made harmless; at
// most 200 bytes, cut at a character; never empty.
std::string safeName(const std::string& name);

// The path inside a student's part folded into one file name: "parts/bracket.dwg" gives
// "parts - bracket.dwg", every component made safe.
std::string foldedName(const std::vector<std::string>& part);

// "bracket (2).dwg" for number 2: the numbered form of a name that clashes.
std::string numberedName(const std::string& name, int number);

// The components of an archive path split at "/" and "\"; empty and "." components dropped.
std::vector<std::string> pathComponents(const std::string& path);

// Why an archive path may not be unpacked (absolute, a drive letter, ".."), or empty when it may.
std::string unsafePathReason(const std::string& path);

// Whether a file name is one of the archive types students hand in (.zip, .7z, .tar, .tar.gz, .tgz,
// .tar.xz, .txz), in any letter case.
bool isArchiveName(const std::string& name);

// Whether a file name is a drawing's (.dwg, .dxf), in any letter case.
bool isDrawingName(const std::string& name);

} // namespace darv::submissions
