// Entry by entry through libarchive: refusals, limits, hashes and the students' own archives.
#include "submissions/ArchiveUnpack.h"

#include "submissions/Sha256.h"
#include "submissions/StudentNames.h"

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstring>
#include <fcntl.h>
#include <locale.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace darv::submissions {

namespace {

std::string megabytes(std::uint64_t bytes)
{
    return std::to_string((bytes + (1 << 19)) >> 20) + " MB";
}

std::string joined(const std::vector<std::string>& parts)
{
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : "/") + part;
    return text;
}

// What macOS adds when it packs a folder (resource forks "__MACOSX/._NAME", ".DS_Store"): no one's
// submission, and its "._bracket.dwg" would look like a drawing that cannot be read.
bool isSystemLitter(const std::vector<std::string>& parts)
{
    if (parts.empty())
        return false;
    if (std::find(parts.begin(), parts.end(), "__MACOSX") != parts.end())
        return true;
    return parts.back() == ".DS_Store" || parts.back().compare(0, 2, "._") == 0;
}

struct ArchiveCloser
{
    void operator()(archive* a) const { archive_read_free(a); }
};
using ArchivePtr = std::unique_ptr<archive, ArchiveCloser>;

std::string archiveError(archive* a)
{
    const char* text = archive_error_string(a);
    return text ? text : "unknown error";
}

class Unpacker
{
public:
    Unpacker(std::string staging, const ImportLimits& limits, std::uint64_t packedSize)
        : m_staging(std::move(staging)), m_limits(limits), m_packed(packedSize)
    {}

    // How one level ended: read through, damaged (the level's own files are dropped), or the import stops.
    // Or one entry's data is damaged (it is skipped and named; the archive is opened again after it).
    enum class Level { Done, Damaged, Stop, EntryDamaged };

    Level unpack(const std::string& path, int depth, const std::vector<std::string>& outer, std::string& damage);
    Level unpackFrom(const std::string& path, int depth, const std::vector<std::string>& outer, std::string& damage,
                     std::size_t& handled, bool& again);
    // A first look at a ZIP or 7z download's headers alone (cheap: their index is read, not their data):
    // too many entries or too large declared sizes stop the import before anything is written.
    bool withinLimitsByHeaders(const std::string& path);
    std::uint64_t total() const { return m_total; }

    Unpacked result;

private:
    struct Entry
    {
        std::vector<std::string> outer;
        std::vector<std::string> inner;
        std::string shown;
        std::string name;
    };

    bool overLimit(std::uint64_t total);
    Level readData(archive* a, archive_entry* entry, const Entry& where, int depth);
    void skip(const Entry& where, std::string reason, bool unreadableDrawing = false)
    {
        result.skipped.push_back({where.outer, where.inner, where.shown, std::move(reason), unreadableDrawing});
    }

    std::string m_staging;
    ImportLimits m_limits;
    std::uint64_t m_packed;
    std::uint64_t m_total = 0;
    std::uint64_t m_entries = 0;
    std::uint64_t m_counter = 0;
};

bool Unpacker::overLimit(std::uint64_t total)
{
    if (total > m_limits.maxTotalBytes) {
        result.reason = "it unpacks to more than " + megabytes(m_limits.maxTotalBytes) +
                        " (the limit of everything unpacked together)";
        return true;
    }
    const double allowed = m_limits.maxRatio * static_cast<double>(m_packed);
    if (total > m_limits.ratioFloor && static_cast<double>(total) > allowed) {
        result.reason = "it unpacks to more than " + std::to_string(static_cast<long long>(m_limits.maxRatio)) +
                        " times its size of " + megabytes(m_packed) + ", as archive bombs do";
        return true;
    }
    return false;
}

