// CheckHandles: the handle match check.
#include "compare/CheckHandles.h"

#include "base/NumberText.h"
#include "compare/HandleMatcher.h"
#include "compare/ReportFile.h"

#include <cmath>
#include <cstdlib>

namespace darv {

double percentThreshold(const std::string& text)
{
    // The leading number: blanks, a sign, digits with an optional fraction, an optional exponent.
    std::size_t pos = text.find_first_not_of(" \t");
    if (pos == std::string::npos)
        return 0.0;
    std::string number;
    if (text[pos] == '+' || text[pos] == '-')
        number += text[pos++];
    std::size_t digits = 0;
    auto takeDigits = [&] {
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            number += text[pos++];
            ++digits;
        }
    };
    takeDigits();
    if (pos < text.size() && text[pos] == '.') {
        number += text[pos++];
        takeDigits();
    }
    if (digits == 0)
        return 0.0;
    if (pos + 1 < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t after = pos + 1;
        std::string exponent = "e";
        if (text[after] == '+' || text[after] == '-')
            exponent += text[after++];
        if (after < text.size() && text[after] >= '0' && text[after] <= '9') {
            while (after < text.size() && text[after] >= '0' && text[after] <= '9')
                exponent += text[after++];
            number += exponent;
        }
    }
    return std::strtod(number.c_str(), nullptr);
}

std::int64_t shownPercent(double percent)
{
    return static_cast<std::int64_t>(std::floor(roundTo15Digits(percent) + 0.5));
}

HandlePairResult judgeHandlePair(std::int64_t count1, std::int64_t count2, std::int64_t matches, double threshold)
{
    HandlePairResult result;
    const bool firstLarger = count1 > count2;
    const std::int64_t denominator = firstLarger ? count1 : count2;
    if (denominator <= 0)
        return result; // an empty first list is never judged
    result.percent = static_cast<double>(matches) / static_cast<double>(denominator) * 100.0;
    if (matches == denominator)
        result.verdict = HandleVerdict::FullMatch;
    else if (result.percent >= threshold)
        result.verdict = firstLarger ? HandleVerdict::FirstLarger : HandleVerdict::SecondLarger;
    return result;
}

std::string handleConflictLine(const std::string& name1, const std::string& name2, const std::string& entity,
                               const HandlePairResult& result, std::int64_t matches)
{
    const std::string shown = std::to_string(shownPercent(result.percent));
    switch (result.verdict) {
    case HandleVerdict::FullMatch:
        return "** " + name1 + " vs. " + name2 + " has a " + shown + "% " + entity + " handle match [" +
               std::to_string(matches) + " total].";
    case HandleVerdict::FirstLarger:
        return name1 + " vs. " + name2 + " has a " + shown + "% / 100% " + entity + " handle match.";
    case HandleVerdict::SecondLarger:
        return name1 + " vs. " + name2 + " has a 100% / " + shown + "% " + entity + " handle match.";
    case HandleVerdict::None:
        break;
    }
    return {};
}

std::string noHandleConflictsLine(const std::string& entity, const std::string& percentText)
{
    return "No entity [" + entity + "] conflicts >= " + percentText + "% match!";
}

std::int64_t checkHandles(const CompareTables& tables, const CompareOptions& options, ReportFile& report,
                          CompareObserver& observer, bool& alertGiven)
{
    if (!options.handleCheck) {
        report.writeLine(kHandleCheckOff);
        report.finish();
        return 0;
    }
    observer.statusChanged("Checking handles...");
    if (!report.ok())
        return 0;
    const double threshold = percentThreshold(options.percent);
    const std::size_t count = tables.drawingCount();
    // Indexing many long lists takes a while: show that the run is alive.
    const HandleMatcher matcher(tables.handles, [&](std::size_t step, std::size_t steps) {
        observer.indexing(static_cast<std::int64_t>(step), static_cast<std::int64_t>(steps));
        observer.showElapsed();
    });
    std::vector<std::int64_t> matches;
    std::int64_t reported = 0;
    for (std::size_t i = 0; i + 1 < count; ++i) {
        const std::int64_t count1 = matcher.entryCount(i);
        if (count1 > 0) {
            matcher.matchesFrom(i, matches);
            for (std::size_t j = i + 1; j < count; ++j) {
                observer.pairStarted(static_cast<std::int64_t>(i) + 1, static_cast<std::int64_t>(j) + 1);
                const HandlePairResult result = judgeHandlePair(count1, matcher.entryCount(j), matches[j], threshold);
                if (result.verdict != HandleVerdict::None) {
                    ++reported;
                    report.writeLine(
                        handleConflictLine(tables.names[i], tables.names[j], options.entity, result, matches[j]));
                }
                observer.showElapsed();
            }
        }
        observer.showElapsed();
    }
    if (reported > 0)
        observer.counterChanged(ConflictCounter::Handle, reported);
    else
        report.writeLine(noHandleConflictsLine(options.entity, options.percent));
    // A report that did not reach the disk raises no alert: the run stops without a verdict.
    if (report.finish() && reported > 0 && !alertGiven) {
        observer.conflictAlert();
        alertGiven = true;
    }
    return reported;
}

} // namespace darv
