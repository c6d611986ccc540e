// The evidence store, on this computer and on a department's server alike: unchanged drawings are not read again,
// runs are reproducible with any number of threads, a cancelled run keeps whole drawings only, damage is read again
// or refused, what the window needs comes back from the store after the files are gone; older local schemas are
// migrated; on a server, a colleague's project is compared by name and one run at a time writes a project.
#include "app/StoreCommand.h"
#include "base/DataFolder.h"
#include "similar/ClassReading.h"
#include "similar/DepartmentServer.h"
#include "similar/EntityBlob.h"
#include "similar/LastResult.h"
#include "similar/PairMarks.h"
#include "similar/PlantedClass.h"
#include "similar/SimilarRun.h"
#include "similar/SqliteEvidenceStore.h"
#include "similar/StoreOpening.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <chrono>
#include <sstream>
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
Check runCheck(const ClassFolder& folder, const std::string& server, unsigned threads, int cancelAfter = 0)
{
    std::atomic<bool> cancel{false};
    SimilarOptions options;
    options.threads = threads;
    options.server = server;
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

enum class Backend { ThisComputer, Server };

class StoredClass : public ::testing::TestWithParam<Backend>
{
protected:
    void SetUp() override
    {
        if (GetParam() == Backend::Server) {
            std::string failure;
            server = DepartmentServer::newStore("anna", failure, &admin);
            ASSERT_FALSE(server.empty()) << failure;
        }
        ClassGenerator generator(bracketAssignment(2), 2000);
        c = plantClass(folder, generator, "WEEK 5", 12);
        // The template file is given once; runs below rely on the store remembering it.
        SimilarOptions options;
        options.templates = std::vector<std::string>{c.templatePath};
        options.server = server;
        const std::atomic<bool> cancel{false};
        const SimilarResult first = similar::SimilarRun(folder.data(), "WEEK 5", options, folder.source()).run(cancel);
        ASSERT_EQ(first.outcome, SimilarOutcome::Complete) << first.message;
    }

    // Changes the store by hand, as its owner (the server's administrator, whom its rules do not bind).
    void changeByHand(const std::string& sqliteSql, const std::string& serverSql)
    {
        if (GetParam() == Backend::ThisComputer) {
            sqlite3* db = nullptr;
            ASSERT_EQ(sqlite3_open(evidenceStorePath(folder.data()).c_str(), &db), SQLITE_OK);
            EXPECT_EQ(sqlite3_exec(db, sqliteSql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(db);
            return;
        }
        similar::PgConnection db;
        ASSERT_TRUE(db.connect(admin)) << db.error();
        EXPECT_TRUE(db.exec(serverSql)) << db.error();
    }

    std::unique_ptr<similar::EvidenceStore> openStore()
    {
        similar::OpenedStore opened = similar::openEvidenceStore(folder.data(), server);
        EXPECT_TRUE(opened.store) << opened.error;
        return std::move(opened.store);
    }

    std::string server, admin; // the department store's addresses, for Backend::Server
    ClassFolder folder;
    PlantedClass c;
};

INSTANTIATE_TEST_SUITE_P(Stores, StoredClass, ::testing::Values(Backend::ThisComputer, Backend::Server),
                         [](const auto& named) { return named.param == Backend::Server ? "Server" : "ThisComputer"; });

TEST_P(StoredClass, UnchangedDrawingsAreNotReadAgainAndAnyThreadCountGivesTheSameRanking)
{
    const Check first = runCheck(folder, server, 1);
    EXPECT_EQ(first.reads, 0);
    EXPECT_EQ(first.result.drawings, c.students.size() + 7);
    EXPECT_FALSE(first.result.pairs.empty());

    folder.replace(c.students[4], c.drawings[5]); // a student hands in a classmate's drawing
    const Check changed = runCheck(folder, server, 2);
    EXPECT_EQ(changed.reads, 1);
    EXPECT_GT(changed.result.pairs.size(), first.result.pairs.size());
    EXPECT_EQ(ranking(runCheck(folder, server, 4).result), ranking(changed.result));
}

TEST_P(StoredClass, ACancelledRunKeepsWholeDrawingsAndGivesNoResult)
{
    for (const std::string& path : c.students)
        folder.replace(path, folder.source()(path).drawing.value()); // every file changed: all are read again
    const Check cancelled = runCheck(folder, server, 2, 5);
    EXPECT_EQ(cancelled.result.outcome, SimilarOutcome::Cancelled);
    EXPECT_TRUE(cancelled.result.pairs.empty());
    const Check rest = runCheck(folder, server, 2);
    EXPECT_EQ(rest.reads, static_cast<int>(c.students.size()) - 5);
    EXPECT_EQ(rest.result.outcome, SimilarOutcome::Complete);
}

TEST_P(StoredClass, ADamagedStoredDrawingIsReadAgainFromItsFile)
{
    changeByHand("UPDATE drawing SET entities = x'44454231FF' WHERE id = 3",
                 "UPDATE drawing SET entities = '\\x44454231FF' WHERE id = 3");
    const Check check = runCheck(folder, server, 2);
    EXPECT_EQ(check.reads, 1);
    EXPECT_EQ(check.result.outcome, SimilarOutcome::Complete);
}

// The store as the window uses it: a drawing's properties and geometry by its path, after the file is gone.
TEST_P(StoredClass, GivesTheWindowEveryStoredDrawingAfterItsFileIsGone)
{
    std::filesystem::remove(c.students[3]);
    const auto opened = openStore();
    ASSERT_TRUE(opened);
    similar::EvidenceStore& store = *opened;
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
TEST_P(StoredClass, KeepsTheLastResultAndCarriesMarksThroughARebuild)
{
    const Check check = runCheck(folder, server, 2);
    const auto opened = openStore();
    ASSERT_TRUE(opened);
    similar::EvidenceStore& store = *opened;
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
    // Only this computer's store is rebuilt (a server's is the server's to keep whole).
    SimilarOptions rebuild;
    rebuild.rebuildStore = true;
    rebuild.server = server;
    const std::atomic<bool> cancel{false};
    EXPECT_EQ(similar::SimilarRun(folder.data(), "WEEK 5", rebuild, folder.source()).run(cancel).outcome,
              server.empty() ? SimilarOutcome::Complete : SimilarOutcome::Failed);
    const auto reopened = openStore();
    ASSERT_TRUE(reopened);
    similar::EvidenceStore& rebuilt = *reopened;
    const auto marks = similar::loadMarks(rebuilt, "WEEK 5");
    ASSERT_TRUE(marks && marks->size() == 1);
    const similar::PairMark& mark = marks->at(similar::pairKey("WEEK 5", pair));
    EXPECT_EQ(mark.verdict, similar::PairVerdict::Copy);
    EXPECT_EQ(mark.note, "seen");
    EXPECT_FALSE(mark.changedSince);

    changeByHand("UPDATE last_result SET result = x'A1FF'", "UPDATE last_result SET result = '\\xA1FF'");
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
    similar::SqliteEvidenceStore store;
    ASSERT_TRUE(store.open(evidenceStorePath(folder.data()))) << store.error();
    EXPECT_EQ(scalar(store.database(), "PRAGMA user_version"), similar::SqliteEvidenceStore::kSchemaVersion);
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
TEST_P(StoredClass, ARunWaitsForAnotherProgramsWrite)
{
    for (const std::string& path : c.students)
        folder.replace(path, folder.source()(path).drawing.value()); // every file changed: all are written again
    // Another program's write: on this computer a write transaction, on a server a lock on the index.
    sqlite3* db = nullptr;
    similar::PgConnection pg;
    if (GetParam() == Backend::ThisComputer) {
        ASSERT_EQ(sqlite3_open(evidenceStorePath(folder.data()).c_str(), &db), SQLITE_OK);
        ASSERT_EQ(
            sqlite3_exec(db, "BEGIN IMMEDIATE; INSERT INTO project(name) VALUES ('OTHER')", nullptr, nullptr, nullptr),
            SQLITE_OK);
    } else {
        ASSERT_TRUE(pg.connect(admin) && pg.exec("BEGIN; LOCK TABLE token IN EXCLUSIVE MODE")) << pg.error();
    }
    std::thread other([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        if (db)
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        else
            pg.exec("COMMIT");
    });
    const Check check = runCheck(folder, server, 2);
    other.join();
    sqlite3_close(db);
    EXPECT_EQ(check.result.outcome, SimilarOutcome::Complete) << check.result.message;
    EXPECT_EQ(check.reads, static_cast<int>(c.students.size()));
}

// A colleague's earlier year is compared by "OWNER/NAME" from the server alone (no file of it on this computer),
// and stays the colleague's: nothing of it can be written by the teacher who compares with it.
TEST(ServerStore, AColleaguesEarlierProjectIsComparedByItsOwnersName)
{
    std::string failure, admin;
    const std::string anna = DepartmentServer::newStore("anna", failure, &admin);
    ASSERT_FALSE(anna.empty()) << failure;
    similar::PgConnection db;
    ASSERT_TRUE(db.connect(admin) && DepartmentServer::addTeacher(db, "bert", failure)) << failure << db.error();
    const std::string bert = DepartmentServer::asTeacher(anna, "bert");

    ClassFolder bertsFolder, annasFolder;
    ClassGenerator generator(bracketAssignment(9), 9000);
    const PlantedClass earlier = plantClass(bertsFolder, generator, "BRACKET 2025", 12, 100);
    const std::atomic<bool> cancel{false};
    SimilarOptions lastYear;
    lastYear.templates = std::vector<std::string>{earlier.templatePath};
    lastYear.server = bert;
    ASSERT_EQ(
        similar::SimilarRun(bertsFolder.data(), "BRACKET 2025", lastYear, bertsFolder.source()).run(cancel).outcome,
        SimilarOutcome::Complete);
    for (int i = 0; i < 8; ++i)
        annasFolder.add("BRACKET 2026", "new " + std::to_string(i), generator.student(200 + i));
    CopyTrick moved;
    moved.move = {-31.5, 12.25, 0};
    const std::string copy =
        annasFolder.add("BRACKET 2026", "new copier", generator.copy(earlier.drawings[7], 300, moved));

    SimilarOptions options;
    options.server = anna;
    options.earlierProjects = {"BRACKET 2025"}; // anna has none of that name
    const SimilarResult none =
        similar::SimilarRun(annasFolder.data(), "BRACKET 2026", options, annasFolder.source()).run(cancel);
    EXPECT_EQ(none.outcome, SimilarOutcome::Failed);
    EXPECT_NE(none.message.find("has no stored drawings"), std::string::npos) << none.message;
    options.earlierProjects = {"bert/BRACKET 2025"};
    const SimilarResult result =
        similar::SimilarRun(annasFolder.data(), "BRACKET 2026", options, annasFolder.source()).run(cancel);
    ASSERT_EQ(result.outcome, SimilarOutcome::Complete) << result.message;
    ASSERT_EQ(result.pairs.size(), 1u);
    EXPECT_EQ(result.pairs[0].a.path, copy);
    EXPECT_EQ(result.pairs[0].b.path, earlier.students[7]);
    EXPECT_EQ(result.pairs[0].b.project, "bert/BRACKET 2025");

    similar::OpenedStore opened = similar::openEvidenceStore(annasFolder.data(), anna);
    ASSERT_TRUE(opened.store) << opened.error;
    EXPECT_EQ(opened.store->projectNames(),
              std::optional(std::vector<std::string>{"BRACKET 2026", "bert/BRACKET 2025"}));
    EXPECT_FALSE(opened.store->addProject("bert/BRACKET 2025"));
    EXPECT_TRUE(opened.store->drawingByPath("bert/BRACKET 2025", earlier.students[7]));
}

// A class against an earlier year ranks the same pairs with the same scores on either store, found by the server
// in the server; both keep remembered templates in the teacher's order.
TEST(ServerStore, ComparesWithAnEarlierYearAsThisComputerDoes)
{
    std::string failure;
    const std::string anna = DepartmentServer::newStore("anna", failure);
    ASSERT_FALSE(anna.empty()) << failure;
    ClassFolder folder;
    ClassGenerator generator(bracketAssignment(5), 5000);
    const PlantedClass earlier = plantClass(folder, generator, "BRACKET 2025", 12, 100);
    for (int i = 0; i < 6; ++i)
        folder.add("BRACKET 2026", "new " + std::to_string(i), generator.student(300 + i));
    for (const int source : {2, 7, 9}) {
        CopyTrick moved;
        moved.move = {-20.5 - source, 7.25, 0};
        folder.add("BRACKET 2026", "copier " + std::to_string(source),
                   generator.copy(earlier.drawings[static_cast<std::size_t>(source)], 400 + source, moved));
    }
    const std::atomic<bool> cancel{false};
    std::vector<SimilarResult> results;
    for (const std::string& server : {std::string(), anna}) {
        SimilarOptions lastYear;
        lastYear.templates = std::vector<std::string>{earlier.templatePath};
        lastYear.server = server;
        ASSERT_EQ(similar::SimilarRun(folder.data(), "BRACKET 2025", lastYear, folder.source()).run(cancel).outcome,
                  SimilarOutcome::Complete);
        SimilarOptions options = lastYear;
        options.earlierProjects = {"BRACKET 2025"};
        results.push_back(similar::SimilarRun(folder.data(), "BRACKET 2026", options, folder.source()).run(cancel));
        ASSERT_EQ(results.back().outcome, SimilarOutcome::Complete) << results.back().message;

        similar::OpenedStore opened = similar::openEvidenceStore(folder.data(), server);
        ASSERT_TRUE(opened.store) << opened.error;
        const auto id = opened.store->findProject("BRACKET 2026");
        const std::vector<std::string> order = {"/t/zeta.dwg", "/t/alpha.dwg", "/t/mid.dwg"};
        ASSERT_TRUE(id && opened.store->setTemplatePaths(*id, order)) << opened.store->error();
        EXPECT_EQ(opened.store->templatePaths(*id), std::optional(order));
    }
    std::size_t withEarlier = 0;
    for (const similar::SimilarPair& pair : results[1].pairs)
        withEarlier += pair.b.project == "BRACKET 2025" ? 1u : 0u;
    EXPECT_GE(withEarlier, 3u);
    EXPECT_EQ(ranking(results[1]), ranking(results[0]));
    EXPECT_EQ(results[1].earlierDrawings, results[0].earlierDrawings);
    EXPECT_EQ(results[1].earlierDrawings, earlier.students.size() + 7);
}

// The window's store keeps one connection to the server between uses; a connection the server ended is made again
// once, and when it cannot be, the use is told so.
TEST(ServerStore, AKeptStoreReconnectsOnceAfterALostConnection)
{
    std::string failure, admin;
    const std::string anna = DepartmentServer::newStore("anna", failure, &admin);
    ASSERT_FALSE(anna.empty()) << failure;
    similar::PgConnection db;
    ASSERT_TRUE(db.connect(admin)) << db.error();
    const auto sessions = [&] {
        const auto found = db.query("SELECT count(*) FROM pg_stat_activity WHERE usename = 'anna'");
        return found ? found->integer(0, 0) : -1;
    };
    ClassFolder folder;
    similar::KeptStore kept;
    for (int use = 0; use < 3; ++use) {
        const similar::StoreAccess access = kept.access(folder.data(), anna);
        ASSERT_TRUE(access.store) << access.error;
        EXPECT_TRUE(access.store->projectNames()) << access.store->error();
    }
    EXPECT_EQ(sessions(), 1);

    ASSERT_TRUE(db.exec("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE usename = 'anna'"));
    const similar::StoreAccess again = kept.access(folder.data(), anna);
    ASSERT_TRUE(again.store) << again.error;
    EXPECT_TRUE(again.store->projectNames()) << again.store->error();

    // This database alone refuses her (roles are the whole server's, shared with other tests).
    ASSERT_TRUE(db.exec("DO $$ BEGIN EXECUTE format('REVOKE CONNECT ON DATABASE %I FROM PUBLIC', current_database()); "
                        "END $$"));
    ASSERT_TRUE(db.exec("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE usename = 'anna'"));
    const similar::StoreAccess lost = kept.access(folder.data(), anna);
    EXPECT_FALSE(lost.store);
    EXPECT_NE(lost.error.find("was lost and cannot be made again"), std::string::npos) << lost.error;
}

// One run at a time writes a project on the server, whichever computer it runs on: a second run is told the
// project is busy and touches nothing; the hold ends with the first run's connection.
TEST(ServerStore, OneRunAtATimeWritesAProject)
{
    std::string failure, admin;
    const std::string anna = DepartmentServer::newStore("anna", failure, &admin);
    ASSERT_FALSE(anna.empty()) << failure;
    ClassFolder folder;
    ClassGenerator generator(bracketAssignment(3), 3000);
    plantClass(folder, generator, "WEEK 6", 6);
    SimilarOptions options;
    options.server = anna;
    const std::atomic<bool> cancel{false};
    {
        similar::OpenedStore first = similar::openEvidenceStore(folder.data(), anna);
        ASSERT_TRUE(first.store) << first.error;
        ASSERT_EQ(first.store->holdProject("WEEK 6"), similar::EvidenceStore::Hold::Held);
        const SimilarResult busy = similar::SimilarRun(folder.data(), "WEEK 6", options, folder.source()).run(cancel);
        EXPECT_EQ(busy.outcome, SimilarOutcome::Busy);
        EXPECT_EQ(first.store->findProject("WEEK 6"), std::optional<std::int64_t>(0));
    }
    const SimilarResult done = similar::SimilarRun(folder.data(), "WEEK 6", options, folder.source()).run(cancel);
    EXPECT_EQ(done.outcome, SimilarOutcome::Complete) << done.message;
    // The hold is free the moment its store is closed, not when the server has noticed the closed connection.
    similar::PgConnection watch;
    ASSERT_TRUE(watch.connect(admin)) << watch.error();
    for (int round = 0; round < 20; ++round) {
        {
            similar::OpenedStore opened = similar::openEvidenceStore(folder.data(), anna);
            ASSERT_TRUE(opened.store) << opened.error;
            ASSERT_EQ(opened.store->holdProject("WEEK 6"), similar::EvidenceStore::Hold::Held);
        }
        const auto holds = watch.query("SELECT count(*)::int FROM pg_locks WHERE locktype = 'advisory'");
        ASSERT_TRUE(holds) << watch.error();
        EXPECT_EQ(holds->integer(0, 0), 0) << "round " << round;
    }
}

// push copies a project's evidence to the server and pull back into another teacher's computer; a push that
// stopped part way is taken up where it stopped, and a move done again changes nothing.
TEST(ServerStore, PushAndPullMoveAProjectOnce)
{
    std::string failure, admin;
    const std::string anna = DepartmentServer::newStore("anna", failure, &admin);
    ASSERT_FALSE(anna.empty()) << failure;
    similar::PgConnection db;
    ASSERT_TRUE(db.connect(admin) && DepartmentServer::addTeacher(db, "bert", failure)) << failure << db.error();
    const std::string bert = DepartmentServer::asTeacher(anna, "bert");
    ClassFolder folder, bertsFolder;
    ClassGenerator generator(bracketAssignment(4), 4000);
    const PlantedClass c = plantClass(folder, generator, "WEEK 7", 6);
    const std::atomic<bool> cancel{false};
    const SimilarResult checked =
        similar::SimilarRun(folder.data(), "WEEK 7", SimilarOptions{}, folder.source()).run(cancel);
    ASSERT_EQ(checked.outcome, SimilarOutcome::Complete);
    ASSERT_FALSE(checked.pairs.empty());
    const similar::SimilarPair& pair = checked.pairs.front();
    {
        similar::OpenedStore local = similar::openEvidenceStore(folder.data(), "");
        ASSERT_TRUE(local.store && similar::saveMark(*local.store, "WEEK 7", pair,
                                                     {similar::PairVerdict::Copy, "seen", "anna", 1000, false}));
    }
    const auto store = [](std::vector<std::string> args) {
        std::ostringstream out, err;
        const int status = runStoreCommand(args, out, err);
        return std::to_string(status) + " " + out.str() + err.str();
    };
    const std::size_t drawings = c.students.size() + 7; // with the planted copies
    const std::string all = std::to_string(drawings);
    const std::vector<std::string> push = {"push", "WEEK 7", "--to", anna, "--data", folder.data()};
    EXPECT_EQ(store(push), "0 Pushed WEEK 7: " + all + " drawings copied, 0 already there unchanged.\n");
    ASSERT_TRUE(db.exec("DELETE FROM drawing WHERE id IN (SELECT id FROM drawing ORDER BY id DESC LIMIT 3)"));
    EXPECT_EQ(store(push),
              "0 Pushed WEEK 7: 3 drawings copied, " + std::to_string(drawings - 3) + " already there unchanged.\n");
    EXPECT_EQ(store(push), "0 Pushed WEEK 7: 0 drawings copied, " + all + " already there unchanged.\n");
    // The result and the mark went along: the mark is anna's alone, on her drawings as they were.
    const auto carried = [&](const std::string& dataFolder, const std::string& server, const std::string& project,
                             std::size_t marks) {
        similar::OpenedStore opened = similar::openEvidenceStore(dataFolder, server);
        ASSERT_TRUE(opened.store) << opened.error;
        std::optional<similar::LastResult> last;
        ASSERT_TRUE(similar::loadLastResult(*opened.store, project, last)) << opened.store->error();
        ASSERT_TRUE(last);
        EXPECT_EQ(last->result.pairs.size(), checked.pairs.size());
        const auto kept = similar::loadMarks(*opened.store, "WEEK 7");
        ASSERT_TRUE(kept && kept->size() == marks);
        if (marks) {
            const similar::PairMark& mark = kept->at(similar::pairKey("WEEK 7", pair));
            EXPECT_EQ(mark.note, "seen");
            EXPECT_FALSE(mark.changedSince);
        }
    };
    carried(folder.data(), anna, "WEEK 7", 1);
    carried(folder.data(), bert, "anna/WEEK 7", 0);

    const std::vector<std::string> pull = {"pull", "anna/WEEK 7", "--from", bert, "--data", bertsFolder.data()};
    EXPECT_EQ(store(pull), "0 Pulled anna/WEEK 7: " + all + " drawings copied, 0 already there unchanged.\n");
    EXPECT_EQ(store(pull), "0 Pulled anna/WEEK 7: 0 drawings copied, " + all + " already there unchanged.\n");
    carried(bertsFolder.data(), "", "WEEK 7", 0);
    similar::OpenedStore pulled = similar::openEvidenceStore(bertsFolder.data(), "");
    ASSERT_TRUE(pulled.store) << pulled.error;
    const auto drawing = pulled.store->drawingByPath("WEEK 7", c.students[2]);
    ASSERT_TRUE(drawing) << pulled.store->error();
    EXPECT_EQ(similar::encodeEntities(drawing->drawing.entities), similar::encodeEntities(c.drawings[2].entities));
    EXPECT_EQ(store({"pull", "WEEK 7", "--from", bert, "--data", bertsFolder.data()}).substr(0, 2), "2 ");
}

} // namespace
} // namespace darv::test
