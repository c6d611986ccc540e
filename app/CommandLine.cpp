// The command-line program's subcommands.
#include "app/CommandLine.h"

namespace darv {

namespace {
void printUsage(std::ostream& out)
{
    out << "usage: darv2007-cli COMMAND ...\n"
           "  dwginfo FILE...        show what a drawing holds: version, creation time, entities\n"
           "  compare PROJECT [--data DIR] [--checks LIST] [--entity TEXT] [--percent TEXT] [--age TEXT]\n"
           "                         compare a project's collected data again and write its reports\n"
           "  collect PROJECT [--data DIR] [--entity TEXT] [--checks LIST] [--percent TEXT] [--age TEXT]\n"
           "                         read every drawing of a project, then compare\n";
}
} // namespace

int runCommandLine(const std::vector<std::string>& args, const std::string& dataFolder, std::ostream& out,
                   std::ostream& err)
{
    (void)dataFolder;
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        printUsage(args.empty() ? err : out);
        return args.empty() ? 2 : 0;
    }
    err << "darv2007-cli: unknown command '" << args[0] << "'\n";
    printUsage(err);
    return 2;
}

} // namespace darv
