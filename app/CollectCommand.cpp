// darv2007-cli collect: the collection run and the comparison on a data folder, without a window.
#include "app/CollectCommand.h"

#include "app/CompareCommand.h"
#include "app/ConsoleView.h"
#include "app/DataFolder.h"
#include "app/NumberText.h"
#include "collect/CollectionRun.h"
#include "collect/DwgCadHost.h"
#include "compare/SystemCompareClock.h"
#include "projects/QuotedLinesFile.h"

#include <filesystem>
#include <system_error>

namespace darv {

int runCollectCommand(const std::vector<std::string>& args, const std::string& defaultDataFolder,
                      const std::function<std::string(const std::string&)>& upperCase, std::ostream& out,
                      std::ostream& err)
{
    std::string error;
    const auto parsed = parseCompareArgs(args, defaultDataFolder, error);
    if (!parsed) {
        err << "darv2007-cli collect: " << error << "\n";
        return 2;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(parsed->dataFolder, ec)) {
        err << "darv2007-cli collect: the data folder " << parsed->dataFolder << " does not exist\n";
        return 2;
    }
    const auto locations =
        readQuotedLines(locationFilePath(parsed->dataFolder, parsed->project)).value_or(std::vector<std::string>{});

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
    };
    const CollectResult result = run.cmdCollect_Click(parsed->dataFolder, parsed->project, locations, parsed->options);
    if (result.outcome == CollectOutcome::Fatal)
        return 2;
    view.print(out);
    switch (result.compare.outcome) {
    case CompareOutcome::Complete:
        return result.compare.alertGiven ? 1 : 0;
    case CompareOutcome::NothingCounted:
    case CompareOutcome::Stopped:
    case CompareOutcome::NoCollectedData:
        return 2;
    }
    return 2;
}

} // namespace darv