Unpacker::Level Unpacker::readData(archive* a, archive_entry* entry, const Entry& where, int depth)
{
    if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > 0 &&
        overLimit(m_total + static_cast<std::uint64_t>(archive_entry_size(entry)))) {
        result.reason = "at " + where.shown + ": " + result.reason;
        return Level::Stop;
    }
    const std::string staged = m_staging + "/" + std::to_string(++m_counter);
    const int fd = ::open(staged.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        result.reason = staged + ": " + std::strerror(errno);
        return Level::Stop;
    }
    Sha256 hash;
    std::uint64_t written = 0;
    std::string failure;
    Level level = Level::Done;
    const auto put = [&](const char* bytes, std::size_t size) {
        m_total += size;
        if (overLimit(m_total)) {
            result.reason = "at " + where.shown + ": " + result.reason;
            level = Level::Stop;
            return false;
        }
        hash.add(std::string_view(bytes, size));
        written += size;
        for (std::size_t done = 0; done < size;) {
            const ssize_t n = ::write(fd, bytes + done, size - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                result.reason = staged + ": " + std::strerror(errno);
                level = Level::Stop;
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
        return true;
    };
    static const std::string zeros(1 << 16, '\0');
    for (;;) {
        const void* block = nullptr;
        std::size_t size = 0;
        la_int64_t offset = 0;
        const int r = archive_read_data_block(a, &block, &size, &offset);
        if (r == ARCHIVE_EOF)
            break;
        if (r == ARCHIVE_FATAL) {
            failure = archiveError(a);
            level = Level::EntryDamaged;
            break;
        }
        if (r != ARCHIVE_OK) {
            failure = archiveError(a);
            break;
        }
        // A sparse file's holes are zeros.
        bool going = true;
        while (going && offset >= 0 && static_cast<std::uint64_t>(offset) > written) {
            const std::uint64_t gap = static_cast<std::uint64_t>(offset) - written;
            going = put(zeros.data(), static_cast<std::size_t>(std::min<std::uint64_t>(gap, zeros.size())));
        }
        if (!going || !put(static_cast<const char*>(block), size))
            break;
    }
    if (level == Level::Done && failure.empty() && ::close(fd) != 0) {
        result.reason = staged + ": " + std::strerror(errno);
        ::unlink(staged.c_str());
        return Level::Stop;
    }
    if (level != Level::Done || !failure.empty()) {
        ::close(fd);
        ::unlink(staged.c_str());
        if (level == Level::Done || level == Level::EntryDamaged)
            skip(where, "it is damaged: " + failure, isDrawingName(where.name) || isArchiveName(where.name));
        return level;
    }
    if (isArchiveName(where.name)) {
        // A student's own archive: its files belong to the student; the archive itself is not placed.
        std::string innerDamage;
        const std::size_t filesBefore = result.files.size();
        const std::size_t skippedBefore = result.skipped.size();
        const Level inner = unpack(staged, depth + 1, where.outer, innerDamage);
        ::unlink(staged.c_str());
        if (inner == Level::Damaged) {
            for (std::size_t i = filesBefore; i < result.files.size(); ++i)
                ::unlink(result.files[i].staged.c_str());
            result.files.resize(filesBefore);
            result.skipped.resize(skippedBefore);
            skip(where, "the archive cannot be unpacked: " + innerDamage, true);
        }
        return inner == Level::Stop ? Level::Stop : Level::Done;
    }
    const std::int64_t mtime = archive_entry_mtime_is_set(entry) ? archive_entry_mtime(entry) : 0;
    result.files.push_back({where.outer, where.inner, where.shown, staged, written, hash.hex(), mtime});
    return Level::Done;
}

bool Unpacker::withinLimitsByHeaders(const std::string& path)
{
    ArchivePtr a(archive_read_new());
    archive_read_support_format_zip_seekable(a.get());
    archive_read_support_format_7zip(a.get());
    if (archive_read_open_filename(a.get(), path.c_str(), 1 << 16) != ARCHIVE_OK)
        return true; // no ZIP or 7z: the unpacking itself counts
    std::uint64_t entries = 0;
    std::uint64_t declared = 0;
    archive_entry* entry = nullptr;
    while (archive_read_next_header(a.get(), &entry) >= ARCHIVE_WARN) {
        if (++entries > m_limits.maxEntries) {
            result.reason = "it holds more than " + std::to_string(m_limits.maxEntries) + " entries";
            return false;
        }
        if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > 0)
            declared += static_cast<std::uint64_t>(archive_entry_size(entry));
        if (overLimit(declared)) {
            const char* name = archive_entry_pathname_utf8(entry);
            result.reason = "at " + std::string(name ? name : "an entry") + ": " + result.reason;
            return false;
        }
    }
    return true;
}

Unpacker::Level Unpacker::unpack(const std::string& path, int depth, const std::vector<std::string>& outer,
                                 std::string& damage)
{
    // Opened again after an entry whose data is damaged, skipping the entries already handled.
    for (std::size_t handled = 0;;) {
        bool again = false;
        const Level level = unpackFrom(path, depth, outer, damage, handled, again);
        if (!again)
            return level;
    }
}

