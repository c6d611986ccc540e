// Archives for the tests, written with libarchive: entries of every kind, in ZIP, 7z, tar.gz, tar.xz.
// A failure to write one throws, with libarchive's reason.
#pragma once

#include <archive.h>
#include <archive_entry.h>

#include <clocale>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <locale.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace darv::test {

enum class ArchiveFormat { Zip, SevenZip, TarGz, TarXz };

struct ArchiveItem
{
    enum class Kind { File, Folder, Symlink, Hardlink };
    ArchiveItem(std::string name_, std::string content_ = {}, Kind kind_ = Kind::File, std::string link_ = {},
                std::int64_t mtime_ = 1700000000)
        : name(std::move(name_)), content(std::move(content_)), kind(kind_), link(std::move(link_)), mtime(mtime_)
    {}
    std::string name;
    std::string content;
    Kind kind;
    std::string link; // the target of a link
    std::int64_t mtime;
};

class ArchiveOut
{
public:
    ArchiveOut(const std::string& path, ArchiveFormat format, const std::string& passphrase = {})
        : m_archive(archive_write_new()), m_utf8(::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr)))
    {
        // Names are written from UTF-8, whatever the test's locale.
        if (m_utf8)
            m_previous = ::uselocale(m_utf8);
        switch (format) {
        case ArchiveFormat::Zip:
            archive_write_set_format_zip(m_archive);
            break;
        case ArchiveFormat::SevenZip:
            archive_write_set_format_7zip(m_archive);
            break;
        case ArchiveFormat::TarGz:
            archive_write_set_format_pax_restricted(m_archive);
            archive_write_add_filter_gzip(m_archive);
            break;
        case ArchiveFormat::TarXz:
            archive_write_set_format_pax_restricted(m_archive);
            archive_write_add_filter_xz(m_archive);
            break;
        }
        if (!passphrase.empty()) {
            check(archive_write_set_options(m_archive, "zip:encryption=zipcrypt"));
            check(archive_write_set_passphrase(m_archive, passphrase.c_str()));
        }
        check(archive_write_open_filename(m_archive, path.c_str()));
    }
    ~ArchiveOut()
    {
        archive_write_close(m_archive);
        archive_write_free(m_archive);
        if (m_utf8) {
            ::uselocale(m_previous);
            ::freelocale(m_utf8);
        }
    }
    ArchiveOut(const ArchiveOut&) = delete;
    ArchiveOut& operator=(const ArchiveOut&) = delete;

    void add(const ArchiveItem& item) { addLarge(item, item.content.size(), item.content); }

    // An entry of size bytes made of the repeated piece.
    void addLarge(const ArchiveItem& item, std::uint64_t size, const std::string& piece)
    {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname_utf8(entry, item.name.c_str());
        archive_entry_set_mtime(entry, item.mtime, 0);
        archive_entry_set_perm(entry, 0644);
        switch (item.kind) {
        case ArchiveItem::Kind::File:
            archive_entry_set_filetype(entry, AE_IFREG);
            archive_entry_set_size(entry, static_cast<la_int64_t>(size));
            break;
        case ArchiveItem::Kind::Folder:
            archive_entry_set_filetype(entry, AE_IFDIR);
            break;
        case ArchiveItem::Kind::Symlink:
            archive_entry_set_filetype(entry, AE_IFLNK);
            archive_entry_set_symlink(entry, item.link.c_str());
            break;
        case ArchiveItem::Kind::Hardlink:
            archive_entry_set_filetype(entry, AE_IFREG);
            archive_entry_set_hardlink(entry, item.link.c_str());
            break;
        }
        const int written = archive_write_header(m_archive, entry);
        if (written < ARCHIVE_WARN)
            archive_entry_free(entry);
        check(written);
        if (item.kind == ArchiveItem::Kind::File)
            for (std::uint64_t done = 0; done < size && !piece.empty();) {
                const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(piece.size(), size - done));
                archive_write_data(m_archive, piece.data(), n);
                done += n;
            }
        archive_entry_free(entry);
    }

private:
    // A test archive that cannot be written is a fault of the test's machine: stop the test with the reason.
    void check(int status)
    {
        if (status < ARCHIVE_WARN)
            throw std::runtime_error(std::string("writing a test archive: ") + archive_error_string(m_archive));
    }

    archive* m_archive;
    locale_t m_utf8;
    locale_t m_previous = nullptr;
};

inline void writeArchive(const std::string& path, ArchiveFormat format, const std::vector<ArchiveItem>& items,
                         const std::string& passphrase = {})
{
    ArchiveOut out(path, format, passphrase);
    for (const ArchiveItem& item : items)
        out.add(item);
}

// An archive's bytes, for an archive inside another.
inline std::string archiveBytes(const std::string& scratch, ArchiveFormat format, const std::vector<ArchiveItem>& items,
                                const std::string& passphrase = {})
{
    writeArchive(scratch, format, items, passphrase);
    std::ifstream in(scratch, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace darv::test
