// darv2007-cli store: setting up a department's evidence store on a PostgreSQL server, and moving a project's
// evidence between this computer's store and the server's.
#pragma once

#include "app/CompareCommand.h"

#include <ostream>
#include <string>
#include <vector>

namespace darv {

// init URL: creates the store's schema, its rules and the teachers' role on the server, or brings them up to
// date. grant URL ROLE: makes an existing database role a teacher. push PROJECT --to URL: copies the project's
// evidence from the data folder's store to the server; pull OWNER/PROJECT --from URL the other way (both
// resumable, and running them again changes nothing). URL is libpq's connection string or URL (a password comes
// from ~/.pgpass or PGPASSWORD, never from DARV). Returns 0 when done, 2 on an error.
int runStoreCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    const std::string& defaultDataFolder = "", const UpperCase& upperCase = {});

} // namespace darv
