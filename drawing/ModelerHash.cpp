// The content hash of modeler data: over a stream of tokens that the text form (SAT) and the binary form (SAB) of the
// same records both reduce to.
#include "drawing/Drawing.h"
#include "drawing/Geometry.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

namespace dwg {

namespace {

// The stream's token kinds; each token is hashed as its kind, then its value.
enum class Token : char {
    Name = 'N',    // a record's type name or a sub-type's name; the binary form's parts joined by '-'
    Pointer = 'P', // a record's index, -1 for none
    // An integer, a real (rounded to 40 bits of mantissa), a logical (0 or 1) or an enumeration's value: older
    // versions of the text form write some logicals as numbers too.
    Number = 'R',
    Text = 'S',
    Open = '{', // a sub-type's start and end
    Close = '}',
    End = '#', // a record's end
};

class TokenHash
{
public:
    void name(std::string_view text) { withText(Token::Name, text); }
    void text(std::string_view text) { withText(Token::Text, text); }
    void pointer(std::int64_t index) { withValue(Token::Pointer, index); }
    void flag(bool value) { number(value ? 1.0 : 0.0); }
    void mark(Token kind) { mix(static_cast<std::uint64_t>(kind)); }

    // Both forms keep reals to the last bit (the text writes 19 digits), but rounding the last 12 bits of the
    // mantissa keeps the hash from hanging on the last digit of a writer that keeps fewer. A carry out of the
    // mantissa goes into the exponent, as it should.
    void number(double value)
    {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        if (value == 0) {
            bits = 0; // -0 as 0
        } else if (std::isfinite(value)) {
            bits = (bits + (std::uint64_t{1} << 11)) & ~((std::uint64_t{1} << 12) - 1);
        }
        withValue(Token::Number, static_cast<std::int64_t>(bits));
    }

    std::uint64_t value() const { return m_hash; }

private:
    void withText(Token kind, std::string_view text)
    {
        withValue(kind, static_cast<std::int64_t>(text.size()));
        for (std::size_t at = 0; at < text.size(); at += 8) {
            std::uint64_t word = 0;
            for (std::size_t i = at; i < std::min(at + 8, text.size()); ++i) {
                word = word << 8 | static_cast<unsigned char>(text[i]);
            }
            mix(word);
        }
    }
    void withValue(Token kind, std::int64_t value)
    {
        mix(static_cast<std::uint64_t>(kind));
        mix(static_cast<std::uint64_t>(value));
    }
    // A word at a time: the records of a solid run to tens of thousands of tokens.
    void mix(std::uint64_t word)
    {
        m_hash = (m_hash ^ word) * 0x9e3779b97f4a7c15ull;
        m_hash ^= m_hash >> 29;
    }

