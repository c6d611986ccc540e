// darv2007-cli similar: options, progress lines, the ranked pairs and the exit status.
#include "app/SimilarCommand.h"
#include "base/TerminalText.h"

#include "app/CommandWords.h"
#include "app/CompareCommand.h"
#include "base/NameBytes.h"
#include "projects/ProjectName.h"
#include "similar/SimilarReport.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace darv {
namespace {

std::optional<double> percent(const std::string& text)
{
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value) || value < 0 || value > 100)
        return std::nullopt;
    return value;
}

std::string absolutePath(const std::string& path)
{
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(path, ec);
    return ec ? path : full.lexically_normal().string();
}

// Sets one option; false with the reason in error.
bool setOption(SimilarCommandArgs& parsed, const std::string& name, const std::string& value, std::string& error)
{
    if (name == "--data") {
        parsed.dataFolder = value;
    } else if (name == "--template") {
        if (value.empty()) {
            error = "--template needs a drawing's path";
            return false;
        }
        if (!parsed.options.templates)
            parsed.options.templates.emplace();
        parsed.options.templates->push_back(absolutePath(value));
    } else if (name == "--store") {
        if (value.empty()) {
            error = "--store needs the department server's address";
            return false;
        }
        parsed.options.server = value;
    } else if (name == "--against") {
        // A colleague's project on the department server: OWNER/NAME.
        const std::size_t slash = value.find('/');
        if (!isUsableProjectName(slash == std::string::npos ? value : value.substr(slash + 1)) ||
            (slash != std::string::npos && !isUsableProjectName(value.substr(0, slash)))) {
            error = "'" + value + "' cannot be a project name";
            return false;
        }
        parsed.options.earlierProjects.push_back(value);
    } else {
        const auto number = percent(value);
        if (!number) {
            error = name + " takes a percentage from 0 to 100 ('" + value + "')";
            return false;
        }
        (name == "--min" ? parsed.options.minScore : parsed.options.commonShare) = *number;
    }
    return true;
}

} // namespace

std::optional<SimilarCommandArgs> parseSimilarArgs(const std::vector<std::string>& args,
                                                   const std::string& defaultDataFolder, std::string& error,
                                                   const UpperCase& upperCase)
{
    SimilarCommandArgs parsed;
    parsed.dataFolder = defaultDataFolder;
    const auto words = splitCommandWords(args, {"--data", "--template", "--against", "--min", "--share", "--store"},
                                         {"--json", "--rebuild-store"}, "project can be checked", error);
    if (!words)
        return std::nullopt;
    const std::optional<std::string>& project = words->operand;
    for (const auto& [name, value] : words->options) {
        if (name == "--json")
            parsed.json = true;
        else if (name == "--rebuild-store")
            parsed.options.rebuildStore = true;
        else if (!setOption(parsed, name, value, error))
            return std::nullopt;
    }
    if (!project || !isUsableProjectName(*project)) {
        error = project ? "'" + *project + "' cannot be a project name" : "no project given";
        return std::nullopt;
    }
    // Project names are upper-case, as the window stores them.
    const auto upper = [&](const std::string& name) { return upperCase ? upperCaseName(name, upperCase) : name; };
    parsed.project = upper(*project);
    for (std::string& earlier : parsed.options.earlierProjects) {
        // The owner is a database role, named as the server names it.
        const std::size_t slash = earlier.find('/');
        if (slash != std::string::npos && parsed.options.server.empty()) {
            error = "'" + earlier +
                    "' names another teacher's project: such projects are on a department server "
                    "(--store URL)";
            return std::nullopt;
        }
        earlier = slash == std::string::npos ? upper(earlier)
                                             : earlier.substr(0, slash + 1) + upper(earlier.substr(slash + 1));
    }
    if (parsed.dataFolder.empty()) {
        error = "no data folder: give --data DIR or install the system first";
        return std::nullopt;
    }
    return parsed;
}

