// The fields of a delimited text file, read by the rule that the report writers rely on.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace darv {

// Splits text into fields: a field ends at a comma or at the end of a line (CR LF, LF or CR), except
// inside double quotes; a field enclosed in double quotes comes back without them, and whatever stands
// between its closing quote and the next comma or line end is dropped; blanks before a field are
// skipped. An empty line gives one empty field; the line end after the last line gives nothing more.
// A quote that is never closed ends with its line, so one damaged line cannot swallow the rest.
std::vector<std::string> readFields(std::string_view text);

} // namespace darv
