// The similarity run: lock, store, templates, listing, reading, comparing, ranking, report.
#include "similar/SimilarRun.h"

#include "base/AtomicFile.h"
#include "base/DataFolder.h"
#include "projects/FolderListing.h"
#include "projects/ProjectLock.h"
#include "projects/QuotedLinesFile.h"
#include "similar/ClassReading.h"
#include "similar/EntityBlob.h"
#include "similar/LastResult.h"
#include "similar/OrderedPool.h"
#include "similar/PropertiesJson.h"
#include "similar/SimilarReport.h"
#include "similar/StartDrawings.h"
#include "similar/StoreOpening.h"
#include "similar/StoreRebuild.h"
#include "similar/Students.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iterator>
#include <set>
#include <tuple>

namespace darv::similar {
namespace {

SimilarResult failed(SimilarOutcome outcome, std::string message)
{
    SimilarResult result;
    result.outcome = outcome;
    result.message = std::move(message);
    return result;
}

// The store failed: damaged (the teacher is offered a rebuild), or otherwise (full disk, locked, read-only).
SimilarResult storeFailed(bool damaged, const std::string& what, const std::string& reason)
{
    if (damaged)
        return failed(SimilarOutcome::StoreDamaged, "the evidence store is damaged: " + reason);
    return failed(SimilarOutcome::Failed, "the evidence store cannot be " + what + ": " + reason);
}

SimilarResult storeFailed(const EvidenceStore& store, const std::string& what)
{
    return storeFailed(store.damaged(), what, store.error());
}

// Clears the store's mark of this run when the run ends, however it ends (not when the process is killed).
class RunMark
{
public:
    RunMark(EvidenceStore& store, std::string project) : m_store(store), m_project(std::move(project)) {}
    RunMark(const RunMark&) = delete;
    RunMark& operator=(const RunMark&) = delete;
    ~RunMark() { m_store.endRun(m_project); }

private:
    EvidenceStore& m_store;
    std::string m_project;
};

// "class A/anna/bracket.dwg": the location's own folder name, then the path below it.
std::string shownName(const std::string& folder, const std::string& fullPath)
{
    std::string base = folder;
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    const std::size_t cut = base.find_last_of('/');
    const std::string name = cut == std::string::npos ? base : base.substr(cut + 1);
    std::string below = fullPath.substr(std::min(fullPath.size(), base.size()));
    while (!below.empty() && below.front() == '/')
        below.erase(0, 1);
    return name.empty() ? below : name + "/" + below;
}

// Every drawing of the locations in the collection run's order; the templates are no student's work.
// Folders that exist but cannot be listed go to unlisted: their drawings are unknown.
std::vector<ListedDrawing> listProject(const std::vector<std::string>& locations,
                                       const std::vector<std::string>& templatePaths,
                                       std::vector<UnlistedFolder>& unlisted)
{
    const std::set<std::string> templates(templatePaths.begin(), templatePaths.end());
    std::vector<ListedDrawing> listed;
    std::set<std::string> seen; // a folder named by two locations is read once
    std::string folder;
    WalkCallbacks walk;
    walk.locationStarted = [&](std::size_t, const std::string& path, bool) { folder = path; };
    walk.drawing = [&](const WalkStep& step) {
        if (!templates.count(step.fullPath) && seen.insert(step.fullPath).second)
            listed.push_back({step.fullPath, shownName(folder, step.fullPath)});
    };
    walk.folderUnlisted = [&](const UnlistedFolder& unreadable) { unlisted.push_back(unreadable); };
    walkDrawings(locations, walk, kSourceReadsDxf ? DrawingTypes::DwgAndDxf : DrawingTypes::Dwg);
    return listed;
}

// One student's own drawings go apart, the rest in cases of two students.
void rank(SimilarResult& result)
{
    const auto own = std::stable_partition(result.pairs.begin(), result.pairs.end(),
                                           [](const SimilarPair& pair) { return !sameStudent(pair); });
    std::move(own, result.pairs.end(), std::back_inserter(result.sameStudent));
    result.pairs.erase(own, result.pairs.end());
    rankInCases(result.pairs);
    nameStudents(result.pairs);
    const auto strongestFirst = [](const SimilarPair& x, const SimilarPair& y) {
        if (x.score != y.score)
            return x.score > y.score;
        return std::tie(x.a.path, x.b.path) < std::tie(y.a.path, y.b.path);
    };
    // Under the threshold only pairs of two students are listed, the strongest first.
    std::erase_if(result.below, [](const SimilarPair& pair) { return sameStudent(pair); });
    std::sort(result.below.begin(), result.below.end(), strongestFirst);
    if (result.below.size() > kListedBelow)
        result.below.resize(kListedBelow);
    nameStudents(result.below);
    nameStudents(result.sameStudent);
    std::sort(result.sameStudent.begin(), result.sameStudent.end(), strongestFirst);
}

// What the project's run leaves out, kept for comparing with the project later: the templates and the
// class's common tokens.
TemplateSet excludedTokens(const TemplateSet& templates, const TokenCounts& counts, const Rarity& rarity)
{
    TemplateSet excluded = templates;
    counts.forEach([&](std::uint64_t token, const TokenHolders& holders) {
        if (rarity.commonHolders(holders))
            excluded.addToken(token);
    });
    return excluded;
}

SimilarResult compareAndReport(const std::string& dataFolder, const std::string& projectName,
                               const SimilarOptions& options, EvidenceStore& store, std::int64_t project,
                               const TemplateSet& namedTemplates, const std::vector<std::string>& templatePaths,
                               ClassReading reading)
{
    // Start drawings handed out without being named count as templates.
    TemplateSet templates = namedTemplates;
    std::vector<StartDrawing> startDrawings = findStartDrawings(reading.members, templates);
    std::vector<const std::vector<std::uint64_t>*> features;
    for (const ClassMember& m : reading.members)
        features.push_back(&m.tokens);
    const TokenCounts counts = countTokens(features);
    const Rarity rarity(counts, reading.members.size(), options.commonShare, templates);
    if (!store.saveExcluded(project, excludedTokens(templates, counts, rarity)))
        return storeFailed(store, "written");

    SimilarResult result;
    result.drawings = reading.members.size();
    result.startDrawings = std::move(startDrawings);
    result.unread = std::move(reading.unread);
    result.partial = std::move(reading.partial);
    std::vector<ComparedPair> compared;
    result.belowFloor = std::min(kListedFloor, options.minScore);
    result.pairs =
        compareWithinClass(reading.members, rarity, options.minScore, &compared, &result.below, result.belowFloor);
    // The class's distribution: pairs of two students, in a fixed order (the comparison's is a hash map's).
    std::sort(compared.begin(), compared.end(),
              [](const ComparedPair& x, const ComparedPair& y) { return std::tie(x.a, x.b) < std::tie(y.a, y.b); });
    for (const ComparedPair& c : compared)
        if (studentOf(reading.members[c.a].name).key != studentOf(reading.members[c.b].name).key)
            result.scores.push_back(c.score);
    if (!options.earlierProjects.empty()) {
        EarlierComparison found = compareWithEarlier(store, reading.members, counts, templates, options);
        if (!found.failure.empty())
            return found.damaged ? failed(SimilarOutcome::StoreDamaged, found.failure)
                                 : failed(SimilarOutcome::Failed, found.failure);
        result.earlierDrawings = found.drawings;
        std::move(found.pairs.begin(), found.pairs.end(), std::back_inserter(result.pairs));
    }
    rank(result);

    result.reportPath = similarReportPath(dataFolder, projectName);
    std::error_code ec;
    std::filesystem::create_directories(similarReportFolder(dataFolder), ec);
    if (const FileWrite written = writeFileAtomically(result.reportPath, reportText(projectName, result, options));
        !written)
        return failed(SimilarOutcome::Failed, "the report cannot be written: " + written.error().text);
    result.outcome = SimilarOutcome::Complete;
    // Kept for the window to show on opening; the templates as used.
    LastResult last{
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count(),
        options, result};
    last.options.templates = templatePaths;
    if (!saveLastResult(store, projectName, last))
        return storeFailed(store, "written");
    return result;
}

} // namespace

SimilarRun::SimilarRun(std::string dataFolder, std::string project, SimilarOptions options, DrawingSource source)
    : m_dataFolder(std::move(dataFolder)), m_project(std::move(project)), m_options(std::move(options)),
      m_source(std::move(source))
{}

SimilarResult SimilarRun::run(const std::atomic<bool>& cancel)
{
    const ProjectLock lock = ProjectLock::acquire(m_dataFolder, m_project);
    if (lock.state() == ProjectLock::State::HeldByOther)
        return failed(SimilarOutcome::Busy, ProjectLock::busyMessage(m_project, lock.ownerPid()));
    if (!lock.held())
        return failed(SimilarOutcome::Failed, "the project cannot be locked: " + lock.reason());
    for (const std::string& earlier : m_options.earlierProjects)
        if (earlier == m_project)
            return failed(SimilarOutcome::Failed, "project " + m_project + " cannot be its own earlier work");

    if (m_options.rebuildStore && !m_options.server.empty())
        return failed(SimilarOutcome::Failed, "only this computer's evidence store can be rebuilt, not the "
                                              "department server's");
    std::vector<std::string> rebuilt;
    if (m_options.rebuildStore) {
        const unsigned threads = m_options.threads ? m_options.threads : defaultThreads();
        const StoreRebuild rebuild = rebuildStore(m_dataFolder, m_project, m_source, threads, cancel);
        if (!rebuild.failure.empty())
            return failed(SimilarOutcome::Failed, "the evidence store cannot be rebuilt: " + rebuild.failure);
        rebuilt = rebuild.notes;
    }
    const OpenedStore opened = openEvidenceStore(m_dataFolder, m_options.server);
    if (!opened.store)
        return storeFailed(opened.damaged, "opened",
                           opened.damaged ? "the evidence store cannot be opened: " + opened.error : opened.error);
    EvidenceStore& store = *opened.store;
    // On a shared server the store itself holds the project for this run, for every teacher's program.
    switch (store.holdProject(m_project)) {
    case EvidenceStore::Hold::Held:
        break;
    case EvidenceStore::Hold::Busy:
        return failed(SimilarOutcome::Busy, "project " + m_project +
                                                " is being checked by another run on the "
                                                "department server; try again when it ends");
    case EvidenceStore::Hold::Failed:
        return storeFailed(store, "read");
    }
    // A run that did not close the store (killed, crashed, a power cut) may have left it damaged: it is checked
    // before it is used.
    const auto unclean = store.uncleanRuns(m_dataFolder, m_project);
    if (!unclean)
        return storeFailed(store, "read");
    if (!unclean->empty()) {
        const std::string problems = store.quickCheck();
        if (!problems.empty()) {
            std::string runs;
            for (const std::string& p : *unclean)
                runs += (runs.empty() ? "" : ", ") + p;
            return failed(SimilarOutcome::StoreDamaged, "the evidence store is damaged: a run of project " + runs +
                                                            " did not close it, and its check finds: " + problems);
        }
        if (!store.clearRuns(*unclean))
            return storeFailed(store, "written");
    }
    if (!store.beginRun(m_project))
        return storeFailed(store, "written");
    const RunMark mark(store, m_project);
    const std::string unusable = unusableEarlierProject(store, m_options.earlierProjects);
    if (!unusable.empty())
        return failed(store.damaged() ? SimilarOutcome::StoreDamaged : SimilarOutcome::Failed, unusable);
    const auto project = store.addProject(m_project);
    if (!project)
        return storeFailed(store, "written");
    std::vector<std::string> templatePaths;
    if (m_options.templates) {
        templatePaths = *m_options.templates;
    } else if (auto remembered = store.templatePaths(*project)) {
        templatePaths = std::move(*remembered);
    } else {
        return storeFailed(store, "read");
    }
    TemplateSet templates;
    std::string failure;
    if (!loadTemplates(store, *project, templatePaths, m_source, templates, failure))
        return failed(store.damaged() ? SimilarOutcome::StoreDamaged : SimilarOutcome::Failed, failure);
    if (m_options.templates && !store.setTemplatePaths(*project, templatePaths))
        return storeFailed(store, "written");

    const auto locations = readQuotedLines(locationFilePath(m_dataFolder, m_project));
    std::vector<UnlistedFolder> unlisted;
    const std::vector<ListedDrawing> listed =
        listProject(locations.value_or(std::vector<std::string>{}), templatePaths, unlisted);
    if (listed.empty() && !unlisted.empty())
        return failed(SimilarOutcome::Failed, unlistedFoldersText(unlisted) + "\nNothing was compared.");
    if (listed.empty())
        return failed(SimilarOutcome::NoDrawings,
                      "no drawing was found in the locations of project " + m_project + "; nothing was compared");
    const unsigned threads = m_options.threads ? m_options.threads : defaultThreads();
    ClassReading reading =
        readClass(store, *project, m_project, listed, templates, m_source, threads, progress, cancel);
    if (reading.state == ClassReading::State::Cancelled || cancel.load())
        return failed(SimilarOutcome::Cancelled, "cancelled");
    if (reading.state == ClassReading::State::StoreFailed)
        return storeFailed(reading.damaged, "written", reading.failure);
    if (reading.members.empty())
        return failed(SimilarOutcome::Failed, "none of the " + std::to_string(listed.size()) + " drawings of project " +
                                                  m_project + " could be read");
    // A folder that could not be listed is named among what was not read: the check is no all-clear.
    for (const UnlistedFolder& folder : unlisted)
        reading.unread.push_back({folder.folder, folder.folder, "the folder cannot be read: " + folder.reason});
    SimilarResult result = compareAndReport(m_dataFolder, m_project, m_options, store, *project, templates,
                                            templatePaths, std::move(reading));
    result.rebuilt = std::move(rebuilt);
    return result;
}

} // namespace darv::similar
