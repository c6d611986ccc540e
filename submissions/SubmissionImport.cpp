// The import: unpack, tell the students apart, place every file, carry over the earlier import, swap.
#include "submissions/SubmissionImport.h"

#include "base/AtomicFile.h"
#include "base/DataFolder.h"
#include "base/RegularFile.h"
#include "submissions/Manifest.h"
#include "submissions/Sha256.h"
#include "submissions/StudentNames.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace darv::submissions {

namespace {

namespace fs = std::filesystem;

std::string joined(const std::vector<std::string>& parts)
{
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : "/") + part;
    return text;
}

// Takes off a folder that wraps the whole download ("class 3b/Anna/..."), as long as it holds only
// folders (no file of its own) and is no student's folder of a platform.
void stripWrapper(std::vector<std::vector<std::string>*> paths)
{
    while (!paths.empty()) {
        const std::string first = paths.front()->front();
        for (const auto* path : paths) {
            if (path->size() < 3 || path->front() != first)
                return;
        }
        if (studentOf(*paths.front()).platform != "folder")
            return;
        for (auto* path : paths)
            path->erase(path->begin());
    }
}

struct Placing
{
    Student student;
    std::vector<std::string> part; // the path in the student's part, for the file's name and identity
    std::string originalName;
    const StagedFile* staged = nullptr; // null: the stand-in of an unreadable drawing
    const SkippedEntry* unreadable = nullptr;
};

std::string identityOf(const Student& student, const std::vector<std::string>& part)
{
    return student.key + "\n" + joined(part);
}

// Removes the hidden import folders that imports which ended without finishing (killed, crashed) left.
void removeDeadImports(const std::string& root, const std::string& project)
{
    const std::string prefix = "." + project + ".import-";
    std::error_code ec;
    for (const auto& item : fs::directory_iterator(root, ec)) {
        const std::string name = item.path().filename().string();
        if (name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
        if (pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH))
            continue;
        fs::remove_all(item.path(), ec);
    }
}

bool setTime(const std::string& path, std::int64_t seconds)
{
    if (seconds <= 0)
        return true;
    const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
    return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

// A file of the earlier import into the new tree without touching it: a hard link (same file, same
// time), or a copy with its time where links cannot be made.
bool carryFile(const fs::path& from, const fs::path& to, std::string& error)
{
    if (::link(from.c_str(), to.c_str()) == 0)
        return true;
    std::error_code ec;
    fs::copy_file(from, to, ec);
    if (!ec)
        fs::last_write_time(to, fs::last_write_time(from, ec), ec);
    if (ec) {
        error = to.string() + ": " + ec.message();
        return false;
    }
    return true;
}

// Everything of the earlier import that the new tree does not hold yet (kept files, what the teacher
// put there), carried over; the earlier manifest is replaced.
bool carryOver(const fs::path& target, const fs::path& fresh, std::string& error)
{
    std::error_code ec;
    if (!fs::is_directory(target, ec))
        return true;
    for (auto it = fs::recursive_directory_iterator(target, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const fs::path relative = fs::relative(it->path(), target, ec);
        if (ec)
            break;
        if (relative == "import.json")
            continue;
        const fs::path to = fresh / relative;
        std::error_code exists;
        if (fs::exists(fs::symlink_status(to, exists)))
            continue;
        const auto status = it->symlink_status(ec);
        if (fs::is_symlink(status)) {
            fs::copy_symlink(it->path(), to, ec);
        } else if (fs::is_directory(status)) {
            fs::create_directory(to, ec);
        } else if (fs::is_regular_file(status)) {
            if (!carryFile(it->path(), to, error))
                return false;
        }
        if (ec)
            break;
    }
    if (ec) {
        error = target.string() + ": " + ec.message();
        return false;
    }
    return true;
}

// Puts the complete new tree in the target's place; the earlier one is removed afterwards.
bool swapIn(const std::string& fresh, const std::string& target, std::string& error)
{
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(target, ec))) {
        if (std::rename(fresh.c_str(), target.c_str()) != 0) {
            error = target + ": " + std::strerror(errno);
            return false;
        }
        return true;
    }
    if (::renameat2(AT_FDCWD, fresh.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) != 0) {
        // A file system without the exchange: two renames, the earlier import put back when the second fails.
        const std::string old = fresh + ".old";
        if (std::rename(target.c_str(), old.c_str()) != 0) {
            error = target + ": " + std::strerror(errno);
            return false;
        }
        if (std::rename(fresh.c_str(), target.c_str()) != 0) {
            error = target + ": " + std::strerror(errno);
            std::rename(old.c_str(), target.c_str());
            return false;
        }
        fs::remove_all(old, ec);
        return true;
    }
    fs::remove_all(fresh, ec); // now the earlier import
    return true;
}

