// darv2007-cli collect: the collection run and the comparison on a data folder, without a window.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace darv {

// args are the words after "collect" (the options of "compare"). One progress line per drawing goes to
// err, then what "compare" prints goes to out. upperCase upper-cases a file name by Unicode rules.
// Returns 0 without conflicts, 1 with conflicts, 2 on an error.
int runCollectCommand(const std::vector<std::string>& args, const std::string& defaultDataFolder,
                      const std::function<std::string(const std::string&)>& upperCase, std::ostream& out,
                      std::ostream& err);

} // namespace darv
