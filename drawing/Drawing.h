// Public interface of the drawing reader: one call reads one DWG file into a Drawing.
#pragma once

#include "drawing/Geometry.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace dwg {

enum class ErrorCode {
    IoError,            // the file could not be opened or read
    NotDwg,             // no DWG version string at the start
    UnsupportedVersion, // a DWG version this reader does not read
    Encrypted,          // password-protected drawing
    Truncated,          // data ends before a structure that must be there
    Corrupt,            // a structure holds impossible values
    TooLarge,           // larger than any real drawing (see maxDrawingBytes)
    Changed,            // the file's size or modification time changed while it was read (being saved)
};

// No real drawing comes near this size; a larger file is refused before anything is read.
inline constexpr std::uint64_t maxDrawingBytes = std::uint64_t{1} << 30;

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

// How much of a drawing to read. The three classic checks need handles and classes only; the
// comparison of contents needs everything.
enum class ReadDetail {
    Entities, // handle and class of every layout entity, and the header's time stamps
    Contents, // also layers, blocks, properties, and every entity's space, layer and geometry
};

struct Entity
{
    std::uint64_t handle = 0;
    std::string className; // as the CAD program's automation interface reports it, e.g. "AcDbLine"
    // ReadDetail::Contents only:
    std::string space; // the owning layout block as the CAD program names it: "*Model_Space", "*Paper_Space0"
    std::string layer; // the layer's name
    Geometry geometry; // std::monostate for classes without geometry here, or a damaged body
    Contents data;     // hatches, attribute definitions, leaders, ...: empty for the others
    std::vector<AttributeContents> attributes; // an INSERT's attributes, in ascending handle order
};

// A block definition's insides (ReadDetail::Contents): its base point and its entities, each as a layout's.
struct BlockDefinition
{
    std::string name;
    Point3 basePoint;
    std::vector<Entity> entities; // ascending handle; `space` is the block's name
};

// The summary information (2004 and later; a DXF may keep it too). UTF-8.
struct SummaryInfo
{
    std::string title;
    std::string subject;
    std::string author;
    std::string keywords;
    std::string comments;
    std::string lastSavedBy;
    std::string revision;
    std::string hyperlinkBase;
    std::vector<std::pair<std::string, std::string>> custom; // name -> value, in stored order
};

struct TableCounts
{
    std::size_t layers = 0;
    std::size_t blocks = 0; // block definitions, the layout blocks not counted
    std::size_t textStyles = 0;
    std::size_t linetypes = 0;
    std::size_t dimStyles = 0;
};

enum class DrawingFormat { Dwg, Dxf };

struct Drawing
{
    DrawingFormat format = DrawingFormat::Dwg;
    std::string version; // "AC1015", ...
    // Creation instant as stored. R2000 and later store universal time; R13/R14 store a value that the
    // CAD program reads back as universal time too (see CadTime.h).
    std::optional<StoredTime> created;
    bool createdIsUniversal = false; // true from AC1015 on
    // A DXF keeps $TDCREATE/$TDUPDATE as the CAD program showed them (local time of the machine that
    // wrote the file): that value, unconverted. Empty for DWG drawings.
    std::optional<double> createdAsWritten;
    std::optional<double> updatedAsWritten;
    std::optional<StoredTime> updated;       // TDUPDATE as stored (universal from AC1015 on, like created)
    std::optional<StoredTime> timeInDrawing; // TDINDWG, a duration
    std::optional<std::uint64_t> handSeed;
    std::string fingerprintGuid;  // "{...}" as the CAD program writes it; empty when the header has none
    std::vector<Entity> entities; // model space and paper-space layouts, ascending handle
    // Both reads: what was found damaged or could not be read. Not empty: the read is partial, and the drawing may
    // lack entities or hold wrong values.
    std::vector<std::string> warnings;
    // What the reader does not decode yet (an entity's contents left out): no damage, the read is whole.
    std::vector<std::string> notes;

    // ReadDetail::Contents only:
    std::string versionGuid;
    std::string codepage;    // DWGCODEPAGE, e.g. "ANSI_1252"
    std::string lastSavedBy; // wherever the file keeps it (the summary information's value first)
    SummaryInfo summary;
    std::vector<std::string> layers;               // names, in table order
    std::vector<std::string> blocks;               // block definitions, not the layout blocks
    std::vector<BlockDefinition> blockDefinitions; // the same blocks with what they hold, in the same order
    TableCounts counts;
};

struct ReadResult
{
    std::optional<Drawing> drawing; // set on success
    DwgError error;                 // meaningful only when drawing is empty
    bool ok() const { return drawing.has_value(); }
};

ReadResult readDrawing(std::span<const std::uint8_t> bytes, ReadDetail detail = ReadDetail::Entities);
// Reads the file into memory; refuses special files, files over maxDrawingBytes and files that change while they
// are read.
ReadResult readDrawingFile(const std::string& path, ReadDetail detail = ReadDetail::Entities);

// One line of English for a user, e.g. "truncated at offset 0x1A2B (object map)".
std::string describe(const DwgError& error);

// The warning for the solids whose modeler data has no content hash (damaged, or of a kind not reduced here), in the
// layouts and in the blocks; empty when there are none.
std::string modelerHashWarning(const Drawing& drawing);

} // namespace dwg
