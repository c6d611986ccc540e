// Folders where writes fail as they do for a teacher: read-only, or on a full disk. Needs the right to
// mount (root in CI); the test process first moves into a mount namespace of its own, so the mounts
// vanish with it. Without that right a test says so and is skipped. And folders a teacher may not
// list, which root could list but for the rights it gives up while the test holds them.
#pragma once

#include <cerrno>
#include <linux/capability.h>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
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

// A folder nobody may list (mode 000). Root passes over modes, so while an object of this class lives,
// the calling thread (and threads it starts) gives up the rights to read and search any folder; they
// come back when it is destroyed.
class UnreadableFolder
{
public:
    explicit UnreadableFolder(std::string folder) : m_folder(std::move(folder))
    {
        ::chmod(m_folder.c_str(), 0);
        if (::geteuid() == 0 && capabilities(m_saved, false)) {
            __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
            lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
            m_lowered = capabilities(lowered, true);
        }
    }
    ~UnreadableFolder()
    {
        if (m_lowered)
            capabilities(m_saved, true);
        ::chmod(m_folder.c_str(), 0755);
    }
    UnreadableFolder(const UnreadableFolder&) = delete;
    UnreadableFolder& operator=(const UnreadableFolder&) = delete;

private:
    static bool capabilities(__user_cap_data_struct* data, bool set)
    {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        return ::syscall(set ? SYS_capset : SYS_capget, &header, data) == 0;
    }

    std::string m_folder;
    __user_cap_data_struct m_saved[2]{};
    bool m_lowered = false;
};

} // namespace darv::test
