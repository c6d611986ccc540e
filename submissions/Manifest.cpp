// import.json with nlohmann-json.
#include "submissions/Manifest.h"

#include "base/NameBytes.h"
#include "base/RegularFile.h"

#include <nlohmann/json.hpp>

#include <filesystem>

namespace darv::submissions {

namespace {

using nlohmann::json;

void putName(json& object, const char* key, const std::string& bytes)
{
    object[key] = bytes;
    if (!isUtf8(bytes))
        object[std::string(key) + "Base64"] = base64(bytes);
}

std::string text(const json& object, const char* key)
{
    const auto found = object.find(key);
    return found != object.end() && found->is_string() ? found->get<std::string>() : std::string();
}

bool flag(const json& object, const char* key, bool otherwise)
{
    const auto found = object.find(key);
    return found != object.end() && found->is_boolean() ? found->get<bool>() : otherwise;
}

} // namespace

std::string manifestPath(const std::string& submissionsFolder)
{
    return submissionsFolder + "/import.json";
}

std::string manifestJson(const Manifest& manifest)
{
    json root = json::object();
    root["format"] = 1;
    putName(root, "project", manifest.project);
    putName(root, "archive", manifest.archive);
    json students = json::array();
    std::vector<std::string> seen;
    for (const ManifestFile& file : manifest.files) {
        if (std::find(seen.begin(), seen.end(), file.student) != seen.end())
            continue;
        seen.push_back(file.student);
        json student = json::object();
        student["folder"] = file.student;
        putName(student, "displayName", file.displayName);
        student["platformId"] = file.platformId;
        student["platform"] = file.platform;
        putName(student, "key", file.studentKey);
        students.push_back(std::move(student));
    }
    root["students"] = std::move(students);
    json files = json::array();
    for (const ManifestFile& file : manifest.files) {
        json entry = json::object();
        entry["student"] = file.student;
        entry["file"] = file.file;
        putName(entry, "displayName", file.displayName);
        entry["platformId"] = file.platformId;
        putName(entry, "originalName", file.originalName);
        putName(entry, "archivePath", file.archivePath);
        putName(entry, "identity", file.identity);
        putName(entry, "studentKey", file.studentKey);
        entry["platform"] = file.platform;
        entry["late"] = file.late;
        entry["size"] = file.size;
        entry["sha256"] = file.sha256;
        entry["inDownload"] = file.inDownload;
        if (file.unreadable)
            entry["unreadable"] = true;
        files.push_back(std::move(entry));
    }
    root["files"] = std::move(files);
    json skipped = json::array();
    for (const ManifestSkip& skip : manifest.skipped) {
        json entry = json::object();
        putName(entry, "archivePath", skip.archivePath);
        putName(entry, "reason", skip.reason);
        if (!skip.student.empty())
            entry["student"] = skip.student;
        skipped.push_back(std::move(entry));
    }
    root["skipped"] = std::move(skipped);
    return root.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

FileResult<Manifest> readManifest(const std::string& submissionsFolder)
{
    const std::string path = manifestPath(submissionsFolder);
    const auto bytes = readRegularFile(path);
    if (!bytes)
        return bytes.error();
    const json root = json::parse(*bytes, nullptr, false);
    if (root.is_discarded() || !root.is_object() || !root.contains("files") || !root["files"].is_array())
        return FileError{path + ": this is no manifest of imported submissions", false};
    Manifest manifest;
    manifest.project = text(root, "project");
    manifest.archive = text(root, "archive");
    for (const json& entry : root["files"]) {
        if (!entry.is_object())
            continue;
        ManifestFile file;
        file.student = text(entry, "student");
        file.file = text(entry, "file");
        file.displayName = text(entry, "displayName");
        file.platformId = text(entry, "platformId");
        file.originalName = text(entry, "originalName");
        file.archivePath = text(entry, "archivePath");
        file.identity = text(entry, "identity");
        file.studentKey = text(entry, "studentKey");
        file.platform = text(entry, "platform");
        file.late = flag(entry, "late", false);
        file.sha256 = text(entry, "sha256");
        file.inDownload = flag(entry, "inDownload", true);
        file.unreadable = flag(entry, "unreadable", false);
        if (const auto size = entry.find("size"); size != entry.end() && size->is_number_unsigned())
            file.size = size->get<std::uint64_t>();
        // A hand-edited entry that names no file of a student's folder is left out.
        if (file.student.empty() || file.file.empty() || file.student.find('/') != std::string::npos ||
            file.file.find('/') != std::string::npos || file.student == ".." || file.file == "..")
            continue;
        manifest.files.push_back(std::move(file));
    }
    if (const auto skipped = root.find("skipped"); skipped != root.end() && skipped->is_array()) {
        for (const json& entry : *skipped)
            if (entry.is_object())
                manifest.skipped.push_back({text(entry, "archivePath"), text(entry, "reason"), text(entry, "student")});
    }
    return manifest;
}

std::map<std::string, std::string> studentDisplayNames(const std::string& submissionsFolder)
{
    std::map<std::string, std::string> names;
    if (const auto manifest = readManifest(submissionsFolder))
        for (const ManifestFile& file : manifest->files)
            names.emplace(file.student, file.displayName);
    return names;
}

std::optional<std::string> studentDisplayName(const std::string& studentFolder)
{
    std::filesystem::path folder(studentFolder);
    if (!folder.has_filename())
        folder = folder.parent_path();
    const auto names = studentDisplayNames(folder.parent_path().string());
    const auto found = names.find(folder.filename().string());
    return found == names.end() ? std::nullopt : std::optional<std::string>(found->second);
}

} // namespace darv::submissions
