// Small helpers shared by the benchmark programs.
#pragma once

#include "compare/CompareOptions.h"
#include "compare/CompareView.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace darv {

// The median wall time of a few rounds of work, in seconds.
inline double medianSeconds(int rounds, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int k = 0; k < rounds; ++k) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The options of the comparison benchmarks: all three checks, LINE, 90 percent, one year.
inline CompareOptions allChecks()
{
    CompareOptions options;
    options.ageCheck = true;
    options.entity = "LINE";
    options.percent = "90";
    options.age = "1 year";
    return options;
}

// A null window: the run with its elapsed-time clock and pair statuses, without painting anything.
class NullView : public CompareView
{
public:
    void setStatusText(const std::string&) override {}
    void setPairStatus(std::int64_t, std::int64_t) override {}
    void setElapsedText(const std::string&) override {}
    void setCounterText(CounterLabel, const std::string&) override {}
    void showPicture(Picture, const std::string&) override {}
    void setVerdict(Verdict) override {}
    bool playAlertSound(const std::string&) override { return false; }
    void showMessage(MessageIcon, const std::string&, const std::string&) override {}
    void clearTimeOption() override {}
    void disableRecompare() override {}
};

} // namespace darv
