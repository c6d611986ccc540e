// Writing the ranked pairs for people (report lines) and for programs (JSON).
#include "similar/SimilarReport.h"
#include "base/TerminalText.h"

#include "base/NameBytes.h"
#include "similar/SignalText.h"
#include "similar/Students.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace darv::similar {
namespace {

// The printed report cuts a line at the page's edge: longer ones are broken between words.
constexpr std::size_t kLineWidth = 100;

std::string nameOf(const DrawingName& name, const std::string& project)
{
    return name.project == project
               ? terminalText(name.shownName)
               : terminalText(name.shownName) + " (earlier project " + terminalText(name.project) + ")";
}

// "key": the path, readable; and "key_bytes": its bytes in base64 when it is not UTF-8.
template <class Json> void addPath(Json& object, const std::string& key, const std::string& path)
{
    object[key] = path;
    if (!isUtf8(path))
        object[key + "_bytes"] = base64(path);
}

// The text broken between words into lines of at most kLineWidth characters, the first one after `first`,
// the others after `more` (a word longer than a line stays whole).
void addWrapped(std::vector<std::string>& lines, const std::string& first, const std::string& more,
                const std::string& text)
{
    std::string line = first;
    std::size_t from = 0;
    bool empty = true;
    while (from <= text.size()) {
        std::size_t to = text.find(' ', from);
        if (to == std::string::npos)
            to = text.size();
        const std::string word = text.substr(from, to - from);
        if (!empty && line.size() + 1 + word.size() > kLineWidth) {
            lines.push_back(line);
            line = more;
            empty = true;
        }
        line += (empty ? "" : " ") + word;
        empty = false;
        from = to + 1;
    }
    lines.push_back(line);
}

// The lines of one pair: rank, score and both drawings (A and B, as the signals call them), then the signals.
std::vector<std::string> pairLines(std::size_t rank, const SimilarPair& pair, const std::string& project)
{
    std::vector<std::string> lines;
    std::string head = std::to_string(rank) + ". " + std::to_string(wholePercent(pair.score / 100.0)) + " %";
    head.resize(std::max<std::size_t>(head.size() + 2, 11), ' ');
    const std::string indent(head.size(), ' ');
    addWrapped(lines, head + "A  ", indent + "   ", nameOf(pair.a, project));
    addWrapped(lines, indent + "B  ", indent + "   ", nameOf(pair.b, project));
    for (const Signal& s : pair.fired)
        addWrapped(lines, "    ", "        ", s.text);
    return lines;
}

// "1 drawing", "2 drawings".
std::string howMany(std::size_t count, const std::string& thing)
{
    return std::to_string(count) + " " + thing + (count == 1 ? "" : "s");
}

std::string percentText(double value)
{
    return shortNumber(value) + " %";
}

// Before the first pair of a case: its two students, and how many drawing pairs it holds when more than one.
void addCaseHead(std::vector<std::string>& lines, const std::vector<SimilarPair>& pairs, std::size_t i)
{
    const std::size_t size = caseSize(pairs, i);
    if (size == 0)
        return;
    addWrapped(lines, "", "    ",
               "Students " + terminalText(studentsText(pairs[i])) +
                   (size > 1 ? ": " + howMany(size, "drawing pair") : std::string()));
}

// One student's own drawings: shown, never suspicious.
void addSameStudent(std::vector<std::string>& lines, const SimilarResult& result, const std::string& project)
{
    if (result.sameStudent.empty())
        return;
    lines.push_back("");
    addWrapped(lines, "", "",
               "SAME STUDENT: " + howMany(result.sameStudent.size(), "pair") +
                   " of one student's own drawings, not suspicious:");
    for (const SimilarPair& pair : result.sameStudent) {
        lines.push_back("");
        const std::string head =
            terminalText(studentOf(pair.a).name) + ": " + std::to_string(wholePercent(pair.score / 100.0)) + " %";
        addWrapped(lines, "", "    ", head);
        addWrapped(lines, "    A  ", "       ", nameOf(pair.a, project));
        addWrapped(lines, "    B  ", "       ", nameOf(pair.b, project));
        for (const Signal& s : pair.fired)
            addWrapped(lines, "    ", "        ", s.text + " (same student)");
    }
}

std::vector<std::string> reportLines(const std::string& project, const SimilarResult& result,
                                     const SimilarOptions& options)
{
    std::vector<std::string> lines;
    lines.push_back("Similar drawings in project " + project + ": " + howMany(result.drawings, "drawing") +
                    " compared");
    if (!options.earlierProjects.empty()) {
        std::string names;
        for (const std::string& p : options.earlierProjects)
            names += (names.empty() ? "" : ", ") + p;
        addWrapped(lines, "", "    ", "and with " + howMany(result.earlierDrawings, "stored drawing") + " of " + names);
    }
    addWrapped(lines, "", "",
               "Only what is rare counts: the template and what more than " + percentText(options.commonShare) +
                   " of the drawings hold are left out.");
    for (const StartDrawing& start : result.startDrawings) {
        std::string names;
        for (const std::string& d : start.drawings)
            names += (names.empty() ? "" : ", ") + terminalText(d);
        addWrapped(lines, "", "    ",
                   std::to_string(start.drawings.size()) + " drawings began from one start drawing " +
                       terminalText(start.identity) + "; what it holds is left out: " + names + ".");
    }
    lines.push_back("");
    if (result.pairs.empty()) {
        lines.push_back(result.unread.empty() && result.partial.empty()
                            ? "No similar drawings found!"
                            : "No similar drawings among the drawings that could be read - see below.");
    } else {
        for (const std::vector<std::string>& ring : copyRings(result.pairs))
            addWrapped(lines, "", "    ", "Copy ring: " + terminalText(namesText(ring)) + " share one drawing's work.");
        lines.push_back(howMany(result.pairs.size(), "pair") + " at or above " + percentText(options.minScore) +
                        ", most similar first:");
        for (std::size_t i = 0; i < result.pairs.size(); ++i) {
            lines.push_back("");
            addCaseHead(lines, result.pairs, i);
            for (std::string& line : pairLines(i + 1, result.pairs[i], project))
                lines.push_back(std::move(line));
        }
    }
    addSameStudent(lines, result, project);
    if (!result.unread.empty()) {
        lines.push_back("");
        lines.push_back("NOT COMPARED: " + howMany(result.unread.size(), "drawing") +
                        (result.unread.size() == 1 ? " could not be read and is" : " could not be read and are") +
                        " in no pair above:");
        for (const UnreadDrawing& u : result.unread)
            addWrapped(lines, "    ", "        ", terminalText(u.shownName) + ": " + terminalText(u.reason));
    }
    if (!result.partial.empty()) {
        lines.push_back("");
        lines.push_back("READ ONLY IN PART: " + howMany(result.partial.size(), "drawing") +
                        (result.partial.size() == 1 ? " is damaged; what could be read of it is"
                                                    : " are damaged; what could be read of them is") +
                        " compared above:");
        for (const UnreadDrawing& u : result.partial)
            addWrapped(lines, "    ", "        ", terminalText(u.shownName) + ": " + terminalText(u.reason));
    }
    return lines;
}

} // namespace

