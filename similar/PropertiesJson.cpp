// A drawing's properties as JSON: one object, the names of the reader's fields in lower case.
#include "similar/PropertiesJson.h"

#include <nlohmann/json.hpp>

namespace darv::similar {
namespace {

using nlohmann::json;

json timeJson(const std::optional<dwg::StoredTime>& time)
{
    if (!time)
        return nullptr;
    return json::array({time->day, time->ms});
}

json optionalJson(const std::optional<double>& value)
{
    return value ? json(*value) : json(nullptr);
}

// Reads a field of the expected type; a field of another type makes the whole record unusable.
class Fields
{
public:
    explicit Fields(const json& object) : m_object(object) {}
    bool ok() const { return m_ok; }

    void text(const char* name, std::string& into)
    {
        if (const json* v = find(name); v && check(v->is_string()))
            into = v->get<std::string>();
    }
    void flag(const char* name, bool& into)
    {
        if (const json* v = find(name); v && check(v->is_boolean()))
            into = v->get<bool>();
    }
    void count(const char* name, std::size_t& into)
    {
        if (const json* v = find(name); v && check(v->is_number_unsigned()))
            into = v->get<std::size_t>();
    }
    void real(const char* name, std::optional<double>& into)
    {
        if (const json* v = find(name); v && !v->is_null() && check(v->is_number()))
            into = v->get<double>();
    }
    void seed(const char* name, std::optional<std::uint64_t>& into)
    {
        if (const json* v = find(name); v && !v->is_null() && check(v->is_number_unsigned()))
            into = v->get<std::uint64_t>();
    }
    void time(const char* name, std::optional<dwg::StoredTime>& into)
    {
        const json* v = find(name);
        if (!v || v->is_null())
            return;
        if (check(v->is_array() && v->size() == 2 && (*v)[0].is_number_integer() && (*v)[1].is_number_integer()))
            into = dwg::StoredTime{(*v)[0].get<std::int32_t>(), (*v)[1].get<std::int32_t>()};
    }
    void texts(const char* name, std::vector<std::string>& into)
    {
        const json* v = find(name);
        if (!v || !check(v->is_array()))
            return;
        for (const json& item : *v)
            if (check(item.is_string()))
                into.push_back(item.get<std::string>());
    }
    void pairs(const char* name, std::vector<std::pair<std::string, std::string>>& into)
    {
        const json* v = find(name);
        if (!v || !check(v->is_array()))
            return;
        for (const json& item : *v)
            if (check(item.is_array() && item.size() == 2 && item[0].is_string() && item[1].is_string()))
                into.emplace_back(item[0].get<std::string>(), item[1].get<std::string>());
    }
    const json* object(const char* name)
    {
        const json* v = find(name);
        return v && check(v->is_object()) ? v : nullptr;
    }

private:
    const json* find(const char* name) const
    {
        const auto it = m_object.find(name);
        return it == m_object.end() ? nullptr : &*it;
    }
    bool check(bool fits)
    {
        m_ok = m_ok && fits;
        return fits;
    }

    const json& m_object;
    bool m_ok = true;
};

} // namespace

std::string encodeProperties(const dwg::Drawing& d)
{
    const dwg::SummaryInfo& s = d.summary;
    json custom = json::array();
    for (const auto& [key, value] : s.custom)
        custom.push_back(json::array({key, value}));
    const json record = {
        {"format", d.format == dwg::DrawingFormat::Dxf ? "dxf" : "dwg"},
        {"version", d.version},
        {"created", timeJson(d.created)},
        {"created_is_universal", d.createdIsUniversal},
        {"created_as_written", optionalJson(d.createdAsWritten)},
        {"updated_as_written", optionalJson(d.updatedAsWritten)},
        {"updated", timeJson(d.updated)},
        {"time_in_drawing", timeJson(d.timeInDrawing)},
        {"handseed", d.handSeed ? json(*d.handSeed) : json(nullptr)},
        {"fingerprint_guid", d.fingerprintGuid},
        {"version_guid", d.versionGuid},
        {"codepage", d.codepage},
        {"last_saved_by", d.lastSavedBy},
        {"summary",
         {{"title", s.title},
          {"subject", s.subject},
          {"author", s.author},
          {"keywords", s.keywords},
          {"comments", s.comments},
          {"last_saved_by", s.lastSavedBy},
          {"revision", s.revision},
          {"hyperlink_base", s.hyperlinkBase},
          {"custom", custom}}},
        {"layers", d.layers},
        {"blocks", d.blocks},
        {"counts",
         {{"layers", d.counts.layers},
          {"blocks", d.counts.blocks},
          {"text_styles", d.counts.textStyles},
          {"linetypes", d.counts.linetypes},
          {"dim_styles", d.counts.dimStyles}}},
        {"warnings", d.warnings},
    };
    // Texts that are not UTF-8 (an old drawing's code page) are kept readable rather than refused.
    return record.dump(-1, ' ', false, json::error_handler_t::replace);
}

bool decodeProperties(std::string_view text, dwg::Drawing& d)
{
    const json record = json::parse(text.begin(), text.end(), nullptr, false);
    if (record.is_discarded() || !record.is_object())
        return false;
    Fields f(record);
    std::string format;
    f.text("format", format);
    d.format = format == "dxf" ? dwg::DrawingFormat::Dxf : dwg::DrawingFormat::Dwg;
    f.text("version", d.version);
    f.time("created", d.created);
    f.flag("created_is_universal", d.createdIsUniversal);
    f.real("created_as_written", d.createdAsWritten);
    f.real("updated_as_written", d.updatedAsWritten);
    f.time("updated", d.updated);
    f.time("time_in_drawing", d.timeInDrawing);
    f.seed("handseed", d.handSeed);
    f.text("fingerprint_guid", d.fingerprintGuid);
    f.text("version_guid", d.versionGuid);
    f.text("codepage", d.codepage);
    f.text("last_saved_by", d.lastSavedBy);
    if (const json* summary = f.object("summary")) {
        Fields s(*summary);
        dwg::SummaryInfo& info = d.summary;
        for (auto [name, field] : {std::pair{"title", &info.title},
                                   {"subject", &info.subject},
                                   {"author", &info.author},
                                   {"keywords", &info.keywords},
                                   {"comments", &info.comments},
                                   {"last_saved_by", &info.lastSavedBy},
                                   {"revision", &info.revision},
                                   {"hyperlink_base", &info.hyperlinkBase}})
            s.text(name, *field);
        s.pairs("custom", info.custom);
        if (!s.ok())
            return false;
    }
    f.texts("layers", d.layers);
    f.texts("blocks", d.blocks);
    if (const json* counts = f.object("counts")) {
        Fields c(*counts);
        c.count("layers", d.counts.layers);
        c.count("blocks", d.counts.blocks);
        c.count("text_styles", d.counts.textStyles);
        c.count("linetypes", d.counts.linetypes);
        c.count("dim_styles", d.counts.dimStyles);
        if (!c.ok())
            return false;
    }
    f.texts("warnings", d.warnings);
    return f.ok();
}

std::vector<std::string> decodeWarnings(std::string_view text)
{
    std::vector<std::string> warnings;
    // Most drawings were read whole: their record, written by encodeProperties, says so without being parsed.
    if (text.find("\"warnings\":[]") != std::string_view::npos)
        return warnings;
    const json record = json::parse(text.begin(), text.end(), nullptr, false);
    if (!record.is_discarded() && record.is_object())
        Fields(record).texts("warnings", warnings);
    return warnings;
}

} // namespace darv::similar
