// Names and messages for a terminal or a report line: control characters in them (an escape sequence, a
// bell, a line end in a file name) would be acted on by the terminal or end the line, so they are shown as
// escapes instead.
#pragma once

#include <string>
#include <string_view>

namespace darv {

// C0 controls and DEL as "\x1B", "\x0A"; C1 controls in UTF-8 as "\u009B"; every other byte as it is. With
// keepLineEnds, line ends stay (a message's own lines).
std::string terminalText(std::string_view text, bool keepLineEnds = false);

} // namespace darv
