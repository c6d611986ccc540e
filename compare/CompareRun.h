// The comparison run: Recompare (cmdCompare_Click) and the run proper (RunCompare), told to a view.
#pragma once

#include "compare/CompareClock.h"
#include "compare/CompareOptions.h"
#include "compare/CompareView.h"

#include <cstdint>
#include <string>
#include <vector>

namespace darv {

enum class CompareOutcome {
    NoCollectedData, // empty or missing collected data with "Time Matches" ticked: told, option cleared
    NothingCounted,  // no drawing counted: nothing read, no report touched
    Stopped,         // the collected data does not fit the drawings or is damaged: reports left as they were
    Complete,
};

struct CompareResult
{
    CompareOutcome outcome = CompareOutcome::Complete;
    std::int64_t totfiles = 0;
    std::int64_t timeConflicts = 0;
    std::int64_t handleConflicts = 0;
    std::int64_t ageConflicts = 0;
    bool alertGiven = false;
};

inline constexpr const char* kNoCollectedDataMessage = "XXXXXXavailable due to no entity matches - turning OFF.";

class CompareRun
{
public:
    CompareRun(CompareView& view, CompareClock& clock);

    // cmdCompare_Click: the empty-data test, the resets, the recount of the location entries ("+" or "-"
    // followed by a folder path; folders that cannot be listed add nothing), then RunCompare.
    CompareResult recompare(const std::string& installLoc, const std::string& project,
                            const std::vector<std::string>& locations, const CompareOptions& options);

    // The start of a run: startime becomes now and alertgiven "NO"; the next elapsed-time update is shown
    // whatever the label held. A collection run calls it before its own resets and count.
    void beginRun();

    // The resets at the start of a Recompare: beginRun, the three conflict counters, status
    // "Comparing...", empty elapsed time, the logo and "NO DARV's".
    void resetPanel(const std::string& installLoc);

    // RunCompare: expects the resets done and totfiles counted. Reads the whole collected-data file first,
    // so that a damaged file stops the run before any report is rewritten.
    CompareResult runCompare(const std::string& installLoc, const std::string& project, std::int64_t totfiles,
                             const CompareOptions& options);

    // ShowElapsed: endtime becomes now; the elapsed time is shown as "Elapsed Time: hh:mm:ss".
    void showElapsed();

    bool alertGiven() const { return m_alertgiven; }

private:
    class CheckObserver;
    void conflictAlert(const std::string& installLoc);
    void stop(const std::string& text);

    CompareView& m_view;
    CompareClock& m_clock;
    std::int64_t m_startime = 0;
    std::int64_t m_endtime = 0;
    std::int64_t m_shownElapsed = -1; // the seconds lblTime shows; -1 while it is empty
    bool m_alertgiven = false;
};

// "Elapsed Time: hh:mm:ss" for a difference in seconds; 24 hours or more show only the rest below one day.
std::string elapsedText(std::int64_t seconds);

} // namespace darv
