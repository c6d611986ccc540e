// The one place that touches DXF bytes: splits ASCII lines or decodes binary groups, with every bound checked.
#include "dxf/GroupSource.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace dxf {

namespace {

constexpr std::string_view binarySentinel{"AutoCAD Binary DXF\r\n\x1a\0", 22};

enum class BinaryType { String, Real, Int16, Int32, Int64, Bool, Chunk, Unknown };

// The value type of a group code, as the DXF reference assigns it to code ranges.
BinaryType binaryType(int code)
{
    if ((code >= 0 && code <= 9) || (code >= 100 && code <= 102) || code == 105 || (code >= 300 && code <= 309) ||
        (code >= 320 && code <= 369) || (code >= 390 && code <= 399) || (code >= 410 && code <= 419) ||
        (code >= 430 && code <= 439) || (code >= 470 && code <= 481) || code == 999 ||
        (code >= 1000 && code <= 1009 && code != 1004)) {
        return BinaryType::String;
    }
    if ((code >= 10 && code <= 59) || (code >= 110 && code <= 149) || (code >= 210 && code <= 239) ||
        (code >= 460 && code <= 469) || (code >= 1010 && code <= 1059)) {
        return BinaryType::Real;
    }
    if ((code >= 60 && code <= 79) || (code >= 170 && code <= 179) || (code >= 270 && code <= 289) ||
        (code >= 370 && code <= 389) || (code >= 400 && code <= 409) || (code >= 1060 && code <= 1070)) {
        return BinaryType::Int16;
    }
    if ((code >= 90 && code <= 99) || (code >= 420 && code <= 429) || (code >= 440 && code <= 459) || code == 1071) {
        return BinaryType::Int32;
    }
    if (code >= 160 && code <= 169) {
        return BinaryType::Int64;
    }
    if (code >= 290 && code <= 299) {
        return BinaryType::Bool;
    }
    if ((code >= 310 && code <= 319) || code == 1004) {
        return BinaryType::Chunk;
    }
    return BinaryType::Unknown;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (isBlank(text.back()) || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

// Blank lines, NULs and the old end-of-file mark (Ctrl-Z) after the last group are not data.
bool onlyPadding(std::span<const std::uint8_t> rest)
{
    for (std::uint8_t byte : rest) {
        if (byte != ' ' && byte != '\t' && byte != '\r' && byte != '\n' && byte != 0 && byte != 0x1a) {
            return false;
        }
    }
    return true;
}

// A group code line: blanks, decimal digits, blanks. Negative when the line is anything else.
int groupCodeOf(std::string_view line)
{
    std::size_t i = 0;
    while (i < line.size() && isBlank(line[i])) {
        ++i;
    }
    const std::size_t first = i;
    int code = 0;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9' && i - first < 6) {
        code = code * 10 + (line[i] - '0');
        ++i;
    }
    const std::size_t digits = i - first;
    while (i < line.size() && isBlank(line[i])) {
        ++i;
    }
    return digits > 0 && i == line.size() ? code : -1;
}

// The length of the line at begin (up to its end character, or all that is left). Most lines are short (a group
// code, a number): eight bytes at a time beat a library call there; long lines (hex data) go to memchr.
std::size_t lineLength(const char* begin, std::size_t left, char end)
{
    std::size_t length = 0;
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t ones = 0x0101010101010101u;
        constexpr std::uint64_t highs = 0x8080808080808080u;
        const std::uint64_t pattern = ones * static_cast<unsigned char>(end);
        for (; length + 8 <= left && length < 32; length += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, begin + length, 8);
            word ^= pattern; // a zero byte where the end character is
            // The lowest set bit marks the first zero byte exactly (borrows only run towards higher bytes).
            if (const std::uint64_t zero = (word - ones) & ~word & highs; zero != 0) {
                return length + static_cast<std::size_t>(std::countr_zero(zero)) / 8;
            }
        }
    }
    if (left - length > 16) {
        const void* found = std::memchr(begin + length, end, left - length);
        return found ? static_cast<std::size_t>(static_cast<const char*>(found) - begin) : left;
    }
    while (length < left && begin[length] != end) {
        ++length;
    }
    return length;
}

