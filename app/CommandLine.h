// The command-line program's subcommands and their help texts.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace darv {

// args without the program name; dataFolder is the installed data folder (may be empty); upperCase
// upper-cases a file name by Unicode rules. "--help" lists the subcommands, "SUBCOMMAND --help" shows
// a subcommand's options and exit codes; an unknown subcommand or option prints a short usage on err
// and returns 2.
int runCommandLine(const std::vector<std::string>& args, const std::string& dataFolder,
                   const std::function<std::string(const std::string&)>& upperCase, std::ostream& out,
                   std::ostream& err);

// The subcommands in the order the help lists them.
std::vector<std::string> commandNames();

} // namespace darv
