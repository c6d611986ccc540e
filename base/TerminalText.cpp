// Names and messages for a terminal or a report line.
#include "base/TerminalText.h"

namespace darv {

std::string terminalText(std::string_view text, bool keepLineEnds)
{
    static const char* const hex = "0123456789ABCDEF";
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (keepLineEnds && c == '\n') {
            shown += '\n';
        } else if (c < 0x20 || c == 0x7F) {
            shown += "\\x";
            shown += hex[c >> 4];
            shown += hex[c & 0xF];
        } else if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            // A C1 control in UTF-8 (U+0080 to U+009F): some terminals act on these too.
            const auto code = static_cast<unsigned char>(text[++i]);
            shown += "\\u00";
            shown += hex[code >> 4];
            shown += hex[code & 0xF];
        } else {
            shown += static_cast<char>(c);
        }
    }
    return shown;
}

} // namespace darv