Unpacker::Level Unpacker::unpackFrom(const std::string& path, int depth, const std::vector<std::string>& outer,
                                     std::string& damage, std::size_t& handled, bool& again)
{
    ArchivePtr a(archive_read_new());
    archive_read_support_format_zip(a.get());
    archive_read_support_format_7zip(a.get());
    archive_read_support_format_tar(a.get());
    archive_read_support_filter_gzip(a.get());
    archive_read_support_filter_xz(a.get());
    if (archive_read_open_filename(a.get(), path.c_str(), 1 << 16) != ARCHIVE_OK) {
        damage = "it is no ZIP, 7z, tar.gz or tar.xz archive that can be read (" + archiveError(a.get()) + ")";
        return Level::Damaged;
    }
    // The next entry's header; a level when the archive ends there (its end, or damage that stops reading).
    archive_entry* entry = nullptr;
    int r = ARCHIVE_OK;
    const auto nextHeader = [&]() -> std::optional<Level> {
        r = archive_read_next_header(a.get(), &entry);
        if (r == ARCHIVE_EOF)
            return Level::Done;
        if (r == ARCHIVE_FATAL) {
            damage = "it is damaged or cut short (" + archiveError(a.get()) + ")";
            return Level::Damaged;
        }
        return std::nullopt;
    };
    for (std::size_t k = 0; k < handled; ++k)
        if (const auto end = nextHeader())
            return *end;
    const std::string prefix = depth == 1 ? std::string() : joined(outer) + "/";
    for (;;) {
        if (const auto end = nextHeader())
            return *end;
        ++handled;
        if (++m_entries > m_limits.maxEntries) {
            result.reason = "it holds more than " + std::to_string(m_limits.maxEntries) + " entries";
            return Level::Stop;
        }
        const char* utf8 = archive_entry_pathname_utf8(entry);
        const char* raw = utf8 ? utf8 : archive_entry_pathname(entry);
        Entry where;
        where.shown = prefix + (raw ? raw : "(no name)");
        if (r == ARCHIVE_FAILED) {
            skip(where, "its header is damaged (" + archiveError(a.get()) + ")");
            continue;
        }
        if (!raw) {
            skip(where, "its name cannot be read");
            continue;
        }
        const std::string name = raw;
        const std::vector<std::string> parts = pathComponents(name);
        where.name = parts.empty() ? name : parts.back();
        where.outer = depth == 1 ? parts : outer;
        if (depth > 1)
            where.inner = parts;
        if (isSystemLitter(parts))
            continue;
        if (const char* target = archive_entry_hardlink(entry)) {
            skip(where, std::string("it is a hard link (to ") + target + "); links are not unpacked");
            continue;
        }
        const auto type = archive_entry_filetype(entry);
        if (type == AE_IFLNK) {
            const char* target = archive_entry_symlink(entry);
            skip(where,
                 std::string("it is a symbolic link (to ") + (target ? target : "?") + "); links are not unpacked");
            continue;
        }
        if (type == AE_IFDIR)
            continue;
        if (const std::string unsafe = unsafePathReason(name); !unsafe.empty()) {
            where.outer.clear();
            where.inner.clear();
            skip(where, unsafe);
            continue;
        }
        if (type != AE_IFREG) {
            skip(where, "it is no regular file");
            continue;
        }
        if (parts.empty()) {
            skip(where, "it has no name");
            continue;
        }
        if (archive_entry_is_data_encrypted(entry)) {
            skip(where, "it is encrypted (protected by a password)",
                 isDrawingName(where.name) || isArchiveName(where.name));
            continue;
        }
        if (isArchiveName(where.name) && depth >= m_limits.maxDepth) {
            skip(where,
                 "it is an archive inside an archive inside the download: archives are unpacked " +
                     std::to_string(m_limits.maxDepth - 1) + " level deep",
                 true);
            continue;
        }
        const Level level = readData(a.get(), entry, where, depth);
        if (level == Level::EntryDamaged) {
            again = true;
            return level;
        }
        if (level != Level::Done)
            return level;
    }
}

// libarchive converts names by the thread's locale: a UTF-8 one keeps every name that the archive
// gives in Unicode, whatever locale the program was started in (names of older archives come as bytes).
class Utf8Names
{
public:
    Utf8Names() : m_locale(::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr)))
    {
        if (m_locale)
            m_previous = ::uselocale(m_locale);
    }
    ~Utf8Names()
    {
        if (m_locale) {
            ::uselocale(m_previous);
            ::freelocale(m_locale);
        }
    }
    Utf8Names(const Utf8Names&) = delete;
    Utf8Names& operator=(const Utf8Names&) = delete;

private:
    locale_t m_locale;
    locale_t m_previous = nullptr;
};

} // namespace

Unpacked unpackArchive(const std::string& archive, const std::string& stagingFolder, const ImportLimits& limits)
{
    struct stat status
    {
    };
    if (::stat(archive.c_str(), &status) != 0) {
        Unpacked failed;
        failed.stopped = true;
        failed.reason = archive + ": " + std::strerror(errno);
        return failed;
    }
    if (!S_ISREG(status.st_mode)) {
        Unpacked failed;
        failed.stopped = true;
        failed.reason = archive + " is no file";
        return failed;
    }
    const Utf8Names utf8;
    Unpacker unpacker(stagingFolder, limits, static_cast<std::uint64_t>(status.st_size));
    if (!unpacker.withinLimitsByHeaders(archive)) {
        Unpacked result = std::move(unpacker.result);
        result.stopped = true;
        return result;
    }
    std::string damage;
    const auto level = unpacker.unpack(archive, 1, {}, damage);
    Unpacked result = std::move(unpacker.result);
    result.unpackedBytes = unpacker.total();
    if (level == Unpacker::Level::Damaged) {
        result.stopped = true;
        result.reason = damage;
    } else if (level == Unpacker::Level::Stop) {
        result.stopped = true;
    }
    return result;
}

} // namespace darv::submissions
