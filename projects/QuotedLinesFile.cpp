// Text files of quoted lines: the project list and the location files.
#include "projects/QuotedLinesFile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <unistd.h>

namespace darv {

std::optional<std::vector<std::string>> readLines(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::optional<std::vector<std::string>> readQuotedLines(const std::string& path)
{
    auto lines = readLines(path);
    if (!lines)
        return std::nullopt;
    std::vector<std::string> texts;
    for (const std::string& line : *lines) {
        if (line.size() >= 2)
            texts.push_back(line.substr(1, line.size() - 2));
    }
    return texts;
}

bool appendQuotedLine(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!out)
        return false;
    out << '"' << text << "\"\r\n";
    out.close();
    return static_cast<bool>(out);
}

bool rewriteQuotedLines(const std::string& path, const std::vector<std::string>& texts)
{
    const std::string temporary = path + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        for (const std::string& text : texts)
            out << '"' << text << "\"\r\n";
        out.flush();
        if (!out) {
            out.close();
            std::remove(temporary.c_str());
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

bool ensureFileExists(const std::string& path)
{
    {
        std::ifstream in(path, std::ios::binary);
        if (in)
            return true;
    }
    std::ofstream out(path, std::ios::binary | std::ios::app);
    return static_cast<bool>(out);
}

} // namespace darv
