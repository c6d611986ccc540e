// Whole-file writes through a temporary file, fsync and rename.
#include "base/AtomicFile.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace darv {

namespace {

constexpr std::size_t bufferLimit = 1 << 16;

std::string folderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The new file keeps the permissions of the file it replaces; a new file gets the usual 0644.
mode_t modeFor(const std::string& path)
{
    struct stat status
    {
    };
    if (::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode))
        return status.st_mode & 07777;
    return 0644;
}

} // namespace

AtomicFile::AtomicFile(std::string path) : m_path(std::move(path))
{
    // A hidden name in the same folder, so the rename never crosses file systems. The name is built
    // from a short prefix, not from the whole target name, so a long target name still fits.
    std::string pattern = folderOf(m_path) + "/.darv-" + std::to_string(::getpid()) + "-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    m_fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (m_fd < 0) {
        fail(std::strerror(errno));
        return;
    }
    m_temporary = name.data();
    ::fchmod(m_fd, modeFor(m_path));
}

AtomicFile::~AtomicFile()
{
    if (!m_done)
        discard();
}

void AtomicFile::fail(const std::string& reason)
{
    if (m_error.empty())
        m_error = m_path + ": " + reason;
}

bool AtomicFile::flushBuffer()
{
    std::size_t done = 0;
    while (done < m_buffer.size()) {
        const ssize_t written = ::write(m_fd, m_buffer.data() + done, m_buffer.size() - done);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            fail(std::strerror(errno));
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    m_buffer.clear();
    return true;
}

bool AtomicFile::write(std::string_view bytes)
{
    if (!ok() || m_done)
        return false;
    m_buffer.append(bytes);
    return m_buffer.size() < bufferLimit || flushBuffer();
}

bool AtomicFile::sync()
{
    if (!ok() || m_done)
        return false;
    if (!flushBuffer())
        return false;
    if (::fsync(m_fd) != 0) {
        fail(std::strerror(errno));
        return false;
    }
    return true;
}

bool AtomicFile::commit()
{
    if (!ok() || m_done) {
        discard();
        return false;
    }
    if (!flushBuffer() || ::fsync(m_fd) != 0) {
        fail(std::strerror(errno));
        discard();
        return false;
    }
    if (::close(m_fd) != 0) {
        m_fd = -1;
        fail(std::strerror(errno));
        discard();
        return false;
    }
    m_fd = -1;
    if (::rename(m_temporary.c_str(), m_path.c_str()) != 0) {
        fail(std::strerror(errno));
        discard();
        return false;
    }
    m_done = true;
    // Make the rename itself durable; a failure here cannot undo it, so it is not reported.
    const int folder = ::open(folderOf(m_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

void AtomicFile::discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.empty() && !m_done)
        ::unlink(m_temporary.c_str());
    m_done = true;
}

void removeDeadRunsTemporaries(const std::string& folder)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const std::string prefix = ".darv-";
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const auto dash = name.find('-', prefix.size());
        if (dash == std::string::npos || dash == prefix.size())
            continue;
        const std::string digits = name.substr(prefix.size(), dash - prefix.size());
        if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9)
            continue;
        const auto pid = static_cast<pid_t>(std::stol(digits));
        if (pid == ::getpid() || ::kill(pid, 0) == 0 || errno != ESRCH)
            continue;
        ::unlinkat(::dirfd(dir), name.c_str(), 0);
    }
    ::closedir(dir);
}

FileWrite writeFileAtomically(const std::string& path, std::string_view content)
{
    AtomicFile file(path);
    if (file.write(content) && file.commit())
        return {};
    return FileError{file.error()};
}

FileWrite appendWholly(const std::string& path, std::string_view bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0)
        return FileError{path + ": " + std::strerror(errno)};
    struct stat status
    {
    };
    const bool statFailed = ::fstat(fd, &status) != 0;
    if (statFailed || !S_ISREG(status.st_mode)) {
        FileError error{path + ": " + (statFailed ? std::strerror(errno) : "not a regular file")};
        ::close(fd);
        return error;
    }
    std::size_t done = 0;
    int failure = 0;
    while (done < bytes.size() && failure == 0) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno != EINTR)
            failure = errno;
        else if (written > 0)
            done += static_cast<std::size_t>(written);
    }
    if (failure == 0 && ::fsync(fd) != 0)
        failure = errno;
    if (failure != 0) {
        [[maybe_unused]] const int cut = ::ftruncate(fd, status.st_size);
    }
    if (::close(fd) != 0 && failure == 0)
        failure = errno;
    if (failure != 0)
        return FileError{path + ": " + std::strerror(failure)};
    return {};
}

} // namespace darv
