// A project's last complete check, kept in the evidence store as one CBOR record.
#include "similar/LastResult.h"

#include "similar/PropertiesJson.h"
#include "similar/Students.h"

#include <nlohmann/json.hpp>

namespace darv::similar {
namespace {

using nlohmann::json;
// Paths keep their bytes, whatever their encoding: as CBOR byte strings.
json bytes(const std::string& text)
{
    return json::binary(std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::string fromBytes(const json& value)
{
    const auto& b = value.get_binary();
    return std::string(b.begin(), b.end());
}

json pathList(const std::vector<std::string>& paths)
{
    json list = json::array();
    for (const std::string& p : paths)
        list.push_back(bytes(p));
    return list;
}

std::vector<std::string> pathsOf(const json& list)
{
    std::vector<std::string> paths;
    for (const json& p : list)
        paths.push_back(fromBytes(p));
    return paths;
}

json nameJson(const DrawingName& name)
{
    return {{"path", bytes(name.path)}, {"shown", bytes(name.shownName)}, {"project", bytes(name.project)}};
}

DrawingName nameOf(const json& j)
{
    return {fromBytes(j.at("path")), fromBytes(j.at("shown")), fromBytes(j.at("project"))};
}

json pairJson(const SimilarPair& pair)
{
    json signals = json::array();
    for (const Signal& s : pair.fired)
        signals.push_back({{"kind", static_cast<int>(s.kind)},
                           {"share", s.share},
                           {"text", bytes(s.text)},
                           {"decisive", s.decisive}});
    json j = {{"a", nameJson(pair.a)},
              {"b", nameJson(pair.b)},
              {"score", pair.score},
              {"signals", signals},
              {"handlesA", pair.handlesA},
              {"handlesB", pair.handlesB},
              {"templateA", pair.templateHandlesA},
              {"templateB", pair.templateHandlesB}};
    if (pair.placement) {
        const Placement& p = *pair.placement;
        j["offset"] = {p.offset.x, p.offset.y, p.offset.z};
        j["rotation"] = p.rotation;
        j["mirrored"] = p.mirrored;
        j["scale"] = p.scale;
    }
    return j;
}

SimilarPair pairOf(const json& j)
{
    SimilarPair pair;
    pair.a = nameOf(j.at("a"));
    pair.b = nameOf(j.at("b"));
    pair.score = j.at("score").get<double>();
    for (const json& s : j.at("signals")) {
        const int kind = s.at("kind").get<int>();
        if (kind < 0 || kind > static_cast<int>(SignalKind::SharedHandles))
            throw std::out_of_range("unknown signal");
        pair.fired.push_back({static_cast<SignalKind>(kind), s.at("share").get<double>(), fromBytes(s.at("text")),
                              s.at("decisive").get<bool>()});
    }
    j.at("handlesA").get_to(pair.handlesA);
    j.at("handlesB").get_to(pair.handlesB);
    j.at("templateA").get_to(pair.templateHandlesA);
    j.at("templateB").get_to(pair.templateHandlesB);
    if (const auto offset = j.find("offset"); offset != j.end()) {
        Placement p = Placement::moved(
            dwg::Point3{offset->at(0).get<double>(), offset->at(1).get<double>(), offset->at(2).get<double>()});
        // Kept since copies are also found turned, mirrored or scaled; a result kept before only moved.
        p.rotation = j.value("rotation", 0.0);
        p.mirrored = j.value("mirrored", false);
        p.scale = j.value("scale", 1.0);
        pair.placement = p;
    }
    return pair;
}

json pairsJson(const std::vector<SimilarPair>& pairs)
{
    json list = json::array();
    for (const SimilarPair& p : pairs)
        list.push_back(pairJson(p));
    return list;
}

std::vector<SimilarPair> pairsOf(const json& list)
{
    std::vector<SimilarPair> pairs;
    for (const json& p : list)
        pairs.push_back(pairOf(p));
    return pairs;
}

std::string encode(const LastResult& last)
{
    const SimilarResult& r = last.result;
    const auto drawingsJson = [](const std::vector<UnreadDrawing>& list) {
        json drawings = json::array();
        for (const UnreadDrawing& u : list)
            drawings.push_back({{"path", bytes(u.path)}, {"shown", bytes(u.shownName)}, {"reason", bytes(u.reason)}});
        return drawings;
    };
    json starts = json::array();
    for (const StartDrawing& s : r.startDrawings)
        starts.push_back({{"identity", bytes(s.identity)}, {"drawings", pathList(s.drawings)}});
    json options = {{"earlier", pathList(last.options.earlierProjects)},
                    {"minScore", last.options.minScore},
                    {"commonShare", last.options.commonShare}};
    if (last.options.templates)
        options["templates"] = pathList(*last.options.templates);
    const json j = {{"options", options},
                    {"drawings", r.drawings},
                    {"earlierDrawings", r.earlierDrawings},
                    {"unread", drawingsJson(r.unread)},
                    {"pairs", pairsJson(r.pairs)},
                    {"sameStudent", pairsJson(r.sameStudent)},
                    {"startDrawings", starts},
                    {"scores", r.scores},
                    {"report", bytes(r.reportPath)},
                    {"partial", drawingsJson(r.partial)},
                    {"below", pairsJson(r.below)},
                    {"belowFloor", r.belowFloor}};
    const std::vector<std::uint8_t> cbor = json::to_cbor(j);
    return std::string(cbor.begin(), cbor.end());
}

LastResult decode(const std::string& record, std::int64_t finished)
{
    const json j = json::from_cbor(record.begin(), record.end());
    LastResult last;
    last.finished = finished;
    const json& options = j.at("options");
    last.options.earlierProjects = pathsOf(options.at("earlier"));
    last.options.minScore = options.at("minScore").get<double>();
    last.options.commonShare = options.at("commonShare").get<double>();
    if (const auto templates = options.find("templates"); templates != options.end())
        last.options.templates = pathsOf(*templates);
    SimilarResult& r = last.result;
    r.outcome = SimilarOutcome::Complete;
    r.drawings = j.at("drawings").get<std::size_t>();
    r.earlierDrawings = j.at("earlierDrawings").get<std::size_t>();
    const auto drawingsOf = [](const json& list, std::vector<UnreadDrawing>& into) {
        for (const json& u : list)
            into.push_back({fromBytes(u.at("path")), fromBytes(u.at("shown")), fromBytes(u.at("reason"))});
    };
    drawingsOf(j.at("unread"), r.unread);
    // Kept since damaged drawings read in part are named apart.
    if (const auto partial = j.find("partial"); partial != j.end())
        drawingsOf(*partial, r.partial);
    r.pairs = pairsOf(j.at("pairs"));
    r.sameStudent = pairsOf(j.at("sameStudent"));
    // Kept since pairs under the threshold are listed too.
    if (const auto below = j.find("below"); below != j.end()) {
        r.below = pairsOf(*below);
        r.belowFloor = j.at("belowFloor").get<double>();
    } else {
        r.belowFloor = last.options.minScore;
    }
    for (const json& s : j.at("startDrawings"))
        r.startDrawings.push_back({fromBytes(s.at("identity")), pathsOf(s.at("drawings"))});
    j.at("scores").get_to(r.scores);
    r.reportPath = fromBytes(j.at("report"));
    return last;
}

} // namespace

bool saveLastResult(EvidenceStore& store, const std::string& project, const LastResult& last)
{
    return store.saveLastResult(project, KeptResult{last.finished, encode(last)});
}

bool loadLastResult(EvidenceStore& store, const std::string& project, std::optional<LastResult>& last)
{
    last.reset();
    std::optional<KeptResult> kept;
    if (!store.lastResult(project, kept))
        return false;
    if (!kept)
        return true;
    try {
        last = decode(kept->encoded, kept->finished);
        // The students' names as the imports' manifests give them now.
        nameStudents(last->result.pairs);
        nameStudents(last->result.sameStudent);
        nameStudents(last->result.below);
        return true;
    } catch (const std::exception& e) { // json's own, and a bad signal kind
        store.setError("the last result of project " + project + " is damaged (" + e.what() + ")");
    }
    return false;
}

std::optional<dwg::Drawing> storedProperties(EvidenceStore& store, const std::string& project, const std::string& path)
{
    std::optional<StoredRow> row;
    if (!store.findRow(project, path, row) || !row)
        return std::nullopt;
    const auto properties = store.storedProperties(row->id);
    dwg::Drawing drawing;
    if (!properties || !decodeProperties(*properties, drawing))
        return std::nullopt;
    return drawing;
}

} // namespace darv::similar
