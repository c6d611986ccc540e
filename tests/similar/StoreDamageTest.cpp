// A damaged evidence store never gives a false all-clear: every page of a real store damaged in turn gives the
// right verdict or a stop, and the earlier report stays; a dropped table is an error, not a crash; a store left
// open by a killed run is checked and, damaged, rebuilt on request from the drawings still on disk (the earlier
// project's drawings that are gone named as lost); an undamaged store is used as before.
#include "base/DataFolder.h"
#include "similar/PlantedClass.h"
#include "similar/SimilarRun.h"
#include "similar/SqliteEvidenceStore.h"
#include "similar/StoreRebuild.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

namespace darv::test {
namespace {

using similar::SimilarOptions;
using similar::SimilarOutcome;
using similar::SimilarResult;

using Ranking = std::vector<std::tuple<std::string, std::string, double>>;

Ranking ranking(const SimilarResult& result)
{
    Ranking pairs;
    for (const auto& pair : result.pairs)
        pairs.emplace_back(pair.a.path, pair.b.path, pair.score);
    return pairs;
}

// OLD, an earlier year, and NEW with a copy of one of OLD's drawings; NEW is compared against OLD.
class DamagedStore : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ClassGenerator generator(bracketAssignment(5), 5000);
        for (int i = 0; i < 4; ++i)
            old.push_back(folder.add("OLD", "student " + std::to_string(i), generator.student(i)));
        oldSource = generator.student(1);
        for (int i = 0; i < 3; ++i)
            folder.add("NEW", "student " + std::to_string(i), generator.student(10 + i));
        CopyTrick moved;
        moved.move = {31.5 * generator.scale(), 12 * generator.scale(), 0};
        folder.add("NEW", "copier", generator.copy(oldSource, 20, moved));
        ASSERT_EQ(run("OLD").outcome, SimilarOutcome::Complete);
        const SimilarResult first = run("NEW", {"OLD"});
        ASSERT_EQ(first.outcome, SimilarOutcome::Complete) << first.message;
        verdict = ranking(first);
        ASSERT_FALSE(verdict.empty());
        report = readFile(similarReportPath(folder.data(), "NEW"));
    }

    SimilarResult run(const std::string& project, std::vector<std::string> against = {}, bool rebuild = false)
    {
        SimilarOptions options;
        options.threads = 2;
        options.earlierProjects = std::move(against);
        options.rebuildStore = rebuild;
        const std::atomic<bool> cancel{false};
        return similar::SimilarRun(folder.data(), project, options, folder.source()).run(cancel);
    }

    std::string storePath() const { return evidenceStorePath(folder.data()); }

    void exec(const std::string& sql)
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(storePath().c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        sqlite3_close(db);
    }

    ClassFolder folder;
    std::vector<std::string> old;
    dwg::Drawing oldSource;
    Ranking verdict;
    std::string report;
};

TEST_F(DamagedStore, EveryPageDamagedGivesTheRightVerdictOrAStopAndTheReportStays)
{
    // The whole store is in its main file once the last connection closed.
    ASSERT_FALSE(std::filesystem::exists(storePath() + "-wal"));
    const std::string whole = readFile(storePath());
    constexpr std::size_t kPage = 4096;
    ASSERT_EQ(whole.size() % kPage, 0u);
    const std::size_t pages = whole.size() / kPage;
    ASSERT_LT(pages, 200u) << "keep the store small";
    std::size_t stopped = 0;
    for (std::size_t page = 0; page < pages; ++page) {
        std::string damaged = whole;
        std::fill(damaged.begin() + static_cast<std::ptrdiff_t>(page * kPage),
                  damaged.begin() + static_cast<std::ptrdiff_t>((page + 1) * kPage), '\0');
        for (const char* suffix : {"-wal", "-shm"})
            std::filesystem::remove(storePath() + suffix);
        writeFile(storePath(), damaged);
        const SimilarResult result = run("NEW", {"OLD"});
        if (result.outcome == SimilarOutcome::Complete) {
            EXPECT_EQ(ranking(result), verdict) << "page " << page + 1;
        } else {
            ++stopped;
            EXPECT_TRUE(result.outcome == SimilarOutcome::StoreDamaged || result.outcome == SimilarOutcome::Failed)
                << "page " << page + 1;
            EXPECT_FALSE(result.message.empty());
        }
        EXPECT_EQ(readFile(similarReportPath(folder.data(), "NEW")), report) << "page " << page + 1;
    }
    EXPECT_GT(stopped, 0u);

    // The undamaged store is used as before: nothing read again, the same verdict.
    for (const char* suffix : {"-wal", "-shm"})
        std::filesystem::remove(storePath() + suffix);
    writeFile(storePath(), whole);
    const int before = folder.sourceCalls();
    const SimilarResult again = run("NEW", {"OLD"});
    ASSERT_EQ(again.outcome, SimilarOutcome::Complete) << again.message;
    EXPECT_EQ(folder.sourceCalls(), before);
    EXPECT_EQ(ranking(again), verdict);
}

