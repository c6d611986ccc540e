// The body of a table (ACAD_TABLE) as drawings before 2010 keep it: an INSERT of its drawn block, then the grid and
// every cell.
#include "dwg/GeometryReaders.h"
#include <string>
#include <utility>

namespace dwg {

namespace {

// A cell's value (2007 and later): its format and type, the value, its unit, format and shown text. Returns the
// shown text.
std::string readCellValue(EntityFields& fields)
{
    BitReader& data = fields.data();
    const auto format = static_cast<std::uint32_t>(data.readBitLong());
    const auto type = static_cast<std::uint32_t>(data.readBitLong());
    if ((format & 1) == 0) {
        switch (type) {
        case 0: // unknown
        case 1: // long
            data.readBitLong();
            break;
        case 2: // double
            data.skipBitDoubles(1);
            break;
        case 64: // object: its handle is in the handle stream
            break;
        default: { // string (UTF-16), date, point, 3D point...: their bytes with their size
            const auto size = static_cast<std::uint32_t>(data.readBitLong());
            if (size > data.remaining() / 8) {
                data.fail();
                return {};
            }
            data.skipBytes(size);
            break;
        }
        }
    }
    const auto unit = static_cast<std::uint32_t>(data.readBitLong());
    fields.text(); // format
    return unit != 12 ? fields.text() : std::string();
}

// A table keeps its colours with the true colour and the names in every version.
void skipTableColor(EntityFields& fields)
{
    BitReader& data = fields.data();
    data.readBitShort(); // index
    data.readBitLong();  // true colour
    const std::uint8_t names = data.readByte();
    if ((names & 1) != 0) {
        fields.text();
    }
    if ((names & 2) != 0) {
        fields.text();
    }
}

// The overrides of one cell, each present when its flag is set.
void skipCellOverrides(EntityFields& fields)
{
    BitReader& data = fields.data();
    const auto flags = static_cast<std::uint32_t>(data.readBitLong());
    data.readByte(); // virtual edge
    if ((flags & 0x01) != 0) {
        data.readBitShort(); // alignment
    }
    if ((flags & 0x02) != 0) {
        data.readBit(); // no background fill
    }
    if ((flags & 0x04) != 0) {
        skipTableColor(fields); // background
    }
    if ((flags & 0x08) != 0) {
        skipTableColor(fields); // content
    }
    if ((flags & 0x20) != 0) {
        data.skipBitDoubles(1); // text height
    }
    // Each edge (top, right, bottom, left): colour, line weight, visibility.
    for (unsigned edge = 0; edge < 4; ++edge) {
        if ((flags & (0x40u << edge)) != 0) {
            skipTableColor(fields);
        }
        if ((flags & (0x400u << edge)) != 0) {
            data.readBitShort();
        }
        if ((flags & (0x4000u << edge)) != 0) {
            data.readBitShort();
        }
    }
}

bool readCell(EntityFields& fields, std::string& text)
{
    BitReader& data = fields.data();
    const auto type = static_cast<std::uint16_t>(data.readBitShort());
    data.readByte();        // flags
    data.skipBits(2);       // merged, fitted automatically
    data.readBitLong();     // merged width
    data.readBitLong();     // merged height
    data.skipBitDoubles(1); // rotation
    bool overrides = false;
    if (type == 1) {
        // 2007 and later keep the text as the value's shown text only.
        if (!fields.flags().r2007Plus) {
            text = fields.text();
        }
        overrides = data.readBit();
    } else if (type == 2) {
        data.skipBitDoubles(1); // block scale
        if (data.readBit()) {
            // The block's attribute definitions (their handles are in the handle stream) and texts.
            const auto attributes = static_cast<std::uint16_t>(data.readBitShort());
            for (std::uint16_t i = 0; i < attributes && !fields.failed(); ++i) {
                data.readBitShort(); // index
                fields.text();
            }
        }
        overrides = data.readBit();
    }
    if (overrides) {
        skipCellOverrides(fields);
    }
    // 2007 and later keep the value of every text or block cell.
    if ((type == 1 || type == 2) && fields.flags().r2007Plus) {
        data.readBitLong(); // unknown
        std::string shown = readCellValue(fields);
        if (type == 1) {
            text = std::move(shown);
        }
    }
    return !fields.failed();
}

} // namespace

bool readTable(EntityFields& fields, TableContents& table)
{
    BitReader& data = fields.data();
    table.position = readInsert(fields).position;
    data.skipBitDoubles(3); // extrusion
    if (data.readBit() && fields.flags().r2004Plus) {
        data.readBitLong(); // attributes owned
    }
    data.readBitShort();    // flags for the table's value
    data.skipBitDoubles(3); // horizontal direction
    table.columns = static_cast<std::uint32_t>(data.readBitLong());
    table.rows = static_cast<std::uint32_t>(data.readBitLong());
    // Each column and row has its size, each cell takes far more than a bit.
    const std::uint64_t cells = std::uint64_t{table.rows} * table.columns;
    if (fields.failed() || !plausibleCount(fields, std::uint64_t{table.rows} + table.columns, 2) ||
        !plausibleCount(fields, cells, 16)) {
        return false;
    }
    data.skipBitDoubles(table.columns); // widths
    data.skipBitDoubles(table.rows);    // heights
    table.cells.resize(static_cast<std::size_t>(cells));
    for (std::string& cell : table.cells) {
        if (!readCell(fields, cell)) {
            return false;
        }
    }
    return !fields.failed();
}

} // namespace dwg
