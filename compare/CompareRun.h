// The comparison run: Recompare (cmdCompare_Click) and the run proper (RunCompare), told to a view.
#pragma once

#include "compare/CompareClock.h"
#include "compare/CompareOptions.h"
#include "compare/CompareView.h"
#include "projects/FolderListing.h"
#include "projects/ProjectLock.h"

#include <cstdint>
#include <string>
#include <vector>

namespace darv {

enum class CompareOutcome {
    NoCollectedData, // empty or missing collected data with "Time Matches" ticked: told, option cleared
    NothingCounted,  // no drawing counted: nothing read, no report touched
    Stopped,         // the collected data does not fit the drawings or is damaged, or a report could not be
                     // written: told, no verdict, the reports left as they were
    Busy,            // another run works on the project: told, nothing touched
    Complete,
};

struct CompareResult
{
    CompareOutcome outcome = CompareOutcome::Complete;
    std::int64_t drawingCount = 0;
    std::int64_t timeConflicts = 0;
    std::int64_t handleConflicts = 0;
    std::int64_t ageConflicts = 0;
    bool alertGiven = false;
    // Drawings counted but not compared: unreadable when collected (no time stamp recorded), or added
    // since the collection (no record). While there are any, the run shows no all-clear.
    std::int64_t notCompared = 0;
    // Folders of the locations that exist but could not be listed: their drawings are unknown, so the
    // run shows no all-clear either.
    std::vector<std::string> unlistedFolders = {};
    // Drawings the collection run read only in part (damage found in them): compared by what could be read, but
    // while there are any, the run shows no all-clear either.
    std::int64_t partlyRead = 0;
};

inline constexpr const char* kNoCollectedDataMessage = "XXXXXXavailable due to no entity matches - turning OFF.";

class CompareRun
{
public:
    CompareRun(CompareView& view, CompareClock& clock);

    // cmdCompare_Click: the project's lock, the empty-data test, the resets, the recount of the location
    // entries ("+" or "-" followed by a folder path; folders that cannot be listed add nothing), then
    // RunCompare. A project name that is empty or unsafe is refused before anything is touched.
    CompareResult recompare(const std::string& installLoc, const std::string& project,
                            const std::vector<std::string>& locations, const CompareOptions& options);

    // The start of a run: startime becomes now and alertgiven "NO"; the next elapsed-time update is shown
    // whatever the label held. A collection run calls it before its own resets and count.
    void beginRun();

    // The resets at the start of a Recompare: beginRun, the three conflict counters, status
    // "Comparing...", empty elapsed time, the logo and "NO DARV's".
    void resetPanel(const std::string& installLoc);

    // RunCompare: expects the resets done, drawingCount counted and the project's lock held. Reads the whole
    // collected-data file first, so that a damaged file stops the run before any report is rewritten; the
    // reports replace the old ones only when all three were written whole.
    // unlisted: the folders that could not be listed when the drawings were counted or walked.
    CompareResult runCompare(const std::string& installLoc, const std::string& project, std::int64_t drawingCount,
                             const CompareOptions& options, const std::vector<UnlistedFolder>& unlisted = {});

    // ShowElapsed: endtime becomes now; the elapsed time is shown as "Elapsed Time: hh:mm:ss".
    void showElapsed();

    // A run that cannot go on: status "Stopped", the message, the logo and no verdict.
    void stopRun(const std::string& installLoc, MessageIcon icon, const std::string& title, const std::string& text);

    bool alertGiven() const { return m_alertGiven; }

    // A drawing the collection run could read only in part, by its drawing name and the first damage found;
    // runCompare names them. beginRun forgets them.
    void notePartlyRead(const std::string& name, const std::string& damage);
    // The drawings noted so far, as the list kept beside the collected data holds them: a line each.
    std::string partlyReadList() const;

private:
    class CheckObserver;
    void conflictAlert(const std::string& installLoc);

    CompareView& m_view;
    CompareClock& m_clock;
    std::int64_t m_startTime = 0;
    std::int64_t m_endTime = 0;
    std::int64_t m_shownElapsed = -1;      // the seconds lblTime shows; -1 while it is empty
    std::vector<std::string> m_partlyRead; // "NAME: damage" of each drawing read only in part
    bool m_alertGiven = false;
};

// Tells why a run could not take the project's lock: another run holds it, or the lock file failed.
void tellLockRefused(CompareView& view, const ProjectLock& lock, const std::string& project);

// "Elapsed Time: hh:mm:ss" for a difference in seconds; 24 hours or more show only the rest below one day.
std::string elapsedText(std::int64_t seconds);

} // namespace darv
