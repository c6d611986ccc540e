// darv2007-cli collect: the collection run and the comparison on a data folder, without a window.
#include "app/CollectCommand.h"

#include "app/CompareCommand.h"
#include "app/ConsoleView.h"
#include "base/DataFolder.h"
#include "base/NumberText.h"
#include "base/TerminalText.h"
#include "collect/CollectionRun.h"
#include "collect/DwgCadHost.h"

namespace darv {

int runCollectCommand(const std::vector<std::string>& args, const std::string& defaultDataFolder,
                      const std::function<std::string(const std::string&)>& upperCase, std::ostream& out,
                      std::ostream& err)
{
    const auto prepared = prepareRun("collect", args, defaultDataFolder, err, upperCase);
    if (!prepared)
        return 2;
    const CompareCommandArgs& parsed = prepared->args;
    ConsoleCompare console(err);
    ConsoleView& view = console.view;
    DwgCadHost host;
    host.attach();
    CollectionRun run(view, console.compare, host, upperCase);
    run.drawingRead = [&err](const DrawingOutcome& drawing) {
        err << terminalText(drawing.path) << ": ";
        if (!drawing.opened) {
            err << "cannot be read: " << terminalText(drawing.failure) << "\n";
            return;
        }
        err << drawing.entities << " entities, " << drawing.matches << " matching, created "
            << (drawing.created ? decimalText(*drawing.created) : std::string("-")) << "\n";
        for (const std::string& warning : drawing.warnings)
            err << terminalText(drawing.path) << ": read only in part: " << terminalText(warning) << "\n";
    };
    const CollectResult result = run.collect(parsed.dataFolder, parsed.project, prepared->locations, parsed.options);
    if (result.outcome != CollectOutcome::Compared) {
        if (result.outcome == CollectOutcome::Stopped)
            view.print(out);
        return 2;
    }
    view.print(out);
    return compareExitStatus(result.compare);
}

} // namespace darv
