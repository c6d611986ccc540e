// Speed and memory of the comparison on a generated class: 1,000 drawings of 2,000 LINE handles each.
//
//   compare_bench [benchmark options]   the benchmarks, then the literal/fast ratio and the peak memory
//                                       of "darv2007-cli compare" on a generated data folder
//   compare_bench --compare-run DIR     (used by the above) one compare command on DIR
#include "BenchSupport.h"
#include "GeneratedClass.h"
#include "app/CompareCommand.h"
#include "base/DataFolder.h"
#include "compare/CheckDates.h"
#include "compare/CheckHandles.h"
#include "compare/CheckTimes.h"
#include "compare/CollectedDataFile.h"
#include "compare/CompareRun.h"
#include "compare/HandleMatcher.h"
#include "compare/SystemCompareClock.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace darv;

// Does nothing but count what it is told.
class CountingObserver : public CompareObserver
{
public:
    void statusChanged(const std::string&) override { ++calls; }
    void pairStarted(std::int64_t, std::int64_t) override { ++calls; }
    void counterChanged(ConflictCounter, std::int64_t) override { ++calls; }
    void showElapsed() override { ++calls; }
    void conflictAlert() override { ++calls; }
    std::int64_t calls = 0;
};

std::string benchFolder()
{
    const auto path = std::filesystem::temp_directory_path() / ("darv-compare-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
    return path.string();
}

// The handle check done the literal way: both lists built for every pair, every entry against every entry.
std::int64_t literalHandleCheck(const CompareTables& tables, double threshold)
{
    std::int64_t reported = 0;
    for (std::size_t i = 0; i + 1 < tables.drawingCount(); ++i) {
        const auto l1 = splitHandleList(tables.handles[i]);
        for (std::size_t j = i + 1; j < tables.drawingCount(); ++j) {
            const auto l2 = splitHandleList(tables.handles[j]);
            if (l1.empty())
                continue;
            const std::int64_t matches = literalMatches(l1, l2);
            const auto result = judgeHandlePair(static_cast<std::int64_t>(l1.size()),
                                                static_cast<std::int64_t>(l2.size()), matches, threshold);
            if (result.verdict != HandleVerdict::None)
                ++reported;
        }
    }
    return reported;
}

const CompareTables& bigClass()
{
    static const CompareTables tables = makeClass(1000, 2000, 2007);
    return tables;
}

const CompareTables& smallClass()
{
    static const CompareTables tables = makeClass(20, 2000, 2007);
    return tables;
}

void BM_AllThreeChecks(benchmark::State& state)
{
    const CompareTables& tables = bigClass();
    const std::string folder = benchFolder();
    const CompareOptions options = allChecks();
    CountingObserver observer;
    std::int64_t conflicts = 0;
    for (auto _ : state) {
        bool alertGiven = false;
        ReportFile times(folder + "/B.tim"), handles(folder + "/B.hnd"), ages(folder + "/B.dat");
        conflicts = checkTimes(tables, true, times, observer, alertGiven);
        conflicts += checkHandles(tables, options, handles, observer, alertGiven);
        conflicts += checkDates(tables, true, options.age, {2007, 9}, ages, observer, alertGiven);
        times.commit();
        handles.commit();
        ages.commit();
    }
    state.counters["conflicts"] = static_cast<double>(conflicts);
    state.counters["observer_calls"] =
        static_cast<double>(observer.calls / static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_AllThreeChecks)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_HandleCheckFast20(benchmark::State& state)
{
    const CompareTables& tables = smallClass();
    const std::string folder = benchFolder();
    const CompareOptions options = allChecks();
    CountingObserver observer;
    for (auto _ : state) {
        bool alertGiven = false;
        ReportFile report(folder + "/S.hnd");
        benchmark::DoNotOptimize(checkHandles(tables, options, report, observer, alertGiven));
        report.commit();
    }
}
BENCHMARK(BM_HandleCheckFast20)->Unit(benchmark::kMillisecond);

void BM_HandleCheckLiteral20(benchmark::State& state)
{
    const CompareTables& tables = smallClass();
    for (auto _ : state)
        benchmark::DoNotOptimize(literalHandleCheck(tables, 90.0));
}
BENCHMARK(BM_HandleCheckLiteral20)->Unit(benchmark::kMillisecond);

void BM_RunCompareNullView(benchmark::State& state)
{
    const std::string folder = benchFolder() + "/run";
    writeDataFolder(folder, bigClass());
    NullView view;
    SystemCompareClock clock;
    CompareRun run(view, clock);
    for (auto _ : state) {
        run.resetPanel(folder);
        benchmark::DoNotOptimize(run.runCompare(folder, "BENCH", 1000, allChecks()));
    }
}
BENCHMARK(BM_RunCompareNullView)->Unit(benchmark::kMillisecond)->MinTime(3.0);

double secondsOf(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void printRatio()
{
    const CompareTables& tables = smallClass();
    const std::string folder = benchFolder();
    CountingObserver observer;
    std::int64_t fastReported = 0;
    std::int64_t literalReported = 0;
    CompareOptions ratioOptions = allChecks();
    ratioOptions.percent = "70";
    const double fast = secondsOf([&] {
                            for (int k = 0; k < 20; ++k) {
                                bool alertGiven = false;
                                ReportFile report(folder + "/R.hnd");
                                fastReported = checkHandles(tables, ratioOptions, report, observer, alertGiven);
                                report.commit();
                            }
                        }) /
                        20.0;
    const double literal = secondsOf([&] { literalReported = literalHandleCheck(tables, 70.0); });
    std::printf("\nhandle check, 20 drawings x 2000 handles: literal %.3f s, fast %.6f s, ratio %.0f "
                "(pairs reported: literal %lld, fast %lld)\n",
                literal, fast, literal / fast, static_cast<long long>(literalReported),
                static_cast<long long>(fastReported));
    const double pairsBig = 1000.0 * 999.0 / 2.0;
    const double pairsSmall = 20.0 * 19.0 / 2.0;
    std::printf("literal handle check at 1000 drawings, extrapolated by pairs: about %.0f s\n",
                literal * pairsBig / pairsSmall);
}

int compareRun(const std::string& folder)
{
    std::ostringstream out;
    std::ostringstream err;
    const int status = runCompareCommand({"BENCH", "--data", folder, "--checks", "time,handles,age", "--entity", "LINE",
                                          "--percent", "90", "--age", "1 year"},
                                         "", out, err);
    std::cout << out.str() << err.str();
    return status;
}

void printPeakMemory()
{
    const std::string folder = benchFolder() + "/memory";
    writeDataFolder(folder, bigClass());
    std::printf("\ncollected-data file: %.1f MB\n",
                static_cast<double>(std::filesystem::file_size(collectedDataPath(folder, "BENCH"))) / 1e6);
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child == 0) {
        ::execl("/proc/self/exe", "compare_bench", "--compare-run", folder.c_str(), static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    int status = 0;
    rusage usage{};
    const auto start = std::chrono::steady_clock::now();
    ::wait4(child, &status, 0, &usage);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("darv2007-cli compare on 1000 drawings x 2000 handles: exit %d, %.2f s, peak memory %.1f MB\n",
                WIFEXITED(status) ? WEXITSTATUS(status) : -1, seconds, static_cast<double>(usage.ru_maxrss) / 1024.0);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--compare-run")
        return compareRun(argv[2]);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printRatio();
    printPeakMemory();
    std::filesystem::remove_all(benchFolder());
    return 0;
}
