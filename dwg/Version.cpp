// DWG versions this reader knows, detected once from the file header, and the flags that differ by version.
#include "dwg/Version.h"

#include "dwg/BitReader.h"

#include <array>
#include <string_view>

namespace dwg {

VersionFlags flagsFor(Version version, std::uint8_t maintenance)
{
    VersionFlags f;
    f.version = version;
    f.maintenance = maintenance;
    f.r13r14 = version <= Version::R14;
    f.r2000Plus = version >= Version::R2000;
    f.r2004Plus = version >= Version::R2004;
    f.r2007Plus = version >= Version::R2007;
    f.r2010Plus = version >= Version::R2010;
    f.r2013Plus = version >= Version::R2013;
    f.r2018Plus = version >= Version::R2018;
    // The extra size word exists from R2010 on, but R2010/R2013 write it only from maintenance 4 on.
    f.sizeHasHighPart = f.r2018Plus || (f.r2010Plus && maintenance > 3);
    return f;
}

namespace {

struct KnownVersion
{
    std::string_view text;
    Version version;
};

constexpr std::array<KnownVersion, 8> knownVersions{{
    {"AC1012", Version::R13},
    {"AC1014", Version::R14},
    {"AC1015", Version::R2000},
    {"AC1018", Version::R2004},
    {"AC1021", Version::R2007},
    {"AC1024", Version::R2010},
    {"AC1027", Version::R2013},
    {"AC1032", Version::R2018},
}};

bool looksLikeVersionText(std::string_view text)
{
    // "AC1009", "AC2.10", "MC0.0" ...: letters, digits and dots only.
    if (text.size() < 5 || !(text.starts_with("AC") || text.starts_with("MC"))) {
        return false;
    }
    for (const char c : text.substr(2)) {
        if (!((c >= '0' && c <= '9') || c == '.' || c == '\0')) {
            return false;
        }
    }
    return true;
}

} // namespace

Expected<FileHeader> readFileHeader(std::span<const std::uint8_t> file)
{
    if (file.size() < 6) {
        return Fault{ErrorCode::NotDwg, 0, "file shorter than a version string"};
    }
    std::string text(reinterpret_cast<const char*>(file.data()), 6);
    const std::size_t nul = text.find('\0');
    if (nul != std::string::npos) {
        text.resize(nul);
    }
    const KnownVersion* known = nullptr;
    for (const KnownVersion& candidate : knownVersions) {
        if (candidate.text == text) {
            known = &candidate;
        }
    }
    if (known == nullptr) {
        if (looksLikeVersionText(text)) {
            return Fault{ErrorCode::UnsupportedVersion, 0, text};
        }
        return Fault{ErrorCode::NotDwg, 0, "no DWG version string"};
    }
    BitReader reader(file);
    reader.setPosition(0x0B * 8);
    const std::uint8_t maintenance = reader.readByte();
    reader.setPosition(0x13 * 8);
    const auto codepage = static_cast<std::uint16_t>(reader.readRawShort());
    if (reader.failed()) {
        return Fault{ErrorCode::Truncated, file.size(), "file header"};
    }
    FileHeader header;
    header.versionText = text;
    header.flags = flagsFor(known->version, maintenance);
    header.codepage = codepage;
    return header;
}

} // namespace dwg
