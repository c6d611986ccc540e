// Folders where writes fail as they do for a teacher: read-only, or on a full disk. Needs the right to
// mount (root in CI); the test process first moves into a mount namespace of its own, so the mounts
// vanish with it. Without that right a test says so and is skipped.
#pragma once

#include <cerrno>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

namespace darv::test {

inline bool privateMounts()
{
    static const bool entered = [] {
        if (::geteuid() != 0 || ::unshare(CLONE_NEWNS) != 0)
            return false;
        return ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    }();
    return entered;
}

// Makes the folder read-only with its content kept (a read-only bind mount over itself).
inline bool makeReadOnly(const std::string& folder)
{
    return privateMounts() && ::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
           ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
}

// Mounts an empty file system of `bytes` bytes on the folder: writes beyond it fail with "No space left".
inline bool mountTinyDisk(const std::string& folder, std::size_t bytes)
{
    const std::string options = "size=" + std::to_string(bytes);
    return privateMounts() && ::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

inline void unmount(const std::string& folder)
{
    ::umount2(folder.c_str(), MNT_DETACH);
}

} // namespace darv::test
