// The 2007 container: file header -> page map -> section map -> data pages -> assembled sections.
#include "dwg/R2007Container.h"

#include "dwg/R2007Decompressor.h"
#include "dwg/R2007FileHeader.h"
#include "dwg/R2007PageMap.h"
#include "dwg/R2007ReedSolomon.h"
#include "dwg/R2007SectionMap.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace dwg {

namespace {

constexpr std::size_t kSecurityFlags = 0x18;

// Caps the bytes decoding may allocate, so forged size fields end in a fault instead of exhaustion.
class Budget
{
public:
    explicit Budget(std::uint64_t fileSize) : m_left(fileSize * kR2007MaxExpansion) {}
    bool take(std::uint64_t bytes)
    {
        if (bytes > m_left)
            return false;
        m_left -= bytes;
        return true;
    }

private:
    std::uint64_t m_left;
};

constexpr std::uint64_t roundUp8(std::uint64_t value)
{
    return (value + 7) & ~std::uint64_t{7};
}

// Page map and section map: RS-coded with 239 payload bytes per word, compressed unless that would
// not save space. The number of words follows from the compressed size rounded up to 8 bytes and
// multiplied by the header's correction factor for that page.
Expected<std::vector<std::uint8_t>> readSystemPage(std::span<const std::uint8_t> file, std::uint64_t address,
                                                   std::uint64_t compressed, std::uint64_t size,
                                                   std::uint64_t correction, const std::string& what, Budget& budget)
{
    if (compressed > file.size() || correction > file.size() || size > file.size() * kR2007MaxExpansion ||
        (correction != 0 && roundUp8(compressed) > std::numeric_limits<std::uint64_t>::max() / correction))
        return Fault{ErrorCode::Corrupt, address, what + ": impossible size"};
    const std::uint64_t payload = roundUp8(compressed) * correction;
    const std::uint64_t blocks = r2007BlockCount(payload, kR2007SystemPayload);
    if (address > file.size() || blocks * kR2007SystemPayload > file.size() - address)
        return Fault{ErrorCode::Truncated, address, what + ": truncated at " + std::to_string(file.size())};
    if (!budget.take(blocks * kR2007SystemPayload + size))
        return Fault{ErrorCode::Corrupt, address, what + ": larger than the file can hold"};

    std::vector<std::uint8_t> words;
    deinterleaveR2007(file.subspan(static_cast<std::size_t>(address)), static_cast<std::size_t>(blocks),
                      kR2007SystemPayload, words);
    std::vector<std::uint8_t> page(static_cast<std::size_t>(size));
    if (compressed < size) {
        if (compressed > words.size())
            return Fault{ErrorCode::Corrupt, address, what + ": compressed size larger than its stored words"};
        const auto in = std::span<const std::uint8_t>(words).first(static_cast<std::size_t>(compressed));
        const auto written = decompressR2007(in, page);
        if (!written)
            return Fault{written.fault().code, address, what + ": " + written.fault().detail};
        if (*written != size)
            return Fault{ErrorCode::Corrupt, address, what + ": decompresses to the wrong size"};
    } else {
        if (size > words.size())
            return Fault{ErrorCode::Corrupt, address, what + ": larger than its stored words"};
        std::copy_n(words.begin(), page.size(), page.begin());
    }
    return page;
}

Fault pageFault(ErrorCode code, std::uint64_t offset, const R2007Section& section, const std::string& what)
{
    return Fault{code, offset, "2007 data page of " + section.name + ": " + what};
}

// Decodes one data page into its place in `buffer`.
std::optional<Fault> readDataPage(std::span<const std::uint8_t> file, const R2007Page& stored,
                                  const R2007Section& section, const R2007SectionPage& page,
                                  std::span<std::uint8_t> buffer, std::vector<std::uint8_t>& words)
{
    const std::uint64_t address = stored.address;
    if (address > file.size() || stored.size > file.size() - address)
        return pageFault(ErrorCode::Truncated, address, section, "truncated at " + std::to_string(file.size()));
    if (page.offset > buffer.size() || page.size > buffer.size() - page.offset)
        return pageFault(ErrorCode::Corrupt, address, section, "page outside its section");
    const auto onDisk = file.subspan(static_cast<std::size_t>(address), static_cast<std::size_t>(stored.size));
    if (page.compressed > onDisk.size())
        return pageFault(ErrorCode::Corrupt, address, section, "compressed size larger than the page");

    std::span<const std::uint8_t> payload = onDisk;
    if (section.encoding == kR2007CodedEncoding) {
        const std::uint64_t blocks = r2007BlockCount(roundUp8(page.compressed), kR2007DataPayload);
        if (!deinterleaveR2007(onDisk, static_cast<std::size_t>(blocks), kR2007DataPayload, words))
            return pageFault(ErrorCode::Corrupt, address, section, "page shorter than its code words");
        payload = words;
    }
    const auto target = buffer.subspan(static_cast<std::size_t>(page.offset), static_cast<std::size_t>(page.size));
    if (page.compressed == page.size) {
        std::copy_n(payload.begin(), target.size(), target.begin());
        return std::nullopt;
    }
    const auto written = decompressR2007(payload.first(static_cast<std::size_t>(page.compressed)), target);
    if (!written)
        return pageFault(written.fault().code, address, section, written.fault().detail);
    if (*written != target.size())
        return pageFault(ErrorCode::Corrupt, address, section, "decompresses to the wrong size");
    return std::nullopt;
}

// Builds a whole section; pages not stored in the file (all zeros) stay zero.
Expected<std::vector<std::uint8_t>> assembleSection(std::span<const std::uint8_t> file, const R2007PageMap& pageMap,
                                                    const R2007Section& section, Budget& budget)
{
    if (section.encrypted != 0)
        return Fault{ErrorCode::Encrypted, 0, "2007 section " + section.name + " is encrypted"};
    if (section.encoding != kR2007PlainEncoding && section.encoding != kR2007CodedEncoding)
        return Fault{ErrorCode::Corrupt, 0, "2007 section " + section.name + ": unknown encoding"};
    if (!budget.take(section.dataSize))
        return Fault{ErrorCode::Corrupt, 0, "2007 section " + section.name + ": larger than the file can hold"};
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(section.dataSize));
    std::vector<std::uint8_t> words;
    for (const R2007SectionPage& page : section.pages) {
        const R2007Page* stored = pageMap.find(page.id);
        if (stored == nullptr)
            return Fault{ErrorCode::Corrupt, 0,
                         "2007 section " + section.name + ": page " + std::to_string(page.id) + " not in the page map"};
        if (auto fault = readDataPage(file, *stored, section, page, buffer, words))
            return *fault;
    }
    return buffer;
}

} // namespace

