// darv2007-cli import: a learning platform's download archive into a project, one folder per student.
#pragma once

#include "app/CompareCommand.h"

#include <ostream>
#include <string>
#include <vector>

namespace darv {

// ARCHIVE --project NAME [--data DIR] (each option also as --name=VALUE). Unpacks the archive into the
// data folder's submissions/NAME/, adds the project when the list lacks it and the folder as a "+"
// location when the project lacks it, and prints what was imported, skipped and changed. Returns 0
// when everything was imported (or nothing changed), 1 when entries were skipped (not read), 2 when
// nothing was imported (an error, a limit, a damaged archive, the project busy).
int runImportCommand(const std::vector<std::string>& args, const std::string& defaultDataFolder, std::ostream& out,
                     std::ostream& err, const UpperCase& upperCase = {});

} // namespace darv
