// A drawing file read into memory with ordinary reads (POSIX open, fstat and read from the C library).
#include "drawing/FileBytes.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace dwg {

namespace {

DwgError ioError(const std::string& path, const char* reason)
{
    return DwgError{ErrorCode::IoError, 0, path + ": " + reason};
}

// Closes the descriptor on every way out.
class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    int get() const { return m_fd; }

private:
    int m_fd;
};

bool sameState(const struct stat& before, const struct stat& after)
{
    return before.st_size == after.st_size && before.st_mtim.tv_sec == after.st_mtim.tv_sec &&
           before.st_mtim.tv_nsec == after.st_mtim.tv_nsec;
}

// Reads up to `size` bytes; fewer only at the end of the file. -1 on a read error (errno says which).
ssize_t readFully(int fd, std::uint8_t* target, std::size_t size, const std::function<void()>& afterFirstRead)
{
    std::size_t done = 0;
    bool first = true;
    while (done < size) {
        const ssize_t got = ::read(fd, target + done, size - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return -1;
        }
        if (first && afterFirstRead) {
            afterFirstRead();
        }
        first = false;
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return static_cast<ssize_t>(done);
}

} // namespace

FileBytes FileBytes::open(const std::string& path, std::uint64_t maxBytes, const std::function<void()>& afterFirstRead)
{
    FileBytes file;
    // O_NONBLOCK: opening a FIFO without a writer must not wait; fstat then refuses it.
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0) {
        file.m_error = ioError(path, std::strerror(errno));
        return file;
    }
    struct stat before
    {
    };
    if (::fstat(fd.get(), &before) != 0) {
        file.m_error = ioError(path, std::strerror(errno));
        return file;
    }
    if (!S_ISREG(before.st_mode)) {
        file.m_error = ioError(path, S_ISDIR(before.st_mode) ? "a folder, not a file" : "not a regular file");
        return file;
    }
    if (static_cast<std::uint64_t>(before.st_size) > maxBytes) {
        file.m_error = DwgError{ErrorCode::TooLarge, static_cast<std::uint64_t>(before.st_size), path};
        return file;
    }
    const auto size = static_cast<std::size_t>(before.st_size);
    // One byte more than the size: a file that grew while it was read shows it by filling it.
    file.m_data.reset(new (std::nothrow) std::uint8_t[size + 1]);
    if (!file.m_data) {
        file.m_error = ioError(path, "not enough memory to read it");
        return file;
    }
    const ssize_t got = readFully(fd.get(), file.m_data.get(), size + 1, afterFirstRead);
    if (got < 0) {
        file.m_error = ioError(path, std::strerror(errno));
        return file;
    }
    struct stat after
    {
    };
    if (::fstat(fd.get(), &after) != 0) {
        file.m_error = ioError(path, std::strerror(errno));
        return file;
    }
    if (static_cast<std::size_t>(got) != size || !sameState(before, after)) {
        file.m_data.reset();
        file.m_error = DwgError{ErrorCode::Changed, 0, path};
        return file;
    }
    file.m_size = size;
    return file;
}

} // namespace dwg
