// The summary information section (AcDb:SummaryInfo, 2004 and later): title, author, last saved by, custom values.
#include "dwg/SummaryInfoReader.h"

#include "drawing/Utf8.h"
#include "dwg/BitReader.h"

#include <utility>

namespace dwg {

namespace {

// A text of the section: RS length in characters (its closing NUL counted), then the characters: bytes of the
// drawing's code page in R2004, UTF-16 from R2007 on.
std::string readText(BitReader& reader, const VersionFlags& flags, TextDecoder& decoder)
{
    const auto length = static_cast<std::uint16_t>(reader.readRawShort());
    const std::uint64_t width = flags.r2007Plus ? 16 : 8;
    if (reader.failed() || length * width > reader.remaining()) {
        reader.fail();
        return {};
    }
    std::string text;
    if (!flags.r2007Plus) {
        text.resize(length);
        reader.readBytes(reinterpret_cast<std::uint8_t*>(text.data()), length);
    } else {
        for (std::uint16_t i = 0; i < length; ++i) {
            std::uint32_t unit = static_cast<std::uint16_t>(reader.readRawShort());
            if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < length) {
                const auto low = static_cast<std::uint16_t>(reader.readRawShort());
                ++i;
                unit = low >= 0xDC00 && low < 0xE000 ? 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00u) : 0xFFFD;
            } else if (unit >= 0xD800 && unit < 0xE000) {
                unit = 0xFFFD;
            }
            appendUtf8(text, unit);
        }
    }
    while (!text.empty() && text.back() == '\0') {
        text.pop_back();
    }
    return flags.r2007Plus ? text : decoder.decode(text);
}

} // namespace

std::optional<SummaryInfo> readSummaryInfo(std::span<const std::uint8_t> section, const VersionFlags& flags,
                                           TextDecoder& decoder)
{
    BitReader reader(section);
    SummaryInfo info;
    for (std::string* field : {&info.title, &info.subject, &info.author, &info.keywords, &info.comments,
                               &info.lastSavedBy, &info.revision, &info.hyperlinkBase}) {
        *field = readText(reader, flags, decoder);
    }
    reader.skipBytes(3 * 8); // editing time, creation and update time: the header holds them too
    const auto count = static_cast<std::uint16_t>(reader.readRawShort());
    for (std::uint16_t i = 0; i < count && !reader.failed(); ++i) {
        std::string name = readText(reader, flags, decoder);
        std::string value = readText(reader, flags, decoder);
        if (!reader.failed()) {
            info.custom.emplace_back(std::move(name), std::move(value));
        }
    }
    if (reader.failed()) {
        return std::nullopt;
    }
    return info;
}

} // namespace dwg
