// The window program's and the installer's words: help and version without a window, a usage for the rest.
#include "app/ProgramOptions.h"
#include "app/BuildInfo.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace darv;

namespace {

struct Words
{
    std::ostringstream out;
    std::ostringstream err;
    std::optional<int> window(const std::vector<std::string>& args)
    {
        out.str({});
        err.str({});
        return windowProgramOptions(args, out, err);
    }
    InstallOptions install(const std::vector<std::string>& args)
    {
        out.str({});
        err.str({});
        return installProgramOptions(args, out, err);
    }
};

} // namespace

TEST(ProgramOptions, WindowAnswersHelpAndVersionAndRefusesAnythingElse)
{
    Words words;
    EXPECT_EQ(words.window({}), std::nullopt);
    EXPECT_EQ(words.window({"-session", "1a2b", "-platform", "xcb"}), std::nullopt);
    EXPECT_EQ(words.window({"--help"}), 0);
    EXPECT_EQ(words.out.str().rfind("usage: darv2007 ", 0), 0u);
    EXPECT_EQ(words.window({"--version"}), 0);
    EXPECT_EQ(words.out.str(), std::string("darv2007 ") + kVersion + "\n");
    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
             {"--frobnicate"}, {"drawing.dwg"}, {"-platform"}, {"-session", "1a2b", "-x"}}) {
        EXPECT_EQ(words.window(wrong), 2) << wrong.back();
        EXPECT_NE(words.err.str().find("unknown"), std::string::npos);
        EXPECT_NE(words.err.str().find("usage: darv2007 "), std::string::npos);
        EXPECT_TRUE(words.out.str().empty());
    }
}

TEST(ProgramOptions, InstallerTakesADataFolderHelpAndVersion)
{
    Words words;
    EXPECT_EQ(words.install({}).exitStatus, std::nullopt);
    EXPECT_EQ(words.install({}).dataFolder, "");
    EXPECT_EQ(words.install({"--data", "/srv/darv"}).dataFolder, "/srv/darv");
    EXPECT_EQ(words.install({"--data=/srv/my darv"}).dataFolder, "/srv/my darv");
    EXPECT_EQ(words.install({"--version"}).exitStatus, 0);
    EXPECT_EQ(words.out.str(), std::string("darv2007-install ") + kVersion + "\n");
    EXPECT_EQ(words.install({"--help"}).exitStatus, 0);
    EXPECT_EQ(words.out.str().rfind("usage: darv2007-install ", 0), 0u);
    for (const std::vector<std::string>& wrong :
         std::vector<std::vector<std::string>>{{"--data"}, {"--data="}, {"--datum", "/x"}, {"/srv/darv"}}) {
        EXPECT_EQ(words.install(wrong).exitStatus, 2) << wrong.front();
        EXPECT_FALSE(words.err.str().empty());
    }
}
