// The libpq wrapper against a real server of the test's own.
#include "similar/Postgres.h"
#include "app/StoreCommand.h"
#include "similar/DepartmentSchema.h"
#include "support/PostgresServer.h"

#include <gtest/gtest.h>

#include <sstream>

namespace darv::similar {
namespace {

class PostgresTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { server = new test::PostgresServer; }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(server->running()) << server->reason();
        ASSERT_TRUE(db.connect(server->conninfo())) << db.error();
    }

    static test::PostgresServer* server;
    PgConnection db;
};

test::PostgresServer* PostgresTest::server = nullptr;

// Values go apart from the SQL: quotes and semicolons stay text, bytes with NUL and 0xFF come back whole, numbers
// read alike in text and in binary results.
TEST_F(PostgresTest, ValuesGoApartFromTheSqlAndComeBackWhole)
{
    ASSERT_TRUE(db.exec("CREATE TABLE drawing (id bigint PRIMARY KEY, path text, entities bytea)")) << db.error();
    const std::string bytes("DEB1\0\xff\x80 end", 11);
    const std::string path = "class/o'brien; DROP TABLE drawing; --/a.dwg";
    for (const std::int64_t id : {std::int64_t{-5}, std::int64_t{1} << 40})
        ASSERT_TRUE(db.query("INSERT INTO drawing VALUES ($1, $2, $3)",
                             {PgValue::number(id), PgValue::text(path), PgValue::binary(bytes)}))
            << db.error();
    for (const bool binary : {false, true}) {
        const auto rows = db.query("SELECT id, path, entities FROM drawing ORDER BY id", {}, binary);
        ASSERT_TRUE(rows) << db.error();
        ASSERT_EQ(rows->rows(), 2);
        EXPECT_EQ(rows->integer(0, 0), -5);
        EXPECT_EQ(rows->integer(1, 0), std::int64_t{1} << 40);
        EXPECT_EQ(rows->text(0, 1), path);
        EXPECT_EQ(rows->bytes(1, 2), bytes);
    }
    const auto none = db.query("SELECT NULL::bytea");
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->isNull(0, 0));
}

// Failures are values with the server's words and its SQLSTATE; the connection stays usable after them.
TEST_F(PostgresTest, FailuresSayWhatTheServerSaid)
{
    EXPECT_FALSE(db.exec("SELEC 1"));
    EXPECT_EQ(db.sqlState(), "42601");
    EXPECT_NE(db.error().find("syntax error"), std::string::npos) << db.error();
    ASSERT_TRUE(db.exec("CREATE TABLE once (id int PRIMARY KEY); INSERT INTO once VALUES (1)")) << db.error();
    EXPECT_FALSE(db.query("INSERT INTO once VALUES ($1)", {PgValue::number(1)}));
    EXPECT_EQ(db.sqlState(), "23505");
    EXPECT_TRUE(db.query("SELECT 1"));
    EXPECT_TRUE(db.sqlState().empty());

    PgConnection nowhere;
    EXPECT_FALSE(nowhere.connect(server->unreachable()));
    EXPECT_NE(nowhere.error().find("cannot be reached"), std::string::npos) << nowhere.error();
    EXPECT_FALSE(nowhere.exec("SELECT 1"));
    PgConnection stranger;
    EXPECT_FALSE(stranger.connect(server->conninfo("nobody_here")));
    EXPECT_NE(stranger.error().find("nobody_here"), std::string::npos) << stranger.error();
}

