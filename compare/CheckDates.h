// CheckDates: the drawing age check, which reports every drawing older than the chosen age limit.
#pragma once

#include "compare/CompareObserver.h"
#include "compare/CompareTables.h"
#include "compare/ReportFile.h"

#include <cstdint>
#include <string>
#include <vector>

namespace darv {

struct YearMonth
{
    std::int64_t year = 0;
    std::int64_t month = 0; // 1 to 12
};

// The limit of an age text: "1 month" .. "6 months", "1 year" .. "5 years", "over 5 years" (99 years);
// any other text (compared exactly, case-sensitive) has no limit and reports nothing. 0 means no limit.
struct AgeLimit
{
    std::int64_t months = 0;
    std::int64_t years = 0;
};
AgeLimit ageLimit(const std::string& text);

// Every age text that has a limit, in the order above.
std::vector<std::string> ageLimitTexts();

// The age in whole years and months from the creation time stamp's month to today's month; the day of
// the month plays no part. Negative for a drawing dated after today.
struct DrawingAge
{
    std::int64_t years = 0;
    std::int64_t months = 0;
};
DrawingAge drawingAge(double time, YearMonth today);

bool ageReported(DrawingAge age, AgeLimit limit);

// The report line of one drawing (without quotes): the name padded with "." to 32 characters.
std::string ageConflictLine(const std::string& name, const std::string& limitText, DrawingAge age);

inline constexpr const char* kNoAgeConflicts = "No DWG date check conflicts!";
inline constexpr const char* kAgeCheckOff = "DWG date conflicts not reported due to option selection.";

// Runs the check over the tables and writes its report; returns the number of drawings reported. With
// enabled false only the check-off line is written. When the report cannot be written (report.ok() is
// false afterwards) no alert is raised; the caller stops the run.
std::int64_t checkDates(const CompareTables& tables, bool enabled, const std::string& limitText, YearMonth today,
                        ReportFile& report, CompareObserver& observer, bool& alertGiven);

} // namespace darv
