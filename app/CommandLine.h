// The command-line program's subcommands.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace darv {

// args without the program name; dataFolder is the installed data folder (may be empty).
int runCommandLine(const std::vector<std::string>& args, const std::string& dataFolder, std::ostream& out,
                   std::ostream& err);

} // namespace darv
