// darv2007-cli dwginfo: what the drawing readers find in each file (DWG or DXF), as plain text lines or JSON
// Lines.
#include "app/DwgInfoCommand.h"

#include "app/DrawingJson.h"
#include "base/NumberText.h"
#include "base/TerminalText.h"
#include "drawing/CadTime.h"
#include "drawing/Drawing.h"
#include "readers/AnyDrawing.h"

#include <cstdio>

namespace darv {

namespace {

std::string hexHandle(std::uint64_t handle)
{
    char text[24];
    std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(handle));
    return text;
}

void writeDrawing(const dwg::Drawing& drawing, std::ostream& out)
{
    out << "version " << drawing.version << "\n";
    // A DXF keeps the value the CAD program showed; a DWG keeps the instant, shown as that program shows it.
    std::string shown = "-";
    if (drawing.createdAsWritten)
        shown = decimalText(*drawing.createdAsWritten);
    else if (drawing.created)
        shown = decimalText(dwg::cadJulianDate(*drawing.created));
    out << "tdcreate " << shown << "\n";
    // R13/R14 keep no universal creation time.
    const bool universal = drawing.created && drawing.createdIsUniversal;
    out << "tducreate " << (universal ? decimalText(dwg::storedJulianDate(*drawing.created)) : "-") << "\n";
    out << "entities " << drawing.entities.size() << "\n";
    for (const dwg::Entity& entity : drawing.entities) {
        out << hexHandle(entity.handle) << " " << entity.className << "\n";
    }
    for (const std::string& warning : drawing.warnings)
        out << "warning " << terminalText(warning) << "\n";
    for (const std::string& note : drawing.notes)
        out << "note " << terminalText(note) << "\n";
}

int runDwgInfoJson(const std::vector<std::string>& files, std::ostream& out)
{
    bool anyFailed = false;
    for (const std::string& file : files) {
        const dwg::ReadResult result = dxf::readAnyDrawingFile(file, dwg::ReadDetail::Contents);
        if (result.ok()) {
            out << drawingJsonLine(file, *result.drawing) << "\n";
            // Read only in part: what was read is shown, its "warnings" say what is missing; no all-clear.
            anyFailed = anyFailed || !result.drawing->warnings.empty();
        } else {
            out << errorJsonLine(file, dwg::describe(result.error)) << "\n";
            anyFailed = true;
        }
    }
    return anyFailed ? 2 : 0;
}

} // namespace

int runDwgInfo(const std::vector<std::string>& args, std::ostream& out)
{
    // --json may stand anywhere among the files; after "--" every word is a file.
    std::vector<std::string> files;
    bool json = false;
    bool optionsEnded = false;
    for (const std::string& word : args) {
        if (word == "--" && !optionsEnded)
            optionsEnded = true;
        else if (word == "--json" && !optionsEnded)
            json = true;
        else
            files.push_back(word);
    }
    if (json)
        return runDwgInfoJson(files, out);
    bool anyFailed = false;
    for (const std::string& file : files) {
        out << "file " << terminalText(file) << "\n";
        const dwg::ReadResult result = dxf::readAnyDrawingFile(file, dwg::ReadDetail::Entities);
        if (result.ok()) {
            writeDrawing(*result.drawing, out);
            anyFailed = anyFailed || !result.drawing->warnings.empty();
        } else {
            out << "error " << terminalText(dwg::describe(result.error)) << "\n";
            anyFailed = true;
        }
    }
    return anyFailed ? 2 : 0;
}

} // namespace darv
