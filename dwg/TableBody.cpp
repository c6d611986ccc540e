// The body of a table (ACAD_TABLE): an INSERT of its drawn block, then before 2010 the grid and every cell, from 2010
// on the table's content (columns, rows and the cells of each row, every cell with its contents and style overrides).
#include "drawing/Utf8.h"
#include "dwg/GeometryReaders.h"
#include <string>
#include <utility>
#include <vector>

namespace dwg {

namespace {

// A string value's characters: UTF-16, little-endian, ending with a null.
std::string utf16Text(const std::vector<std::uint8_t>& bytes)
{
    std::string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        std::uint32_t unit = bytes[i] | (std::uint32_t{bytes[i + 1]} << 8);
        if (unit == 0) {
            break;
        }
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
            const std::uint32_t low = bytes[i + 2] | (std::uint32_t{bytes[i + 3]} << 8);
            unit = low >= 0xDC00 && low < 0xE000 ? 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00) : 0xFFFD;
            i += 2;
        } else if (unit >= 0xD800 && unit < 0xE000) {
            unit = 0xFFFD;
        }
        appendUtf8(text, unit);
    }
    return text;
}

// A cell's value (2007 and later): its format and type, the value, its unit, format and shown text. Returns the
// shown text; a string value that keeps no shown text (as later versions save them) shows the string itself.
std::string readCellValue(EntityFields& fields)
{
    BitReader& data = fields.data();
    const auto format = static_cast<std::uint32_t>(data.readBitLong());
    const auto type = static_cast<std::uint32_t>(data.readBitLong());
    std::vector<std::uint8_t> string; // a string value's characters
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
            if (type != 4) {
                data.skipBytes(size);
                break;
            }
            string.resize(size);
            data.readBytes(string.data(), string.size());
            break;
        }
        }
    }
    const auto unit = static_cast<std::uint32_t>(data.readBitLong());
    fields.skipText(); // format
    std::string shown = unit != 12 ? fields.text() : std::string();
    return shown.empty() ? utf16Text(string) : shown;
}

