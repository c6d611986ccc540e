// A drawing file mapped into memory read-only (POSIX mmap from the C library).
#include "drawing/MappedFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace dwg {

namespace {

DwgError ioError(const std::string& path, const char* reason)
{
    return DwgError{ErrorCode::IoError, 0, path + ": " + reason};
}

} // namespace

MappedFile MappedFile::open(const std::string& path, std::uint64_t maxBytes)
{
    MappedFile file;
    // O_NONBLOCK: opening a FIFO without a writer must not wait; fstat then refuses it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        file.m_error = ioError(path, std::strerror(errno));
        return file;
    }
    struct stat status
    {
    };
    if (::fstat(fd, &status) != 0) {
        file.m_error = ioError(path, std::strerror(errno));
    } else if (!S_ISREG(status.st_mode)) {
        file.m_error = ioError(path, S_ISDIR(status.st_mode) ? "a folder, not a file" : "not a regular file");
    } else if (static_cast<std::uint64_t>(status.st_size) > maxBytes) {
        file.m_error = DwgError{ErrorCode::TooLarge, static_cast<std::uint64_t>(status.st_size), path};
    } else if (status.st_size > 0) {
        const auto size = static_cast<std::size_t>(status.st_size);
        void* data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (data == MAP_FAILED) {
            file.m_error = ioError(path, std::strerror(errno));
        } else {
            file.m_data = static_cast<const std::uint8_t*>(data);
            file.m_size = size;
        }
    }
    ::close(fd);
    return file;
}

MappedFile::MappedFile(MappedFile&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)),
      m_error(std::move(other.m_error))
{}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept
{
    if (this != &other) {
        release();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_error = std::move(other.m_error);
    }
    return *this;
}

MappedFile::~MappedFile()
{
    release();
}

void MappedFile::release()
{
    if (m_data != nullptr) {
        ::munmap(const_cast<std::uint8_t*>(m_data), m_size);
        m_data = nullptr;
        m_size = 0;
    }
}

} // namespace dwg
