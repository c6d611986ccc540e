// Reading a whole data file: regular files only, opened without blocking.
#include "app/RegularFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace darv {

FileRead readRegularFile(const std::string& path, std::uint64_t maxBytes)
{
    FileRead result;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        result.missing = errno == ENOENT;
        result.error = path + ": " + std::strerror(errno);
        return result;
    }
    struct stat status
    {
    };
    if (::fstat(fd, &status) != 0) {
        result.error = path + ": " + std::strerror(errno);
    } else if (!S_ISREG(status.st_mode)) {
        result.error = path + ": " + (S_ISDIR(status.st_mode) ? "a folder, not a file" : "not a regular file");
    } else if (static_cast<std::uint64_t>(status.st_size) > maxBytes) {
        result.error = path + ": too large";
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
            result.error = path + ": " + std::strerror(failure);
        else
            result.bytes = std::move(bytes);
    }
    ::close(fd);
    return result;
}

} // namespace darv
