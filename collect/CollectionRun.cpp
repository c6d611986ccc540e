// The collection run.
#include "collect/CollectionRun.h"

#include "base/AtomicFile.h"
#include "base/DataFolder.h"
#include "compare/CollectedDataFile.h"
#include "projects/FolderListing.h"
#include "projects/ProjectLock.h"
#include "projects/ProjectName.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace darv {

namespace {
const char* kSelectionSet = "GetHandle";

// The list of drawings read only in part, kept beside the collected data; none: the earlier list goes. Returns
// the failure, empty when done.
std::string keepPartlyReadList(const std::string& path, const std::string& list)
{
    if (list.empty()) {
        std::error_code ec;
        if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec)))
            return {};
        std::filesystem::remove(path, ec);
        return ec ? path + ": " + ec.message() : std::string();
    }
    AtomicFile file(path);
    if (!file.write(list) || !file.commit())
        return file.error();
    return {};
}

// Whether a class name, upper-cased, equals the wanted text (already "ACDB" + the entity type).
bool upperEquals(const std::string& className, const std::string& wanted)
{
    if (className.size() != wanted.size())
        return false;
    for (std::size_t i = 0; i < className.size(); ++i) {
        const char c = className[i];
        const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        if (upper != wanted[i])
            return false;
    }
    return true;
}
} // namespace

std::optional<std::string> checkCollectedDataReplaceable(const std::string& path)
{
    struct stat info
    {
    };
    if (::stat(path.c_str(), &info) != 0) {
        if (errno != ENOENT)
            return std::string(std::strerror(errno));
        // Not there: fine, as long as its folder is (a data folder without it cannot be collected into).
        const std::string folder = std::filesystem::path(path).parent_path().string();
        struct stat folderInfo
        {
        };
        if (::stat(folder.c_str(), &folderInfo) != 0 || !S_ISDIR(folderInfo.st_mode))
            return "Path not found: " + folder;
        return std::nullopt;
    }
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return "Permission denied: " + path + " is read-only";
    return std::nullopt;
}

CollectionRun::CollectionRun(CollectView& view, CompareRun& compare, CadHost& host,
                             std::function<std::string(const std::string&)> upperCase)
    : m_view(view), m_compare(compare), m_host(host), m_upperCase(std::move(upperCase))
{}

