// DWG versions this reader knows, detected once from the file header, and the flags that differ by version.
#pragma once

#include "dwg/Fault.h"

#include <cstdint>
#include <span>
#include <string>

namespace dwg {

enum class Version { R13, R14, R2000, R2004, R2007, R2010, R2013, R2018 };

// Every version difference the reader needs, decided once. Field code asks these flags, never the
// version directly, so it reads like the format notes ("R2004+: ...").
struct VersionFlags
{
    Version version = Version::R13;
    std::uint8_t maintenance = 0; // file offset 0x0B
    bool r13r14 = false;          // R13 and R14 only
    bool r2000Plus = false;
    bool r2004Plus = false; // paged container, long colours, BL owned count
    bool r2007Plus = false; // separate string stream, TU strings
    bool r2010Plus = false; // OT object types, handle-stream size after MS, BLL graphics size
    bool r2013Plus = false;
    bool r2018Plus = false;
    bool sizeHasHighPart = false; // Header/Classes carry a second RL after their size

    bool atMostR2000() const { return !r2004Plus; }
};

struct FileHeader
{
    std::string versionText; // the first six bytes, e.g. "AC1015"
    VersionFlags flags;
    std::uint16_t codepage = 0;
};

VersionFlags flagsFor(Version version, std::uint8_t maintenance);

// Reads the version string and the fixed fields at the start of the file.
// Errors: NotDwg (no version text), UnsupportedVersion (a DWG version we do not read), Truncated.
Expected<FileHeader> readFileHeader(std::span<const std::uint8_t> file);

} // namespace dwg
