// One run per project at a time: an advisory lock on a file in the data folder, held for the run.
// The system releases it when the process ends, however it ends, so a killed run never blocks the next.
#pragma once

#include <optional>
#include <string>

namespace darv {

class ProjectLock
{
public:
    enum class State {
        Held,        // this object holds the lock until it is destroyed or released
        HeldByOther, // another run (in this process or another) holds it; see ownerPid
        Failed,      // the lock file could not be created or locked; see reason
        Released,    // was held, and released
    };

    // Tries once, without waiting. Creates the hidden file ".NAME.lck" in the data folder if needed.
    static ProjectLock acquire(const std::string& installLoc, const std::string& project);

    ProjectLock(ProjectLock&& other) noexcept;
    ProjectLock& operator=(ProjectLock&& other) noexcept;
    ProjectLock(const ProjectLock&) = delete;
    ProjectLock& operator=(const ProjectLock&) = delete;
    ~ProjectLock();

    State state() const { return m_state; }
    bool held() const { return m_state == State::Held; }
    // HeldByOther: the process number that the holder wrote into the file, when it could be read.
    std::optional<long> ownerPid() const { return m_ownerPid; }
    // Failed: the lock file's path and the system's reason.
    const std::string& reason() const { return m_reason; }

    void release();

    // "Project NAME is being collected or compared by another DARV (process N)."
    static std::string busyMessage(const std::string& project, std::optional<long> pid);

private:
    ProjectLock() = default;

    int m_fd = -1;
    State m_state = State::Failed;
    std::optional<long> m_ownerPid;
    std::string m_reason;
};

std::string projectLockPath(const std::string& installLoc, const std::string& project);

} // namespace darv