TEST_F(DamagedStore, ADroppedTableIsAnErrorNotACrash)
{
    for (const char* table : {"token", "excluded", "template", "open_run", "drawing"}) {
        exec(std::string("DROP TABLE ") + table);
        const SimilarResult result = run("NEW", {"OLD"});
        EXPECT_NE(result.outcome, SimilarOutcome::Complete) << table;
        EXPECT_NE(result.message.find("no such table"), std::string::npos) << result.message;
        EXPECT_EQ(readFile(similarReportPath(folder.data(), "NEW")), report) << table;
    }
}

TEST_F(DamagedStore, AStoreLeftOpenIsCheckedAndRebuiltOnRequestNamingWhatIsLost)
{
    // A run of NEW killed while it worked left its mark; then the token index's root page is zeroed.
    exec("INSERT INTO open_run(project, started) VALUES ('NEW', 0)");
    std::int64_t root = 0;
    {
        similar::SqliteEvidenceStore store;
        ASSERT_TRUE(store.open(storePath()));
        similar::SqliteStatement query(store.database(), "SELECT rootpage FROM sqlite_schema WHERE name = 'token'");
        ASSERT_EQ(query.step(), similar::SqliteStatement::Step::Row);
        root = query.integer(0);
    }
    std::string bytes = readFile(storePath());
    std::fill(bytes.begin() + (root - 1) * 4096, bytes.begin() + root * 4096, '\0');
    writeFile(storePath(), bytes);

    const SimilarResult damaged = run("NEW", {"OLD"});
    ASSERT_EQ(damaged.outcome, SimilarOutcome::StoreDamaged) << damaged.message;
    EXPECT_NE(damaged.message.find("did not close it"), std::string::npos) << damaged.message;
    EXPECT_EQ(readFile(similarReportPath(folder.data(), "NEW")), report);

    // One of OLD's drawings is gone from disk: the rebuild cannot read it again.
    std::filesystem::remove(old[3]);
    const SimilarResult rebuilt = run("NEW", {"OLD"}, true);
    ASSERT_EQ(rebuilt.outcome, SimilarOutcome::Complete) << rebuilt.message;
    EXPECT_EQ(ranking(rebuilt), verdict);
    std::string notes;
    for (const std::string& note : rebuilt.rebuilt)
        notes += note + "\n";
    EXPECT_NE(notes.find("Lost: 1 drawing of the earlier project OLD"), std::string::npos) << notes;
    EXPECT_TRUE(std::filesystem::exists(similar::damagedStorePath(folder.data())));

    // The rebuilt store is whole and closed cleanly: the next run reads nothing again.
    const int before = folder.sourceCalls();
    const SimilarResult next = run("NEW", {"OLD"});
    ASSERT_EQ(next.outcome, SimilarOutcome::Complete) << next.message;
    EXPECT_EQ(folder.sourceCalls(), before);
    similar::SqliteEvidenceStore store;
    ASSERT_TRUE(store.open(storePath()));
    EXPECT_EQ(store.quickCheck(), "");
}

} // namespace
} // namespace darv::test
