// What a similarity check is asked and what it finds: its options, the pairs with their signals, the
// drawings it could not read, its outcome and its progress. The run, the reading, the comparison, the
// report and the window all speak of these.
#pragma once

#include "drawing/Geometry.h"
#include "similar/Placement.h"
#include "similar/Signal.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace darv::similar {

struct SimilarOptions
{
    // Template drawings (absolute paths). Given, they replace the ones remembered for the project; empty
    // optional: the remembered ones.
    std::optional<std::vector<std::string>> templates;
    std::vector<std::string> earlierProjects; // other projects of the data folder, compared by their stored drawings
    double minScore = 50;                     // percent: pairs at or above it are reported
    double commonShare = 25;                  // percent: what more of the class holds is not evidence
    unsigned threads = 0;                     // reading threads; 0: one per core
    // Rebuild the evidence store before the run (see StoreRebuild.h): the damaged one is put aside, and every
    // project it held is read again from the drawings still on disk.
    bool rebuildStore = false;
    // The department server that keeps the evidence (its connection address in libpq's terms); empty: the store
    // in the data folder.
    std::string server;
};

struct DrawingName
{
    std::string path;      // full path as found on disk (for an earlier project's drawing: when it was stored)
    std::string shownName; // the path under its location with the location's folder, "class A/anna/bracket.dwg"
    std::string project;
    // The student's name as the learning platform gives it (the manifest of an import names the student's
    // folder); empty: the student is known by the folder's name.
    std::string studentName = {};
};

struct SimilarPair
{
    DrawingName a;                       // a drawing of the project
    DrawingName b;                       // a drawing of the project or of an earlier project
    double score = 0;                    // percent
    std::vector<Signal> fired;           // the signals that fired, strongest first
    std::optional<Placement> placement;  // where A's entities lie in B, when the moved geometry fired
    std::vector<std::uint64_t> handlesA; // entities the signals matched, to be marked
    std::vector<std::uint64_t> handlesB;
    std::vector<std::uint64_t> templateHandlesA; // the template's entities, never counted
    std::vector<std::uint64_t> templateHandlesB;
};

// Drawings of the class that began from one start drawing not named as a template (see StartDrawings.h).
struct StartDrawing
{
    std::string identity;              // the fingerprint or creation time they share
    std::vector<std::string> drawings; // shown names
};

struct UnreadDrawing
{
    std::string path;
    std::string shownName;
    std::string reason;
};

enum class SimilarOutcome {
    Complete,   // compared; the report is written
    Cancelled,  // stopped between drawings: the store holds whole drawings only, there is no result
    Busy,       // another run holds the project; nothing was touched
    Failed,     // see message; no result
    NoDrawings, // the project's locations hold no drawing
    // The evidence store is damaged (or, after a run that did not close it, failed its check): nothing was
    // compared, the earlier report stays; a rebuild (SimilarOptions::rebuildStore) is the way on.
    StoreDamaged,
};

// How far under the threshold a check keeps pairs for the window, and how many it keeps at most.
inline constexpr double kListedFloor = 10;
inline constexpr std::size_t kListedBelow = 500;

struct SimilarResult
{
    SimilarOutcome outcome = SimilarOutcome::Failed;
    std::string message;               // Busy, Failed, NoDrawings: for the user
    std::size_t drawings = 0;          // the project's drawings compared
    std::size_t earlierDrawings = 0;   // earlier projects' stored drawings compared with them
    std::vector<UnreadDrawing> unread; // not compared: the report says so
    // Damaged drawings read only in part (the reason names what could not be read): what could be read is
    // compared, but the class gets no all-clear.
    std::vector<UnreadDrawing> partial;
    std::vector<SimilarPair> pairs; // of two students, at or above the threshold, in cases (see Students.h)
    // Of one student's own drawings (a save-as, a second sheet), at or above the threshold, best first: shown
    // apart, never suspicious.
    std::vector<SimilarPair> sameStudent;
    std::vector<StartDrawing> startDrawings; // what they hold in common is left out like a template
    // The score (percent) of every pair of two students of the class that the check compared, reported or not:
    // the class's distribution. Pairs sharing too little to be compared are not in it.
    std::vector<double> scores;
    // Pairs of two students of the class under the threshold, down to kListedFloor and at most kListedBelow of
    // them, best first: what the window lists when its line is dragged lower. Never reported, never in the exit
    // status.
    std::vector<SimilarPair> below;
    double belowFloor = 100; // the score `below` was kept from (percent)
    std::string reportPath;
    std::vector<std::string> rebuilt; // after a rebuild: what it did, and what was lost (earlier projects' drawings)
};

struct SimilarProgress
{
    enum class State { Read, Unchanged, Unreadable };
    std::size_t index = 0; // 0-based, in the listing's order
    std::size_t count = 0;
    std::string path;
    std::string shownName;
    State state = State::Read;
    std::string failure; // Unreadable: why
};

} // namespace darv::similar
