// Reads the paged container of R2004, R2010, R2013 and R2018 drawings into section buffers.
#include "dwg/R2004Container.h"

#include "dwg/BitReader.h"
#include "dwg/Crc.h"
#include "dwg/Lz77.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dwg {

void xorHeaderKey(std::span<std::uint8_t> bytes)
{
    std::uint32_t state = 1;
    for (std::uint8_t& byte : bytes) {
        state = state * 0x343FDu + 0x269EC3u;
        byte = static_cast<std::uint8_t>(byte ^ ((state >> 16) & 0xFF));
    }
}

namespace {

constexpr std::size_t headerAt = 0x80;
constexpr std::size_t headerSize = 0x6C;
constexpr std::size_t firstPageAt = 0x100;
constexpr std::uint32_t pageMapType = 0x41630E3B;
constexpr std::uint32_t sectionInfoType = 0x4163003B;
constexpr std::uint32_t dataPageType = 0x4163043B;
constexpr std::uint32_t dataPageKey = 0x4164536B;
constexpr std::size_t systemPageHeaderSize = 20;
constexpr std::size_t dataPageHeaderSize = 32;

struct ContainerHeader
{
    std::uint64_t pageMapAddress = 0;
    std::uint32_t sectionInfoId = 0;
    bool crcMatches = false;
};

std::string hexOffset(std::uint64_t offset)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(offset));
    return text;
}

struct Page
{
    std::int64_t number = 0;
    std::uint64_t address = 0;
};

struct PagePart
{
    std::uint32_t number = 0;
    std::uint64_t startOffset = 0;
};

struct SectionDescription
{
    std::string name;
    std::uint64_t totalSize = 0;
    std::uint32_t maxPageSize = 0;
    std::uint32_t compressed = 0;
    std::uint32_t encrypted = 0;
    std::vector<PagePart> parts;
};

// Decompressed sizes are bounded by a multiple of the file size: a damaged size field must not make the
// reader allocate gigabytes.
std::uint64_t decompressedLimit(std::span<const std::uint8_t> file)
{
    return static_cast<std::uint64_t>(file.size()) * 16 + (1u << 20);
}

Expected<ContainerHeader> readContainerHeader(std::span<const std::uint8_t> file)
{
    BitReader fixed(file);
    fixed.setPosition(0x18 * 8);
    const std::uint32_t security = fixed.readRawLong();
    if (fixed.failed() || file.size() < headerAt + headerSize) {
        return Fault{ErrorCode::Truncated, file.size(), "container header"};
    }
    if ((security & 0x3) != 0) {
        return Fault{ErrorCode::Encrypted, 0x18, "password-protected drawing"};
    }
    std::array<std::uint8_t, headerSize> plain{};
    std::memcpy(plain.data(), file.data() + headerAt, headerSize);
    xorHeaderKey(plain);
    if (std::memcmp(plain.data(), "AcFssFcAJMB", 12) != 0) {
        return Fault{ErrorCode::Corrupt, headerAt, "container header signature"};
    }
    BitReader reader(plain);
    ContainerHeader header;
    reader.setPosition(0x54 * 8);
    header.pageMapAddress = reader.readRawLongLong() + firstPageAt;
    header.sectionInfoId = reader.readRawLong();
    // The CRC at 0x68 covers the whole block with its own field as zeros.
    reader.setPosition(0x68 * 8);
    const std::uint32_t storedCrc = reader.readRawLong();
    std::fill(plain.begin() + 0x68, plain.end(), std::uint8_t{0});
    header.crcMatches = crc32(plain) == storedCrc;
    return header;
}