template <class T> T littleEndian(const std::uint8_t* bytes)
{
    std::uint64_t value = 0;
    for (std::size_t i = sizeof(T); i-- > 0;) {
        value = (value << 8) | bytes[i];
    }
    return static_cast<T>(value);
}

std::string groupCodeText(int code)
{
    return "DXF group code " + std::to_string(code);
}

// A number written on a line of an ASCII file: blanks around it and a leading '+' are allowed,
// anything else after the digits is not.
template <typename Number> bool numberFromLine(std::string_view text, Number& out)
{
    std::string_view value = trimmed(text);
    if (!value.empty() && value.front() == '+') {
        value.remove_prefix(1);
    }
    const auto result = std::from_chars(value.data(), value.data() + value.size(), out);
    return result.ec == std::errc() && result.ptr == value.data() + value.size();
}

} // namespace

bool Group::toReal(double& out) const
{
    switch (form) {
    case ValueForm::Real:
        out = real;
        return std::isfinite(real);
    case ValueForm::Integer:
        out = static_cast<double>(integer);
        return true;
    case ValueForm::Line:
        return numberFromLine(text, out) && std::isfinite(out);
    case ValueForm::String:
    case ValueForm::Chunk:
        return false;
    }
    return false;
}

bool Group::toInteger(std::int64_t& out) const
{
    switch (form) {
    case ValueForm::Integer:
        out = integer;
        return true;
    case ValueForm::Real:
        if (!std::isfinite(real) || std::fabs(real) > 9.0e15) {
            return false;
        }
        out = static_cast<std::int64_t>(real);
        return true;
    case ValueForm::Line:
        return numberFromLine(text, out);
    case ValueForm::String:
    case ValueForm::Chunk:
        return false;
    }
    return false;
}

bool Group::toHandle(std::uint64_t& out) const
{
    const std::string_view value = trimmed(text);
    if (value.empty() || value.size() > 16) {
        return false;
    }
    const auto result = std::from_chars(value.data(), value.data() + value.size(), out, 16);
    return result.ec == std::errc() && result.ptr == value.data() + value.size();
}

std::string_view Group::word() const
{
    return trimmed(text);
}

