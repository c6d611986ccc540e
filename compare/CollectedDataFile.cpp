// The collected-data file of a project: one quoted record line per drawing (name, creation time, handles).
#include "compare/CollectedDataFile.h"

#include "base/NumberText.h"
#include "base/RegularFile.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace darv {

std::string drawingName(std::string_view fileName, NameCase nameCase)
{
    std::string name(fileName);
    for (char& c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == ',' || byte < 0x20 || byte == 0x7F)
            c = '_';
    }
    name.resize(name.size() >= 4 ? name.size() - 4 : 0);
    if (nameCase == NameCase::UpperAscii) {
        for (char& c : name) {
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return name;
}

std::string handleListText(const std::vector<std::string>& handles)
{
    std::string text;
    for (const std::string& handle : handles) {
        text += handle;
        text += '$';
    }
    return text;
}

std::string recordLine(const std::string& name, std::optional<double> time, const std::string& handleList)
{
    std::string line = "\"" + name + ",";
    if (time)
        line += decimalText(*time);
    line += "," + handleList + ",END\"\r\n";
    return line;
}

double parseTimeField(std::string_view field)
{
    const auto begin = field.find_first_not_of(" \t");
    if (begin == std::string_view::npos)
        return 0.0;
    const auto end = field.find_last_not_of(" \t") + 1;
    field = field.substr(begin, end - begin);
    // from_chars takes no "+"; a leading plus is still a number.
    if (field.size() > 1 && field[0] == '+' && field[1] != '-')
        field.remove_prefix(1);
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (ec != std::errc() || ptr != field.data() + field.size() || !std::isfinite(value))
        return 0.0;
    return value;
}

std::optional<CollectedRecord> parseRecord(std::string_view line, CollectedDataFault& fault)
{
    if (line.size() < 2 || line.front() != '"' || line.back() != '"') {
        fault = CollectedDataFault::NotQuoted;
        return std::nullopt;
    }
    const std::string_view text = line.substr(1, line.size() - 2);
    const auto first = text.find(',');
    const auto second = first == std::string_view::npos ? first : text.find(',', first + 1);
    const auto third = second == std::string_view::npos ? second : text.find(',', second + 1);
    if (third == std::string_view::npos) {
        fault = CollectedDataFault::TooFewCommas;
        return std::nullopt;
    }
    fault = CollectedDataFault::None;
    CollectedRecord record;
    record.name = std::string(text.substr(0, first));
    record.time = parseTimeField(text.substr(first + 1, second - first - 1));
    record.handles = std::string(text.substr(second + 1, third - second - 1));
    return record;
}

CollectedData readCollectedData(const std::string& path, std::size_t maxRecords)
{
    CollectedData data;
    FileResult<std::string> file = readRegularFile(path);
    if (!file && file.error().missing)
        return data; // nothing collected yet
    if (!file) {
        data.fault = CollectedDataFault::Unreadable;
        return data;
    }
    const std::string content = std::move(*file);
    std::size_t pos = 0;
    std::int64_t lineNumber = 0;
    while (pos < content.size()) {
        auto lineEnd = content.find('\n', pos);
        const std::size_t next = lineEnd == std::string::npos ? content.size() : lineEnd + 1;
        if (lineEnd == std::string::npos)
            lineEnd = content.size();
        std::string_view line(content.data() + pos, lineEnd - pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        pos = next;
        ++lineNumber;
        if (data.records.size() >= maxRecords) {
            data.fault = CollectedDataFault::TooManyRecords;
            data.faultLine = lineNumber;
            return data;
        }
        CollectedDataFault fault = CollectedDataFault::None;
        auto record = parseRecord(line, fault);
        if (!record) {
            data.fault = fault;
            data.faultLine = lineNumber;
            return data;
        }
        data.records.push_back(std::move(*record));
    }
    return data;
}

} // namespace darv