std::string folderNumbered(const std::string& folder, int number)
{
    return folder + " (" + std::to_string(number) + ")";
}

class Import
{
public:
    Import(std::string archive, std::string target, std::string fresh, std::string project)
        : m_archive(std::move(archive)), m_target(std::move(target)), m_fresh(std::move(fresh)),
          m_project(std::move(project))
    {}

    bool run(const ImportLimits& limits, ImportReport& report);

private:
    bool fail(ImportReport& report, std::string reason)
    {
        report.reason = std::move(reason);
        return false;
    }
    void readEarlier();
    std::vector<Placing> placings(Unpacked& unpacked, std::vector<ManifestSkip>& skips);
    void assignFolders(std::vector<Placing>& placings);

    std::string m_archive, m_target, m_fresh, m_project;
    Manifest m_old;
    std::string m_oldText;
    std::map<std::string, const ManifestFile*> m_oldByIdentity;
    std::map<std::string, std::string> m_folderOfKey;
    std::map<std::string, std::set<std::string>> m_taken; // per student folder: names in use
    std::set<std::string> m_foldersTaken;
};

void Import::readEarlier()
{
    m_foldersTaken.insert("import.json"); // the manifest's own name is no student's
    if (auto earlier = readManifest(m_target); earlier) {
        m_old = std::move(*earlier);
        if (auto text = readRegularFile(manifestPath(m_target)); text)
            m_oldText = std::move(*text);
    }
    for (const ManifestFile& file : m_old.files) {
        m_oldByIdentity.emplace(file.identity, &file);
        m_folderOfKey.emplace(file.studentKey, file.student);
        m_foldersTaken.insert(file.student);
        m_taken[file.student].insert(file.file);
    }
    // What is on the disk but not in the manifest keeps its name too.
    std::error_code ec;
    for (const auto& folder : fs::directory_iterator(m_target, ec)) {
        const std::string name = folder.path().filename().string();
        m_foldersTaken.insert(name);
        std::error_code inner;
        if (folder.is_directory(inner))
            for (const auto& file : fs::directory_iterator(folder.path(), inner))
                m_taken[name].insert(file.path().filename().string());
    }
}

std::vector<Placing> Import::placings(Unpacked& unpacked, std::vector<ManifestSkip>& skips)
{
    std::vector<std::vector<std::string>*> paths;
    for (StagedFile& file : unpacked.files)
        paths.push_back(&file.outer);
    for (SkippedEntry& skip : unpacked.skipped)
        if (!skip.outer.empty())
            paths.push_back(&skip.outer);
    stripWrapper(paths);

    std::vector<Placing> result;
    const auto place = [&](const std::vector<std::string>& outer, const std::vector<std::string>& inner) {
        Placing placing;
        placing.student = studentOf(outer);
        placing.part = placing.student.part;
        if (!inner.empty()) {
            placing.part.pop_back(); // the student's archive itself
            placing.part.insert(placing.part.end(), inner.begin(), inner.end());
        }
        placing.originalName = placing.part.empty() ? std::string() : placing.part.back();
        return placing;
    };
    for (const StagedFile& file : unpacked.files) {
        result.push_back(place(file.outer, file.inner));
        result.back().staged = &file;
    }
    for (const SkippedEntry& skip : unpacked.skipped) {
        if (skip.outer.empty() || (skip.outer.size() == 1 && skip.inner.empty() && !skip.unreadableDrawing)) {
            skips.push_back({skip.archivePath, skip.reason, {}});
            continue;
        }
        Placing placing = place(skip.outer, skip.inner);
        skips.push_back({skip.archivePath, skip.reason, placing.student.key});
        if (skip.unreadableDrawing && !placing.part.empty()) {
            // A student's archive stands in as "work.zip.dwg": its drawings were not read.
            if (!isDrawingName(placing.part.back()))
                placing.part.back() += ".dwg";
            placing.unreadable = &skip;
            result.push_back(std::move(placing));
        }
    }
    std::stable_sort(result.begin(), result.end(), [](const Placing& a, const Placing& b) {
        const auto& pathA = a.staged ? a.staged->archivePath : a.unreadable->archivePath;
        const auto& pathB = b.staged ? b.staged->archivePath : b.unreadable->archivePath;
        return std::tie(a.student.key, pathA) < std::tie(b.student.key, pathB);
    });
    return result;
}