// A table keeps its colours with the true colour and the names in every version.
void skipTableColor(EntityFields& fields)
{
    BitReader& data = fields.data();
    data.readBitShort(); // index
    data.readBitLong();  // true colour
    const std::uint8_t names = data.readByte();
    if ((names & 1) != 0) {
        fields.skipText();
    }
    if ((names & 2) != 0) {
        fields.skipText();
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
                fields.skipText();
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

// From 2010 on: a colour with its true colour and names (as before), and a handle in the handle stream where noted.
// The content format of a cell, a cell style or a cell content: its text style's handle is in the handle stream.
void skipContentFormat(EntityFields& fields)
{
    BitReader& data = fields.data();
    data.readBitLong();     // property overrides
    data.readBitLong();     // property flags
    data.readBitLong();     // value data type
    data.readBitLong();     // value unit type
    fields.skipText();      // value format
    data.skipBitDoubles(2); // rotation, block scale
    data.readBitLong();     // alignment
    skipTableColor(fields); // content colour
    data.skipBitDoubles(1); // text height
}

void skipCellStyle(EntityFields& fields)
{
    BitReader& data = fields.data();
    data.readBitLong(); // type
    if (data.readBitShort() == 0) {
        return; // no data
    }
    data.readBitLong();     // property overrides
    data.readBitLong();     // merge flags
    skipTableColor(fields); // background
    data.readBitLong();     // content layout
    skipContentFormat(fields);
    if ((data.readBitShort() & 1) != 0) {
        data.skipBitDoubles(6); // margins and their spacing
    }
    const auto borders = static_cast<std::uint32_t>(data.readBitLong());
    if (!plausibleCount(fields, borders, 8)) {
        return;
    }
    for (std::uint32_t i = 0; i < borders && !fields.failed(); ++i) {
        if (data.readBitLong() == 0) {
            continue; // no edge
        }
        data.readBitLong();     // property overrides
        data.readBitLong();     // border type
        skipTableColor(fields); // colour
        data.readBitLong();     // line weight
        data.readBitLong();     // invisible
        data.skipBitDoubles(1); // double line spacing
    }
}

// Named values of a column, a row or a cell: each a name and a value.
void skipCustomData(EntityFields& fields)
{
    const auto items = static_cast<std::uint32_t>(fields.data().readBitLong());
    if (!plausibleCount(fields, items, 8)) {
        return;
    }
    for (std::uint32_t i = 0; i < items && !fields.failed(); ++i) {
        fields.skipText(); // name
        readCellValue(fields);
    }
}

// One content of a cell (a value, a field or a block): the shown text of a value, empty for the others.
std::string readCellContent(EntityFields& fields)
{
    BitReader& data = fields.data();
    std::string text;
    if (data.readBitLong() == 1) { // a value; a field's and a block's handles are in the handle stream
        text = readCellValue(fields);
    }
    const auto attributes = static_cast<std::uint32_t>(data.readBitLong());
    if (!plausibleCount(fields, attributes, 8)) {
        return {};
    }
    for (std::uint32_t i = 0; i < attributes && !fields.failed(); ++i) {
        fields.skipText();  // value; the definition's handle is in the handle stream
        data.readBitLong(); // index
    }
    if (data.readBitShort() != 0) {
        skipContentFormat(fields);
    }
    return text;
}

// A cell of the content: its text is that of its first content with one.
bool readContentCell(EntityFields& fields, std::string& text)
{
    BitReader& data = fields.data();
    data.readBitLong(); // state
    fields.skipText();  // tooltip
    data.readBitLong(); // custom data
    skipCustomData(fields);
    if (data.readBitLong() == 1) { // linked data: its handle is in the handle stream
        data.readBitLong();        // rows
        data.readBitLong();        // columns
        data.readBitLong();        // unknown
    }
    const auto contents = static_cast<std::uint32_t>(data.readBitLong());
    if (!plausibleCount(fields, contents, 8)) {
        return false;
    }
    for (std::uint32_t i = 0; i < contents && !fields.failed(); ++i) {
        std::string shown = readCellContent(fields);
        if (text.empty()) {
            text = std::move(shown);
        }
    }
    skipCellStyle(fields);
    data.readBitLong(); // cell style
    if (data.readBitLong() != 0) {
        data.readBitLong();
        data.skipBitDoubles(2);
        if (data.readBitLong() != 0) {  // geometry; an unknown handle is in the handle stream
            data.skipBitDoubles(3 + 3); // distances to the top left and to the centre
            data.skipBitDoubles(4);     // content width and height, width and height
            data.readBitLong();         // flags
        }
    }
    return !fields.failed();
}

// The table's content from 2010 on, without an object's common data: name, columns, then rows with their cells.
bool readTableContent(EntityFields& fields, TableContents& table)
{
    BitReader& data = fields.data();
    fields.skipText(); // name
    fields.skipText(); // description
    table.columns = static_cast<std::uint32_t>(data.readBitLong());
    if (!plausibleCount(fields, table.columns, 16)) {
        return false;
    }
    for (std::uint32_t i = 0; i < table.columns && !fields.failed(); ++i) {
        fields.skipText();  // name
        data.readBitLong(); // custom data
        skipCustomData(fields);
        skipCellStyle(fields);
        data.readBitLong();     // cell style
        data.skipBitDoubles(1); // width
    }
    table.rows = static_cast<std::uint32_t>(data.readBitLong());
    if (fields.failed() || !plausibleCount(fields, table.rows, 16) ||
        !plausibleCount(fields, std::uint64_t{table.rows} * table.columns, 16)) {
        return false;
    }
    table.cells.reserve(std::size_t{table.rows} * table.columns);
    for (std::uint32_t row = 0; row < table.rows && !fields.failed(); ++row) {
        // Every row holds a cell for each column, merged ones included.
        if (static_cast<std::uint32_t>(data.readBitLong()) != table.columns) {
            data.fail();
            return false;
        }
        for (std::uint32_t column = 0; column < table.columns; ++column) {
            if (!readContentCell(fields, table.cells.emplace_back())) {
                return false;
            }
        }
        data.readBitLong(); // custom data
        skipCustomData(fields);
        skipCellStyle(fields);
        data.readBitLong();     // cell style
        data.skipBitDoubles(1); // height
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
    if (fields.flags().r2010Plus) {
        data.readByte();    // unknown; an unknown handle is in the handle stream
        data.readBitLong(); // unknown
        if (fields.flags().r2013Plus) {
            data.readBitLong();
        } else {
            data.readBit();
        }
        return readTableContent(fields, table);
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