// A page map or section info page: 20-byte header, then one compressed stream. A checksum that does not match is
// told in `damage`; the page is read all the same.
Expected<std::vector<std::uint8_t>> readSystemPage(std::span<const std::uint8_t> file, std::uint64_t address,
                                                   std::uint32_t expectedType, const char* what,
                                                   std::vector<std::string>& damage)
{
    BitReader reader(file);
    reader.setPosition(address * 8);
    const std::uint32_t type = reader.readRawLong();
    const std::uint32_t decompressedSize = reader.readRawLong();
    const std::uint32_t compressedSize = reader.readRawLong();
    const std::uint32_t compression = reader.readRawLong();
    const std::uint32_t storedChecksum = reader.readRawLong();
    if (reader.failed()) {
        return Fault{ErrorCode::Truncated, address, what};
    }
    if (type != expectedType) {
        return Fault{ErrorCode::Corrupt, address, std::string(what) + " page type"};
    }
    const std::uint64_t dataAt = address + systemPageHeaderSize;
    if (compressedSize > file.size() - dataAt) {
        return Fault{ErrorCode::Truncated, address, what};
    }
    if (decompressedSize > decompressedLimit(file)) {
        return Fault{ErrorCode::Corrupt, address, std::string(what) + " size"};
    }
    std::vector<std::uint8_t> page(decompressedSize);
    const auto input = file.subspan(static_cast<std::size_t>(dataAt), compressedSize);
    // The checksum runs over the page header, its own field as zeros, and on over the stored data.
    std::array<std::uint8_t, systemPageHeaderSize> head{};
    std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(address), 16, head.begin());
    if (pageChecksum(input, pageChecksum(head)) != storedChecksum) {
        damage.push_back("the " + std::string(what) + " fails its checksum");
    }
    if (compression == 2) {
        auto written = decompressLz77(input, page);
        if (!written) {
            Fault fault = written.fault();
            fault.offset += dataAt;
            fault.detail = std::string(what) + ": " + fault.detail;
            return fault;
        }
        page.resize(*written);
    } else {
        page.resize(std::min<std::size_t>(page.size(), input.size()));
        std::copy(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(page.size()), page.begin());
    }
    return page;
}

// Pairs (page number, size); addresses are implicit, counted from 0x100. Negative numbers are gaps
// with four more fields.
Expected<std::vector<Page>> readPageMap(std::span<const std::uint8_t> file, std::uint64_t address,
                                        std::vector<std::string>& damage)
{
    auto data = readSystemPage(file, address, pageMapType, "page map", damage);
    if (!data) {
        return data.fault();
    }
    std::vector<Page> pages;
    BitReader reader(*data);
    std::uint64_t pageAddress = firstPageAt;
    while (reader.remaining() >= 64) {
        const auto number = static_cast<std::int32_t>(reader.readRawLong());
        const std::uint32_t size = reader.readRawLong();
        if (number >= 0) {
            pages.push_back(Page{number, pageAddress});
        } else {
            reader.skipBytes(16);
        }
        pageAddress += size;
    }
    std::sort(pages.begin(), pages.end(), [](const Page& a, const Page& b) { return a.number < b.number; });
    return pages;
}

const Page* findPage(const std::vector<Page>& pages, std::int64_t number)
{
    const auto it = std::lower_bound(pages.begin(), pages.end(), number,
                                     [](const Page& page, std::int64_t n) { return page.number < n; });
    return it != pages.end() && it->number == number ? &*it : nullptr;
}

Expected<std::vector<SectionDescription>> readSectionInfo(std::span<const std::uint8_t> file,
                                                          const std::vector<Page>& pages, std::uint32_t id,
                                                          std::vector<std::string>& damage)
{
    const Page* page = findPage(pages, id);
    if (page == nullptr) {
        return Fault{ErrorCode::Corrupt, headerAt, "section info page missing from the page map"};
    }
    auto data = readSystemPage(file, page->address, sectionInfoType, "section info", damage);
    if (!data) {
        return data.fault();
    }
    BitReader reader(*data);
    const std::uint32_t count = reader.readRawLong();
    reader.skipBytes(16);
    std::vector<SectionDescription> sections;
    // Each description takes at least 96 bytes, so the count is checked against the data before use.
    for (std::uint32_t i = 0; i < count && reader.remaining() >= 96 * 8; ++i) {
        SectionDescription section;
        section.totalSize = reader.readRawLongLong();
        const std::uint32_t partCount = reader.readRawLong();
        section.maxPageSize = reader.readRawLong();
        reader.skipBytes(4);
        section.compressed = reader.readRawLong();
        reader.skipBytes(4); // section id
        section.encrypted = reader.readRawLong();
        char name[65] = {};
        reader.readBytes(reinterpret_cast<std::uint8_t*>(name), 64);
        section.name = name;
        if (static_cast<std::uint64_t>(partCount) * 16 * 8 > reader.remaining()) {
            return Fault{ErrorCode::Corrupt, page->address, "section info page list"};
        }
        section.parts.reserve(partCount);
        for (std::uint32_t p = 0; p < partCount; ++p) {
            PagePart part;
            part.number = reader.readRawLong();
            reader.skipBytes(4); // compressed size, repeated in the page header
            part.startOffset = reader.readRawLongLong();
            section.parts.push_back(part);
        }
        sections.push_back(std::move(section));
    }
    if (reader.failed()) {
        return Fault{ErrorCode::Corrupt, page->address, "section info"};
    }
    return sections;
}

