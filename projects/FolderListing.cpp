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

// Empty optional when the folder cannot be listed; reason then holds the system's reason, unless the
// folder does not exist.
std::optional<std::vector<std::string>> listFolder(const std::string& folder, Kind kind, DrawingTypes types,
                                                   std::string& reason)
{
    reason.clear();
    if (folder.empty())
        return std::nullopt;
    std::error_code ec;
    fs::directory_iterator it(fs::path(folder), ec);
    const auto failed = [&] {
        if (ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory)
            reason = ec.message();
        return std::nullopt;
    };
    if (ec)
        return failed();
    std::vector<std::string> names;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec)
            return failed();
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
        return failed();
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
    std::string reason;
    return listFolder(folder, Kind::Drawings, types, reason);
}

std::string unlistedReason(const std::string& folder)
{
    std::string reason;
    listFolder(folder, Kind::Folders, DrawingTypes::Dwg, reason);
    return reason;
}

std::string unlistedFoldersText(const std::vector<UnlistedFolder>& folders)
{
    constexpr std::size_t shown = 10;
    std::string text = folders.size() == 1 ? "This folder could not be read, so its drawings are unknown:"
                                           : "These folders could not be read, so their drawings are unknown:";
    for (std::size_t k = 0; k < folders.size() && k < shown; ++k)
        text += "\n  " + folders[k].folder + " (" + folders[k].reason + ")";
    if (folders.size() > shown)
        text += "\n  ... and " + std::to_string(folders.size() - shown) + " more";
    return text;
}

std::optional<std::vector<std::string>> listSubfolders(const std::string& folder)
{
    std::string reason;
    return listFolder(folder, Kind::Folders, DrawingTypes::Dwg, reason);
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
    const auto list = [&](const std::string& folder, Kind kind) {
        std::string reason;
        auto names = listFolder(folder, kind, DrawingTypes::Dwg, reason);
        if (!names && onFailure == CountFailure::Stop)
            count.failed = true;
        else if (!names && !reason.empty())
            count.unlisted.push_back({folder, reason});
        return names;
    };
    for (const std::string& entry : entries) {
        const std::string folder = pathPart(entry);
        const auto files = list(folder, Kind::Drawings);
        if (count.failed)
            return count;
        if (!files)
            continue;
        count.total += static_cast<std::int64_t>(files->size());
        if (!withSubfolders(entry))
            continue;
        const auto subs = list(folder, Kind::Folders);
        if (count.failed)
            return count;
        if (!subs)
            continue;
        for (const std::string& sub : *subs) {
            const auto subFiles = list(joinPath(folder, sub), Kind::Drawings);
            if (count.failed)
                return count;
            if (subFiles)
                count.total += static_cast<std::int64_t>(subFiles->size());
        }
    }
    return count;
}

void walkDrawings(const std::vector<std::string>& entries, const WalkCallbacks& callbacks, DrawingTypes types)
{
    // Lists one folder; an existing folder that cannot be listed is told.
    const auto list = [&](const std::string& folder, Kind kind) {
        std::string reason;
        auto names = listFolder(folder, kind, types, reason);
        if (!names && !reason.empty() && callbacks.folderUnlisted)
            callbacks.folderUnlisted(UnlistedFolder{folder, reason});
        return names;
    };
    for (std::size_t index = 0; index < entries.size(); ++index) {
        const std::string folder = pathPart(entries[index]);
        const bool subs = withSubfolders(entries[index]);
        if (callbacks.locationStarted)
            callbacks.locationStarted(index, folder, subs);
        const auto files = list(folder, Kind::Drawings);
        if (files) {
            for (const std::string& name : *files) {
                if (callbacks.drawing)
                    callbacks.drawing(WalkStep{index, joinPath(folder, name), name, name});
            }
        }
        if (subs && files) {
            if (const auto subNames = list(folder, Kind::Folders)) {
                for (const std::string& sub : *subNames) {
                    const std::string subPath = joinPath(folder, sub);
                    const auto subFiles = list(subPath, Kind::Drawings);
                    if (!subFiles)
                        continue;
                    // The window shows the sub-folder's path without the location's own path in front.
                    const std::string shownFolder = subPath.size() > folder.size() ? subPath.substr(folder.size()) : "";
                    for (const std::string& name : *subFiles) {
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
