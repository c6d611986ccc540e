// The reading pipeline: file header -> sections -> header variables -> classes -> object map -> objects.
#include "drawing/Drawing.h"

#include "drawing/FileBytes.h"
#include "dwg/ClassTable.h"
#include "dwg/DrawingContents.h"
#include "dwg/EntitySelection.h"
#include "dwg/Fault.h"
#include "dwg/HeaderVariables.h"
#include "dwg/ObjectMap.h"
#include "dwg/ObjectReader.h"
#include "dwg/R13Container.h"
#include "dwg/R2004Container.h"
#include "dwg/R2007Container.h"
#include "dwg/SectionFrame.h"
#include "dwg/Sections.h"
#include "dwg/SummaryInfoReader.h"
#include "dwg/TextDecoder.h"
#include "dwg/Version.h"

#include <algorithm>
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

// What became of the object map's entries: every entry not read, and every object read despite a failed CRC, makes
// the read partial.
struct MapTally
{
    std::size_t listed = 0;     // entries in the object map
    std::size_t unreadable = 0; // entries left out: no object with that handle at that place, or listed twice
    std::size_t damaged = 0;    // objects read as they are although their CRC does not match
};

// Handles ascend in a sound map. A damaged page may list them out of order or twice: the entries are then sorted, and
// a handle listed twice is read once (its first entry), so no handle is read twice and one wrong handle does not hide
// the entries after it.
std::vector<ObjectLocation> orderedMap(std::vector<ObjectLocation> map, MapTally& tally)
{
    tally.listed = map.size();
    const auto byHandle = [](const ObjectLocation& a, const ObjectLocation& b) { return a.handle < b.handle; };
    const auto sameHandle = [](const ObjectLocation& a, const ObjectLocation& b) { return a.handle == b.handle; };
    if (std::adjacent_find(map.begin(), map.end(), [](const ObjectLocation& a, const ObjectLocation& b) {
            return a.handle >= b.handle;
        }) != map.end()) {
        std::stable_sort(map.begin(), map.end(), byHandle);
        map.erase(std::unique(map.begin(), map.end(), sameHandle), map.end());
        tally.unreadable += tally.listed - map.size();
    }
    return map;
}

// One pass over the object map, keeping what the entity selection needs. A damaged object is left out; the others do
// not depend on it.
std::vector<ObjectHead> readObjectHeads(const Sections& sections, const std::vector<ObjectLocation>& map,
                                        const VersionFlags& flags, const ClassTable& classes, MapTally& tally)
{
    ObjectReader reader(sections.objects, flags, classes);
    std::vector<ObjectHead> heads;
    for (const ObjectLocation& location : map) {
        auto head = location.offset < 0 ? Expected<ObjectHead>(Fault{})
                                        : reader.read(static_cast<std::uint64_t>(location.offset), location.handle);
        if (!head) {
            ++tally.unreadable;
            continue;
        }
        tally.damaged += head->crcMatches ? 0u : 1u;
        if (mattersForSelection(*head)) {
            heads.push_back(std::move(*head));
        }
    }
    return heads;
}

// The full read's pass over the object map: heads as above, and the contents of what a full read reports.
ContentRecords readObjectContents(const Sections& sections, const std::vector<ObjectLocation>& map,
                                  const VersionFlags& flags, const ClassTable& classes, TextDecoder& decoder,
                                  MapTally& tally)
{
    ObjectReader reader(sections.objects, flags, classes);
    ContentRecords result;
    // Most objects of a drawing are kept: room for them up front spares moving the records as the list grows (a
    // damaged map's count is no reason to take more than a modest amount ahead).
    result.records.reserve(std::min<std::size_t>(map.size(), std::size_t{1} << 16));
    ObjectContents contents;
    for (const ObjectLocation& location : map) {
        contents = ObjectContents();
        auto head = location.offset < 0
                        ? Expected<ObjectHead>(Fault{})
                        : reader.read(static_cast<std::uint64_t>(location.offset), location.handle, contents, decoder);
        if (!head) {
            ++tally.unreadable;
            continue;
        }
        tally.damaged += head->crcMatches ? 0u : 1u;
        if (keepForContents(*head, contents, result.counts)) {
            result.records.push_back(ObjectRecord{std::move(*head), std::move(contents)});
        }
    }
    return result;
}

// The checks of the sections that the container does not make itself, and what the object pass found.
std::vector<std::string> damageFound(Sections& sections, ObjectMap& map, const MapTally& tally,
                                     const VersionFlags& flags)
{
    std::vector<std::string> damage = std::move(sections.damage);
    if (!sectionCrcMatches(sections.header, flags)) {
        damage.emplace_back("the header section fails its CRC check");
    }
    if (!sectionCrcMatches(sections.classes, flags)) {
        damage.emplace_back("the classes section fails its CRC check");
    }
    damage.insert(damage.end(), map.damage.begin(), map.damage.end());
    const std::string ofListed = " of the " + std::to_string(tally.listed) + " objects in the object map ";
    if (tally.unreadable > 0) {
        damage.push_back(std::to_string(tally.unreadable) + ofListed + "could not be read: they are left out");
    }
    if (tally.damaged > 0) {
        damage.push_back(std::to_string(tally.damaged) + ofListed + "fail their CRC check: they are read as they are");
    }
    return damage;
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
    MapTally tally;
    const std::vector<ObjectLocation> locations = orderedMap(std::move(map->locations), tally);
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
        ContentRecords records = readObjectContents(*sections, locations, flags, *classes, decoder, tally);
        records.dataStore = readDataStore(sections->dataStore);
        if (records.dataStore.damaged) {
            sections->damage.emplace_back("the data store is damaged: solids may lack their modeler data");
        }
        fillContents(*fileHeader, *sections, *variables, std::move(records), *classes, decoder, drawing);
        if (std::string unhashed = modelerHashWarning(drawing); !unhashed.empty()) {
            sections->damage.push_back(std::move(unhashed));
        }
    } else {
        drawing.entities =
            selectLayoutEntities(readObjectHeads(*sections, locations, flags, *classes, tally), *classes);
    }
    // The damage comes first: it is why parts may be missing further down.
    std::vector<std::string> damage = damageFound(*sections, *map, tally, flags);
    drawing.warnings.insert(drawing.warnings.begin(), damage.begin(), damage.end());
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
    const FileBytes file = FileBytes::open(path);
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
    case ErrorCode::Changed:
        return "changed while it was read" + where;
    }
    return "unreadable drawing" + where;
}

} // namespace dwg
