// The house's one rule: a file includes only its own folder or a folder on a lower floor, no Qt below
// settings/ (and only Qt Core there), and nothing but the programs' floor includes app/. Reads every
// source file's include lines; a broken rule is reported with the file, the line and the rule.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The floors, lowest first. Folders on one floor stand side by side and do not include each other.
const std::vector<std::vector<std::string>> kFloors = {
    {"base", "resources"},
    {"drawing"},
    {"dwg"},
    {"dxf"},
    {"readers"},
    {"projects", "reports", "submissions"},
    {"compare", "similar"},
    {"collect"},
    {"settings"},
    {"widgets"},
    {"projects/window", "reports/window", "collect/window", "similar/window"},
    {"ui"},
    {"app"},
};

// Folders that are not part of the house: the tests and benchmarks (which may include any floor), the
// fuzz targets (which must not include app/), and build-time programs and scripts.
const std::set<std::string> kOutside = {"tests", "bench", "fuzz", "resources/tools", "scripts", "cmake"};

// The Qt Core headers that settings/ may include.
const std::set<std::string> kQtCoreHeaders = {"QByteArray", "QDir",    "QFile",       "QFileInfo", "QObject",
                                              "QSettings",  "QString", "QStringList", "QVariant"};

std::optional<std::size_t> floorOf(const std::string& room)
{
    for (std::size_t floor = 0; floor < kFloors.size(); ++floor)
        if (std::find(kFloors[floor].begin(), kFloors[floor].end(), room) != kFloors[floor].end())
            return floor;
    return std::nullopt;
}

std::size_t settingsFloor()
{
    return *floorOf("settings");
}

// The room of a path relative to the source root: its first folder, or first folder plus "/window".
std::string roomOf(const std::string& relative)
{
    std::vector<std::string> parts;
    std::stringstream stream(relative);
    for (std::string part; std::getline(stream, part, '/');)
        parts.push_back(part);
    if (parts.size() >= 3 && (parts[1] == "window" || parts[1] == "tools"))
        return parts[0] + "/" + parts[1];
    return parts.empty() ? std::string() : parts[0];
}

std::string floorText(const std::string& room)
{
    const auto floor = floorOf(room);
    return room + " (floor " + (floor ? std::to_string(*floor) : std::string("?")) + ")";
}

} // namespace

// The broken rules of one file's text; room is the file's room, name its path for the messages.
std::vector<std::string> brokenRules(const std::string& name, const std::string& room, const std::string& text)
{
    static const std::regex quoted(R"re(^\s*#\s*include\s*"([^"]+)")re");
    static const std::regex angled(R"re(^\s*#\s*include\s*<(Q[A-Za-z]*)(/[A-Za-z]+)?>)re");
    std::vector<std::string> broken;
    const auto floor = floorOf(room);
    const bool outside = kOutside.count(room) > 0;
    if (!floor && !outside)
        return {name + ": the folder " + room + " has no floor: give it one in the floors of this test"};

    std::istringstream lines(text);
    std::size_t number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        const std::string where = name + ":" + std::to_string(number) + ": ";
        std::smatch match;
        if (std::regex_search(line, match, quoted)) {
            const std::string included = match[1];
            if (included.find('/') == std::string::npos)
                continue; // a file of its own folder
            const std::string target = roomOf(included);
            if (target == room)
                continue;
            if (room == "fuzz" && target == "app") {
                broken.push_back(where + "includes \"" + included +
                                 "\": only the programs, tests and benchmarks include app/");
                continue;
            }
            if (outside)
                continue;
            const auto targetFloor = floorOf(target);
            if (!targetFloor) {
                broken.push_back(where + "includes \"" + included + "\" from " + target + ", a folder without a floor");
            } else if (*targetFloor == *floor) {
                broken.push_back(where + "includes \"" + included + "\": " + floorText(room) + " and " +
                                 floorText(target) + " stand side by side; move what both need a floor down");
            } else if (*targetFloor > *floor) {
                broken.push_back(where + "includes \"" + included + "\": " + floorText(room) +
                                 " may include only its own folder or a lower floor, not " + floorText(target));
            }
        } else if (!outside && std::regex_search(line, match, angled)) {
            const std::string header = match[1];
            if (*floor < settingsFloor())
                broken.push_back(where + "includes <" + header + ">: no Qt below settings/, " + floorText(room) +
                                 " is Qt-free");
            else if (*floor == settingsFloor() && kQtCoreHeaders.count(header) == 0)
                broken.push_back(where + "includes <" + header + ">: settings/ uses Qt Core only");
        }
    }
    return broken;
}

namespace {

std::string readText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(Floors, everyIncludeLineKeepsTheRule)
{
    const fs::path root = DARV_SOURCE_DIR;
    std::vector<std::string> broken;
    std::size_t files = 0;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        const std::string relative = fs::relative(it->path(), root).generic_string();
        if (it->is_directory() && (relative.rfind("build", 0) == 0 || relative.front() == '.')) {
            it.disable_recursion_pending();
            continue;
        }
        const std::string extension = it->path().extension().string();
        if (!it->is_regular_file() || (extension != ".cpp" && extension != ".h" && extension != ".in"))
            continue;
        if (relative.find('/') == std::string::npos)
            continue;
        ++files;
        for (const std::string& rule : brokenRules(relative, roomOf(relative), readText(it->path())))
            broken.push_back(rule);
    }
    EXPECT_GT(files, 300u);
    std::string all;
    for (const std::string& rule : broken)
        all += rule + "\n";
    EXPECT_TRUE(broken.empty()) << all;
}

TEST(Floors, aBrokenRuleIsNamedWithFileLineAndRule)
{
    const auto up = brokenRules("compare/CompareRun.cpp", "compare", "// x\n#include \"collect/CollectionRun.h\"\n");
    ASSERT_EQ(up.size(), 1u);
    EXPECT_NE(up[0].find("compare/CompareRun.cpp:2: "), std::string::npos) << up[0];
    EXPECT_NE(up[0].find("lower floor"), std::string::npos) << up[0];

    const auto sideways = brokenRules("similar/window/A.cpp", "similar/window", "#include \"projects/window/B.h\"\n");
    ASSERT_EQ(sideways.size(), 1u);
    EXPECT_NE(sideways[0].find("side by side"), std::string::npos) << sideways[0];

    EXPECT_EQ(brokenRules("similar/A.cpp", "similar", "#include <QString>\n").size(), 1u);
    EXPECT_EQ(brokenRules("settings/A.cpp", "settings", "#include <QWidget>\n").size(), 1u);
    EXPECT_EQ(brokenRules("fuzz/a.cpp", "fuzz", "#include \"app/CommandLine.h\"\n").size(), 1u);
    EXPECT_EQ(brokenRules("stairs/a.cpp", "stairs", "").size(), 1u);
    // What the rule allows: own folder, lower floors, Qt Core in settings/, anything in the tests.
    EXPECT_TRUE(brokenRules("collect/A.cpp", "collect",
                            "#include \"collect/B.h\"\n#include \"compare/C.h\"\n#include \"base/D.h\"\n")
                    .empty());
    EXPECT_TRUE(brokenRules("settings/A.cpp", "settings", "#include <QSettings>\n").empty());
    EXPECT_TRUE(brokenRules("tests/ui/A.cpp", "tests", "#include \"app/Application.h\"\n").empty());
}
