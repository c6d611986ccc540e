// The command-line program's subcommands.
#include "app/CommandLine.h"

#include "app/CollectCommand.h"
#include "app/CompareCommand.h"
#include "app/DwgInfoCommand.h"
#include "app/SimilarCommand.h"

namespace darv {

namespace {
void printUsage(std::ostream& out)
{
    out << "usage: darv2007-cli COMMAND ...\n"
           "  dwginfo FILE...        show what a drawing holds: version, creation time, entities\n"
           "  compare PROJECT [--data DIR] [--checks LIST] [--entity TEXT] [--percent TEXT] [--age TEXT]\n"
           "                         compare a project's collected data again and write its reports\n"
           "  collect PROJECT [--data DIR] [--entity TEXT] [--checks LIST] [--percent TEXT] [--age TEXT]\n"
           "                         read every drawing of a project, then compare\n"
           "  similar PROJECT [--data DIR] [--template FILE]... [--against PROJECT]... [--min N] [--share N] [--json]\n"
           "LIST is a comma-separated subset of time,handles,age (default time,handles).\n"
           "Exit status: 0 no conflicts, 1 conflicts found, 2 an error.\n";
}
} // namespace

int runCommandLine(const std::vector<std::string>& args, const std::string& dataFolder,
                   const std::function<std::string(const std::string&)>& upperCase, std::ostream& out,
                   std::ostream& err)
{
    if (args.empty()) {
        printUsage(err);
        return 2;
    }
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help") {
        printUsage(out);
        return 0;
    }
    if (command == "dwginfo") {
        if (rest.empty()) {
            err << "darv2007-cli dwginfo: name at least one drawing\n";
            return 2;
        }
        return runDwgInfo(rest, out);
    }
    if (command == "compare")
        return runCompareCommand(rest, dataFolder, out, err);
    if (command == "collect")
        return runCollectCommand(rest, dataFolder, upperCase, out, err);
    if (command == "similar")
        return runSimilarCommand(rest, dataFolder, out, err);
    err << "darv2007-cli: unknown command '" << command << "'\n";
    printUsage(err);
    return 2;
}

} // namespace darv
