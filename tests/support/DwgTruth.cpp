// Reads the NAME.truth.json files of the shared drawing corpus (the expected reading of each drawing).
#include "support/DwgTruth.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>

namespace darv::test {

namespace {

// Just enough JSON for the truth files: objects, arrays, strings (with simple escapes), numbers, null.
struct Value
{
    enum class Kind { Null, Number, String, Array, Object } kind = Kind::Null;
    double number = 0;
    std::string text;
    std::vector<Value> items;
    std::vector<std::pair<std::string, Value>> members;

    const Value* member(const std::string& name) const
    {
        for (const auto& [key, value] : members) {
            if (key == name) {
                return &value;
            }
        }
        return nullptr;
    }
};

class Parser
{
public:
    explicit Parser(const std::string& text) : m_text(text) {}

    bool parse(Value& value)
    {
        if (!parseValue(value, 0)) {
            return false;
        }
        skipSpace();
        return m_pos == m_text.size();
    }
    std::size_t position() const { return m_pos; }

private:
    void skipSpace()
    {
        while (m_pos < m_text.size() &&
               (m_text[m_pos] == ' ' || m_text[m_pos] == '\n' || m_text[m_pos] == '\r' || m_text[m_pos] == '\t')) {
            ++m_pos;
        }
    }
    bool take(char c)
    {
        skipSpace();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool parseString(std::string& out)
    {
        if (!take('"')) {
            return false;
        }
        while (m_pos < m_text.size() && m_text[m_pos] != '"') {
            char c = m_text[m_pos++];
            if (c == '\\') {
                if (m_pos >= m_text.size()) {
                    return false;
                }
                c = m_text[m_pos++];
                c = c == 'n' ? '\n' : c == 't' ? '\t' : c;
            }
            out.push_back(c);
        }
        return m_pos++ < m_text.size();
    }
    bool parseValue(Value& value, int depth)
    {
        if (depth > 16) {
            return false;
        }
        skipSpace();
        if (m_pos >= m_text.size()) {
            return false;
        }
        const char c = m_text[m_pos];
        if (c == '{') {
            ++m_pos;
            value.kind = Value::Kind::Object;
            if (take('}')) {
                return true;
            }
            do {
                std::string key;
                Value item;
                if (!parseString(key) || !take(':') || !parseValue(item, depth + 1)) {
                    return false;
                }
                value.members.emplace_back(std::move(key), std::move(item));
            } while (take(','));
            return take('}');
        }
        if (c == '[') {
            ++m_pos;
            value.kind = Value::Kind::Array;
            if (take(']')) {
                return true;
            }
            do {
                Value item;
                if (!parseValue(item, depth + 1)) {
                    return false;
                }
                value.items.push_back(std::move(item));
            } while (take(','));
            return take(']');
        }
        if (c == '"') {
            value.kind = Value::Kind::String;
            return parseString(value.text);
        }
        if (m_text.compare(m_pos, 4, "null") == 0) {
            m_pos += 4;
            value.kind = Value::Kind::Null;
            return true;
        }
        const char* begin = m_text.c_str() + m_pos;
        char* end = nullptr;
        value.number = std::strtod(begin, &end);
        if (end == begin) {
            return false;
        }
        value.kind = Value::Kind::Number;
        m_pos += static_cast<std::size_t>(end - begin);
        return true;
    }

    const std::string& m_text;
    std::size_t m_pos = 0;
};

std::optional<std::string> optionalText(const Value* value)
{
    if (value != nullptr && value->kind == Value::Kind::String) {
        return value->text;
    }
    return std::nullopt;
}

} // namespace

std::optional<DwgTruth> parseDwgTruth(const std::string& text, std::string* error)
{
    auto fail = [&](const std::string& why) -> std::optional<DwgTruth> {
        if (error != nullptr) {
            *error = why;
        }
        return std::nullopt;
    };
    Value root;
    Parser parser(text);
    if (!parser.parse(root) || root.kind != Value::Kind::Object) {
        return fail("malformed JSON near offset " + std::to_string(parser.position()));
    }
    DwgTruth truth;
    const Value* version = root.member("version");
    const Value* tdcreate = root.member("tdcreate");
    const Value* entities = root.member("entities");
    if (version == nullptr || version->kind != Value::Kind::String || tdcreate == nullptr ||
        tdcreate->kind != Value::Kind::Number || entities == nullptr || entities->kind != Value::Kind::Array) {
        return fail("missing version, tdcreate or entities");
    }
    truth.version = version->text;
    truth.tdcreate = tdcreate->number;
    if (const Value* u = root.member("tducreate"); u != nullptr && u->kind == Value::Kind::Number) {
        truth.tducreate = u->number;
    }
    truth.fingerprintGuid = optionalText(root.member("fingerprintguid"));
    for (const Value& row : entities->items) {
        if (row.kind != Value::Kind::Array || row.items.size() != 3 || row.items[0].kind != Value::Kind::String) {
            return fail("malformed entity row");
        }
        TruthEntity entity;
        entity.handle = row.items[0].text;
        entity.className = optionalText(&row.items[1]);
        entity.space = optionalText(&row.items[2]).value_or("");
        truth.entities.push_back(std::move(entity));
    }
    return truth;
}

std::optional<DwgTruth> readDwgTruthFile(const std::string& path, std::string* error)
{
    std::ifstream stream(path);
    if (!stream) {
        if (error != nullptr) {
            *error = "cannot open " + path;
        }
        return std::nullopt;
    }
    std::ostringstream text;
    text << stream.rdbuf();
    return parseDwgTruth(text.str(), error);
}

} // namespace darv::test
