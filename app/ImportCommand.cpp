// darv2007-cli import: options, the project's lock, the import, the location and the message.
#include "app/ImportCommand.h"

#include "app/CommandWords.h"
#include "base/DataFolder.h"
#include "base/NameBytes.h"
#include "base/TerminalText.h"
#include "projects/ProjectLock.h"
#include "projects/ProjectName.h"
#include "projects/QuotedLinesFile.h"
#include "submissions/SubmissionImport.h"

#include <filesystem>
#include <system_error>

namespace darv {

namespace {

std::string absolutePath(const std::string& path)
{
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(path, ec);
    return ec ? path : full.lexically_normal().string();
}

} // namespace

int runImportCommand(const std::vector<std::string>& args, const std::string& defaultDataFolder, std::ostream& out,
                     std::ostream& err, const UpperCase& upperCase)
{
    std::string error;
    const auto words = splitCommandWords(args, {"--data", "--project"}, {}, "archive can be imported", error);
    std::string dataFolder = defaultDataFolder;
    std::string project;
    if (words) {
        for (const auto& [name, value] : words->options)
            (name == "--data" ? dataFolder : project) = value;
        if (!words->operand)
            error = "no archive given";
        else if (project.empty())
            error = "no project given: --project NAME";
        else if (!isUsableProjectName(project) || !projectNameFitsFiles(project))
            error = "'" + project + "' cannot be a project name";
        else if (dataFolder.empty())
            error = "no data folder: give --data DIR or install the system first";
    }
    if (!error.empty()) {
        err << "darv2007-cli import: " << terminalText(error) << "\n";
        return 2;
    }
    if (upperCase)
        project = upperCaseName(project, upperCase);
    dataFolder = absolutePath(dataFolder);
    std::error_code ec;
    if (!std::filesystem::is_directory(dataFolder, ec)) {
        err << "darv2007-cli import: the data folder " << terminalText(dataFolder) << " does not exist\n";
        return 2;
    }
    if (!std::filesystem::is_directory(std::filesystem::path(projectListPath(dataFolder)).parent_path(), ec)) {
        err << "darv2007-cli import: " << terminalText(dataFolder)
            << " is no data folder of DARV 2007 (it has no projects folder)\n";
        return 2;
    }
    const std::string archive = absolutePath(*words->operand);

    const ProjectLock lock = ProjectLock::acquire(dataFolder, project);
    if (lock.state() == ProjectLock::State::HeldByOther) {
        err << ProjectLock::busyMessage(project, lock.ownerPid()) << "\n";
        return 2;
    }
    if (!lock.held()) {
        err << "darv2007-cli import: " << terminalText(lock.reason()) << "\n";
        return 2;
    }
    const submissions::ImportReport report = submissions::importSubmissions(archive, dataFolder, project);
    if (report.outcome == submissions::ImportReport::Outcome::Stopped) {
        err << "darv2007-cli import: " << terminalText(submissions::importMessage(report), true) << "\n";
        return 2;
    }
    out << terminalText(submissions::importMessage(report), true) << "\n";

    bool added = false;
    if (const FileWrite written = appendQuotedLineOnce(projectListPath(dataFolder), project, added); !written) {
        err << "darv2007-cli import: the project list could not be written: " << terminalText(written.error().text)
            << "\n";
        return 2;
    } else if (added) {
        out << "Project " << terminalText(project) << " was added to the project list.\n";
    }
    const std::string location = "+" + report.target;
    if (const FileWrite written = appendQuotedLineOnce(locationFilePath(dataFolder, project), location, added);
        !written) {
        err << "darv2007-cli import: the location file could not be written: " << terminalText(written.error().text)
            << "\n";
        return 2;
    } else if (added) {
        out << "Location " << terminalText(location) << " was added to project " << terminalText(project) << ".\n";
    }
    return report.skipped.empty() ? 0 : 1;
}

} // namespace darv
