// CheckDates: the drawing age check.
#include "compare/CheckDates.h"

#include "compare/JulianDate.h"
#include "compare/ReportFile.h"

#include <array>
#include <utility>

namespace darv {
namespace {

// Characters of a name as the reader sees them: a UTF-8 sequence is one character.
std::size_t characterCount(const std::string& text)
{
    std::size_t count = 0;
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++count;
    }
    return count;
}

} // namespace

namespace {

const std::array<std::pair<const char*, AgeLimit>, 12>& ageTable()
{
    static const std::array<std::pair<const char*, AgeLimit>, 12> table = {{
        {"1 month", {1, 0}},
        {"2 months", {2, 0}},
        {"3 months", {3, 0}},
        {"4 months", {4, 0}},
        {"5 months", {5, 0}},
        {"6 months", {6, 0}},
        {"1 year", {0, 1}},
        {"2 years", {0, 2}},
        {"3 years", {0, 3}},
        {"4 years", {0, 4}},
        {"5 years", {0, 5}},
        {"over 5 years", {0, 99}},
    }};
    return table;
}

} // namespace

std::vector<std::string> ageLimitTexts()
{
    std::vector<std::string> texts;
    for (const auto& entry : ageTable())
        texts.emplace_back(entry.first);
    return texts;
}

AgeLimit ageLimit(const std::string& text)
{
    for (const auto& [name, limit] : ageTable()) {
        if (text == name)
            return limit;
    }
    return {};
}

DrawingAge drawingAge(double time, YearMonth today)
{
    const CalendarDate date = julianToDate(time);
    DrawingAge age{today.year - date.year, today.month - date.month};
    if (age.months < 0) {
        age.years -= 1;
        age.months += 12;
    }
    return age;
}

bool ageReported(DrawingAge age, AgeLimit limit)
{
    return (limit.years != 0 && age.years >= limit.years) ||
           (limit.months != 0 && age.years * 12 + age.months >= limit.months);
}

std::string ageConflictLine(const std::string& name, const std::string& limitText, DrawingAge age)
{
    std::string line = name;
    const std::size_t characters = characterCount(name);
    if (characters < 32)
        line.append(32 - characters, '.');
    return line + " [over " + limitText + " old] :" + std::to_string(age.years) + " year(s) & " +
           std::to_string(age.months) + " month(s).";
}

std::int64_t checkDates(const CompareTables& tables, bool enabled, const std::string& limitText, YearMonth today,
                        ReportFile& report, CompareObserver& observer, bool& alertGiven)
{
    if (!enabled) {
        report.writeLine(kAgeCheckOff);
        report.finish();
        return 0;
    }
    observer.statusChanged("Checking dates...");
    if (!report.ok())
        return 0;
    const AgeLimit limit = ageLimit(limitText);
    std::int64_t reported = 0;
    for (std::size_t i = 0; i < tables.drawingCount(); ++i) {
        const double time = tables.times[i];
        if (time == 0.0)
            continue;
        const DrawingAge age = drawingAge(time, today);
        if (ageReported(age, limit)) {
            ++reported;
            observer.counterChanged(ConflictCounter::Age, reported);
            report.writeLine(ageConflictLine(tables.names[i], limitText, age));
        }
        observer.showElapsed();
    }
    if (reported == 0)
        report.writeLine(kNoAgeConflicts);
    // A report that did not reach the disk raises no alert: the run stops without a verdict.
    if (report.finish() && reported > 0 && !alertGiven) {
        observer.conflictAlert();
        alertGiven = true;
    }
    return reported;
}

} // namespace darv
