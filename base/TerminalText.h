// Names and messages for a terminal: control characters in them (an escape sequence, a bell, a carriage
// return in a file name) would be acted on by the terminal, so they are shown as escapes instead.
#pragma once

#include <string>
#include <string_view>

namespace darv {

// "\n", "\r", "\t", "\\x1b"... for every control character and DEL; a backslash stays as it is. With
// keepLineEnds, line ends stay (a message's own lines).
std::string terminalText(std::string_view text, bool keepLineEnds = false);

} // namespace darv
