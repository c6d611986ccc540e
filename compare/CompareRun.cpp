// The comparison run: Recompare (cmdCompare_Click) and the run proper (RunCompare), told to a view.
#include "compare/CompareRun.h"

#include "base/DataFolder.h"
#include "base/RegularFile.h"
#include "compare/CheckDates.h"
#include "compare/CheckHandles.h"
#include "compare/CheckTimes.h"
#include "compare/CollectedDataFile.h"
#include "compare/CompareTables.h"
#include "compare/ReportFile.h"
#include "projects/FolderListing.h"
#include "projects/ProjectName.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <system_error>

namespace darv {
namespace {

std::string faultMessage(const CollectedData& data, const std::string& path, std::int64_t drawingCount)
{
    std::string what;
    switch (data.fault) {
    case CollectedDataFault::Unreadable:
        what = "The collected data file\n" + path + "\ncannot be read.";
        break;
    case CollectedDataFault::NotQuoted:
        what = "Line " + std::to_string(data.faultLine) + " of the collected data file\n" + path +
               "\nis not a record: it is not enclosed in double quotes.";
        break;
    case CollectedDataFault::TooFewCommas:
        what = "Line " + std::to_string(data.faultLine) + " of the collected data file\n" + path +
               "\nis not a record: it has fewer than three commas.";
        break;
    case CollectedDataFault::TooManyRecords:
        what = "Line " + std::to_string(data.faultLine) + " of the collected data file\n" + path +
               "\nis one record more than the " + std::to_string(drawingCount) +
               " drawings counted in the project's locations: drawings were removed since the last collection.";
        break;
    case CollectedDataFault::None:
        break;
    }
    return what + "\n\nThe reports were left as they were. A new collection run (Start COLLECTING...) is needed "
                  "before this project can be compared.";
}

std::string notComparedMessage(std::int64_t notCompared, std::int64_t drawingCount,
                               const std::vector<std::string>& unread, const std::vector<UnlistedFolder>& unlisted)
{
    constexpr std::size_t shown = 10;
    std::string text;
    if (notCompared > 0) {
        text = std::to_string(notCompared) + " of the " + std::to_string(drawingCount) +
               " drawings were not compared: they could not be read when they were collected, or they were "
               "added since.";
        for (std::size_t k = 0; k < unread.size() && k < shown; ++k)
            text += "\n  " + unread[k];
        if (unread.size() > shown)
            text += "\n  ...";
    }
    if (!unlisted.empty())
        text += (text.empty() ? "" : "\n\n") + unlistedFoldersText(unlisted);
    return text + "\n\nNo conflict was found among the others. This is no all-clear for the whole class: make the "
                  "drawings readable and start a new collection (Start COLLECTING...).";
}

std::string partlyReadMessage(const std::vector<std::string>& partlyRead, std::int64_t drawingCount)
{
    constexpr std::size_t shown = 10;
    std::string text = std::to_string(partlyRead.size()) + " of the " + std::to_string(drawingCount) +
                       " drawings could be read only in part: they are damaged, and what could not be read was "
                       "not compared.";
    for (std::size_t k = 0; k < partlyRead.size() && k < shown; ++k)
        text += "\n  " + partlyRead[k];
    if (partlyRead.size() > shown)
        text += "\n  ...";
    return text + "\n\nNo conflict was found in what could be read. This is no all-clear for the whole class: ask for "
                  "undamaged copies of these drawings and start a new collection (Start COLLECTING...).";
}

// More than any class's damaged drawings would fill.
constexpr std::uint64_t kMaxPartlyReadList = 64u << 20;

std::string reportFailureMessage(const std::string& error)
{
    return "A report could not be written:\n" + error +
           "\n\nThe run was stopped. The reports were left as they were before it.";
}

} // namespace

void tellLockRefused(CompareView& view, const ProjectLock& lock, const std::string& project)
{
    if (lock.state() == ProjectLock::State::HeldByOther)
        view.showMessage(MessageIcon::Exclamation, "DARV Warning", ProjectLock::busyMessage(project, lock.ownerPid()));
    else
        view.showMessage(MessageIcon::Critical, "DARV Error",
                         "Project " + project + " cannot be locked for this run:\n" + lock.reason());
}

// Passes what the checks report on to the view.
class CompareRun::CheckObserver : public CompareObserver
{
public:
    CheckObserver(CompareRun& run, const std::string& installLoc) : m_run(run), m_installLoc(installLoc) {}

