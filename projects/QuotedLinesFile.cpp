// Text files of quoted lines: the project list and the location files.
#include "projects/QuotedLinesFile.h"

#include "base/AtomicFile.h"
#include "base/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace darv {

std::optional<std::vector<std::string>> readLines(const std::string& path)
{
    const FileResult<std::string> file = readRegularFile(path);
    if (!file)
        return std::nullopt;
    const std::string& content = *file;
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < content.size()) {
        auto end = content.find('\n', pos);
        const std::size_t next = end == std::string::npos ? content.size() : end + 1;
        if (end == std::string::npos)
            end = content.size();
        std::string line = content.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        pos = next;
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

FileWrite appendQuotedLine(const std::string& path, const std::string& text)
{
    return appendWholly(path, "\"" + text + "\"\r\n");
}

FileWrite appendQuotedLineOnce(const std::string& path, const std::string& text, bool& added)
{
    added = false;
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        const auto lines = readQuotedLines(path);
        if (!lines)
            return FileError{path + ": the file cannot be read", false};
        if (std::find(lines->begin(), lines->end(), text) != lines->end())
            return {};
    }
    FileWrite written = appendQuotedLine(path, text);
    added = written.ok();
    return written;
}

FileWrite rewriteQuotedLines(const std::string& path, const std::vector<std::string>& texts)
{
    std::string content;
    for (const std::string& text : texts)
        content += "\"" + text + "\"\r\n";
    return writeFileAtomically(path, content);
}

bool ensureFileExists(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0644);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

} // namespace darv