std::string reportText(const std::string& project, const SimilarResult& result, const SimilarOptions& options)
{
    std::string text;
    for (const std::string& line : reportLines(project, result, options))
        text += "\"" + line + "\"\r\n";
    return text;
}

std::string reportJson(const std::string& project, const SimilarResult& result)
{
    using json = nlohmann::ordered_json; // the keys in the order a person reads them
    // The student's folder (or own file) by its name, as the key "student_a" always gave it.
    const auto folderName = [](DrawingName drawing) {
        drawing.studentName.clear();
        return studentOf(drawing).name;
    };
    const auto pairsOf = [&](const std::vector<SimilarPair>& list) {
        json pairs = json::array();
        for (const SimilarPair& pair : list) {
            json signals = json::array();
            for (const Signal& s : pair.fired)
                signals.push_back(
                    {{"kind", signalKindName(s.kind)}, {"share", wholePercent(s.share)}, {"text", s.text}});
            json entry = json::object();
            addPath(entry, "a", pair.a.path);
            addPath(entry, "b", pair.b.path);
            entry["score"] = wholePercent(pair.score / 100.0);
            entry["signals"] = signals;
            entry["student_a"] = folderName(pair.a);
            entry["student_b"] = folderName(pair.b);
            entry["student_name_a"] = studentOf(pair.a).name;
            entry["student_name_b"] = studentOf(pair.b).name;
            entry["project_a"] = pair.a.project;
            entry["project_b"] = pair.b.project;
            pairs.push_back(entry);
        }
        return pairs;
    };
    const json pairs = pairsOf(result.pairs);
    const auto drawingsOf = [](const std::vector<UnreadDrawing>& list) {
        json drawings = json::array();
        for (const UnreadDrawing& u : list) {
            json entry = json::object();
            addPath(entry, "path", u.path);
            entry["reason"] = u.reason;
            drawings.push_back(entry);
        }
        return drawings;
    };
    json rings = json::array();
    for (const std::vector<std::string>& ring : copyRings(result.pairs))
        rings.push_back(ring);
    json starts = json::array();
    for (const StartDrawing& start : result.startDrawings)
        starts.push_back({{"identity", start.identity}, {"drawings", start.drawings}});
    const json report = {{"project", project},
                         {"drawings", result.drawings},
                         {"pairs", pairs},
                         {"unread", drawingsOf(result.unread)},
                         {"same_student", pairsOf(result.sameStudent)},
                         {"rings", rings},
                         {"start_drawings", starts},
                         {"partial", drawingsOf(result.partial)}};
    // Names that are not UTF-8 are kept readable rather than refused (their bytes are in the "_bytes" fields).
    return report.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

std::string pairListing(const SimilarResult& result)
{
    std::string text;
    const std::string project = !result.pairs.empty()         ? result.pairs.front().a.project
                                : !result.sameStudent.empty() ? result.sameStudent.front().a.project
                                                              : std::string();
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < result.pairs.size(); ++i) {
        addCaseHead(lines, result.pairs, i);
        for (std::string& line : pairLines(i + 1, result.pairs[i], project))
            lines.push_back(std::move(line));
    }
    addSameStudent(lines, result, project);
    if (result.pairs.empty() && !lines.empty() && lines.front().empty())
        lines.erase(lines.begin()); // the section is all there is: no blank line before it
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

} // namespace darv::similar
