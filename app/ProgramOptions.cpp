// The words the window program and the installer take: --help, --version and the installer's --data.
#include "app/ProgramOptions.h"

#include "app/BuildInfo.h"

#include <array>

namespace darv {

namespace {

void printWindowHelp(std::ostream& out)
{
    out << "usage: darv2007 [--help | --version]\n"
           "Starts DARV 2007, which finds copied work among students' CAD drawings (DWG files).\n"
           "On its first start it sets up its data folder (~/.local/share/DARV2007) and says so.\n"
           "\nOptions:\n"
           "  -h, --help     show this help\n"
           "  --version      show the version\n"
           "\nSee also darv2007-cli(1) for the same work without a window and darv2007-install(1).\n";
}

void printInstallHelp(std::ostream& out)
{
    out << "usage: darv2007-install [--data DIR]\n"
           "Creates the DARV 2007 data folder (default ~/.local/share/DARV2007) with its sub-folders,\n"
           "writes the pictures, alert sound and help texts into its \"resources\" folder and records\n"
           "the folder for the current user. Projects, locations, collected data, reports and\n"
           "settings files already in the folder are kept.\n"
           "\nOptions:\n"
           "  --data DIR     set up the data folder in DIR instead\n"
           "  -h, --help     show this help\n"
           "  --version      show the version\n"
           "\nExit status: 0 installed, 1 the installation failed, 2 a wrong command line.\n";
}

bool isHelp(const std::string& word)
{
    return word == "--help" || word == "-h";
}

// Qt's own options that a desktop session or a user may pass to any Qt program; each takes a value.
bool isQtOption(const std::string& word)
{
    constexpr std::array<const char*, 4> names = {"-session", "-platform", "-style", "-display"};
    for (const char* name : names) {
        if (word == name || word == std::string("-") + name)
            return true;
    }
    return false;
}

} // namespace

std::optional<int> windowProgramOptions(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string& word = args[k];
        if (isHelp(word)) {
            printWindowHelp(out);
            return 0;
        }
        if (word == "--version") {
            out << "darv2007 " << kVersion << "\n";
            return 0;
        }
        if (isQtOption(word) && k + 1 < args.size()) {
            ++k;
            continue;
        }
        err << "darv2007: unknown " << (word.rfind('-', 0) == 0 ? "option" : "argument") << " '" << word << "'\n"
            << "usage: darv2007 [--help | --version]\n";
        return 2;
    }
    return std::nullopt;
}

InstallOptions installProgramOptions(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    InstallOptions options;
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string& word = args[k];
        if (isHelp(word)) {
            printInstallHelp(out);
            options.exitStatus = 0;
            return options;
        }
        if (word == "--version") {
            out << "darv2007-install " << kVersion << "\n";
            options.exitStatus = 0;
            return options;
        }
        if (word == "--data" || word.rfind("--data=", 0) == 0) {
            const bool joined = word.size() > 6;
            options.dataFolder = joined ? word.substr(7) : (k + 1 < args.size() ? args[++k] : std::string());
            if (options.dataFolder.empty()) {
                err << "darv2007-install: --data needs a folder\n";
                options.exitStatus = 2;
                return options;
            }
            continue;
        }
        err << "darv2007-install: unknown " << (word.rfind('-', 0) == 0 ? "option" : "argument") << " '" << word
            << "'\nusage: darv2007-install [--data DIR]\n";
        options.exitStatus = 2;
        return options;
    }
    return options;
}

} // namespace darv
