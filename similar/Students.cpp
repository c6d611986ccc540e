// Students from the drawings' shown names ("class A/anna/sub/b.dwg": the location's folder, the student's
// folder, the rest) and their full paths, for this year's drawings and an earlier project's stored ones alike.
#include "similar/Students.h"

#include "submissions/Manifest.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <tuple>

namespace darv::similar {
namespace {

std::string caseKey(const SimilarPair& pair)
{
    const std::string a = studentOf(pair.a).key;
    const std::string b = studentOf(pair.b).key;
    return a < b ? a + '\0' + b : b + '\0' + a;
}

bool pathOrder(const SimilarPair& x, const SimilarPair& y)
{
    return std::tie(x.a.path, x.b.project, x.b.path) < std::tie(y.a.path, y.b.project, y.b.path);
}

bool better(const SimilarPair& x, const SimilarPair& y)
{
    return x.score != y.score ? x.score > y.score : pathOrder(x, y);
}

} // namespace

Student studentOf(const DrawingName& drawing)
{
    const std::string& shown = drawing.shownName;
    const std::size_t first = shown.find('/');
    const std::size_t second = first == std::string::npos ? std::string::npos : shown.find('/', first + 1);
    if (second == std::string::npos) {
        // Directly in the location's folder: a student of its own.
        const std::size_t cut = shown.find_last_of('/');
        return {drawing.project + '\0' + drawing.path, cut == std::string::npos ? shown : shown.substr(cut + 1)};
    }
    const std::string name = shown.substr(first + 1, second - first - 1);
    // The student's folder: the full path without what lies below it in the shown name.
    const std::string below = shown.substr(second);
    const std::string& path = drawing.path;
    const std::string folder =
        path.size() >= below.size() && path.compare(path.size() - below.size(), below.size(), below) == 0
            ? path.substr(0, path.size() - below.size())
            : shown.substr(0, second);
    return {drawing.project + '\0' + folder, drawing.studentName.empty() ? name : drawing.studentName, folder};
}

void nameStudents(std::vector<SimilarPair>& pairs)
{
    std::map<std::string, std::map<std::string, std::string>> manifests; // by the folder that holds the students
    const auto name = [&](DrawingName& drawing) {
        const std::filesystem::path folder = studentOf(drawing).folder;
        if (folder.empty() || !drawing.studentName.empty())
            return;
        const std::string holder = folder.parent_path().string();
        auto found = manifests.find(holder);
        if (found == manifests.end())
            found = manifests.emplace(holder, submissions::studentDisplayNames(holder)).first;
        if (const auto it = found->second.find(folder.filename().string());
            it != found->second.end() && !it->second.empty())
            drawing.studentName = it->second;
    };
    for (SimilarPair& pair : pairs) {
        name(pair.a);
        name(pair.b);
    }
}

bool sameStudent(const SimilarPair& pair)
{
    return studentOf(pair.a).key == studentOf(pair.b).key;
}

std::string studentsText(const SimilarPair& pair)
{
    std::string b = studentOf(pair.b).name;
    if (pair.b.project != pair.a.project)
        b += " (" + pair.b.project + ")";
    return studentOf(pair.a).name + " / " + b;
}

void rankInCases(std::vector<SimilarPair>& pairs)
{
    std::sort(pairs.begin(), pairs.end(), better);
    // A case ranks where its strongest pair, the first of it now, does.
    std::map<std::string, std::size_t> caseRank;
    std::vector<std::size_t> rankOf;
    rankOf.reserve(pairs.size());
    for (const SimilarPair& pair : pairs)
        rankOf.push_back(caseRank.try_emplace(caseKey(pair), caseRank.size()).first->second);
    std::vector<std::size_t> order(pairs.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) { return rankOf[x] < rankOf[y]; });
    std::vector<SimilarPair> ranked;
    ranked.reserve(pairs.size());
    for (const std::size_t i : order)
        ranked.push_back(std::move(pairs[i]));
    pairs = std::move(ranked);
}

std::vector<std::vector<std::string>> copyRings(const std::vector<SimilarPair>& pairs)
{
    std::map<std::string, std::string> parent; // student key -> a key of its group
    std::map<std::string, std::string> shown;
    const auto root = [&](std::string key) {
        while (parent.at(key) != key)
            key = parent.at(key) = parent.at(parent.at(key));
        return key;
    };
    for (const SimilarPair& pair : pairs) {
        const Student a = studentOf(pair.a);
        const Student b = studentOf(pair.b);
        shown[a.key] = a.name;
        shown[b.key] = pair.b.project == pair.a.project ? b.name : b.name + " (" + pair.b.project + ")";
        parent.try_emplace(a.key, a.key);
        parent.try_emplace(b.key, b.key);
        parent[root(a.key)] = root(b.key);
    }
    std::map<std::string, std::vector<std::string>> groups;
    for (const auto& [key, name] : shown)
        groups[root(key)].push_back(name);
    std::vector<std::vector<std::string>> rings;
    for (auto& [key, names] : groups) {
        if (names.size() < 3)
            continue;
        std::sort(names.begin(), names.end());
        rings.push_back(std::move(names));
    }
    std::sort(rings.begin(), rings.end());
    return rings;
}

std::string namesText(const std::vector<std::string>& names)
{
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    return text;
}

std::size_t caseSize(const std::vector<SimilarPair>& pairs, std::size_t i)
{
    if (i > 0 && caseKey(pairs[i - 1]) == caseKey(pairs[i]))
        return 0;
    std::size_t n = 1;
    while (i + n < pairs.size() && caseKey(pairs[i + n]) == caseKey(pairs[i]))
        ++n;
    return n;
}

} // namespace darv::similar
