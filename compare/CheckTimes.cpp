// CheckTimes: the creation-time check.
#include "compare/CheckTimes.h"

#include "base/NumberText.h"
#include "compare/ReportFile.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace darv {

TimeOfDay timeOfDay(double t)
{
    if (!std::isfinite(t))
        return {};
    double s = (t - std::trunc(t)) * 86400.0;
    double m = s / 60.0;
    double h = m / 60.0;
    if (h >= 1.0) {
        h = std::trunc(h);
        m = m - h * 60.0;
        s = s - h * 3600.0;
    } else {
        h = 0.0;
    }
    if (m >= 1.0) {
        m = std::trunc(m);
        s = s - m * 60.0;
    } else {
        m = 0.0;
    }
    s = std::trunc(s);
    // The fraction is below one day, so every part fits easily.
    return {static_cast<std::int64_t>(h), static_cast<std::int64_t>(m), static_cast<std::int64_t>(s)};
}

std::string timeConflictLine(const std::string& name1, const std::string& name2, double time)
{
    const TimeOfDay tod = timeOfDay(time);
    return name1 + " vs. " + name2 + " at " + std::to_string(tod.hours) + " hours, " + std::to_string(tod.minutes) +
           " minutes, " + std::to_string(tod.seconds) + " seconds [" + decimalText(time) + " as Julian]";
}

std::int64_t checkTimes(const CompareTables& tables, bool enabled, ReportFile& report, CompareObserver& observer,
                        bool& alertGiven)
{
    if (!enabled) {
        report.writeLine(kTimeCheckOff);
        report.finish();
        return 0;
    }
    observer.statusChanged("Checking times...");
    if (!report.ok())
        return 0;
    // Drawings sorted by time stamp: equal stamps stand together, so every pair of them is found without
    // comparing every drawing with every other. The pairs are reported in the order of the records
    // (first drawing, then second), as a comparison of every pair would find them.
    const std::size_t count = tables.drawingCount();
    std::vector<std::size_t> byTime;
    for (std::size_t i = 0; i < count; ++i)
        if (tables.times[i] != 0.0 && !std::isnan(tables.times[i])) // no stamp recorded: not compared
            byTime.push_back(i);
    std::sort(byTime.begin(), byTime.end(), [&](std::size_t a, std::size_t b) {
        return tables.times[a] != tables.times[b] ? tables.times[a] < tables.times[b] : a < b;
    });
    // For each record, the records after it with the same stamp: a run of byTime from its place on.
    std::vector<std::size_t> place(count, 0);
    std::vector<std::size_t> runEnd(byTime.size(), 0);
    for (std::size_t k = byTime.size(); k-- > 0;) {
        place[byTime[k]] = k;
        const bool sameAsNext = k + 1 < byTime.size() && tables.times[byTime[k + 1]] == tables.times[byTime[k]];
        runEnd[k] = sameAsNext ? runEnd[k + 1] : k + 1;
    }
    std::int64_t conflicts = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double ti = tables.times[i];
        if (ti != 0.0 && !std::isnan(ti)) {
            for (std::size_t k = place[i] + 1; k < runEnd[place[i]]; ++k) {
                ++conflicts;
                observer.counterChanged(ConflictCounter::Time, conflicts);
                report.writeLine(timeConflictLine(tables.names[i], tables.names[byTime[k]], ti));
                observer.showElapsed();
            }
        }
        if (i + 1 < count)
            observer.showElapsed();
    }
    if (conflicts == 0)
        report.writeLine(kNoTimeConflicts);
    // A report that did not reach the disk raises no alert: the run stops without a verdict.
    if (report.finish() && conflicts > 0 && !alertGiven) {
        observer.conflictAlert();
        alertGiven = true;
    }
    return conflicts;
}

} // namespace darv
