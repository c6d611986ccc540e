// The reading pipeline: groups -> sections (header, classes, tables, blocks, entities, objects) -> drawing.
#include "dxf/DxfReader.h"

#include "dxf/DrawingAssembly.h"
#include "dxf/EntityReader.h"
#include "dxf/GroupSource.h"
#include "dxf/Sections.h"
#include "dxf/TextDecoder.h"

#include <new>
#include <optional>

namespace dxf {

namespace {

// The text decoder and the entity reader need the header's version and code page; files without a header (or with
// it late) get them when the first other section begins.
struct Readers
{
    std::optional<TextDecoder> decoder;
    std::optional<EntityReader> entities;

    void begin(const DxfContent& content, bool contents)
    {
        if (!decoder) {
            decoder.emplace(content.header.version, content.header.codepage);
            entities.emplace(*decoder, contents);
        }
    }
};

void readSection(std::string_view name, GroupSource& source, Readers& readers, DxfContent& content, bool contents)
{
    if (name == "HEADER") {
        readHeaderSection(source, content);
        return;
    }
    readers.begin(content, contents);
    if (name == "CLASSES") {
        readClassesSection(source, content);
    } else if (name == "TABLES") {
        readTablesSection(source, content);
    } else if (name == "BLOCKS") {
        readBlocksSection(source, *readers.entities, content);
    } else if (name == "ENTITIES") {
        readEntitiesSection(source, *readers.entities, content);
    } else if (name == "OBJECTS" && contents) {
        readObjectsSection(source, content);
    } else if (name == "ACDSDATA" && contents) {
        readDataStoreSection(source, content);
    } else {
        skipSection(source); // THUMBNAILIMAGE and sections of other programs
    }
}

// Reads every section. Returns the section that was cut short (empty when the file ends properly).
std::string readSections(GroupSource& source, Readers& readers, DxfContent& content, bool contents)
{
    source.advance();
    while (!source.current().isEnd() && !source.current().is(0, "EOF")) {
        if (!source.current().is(0, "SECTION")) {
            warn(content, "groups outside any section are passed over");
            if (source.current().code == 0) {
                skipRecord(source);
            } else {
                source.advance();
            }
            continue;
        }
        source.advance();
        const std::string name(source.current().code == 2 ? source.current().word() : std::string_view("?"));
        readSection(name, source, readers, content, contents);
        if (source.current().isEnd()) {
            return name;
        }
        if (source.current().is(0, "ENDSEC")) {
            source.advance();
        } else {
            warn(content, "the " + quoted(name) + " section has no end");
        }
    }
    if (source.current().isEnd() && !source.fault()) {
        warn(content, "the file has no EOF mark: it may be cut short");
    }
    return {};
}

dwg::ReadResult failure(const dwg::DwgError& error)
{
    dwg::ReadResult result;
    result.error = error;
    return result;
}

// Everything after the first look: sections, then the drawing.
dwg::ReadResult readPipeline(std::span<const std::uint8_t> bytes, dwg::ReadDetail detail)
{
    auto source = GroupSource::open(bytes);
    const bool contents = detail == dwg::ReadDetail::Contents;
    DxfContent content;
    Readers readers;
    const std::string cutShort = readSections(*source, readers, content, contents);
    readers.begin(content, contents);

    // A file that breaks off before its entities has nothing to show: an error. After that, the rest is kept and
    // the warnings say what is missing.
    if (source->fault() || !cutShort.empty()) {
        dwg::DwgError error = source->fault().value_or(
            dwg::DwgError{dwg::ErrorCode::Truncated, bytes.size(), "DXF " + quoted(cutShort) + " section"});
        if (!content.entitiesReached) {
            return failure(error);
        }
        warn(content, "the file breaks off: " + dwg::describe(error) + "; what follows is missing");
    }
    content.codepageKnown =
        readers.decoder->codepageKnown() || !readers.decoder->usesCodePage() || content.header.codepage.empty();
    dwg::ReadResult result;
    result.drawing = assembleDrawing(content, *readers.decoder, detail);
    return result;
}

} // namespace

bool looksLikeDxf(std::span<const std::uint8_t> bytes)
{
    return startsLikeDxf(bytes);
}

dwg::ReadResult readDxf(std::span<const std::uint8_t> bytes, dwg::ReadDetail detail)
{
    if (bytes.size() > dwg::maxDrawingBytes) {
        return failure({dwg::ErrorCode::TooLarge, bytes.size(), "DXF"});
    }
    if (!startsLikeDxf(bytes)) {
        return failure({dwg::ErrorCode::NotDwg, 0, "neither DWG nor DXF"});
    }
    try {
        return readPipeline(bytes, detail);
    } catch (const std::bad_alloc&) {
        return failure({dwg::ErrorCode::Corrupt, 0, "not enough memory"});
    }
}

} // namespace dxf
