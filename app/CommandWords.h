// The words of a subcommand: one operand (the project) and options, "--name VALUE" or "--name=VALUE".
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace darv {

struct CommandWords
{
    std::optional<std::string> operand;                       // the one word that is no option
    std::vector<std::pair<std::string, std::string>> options; // in the order given; a switch has ""
};

// Options in `valued` take a value, those in `switches` none; "--" ends the options. Empty optional, with the reason in
// error, for an unknown option, a missing value or a second operand (what names the operand in that message).
std::optional<CommandWords> splitCommandWords(const std::vector<std::string>& args, const std::set<std::string>& valued,
                                              const std::set<std::string>& switches, const std::string& what,
                                              std::string& error);

} // namespace darv
