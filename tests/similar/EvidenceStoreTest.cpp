// The evidence store: unchanged drawings are not read again, runs are reproducible with any number of threads,
// a cancelled run keeps whole drawings only, older schemas are migrated, damage is read again or refused, and
// what the window needs comes back from the store after the files are gone.
#include "similar/EvidenceStore.h"
#include "base/DataFolder.h"
#include "similar/ClassReading.h"
#include "similar/EntityBlob.h"
#include "similar/LastResult.h"
#include "similar/PairMarks.h"
#include "similar/PlantedClass.h"
#include "similar/SimilarRun.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <chrono>
#include <thread>

namespace darv::test {
namespace {

using similar::SimilarOptions;
using similar::SimilarOutcome;
using similar::SimilarResult;

struct Check
{
    SimilarResult result;
    int reads = 0; // the source's calls during the run
};

// cancelAfter: the run is cancelled once that many drawings were read and stored.
Check runCheck(const ClassFolder& folder, unsigned threads, int cancelAfter = 0)
{
    std::atomic<bool> cancel{false};
    SimilarOptions options;
    options.threads = threads;
    similar::SimilarRun run(folder.data(), "WEEK 5", options, folder.source());
    int stored = 0;
    run.progress = [&](const similar::SimilarProgress& step) {
        if (step.state == similar::SimilarProgress::State::Read && ++stored == cancelAfter)
            cancel = true;
    };
    const int before = folder.sourceCalls();
    Check check{run.run(cancel), 0};
    check.reads = folder.sourceCalls() - before;
    return check;
}

std::int64_t scalar(similar::SqliteDatabase& db, const char* sql)
{
    similar::SqliteStatement query(db, sql);
    return query.step() == similar::SqliteStatement::Step::Row ? query.integer(0) : -1;
}

std::vector<std::tuple<std::string, std::string, double>> ranking(const SimilarResult& result)
{
    std::vector<std::tuple<std::string, std::string, double>> pairs;
    for (const auto& pair : result.pairs)
        pairs.emplace_back(pair.a.path, pair.b.path, pair.score);
    return pairs;
}

class StoredClass : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ClassGenerator generator(bracketAssignment(2), 2000);
        c = plantClass(folder, generator, "WEEK 5", 12);
        // The template file is given once; runs below rely on the store remembering it.
        SimilarOptions options;
        options.templates = std::vector<std::string>{c.templatePath};
        const std::atomic<bool> cancel{false};
        ASSERT_EQ(similar::SimilarRun(folder.data(), "WEEK 5", options, folder.source()).run(cancel).outcome,
                  SimilarOutcome::Complete);
    }

    sqlite3* openStore()
    {
        sqlite3* db = nullptr;
        EXPECT_EQ(sqlite3_open(evidenceStorePath(folder.data()).c_str(), &db), SQLITE_OK);
        return db;
    }

    ClassFolder folder;
    PlantedClass c;
};

TEST_F(StoredClass, UnchangedDrawingsAreNotReadAgainAndAnyThreadCountGivesTheSameRanking)
{
    const Check first = runCheck(folder, 1);
    EXPECT_EQ(first.reads, 0);
    EXPECT_EQ(first.result.drawings, c.students.size() + 7);
    EXPECT_FALSE(first.result.pairs.empty());

    folder.replace(c.students[4], c.drawings[5]); // a student hands in a classmate's drawing
    const Check changed = runCheck(folder, 2);
    EXPECT_EQ(changed.reads, 1);
    EXPECT_GT(changed.result.pairs.size(), first.result.pairs.size());
    EXPECT_EQ(ranking(runCheck(folder, 4).result), ranking(changed.result));
}

TEST_F(StoredClass, ACancelledRunKeepsWholeDrawingsAndGivesNoResult)
{
    for (const std::string& path : c.students)
        folder.replace(path, folder.source()(path).drawing.value()); // every file changed: all are read again
    const Check cancelled = runCheck(folder, 2, 5);
    EXPECT_EQ(cancelled.result.outcome, SimilarOutcome::Cancelled);
    EXPECT_TRUE(cancelled.result.pairs.empty());
    const Check rest = runCheck(folder, 2);
    EXPECT_EQ(rest.reads, static_cast<int>(c.students.size()) - 5);
    EXPECT_EQ(rest.result.outcome, SimilarOutcome::Complete);
}

