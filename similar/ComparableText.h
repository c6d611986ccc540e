// The words of a drawing's text as the similarity check compares them.
#pragma once

#include <string>

namespace darv::similar {

// Formatting codes of multi-line texts removed, blanks collapsed, ASCII letters in lower case. Texts that
// look like dates, times or plain numbers say nothing of their author and give "".
std::string comparableText(const std::string& text);

// The text in lower case (ASCII letters) with every run of blanks and line ends as one blank, none at the ends.
std::string foldedText(const std::string& text);

} // namespace darv::similar
