// The words the window program and the installer take: --help, --version and the installer's --data.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace darv {

// The window program takes --help and --version (they answer on out and end the program without a
// window or a display) and the few Qt options a desktop session passes on (-session ID, -platform NAME,
// -style NAME, -display NAME). Anything else prints a short usage on err. Returns the exit status when
// the program ends here; nothing when the window starts.
std::optional<int> windowProgramOptions(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

struct InstallOptions
{
    std::optional<int> exitStatus; // set when the program ends here (--help, --version, a wrong word)
    std::string dataFolder;        // --data DIR; empty for the default folder
};

// darv2007-install [--data DIR] [--help] [--version].
InstallOptions installProgramOptions(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace darv