    std::uint64_t m_hash = 0xcbf29ce484222325ull;
};

// The words the text form writes for the logicals, with the value the binary form writes for them (its tag 0x0A
// for 1, 0x0B for 0). "F" also means false elsewhere; see textFlag.
struct FlagWord
{
    std::string_view word;
    bool value;
};
constexpr FlagWord flagWords[] = {
    {"forward", false},    {"reversed", true}, {"forward_v", false}, {"reversed_v", true},
    {"single", false},     {"double", true},   {"out", false},       {"in", true},
    {"I", false},          {"T", true},        {"no_rotate", false}, {"rotate", true},
    {"no_reflect", false}, {"reflect", true},  {"no_shear", false},  {"shear", true},
};

bool isEndName(std::string_view name)
{
    return name.starts_with("End-of-") && name.ends_with("-data");
}

// ---- The text form ----

bool isBlank(char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

class TextTokens
{
public:
    explicit TextTokens(std::string_view data) : m_data(data) {}

    // The next blank-separated word; empty at the end.
    std::string_view word()
    {
        while (m_at < m_data.size() && isBlank(m_data[m_at])) {
            ++m_at;
        }
        const std::size_t start = m_at;
        while (m_at < m_data.size() && !isBlank(m_data[m_at])) {
            ++m_at;
        }
        return m_data.substr(start, m_at - start);
    }
    // The `size` characters after the blank that ends a string's length word.
    bool text(std::size_t size, std::string_view& text)
    {
        if (m_at >= m_data.size() || m_data.size() - m_at - 1 < size) {
            return false;
        }
        text = m_data.substr(m_at + 1, size);
        m_at += 1 + size;
        return true;
    }
    // Whether the next word is a number, without taking it.
    bool numberFollows() const
    {
        std::size_t at = m_at;
        while (at < m_data.size() && isBlank(m_data[at])) {
            ++at;
        }
        return at < m_data.size() && (m_data[at] == '-' || m_data[at] == '+' || m_data[at] == '.' ||
                                      (m_data[at] >= '0' && m_data[at] <= '9'));
    }

private:
    std::string_view m_data;
    std::size_t m_at = 0;
};

template <class T> bool parsed(std::string_view word, T& value)
{
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    return error == std::errc() && end == word.data() + word.size();
}

// The logical a word stands for, if it is one. "F" is an interval's finite bound (1, followed by the bound) or a
// plain false (0).
bool textFlag(std::string_view word, const TextTokens& tokens, bool& value)
{
    if (word == "F") {
        value = tokens.numberFollows();
        return true;
    }
    for (const FlagWord& known : flagWords) {
        if (known.word == word) {
            value = known.value;
            return true;
        }
    }
    return false;
}

// Where the records begin: after the header's first line (versions before 2.0) or its first three lines.
std::size_t textRecordsStart(std::string_view data)
{
    int version = 0;
    const std::string_view first = data.substr(0, data.find_first_of(" \n"));
    if (!parsed(first, version)) {
        return std::string_view::npos;
    }
    std::size_t at = 0;
    for (int line = 0; line < (version < 200 ? 1 : 3); ++line) {
        at = data.find('\n', at);
        if (at == std::string_view::npos) {
            return at;
        }
        ++at;
    }
    return at;
}

bool hashText(std::string_view data, TokenHash& hash)
{
    const std::size_t start = textRecordsStart(data);
    if (start == std::string_view::npos) {
        return false;
    }
    TextTokens tokens(data.substr(start));
    bool recordStart = true;
    for (std::string_view word = tokens.word(); !word.empty(); word = tokens.word()) {
        std::int64_t integer = 0;
        double real = 0;
        bool flag = false;
        if (word == "#") {
            hash.mark(Token::End);
            recordStart = true;
            continue;
        }
        if (recordStart && word.starts_with('-') && parsed(word.substr(1), integer)) {
            continue; // the record's own number, where the header asks for numbered records
        }
        recordStart = false;
        if (word == "{" || word == "}") {
            hash.mark(word == "{" ? Token::Open : Token::Close);
        } else if (word.starts_with('$')) {
            if (!parsed(word.substr(1), integer)) {
                return false;
            }
            hash.pointer(integer);
        } else if (word.starts_with('@')) {
            std::string_view text;
            std::size_t size = 0;
            if (!parsed(word.substr(1), size) || !tokens.text(size, text)) {
                return false;
            }
            hash.text(text);
        } else if (parsed(word, integer)) {
            hash.number(static_cast<double>(integer));
        } else if (parsed(word, real)) {
            hash.number(real);
        } else if (textFlag(word, tokens, flag)) {
            hash.flag(flag);
        } else if (isEndName(word)) {
            return true;
        } else {
            hash.name(word);
        }
    }
    return recordStart; // the last record is whole
}

// ---- The binary form ----

class BinaryTokens
{
public:
    explicit BinaryTokens(std::string_view data) : m_data(data) {}

    bool byte(std::uint8_t& value)
    {
        if (m_at >= m_data.size()) {
            return false;
        }
        value = static_cast<std::uint8_t>(m_data[m_at++]);
        return true;
    }
    // A little-endian unsigned number of `size` bytes.
    bool unsignedOf(std::size_t size, std::uint64_t& value)
    {
        if (m_data.size() - m_at < size) {
            return false;
        }
        value = 0;
        for (std::size_t i = 0; i < size; ++i) {
            value |= std::uint64_t{static_cast<std::uint8_t>(m_data[m_at + i])} << (8 * i);
        }
        m_at += size;
        return true;
    }
    bool signedOf(std::size_t size, std::int64_t& value)
    {
        std::uint64_t bits = 0;
        if (!unsignedOf(size, bits)) {
            return false;
        }
        const std::uint64_t sign = std::uint64_t{1} << (8 * size - 1);
        value = static_cast<std::int64_t>((bits ^ sign) - sign);
        return true;
    }
    bool real(double& value)
    {
        std::uint64_t bits = 0;
        if (!unsignedOf(8, bits)) {
            return false;
        }
        std::memcpy(&value, &bits, sizeof value);
        return true;
    }
    bool text(std::size_t lengthBytes, std::string_view& text)
    {
        std::uint64_t size = 0;
        if (!unsignedOf(lengthBytes, size) || m_data.size() - m_at < size) {
            return false;
        }
        text = m_data.substr(m_at, static_cast<std::size_t>(size));
        m_at += static_cast<std::size_t>(size);
        return true;
    }
    void skipTo(std::size_t at) { m_at = std::min(at, m_data.size()); }

private:
    std::string_view m_data;
    std::size_t m_at = 0;
};

// The header: its name and four numbers, three tagged strings (program, modeler version, date) and three tagged
// reals (units, tolerances). False when it is not of that form.
bool skipBinaryHeader(BinaryTokens& tokens)
{
    tokens.skipTo(15 + 16); // "ACIS BinaryFile" or "ASM BinaryFile4", then four 32-bit numbers
    for (int i = 0; i < 3; ++i) {
        std::uint8_t tag = 0;
        std::string_view text;
        if (!tokens.byte(tag) || (tag != 7 && tag != 8) || !tokens.text(tag == 7 ? 1 : 2, text)) {
            return false;
        }
    }
    for (int i = 0; i < 3; ++i) {
        std::uint8_t tag = 0;
        double value = 0;
        if (!tokens.byte(tag) || tag != 6 || !tokens.real(value)) {
            return false;
        }
    }
    return true;
}

// One token of the binary form after its tag; false when the tag is unknown or the token is cut short. `name` gathers
// the parts of a type name.
bool hashBinaryToken(std::uint8_t tag, BinaryTokens& tokens, TokenHash& hash, std::string& name, bool& end)
{
    std::int64_t integer = 0;
    double real = 0;
    std::string_view text;
    switch (tag) {
    case 0x02: // char, short, long
    case 0x03:
    case 0x04:
        if (!tokens.signedOf(tag == 0x02 ? 1 : tag == 0x03 ? 2 : 4, integer)) {
            return false;
        }
        hash.number(static_cast<double>(integer));
        return true;
    case 0x15: { // an enumeration's value
        std::uint64_t value = 0;
        if (!tokens.unsignedOf(4, value)) {
            return false;
        }
        hash.number(static_cast<double>(value));
        return true;
    }
    case 0x05: { // float
        std::uint64_t bits = 0;
        if (!tokens.unsignedOf(4, bits)) {
            return false;
        }
        const auto narrow = static_cast<std::uint32_t>(bits);
        float value = 0;
        std::memcpy(&value, &narrow, sizeof value);
        hash.number(value);
        return true;
    }
    case 0x06:
        if (!tokens.real(real)) {
            return false;
        }
        hash.number(real);
        return true;
    case 0x13: // a position and a vector: three reals
    case 0x14:
        for (int i = 0; i < 3; ++i) {
            if (!tokens.real(real)) {
                return false;
            }
            hash.number(real);
        }
        return true;
    case 0x07:
    case 0x08:
    case 0x09:
    case 0x12:
        if (!tokens.text(tag == 0x07 ? 1 : tag == 0x08 ? 2 : 4, text)) {
            return false;
        }
        hash.text(text);
        return true;
    case 0x0a:
    case 0x0b:
        hash.flag(tag == 0x0a);
        return true;
    case 0x0c:
        if (!tokens.signedOf(4, integer)) {
            return false;
        }
        hash.pointer(integer);
        return true;
    case 0x0d:
    case 0x0e:
        if (!tokens.text(1, text)) {
            return false;
        }
        name.append(text);
        if (tag == 0x0e) {
            name.push_back('-');
            return true;
        }
        end = isEndName(name);
        if (!end) {
            hash.name(name);
        }
        name.clear();
        return true;
    case 0x0f:
        hash.mark(Token::Open);
        return true;
    case 0x10:
        hash.mark(Token::Close);
        return true;
    case 0x11:
        hash.mark(Token::End);
        return true;
    default:
        return false;
    }
}

bool hashBinary(std::string_view data, TokenHash& hash)
{
    BinaryTokens tokens(data);
    if (!skipBinaryHeader(tokens)) {
        return false;
    }
    std::string name;
    bool end = false;
    while (!end) {
        std::uint8_t tag = 0;
        if (!tokens.byte(tag) || !hashBinaryToken(tag, tokens, hash, name, end)) {
            return false;
        }
        if (!name.empty() && tag != 0x0e) {
            return false; // a type name's part without its last part
        }
    }
    return true;
}

} // namespace

std::optional<std::uint64_t> modelerHash(const ModelerContents& modeler)
{
    TokenHash hash;
    if (!(modeler.binary ? hashBinary(modeler.data, hash) : hashText(modeler.data, hash))) {
        return std::nullopt;
    }
    return hash.value();
}

std::string modelerHashWarning(const Drawing& drawing)
{
    std::size_t unhashed = 0;
    const auto count = [&unhashed](const std::vector<Entity>& entities) {
        for (const Entity& entity : entities) {
            const auto* modeler = entity.data.get_if<ModelerContents>();
            unhashed += modeler != nullptr && !modeler->hash ? 1u : 0u;
        }
    };
    count(drawing.entities);
    for (const BlockDefinition& block : drawing.blockDefinitions) {
        count(block.entities);
    }
    return unhashed == 0 ? std::string()
                         : std::to_string(unhashed) +
                               " solids' modeler data could not be decoded whole: they have no content hash";
}

} // namespace dwg
