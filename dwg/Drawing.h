// Public interface of the drawing reader: one call reads one DWG file into a Drawing.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace dwg {

enum class ErrorCode {
    IoError,            // the file could not be opened or read
    NotDwg,             // no DWG version string at the start
    UnsupportedVersion, // a DWG version this reader does not read
    Encrypted,          // password-protected drawing
    Truncated,          // data ends before a structure that must be there
    Corrupt,            // a structure holds impossible values
};

struct DwgError
{
    ErrorCode code = ErrorCode::Corrupt;
    std::uint64_t offset = 0; // file offset (or section offset) where the fault was found
    std::string detail;       // e.g. "AC1009", "object map", "header section"
};

// A time as the drawing stores it: day number of the civil date and milliseconds since its midnight.
struct StoredTime
{
    std::int32_t day = 0;
    std::int32_t ms = 0;
};

struct Entity
{
    std::uint64_t handle = 0;
    std::string className; // as the CAD program's automation interface reports it, e.g. "AcDbLine"
};

struct Drawing
{
    std::string version; // "AC1015", ...
    // Creation instant as stored. R2000 and later store universal time; R13/R14 store a value that the
    // CAD program reads back as universal time too (see CadTime.h).
    std::optional<StoredTime> created;
    bool createdIsUniversal = false;         // true from AC1015 on
    std::optional<StoredTime> timeInDrawing; // TDINDWG, a duration
    std::optional<std::uint64_t> handSeed;
    std::string fingerprintGuid;  // empty when the header has none
    std::vector<Entity> entities; // model space and paper-space layouts, ascending handle
};

struct ReadResult
{
    std::optional<Drawing> drawing; // set on success
    DwgError error;                 // meaningful only when drawing is empty
    bool ok() const { return drawing.has_value(); }
};

ReadResult readDrawing(std::span<const std::uint8_t> bytes);
ReadResult readDrawingFile(const std::string& path);

// One line of English for a user, e.g. "truncated at offset 0x1A2B (object map)".
std::string describe(const DwgError& error);

} // namespace dwg
