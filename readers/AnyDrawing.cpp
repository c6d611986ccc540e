// Reads a drawing file of either format: DWG or DXF, told apart by the file's content, not its name.
#include "readers/AnyDrawing.h"

#include "drawing/FileBytes.h"
#include "dxf/DxfReader.h"

#include <string_view>

namespace dxf {

namespace {

// Every DWG file starts with its version: "AC1015", "AC1.50", "MC0.0"...
bool startsLikeDwg(std::span<const std::uint8_t> bytes)
{
    const std::string_view start(reinterpret_cast<const char*>(bytes.data()), bytes.size() < 2 ? bytes.size() : 2);
    return start == "AC" || start == "MC";
}

} // namespace

dwg::ReadResult readAnyDrawingFile(const std::string& path, dwg::ReadDetail detail)
{
    const dwg::FileBytes file = dwg::FileBytes::open(path);
    if (!file.ok()) {
        dwg::ReadResult result;
        result.error = file.error();
        return result;
    }
    if (startsLikeDwg(file.bytes())) {
        return dwg::readDrawing(file.bytes(), detail);
    }
    if (looksLikeDxf(file.bytes())) {
        return readDxf(file.bytes(), detail);
    }
    dwg::ReadResult result;
    result.error = {dwg::ErrorCode::NotDwg, 0, "neither DWG nor DXF"};
    return result;
}

} // namespace dxf
