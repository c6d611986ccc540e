// The folder listing shared by the drawing count, the collection walk and the recount.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace darv {

// Which files are drawings: "*.dwg", or "*.dwg" and "*.dxf" (for the readers that take both).
enum class DrawingTypes { Dwg, DwgAndDxf };

// Names of the drawings directly in a folder: regular files (or links to them) whose name ends in
// ".dwg" (or ".dxf") in any letter case, hidden files (name starting with ".") left out, sorted without
// regard to case, then by bytes. Empty optional when the folder cannot be listed.
std::optional<std::vector<std::string>> listDrawingFiles(const std::string& folder,
                                                         DrawingTypes types = DrawingTypes::Dwg);

// Names of the immediate sub-folders of a folder, hidden ones left out, in the same order.
std::optional<std::vector<std::string>> listSubfolders(const std::string& folder);

// A folder path joined with a name, without doubling the separator at a root such as "/".
std::string joinPath(const std::string& folder, const std::string& name);

// The sort order of every listing.
bool listingLess(const std::string& a, const std::string& b);

// A folder that exists but could not be listed (no permission, an I/O error): its drawings are
// unknown, so a run over it is no all-clear. A folder that does not exist is no such folder.
struct UnlistedFolder
{
    std::string folder;
    std::string reason; // the system's reason
};

// Why a folder cannot be listed, or empty when it can or does not exist.
std::string unlistedReason(const std::string& folder);

// "The folders ... could not be read" with every folder and its reason, for the warnings of a run.
std::string unlistedFoldersText(const std::vector<UnlistedFolder>& folders);

enum class CountFailure {
    Stop, // the count stops at the first folder that cannot be listed and reports the failure
    Skip, // such a folder adds nothing and the count goes on
};

struct DrawingCount
{
    std::int64_t total = 0;
    bool failed = false;                  // only with CountFailure::Stop
    std::vector<UnlistedFolder> unlisted; // with CountFailure::Skip: the folders that exist but could not be listed
};

// Counts the drawings of location entries ("+" marker: the folder and its immediate sub-folders;
// any other marker: the folder alone). A folder listed twice is counted twice.
DrawingCount countDrawings(const std::vector<std::string>& entries, CountFailure onFailure);

struct WalkStep
{
    std::size_t location = 0; // index of the entry in the list
    std::string fullPath;     // path of the drawing
    std::string fileName;     // name without folder
    std::string shownName;    // what the window shows while the drawing is read
};

struct WalkCallbacks
{
    std::function<void(std::size_t location, const std::string& folder, bool withSubfolders)> locationStarted;
    std::function<void(const WalkStep& step)> drawing;
    std::function<void(std::size_t location)> locationFinished;
    std::function<void(const UnlistedFolder& folder)> folderUnlisted;
};

// Visits every drawing of the entries in walk order: for each entry, the drawings directly in its
// folder, then for a "+" entry each immediate sub-folder's drawings. Folders that cannot be listed
// contribute nothing; those that exist are told to folderUnlisted.
void walkDrawings(const std::vector<std::string>& entries, const WalkCallbacks& callbacks,
                  DrawingTypes types = DrawingTypes::Dwg);

// "0000" pattern: at least four digits, leading zeros.
std::string counterText(std::int64_t value);

} // namespace darv
