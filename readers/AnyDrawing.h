// Reads a drawing file of either format: DWG or DXF, told apart by the file's content, not its name.
#pragma once

#include "drawing/Drawing.h"

#include <string>

namespace dxf {

// Reads the file into memory (dwg::FileBytes: no special files, nothing over dwg::maxDrawingBytes, no file that
// changes meanwhile) and reads it with the DWG reader when it starts with a DWG version string, with the DXF reader
// when it looks like a DXF; anything else is dwg::ErrorCode::NotDwg.
dwg::ReadResult readAnyDrawingFile(const std::string& path, dwg::ReadDetail detail = dwg::ReadDetail::Entities);

} // namespace dxf
