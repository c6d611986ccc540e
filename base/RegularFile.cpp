// Reading a whole data file: regular files only, opened without blocking.
#include "base/RegularFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace darv {

FileResult<std::string> readRegularFile(const std::string& path, std::uint64_t maxBytes)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return FileError{path + ": " + std::strerror(errno), errno == ENOENT};
    FileResult<std::string> result = FileError{};
    struct stat status
    {
    };
    if (::fstat(fd, &status) != 0) {
        result = FileError{path + ": " + std::strerror(errno)};
    } else if (!S_ISREG(status.st_mode)) {
        result = FileError{path + ": " + (S_ISDIR(status.st_mode) ? "a folder, not a file" : "not a regular file")};
    } else if (static_cast<std::uint64_t>(status.st_size) > maxBytes) {
        result = FileError{path + ": too large"};
    } else {
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(status.st_size));
        char block[1 << 16];
        int failure = 0;
        for (;;) {
            const ssize_t got = ::read(fd, block, sizeof block);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                failure = errno;
                break;
            }
            if (got == 0)
                break;
            if (bytes.size() + static_cast<std::size_t>(got) > maxBytes) {
                failure = EFBIG; // grew while being read
                break;
            }
            bytes.append(block, static_cast<std::size_t>(got));
        }
        if (failure != 0)
            result = FileError{path + ": " + std::strerror(failure)};
        else
            result = std::move(bytes);
    }
    ::close(fd);
    return result;
}

} // namespace darv
