// Builds small 2007-format files with stored (uncompressed) pages, so tests can plant one fault each.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace dwg::testing2007 {

using Bytes = std::vector<std::uint8_t>;

struct FakeSection
{
    std::string name;
    Bytes data;
    std::uint64_t encoding = 4; // 1 plain, 4 RS-coded
    std::uint64_t encrypted = 0;
    std::size_t pageSize = 64;
    std::optional<std::uint64_t> declaredSize; // replaces data.size() in the section map
    std::optional<std::int64_t> firstPageId;   // replaces the id of the first page in the section map
};

class FakeFile
{
public:
    std::vector<FakeSection> sections;
    std::map<std::size_t, std::uint64_t> headerFields; // field offset -> value, applied last
    std::optional<Bytes> headerData;                   // replaces the stored header fields
    std::optional<std::int32_t> headerLength;          // replaces the header's data length
    std::uint8_t securityFlags = 0;

    static FakeFile standard()
    {
        FakeFile fake;
        fake.sections.push_back(section("AcDb:Header", text("header section bytes"), 4));
        fake.sections.push_back(section("AcDb:Classes", text("classes section bytes"), 1));
        Bytes objects(200, 0);
        for (std::size_t i = 0; i < 40; ++i)
            objects[i] = static_cast<std::uint8_t>(i + 1);
        for (std::size_t i = 150; i < 200; ++i)
            objects[i] = static_cast<std::uint8_t>(i); // bytes 64..127 stay zero: a page not stored
        fake.sections.push_back(section("AcDb:AcDbObjects", objects, 4));
        fake.sections.push_back(section("AcDb:Handles", text("handles"), 4));
        return fake;
    }

    static FakeSection section(const std::string& name, const Bytes& data, std::uint64_t encoding)
    {
        FakeSection s;
        s.name = name;
        s.data = data;
        s.encoding = encoding;
        return s;
    }

    static Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

    Bytes build() const
    {
        struct Page
        {
            std::int64_t id;
            Bytes disk;
        };
        std::vector<Page> pages;
        std::int64_t nextId = 2; // id 1 is the page map itself
        Bytes sectionMap;
        for (const FakeSection& section : sections) {
            Bytes entries;
            std::uint64_t count = 0;
            for (std::size_t offset = 0; offset < section.data.size(); offset += section.pageSize) {
                const std::size_t size = std::min(section.pageSize, section.data.size() - offset);
                const Bytes chunk(section.data.begin() + static_cast<std::ptrdiff_t>(offset),
                                  section.data.begin() + static_cast<std::ptrdiff_t>(offset + size));
                if (std::all_of(chunk.begin(), chunk.end(), [](std::uint8_t b) { return b == 0; }))
                    continue;
                const std::int64_t id = count == 0 && section.firstPageId ? *section.firstPageId : nextId;
                pages.push_back({nextId++, section.encoding == 4 ? interleave(chunk, 251) : chunk});
                for (std::uint64_t v :
                     {std::uint64_t{offset}, std::uint64_t{pages.back().disk.size()}, static_cast<std::uint64_t>(id),
                      std::uint64_t{size}, std::uint64_t{size}, std::uint64_t{0}, std::uint64_t{0}})
                    put64(entries, v);
                ++count;
            }
            for (std::uint64_t v : {section.declaredSize.value_or(section.data.size()), std::uint64_t{section.pageSize},
                                    section.encrypted, std::uint64_t{0}, std::uint64_t{2 * section.name.size()},
                                    std::uint64_t{0}, section.encoding, count})
                put64(sectionMap, v);
            for (char c : section.name) {
                sectionMap.push_back(static_cast<std::uint8_t>(c));
                sectionMap.push_back(0);
            }
            sectionMap.insert(sectionMap.end(), entries.begin(), entries.end());
        }
        const std::int64_t sectionMapId = nextId++;
        pages.push_back({sectionMapId, interleave(sectionMap, 239)});

        Bytes pageMap;
        const std::size_t pageMapSize = 16 * (pages.size() + 1);
        const std::size_t pageMapDisk = interleave(Bytes(pageMapSize), 239).size();
        put64(pageMap, pageMapDisk);
        put64(pageMap, 1);
        for (const Page& page : pages) {
            put64(pageMap, page.disk.size());
            put64(pageMap, static_cast<std::uint64_t>(page.id));
        }

        Bytes fields(0x110, 0);
        std::map<std::size_t, std::uint64_t> values = {{0x18, 1},
                                                       {0x38, 0},
                                                       {0x50, pageMapSize},
                                                       {0x58, pageMapSize},
                                                       {0xB0, sectionMap.size()},
                                                       {0xC0, static_cast<std::uint64_t>(sectionMapId)},
                                                       {0xC8, sectionMap.size()},
                                                       {0xD8, 1}};
        for (const auto& [at, value] : headerFields)
            values[at] = value;
        for (const auto& [at, value] : values)
            for (std::size_t i = 0; i < 8; ++i)
                fields[at + i] = static_cast<std::uint8_t>(value >> (8 * i));

        // Header block: 32-byte prefix with the data length (negative = stored), then the data.
        const Bytes data = headerData.value_or(fields);
        Bytes block(3 * 239, 0);
        const auto length = static_cast<std::uint32_t>(headerLength.value_or(-static_cast<std::int32_t>(data.size())));
        for (std::size_t i = 0; i < 4; ++i)
            block[24 + i] = static_cast<std::uint8_t>(length >> (8 * i));
        std::copy(data.begin(), data.end(), block.begin() + 32);

        Bytes file(0x480, 0);
        const std::string version = "AC1021";
        std::copy(version.begin(), version.end(), file.begin());
        file[0x18] = securityFlags;
        const Bytes coded = interleave(block, 239, 3);
        std::copy(coded.begin(), coded.end(), file.begin() + 0x80);
        append(file, interleave(pageMap, 239));
        for (const Page& page : pages)
            append(file, page.disk);
        file.resize(file.size() + 0x400, 0); // room the second header copy takes in real files
        return file;
    }

    // Spreads `payload` over code words of k payload bytes each, interleaved byte by byte; parity zero.
    // Without `words`, as many words as the reader derives from the payload size rounded up to 8.
    static Bytes interleave(const Bytes& payload, std::size_t k, std::size_t words = 0)
    {
        const std::size_t padded = (payload.size() + 7) & ~std::size_t{7};
        const std::size_t blocks = words != 0 ? words : (padded + k - 1) / k;
        Bytes out(((blocks * 255) + 7) & ~std::size_t{7}, 0);
        for (std::size_t i = 0; i < blocks; ++i)
            for (std::size_t j = 0; j < k && i * k + j < payload.size(); ++j)
                out[i + j * blocks] = payload[i * k + j];
        return out;
    }

private:
    static void put64(Bytes& out, std::uint64_t value)
    {
        for (std::size_t i = 0; i < 8; ++i)
            out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
    static void append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }
};

} // namespace dwg::testing2007