void Import::assignFolders(std::vector<Placing>& placings)
{
    std::map<std::string, std::string> assigned;
    for (Placing& placing : placings) {
        Student& student = placing.student;
        if (const auto known = assigned.find(student.key); known != assigned.end()) {
            student.folder = known->second;
            continue;
        }
        if (const auto earlier = m_folderOfKey.find(student.key); earlier != m_folderOfKey.end()) {
            student.folder = earlier->second;
        } else {
            const std::string wanted = student.folder;
            for (int number = 2; m_foldersTaken.count(student.folder) > 0; ++number)
                student.folder = folderNumbered(wanted, number);
            m_foldersTaken.insert(student.folder);
        }
        assigned.emplace(student.key, student.folder);
    }
}

bool Import::run(const ImportLimits& limits, ImportReport& report)
{
    const std::string staging = m_fresh + "/.staged";
    std::error_code ec;
    fs::create_directory(staging, ec);
    if (ec)
        return fail(report, staging + ": " + ec.message());
    // An earlier import whose manifest cannot be read cannot be updated without doubling or losing files.
    if (const auto earlier = readManifest(m_target); !earlier && !earlier.error().missing)
        return fail(report, "the earlier import's manifest cannot be read (" + earlier.error().text +
                                "); repair it, or move the folder " + m_target + " away to import afresh");
    Unpacked unpacked = unpackArchive(m_archive, staging, limits);
    report.skipped = unpacked.skipped;
    report.unpackedBytes = unpacked.unpackedBytes;
    if (unpacked.stopped)
        return fail(report, m_archive + ": " + unpacked.reason);
    if (unpacked.files.empty() && std::none_of(unpacked.skipped.begin(), unpacked.skipped.end(),
                                               [](const SkippedEntry& skip) { return skip.unreadableDrawing; }))
        return fail(report, m_archive + ": it holds no file to import");
    readEarlier();

    Manifest manifest;
    manifest.project = m_project;
    manifest.archive = m_archive;
    std::vector<Placing> placed = placings(unpacked, manifest.skipped);
    assignFolders(placed);
    std::map<std::string, std::string> folderOfKey;
    for (const Placing& placing : placed)
        folderOfKey[placing.student.key] = placing.student.folder;
    for (ManifestSkip& skip : manifest.skipped)
        if (!skip.student.empty())
            skip.student = folderOfKey[skip.student];

    std::set<std::string> matched;
    std::set<std::string> students;
    for (const Placing& placing : placed) {
        const Student& student = placing.student;
        std::string identity = identityOf(student, placing.part);
        for (int number = 2; matched.count(identity) > 0; ++number)
            identity = identityOf(student, placing.part) + "\n" + std::to_string(number);
        matched.insert(identity);
        const auto earlier = m_oldByIdentity.find(identity);
        const ManifestFile* old = earlier == m_oldByIdentity.end() ? nullptr : earlier->second;

        ManifestFile entry;
        entry.studentKey = student.key;
        entry.student = student.folder;
        entry.identity = identity;
        entry.displayName = student.displayName;
        entry.platformId = student.platformId;
        entry.platform = student.platform;
        entry.originalName = placing.originalName;
        entry.archivePath = placing.staged ? placing.staged->archivePath : placing.unreadable->archivePath;
        entry.late = student.late;
        entry.size = placing.staged ? placing.staged->size : 0;
        entry.sha256 = placing.staged ? placing.staged->sha256 : sha256Hex({});
        entry.unreadable = placing.staged == nullptr;
        if (old && old->student == student.folder) {
            entry.file = old->file;
        } else {
            std::set<std::string>& taken = m_taken[student.folder];
            const std::string wanted = foldedName(placing.part);
            entry.file = wanted;
            for (int number = 2; taken.count(entry.file) > 0; ++number)
                entry.file = numberedName(wanted, number);
            taken.insert(entry.file);
        }
        students.insert(student.folder);

        const fs::path folder = fs::path(m_fresh) / entry.student;
        fs::create_directory(folder, ec);
        if (ec)
            return fail(report, folder.string() + ": " + ec.message());
        const fs::path to = folder / entry.file;
        const fs::path from = fs::path(m_target) / entry.student / entry.file;
        const std::string shown = entry.student + "/" + entry.file;
        std::error_code sizeError;
        const bool same = old && old->sha256 == entry.sha256 && fs::is_regular_file(fs::symlink_status(from)) &&
                          fs::file_size(from, sizeError) == entry.size && !sizeError;
        std::string error;
        if (same) {
            if (!carryFile(from, to, error))
                return fail(report, error);
            ++report.unchanged;
        } else {
            if (placing.staged) {
                if (std::rename(placing.staged->staged.c_str(), to.c_str()) != 0)
                    return fail(report, to.string() + ": " + std::strerror(errno));
                setTime(to.string(), placing.staged->mtime);
            } else if (const FileWrite written = writeFileAtomically(to.string(), {}); !written) {
                return fail(report, written.error().text);
            }
            (old ? report.replaced : report.added).push_back(shown);
        }
        manifest.files.push_back(std::move(entry));
    }
    report.files = manifest.files.size();
    report.students = students.size();
    fs::remove_all(staging, ec);

    std::string error;
    if (!carryOver(m_target, m_fresh, error))
        return fail(report, error);
    for (const ManifestFile& file : m_old.files) {
        if (matched.count(file.identity) > 0)
            continue;
        std::error_code exists;
        if (!fs::is_regular_file(fs::symlink_status(fs::path(m_fresh) / file.student / file.file, exists)))
            continue;
        ManifestFile kept = file;
        kept.inDownload = false;
        report.kept.push_back(kept.student + "/" + kept.file);
        manifest.files.push_back(std::move(kept));
    }

    const std::string text = manifestJson(manifest);
    if (report.added.empty() && report.replaced.empty() && text == m_oldText) {
        report.outcome = ImportReport::Outcome::Unchanged;
        fs::remove_all(m_fresh, ec);
        return true;
    }
    if (const FileWrite written = writeFileAtomically(manifestPath(m_fresh), text); !written)
        return fail(report, written.error().text);
    if (!swapIn(m_fresh, m_target, error))
        return fail(report, error);
    report.outcome = ImportReport::Outcome::Imported;
    return true;
}

