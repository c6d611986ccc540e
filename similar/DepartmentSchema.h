// The evidence store of a department on a PostgreSQL server: its schema, brought up to date one migration at a
// time as the store on this computer is, and the rules the server enforces: every row carries the teacher (the
// database role) who wrote it; every teacher reads all evidence, and adds, changes and removes only their own.
#pragma once

#include "similar/Postgres.h"

#include <string>

namespace darv::similar {

// The same numbering as the store on this computer: version N holds what its migrations 0 .. N-1 made.
inline constexpr int kDepartmentSchemaVersion = 5;

// Creates the schema, its policies and the teachers' role, or brings them up to date; run by whoever administers
// the server (the owner of the tables). Running it again changes nothing. False with the reason in failure (a
// schema written by a newer DARV is left alone).
bool initDepartmentStore(PgConnection& db, std::string& failure);

// Makes an existing database role a teacher of the department (a member of the role darv_teacher). False with the
// reason in failure.
bool grantTeacher(PgConnection& db, const std::string& role, std::string& failure);

// The schema version of the server's store; 0 when it has none yet, -1 with db.error() when it cannot be asked.
int departmentSchemaVersion(PgConnection& db);

} // namespace darv::similar
