// CheckTimes: the creation-time check.
#include "compare/CheckTimes.h"

#include "base/NumberText.h"
#include "compare/ReportFile.h"

#include <cmath>

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
    const std::size_t count = tables.drawingCount();
    std::int64_t conflicts = 0;
    for (std::size_t i = 0; i + 1 < count; ++i) {
        const double ti = tables.times[i];
        for (std::size_t j = i + 1; j < count; ++j) {
            if (ti != 0.0 && ti == tables.times[j]) {
                ++conflicts;
                observer.counterChanged(ConflictCounter::Time, conflicts);
                report.writeLine(timeConflictLine(tables.names[i], tables.names[j], ti));
            }
            observer.showElapsed();
        }
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
