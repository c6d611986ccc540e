// One run per project at a time, by flock(2) on a file in the data folder.
#include "projects/ProjectLock.h"

#include "base/DataFolder.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

namespace darv {

namespace {

std::optional<long> readPid(int fd)
{
    char text[32] = {};
    const ssize_t got = ::pread(fd, text, sizeof text - 1, 0);
    if (got <= 0)
        return std::nullopt;
    char* end = nullptr;
    const long pid = std::strtol(text, &end, 10);
    if (end == text || pid <= 0)
        return std::nullopt;
    return pid;
}

void writePid(int fd)
{
    const std::string text = std::to_string(static_cast<long>(::getpid())) + "\n";
    if (::ftruncate(fd, 0) == 0) {
        // The number is for the message of a second run only; the lock itself is the flock.
        [[maybe_unused]] const ssize_t written = ::pwrite(fd, text.data(), text.size(), 0);
    }
}

} // namespace

std::string projectLockPath(const std::string& installLoc, const std::string& project)
{
    // A hidden file in the data folder itself, which every run needs anyway: a missing sub-folder
    // is left for the run to meet and report as it always has.
    return dataPath(installLoc, "\\.") + project + ".lck";
}

ProjectLock ProjectLock::acquire(const std::string& installLoc, const std::string& project)
{
    ProjectLock lock;
    const std::string path = projectLockPath(installLoc, project);
    // flock locks belong to the open file description, so a second open in this same process
    // conflicts too (the main window and the similarity window share a process).
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
    if (fd < 0) {
        lock.m_reason = path + ": " + std::strerror(errno);
        return lock;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EWOULDBLOCK) {
            lock.m_state = State::HeldByOther;
            lock.m_ownerPid = readPid(fd);
        } else {
            lock.m_reason = path + ": " + std::strerror(error);
        }
        ::close(fd);
        return lock;
    }
    writePid(fd);
    lock.m_fd = fd;
    lock.m_state = State::Held;
    return lock;
}

ProjectLock::ProjectLock(ProjectLock&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_state(std::exchange(other.m_state, State::Failed)),
      m_ownerPid(other.m_ownerPid), m_reason(std::move(other.m_reason))
{}

ProjectLock& ProjectLock::operator=(ProjectLock&& other) noexcept
{
    if (this != &other) {
        release();
        m_fd = std::exchange(other.m_fd, -1);
        m_state = std::exchange(other.m_state, State::Failed);
        m_ownerPid = other.m_ownerPid;
        m_reason = std::move(other.m_reason);
    }
    return *this;
}

ProjectLock::~ProjectLock()
{
    release();
}

void ProjectLock::release()
{
    if (m_fd >= 0) {
        // The file stays: removing it would race with a run that has just opened it.
        [[maybe_unused]] const int cleared = ::ftruncate(m_fd, 0);
        ::close(m_fd);
        m_fd = -1;
    }
    if (m_state == State::Held)
        m_state = State::Released;
}

std::string ProjectLock::busyMessage(const std::string& project, std::optional<long> pid)
{
    return "Project " + project + " is being collected or compared by another DARV (process " +
           (pid ? std::to_string(*pid) : std::string("unknown")) + ").";
}

} // namespace darv
