// The collection run: count the project's drawings, read each one through the CAD host into one record
// of the collected-data file, then compare.
#pragma once

#include "base/AtomicFile.h"
#include "collect/CadHost.h"
#include "collect/CollectView.h"
#include "compare/CompareOptions.h"
#include "compare/CompareRun.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace darv {

// What became of one drawing, for the command line's progress lines.
struct DrawingOutcome
{
    std::string path;
    bool opened = false;
    std::string failure;               // why it could not be read
    std::vector<std::string> warnings; // what was found damaged: it was read only in part
    std::size_t entities = 0;
    std::size_t matches = 0;
    std::optional<double> created;
};

enum class CollectOutcome {
    Fatal,   // the old collected-data file could not be deleted; the application ends
    Stopped, // the project name is unusable, or the collected data could not be written: told, nothing compared
    Busy,    // another run works on the project: told, nothing touched
    Compared,
};

struct CollectResult
{
    CollectOutcome outcome = CollectOutcome::Compared;
    std::int64_t drawingCount = 0;
    std::int64_t walked = 0;
    CompareResult compare;
};

class CollectionRun
{
public:
    // upperCase turns a file name into upper case by Unicode rules (the caller has a library for it).
    CollectionRun(CollectView& view, CompareRun& compare, CadHost& host,
                  std::function<std::string(const std::string&)> upperCase);

    // Collects the given project: its location entries ("+" or "-" then a folder path).
    CollectResult collect(const std::string& installLoc, const std::string& project,
                          const std::vector<std::string>& locations, const CompareOptions& options);

    // Called after every drawing with what was read.
    std::function<void(const DrawingOutcome&)> drawingRead;

private:
    DrawingOutcome readDrawing(const std::string& path, const std::string& fileName, AtomicFile& dataFile,
                               const std::string& entity);

    CollectView& m_view;
    CompareRun& m_compare;
    CadHost& m_host;
    std::function<std::string(const std::string&)> m_upperCase;
};

// Checks before a run that the collected-data file can be replaced at its end. A file that is not
// there is fine when its folder is; otherwise the text says why not (a read-only file counts as one
// that cannot be replaced).
std::optional<std::string> checkCollectedDataReplaceable(const std::string& path);

} // namespace darv
