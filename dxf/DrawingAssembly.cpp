// Turns what one pass over a DXF file collected into the shared drawing model.
#include "dxf/DrawingAssembly.h"

#include "dxf/Sections.h"

#include <algorithm>
#include <cmath>

namespace dxf {

namespace {

constexpr double msPerDay = 86400000.0;

void setTime(std::optional<double> julian, std::string_view name, std::optional<dwg::StoredTime>& out,
             DxfContent& content)
{
    if (!julian) {
        return;
    }
    out = storedTimeOf(*julian);
    if (!out) {
        warn(content, "header variable " + std::string(name) + " is not a date");
    }
}

dwg::SummaryInfo summaryOf(const DxfContent& content, TextDecoder& decoder)
{
    dwg::SummaryInfo summary;
    if (const auto& properties = content.properties) {
        summary.title = decoder.decode(properties->title);
        summary.subject = decoder.decode(properties->subject);
        summary.author = decoder.decode(properties->author);
        summary.keywords = decoder.decode(properties->keywords);
        summary.comments = decoder.decode(properties->comments);
        summary.lastSavedBy = decoder.decode(properties->lastSavedBy);
        summary.revision = decoder.decode(properties->revision);
        summary.hyperlinkBase = decoder.decode(properties->hyperlinkBase);
        for (std::string_view entry : properties->custom) {
            const std::size_t equals = entry.find('=');
            summary.custom.emplace_back(decoder.decode(entry.substr(0, equals)),
                                        equals == std::string_view::npos ? std::string()
                                                                         : decoder.decode(entry.substr(equals + 1)));
        }
    }
    if (summary.hyperlinkBase.empty()) {
        summary.hyperlinkBase = decoder.decode(content.header.hyperlinkBase);
    }
    return summary;
}

void fillTables(DxfContent& content, TextDecoder& decoder, dwg::Drawing& drawing)
{
    const TableContent& tables = content.tables;
    for (std::string_view layer : tables.layers) {
        drawing.layers.push_back(decoder.decode(layer));
    }
    // Block definitions: the block records where the file has them (R13 and later), else the BLOCKS section.
    std::vector<std::string_view> blocks;
    if (tables.hasBlockRecords) {
        for (const BlockRecord& record : tables.blockRecords) {
            if (!isLayoutName(record.name)) {
                blocks.push_back(record.name);
            }
        }
    } else {
        for (std::string_view name : content.blockNames) {
            if (!isLayoutName(name)) {
                blocks.push_back(name);
            }
        }
    }
    for (std::string_view name : blocks) {
        drawing.blocks.push_back(decoder.decode(name));
    }
    drawing.blockDefinitions = blockDefinitions(content, decoder, blocks);
    drawing.counts = {drawing.layers.size(), drawing.blocks.size(), tables.textStyles, tables.linetypes,
                      tables.dimStyles};
}

} // namespace

std::optional<dwg::StoredTime> storedTimeOf(double julian)
{
    // Day numbers of an int32; a time in drawing (TDINDWG) starts at day 0.
    if (!std::isfinite(julian) || julian < 0 || julian >= 2.0e9) {
        return std::nullopt;
    }
    double day = std::floor(julian);
    double ms = std::round((julian - day) * msPerDay);
    if (ms >= msPerDay) {
        day += 1;
        ms -= msPerDay;
    }
    return dwg::StoredTime{static_cast<std::int32_t>(day), static_cast<std::int32_t>(ms)};
}

dwg::Drawing assembleDrawing(DxfContent& content, TextDecoder& decoder, dwg::ReadDetail detail)
{
    const HeaderValues& header = content.header;
    dwg::Drawing drawing;
    drawing.format = dwg::DrawingFormat::Dxf;
    drawing.version = decoder.decode(header.version);
    // The three checks compare a DXF's creation time as written; the stored instant is the universal one where the
    // file has it (2000 and later).
    drawing.createdAsWritten = header.tdcreate;
    drawing.updatedAsWritten = header.tdupdate;
    setTime(header.tducreate ? header.tducreate : header.tdcreate, "$TDCREATE", drawing.created, content);
    drawing.createdIsUniversal = drawing.created && header.tducreate;
    setTime(header.tduupdate ? header.tduupdate : header.tdupdate, "$TDUPDATE", drawing.updated, content);
    setTime(header.tdindwg, "$TDINDWG", drawing.timeInDrawing, content);
    drawing.handSeed = header.handSeed;
    drawing.fingerprintGuid = decoder.decode(header.fingerprintGuid);
    drawing.entities = layoutEntities(content, decoder);

    if (detail == dwg::ReadDetail::Contents) {
        drawing.versionGuid = decoder.decode(header.versionGuid);
        drawing.codepage = decoder.decode(header.codepage);
        drawing.summary = summaryOf(content, decoder);
        drawing.lastSavedBy =
            drawing.summary.lastSavedBy.empty() ? decoder.decode(header.lastSavedBy) : drawing.summary.lastSavedBy;
        fillTables(content, decoder, drawing);
        if (std::string unhashed = dwg::modelerHashWarning(drawing); !unhashed.empty()) {
            warn(content, std::move(unhashed));
        }
    }
    const auto damaged = std::count_if(content.entities.begin(), content.entities.end(),
                                       [](const EntityRecord& record) { return record.damaged; });
    if (damaged > 0) {
        warn(content, std::to_string(damaged) + " entities could not be read whole: their geometry is left out");
    }
    if (!content.codepageKnown) {
        warn(content, "unknown code page " + quoted(header.codepage) + ": texts read as ANSI_1252");
    }
    drawing.warnings = std::move(content.warnings);
    return drawing;
}

} // namespace dxf
