// Decoding of the 2007 file header: one RS-coded block of three words, then 34 64-bit fields.
#include "dwg/R2007FileHeader.h"

#include "dwg/R2007Cursor.h"
#include "dwg/R2007Decompressor.h"
#include "dwg/R2007ReedSolomon.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace dwg {

namespace {

constexpr std::size_t kHeaderAddress = 0x80;
constexpr std::size_t kHeaderStored = 0x3D8;
constexpr std::size_t kHeaderWords = 3;
constexpr std::size_t kHeaderPrefix = 32; // CRC, key, CRC of the compressed data, two lengths
constexpr std::size_t kFieldBytes = 0x110;

Fault headerFault(ErrorCode code, std::uint64_t offset, const char* what)
{
    return Fault{code, offset, std::string("2007 file header: ") + what};
}

std::uint64_t field(std::span<const std::uint8_t> fields, std::size_t offset)
{
    std::uint64_t value = 0;
    R2007Cursor(fields, offset).u64(value); // offsets are constants inside the fixed 0x110 bytes
    return value;
}

} // namespace

Expected<R2007FileHeader> readR2007FileHeader(std::span<const std::uint8_t> file)
{
    if (file.size() < kHeaderAddress + kHeaderStored)
        return headerFault(ErrorCode::Truncated, file.size(), "truncated");
    std::vector<std::uint8_t> block;
    deinterleaveR2007(file.subspan(kHeaderAddress, kHeaderStored), kHeaderWords, kR2007SystemPayload, block);

    R2007Cursor prefix(block, 24);
    std::uint32_t rawLength = 0;
    prefix.u32(rawLength);
    // A positive length means compressed; a negative one means the fields are stored as they are.
    const auto length = static_cast<std::int32_t>(rawLength);
    const std::uint64_t stored = length < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(std::int64_t{length})
                                            : static_cast<std::uint64_t>(length);
    if (stored > block.size() - kHeaderPrefix)
        return headerFault(ErrorCode::Corrupt, kHeaderAddress, "data length larger than the header block");
    const auto data = std::span<const std::uint8_t>(block).subspan(kHeaderPrefix, static_cast<std::size_t>(stored));

    std::array<std::uint8_t, kFieldBytes> fields{};
    if (length > 0) {
        const auto written = decompressR2007(data, fields);
        if (!written)
            return Fault{written.fault().code, kHeaderAddress, "2007 file header: " + written.fault().detail};
        if (*written != kFieldBytes)
            return headerFault(ErrorCode::Corrupt, kHeaderAddress, "fields decompress to the wrong size");
    } else {
        if (data.size() < kFieldBytes)
            return headerFault(ErrorCode::Corrupt, kHeaderAddress, "stored fields too short");
        std::copy_n(data.begin(), kFieldBytes, fields.begin());
    }

    R2007FileHeader header;
    header.pageMapCorrection = field(fields, 0x18);
    header.pageMapOffset = field(fields, 0x38);
    header.pageMapCompressed = field(fields, 0x50);
    header.pageMapSize = field(fields, 0x58);
    header.sectionMapCompressed = field(fields, 0xB0);
    header.sectionMapId = field(fields, 0xC0);
    header.sectionMapSize = field(fields, 0xC8);
    header.sectionMapCorrection = field(fields, 0xD8);
    return header;
}

} // namespace dwg
