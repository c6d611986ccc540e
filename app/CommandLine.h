// The command-line program's subcommands.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace darv {

// args without the program name; dataFolder is the installed data folder (may be empty); upperCase
// upper-cases a file name by Unicode rules.
int runCommandLine(const std::vector<std::string>& args, const std::string& dataFolder,
                   const std::function<std::string(const std::string&)>& upperCase, std::ostream& out,
                   std::ostream& err);

} // namespace darv