// The department's store: set up once (again changes nothing); each teacher reads everybody's evidence but
// adds, changes and removes only their own, whatever SQL they write by hand.
TEST_F(PostgresTest, TeachersReadAllEvidenceAndWriteOnlyTheirOwn)
{
    std::string failure;
    ASSERT_TRUE(db.exec("CREATE DATABASE dept") &&
                db.exec("CREATE ROLE anna LOGIN; CREATE ROLE bert LOGIN; CREATE ROLE eve LOGIN"))
        << db.error();
    PgConnection admin;
    ASSERT_TRUE(admin.connect(server->conninfo("darv_admin", "dept"))) << admin.error();
    EXPECT_EQ(departmentSchemaVersion(admin), 0);
    ASSERT_TRUE(initDepartmentStore(admin, failure)) << failure;
    ASSERT_TRUE(initDepartmentStore(admin, failure)) << failure;
    EXPECT_EQ(departmentSchemaVersion(admin), kDepartmentSchemaVersion);
    ASSERT_TRUE(grantTeacher(admin, "anna", failure)) << failure;
    ASSERT_TRUE(grantTeacher(admin, "bert", failure)) << failure;
    EXPECT_FALSE(grantTeacher(admin, "nobody\"; DROP TABLE drawing; --", failure));

    PgConnection anna, bert, eve;
    ASSERT_TRUE(anna.connect(server->conninfo("anna", "dept")) && bert.connect(server->conninfo("bert", "dept")) &&
                eve.connect(server->conninfo("eve", "dept")));
    ASSERT_TRUE(anna.exec("INSERT INTO project(name) VALUES ('BRACKET 2025');"
                          "INSERT INTO drawing(project, role, path, shown, size, mtime_ns, properties, entities,"
                          "  token_basis, tokens) SELECT id, 0, 'a.dwg', 'class/s01/a.dwg', 1, 1, '{}', '', 0, ''"
                          "  FROM project;"
                          "INSERT INTO token SELECT 42, project, id FROM drawing"))
        << anna.error();
    const auto seen = bert.query("SELECT owner || '/' || name FROM project");
    ASSERT_TRUE(seen) << bert.error();
    ASSERT_EQ(seen->rows(), 1);
    EXPECT_EQ(seen->text(0, 0), "anna/BRACKET 2025");
    for (const char* sql : {"UPDATE project SET name = 'MINE'", "DELETE FROM token", "DELETE FROM drawing",
                            "UPDATE drawing SET owner = 'bert'"}) {
        const auto changed = bert.query(std::string(sql) + " RETURNING 1");
        ASSERT_TRUE(changed) << sql << ": " << bert.error();
        EXPECT_EQ(changed->rows(), 0) << sql;
    }
    EXPECT_FALSE(bert.exec("INSERT INTO project(owner, name) VALUES ('anna', 'FORGED')"));
    EXPECT_EQ(bert.sqlState(), "42501");
    EXPECT_FALSE(bert.exec("ALTER TABLE project DISABLE ROW LEVEL SECURITY"));
    EXPECT_TRUE(bert.exec("INSERT INTO project(name) VALUES ('BRACKET 2025')")) << bert.error();
    EXPECT_FALSE(eve.query("SELECT count(*) FROM drawing"));
    EXPECT_EQ(eve.sqlState(), "42501");
    // A teacher's marks are that teacher's alone.
    ASSERT_TRUE(anna.exec("INSERT INTO pair_mark(project, project_a, path_a, project_b, path_b, verdict, note, who,"
                          "  marked, size_a, mtime_a, size_b, mtime_b)"
                          "  VALUES ('BRACKET 2025', 'BRACKET 2025', 'a', 'BRACKET 2025', 'b', 1, 'copy', 'anna',"
                          "  0, 0, 0, 0, 0)"))
        << anna.error();
    const auto marks = bert.query("SELECT count(*) FROM pair_mark");
    ASSERT_TRUE(marks) << bert.error();
    EXPECT_EQ(marks->integer(0, 0), 0);
    const auto kept = admin.query("SELECT count(*) FROM drawing WHERE owner = 'anna'");
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->integer(0, 0), 1);
}

// The administrator's command: init twice, grant a role; a role that does not exist, a server that cannot be
// reached and a wrong action are errors.
TEST_F(PostgresTest, TheStoreCommandSetsUpTheStoreAndItsTeachers)
{
    ASSERT_TRUE(db.exec("CREATE DATABASE command") && db.exec("CREATE ROLE carl LOGIN")) << db.error();
    const std::string url = server->conninfo("darv_admin", "command");
    const auto store = [](std::vector<std::string> args, std::string& said) {
        std::ostringstream out, err;
        const int status = runStoreCommand(args, out, err);
        said = out.str() + err.str();
        return status;
    };
    std::string said;
    EXPECT_EQ(store({"init", url}, said), 0) << said;
    EXPECT_EQ(store({"init", url}, said), 0) << said;
    EXPECT_NE(said.find("is ready (schema version 5)"), std::string::npos) << said;
    EXPECT_EQ(store({"grant", url, "carl"}, said), 0) << said;
    EXPECT_EQ(store({"grant", url, "nobody_here"}, said), 2);
    EXPECT_NE(said.find("nobody_here cannot be made a teacher"), std::string::npos) << said;
    EXPECT_EQ(store({"init", server->unreachable()}, said), 2);
    EXPECT_NE(said.find("cannot be reached"), std::string::npos) << said;
    EXPECT_EQ(store({"push", url}, said), 2);
}

} // namespace
} // namespace darv::similar