Expected<Sections> readR2007Sections(std::span<const std::uint8_t> file, bool withSummaryInfo)
{
    if (file.size() > kSecurityFlags && (file[kSecurityFlags] & 0x3) != 0)
        return Fault{ErrorCode::Encrypted, kSecurityFlags, "2007 file header: password protected"};
    const auto header = readR2007FileHeader(file);
    if (!header)
        return header.fault();
    Budget budget(file.size());

    const auto pageMapBytes = readSystemPage(file, kR2007PageBase + header->pageMapOffset, header->pageMapCompressed,
                                             header->pageMapSize, header->pageMapCorrection, "2007 page map", budget);
    if (!pageMapBytes)
        return pageMapBytes.fault();
    const auto pageMap = R2007PageMap::parse(*pageMapBytes, file.size());
    if (!pageMap)
        return pageMap.fault();

    const R2007Page* mapPage = pageMap->find(static_cast<std::int64_t>(header->sectionMapId));
    if (mapPage == nullptr)
        return Fault{ErrorCode::Corrupt, kR2007PageBase + header->pageMapOffset,
                     "2007 section map: page " + std::to_string(header->sectionMapId) + " not in the page map"};
    const auto sectionMapBytes =
        readSystemPage(file, mapPage->address, header->sectionMapCompressed, header->sectionMapSize,
                       header->sectionMapCorrection, "2007 section map", budget);
    if (!sectionMapBytes)
        return sectionMapBytes.fault();
    const auto sectionMap = parseR2007SectionMap(*sectionMapBytes);
    if (!sectionMap)
        return sectionMap.fault();

    Sections out;
    const std::pair<const char*, std::span<const std::uint8_t>*> wanted[] = {
        {"AcDb:Header", &out.header},
        {"AcDb:Classes", &out.classes},
        {"AcDb:Handles", &out.handles},
        {"AcDb:AcDbObjects", &out.objects},
    };
    out.storage.reserve(std::size(wanted) + 1);
    for (const auto& [name, span] : wanted) {
        const R2007Section* section = findR2007Section(*sectionMap, name);
        if (section == nullptr)
            return Fault{ErrorCode::Corrupt, mapPage->address, std::string("2007 section map: no ") + name};
        auto buffer = assembleSection(file, *pageMap, *section, budget);
        if (!buffer)
            return buffer.fault();
        out.storage.push_back(std::move(*buffer));
        *span = out.storage.back();
    }
    if (withSummaryInfo) {
        // Optional: a drawing whose summary information is missing or damaged is read all the same.
        if (const R2007Section* section = findR2007Section(*sectionMap, "AcDb:SummaryInfo")) {
            if (auto buffer = assembleSection(file, *pageMap, *section, budget)) {
                out.storage.push_back(std::move(*buffer));
                out.summaryInfo = out.storage.back();
            }
        }
    }
    // Moved, never copied: the spans point into the heap buffers that travel with `storage`.
    return Expected<Sections>(std::move(out));
}

} // namespace dwg