int runSimilarCommand(const std::vector<std::string>& args, const std::string& defaultDataFolder, std::ostream& out,
                      std::ostream& err, const similar::DrawingSource& source, const UpperCase& upperCase)
{
    std::string error;
    const auto parsed = parseSimilarArgs(args, defaultDataFolder, error, upperCase);
    if (!parsed) {
        err << "darv2007-cli similar: " << error << "\n";
        return 2;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(parsed->dataFolder, ec)) {
        err << "darv2007-cli similar: the data folder " << parsed->dataFolder << " does not exist\n";
        return 2;
    }
    similar::SimilarRun run(parsed->dataFolder, parsed->project, parsed->options, source);
    run.progress = [&err](const similar::SimilarProgress& step) {
        err << "[" << step.index + 1 << "/" << step.count << "] " << terminalText(step.shownName) << ": ";
        switch (step.state) {
        case similar::SimilarProgress::State::Read:
            err << "read\n";
            break;
        case similar::SimilarProgress::State::Unchanged:
            err << "unchanged\n";
            break;
        case similar::SimilarProgress::State::Unreadable:
            err << "warning: cannot be read: " << terminalText(step.failure) << "; it is not compared\n";
            break;
        }
    };
    const std::atomic<bool> never{false};
    const similar::SimilarResult result = run.run(never);
    if (result.outcome == similar::SimilarOutcome::Busy) {
        err << result.message << "\n";
        return 2;
    }
    for (const std::string& note : result.rebuilt)
        err << "darv2007-cli similar: " << terminalText(note) << "\n";
    if (result.outcome == similar::SimilarOutcome::StoreDamaged) {
        err << "darv2007-cli similar: " << terminalText(result.message) << "\n"
            << "Nothing was compared and the report was not changed. Run 'darv2007-cli similar "
            << terminalText(parsed->project)
            << " --rebuild-store' to rebuild the store from the drawings still on disk: earlier projects whose "
               "drawings are gone are lost from it (the damaged store is kept as evidence.sqlite.damaged).\n";
        return 2;
    }
    if (result.outcome != similar::SimilarOutcome::Complete) {
        err << "darv2007-cli similar: " << terminalText(result.message) << "\n";
        return 2;
    }
    if (parsed->json)
        out << similar::reportJson(parsed->project, result);
    else if (result.pairs.empty() && result.unread.empty() && result.partial.empty())
        out << "No similar drawings found among " << result.drawings << " drawings.\n";
    else if (result.pairs.empty()) {
        out << "No similar drawings among the " << result.drawings << " drawings that could be read";
        if (!result.unread.empty())
            out << "; " << result.unread.size() << " could not be read and were not compared";
        if (!result.partial.empty())
            out << "; " << result.partial.size() << " could be read only in part";
        out << ".\n";
    }
    if (!parsed->json && (!result.pairs.empty() || !result.sameStudent.empty()))
        out << similar::pairListing(result);
    const auto listDrawings = [&](const std::vector<similar::UnreadDrawing>& list, const char* one, const char* many) {
        if (list.empty())
            return;
        err << "darv2007-cli similar: " << list.size() << (list.size() == 1 ? one : many) << ":\n";
        for (const similar::UnreadDrawing& u : list)
            err << "    " << terminalText(u.shownName) << ": " << terminalText(u.reason) << "\n";
    };
    listDrawings(result.unread, " drawing could not be read and was not compared",
                 " drawings could not be read and were not compared");
    listDrawings(result.partial, " drawing is damaged and was compared only on what could be read",
                 " drawings are damaged and were compared only on what could be read");
    err << "report: " << terminalText(result.reportPath) << "\n";
    // Only a class read whole gets the all-clear.
    if (!result.pairs.empty())
        return 1;
    return result.unread.empty() && result.partial.empty() ? 0 : 2;
}

} // namespace darv
