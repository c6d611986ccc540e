// darv2007-cli compare: Recompare on a data folder without a window, with the same run as the window.
#include "app/CompareCommand.h"

#include "app/CommandWords.h"
#include "app/ConsoleView.h"
#include "base/DataFolder.h"
#include "base/NameBytes.h"
#include "compare/CheckDates.h"
#include "compare/CheckHandles.h"
#include "compare/CompareRun.h"
#include "compare/SystemCompareClock.h"
#include "projects/ProjectName.h"
#include "settings/SettingsFiles.h"

#include "projects/QuotedLinesFile.h"
#include <algorithm>

#include <array>
#include <filesystem>
#include <system_error>

namespace darv {
namespace {

bool parseChecks(const std::string& list, CompareOptions& options)
{
    options.timeCheck = options.handleCheck = options.ageCheck = false;
    std::size_t from = 0;
    while (from <= list.size()) {
        const auto comma = list.find(',', from);
        const std::string word = list.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
        if (word == "time")
            options.timeCheck = true;
        else if (word == "handles")
            options.handleCheck = true;
        else if (word == "age")
            options.ageCheck = true;
        else
            return false;
        if (comma == std::string::npos)
            break;
        from = comma + 1;
    }
    return options.timeCheck || options.handleCheck || options.ageCheck;
}

// A number from 0 to 100 in plain decimal digits, with an optional fraction.
bool isPercent(const std::string& text)
{
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    const auto point = text.find('.');
    const std::string whole = text.substr(0, point);
    const std::string fraction = point == std::string::npos ? std::string("0") : text.substr(point + 1);
    if (whole.empty() || fraction.empty() || !std::all_of(whole.begin(), whole.end(), digit) ||
        !std::all_of(fraction.begin(), fraction.end(), digit))
        return false;
    return percentThreshold(text) <= 100.0;
}

// The age text the check knows (the window's list, and "over 5 years") for a text in any letter case;
// empty when it is none of them.
std::string ageChoice(const std::string& text)
{
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    for (const std::string& choice : ageLimitTexts())
        if (lower == choice)
            return choice;
    return {};
}

std::string asciiUpper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

} // namespace

std::optional<CompareCommandArgs> parseCompareArgs(const std::vector<std::string>& args,
                                                   const std::string& defaultDataFolder, std::string& error,
                                                   const UpperCase& upperCase)
{
    CompareCommandArgs parsed;
    parsed.dataFolder = defaultDataFolder;
    std::optional<std::string> entity;
    std::string checks = "time,handles";
    const auto words = splitCommandWords(args, {"--data", "--checks", "--entity", "--percent", "--age"}, {},
                                         "project can be compared", error);
    if (!words)
        return std::nullopt;
    const std::optional<std::string>& project = words->operand;
    for (const auto& [name, value] : words->options) {
        if (name == "--data")
            parsed.dataFolder = value;
        else if (name == "--checks")
            checks = value;
        else if (name == "--entity")
            entity = value;
        else if (name == "--percent")
            parsed.options.percent = value;
        else
            parsed.options.age = value;
    }
    if (!project) {
        error = "no project given";
        return std::nullopt;
    }
    if (!isUsableProjectName(*project)) {
        error = "'" + *project + "' cannot be a project name";
        return std::nullopt;
    }
    parsed.project = upperCase ? upperCaseName(*project, upperCase) : asciiUpper(*project);
    if (!isPercent(parsed.options.percent)) {
        error = "--percent takes a number from 0 to 100 ('" + parsed.options.percent + "')";
        return std::nullopt;
    }
    const std::string age = ageChoice(parsed.options.age);
    if (age.empty()) {
        std::string choices;
        for (const std::string& choice : ageLimitTexts())
            choices += (choices.empty() ? "'" : ", '") + choice + "'";
        error = "--age takes one of " + choices + " ('" + parsed.options.age + "')";
        return std::nullopt;
    }
    parsed.options.age = age;
    if (!parseChecks(checks, parsed.options)) {
        error = "--checks takes a comma-separated list of time, handles and age ('" + checks + "')";
        return std::nullopt;
    }
    if (parsed.dataFolder.empty()) {
        error = "no data folder: give --data DIR or install the system first";
        return std::nullopt;
    }
    parsed.options.entity = entity ? *entity : savedEntity(parsed.dataFolder);
    return parsed;
}

std::optional<PreparedRun> prepareRun(const std::string& command, const std::vector<std::string>& args,
                                      const std::string& defaultDataFolder, std::ostream& err,
                                      const UpperCase& upperCase)
{
    std::string error;
    auto parsed = parseCompareArgs(args, defaultDataFolder, error, upperCase);
    if (!parsed) {
        err << "darv2007-cli " << command << ": " << error << "\n";
        return std::nullopt;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(parsed->dataFolder, ec)) {
        err << "darv2007-cli " << command << ": the data folder " << parsed->dataFolder << " does not exist\n";
        return std::nullopt;
    }
    auto locations =
        readQuotedLines(locationFilePath(parsed->dataFolder, parsed->project)).value_or(std::vector<std::string>{});
    return PreparedRun{std::move(*parsed), std::move(locations)};
}

int runCompareCommand(const std::vector<std::string>& args, const std::string& defaultDataFolder, std::ostream& out,
                      std::ostream& err, const UpperCase& upperCase)
{
    const auto prepared = prepareRun("compare", args, defaultDataFolder, err, upperCase);
    if (!prepared)
        return 2;
    const CompareCommandArgs& parsed = prepared->args;
    ConsoleCompare console(err);
    ConsoleView& view = console.view;
    const CompareResult result =
        console.compare.recompare(parsed.dataFolder, parsed.project, prepared->locations, parsed.options);
    switch (result.outcome) {
    case CompareOutcome::NoCollectedData:
    case CompareOutcome::Busy:
        return 2; // the view has printed the message
    case CompareOutcome::NothingCounted:
        view.print(out);
        err << "darv2007-cli compare: no drawing was found in the locations of project " << parsed.project
            << "; nothing was compared\n";
        return 2;
    case CompareOutcome::Stopped:
        view.print(out);
        return 2;
    case CompareOutcome::Complete:
        break;
    }
    view.print(out);
    return compareExitStatus(result);
}

int compareExitStatus(const CompareResult& result)
{
    if (result.outcome != CompareOutcome::Complete)
        return 2;
    // Conflicts are conflicts; "none" over part of the class is no success.
    const bool partial = result.notCompared > 0 || !result.unlistedFolders.empty() || result.partlyRead > 0;
    return result.alertGiven ? 1 : partial ? 2 : 0;
}

} // namespace darv
