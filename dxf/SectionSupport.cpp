// What every section reader shares: the end of a section, warnings, layout block names.
#include "dxf/Sections.h"

#include <algorithm>
#include <cctype>

namespace dxf {

namespace {

constexpr std::size_t maxWarnings = 32;

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
           });
}

} // namespace

bool endsSection(const Group& group)
{
    if (group.isEnd()) {
        return true;
    }
    if (group.code != 0) {
        return false;
    }
    const std::string_view word = group.word();
    return word == "ENDSEC" || word == "SECTION" || word == "EOF";
}

void warn(DxfContent& content, std::string text)
{
    auto& warnings = content.warnings;
    if (warnings.size() >= maxWarnings || std::find(warnings.begin(), warnings.end(), text) != warnings.end()) {
        return;
    }
    warnings.push_back(std::move(text));
}

std::string quoted(std::string_view name)
{
    std::string text;
    for (char c : name.substr(0, 40)) {
        text += c >= ' ' && c <= '~' ? c : '?';
    }
    return name.size() > 40 ? text + "..." : text;
}

bool isLayoutName(std::string_view name)
{
    const auto equalIgnoringCase = [&](std::string_view other) {
        return name.size() == other.size() && startsWithIgnoringCase(name, other);
    };
    return equalIgnoringCase("*MODEL_SPACE") || startsWithIgnoringCase(name, "*PAPER_SPACE") ||
           equalIgnoringCase("$MODEL_SPACE") || equalIgnoringCase("$PAPER_SPACE");
}

void skipSection(GroupSource& source)
{
    while (source.advance() && !endsSection(source.current())) {
    }
}

} // namespace dxf
