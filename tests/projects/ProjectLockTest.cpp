// One run per project: the lock is refused while another process (or another run here) holds it,
// and comes free when its holder dies.
#include "projects/ProjectLock.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace darv;
using darv::test::TempFolder;

TEST(ProjectLock, HeldByAChildProcessUntilItDies)
{
    TempFolder data;
    darv::test::makeDataFolders(data.path());
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ProjectLock lock = ProjectLock::acquire(data.path(), "WEEK 3");
        const char state = lock.held() ? 'y' : 'n';
        [[maybe_unused]] const ssize_t sent = ::write(ready[1], &state, 1);
        ::pause(); // killed by the parent, never returns normally
        ::_exit(0);
    }
    char state = 0;
    ASSERT_EQ(::read(ready[0], &state, 1), 1);
    ASSERT_EQ(state, 'y');

    const ProjectLock second = ProjectLock::acquire(data.path(), "WEEK 3");
    EXPECT_EQ(second.state(), ProjectLock::State::HeldByOther);
    EXPECT_EQ(second.ownerPid(), static_cast<long>(child));
    EXPECT_EQ(ProjectLock::busyMessage("WEEK 3", second.ownerPid()),
              "Project WEEK 3 is being collected or compared by another DARV (process " + std::to_string(child) + ").");
    EXPECT_TRUE(ProjectLock::acquire(data.path(), "OTHER").held()) << "another project is free";

    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_TRUE(ProjectLock::acquire(data.path(), "WEEK 3").held()) << "the system released the dead run's lock";
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST(ProjectLock, TwoRunsInOneProcessExcludeEachOther)
{
    TempFolder data;
    darv::test::makeDataFolders(data.path());
    ProjectLock first = ProjectLock::acquire(data.path(), "A");
    ASSERT_TRUE(first.held());
    EXPECT_EQ(ProjectLock::acquire(data.path(), "A").state(), ProjectLock::State::HeldByOther);
    first.release();
    EXPECT_TRUE(ProjectLock::acquire(data.path(), "A").held());
}

TEST(ProjectLock, ALockFileThatCannotBeMadeFails)
{
    TempFolder data;
    const ProjectLock lock = ProjectLock::acquire(data.path(), std::string(260, 'A'));
    EXPECT_EQ(lock.state(), ProjectLock::State::Failed);
    EXPECT_NE(lock.reason().find("File name too long"), std::string::npos) << lock.reason();
}