    void statusChanged(const std::string& text) override { m_run.m_view.setStatusText(text); }
    void pairStarted(std::int64_t first, std::int64_t second) override { m_run.m_view.setPairStatus(first, second); }
    void indexing(std::int64_t step, std::int64_t steps) override { m_run.m_view.setIndexStatus(step, steps); }
    void counterChanged(ConflictCounter counter, std::int64_t value) override
    {
        const CounterLabel label = counter == ConflictCounter::Time     ? CounterLabel::Time
                                   : counter == ConflictCounter::Handle ? CounterLabel::Handle
                                                                        : CounterLabel::Age;
        m_run.m_view.setCounterText(label, counterText(value));
    }
    void showElapsed() override { m_run.showElapsed(); }
    void conflictAlert() override { m_run.conflictAlert(m_installLoc); }

private:
    CompareRun& m_run;
    const std::string& m_installLoc;
};

CompareRun::CompareRun(CompareView& view, CompareClock& clock) : m_view(view), m_clock(clock) {}

CompareResult CompareRun::recompare(const std::string& installLoc, const std::string& project,
                                    const std::vector<std::string>& locations, const CompareOptions& options)
{
    if (!isUsableProjectName(project)) {
        m_view.showMessage(MessageIcon::Information, "DARV Error", "Invalid project name!");
        return {CompareOutcome::Stopped};
    }
    const ProjectLock lock = ProjectLock::acquire(installLoc, project);
    if (!lock.held()) {
        tellLockRefused(m_view, lock, project);
        return {CompareOutcome::Busy};
    }
    const std::string path = collectedDataPath(installLoc, project);
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if ((ec || size == 0) && options.timeCheck) {
        m_view.showMessage(MessageIcon::Information, kAppTitle, kNoCollectedDataMessage);
        m_view.clearTimeOption();
        m_view.disableRecompare();
        return {CompareOutcome::NoCollectedData};
    }
    resetPanel(installLoc);
    // The drawings the collection could read only in part are still so: their damage keeps the all-clear away.
    const auto partlyRead = readRegularFile(partlyReadListPath(installLoc, project), kMaxPartlyReadList);
    if (partlyRead.ok()) {
        std::istringstream lines(*partlyRead);
        for (std::string line; std::getline(lines, line);)
            if (!line.empty())
                m_partlyRead.push_back(line);
    } else if (!partlyRead.error().missing) {
        m_partlyRead.push_back("(the list of drawings read only in part cannot be read) " + partlyRead.error().text);
    }
    const DrawingCount count = countDrawings(locations, CountFailure::Skip);
    m_view.setCounterText(CounterLabel::Files, counterText(count.total));
    return runCompare(installLoc, project, count.total, options, count.unlisted);
}

void CompareRun::beginRun()
{
    m_startTime = m_clock.nowSeconds();
    m_alertGiven = false;
    m_partlyRead.clear();
    m_shownElapsed = -1;
}

void CompareRun::resetPanel(const std::string& installLoc)
{
    beginRun();
    m_view.setCounterText(CounterLabel::Time, counterText(0));
    m_view.setCounterText(CounterLabel::Handle, counterText(0));
    m_view.setCounterText(CounterLabel::Age, counterText(0));
    m_view.setStatusText("Comparing...");
    m_view.setElapsedText("");
    m_shownElapsed = -1;
    m_view.showPicture(Picture::Logo, resourcePath(installLoc, "darvlogo.jpg"));
    m_view.setVerdict(Verdict::NoDarv);
}

CompareResult CompareRun::runCompare(const std::string& installLoc, const std::string& project,
                                     std::int64_t drawingCount, const CompareOptions& options,
                                     const std::vector<UnlistedFolder>& unlisted)
{
    CompareResult result;
    result.drawingCount = drawingCount;
    for (const UnlistedFolder& folder : unlisted)
        result.unlistedFolders.push_back(folder.folder);
    if (drawingCount <= 0) {
        if (!unlisted.empty())
            m_view.showMessage(MessageIcon::Exclamation, "DARV Warning",
                               unlistedFoldersText(unlisted) +
                                   "\n\nNo drawing could be counted: nothing was compared.");
        result.outcome = CompareOutcome::NothingCounted;
        return result;
    }
    const std::string dataPath = collectedDataPath(installLoc, project);
    const std::size_t slots = static_cast<std::size_t>(drawingCount);
    CollectedData data = readCollectedData(dataPath, slots);
    if (data.fault != CollectedDataFault::None) {
        stopRun(installLoc, MessageIcon::Exclamation, "DARV Warning", faultMessage(data, dataPath, drawingCount));
        result.outcome = CompareOutcome::Stopped;
        return result;
    }
    CompareTables tables(slots);
    // A drawing the reader could not read is recorded without a time stamp; slots without a record are
    // drawings added since the collection. Neither was compared.
    std::vector<std::string> unread;
    for (const CollectedRecord& record : data.records)
        if (record.time == 0.0)
            unread.push_back(record.name);
    result.notCompared = static_cast<std::int64_t>(unread.size() + (slots - data.records.size()));
    for (std::size_t k = 0; k < data.records.size(); ++k) {
        tables.names[k] = std::move(data.records[k].name);
        tables.times[k] = data.records[k].time;
        tables.handles[k] = std::move(data.records[k].handles);
    }
    data.records = {};

    CheckObserver observer(*this, installLoc);
    ReportFile timeReport(timeReportPath(installLoc, project));
    ReportFile handleReport(handleReportPath(installLoc, project));
    ReportFile ageReport(ageReportPath(installLoc, project));
    // A report that cannot be written stops the run at once: a verdict over reports that were lost
    // would tell the teacher something nobody can check.
    const auto stopOnFailure = [&](ReportFile& report) {
        if (report.ok())
            return false;
        stopRun(installLoc, MessageIcon::Critical, "DARV Error", reportFailureMessage(report.error()));
        result.outcome = CompareOutcome::Stopped;
        return true;
    };
    result.timeConflicts = checkTimes(tables, options.timeCheck, timeReport, observer, m_alertGiven);
    if (stopOnFailure(timeReport))
        return result;
    result.handleConflicts = checkHandles(tables, options, handleReport, observer, m_alertGiven);
    if (stopOnFailure(handleReport))
        return result;
    result.ageConflicts =
        checkDates(tables, options.ageCheck, options.age, m_clock.today(), ageReport, observer, m_alertGiven);
    if (stopOnFailure(ageReport))
        return result;
    for (ReportFile* report : {&timeReport, &handleReport, &ageReport}) {
        if (!report->commit() && stopOnFailure(*report))
            return result;
    }
    m_view.setStatusText("Complete!");
    result.alertGiven = m_alertGiven;
    result.partlyRead = static_cast<std::int64_t>(m_partlyRead.size());
    if (!m_alertGiven && (result.notCompared > 0 || !unlisted.empty() || result.partlyRead > 0)) {
        // Conflicts found are real, but "no conflicts" over part of a class is no all-clear.
        m_view.setVerdict(Verdict::None);
        std::string text;
        if (result.notCompared > 0 || !unlisted.empty())
            text = notComparedMessage(result.notCompared, drawingCount, unread, unlisted);
        if (result.partlyRead > 0)
            text += (text.empty() ? "" : "\n\n") + partlyReadMessage(m_partlyRead, drawingCount);
        m_view.showMessage(MessageIcon::Exclamation, "DARV Warning", text);
    } else if (!m_alertGiven) {
        m_view.showPicture(Picture::Check, resourcePath(installLoc, "darvcheck.jpg"));
    }
    return result;
}

void CompareRun::notePartlyRead(const std::string& name, const std::string& damage)
{
    // A line each in the kept list: no line ends inside one.
    std::string line = name + ": " + damage;
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    m_partlyRead.push_back(std::move(line));
}

std::string CompareRun::partlyReadList() const
{
    std::string list;
    for (const std::string& line : m_partlyRead)
        list += line + "\n";
    return list;
}

void CompareRun::showElapsed()
{
    m_endTime = m_clock.nowSeconds();
    std::int64_t seconds = m_endTime - m_startTime;
    if (seconds < 0)
        seconds = 0; // a clock set back during the run
    // The label only changes when the shown second does; repainting the same text shows nothing new.
    if (seconds != m_shownElapsed) {
        m_shownElapsed = seconds;
        m_view.setElapsedText(elapsedText(seconds));
    }
}

void CompareRun::stopRun(const std::string& installLoc, MessageIcon icon, const std::string& title,
                         const std::string& text)
{
    m_view.setStatusText("Stopped");
    m_view.showPicture(Picture::Logo, resourcePath(installLoc, "darvlogo.jpg"));
    m_view.setVerdict(Verdict::None);
    m_view.showMessage(icon, title, text);
}

void CompareRun::conflictAlert(const std::string& installLoc)
{
    m_view.playAlertSound(resourcePath(installLoc, "conflict.wav")); // no sound is no failure
    m_view.setVerdict(Verdict::Darv);
    m_view.showPicture(Picture::Wrong, resourcePath(installLoc, "darvwrong.jpg"));
    m_alertGiven = true;
}

std::string elapsedText(std::int64_t seconds)
{
    if (seconds < 0)
        seconds = 0;
    seconds %= 86400;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return std::string("Elapsed Time: ") + buffer;
}

} // namespace darv
