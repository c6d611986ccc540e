// Student recognition by the platforms' naming, and safe names.
#include "submissions/StudentNames.h"

#include "base/NameBytes.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <regex>

namespace darv::submissions {

namespace {

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return text;
}

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The name without its last extension ("bracket.dwg" gives "bracket"); a name that is only an
// extension stays whole.
std::string stem(const std::string& name)
{
    const auto dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string cutAtCharacter(const std::string& name, std::size_t limit)
{
    if (name.size() <= limit)
        return name;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80)
        --end;
    return name.substr(0, end);
}

bool isReservedDeviceName(const std::string& name)
{
    const std::string base = lower(name.substr(0, name.find('.')));
    static const std::array<const char*, 4> plain = {"con", "prn", "aux", "nul"};
    if (std::find(plain.begin(), plain.end(), base) != plain.end())
        return true;
    return base.size() == 4 && (base.compare(0, 3, "com") == 0 || base.compare(0, 3, "lpt") == 0) && base[3] >= '1' &&
           base[3] <= '9';
}

} // namespace

std::string safeName(const std::string& name)
{
    std::string safe;
    for (const NamePiece& piece : splitUtf8Runs(name)) {
        if (!piece.validUtf8) {
            safe += '_';
            continue;
        }
        for (const char c : piece.bytes) {
            const auto byte = static_cast<unsigned char>(c);
            const bool refused =
                byte < 0x20 || byte == 0x7f || std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
            safe += refused ? '_' : c;
        }
    }
    safe = cutAtCharacter(safe, 200);
    while (!safe.empty() && (safe.back() == '.' || safe.back() == ' '))
        safe.pop_back();
    if (!safe.empty() && safe.front() == '.')
        safe.front() = '_';
    if (safe.empty())
        return "_";
    if (isReservedDeviceName(safe))
        safe.insert(safe.begin(), '_');
    return safe;
}

std::string foldedName(const std::vector<std::string>& part)
{
    std::string folded;
    for (const std::string& component : part)
        folded += (folded.empty() ? "" : " - ") + safeName(component);
    // A long path is cut in its middle, never at its end: a drawing stays a ".dwg".
    const auto dot = folded.rfind('.');
    if (folded.size() > 200 && dot != std::string::npos && folded.size() - dot <= 16)
        folded = cutAtCharacter(folded.substr(0, dot), 200 - (folded.size() - dot)) + folded.substr(dot);
    return safeName(folded);
}

std::string numberedName(const std::string& name, int number)
{
    const auto dot = name.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot > 0;
    const std::string base = hasExtension ? name.substr(0, dot) : name;
    const std::string extension = hasExtension ? name.substr(dot) : std::string();
    return cutAtCharacter(base, 190) + " (" + std::to_string(number) + ")" + extension;
}

std::vector<std::string> pathComponents(const std::string& path)
{
    std::vector<std::string> parts;
    std::string current;
    for (const char c : path + "/") {
        if (c != '/' && c != '\\') {
            current += c;
            continue;
        }
        if (!current.empty() && current != ".")
            parts.push_back(current);
        current.clear();
    }
    return parts;
}

std::string unsafePathReason(const std::string& path)
{
    if (path.empty())
        return "it has no name";
    if (path.front() == '/' || path.front() == '\\')
        return "its path is absolute";
    if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':')
        return "its path starts with a drive letter";
    for (const std::string& component : pathComponents(path))
        if (component == "..")
            return "its path leads out of the folder (\"..\")";
    return {};
}

bool isArchiveName(const std::string& name)
{
    const std::string low = lower(name);
    for (const char* end : {".zip", ".7z", ".tar", ".tar.gz", ".tgz", ".tar.xz", ".txz"})
        if (endsWith(low, end))
            return true;
    return false;
}

bool isDrawingName(const std::string& name)
{
    const std::string low = lower(name);
    return endsWith(low, ".dwg") || endsWith(low, ".dxf");
}

Student studentOf(const std::vector<std::string>& path)
{
    static const std::regex moodleFolder(R"(^(.+)_([0-9]+)_assignsubmission_[a-z]+_?$)");
    static const std::regex moodleFile(R"(^(.+)_([0-9]+)_assignsubmission_[a-z]+_(.+)$)");
    static const std::regex canvasFile(R"(^([^_]+?)(_[Ll][Aa][Tt][Ee])?_([0-9]+)_([0-9]+)_(.+)$)");
    Student student;
    if (path.empty())
        return student;
    std::smatch match;
    if (path.size() >= 2) {
        student.part.assign(path.begin() + 1, path.end());
        if (std::regex_match(path[0], match, moodleFolder)) {
            student.displayName = match[1];
            student.platformId = match[2];
            student.platform = "moodle";
        } else {
            student.displayName = path[0];
            student.platform = "folder";
        }
    } else if (std::regex_match(path[0], match, moodleFile)) {
        student.displayName = match[1];
        student.platformId = match[2];
        student.platform = "moodle";
        student.part = {match[3]};
    } else if (std::regex_match(path[0], match, canvasFile)) {
        student.displayName = match[1];
        student.late = match[2].matched;
        student.platformId = match[3];
        student.platform = "canvas";
        student.part = {match[5]};
    } else {
        student.displayName = stem(path[0]);
        student.platform = "file";
        student.part = {path[0]};
    }
    if (student.platformId.empty()) {
        student.key = student.platform + ":" + student.displayName;
        student.folder = safeName(student.displayName);
    } else {
        student.key = student.platform + ":" + student.platformId;
        student.folder = safeName(student.displayName + "_" + student.platformId);
    }
    return student;
}

} // namespace darv::submissions
