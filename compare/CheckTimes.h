// CheckTimes: the creation-time check, which reports every pair of drawings with equal creation time stamps.
#pragma once

#include "compare/CompareObserver.h"
#include "compare/CompareTables.h"
#include "compare/ReportFile.h"

#include <cstdint>
#include <string>

namespace darv {

struct TimeOfDay
{
    std::int64_t hours = 0;
    std::int64_t minutes = 0;
    std::int64_t seconds = 0;
};

// The time of day of a time stamp in whole hours, minutes and seconds. Seconds are cut, never rounded:
// a stamp stored a hair below a whole second shows the second before it.
TimeOfDay timeOfDay(double t);

// The report line of one conflicting pair (without quotes).
std::string timeConflictLine(const std::string& name1, const std::string& name2, double time);

inline constexpr const char* kNoTimeConflicts = "No time conflicts!";
inline constexpr const char* kTimeCheckOff = "Time conflicts not reported due to option selection.";

// Runs the check over the tables and writes its report. With enabled false only the check-off line is
// written. Returns the number of conflicting pairs. alertGiven is the run's flag: the alert is raised at
// the end when conflicts were found, the report reached the disk and the flag is still clear.
std::int64_t checkTimes(const CompareTables& tables, bool enabled, ReportFile& report, CompareObserver& observer,
                        bool& alertGiven);

} // namespace darv
