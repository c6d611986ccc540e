// CheckHandles: the handle match check, which reports pairs of drawings that share enough entity handles.
#pragma once

#include "compare/CompareObserver.h"
#include "compare/CompareOptions.h"
#include "compare/CompareTables.h"
#include "compare/ReportFile.h"

#include <cstdint>
#include <string>

namespace darv {

// The threshold of a percent text: its leading number ("85abc" -> 85, " 7.5" -> 7.5), 0 when it does not
// start with one.
double percentThreshold(const std::string& text);

// The percentage as the report shows it: first rounded to 15 significant digits, then to the nearest whole
// number with halves going up (23 of 40, computed as 57.49999999999999, shows 58).
std::int64_t shownPercent(double percent);

// The decision on one pair, given both list lengths and the matches count.
enum class HandleVerdict { None, FullMatch, FirstLarger, SecondLarger };
struct HandlePairResult
{
    HandleVerdict verdict = HandleVerdict::None;
    double percent = 0.0; // matches / the larger count (count2 when equal) * 100
};
HandlePairResult judgeHandlePair(std::int64_t count1, std::int64_t count2, std::int64_t matches, double threshold);

// The report line of a reported pair (without quotes).
std::string handleConflictLine(const std::string& name1, const std::string& name2, const std::string& entity,
                               const HandlePairResult& result, std::int64_t matches);
std::string noHandleConflictsLine(const std::string& entity, const std::string& percentText);

inline constexpr const char* kHandleCheckOff = "Handle conflicts not reported due to option selection.";

// Runs the check over the tables and writes its report; returns the number of pairs reported. With
// options.handleCheck false only the check-off line is written. A report that cannot be written raises
// no alert (report.ok() is false afterwards); the caller stops the run.
std::int64_t checkHandles(const CompareTables& tables, const CompareOptions& options, ReportFile& report,
                          CompareObserver& observer, bool& alertGiven);

} // namespace darv
