// The store command: the department store's set-up, as its administrator runs it.
#include "app/StoreCommand.h"

#include "base/TerminalText.h"
#include "similar/DepartmentSchema.h"
#include "similar/Postgres.h"

#include <algorithm>

namespace darv {

int runStoreCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    // The command takes no options: a "--" (the end of options) is passed over, once.
    std::vector<std::string> words = args;
    if (const auto end = std::find(words.begin(), words.end(), "--"); end != words.end())
        words.erase(end);
    const auto fail = [&](const std::string& text) {
        err << "darv2007-cli store: " << terminalText(text) << "\n";
        return 2;
    };
    const bool init = !words.empty() && words[0] == "init";
    const bool grant = !words.empty() && words[0] == "grant";
    if (!init && !grant)
        return fail(words.empty() ? "no action given: init URL or grant URL ROLE"
                                  : "unknown action '" + words[0] + "': init URL or grant URL ROLE");
    if (words.size() != (init ? 2u : 3u))
        return fail(init ? "init takes the server's URL" : "grant takes the server's URL and the role");
    similar::PgConnection db;
    if (!db.connect(words[1]))
        return fail(db.error());
    std::string failure;
    if (init) {
        if (!similar::initDepartmentStore(db, failure))
            return fail(failure);
        out << "The department's evidence store is ready (schema version " << similar::kDepartmentSchemaVersion
            << "). Make each teacher's database role a teacher with: darv2007-cli store grant URL ROLE\n";
        return 0;
    }
    if (!similar::grantTeacher(db, words[2], failure))
        return fail(failure);
    out << terminalText(words[2]) << " is a teacher of the department's evidence store: reads every teacher's "
        << "evidence, writes only their own.\n";
    return 0;
}

} // namespace darv