std::optional<GroupSource> GroupSource::open(std::span<const std::uint8_t> bytes)
{
    GroupSource source;
    source.m_bytes = bytes;
    const std::string_view start(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (start.substr(0, binarySentinel.size()) == binarySentinel) {
        source.m_binary = true;
        source.m_pos = binarySentinel.size();
        // The first group is "0 SECTION": a second zero byte means two-byte group codes (R13 and later).
        source.m_oneByteCodes = bytes.size() > source.m_pos + 1 && bytes[source.m_pos + 1] != 0;
        return source;
    }
    if (start.substr(0, 3) == "\xEF\xBB\xBF") {
        source.m_pos = 3;
    }
    const std::size_t firstEnd = start.find_first_of("\r\n", source.m_pos);
    if (firstEnd == std::string_view::npos) {
        return std::nullopt;
    }
    const bool crAlone = start[firstEnd] == '\r' && (firstEnd + 1 >= start.size() || start[firstEnd + 1] != '\n');
    source.m_lineEnd = crAlone ? '\r' : '\n';
    return source;
}

bool GroupSource::fail(dwg::ErrorCode code, std::uint64_t offset, std::string detail)
{
    m_fault = dwg::DwgError{code, offset, std::move(detail)};
    m_pos = m_bytes.size();
    return false;
}

bool GroupSource::advance()
{
    bool read = !m_fault;
    while (read) {
        read = m_binary ? advanceBinary() : advanceAscii();
        if (read && m_group.code != 999) {
            return true;
        }
    }
    m_group = Group{};
    m_group.code = -1;
    m_group.offset = m_bytes.size();
    return false;
}

std::string_view GroupSource::nextLine()
{
    const char* begin = reinterpret_cast<const char*>(m_bytes.data()) + m_pos;
    const std::size_t left = m_bytes.size() - m_pos;
    const std::size_t length = lineLength(begin, left, m_lineEnd);
    m_pos += length < left ? length + 1 : length;
    std::size_t kept = length;
    while (kept > 0 && begin[kept - 1] == '\r') {
        --kept;
    }
    return {begin, kept};
}

bool GroupSource::advanceAscii()
{
    if (onlyPadding(m_bytes.subspan(m_pos))) {
        m_pos = m_bytes.size();
        return false;
    }
    const std::uint64_t offset = m_pos;
    const int code = groupCodeOf(nextLine());
    if (code < 0) {
        return fail(dwg::ErrorCode::Corrupt, offset, "DXF line that is no group code");
    }
    if (m_pos >= m_bytes.size()) {
        return fail(dwg::ErrorCode::Truncated, offset, "DXF group without its value");
    }
    m_group.code = code;
    m_group.form = ValueForm::Line;
    m_group.offset = offset;
    m_group.text = nextLine();
    return true;
}

bool GroupSource::advanceBinary()
{
    if (m_pos >= m_bytes.size()) {
        return false;
    }
    const std::uint64_t offset = m_pos;
    const std::size_t left = m_bytes.size() - m_pos;
    int code = 0;
    if (m_oneByteCodes && m_bytes[m_pos] != 255) {
        code = m_bytes[m_pos];
        m_pos += 1;
    } else {
        const std::size_t skip = m_oneByteCodes ? 1 : 0;
        if (left < skip + 2) {
            return fail(dwg::ErrorCode::Truncated, offset, "DXF group code");
        }
        code = littleEndian<std::uint16_t>(m_bytes.data() + m_pos + skip);
        m_pos += skip + 2;
    }
    m_group.code = code;
    m_group.offset = offset;
    m_group.text = {};
    return readBinaryValue();
}

bool GroupSource::readBinaryValue()
{
    const std::uint64_t offset = m_group.offset;
    const std::size_t left = m_bytes.size() - m_pos;
    const std::uint8_t* at = m_bytes.data() + m_pos;
    const auto need = [&](std::size_t size) {
        return size <= left || fail(dwg::ErrorCode::Truncated, offset, "DXF group value");
    };
    switch (binaryType(m_group.code)) {
    case BinaryType::String: {
        const void* nul = std::memchr(at, 0, left);
        if (!nul) {
            return fail(dwg::ErrorCode::Truncated, offset, "DXF text value");
        }
        const std::size_t length = static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - at);
        m_group.form = ValueForm::String;
        m_group.text = {reinterpret_cast<const char*>(at), length};
        m_pos += length + 1;
        return true;
    }
    case BinaryType::Real: {
        if (!need(8)) {
            return false;
        }
        const std::uint64_t bits = littleEndian<std::uint64_t>(at);
        std::memcpy(&m_group.real, &bits, sizeof bits);
        m_group.form = ValueForm::Real;
        m_pos += 8;
        return true;
    }
    case BinaryType::Int16:
    case BinaryType::Int32:
    case BinaryType::Int64:
    case BinaryType::Bool: {
        const BinaryType type = binaryType(m_group.code);
        const std::size_t size = type == BinaryType::Bool    ? 1
                                 : type == BinaryType::Int16 ? 2
                                 : type == BinaryType::Int32 ? 4
                                                             : 8;
        if (!need(size)) {
            return false;
        }
        m_group.form = ValueForm::Integer;
        m_group.integer = size == 1   ? at[0]
                          : size == 2 ? littleEndian<std::int16_t>(at)
                          : size == 4 ? littleEndian<std::int32_t>(at)
                                      : littleEndian<std::int64_t>(at);
        m_pos += size;
        return true;
    }
    case BinaryType::Chunk: {
        if (!need(1) || !need(std::size_t{1} + at[0])) {
            return false;
        }
        m_group.form = ValueForm::Chunk;
        m_group.text = {reinterpret_cast<const char*>(at + 1), at[0]};
        m_pos += std::size_t{1} + at[0];
        return true;
    }
    case BinaryType::Unknown:
        break;
    }
    return fail(dwg::ErrorCode::Corrupt, offset, groupCodeText(m_group.code) + " of unknown size");
}

bool startsLikeDxf(std::span<const std::uint8_t> bytes)
{
    auto source = GroupSource::open(bytes);
    if (!source) {
        return false;
    }
    if (source->binary()) {
        return true;
    }
    // Comments are passed over by the source; the first real group must open a section (or end an empty file).
    if (!source->advance()) {
        return false;
    }
    return source->current().is(0, "SECTION") || source->current().is(0, "EOF");
}

} // namespace dxf
