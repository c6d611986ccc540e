// The collection run: count the project's drawings, read each one through the CAD host into one record
// of the collected-data file, then compare.
#pragma once

#include "app/AtomicFile.h"
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
    std::int64_t totfiles = 0;
    std::int64_t walked = 0;
    CompareResult compare;
};

class CollectionRun
{
public:
    // upperCase turns a file name into upper case by Unicode rules (the caller has a library for it).
    CollectionRun(CollectView& view, CompareRun& compare, CadHost& host,
                  std::function<std::string(const std::string&)> upperCase);

    // cmdCollect_Click for the given project and location entries ("+" or "-" then a folder path).
    CollectResult cmdCollect_Click(const std::string& installLoc, const std::string& project,
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

// Deletes the collected-data file before a run. A file that is not there is fine; otherwise the text
// says why it could not be deleted (a read-only file counts as one that cannot be deleted).
std::optional<std::string> deleteCollectedData(const std::string& path);

} // namespace darv
