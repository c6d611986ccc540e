// The reading pipeline: file header -> sections -> header variables -> classes -> object map -> objects.
#include "dwg/Drawing.h"

#include "dwg/ClassTable.h"
#include "dwg/DrawingContents.h"
#include "dwg/EntitySelection.h"
#include "dwg/Fault.h"
#include "dwg/HeaderVariables.h"
#include "dwg/MappedFile.h"
#include "dwg/ObjectMap.h"
#include "dwg/ObjectReader.h"
#include "dwg/R13Container.h"
#include "dwg/R2004Container.h"
#include "dwg/R2007Container.h"
#include "dwg/Sections.h"
#include "dwg/SummaryInfoReader.h"
#include "dwg/TextDecoder.h"
#include "dwg/Version.h"

#include <cstdio>
#include <new>

namespace dwg {

namespace {

Expected<Sections> readSections(std::span<const std::uint8_t> file, const FileHeader& header, bool withSummaryInfo)
{
    switch (header.flags.version) {
    case Version::R13:
    case Version::R14:
    case Version::R2000:
        return readR13Sections(file);
    case Version::R2007:
        return readR2007Sections(file, withSummaryInfo);
    case Version::R2004:
    case Version::R2010:
    case Version::R2013:
    case Version::R2018:
        return readR2004Sections(file, withSummaryInfo);
    }
    return Fault{ErrorCode::UnsupportedVersion, 0, header.versionText};
}

// One pass over the object map, keeping what the entity selection needs. A damaged object is left out; the others do
// not depend on it. Handles ascend in the map; an entry that does not (a damaged page) is left out too, so no handle is
// read twice.
std::vector<ObjectHead> readObjectHeads(const Sections& sections, const std::vector<ObjectLocation>& map,
                                        const VersionFlags& flags, const ClassTable& classes)
{
    ObjectReader reader(sections.objects, flags, classes);
    std::vector<ObjectHead> heads;
    bool first = true;
    std::uint64_t previousHandle = 0;
    for (const ObjectLocation& location : map) {
        if (location.offset < 0 || (!first && location.handle <= previousHandle)) {
            continue;
        }
        first = false;
        previousHandle = location.handle;
        auto head = reader.read(static_cast<std::uint64_t>(location.offset), location.handle);
        if (head && mattersForSelection(*head)) {
            heads.push_back(std::move(*head));
        }
    }
    return heads;
}

// The full read's pass over the object map: heads as above, and the contents of what a full read reports.
ContentRecords readObjectContents(const Sections& sections, const std::vector<ObjectLocation>& map,
                                  const VersionFlags& flags, const ClassTable& classes, TextDecoder& decoder)
{
    ObjectReader reader(sections.objects, flags, classes);
    ContentRecords result;
    // Most objects of a drawing are kept: room for them up front spares moving the records as the list grows (a
    // damaged map's count is no reason to take more than a modest amount ahead).
    result.records.reserve(std::min<std::size_t>(map.size(), std::size_t{1} << 16));
    bool first = true;
    std::uint64_t previousHandle = 0;
    ObjectContents contents;
    for (const ObjectLocation& location : map) {
        if (location.offset < 0 || (!first && location.handle <= previousHandle)) {
            continue;
        }
        first = false;
        previousHandle = location.handle;
        contents = ObjectContents();
        auto head = reader.read(static_cast<std::uint64_t>(location.offset), location.handle, contents, decoder);
        if (head && keepForContents(*head, contents, result.counts)) {
            result.records.push_back(ObjectRecord{std::move(*head), std::move(contents)});
        }
    }
    return result;
}

void fillContents(const FileHeader& fileHeader, const Sections& sections, const HeaderVariables& variables,
                  ContentRecords records, const ClassTable& classes, TextDecoder& decoder, Drawing& drawing)
{
    drawing.versionGuid = variables.versionGuid;
    drawing.codepage = std::string(codepageName(fileHeader.codepage));
    if (!sections.summaryInfo.empty()) {
        if (auto summary = readSummaryInfo(sections.summaryInfo, fileHeader.flags, decoder)) {
            drawing.summary = std::move(*summary);
        } else {
            drawing.warnings.emplace_back("summary information");
        }
    } else if (auto properties = drawingProperties(records)) {
        drawing.summary = std::move(*properties);
    }
    if (drawing.summary.hyperlinkBase.empty()) {
        drawing.summary.hyperlinkBase =
            fileHeader.flags.r2007Plus ? variables.hyperlinkBase : decoder.decode(variables.hyperlinkBase);
    }
    drawing.lastSavedBy = drawing.summary.lastSavedBy;
    assembleContents(records, variables, classes, drawing);
}

Expected<Drawing> readPipeline(std::span<const std::uint8_t> file, ReadDetail detail)
{
    const bool contents = detail == ReadDetail::Contents;
    auto fileHeader = readFileHeader(file);
    if (!fileHeader) {
        return fileHeader.fault();
    }
    const VersionFlags& flags = fileHeader->flags;
    auto sections = readSections(file, *fileHeader, contents);
    if (!sections) {
        return sections.fault();
    }
    auto variables = readHeaderVariables(sections->header, flags, contents);
    if (!variables) {
        return variables.fault();
    }
    auto classes = readClasses(sections->classes, flags);
    if (!classes) {
        return classes.fault();
    }
    auto map = readObjectMap(sections->handles);
    if (!map) {
        return map.fault();
    }
    Drawing drawing;
    drawing.version = fileHeader->versionText;
    drawing.created = variables->created;
    drawing.updated = variables->updated;
    drawing.createdIsUniversal = flags.r2000Plus;
    drawing.timeInDrawing = variables->timeInDrawing;
    drawing.handSeed = variables->handSeed;
    drawing.fingerprintGuid = variables->fingerprintGuid;
    if (contents) {
        TextDecoder decoder(fileHeader->codepage);
        ContentRecords records = readObjectContents(*sections, *map, flags, *classes, decoder);
        fillContents(*fileHeader, *sections, *variables, std::move(records), *classes, decoder, drawing);
    } else {
        drawing.entities = selectLayoutEntities(readObjectHeads(*sections, *map, flags, *classes), *classes);
    }
    return drawing;
}

} // namespace

namespace {

ReadResult failure(ErrorCode code, std::uint64_t offset, std::string detail)
{
    ReadResult result;
    result.error = DwgError{code, offset, std::move(detail)};
    return result;
}

} // namespace

ReadResult readDrawing(std::span<const std::uint8_t> bytes, ReadDetail detail)
{
    // Allocations are bounded by the input size, but an exception must not cross the interface anyway.
    try {
        auto drawing = readPipeline(bytes, detail);
        if (!drawing) {
            const Fault& fault = drawing.fault();
            return failure(fault.code, fault.offset, fault.detail);
        }
        ReadResult result;
        result.drawing = std::move(*drawing);
        return result;
    } catch (const std::bad_alloc&) {
        return failure(ErrorCode::Corrupt, 0, "not enough memory");
    }
}

ReadResult readDrawingFile(const std::string& path, ReadDetail detail)
{
    const MappedFile file = MappedFile::open(path);
    if (!file.ok()) {
        ReadResult result;
        result.error = file.error();
        return result;
    }
    return readDrawing(file.bytes(), detail);
}

std::string describe(const DwgError& error)
{
    char offset[32];
    std::snprintf(offset, sizeof offset, "0x%llX", static_cast<unsigned long long>(error.offset));
    const std::string where = error.detail.empty() ? std::string() : " (" + error.detail + ")";
    switch (error.code) {
    case ErrorCode::IoError:
        return "cannot read the file" + where;
    case ErrorCode::NotDwg:
        return "not a DWG drawing" + where;
    case ErrorCode::UnsupportedVersion:
        return "unsupported DWG version" + (error.detail.empty() ? std::string() : " " + error.detail);
    case ErrorCode::Encrypted:
        return "password-protected drawing" + where;
    case ErrorCode::Truncated:
        return std::string("truncated at offset ") + offset + where;
    case ErrorCode::Corrupt:
        return std::string("damaged at offset ") + offset + where;
    case ErrorCode::TooLarge:
        return "too large to be a drawing (" + std::to_string(error.offset >> 20) + " MB)";
    }
    return "unreadable drawing" + where;
}

} // namespace dwg