// Field 6 of a data page header is the checksum of the header (its own field as zeros), continued from the data's
// checksum in field 7.
bool dataPageChecksumsMatch(const std::array<std::uint32_t, 8>& header, std::span<const std::uint8_t> data)
{
    if (pageChecksum(data) != header[7]) {
        return false;
    }
    std::array<std::uint8_t, dataPageHeaderSize> plain{};
    for (std::size_t i = 0; i < header.size(); ++i) {
        const std::uint32_t field = i == 6 ? 0 : header[i];
        for (std::size_t b = 0; b < 4; ++b) {
            plain[i * 4 + b] = static_cast<std::uint8_t>(field >> (8 * b));
        }
    }
    return pageChecksum(plain, header[7]) == header[6];
}

// Fills `out` from the section's data pages; pages that were all zeros are not stored and stay zero.
// Every page decompresses to the full page size, also the last one, whose tail lies beyond the section's
// size: `out` therefore has one page of room after the section's end. A page whose checksums do not match is
// told in `damage` and read all the same.
std::optional<Fault> assembleSection(std::span<const std::uint8_t> file, const std::vector<Page>& pages,
                                     const SectionDescription& section, std::span<std::uint8_t> out,
                                     std::vector<std::string>& damage)
{
    for (const PagePart& part : section.parts) {
        const Page* page = findPage(pages, part.number);
        if (page == nullptr || page->address > file.size()) {
            return Fault{ErrorCode::Corrupt, 0, section.name + ": page missing from the page map"};
        }
        BitReader reader(file);
        reader.setPosition(page->address * 8);
        std::array<std::uint32_t, 8> header{};
        const auto key = dataPageKey ^ static_cast<std::uint32_t>(page->address);
        for (std::uint32_t& field : header) {
            field = reader.readRawLong() ^ key;
        }
        if (reader.failed()) {
            return Fault{ErrorCode::Truncated, page->address, section.name + ": data page header"};
        }
        if (header[0] != dataPageType) {
            return Fault{ErrorCode::Corrupt, page->address, section.name + ": data page type"};
        }
        const std::uint64_t dataAt = page->address + dataPageHeaderSize;
        const std::uint32_t compressedSize = header[2];
        if (compressedSize > file.size() - dataAt) {
            return Fault{ErrorCode::Truncated, page->address, section.name + ": data page"};
        }
        if (part.startOffset > section.totalSize) {
            return Fault{ErrorCode::Corrupt, page->address, section.name + ": page offset"};
        }
        const auto room = std::min<std::uint64_t>(out.size() - part.startOffset, section.maxPageSize);
        const auto window = out.subspan(static_cast<std::size_t>(part.startOffset), static_cast<std::size_t>(room));
        const auto input = file.subspan(static_cast<std::size_t>(dataAt), compressedSize);
        if (!dataPageChecksumsMatch(header, input)) {
            damage.push_back(section.name + ": the data page at " + hexOffset(page->address) + " fails its checksum");
        }
        if (section.compressed == 2) {
            auto written = decompressLz77(input, window);
            if (!written) {
                Fault fault = written.fault();
                fault.offset += dataAt;
                fault.detail = section.name + ": " + fault.detail;
                return fault;
            }
        } else {
            const std::size_t n = std::min(window.size(), input.size());
            std::copy(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(n), window.begin());
        }
    }
    return std::nullopt;
}

