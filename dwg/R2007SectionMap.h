// The 2007 section map: each named section's size, storage form and list of pages.
#pragma once

#include "dwg/Fault.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace dwg {

struct R2007SectionPage
{
    std::uint64_t offset = 0; // where the page's data goes inside the section
    std::uint64_t diskSize = 0;
    std::int64_t id = 0;    // key into the page map
    std::uint64_t size = 0; // decompressed
    std::uint64_t compressed = 0;
};

struct R2007Section
{
    std::string name; // e.g. "AcDb:Header"; characters outside ASCII become '?'
    std::uint64_t dataSize = 0;
    std::uint64_t maxPageSize = 0;
    std::uint64_t encrypted = 0;
    std::uint64_t encoding = 0; // 1 = stored plainly, 4 = RS-coded
    std::vector<R2007SectionPage> pages;
};

constexpr std::uint64_t kR2007PlainEncoding = 1;
constexpr std::uint64_t kR2007CodedEncoding = 4;

// Parses the decompressed section map. Entries run until the map is used up; a map ending inside an
// entry is a fault (offset inside the map).
Expected<std::vector<R2007Section>> parseR2007SectionMap(std::span<const std::uint8_t> map);

const R2007Section* findR2007Section(const std::vector<R2007Section>& sections, const std::string& name);

} // namespace dwg