std::string counted(std::size_t count, const std::string& one, const std::string& many = {})
{
    return std::to_string(count) + " " + (count == 1 ? one : many.empty() ? one + "s" : many);
}

std::string listed(const std::vector<std::string>& names)
{
    constexpr std::size_t shown = 20;
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < shown; ++i)
        text += "\n  " + names[i];
    if (names.size() > shown)
        text += "\n  ... and " + std::to_string(names.size() - shown) + " more";
    return text;
}

} // namespace

ImportReport importSubmissions(const std::string& archive, const std::string& installLoc, const std::string& project,
                               const ImportLimits& limits)
{
    ImportReport report;
    report.archive = archive;
    report.target = submissionsFolder(installLoc, project);
    const std::string root = submissionsRoot(installLoc);
    std::error_code ec;
    fs::create_directories(root, ec);
    if (ec) {
        report.reason = root + ": " + ec.message();
        return report;
    }
    removeDeadImports(root, project);
    std::string pattern = root + "/." + project + ".import-" + std::to_string(::getpid()) + "-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!::mkdtemp(name.data())) {
        report.reason = root + ": " + std::strerror(errno);
        return report;
    }
    const std::string fresh = name.data();
    Import import(archive, report.target, fresh, project);
    if (!import.run(limits, report)) {
        report.outcome = ImportReport::Outcome::Stopped;
        report.added.clear();
        report.replaced.clear();
        report.kept.clear();
        report.unchanged = 0;
        fs::remove_all(fresh, ec);
    }
    return report;
}

namespace {

std::string skippedText(const ImportReport& report)
{
    if (report.skipped.empty())
        return {};
    std::vector<std::string> lines;
    for (const SkippedEntry& skip : report.skipped)
        lines.push_back(skip.archivePath + ": " + skip.reason);
    return "\nSkipped " + counted(report.skipped.size(), "entry", "entries") +
           " (not read: the class gets no all-clear):" + listed(lines);
}

} // namespace

std::string importMessage(const ImportReport& report)
{
    if (report.outcome == ImportReport::Outcome::Stopped)
        return "The submissions were not imported: " + report.reason +
               ".\nNothing was changed: an earlier import of the project stays as it was." + skippedText(report);
    std::string text;
    if (report.outcome == ImportReport::Outcome::Unchanged) {
        text = "Nothing changed: " + report.target + " already holds every file of " + report.archive + " (" +
               counted(report.files, "file") + " of " + counted(report.students, "student") + ").";
    } else {
        text = "Imported " + counted(report.files, "file") + " of " + counted(report.students, "student") +
               " students from " + report.archive + " into " + report.target + ": " +
               std::to_string(report.added.size()) + " new, " + std::to_string(report.replaced.size()) + " replaced, " +
               std::to_string(report.unchanged) + " unchanged.";
        if (!report.added.empty() && (report.unchanged > 0 || !report.replaced.empty()))
            text += "\nNew:" + listed(report.added);
        if (!report.replaced.empty())
            text += "\nReplaced:" + listed(report.replaced);
    }
    if (!report.kept.empty())
        text += "\nKept, though this download no longer holds them:" + listed(report.kept);
    return text + skippedText(report);
}

} // namespace darv::submissions