// The summary information and the data store are optional: when one is missing, encrypted or damaged, `sections`
// stays without it.
std::span<const std::uint8_t> readOptionalSection(std::span<const std::uint8_t> file, const std::vector<Page>& pages,
                                                  const std::vector<SectionDescription>& descriptions,
                                                  std::string_view name, std::uint64_t& budget, Sections& sections)
{
    const auto it = std::find_if(descriptions.begin(), descriptions.end(),
                                 [name](const SectionDescription& d) { return d.name == name; });
    if (it == descriptions.end() || it->encrypted != 0) {
        return {};
    }
    const std::uint64_t bufferSize = it->totalSize + it->maxPageSize;
    if (it->totalSize > budget || it->maxPageSize > budget || bufferSize > budget) {
        return {};
    }
    budget -= bufferSize;
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(bufferSize));
    std::vector<std::string> damage;
    if (assembleSection(file, pages, *it, buffer, damage)) {
        return {};
    }
    sections.damage.insert(sections.damage.end(), damage.begin(), damage.end());
    sections.storage.push_back(std::move(buffer));
    return std::span<const std::uint8_t>(sections.storage.back()).first(static_cast<std::size_t>(it->totalSize));
}

} // namespace

Expected<Sections> readR2004Sections(std::span<const std::uint8_t> file, bool withSummaryInfo)
{
    auto header = readContainerHeader(file);
    if (!header) {
        return header.fault();
    }
    if (header->pageMapAddress >= file.size()) {
        return Fault{ErrorCode::Truncated, header->pageMapAddress, "page map"};
    }
    Sections sections;
    if (!header->crcMatches) {
        sections.damage.emplace_back("the container header fails its CRC check");
    }
    auto pages = readPageMap(file, header->pageMapAddress, sections.damage);
    if (!pages) {
        return pages.fault();
    }
    auto descriptions = readSectionInfo(file, *pages, header->sectionInfoId, sections.damage);
    if (!descriptions) {
        return descriptions.fault();
    }
    const std::array<std::string_view, 4> wanted{"AcDb:Header", "AcDb:Classes", "AcDb:Handles", "AcDb:AcDbObjects"};
    std::array<std::span<const std::uint8_t>*, 4> targets{&sections.header, &sections.classes, &sections.handles,
                                                          &sections.objects};
    // One budget for all four buffers together.
    std::uint64_t budget = decompressedLimit(file);
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        const auto it = std::find_if(descriptions->begin(), descriptions->end(),
                                     [&](const SectionDescription& d) { return d.name == wanted[i]; });
        if (it == descriptions->end()) {
            return Fault{ErrorCode::Corrupt, headerAt, "no section " + std::string(wanted[i])};
        }
        if (it->encrypted != 0) {
            return Fault{ErrorCode::Encrypted, headerAt, std::string(wanted[i]) + " is encrypted"};
        }
        const std::uint64_t bufferSize = it->totalSize + it->maxPageSize;
        if (it->totalSize > budget || it->maxPageSize > budget || bufferSize > budget) {
            return Fault{ErrorCode::Corrupt, headerAt, std::string(wanted[i]) + " size"};
        }
        budget -= bufferSize;
        std::vector<std::uint8_t> buffer(static_cast<std::size_t>(bufferSize));
        if (auto fault = assembleSection(file, *pages, *it, buffer, sections.damage)) {
            return *fault;
        }
        sections.storage.push_back(std::move(buffer));
        *targets[i] =
            std::span<const std::uint8_t>(sections.storage.back()).first(static_cast<std::size_t>(it->totalSize));
    }
    if (withSummaryInfo) {
        sections.summaryInfo = readOptionalSection(file, *pages, *descriptions, "AcDb:SummaryInfo", budget, sections);
        sections.dataStore =
            readOptionalSection(file, *pages, *descriptions, "AcDb:AcDsPrototype_1b", budget, sections);
    }
    return sections;
}

} // namespace dwg