TEST_F(StoredClass, ADamagedStoredDrawingIsReadAgainFromItsFile)
{
    sqlite3* db = openStore();
    ASSERT_EQ(sqlite3_exec(db, "UPDATE drawing SET entities = x'44454231FF' WHERE id = 3", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    const Check check = runCheck(folder, 2);
    EXPECT_EQ(check.reads, 1);
    EXPECT_EQ(check.result.outcome, SimilarOutcome::Complete);
}

// The store as the window uses it: a drawing's properties and geometry by its path, after the file is gone.
TEST_F(StoredClass, GivesTheWindowEveryStoredDrawingAfterItsFileIsGone)
{
    std::filesystem::remove(c.students[3]);
    similar::EvidenceStore store;
    ASSERT_TRUE(store.open(evidenceStorePath(folder.data()))) << store.error();
    const auto stored = store.drawingByPath("WEEK 5", c.students[3]);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->shownName, "WEEK 5 class/student 3/bracket.dwg");
    EXPECT_EQ(similar::encodeEntities(stored->drawing.entities), similar::encodeEntities(c.drawings[3].entities));
    EXPECT_EQ(stored->drawing.fingerprintGuid, c.drawings[3].fingerprintGuid);
    EXPECT_EQ(stored->drawing.lastSavedBy, c.drawings[3].lastSavedBy);
    EXPECT_EQ(store.projectNames(), std::optional(std::vector<std::string>{"WEEK 5"}));
}

// The last check comes back whole from the store; a mark outlives a rebuild of the store; a damaged record is
// refused with a message, not shown.
TEST_F(StoredClass, KeepsTheLastResultAndCarriesMarksThroughARebuild)
{
    const Check check = runCheck(folder, 2);
    similar::EvidenceStore store;
    ASSERT_TRUE(store.open(evidenceStorePath(folder.data()))) << store.error();
    std::optional<similar::LastResult> last;
    ASSERT_TRUE(similar::loadLastResult(store, "WEEK 5", last)) << store.error();
    ASSERT_TRUE(last);
    EXPECT_EQ(ranking(last->result), ranking(check.result));
    EXPECT_EQ(last->result.pairs.front().handlesA, check.result.pairs.front().handlesA);
    EXPECT_EQ(last->result.scores, check.result.scores);
    EXPECT_GT(last->result.scores.size(), check.result.pairs.size());
    EXPECT_EQ(last->options.templates, std::optional(std::vector<std::string>{c.templatePath}));

    const similar::SimilarPair& pair = check.result.pairs.front();
    ASSERT_TRUE(similar::saveMark(store, "WEEK 5", pair, {similar::PairVerdict::Copy, "seen", "teacher", 1000, false}));
    SimilarOptions rebuild;
    rebuild.rebuildStore = true;
    const std::atomic<bool> cancel{false};
    ASSERT_EQ(similar::SimilarRun(folder.data(), "WEEK 5", rebuild, folder.source()).run(cancel).outcome,
              SimilarOutcome::Complete);
    similar::EvidenceStore rebuilt;
    ASSERT_TRUE(rebuilt.open(evidenceStorePath(folder.data())));
    const auto marks = similar::loadMarks(rebuilt, "WEEK 5");
    ASSERT_TRUE(marks && marks->size() == 1);
    const similar::PairMark& mark = marks->at(similar::pairKey("WEEK 5", pair));
    EXPECT_EQ(mark.verdict, similar::PairVerdict::Copy);
    EXPECT_EQ(mark.note, "seen");
    EXPECT_FALSE(mark.changedSince);

    ASSERT_TRUE(rebuilt.database().exec("UPDATE last_result SET result = x'A1FF'"));
    EXPECT_FALSE(similar::loadLastResult(rebuilt, "WEEK 5", last));
    EXPECT_NE(rebuilt.error().find("damaged"), std::string::npos);
}

// Version 1 of the schema, as the first release wrote it: the run brings it up to date, keeps its rows, and
// reads again what an older reader stored.
TEST(EvidenceStoreSchema, MigratesVersionOneAndRefusesANewerStoreOrAnotherFile)
{
    ClassFolder folder;
    ClassGenerator generator(flangeAssignment(4), 4000);
    const std::string path = folder.add("OLD", "anna", generator.student(1));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(evidenceStorePath(folder.data()).c_str(), &db), SQLITE_OK);
    const std::string version1 =
        "CREATE TABLE project(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE, handle_seed INTEGER NOT NULL "
        "DEFAULT 0, token_version INTEGER NOT NULL DEFAULT 0);"
        "CREATE TABLE drawing(id INTEGER PRIMARY KEY, project INTEGER NOT NULL REFERENCES project(id), role INTEGER "
        "NOT NULL, path BLOB NOT NULL, shown TEXT NOT NULL, size INTEGER NOT NULL, mtime_ns INTEGER NOT NULL, present "
        "INTEGER NOT NULL DEFAULT 1, properties TEXT NOT NULL, entities BLOB NOT NULL, token_basis INTEGER NOT NULL, "
        "tokens BLOB NOT NULL, indexed INTEGER NOT NULL DEFAULT 0, UNIQUE(project, role, path));"
        "CREATE TABLE token(hash INTEGER NOT NULL, project INTEGER NOT NULL, drawing INTEGER NOT NULL, PRIMARY "
        "KEY(hash, project, drawing)) WITHOUT ROWID;"
        "CREATE TABLE template(project INTEGER NOT NULL REFERENCES project(id), path BLOB NOT NULL, PRIMARY "
        "KEY(project, path));"
        "CREATE TABLE excluded(project INTEGER NOT NULL, hash INTEGER NOT NULL, PRIMARY KEY(project, hash)) WITHOUT "
        "ROWID;"
        "INSERT INTO project(id, name) VALUES (1, 'OLD');"
        "PRAGMA user_version = 1;";
    ASSERT_EQ(sqlite3_exec(db, version1.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_stmt* row = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO drawing(id, project, role, path, shown, size, mtime_ns, properties, entities, "
                       "token_basis, tokens) VALUES (7, 1, 0, ?, 'anna/bracket.dwg', ?, ?, '{}', x'44454231000000', "
                       "0, x'')",
                       -1, &row, nullptr);
    // The file is unchanged since: only the reader that stored it is older.
    std::string reason;
    const auto stamp = similar::fileStamp(path, reason);
    ASSERT_TRUE(stamp) << reason;
    sqlite3_bind_blob(row, 1, path.data(), static_cast<int>(path.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(row, 2, stamp->size);
    sqlite3_bind_int64(row, 3, stamp->mtimeNs);
    ASSERT_EQ(sqlite3_step(row), SQLITE_DONE);
    sqlite3_finalize(row);
    sqlite3_close(db);

    const std::atomic<bool> cancel{false};
    similar::SimilarRun run(folder.data(), "OLD", SimilarOptions{}, folder.source());
    ASSERT_EQ(run.run(cancel).outcome, SimilarOutcome::Complete);
    EXPECT_EQ(folder.sourceCalls(), 1);
    similar::EvidenceStore store;
    ASSERT_TRUE(store.open(evidenceStorePath(folder.data()))) << store.error();
    EXPECT_EQ(scalar(store.database(), "PRAGMA user_version"), similar::EvidenceStore::kSchemaVersion);
    EXPECT_EQ(scalar(store.database(), "SELECT id FROM drawing"), 7);
    EXPECT_EQ(scalar(store.database(), "SELECT source_version FROM drawing"), similar::kSourceVersion);
    store.database().exec("PRAGMA user_version = 99");

    const auto refused = similar::SimilarRun(folder.data(), "OLD", SimilarOptions{}, folder.source()).run(cancel);
    EXPECT_EQ(refused.outcome, SimilarOutcome::Failed);
    EXPECT_NE(refused.message.find("written by a newer DARV (schema version 99"), std::string::npos) << refused.message;

    writeFile(evidenceStorePath(folder.data()), std::string(4096, 'x'));
    std::filesystem::remove(evidenceStorePath(folder.data()) + "-wal");
    const auto other = similar::SimilarRun(folder.data(), "OLD", SimilarOptions{}, folder.source()).run(cancel);
    EXPECT_EQ(other.outcome, SimilarOutcome::StoreDamaged);
    EXPECT_NE(other.message.find("the evidence store cannot be opened"), std::string::npos) << other.message;
    EXPECT_EQ(readFile(evidenceStorePath(folder.data())), std::string(4096, 'x')) << "another file is left alone";
}

// Every truncation of a stored entity record is refused, never read past its end.
TEST(EvidenceStoreRecords, TruncatedEntityRecordsAreRefused)
{
    ClassGenerator generator(flangeAssignment(6), 6000);
    const std::string bytes = similar::encodeEntities(generator.student(2).entities);
    ASSERT_TRUE(similar::decodeEntities(bytes));
    for (std::size_t size = 0; size < bytes.size(); ++size)
        EXPECT_FALSE(similar::decodeEntities(std::string_view(bytes).substr(0, size))) << size;
}

} // namespace
} // namespace darv::test

namespace darv::test {
namespace {

// Another program's write transaction on the store (another project's run writing a drawing) makes a run wait,
// not fail with "database is locked".
TEST_F(StoredClass, ARunWaitsForAnotherProgramsWrite)
{
    for (const std::string& path : c.students)
        folder.replace(path, folder.source()(path).drawing.value()); // every file changed: all are written again
    sqlite3* db = openStore();
    ASSERT_EQ(
        sqlite3_exec(db, "BEGIN IMMEDIATE; INSERT INTO project(name) VALUES ('OTHER')", nullptr, nullptr, nullptr),
        SQLITE_OK);
    std::thread other([db] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    });
    const Check check = runCheck(folder, 2);
    other.join();
    sqlite3_close(db);
    EXPECT_EQ(check.result.outcome, SimilarOutcome::Complete) << check.result.message;
    EXPECT_EQ(check.reads, static_cast<int>(c.students.size()));
}

} // namespace
} // namespace darv::test
