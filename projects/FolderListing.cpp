// The folder listing shared by the drawing count, the collection walk and the recount.
#include "projects/FolderListing.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace darv {
namespace {

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool endsWith(const std::string& name, const char* extension)
{
    if (name.size() < 4)
        return false;
    const std::string ext = name.substr(name.size() - 4);
    return ext[0] == '.' && lowerAscii(ext[1]) == extension[0] && lowerAscii(ext[2]) == extension[1] &&
           lowerAscii(ext[3]) == extension[2];
}

bool isDrawingName(const std::string& name, DrawingTypes types)
{
    return endsWith(name, "dwg") || (types == DrawingTypes::DwgAndDxf && endsWith(name, "dxf"));
}

enum class Kind { Drawings, Folders };

std::optional<std::vector<std::string>> listFolder(const std::string& folder, Kind kind,
                                                   DrawingTypes types = DrawingTypes::Dwg)
{
    std::error_code ec;
    fs::directory_iterator it(fs::path(folder), ec);
    if (ec || folder.empty())
        return std::nullopt;
    std::vector<std::string> names;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec)
            return std::nullopt;
        const std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.')
            continue;
        std::error_code typeError;
        if (kind == Kind::Drawings) {
            if (isDrawingName(name, types) && it->is_regular_file(typeError))
                names.push_back(name);
        } else if (it->is_directory(typeError)) {
            names.push_back(name);
        }
    }
    if (ec)
        return std::nullopt;
    std::sort(names.begin(), names.end(), listingLess);
    return names;
}

bool withSubfolders(const std::string& entry)
{
    return !entry.empty() && entry[0] == '+';
}

std::string pathPart(const std::string& entry)
{
    return entry.empty() ? std::string() : entry.substr(1);
}

} // namespace

bool listingLess(const std::string& a, const std::string& b)
{
    const auto n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char x = lowerAscii(a[i]);
        const char y = lowerAscii(b[i]);
        if (x != y)
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

std::optional<std::vector<std::string>> listDrawingFiles(const std::string& folder, DrawingTypes types)
{
    return listFolder(folder, Kind::Drawings, types);
}

std::optional<std::vector<std::string>> listSubfolders(const std::string& folder)
{
    return listFolder(folder, Kind::Folders);
}

std::string joinPath(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

DrawingCount countDrawings(const std::vector<std::string>& entries, CountFailure onFailure)
{
    DrawingCount count;
    for (const std::string& entry : entries) {
        const std::string folder = pathPart(entry);
        const auto files = listDrawingFiles(folder);
        if (!files) {
            if (onFailure == CountFailure::Stop) {
                count.failed = true;
                return count;
            }
            continue;
        }
        count.total += static_cast<std::int64_t>(files->size());
        if (!withSubfolders(entry))
            continue;
        const auto subs = listSubfolders(folder);
        if (!subs) {
            if (onFailure == CountFailure::Stop) {
                count.failed = true;
                return count;
            }
            continue;
        }
        for (const std::string& sub : *subs) {
            const auto subFiles = listDrawingFiles(joinPath(folder, sub));
            if (!subFiles) {
                if (onFailure == CountFailure::Stop) {
                    count.failed = true;
                    return count;
                }
                continue;
            }
            count.total += static_cast<std::int64_t>(subFiles->size());
        }
    }
    return count;
}

void walkDrawings(const std::vector<std::string>& entries, const WalkCallbacks& callbacks, DrawingTypes types)
{
    for (std::size_t index = 0; index < entries.size(); ++index) {
        const std::string folder = pathPart(entries[index]);
        const bool subs = withSubfolders(entries[index]);
        if (callbacks.locationStarted)
            callbacks.locationStarted(index, folder, subs);
        if (const auto files = listDrawingFiles(folder, types)) {
            for (const std::string& name : *files) {
                if (callbacks.drawing)
                    callbacks.drawing(WalkStep{index, joinPath(folder, name), name, name});
            }
        }
        if (subs) {
            if (const auto subNames = listSubfolders(folder)) {
                for (const std::string& sub : *subNames) {
                    const std::string subPath = joinPath(folder, sub);
                    const auto files = listDrawingFiles(subPath, types);
                    if (!files)
                        continue;
                    // The window shows the sub-folder's path without the location's own path in front.
                    const std::string shownFolder = subPath.size() > folder.size() ? subPath.substr(folder.size()) : "";
                    for (const std::string& name : *files) {
                        if (callbacks.drawing)
                            callbacks.drawing(WalkStep{index, joinPath(subPath, name), name, shownFolder + "/" + name});
                    }
                }
            }
        }
        if (callbacks.locationFinished)
            callbacks.locationFinished(index);
    }
}

std::string counterText(std::int64_t value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04lld", static_cast<long long>(value));
    return buffer;
}

} // namespace darv
