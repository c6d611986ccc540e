// A department store on the tests' own PostgreSQL server: the server is started by the first test that needs it
// and stopped when the test program ends; each call makes a fresh database with the store set up and a teacher.
#pragma once

#include "similar/DepartmentSchema.h"
#include "similar/Postgres.h"
#include "support/PostgresServer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace darv::test {

class DepartmentServer
{
public:
    // The server, started on first use; null with the reason in `reason` when it cannot be.
    static PostgresServer* server()
    {
        if (!instance()) {
            instance() = std::make_unique<PostgresServer>();
            ::testing::AddGlobalTestEnvironment(new Stop);
        }
        return instance()->running() ? instance().get() : nullptr;
    }
    static std::string reason() { return instance() ? instance()->reason() : "not started"; }

    // A new database with the store set up and `teacher` (a login role) made a teacher of it: the teacher's
    // connection address, or "" with the reason in failure. `adminAddress`: the administrator's address of it.
    static std::string newStore(const std::string& teacher, std::string& failure, std::string* adminAddress = nullptr)
    {
        PostgresServer* s = server();
        if (!s) {
            failure = reason();
            return "";
        }
        static int made = 0;
        const std::string database = "store_" + std::to_string(++made);
        similar::PgConnection admin;
        if (!admin.connect(s->conninfo()) || !admin.exec("CREATE DATABASE " + database)) {
            failure = admin.error();
            return "";
        }
        similar::PgConnection store;
        if (!store.connect(s->conninfo("darv_admin", database))) {
            failure = store.error();
            return "";
        }
        if (!similar::initDepartmentStore(store, failure) || !addTeacher(store, teacher, failure))
            return "";
        if (adminAddress)
            *adminAddress = s->conninfo("darv_admin", database);
        return s->conninfo(teacher, database);
    }

    // Makes `teacher` a login role (once per server) and a teacher of the store `store` is connected to.
    static bool addTeacher(similar::PgConnection& store, const std::string& teacher, std::string& failure)
    {
        if (!store.exec("DO $$ BEGIN IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = '" + teacher +
                        "') THEN CREATE ROLE " + teacher + " LOGIN; END IF; END $$")) {
            failure = store.error();
            return false;
        }
        return similar::grantTeacher(store, teacher, failure);
    }

    // A teacher's connection address turned into another teacher's of the same store.
    static std::string asTeacher(const std::string& address, const std::string& teacher)
    {
        return address.substr(0, address.find("user=")) + "user=" + teacher + address.substr(address.find(" dbname"));
    }

private:
    static std::unique_ptr<PostgresServer>& instance()
    {
        static std::unique_ptr<PostgresServer> running;
        return running;
    }
    struct Stop : ::testing::Environment
    {
        void TearDown() override { instance().reset(); }
    };
};

} // namespace darv::test
