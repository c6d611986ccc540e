// The department store's SQL: every statement of its schema and policies in this one place.
#include "similar/DepartmentSchema.h"

#include <array>

namespace darv::similar {
namespace {

// Migration N takes the schema from version N to N + 1, as the store on this computer does, with an owner on every
// row. Never change one that has been released: add one.
const std::array<const char*, kDepartmentSchemaVersion> kMigrations = {
    // 0 -> 1: projects (a name is unique per teacher), drawings, the inverted index of their tokens, remembered
    // templates and what each project's last run did not count; rows readable by every teacher and written only
    // by their owner.
    "CREATE TABLE project(id bigserial PRIMARY KEY, owner name NOT NULL DEFAULT current_user, name text NOT NULL,"
    "  handle_seed bigint NOT NULL DEFAULT 0, token_version bigint NOT NULL DEFAULT 0, UNIQUE(owner, name));"
    "CREATE TABLE drawing(id bigserial PRIMARY KEY, owner name NOT NULL DEFAULT current_user,"
    "  project bigint NOT NULL REFERENCES project(id) ON DELETE CASCADE, role integer NOT NULL,"
    "  path bytea NOT NULL, shown text NOT NULL, size bigint NOT NULL, mtime_ns bigint NOT NULL,"
    "  present boolean NOT NULL DEFAULT true, properties text NOT NULL, entities bytea NOT NULL,"
    "  token_basis bigint NOT NULL, tokens bytea NOT NULL, indexed boolean NOT NULL DEFAULT false,"
    "  UNIQUE(project, role, path));"
    "CREATE TABLE token(hash bigint NOT NULL, project bigint NOT NULL REFERENCES project(id) ON DELETE CASCADE,"
    "  drawing bigint NOT NULL REFERENCES drawing(id) ON DELETE CASCADE,"
    "  owner name NOT NULL DEFAULT current_user, PRIMARY KEY(hash, project, drawing));"
    "CREATE INDEX token_drawing ON token(drawing);"
    "CREATE TABLE template(project bigint NOT NULL REFERENCES project(id) ON DELETE CASCADE, path bytea NOT NULL,"
    "  owner name NOT NULL DEFAULT current_user, PRIMARY KEY(project, path));"
    "CREATE TABLE excluded(project bigint NOT NULL REFERENCES project(id) ON DELETE CASCADE, hash bigint NOT NULL,"
    "  owner name NOT NULL DEFAULT current_user, PRIMARY KEY(project, hash));"
    "DO $$ DECLARE t text; BEGIN"
    "  FOREACH t IN ARRAY ARRAY['project', 'drawing', 'token', 'template', 'excluded'] LOOP"
    "    EXECUTE format('ALTER TABLE %I ENABLE ROW LEVEL SECURITY', t);"
    "    EXECUTE format('CREATE POLICY everybody_reads ON %I FOR SELECT TO darv_teacher USING (true)', t);"
    "    EXECUTE format('CREATE POLICY owner_adds ON %I FOR INSERT TO darv_teacher"
    "                    WITH CHECK (owner = current_user)', t);"
    "    EXECUTE format('CREATE POLICY owner_changes ON %I FOR UPDATE TO darv_teacher"
    "                    USING (owner = current_user) WITH CHECK (owner = current_user)', t);"
    "    EXECUTE format('CREATE POLICY owner_removes ON %I FOR DELETE TO darv_teacher"
    "                    USING (owner = current_user)', t);"
    "    EXECUTE format('GRANT SELECT, INSERT, UPDATE, DELETE ON %I TO darv_teacher', t);"
    "  END LOOP; END $$;"
    "GRANT USAGE ON SEQUENCE project_id_seq, drawing_id_seq TO darv_teacher;",
    // 1 -> 2: the reader that made each row.
    "ALTER TABLE drawing ADD COLUMN source_version bigint NOT NULL DEFAULT 0;",
    // 2 -> 3: each drawing's features and a checksum of its record; the runs going, per project and teacher.
    "ALTER TABLE drawing ADD COLUMN features bytea NOT NULL DEFAULT '\\x';"
    "ALTER TABLE drawing ADD COLUMN record_sum bigint NOT NULL DEFAULT 0;"
    "CREATE TABLE open_run(owner name NOT NULL DEFAULT current_user, project text NOT NULL,"
    "  started bigint NOT NULL, PRIMARY KEY(owner, project));"
    "ALTER TABLE open_run ENABLE ROW LEVEL SECURITY;"
    "CREATE POLICY owner_only ON open_run TO darv_teacher USING (owner = current_user)"
    "  WITH CHECK (owner = current_user);"
    "GRANT SELECT, INSERT, UPDATE, DELETE ON open_run TO darv_teacher;",
    // 3 -> 4: each project's last complete result, readable by every teacher; the teacher's marks of pairs with
    // their notes, readable by that teacher alone.
    "CREATE TABLE last_result(owner name NOT NULL DEFAULT current_user, project text NOT NULL,"
    "  finished bigint NOT NULL, result bytea NOT NULL, PRIMARY KEY(owner, project));"
    "ALTER TABLE last_result ENABLE ROW LEVEL SECURITY;"
    "CREATE POLICY everybody_reads ON last_result FOR SELECT TO darv_teacher USING (true);"
    "CREATE POLICY owner_writes ON last_result FOR ALL TO darv_teacher USING (owner = current_user)"
    "  WITH CHECK (owner = current_user);"
    "CREATE TABLE pair_mark(owner name NOT NULL DEFAULT current_user, project text NOT NULL,"
    "  project_a text NOT NULL, path_a bytea NOT NULL, project_b text NOT NULL, path_b bytea NOT NULL,"
    "  verdict integer NOT NULL, note text NOT NULL, who text NOT NULL, marked bigint NOT NULL,"
    "  size_a bigint NOT NULL, mtime_a bigint NOT NULL, size_b bigint NOT NULL, mtime_b bigint NOT NULL,"
    "  PRIMARY KEY(owner, project, project_a, path_a, project_b, path_b));"
    "ALTER TABLE pair_mark ENABLE ROW LEVEL SECURITY;"
    "CREATE POLICY owner_only ON pair_mark TO darv_teacher USING (owner = current_user)"
    "  WITH CHECK (owner = current_user);"
    "GRANT SELECT, INSERT, UPDATE, DELETE ON last_result, pair_mark TO darv_teacher;",
    // 4 -> 5: the remembered templates in the teacher's order (rows from before keep their path order); an index
    // of each project's drawings waiting for the token index, and one of those its last run found, so that
    // neither is found by reading every row of a project.
    "ALTER TABLE template ADD COLUMN position integer NOT NULL DEFAULT 0;"
    "CREATE INDEX drawing_waiting ON drawing(project) WHERE NOT indexed;"
    "CREATE INDEX drawing_found ON drawing(project) WHERE role = 0 AND present;",
};

// One init at a time: two administrators starting it together wait for each other.
constexpr const char* kInitLock = "SELECT pg_advisory_xact_lock(7301200701)";

} // namespace

int departmentSchemaVersion(PgConnection& db)
{
    const auto table = db.query("SELECT to_regclass('darv_schema') IS NOT NULL");
    if (!table)
        return -1;
    if (table->text(0, 0) != "t")
        return 0;
    const auto version = db.query("SELECT version FROM darv_schema");
    if (!version)
        return -1;
    return version->rows() == 1 ? static_cast<int>(version->integer(0, 0)) : -1;
}

bool initDepartmentStore(PgConnection& db, std::string& failure)
{
    const auto fail = [&](const std::string& what) {
        failure = what + ": " + db.error();
        db.exec("ROLLBACK");
        return false;
    };
    if (!db.exec("BEGIN") || !db.exec(kInitLock))
        return fail("the store cannot be set up");
    // The teachers' role exists once per server: another database's store may have made it.
    if (!db.exec("DO $$ BEGIN IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'darv_teacher') THEN"
                 "  CREATE ROLE darv_teacher NOLOGIN; END IF; END $$;"
                 "CREATE TABLE IF NOT EXISTS darv_schema(version integer NOT NULL);"
                 "INSERT INTO darv_schema SELECT 0 WHERE NOT EXISTS (SELECT FROM darv_schema);"
                 "GRANT SELECT ON darv_schema TO darv_teacher;"))
        return fail("the store cannot be set up");
    const int version = departmentSchemaVersion(db);
    if (version < 0)
        return fail("the store's schema version cannot be read");
    if (version > kDepartmentSchemaVersion) {
        failure = "the store was written by a newer DARV (schema version " + std::to_string(version) + ")";
        db.exec("ROLLBACK");
        return false;
    }
    for (int step = version; step < kDepartmentSchemaVersion; ++step)
        if (!db.exec(kMigrations[static_cast<std::size_t>(step)]) ||
            !db.query("UPDATE darv_schema SET version = $1", {PgValue::number(step + 1)}))
            return fail("the store's schema cannot be brought to version " + std::to_string(step + 1));
    if (!db.exec("COMMIT"))
        return fail("the store's schema cannot be written");
    return true;
}

bool grantTeacher(PgConnection& db, const std::string& role, std::string& failure)
{
    // The role's name is quoted by the server, never spliced in as it stands.
    const auto statement = db.query("SELECT format('GRANT darv_teacher TO %I', $1::text)", {PgValue::text(role)});
    if (!statement || !db.exec(statement->text(0, 0))) {
        failure = "the role " + role + " cannot be made a teacher: " + db.error();
        return false;
    }
    return true;
}

} // namespace darv::similar
