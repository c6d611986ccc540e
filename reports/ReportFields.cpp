// The fields of a delimited text file, read by the rule that the report writers rely on.
#include "reports/ReportFields.h"

namespace darv {

namespace {

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// Moves past one line end at pos (CR LF counts as one).
std::size_t skipLineEnd(std::string_view text, std::size_t pos)
{
    if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n')
        return pos + 2;
    return pos + 1;
}

} // namespace

std::vector<std::string> readFields(std::string_view text)
{
    std::vector<std::string> fields;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
            ++pos;
        std::string field;
        if (pos < text.size() && text[pos] == '"') {
            const std::size_t start = pos + 1;
            std::size_t end = start;
            while (end < text.size() && text[end] != '"' && !isLineEnd(text[end]))
                ++end;
            field.assign(text.substr(start, end - start));
            pos = end;
            if (pos < text.size() && text[pos] == '"')
                ++pos;
            // Anything after the closing quote up to the delimiter is not part of the field.
            while (pos < text.size() && text[pos] != ',' && !isLineEnd(text[pos]))
                ++pos;
        } else {
            const std::size_t start = pos;
            while (pos < text.size() && text[pos] != ',' && !isLineEnd(text[pos]))
                ++pos;
            field.assign(text.substr(start, pos - start));
        }
        fields.push_back(std::move(field));
        if (pos >= text.size())
            break;
        if (text[pos] == ',') {
            ++pos;
            // A comma right before the end of the text or a line end still closes an empty field.
            if (pos >= text.size() || isLineEnd(text[pos])) {
                fields.emplace_back();
                if (pos < text.size())
                    pos = skipLineEnd(text, pos);
            }
        } else {
            pos = skipLineEnd(text, pos);
        }
    }
    return fields;
}

} // namespace darv
