// The one place that touches DXF bytes: splits ASCII lines or decodes binary groups, with every bound checked.
#pragma once

#include "drawing/Drawing.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace dxf {

// How a group's value was stored. ASCII files hold every value as a line of text; binary files store numbers
// as numbers.
enum class ValueForm : std::uint8_t { Line, String, Real, Integer, Chunk };

struct Group
{
    int code = 0;
    ValueForm form = ValueForm::Line;
    std::string_view text;    // Line, String and Chunk values; empty for binary numbers
    double real = 0;          // binary Real values
    std::int64_t integer = 0; // binary Integer values
    std::uint64_t offset = 0; // file offset of the group code

    // The value as a number; false when it is not one (a damaged line, a string group).
    bool toReal(double& out) const;
    bool toInteger(std::int64_t& out) const;
    // A handle: upper- or lower-case hexadecimal text of at most 16 digits.
    bool toHandle(std::uint64_t& out) const;
    // The text without surrounding blanks, for names that structure the file ("SECTION", "$ACADVER").
    std::string_view word() const;
    bool is(int groupCode, std::string_view value) const { return code == groupCode && word() == value; }
    bool isEnd() const { return code < 0; }
};

class GroupSource
{
public:
    // Empty when the bytes are neither a binary DXF (its 22-byte sentinel) nor text with a line end.
    static std::optional<GroupSource> open(std::span<const std::uint8_t> bytes);

    // Reads the next group into current(). False at the end of the data or at a fault (see fault()); current() is
    // then the end mark (code -1). Comments (group 999) are passed over.
    bool advance();
    const Group& current() const { return m_group; }

    bool binary() const { return m_binary; }
    bool atEnd() const { return m_pos >= m_bytes.size(); }
    const std::optional<dwg::DwgError>& fault() const { return m_fault; }

private:
    GroupSource() = default;
    bool advanceAscii();
    bool advanceBinary();
    std::string_view nextLine();
    bool readBinaryValue();
    bool fail(dwg::ErrorCode code, std::uint64_t offset, std::string detail);

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
    bool m_binary = false;
    bool m_oneByteCodes = false; // binary files before R13
    char m_lineEnd = '\n';       // '\r' for files that end lines with a carriage return alone
    Group m_group;
    std::optional<dwg::DwgError> m_fault;
};

// True for a binary DXF sentinel or text whose first groups are a DXF start ("0 SECTION" or "0 EOF").
bool startsLikeDxf(std::span<const std::uint8_t> bytes);

} // namespace dxf
