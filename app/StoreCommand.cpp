// The store command: the department store's set-up, as its administrator runs it, and a teacher's moves of
// evidence between this computer and the server.
#include "app/StoreCommand.h"

#include "app/CommandWords.h"
#include "base/NameBytes.h"
#include "base/TerminalText.h"
#include "projects/ProjectLock.h"
#include "projects/ProjectName.h"
#include "similar/DepartmentSchema.h"
#include "similar/Postgres.h"
#include "similar/StoreCopy.h"
#include "similar/StoreOpening.h"

#include <algorithm>
#include <filesystem>

namespace darv {
namespace {

// push PROJECT --to URL | pull OWNER/PROJECT --from URL [--data DIR].
int moveEvidence(bool push, const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const std::string& defaultDataFolder, const UpperCase& upperCase)
{
    const std::string action = push ? "push" : "pull";
    const auto fail = [&](const std::string& text) {
        err << "darv2007-cli store " << action << ": " << terminalText(text) << "\n";
        return 2;
    };
    std::string error;
    const std::string serverOption = push ? "--to" : "--from";
    const auto words = splitCommandWords(args, {serverOption, "--data"}, {}, "project can be moved", error);
    if (!words)
        return fail(error);
    std::string server, dataFolder = defaultDataFolder;
    for (const auto& [name, value] : words->options)
        (name == "--data" ? dataFolder : server) = value;
    if (server.empty())
        return fail(action + " needs the server's address: " + serverOption + " URL");
    const std::string named = words->operand.value_or("");
    const std::size_t slash = named.find('/');
    const std::string owner = slash == std::string::npos ? "" : named.substr(0, slash);
    std::string project = slash == std::string::npos ? named : named.substr(slash + 1);
    if (!isUsableProjectName(project) || (push && slash != std::string::npos) || (!push && owner.empty()))
        return fail(named.empty() ? "no project given"
                    : push        ? "'" + named + "' cannot be a project name (push takes one of your own)"
                                  : "'" + named + "' is not OWNER/PROJECT");
    if (upperCase)
        project = upperCaseName(project, upperCase); // as the window names projects
    std::error_code ec;
    if (dataFolder.empty() || !std::filesystem::is_directory(dataFolder, ec))
        return fail("the data folder " + dataFolder + " does not exist");
    // This computer's project is held as a run holds it, the server's by the server.
    const ProjectLock lock = ProjectLock::acquire(dataFolder, project);
    if (!lock.held())
        return fail(lock.state() == ProjectLock::State::HeldByOther ? ProjectLock::busyMessage(project, lock.ownerPid())
                                                                    : "the project cannot be locked: " + lock.reason());
    similar::OpenedStore shared = similar::openEvidenceStore(dataFolder, server);
    if (!shared.store)
        return fail(shared.error);
    similar::OpenedStore local = similar::openEvidenceStore(dataFolder, "");
    if (!local.store)
        return fail("this computer's evidence store cannot be opened: " + local.error);
    const auto hold = push ? shared.store->holdProject(project) : similar::EvidenceStore::Hold::Held;
    if (hold == similar::EvidenceStore::Hold::Busy)
        return fail("project " + project + " is being checked or moved by another run on the server");
    if (hold == similar::EvidenceStore::Hold::Failed)
        return fail("the server cannot be used: " + shared.store->error());
    const std::string serverName = push ? project : owner + "/" + project;
    const similar::StoreCopy copy = push ? similar::copyProject(*local.store, project, *shared.store, serverName)
                                         : similar::copyProject(*shared.store, serverName, *local.store, project);
    if (!copy.failure.empty())
        return fail(copy.failure + " (" + std::to_string(copy.copied) +
                    " drawings copied before; running it again "
                    "takes it up there)");
    out << (push ? "Pushed " : "Pulled ") << terminalText(push ? project : serverName) << ": " << copy.copied
        << " drawings copied, " << copy.unchanged << " already there unchanged.\n";
    return 0;
}

} // namespace

int runStoreCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    const std::string& defaultDataFolder, const UpperCase& upperCase)
{
    // init and grant take no options: a "--" (the end of options) is passed over, once.
    std::vector<std::string> words = args;
    if (const auto end = std::find(words.begin(), words.end(), "--"); end != words.end())
        words.erase(end);
    const auto fail = [&](const std::string& text) {
        err << "darv2007-cli store: " << terminalText(text) << "\n";
        return 2;
    };
    const bool init = !words.empty() && words[0] == "init";
    const bool grant = !words.empty() && words[0] == "grant";
    if (!words.empty() && (words[0] == "push" || words[0] == "pull")) {
        std::vector<std::string> rest = args;
        rest.erase(std::find(rest.begin(), rest.end(), words[0]));
        return moveEvidence(words[0] == "push", rest, out, err, defaultDataFolder, upperCase);
    }
    if (!init && !grant)
        return fail(words.empty() ? "no action given: init, grant, push or pull"
                                  : "unknown action '" + words[0] + "': init, grant, push or pull");
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
