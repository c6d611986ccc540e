// The command-line program's subcommands and their help texts.
#include "app/CommandLine.h"

#include "app/BuildInfo.h"
#include "app/CollectCommand.h"
#include "app/CompareCommand.h"
#include "app/DwgInfoCommand.h"
#include "app/ImportCommand.h"
#include "app/SimilarCommand.h"
#include "app/StoreCommand.h"

#include <algorithm>
#include <optional>

namespace darv {

namespace {

using UpperCase = std::function<std::string(const std::string&)>;

struct Context
{
    const std::string& dataFolder;
    const UpperCase& upperCase;
    std::ostream& out;
    std::ostream& err;
};

struct Option
{
    const char* name;
    const char* value; // what follows the option ("DIR"); nullptr for a switch
    const char* help;
};

// One entry per subcommand: the command list of --help, the page of SUBCOMMAND --help, and the options
// the subcommand takes (anything else that starts with "--" is refused before the subcommand runs).
struct Subcommand
{
    const char* name;
    const char* operands;
    const char* summary;
    const char* description;
    std::vector<Option> options;
    const char* exitCodes;
    int (*run)(const std::vector<std::string>& args, const Context& context);
};

const std::vector<Option> kRunOptions = {
    {"--data", "DIR", "the data folder (default: the one DARV 2007 was set up in)"},
    {"--checks", "LIST", "the checks: a comma-separated subset of time,handles,age (default time,handles)"},
    {"--entity", "TEXT", "the entity type of the handle check, such as LINE (default: the window's choice)"},
    {"--percent", "NUMBER", "the share of shared handles that makes a conflict, 0 to 100 (default 100)"},
    {"--age", "TEXT",
     "the age limit: \"1 month\" to \"5 years\" or \"over 5 years\", any letter case (default \"1 month\")"},
};

const char* const kRunExitCodes = "  0  the checks found no conflict among all the project's drawings\n"
                                  "  1  the checks found conflicts\n"
                                  "  2  an error: a wrong command line, a missing project or data folder, a "
                                  "stopped run,\n"
                                  "     or no conflict found while some drawings could not be compared\n";

const std::vector<Subcommand>& subcommands()
{
    static const std::vector<Subcommand> table = {
        {"dwginfo",
         "FILE...",
         "show what drawings (DWG or DXF) hold: version, creation time and entities",
         "Reads each drawing (a DWG or a DXF file) and prints its version, its creation time as the CAD\n"
         "program shows it (tdcreate) and in universal time (tducreate), its number of entities and one line\n"
         "per entity with its handle and class name. A drawing that cannot be read gets an \"error\" line\n"
         "with the reason. With --json it prints everything the drawing holds instead (properties, layers,\n"
         "blocks with their entities, every entity's layer, geometry and contents), one JSON object per file\n"
         "and line.\n",
         {{"--json", nullptr, "print one JSON object per drawing and line"}},
         "  0  every drawing was read\n"
         "  2  a drawing could not be read, or a wrong command line\n",
         [](const std::vector<std::string>& args, const Context& c) {
             if (std::all_of(args.begin(), args.end(), [](const std::string& w) { return w == "--json"; })) {
                 c.err << "darv2007-cli dwginfo: name at least one drawing\n";
                 return 2;
             }
             return runDwgInfo(args, c.out);
         }},
        {"compare", "PROJECT", "compare a project's collected data again and write its three reports",
         "Runs the checks over what the last collection of PROJECT recorded, without reading the drawings\n"
         "again (the window's \"Recompare...\"), writes the project's time, handle and age reports and prints\n"
         "the counters and the verdict.\n",
         kRunOptions, kRunExitCodes,
         [](const std::vector<std::string>& args, const Context& c) {
             return runCompareCommand(args, c.dataFolder, c.out, c.err, c.upperCase);
         }},
        {"collect", "PROJECT", "read every drawing of a project, then compare",
         "Reads every drawing in the locations of PROJECT (the window's \"Start COLLECTING...\"), prints one\n"
         "line per drawing on the error output, records what the drawings hold in the project's collected\n"
         "data, then compares as \"compare\" does.\n",
         kRunOptions, kRunExitCodes,
         [](const std::vector<std::string>& args, const Context& c) {
             return runCollectCommand(args, c.dataFolder, c.upperCase, c.out, c.err);
         }},
        {"similar",
         "PROJECT",
         "find similar drawings in a project and earlier years, with evidence",
         "Reads every drawing (DWG and DXF) in the locations of PROJECT into the evidence store (a drawing\n"
         "that has not changed is not read again), compares the class, and with --against also the stored\n"
         "drawings of earlier projects, and ranks the pairs that share rare geometry, drawing order, texts or\n"
         "file traces. What the templates hold, and what more than the common share of the class holds, is\n"
         "no evidence. Writes the report \"similar drawings/PROJECT.sim\" and prints the pairs at or above\n"
         "the threshold, with one line per signal; a drawing that cannot be read is a warning line. A damaged\n"
         "evidence store stops the run; --rebuild-store rebuilds it from the drawings still on disk (earlier\n"
         "projects whose drawings are gone are named as lost; the damaged one is kept as\n"
         "evidence.sqlite.damaged). With --store URL the evidence is kept on the department's PostgreSQL\n"
         "server instead (see 'store'), where --against OWNER/PROJECT names another teacher's project; a\n"
         "server that cannot be reached or refuses the login stops the run, and nothing is kept on this\n"
         "computer instead. One run at a time checks a project on the server.\n",
         {{"--data", "DIR", "the data folder (default: the one DARV 2007 was set up in)"},
          {"--template", "FILE", "a drawing every student started from; repeat for several (remembered)"},
          {"--against", "PROJECT", "an earlier project to compare with (OWNER/PROJECT: a colleague's); repeat"},
          {"--store", "URL", "keep the evidence on the department's server (a libpq connection string or URL)"},
          {"--min", "PERCENT", "report pairs whose score is at least this (default 50)"},
          {"--share", "PERCENT", "ignore what more of the class than this holds (default 25)"},
          {"--json", nullptr, "print the ranked pairs as JSON instead"},
          {"--rebuild-store", nullptr, "rebuild a damaged evidence store first, from the drawings on disk"}},
         "  0  every drawing was read whole and no pair reached the threshold\n"
         "  1  pairs reached the threshold (drawings not read, or read only in part, are named)\n"
         "  2  no pair reached the threshold but some drawings could not be read (or only in part), or an\n"
         "     error: a wrong command line, a missing data folder, a damaged or unreadable store or\n"
         "     template, a server that cannot be reached, a failed report, or the project is being collected\n"
         "     or compared by another DARV\n",
         [](const std::vector<std::string>& args, const Context& c) {
             return runSimilarCommand(args, c.dataFolder, c.out, c.err, similar::readForSimilarity, c.upperCase);
         }},
        {"import",
         "ARCHIVE",
         "import a learning platform's download archive into a project, one folder per student",
         "Unpacks a download of the students' submissions (ZIP, 7z, tar.gz or tar.xz: Moodle's \"Download all\n"
         "submissions\", Canvas's submissions.zip, or a plain archive of one folder per student) into the data\n"
         "folder's submissions/PROJECT/, one folder per student with every drawing directly in it; the\n"
         "students' own archives inside are unpacked too. The manifest submissions/PROJECT/import.json names\n"
         "each file's student, where it came from and its hash. Adds the project when it is missing and the\n"
         "folder as a \"+\" location. A newer download of the same assignment replaces what changed, leaves\n"
         "unchanged files untouched and keeps files it no longer holds. Links, absolute paths and \"..\" are\n"
         "refused; an import stops, changing nothing, beyond 4 GiB unpacked, 200 times the archive's size,\n"
         "100000 entries, or archives inside students' archives; encrypted and damaged entries are skipped.\n",
         {{"--project", "NAME", "the project (the assignment) to import into"},
          {"--data", "DIR", "the data folder (default: the one DARV 2007 was set up in)"}},
         "  0  everything was imported, or the project already held it\n"
         "  1  imported, but some entries were skipped and are not read (the message names them)\n"
         "  2  nothing was imported: a wrong command line, a missing data folder or archive, a damaged\n"
         "     archive, a limit reached, or the project is being collected or compared by another DARV\n",
         [](const std::vector<std::string>& args, const Context& c) {
             return runImportCommand(args, c.dataFolder, c.out, c.err, c.upperCase);
         }},
        {"store",
         "init URL | grant URL ROLE | push PROJECT --to URL | pull OWNER/PROJECT --from URL",
         "set up a department's evidence store on a PostgreSQL server, move evidence to and from it",
         "For the administrator of a department's PostgreSQL server. 'init URL' creates the evidence store's\n"
         "tables, the rules the server enforces (every teacher reads all evidence and adds, changes and removes\n"
         "only their own) and the role darv_teacher, or brings them up to date; running it again changes\n"
         "nothing. 'grant URL ROLE' makes an existing database role a teacher. URL is a libpq connection\n"
         "string or URL (postgresql://admin@server/darv, or service=darv with ~/.pg_service.conf); a password\n"
         "comes from ~/.pgpass or PGPASSWORD and is never written by DARV. For a teacher: 'push PROJECT\n"
         "--to URL' copies a project's evidence from this computer's store to the server (archiving a\n"
         "finished year), 'pull OWNER/PROJECT --from URL' copies a teacher's project from the server into\n"
         "this computer's store; a move that stops is taken up where it stopped, and running it again changes\n"
         "nothing.\n",
         {{"--to", "URL", "push: the server to copy to"},
          {"--from", "URL", "pull: the server to copy from"},
          {"--data", "DIR", "push, pull: the data folder (default: the one DARV 2007 was set up in)"}},
         "  0  done\n"
         "  2  a wrong command line, a server that cannot be reached or refuses the login, a store\n"
         "     written by a newer DARV, a role that does not exist, or a project that cannot be moved\n",
         [](const std::vector<std::string>& args, const Context& c) {
             return runStoreCommand(args, c.out, c.err, c.dataFolder, c.upperCase);
         }},
    };
    return table;
}

const Subcommand* findSubcommand(const std::string& name)
{
    const auto& table = subcommands();
    const auto found = std::find_if(table.begin(), table.end(), [&](const Subcommand& s) { return name == s.name; });
    return found == table.end() ? nullptr : &*found;
}

bool isHelp(const std::string& word)
{
    return word == "--help" || word == "-h";
}

void printShortUsage(std::ostream& out)
{
    out << "usage: darv2007-cli COMMAND [ARGUMENTS...]\n"
           "Try 'darv2007-cli --help' for the commands.\n";
}

void printHelp(std::ostream& out)
{
    out << "usage: darv2007-cli COMMAND [ARGUMENTS...]\n"
           "Does the work of DARV 2007 without a window: reads drawings, collects projects and compares them.\n"
           "\nCommands:\n";
    std::size_t width = 0;
    for (const Subcommand& command : subcommands())
        width = std::max(width, std::string(command.name).size());
    for (const Subcommand& command : subcommands())
        out << "  " << command.name << std::string(width + 3 - std::string(command.name).size(), ' ') << command.summary
            << "\n";
    out << "\nOptions:\n"
           "  -h, --help     show this help; 'darv2007-cli COMMAND --help' shows a command's options\n"
           "  --version      show the version\n"
           "\nExit status: 0 no conflicts, 1 conflicts found, 2 an error; each command's help lists its own.\n";
}

std::string synopsis(const Subcommand& command)
{
    std::string text = std::string("darv2007-cli ") + command.name + " " + command.operands;
    for (const Option& option : command.options)
        text += std::string(" [") + option.name + (option.value ? std::string(" ") + option.value : "") + "]";
    return text;
}

void printCommandHelp(const Subcommand& command, std::ostream& out)
{
    out << "usage: " << synopsis(command) << "\n\n" << command.description << "\nOptions:\n";
    for (const Option& option : command.options) {
        const std::string left = std::string(option.name) + (option.value ? std::string(" ") + option.value : "");
        out << "  " << left << std::string(left.size() < 16 ? 16 - left.size() : 1, ' ') << option.help << "\n";
    }
    out << "  -h, --help      show this help\n";
    if (std::any_of(command.options.begin(), command.options.end(), [](const Option& o) { return o.value; }))
        out << "An option's value may also follow an equals sign: --name=VALUE.\n";
    out << "\nExit status:\n" << command.exitCodes;
}

// The first word that starts with "--" but names none of the command's options; the value of an option
// that takes one is skipped.
std::optional<std::string> unknownOption(const Subcommand& command, const std::vector<std::string>& args)
{
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string& word = args[k];
        if (word.size() < 3 || word.compare(0, 2, "--") != 0)
            continue;
        const std::string name = word.substr(0, word.find('='));
        const auto option = std::find_if(command.options.begin(), command.options.end(),
                                         [&](const Option& o) { return name == o.name; });
        if (option == command.options.end())
            return name;
        if (option->value && name.size() == word.size())
            ++k;
    }
    return std::nullopt;
}

int runSubcommand(const Subcommand& command, const std::vector<std::string>& args, const Context& context)
{
    if (std::any_of(args.begin(), args.end(), isHelp)) {
        printCommandHelp(command, context.out);
        return 0;
    }
    if (const auto unknown = unknownOption(command, args)) {
        context.err << "darv2007-cli " << command.name << ": unknown option '" << *unknown << "'\n"
                    << "usage: " << synopsis(command) << "\n"
                    << "Try 'darv2007-cli " << command.name << " --help' for more information.\n";
        return 2;
    }
    return command.run(args, context);
}

} // namespace

std::vector<std::string> commandNames()
{
    std::vector<std::string> names;
    for (const Subcommand& command : subcommands())
        names.emplace_back(command.name);
    return names;
}

int runCommandLine(const std::vector<std::string>& args, const std::string& dataFolder, const UpperCase& upperCase,
                   std::ostream& out, std::ostream& err)
{
    if (args.empty()) {
        printShortUsage(err);
        return 2;
    }
    const std::string& word = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (isHelp(word) || (word == "help" && rest.empty())) {
        printHelp(out);
        return 0;
    }
    if (word == "--version") {
        out << "darv2007-cli " << kVersion << "\n";
        return 0;
    }
    if (word == "help") {
        if (const Subcommand* command = findSubcommand(rest[0])) {
            printCommandHelp(*command, out);
            return 0;
        }
    } else if (const Subcommand* command = findSubcommand(word)) {
        return runSubcommand(*command, rest, Context{dataFolder, upperCase, out, err});
    }
    const std::string& unknown = word == "help" ? rest[0] : word;
    err << "darv2007-cli: unknown " << (unknown.rfind('-', 0) == 0 ? "option" : "command") << " '" << unknown << "'\n";
    printShortUsage(err);
    return 2;
}

} // namespace darv
