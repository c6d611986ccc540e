// darv2007-cli collect: the collection run and the comparison on a data folder, without a window.
#include "app/CollectCommand.h"

#include "app/CompareCommand.h"
#include "app/ConsoleView.h"
#include "app/DataFolder.h"
#include "app/NumberText.h"
#include "collect/CollectionRun.h"
#include "collect/DwgCadHost.h"
#include "compare/SystemCompareClock.h"

namespace darv {

int runCollectCommand(const std::vector<std::string>& args, const std::string& defaultDataFolder,
                      const std::function<std::string(const std::string&)>& upperCase, std::ostream& out,
                      std::ostream& err)
{
    const auto prepared = prepareRun("collect", args, defaultDataFolder, err, upperCase);
    if (!prepared)
        return 2;
    const CompareCommandArgs* parsed = &prepared->args;
    const std::vector<std::string>& locations = prepared->locations;

    ConsoleView view(err);
    SystemCompareClock clock;
    CompareRun compare(view, clock);
    DwgCadHost host;
    host.attach();
    CollectionRun run(view, compare, host, upperCase);
    run.drawingRead = [&err](const DrawingOutcome& drawing) {
        err << drawing.path << ": ";
        if (!drawing.opened) {
            err << "cannot be read: " << drawing.failure << "\n";
            return;
        }
        err << drawing.entities << " entities, " << drawing.matches << " matching, created "
            << (drawing.created ? decimalText(*drawing.created) : std::string("-")) << "\n";
        for (const std::string& warning : drawing.warnings)
            err << drawing.path << ": read only in part: " << warning << "\n";
    };
    const CollectResult result = run.cmdCollect_Click(parsed->dataFolder, parsed->project, locations, parsed->options);
    if (result.outcome != CollectOutcome::Compared) {
        if (result.outcome == CollectOutcome::Stopped)
            view.print(out);
        return 2;
    }
    view.print(out);
    switch (result.compare.outcome) {
    case CompareOutcome::Complete:
        return result.compare.alertGiven ? 1 : result.compare.notCompared > 0 || result.compare.partlyRead > 0 ? 2 : 0;
    case CompareOutcome::NothingCounted:
    case CompareOutcome::Stopped:
    case CompareOutcome::NoCollectedData:
    case CompareOutcome::Busy:
        return 2;
    }
    return 2;
}

} // namespace darv