CollectResult CollectionRun::collect(const std::string& installLoc, const std::string& project,
                                     const std::vector<std::string>& locations, const CompareOptions& options)
{
    CollectResult result;
    if (!isUsableProjectName(project)) {
        m_view.showMessage(MessageIcon::Information, "DARV Error", "Invalid project name!");
        result.outcome = CollectOutcome::Stopped;
        return result;
    }
    const ProjectLock lock = ProjectLock::acquire(installLoc, project);
    if (!lock.held()) {
        tellLockRefused(m_view, lock, project);
        result.outcome = CollectOutcome::Busy;
        return result;
    }
    m_compare.beginRun();
    m_view.showPicture(Picture::Logo, resourcePath(installLoc, "darvlogo.jpg"));
    m_view.setVerdict(Verdict::NoDarv);
    for (CounterLabel label : {CounterLabel::Time, CounterLabel::Handle, CounterLabel::Age})
        m_view.setCounterText(label, counterText(0));

    const std::int64_t drawingCount = countDrawings(locations, CountFailure::Skip).total;
    result.drawingCount = drawingCount;
    m_view.setCounterText(CounterLabel::Files, counterText(drawingCount));

    const std::string dataFile = collectedDataPath(installLoc, project);
    if (const auto failure = checkCollectedDataReplaceable(dataFile)) {
        m_view.showMessage(MessageIcon::Critical, "DARV Fatal Error", *failure + " - Aborting DARV!");
        m_view.endApplication();
        result.outcome = CollectOutcome::Fatal;
        return result;
    }

    // The records go to a temporary file that takes the collected data's place only when every
    // record was written: a run that is killed or fails never leaves part of a class behind, and the
    // earlier collected data stays usable by Recompare until then. What a dead run left is removed.
    removeDeadRunsTemporaries(std::filesystem::path(dataFile).parent_path().string());
    AtomicFile records(dataFile);
    std::int64_t done = 0;
    m_view.setStatusText("Opening Files...");
    WalkCallbacks walk;
    walk.locationStarted = [&](std::size_t, const std::string& folder, bool withSubfolders) {
        m_view.setLocationText(folder);
        m_view.setSubfolderText(withSubfolders ? "All sub folders included (one level only)..."
                                               : "This folder only...");
    };
    walk.drawing = [&](const WalkStep& step) {
        ++done;
        // More drawings than counted (some were added during the run) leave the bar where it was.
        if (drawingCount > 0) {
            const double percent = static_cast<double>(done) / static_cast<double>(drawingCount) * 100.0;
            if (percent <= 100.0)
                m_view.setProgress(percent);
        }
        m_view.setFileText(step.shownName);
        if (!records.ok())
            return; // the run stops below; reading more drawings would be lost work
        const DrawingOutcome outcome = readDrawing(step.fullPath, step.fileName, records, options.entity);
        if (drawingRead)
            drawingRead(outcome);
    };
    walk.locationFinished = [&](std::size_t) { m_compare.showElapsed(); };
    std::vector<UnlistedFolder> unlisted;
    walk.folderUnlisted = [&](const UnlistedFolder& folder) { unlisted.push_back(folder); };
    walkDrawings(locations, walk);
    result.walked = done;

    if (locations.empty())
        m_view.showMessage(MessageIcon::Exclamation, "DARV Warning", "Sorry, no locations to compare!");
    if (drawingCount == 0 && unlisted.empty()) // otherwise the comparison names the folders
        m_view.showMessage(MessageIcon::Exclamation, "DARV Warning", "Sorry, no drawings found!");
    m_view.setFileText("");
    m_view.setLocationText("");
    m_view.setSubfolderText("");
    m_view.setProgress(0.0);

    // A run that found no drawing leaves no collected-data file: the earlier one goes.
    const std::string partlyReadFile = partlyReadListPath(installLoc, project);
    if (done == 0) {
        records.discard();
        std::error_code ec;
        std::filesystem::remove(dataFile, ec);
        std::filesystem::remove(partlyReadFile, ec);
    }
    // The drawings read only in part are kept beside the collected data, for Recompare; the list goes first, so
    // that collected data never stands without the list of its damaged drawings.
    std::string failure;
    if (done > 0) {
        failure = records.ok() ? keepPartlyReadList(partlyReadFile, m_compare.partlyReadList()) : records.error();
        if (failure.empty() && !records.commit())
            failure = records.error();
    }
    if (!failure.empty()) {
        m_compare.stopRun(installLoc, MessageIcon::Critical, "DARV Error",
                          "The collected data could not be written:\n" + failure +
                              "\n\nThe run was stopped; nothing was compared.");
        m_view.disableRecompare();
        result.outcome = CollectOutcome::Stopped;
        return result;
    }

    result.compare = m_compare.runCompare(installLoc, project, drawingCount, options, unlisted);
    m_view.enableRecompare();
    return result;
}

DrawingOutcome CollectionRun::readDrawing(const std::string& path, const std::string& fileName, AtomicFile& dataFile,
                                          const std::string& entity)
{
    DrawingOutcome outcome;
    outcome.path = path;
    // Every step goes on when the one before failed; the record is written in any case.
    outcome.opened = m_host.open(path);
    if (!outcome.opened)
        outcome.failure = m_host.lastFailure();
    else
        outcome.warnings = m_host.lastWarnings();
    m_host.activateDocument();
    m_host.addSelectionSet(kSelectionSet);
    m_host.selectAll();
    std::string handleList;
    const std::string wanted = "ACDB" + entity;
    if (const std::vector<HostEntity>* entities = m_host.enumerateSelection()) {
        outcome.entities = entities->size();
        for (const HostEntity& e : *entities) {
            if (upperEquals(e.objectName, wanted)) {
                handleList += e.handle;
                handleList += '$';
                ++outcome.matches;
            }
            m_compare.showElapsed();
        }
    }
    // A drawing that could not be read gets no time stamp: the previous drawing's would report a
    // false time conflict.
    outcome.created = m_host.getVariable("TDCREATE");
    const std::string name = drawingName(m_upperCase(fileName), NameCase::AsGiven);
    dataFile.write(recordLine(name, outcome.created, handleList));
    // What was read is compared; that the drawing was read only in part is told after the comparison.
    if (!outcome.warnings.empty())
        m_compare.notePartlyRead(name, outcome.warnings.front());
    m_host.deleteSelectionSet(kSelectionSet);
    m_host.closeAll();
    m_compare.showElapsed();
    return outcome;
}

} // namespace darv
