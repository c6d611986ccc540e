// darv2007-cli compare: Recompare on a data folder without a window, with the same run as the window.
#pragma once

#include "app/ConsoleView.h"
#include "compare/CompareOptions.h"
#include "compare/CompareRun.h"
#include "compare/SystemCompareClock.h"

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace darv {

struct CompareCommandArgs
{
    std::string project;
    std::string dataFolder;
    CompareOptions options;
};

// Upper-cases a name as the window stores project names (Unicode rules where the caller has them).
using UpperCase = std::function<std::string(const std::string&)>;

// Reads PROJECT [--data DIR] [--checks LIST] [--entity TEXT] [--percent NUMBER] [--age TEXT] (each option
// also as --name=VALUE). LIST is a comma-separated subset of time,handles,age (default time,handles);
// --entity defaults to the entity saved in the data folder; --percent is a number from 0 to 100; --age
// one of the texts of the window's age list, in any letter case. PROJECT is upper-cased, as the window
// stores project names. Empty optional, with the reason in error, when the words do not make a valid
// command.
std::optional<CompareCommandArgs> parseCompareArgs(const std::vector<std::string>& args,
                                                   const std::string& defaultDataFolder, std::string& error,
                                                   const UpperCase& upperCase = {});

// The words of "compare" or "collect" (command names that command in messages) checked, with the
// project's location entries read. Empty optional, with the message printed on err, when they cannot
// make a run.
struct PreparedRun
{
    CompareCommandArgs args;
    std::vector<std::string> locations;
};
std::optional<PreparedRun> prepareRun(const std::string& command, const std::vector<std::string>& args,
                                      const std::string& defaultDataFolder, std::ostream& err,
                                      const UpperCase& upperCase = {});

// A run on the console: the view that prints what the run tells, the system clock and the comparison.
struct ConsoleCompare
{
    explicit ConsoleCompare(std::ostream& err) : view(err), compare(view, clock) {}
    ConsoleView view;
    SystemCompareClock clock;
    CompareRun compare;
};

// The exit status of a comparison: 1 conflicts; 2 when it did not complete, or found none while some
// drawings were not compared; 0 otherwise.
int compareExitStatus(const CompareResult& result);

// args are the words after "compare". Writes the three reports of the project, prints the counters and the
// verdict on out. Returns 0 without conflicts, 1 with conflicts, 2 on an error (message on err).
int runCompareCommand(const std::vector<std::string>& args, const std::string& defaultDataFolder, std::ostream& out,
                      std::ostream& err, const UpperCase& upperCase = {});

} // namespace darv
