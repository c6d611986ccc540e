// Who is who by the platforms' naming, and the names the import gives folders and files.
#include "submissions/StudentNames.h"
#include "submissions/Sha256.h"

#include <gtest/gtest.h>

using namespace darv::submissions;

TEST(StudentNames, platformsNamingTellsTheStudent)
{
    const Student moodle = studentOf({"Anna Müller_123456_assignsubmission_file_", "parts", "bracket.dwg"});
    EXPECT_EQ(moodle.displayName, "Anna Müller");
    EXPECT_EQ(moodle.platformId, "123456");
    EXPECT_EQ(moodle.folder, "Anna Müller_123456");
    EXPECT_EQ(moodle.part, (std::vector<std::string>{"parts", "bracket.dwg"}));

    const Student flat = studentOf({"Bo Li_77_assignsubmission_file_my_plan.dwg"});
    EXPECT_EQ(flat.key, "moodle:77");
    EXPECT_EQ(flat.displayName, "Bo Li");
    EXPECT_EQ(flat.part, std::vector<std::string>{"my_plan.dwg"});

    const Student late = studentOf({"smithjohn_late_12345_67890_bracket_v2.dwg"});
    EXPECT_EQ(late.platform, "canvas");
    EXPECT_TRUE(late.late);
    EXPECT_EQ(late.key, "canvas:12345");
    EXPECT_EQ(late.part, std::vector<std::string>{"bracket_v2.dwg"});
    const Student onTime = studentOf({"smithjohn_12345_67891_bracket.dwg"});
    EXPECT_FALSE(onTime.late);
    EXPECT_EQ(onTime.key, late.key);

    EXPECT_EQ(studentOf({"Tom", "a.dwg"}).key, "folder:Tom");
    const Student single = studentOf({"bracket_final.dwg"});
    EXPECT_EQ(single.platform, "file");
    EXPECT_EQ(single.displayName, "bracket_final");
}

TEST(StudentNames, namesAreMadeSafe)
{
    EXPECT_EQ(safeName("a\nb\x01/c\\d:e"), "a_b__c_d_e");
    EXPECT_EQ(safeName(".hidden"), "_hidden");
    EXPECT_EQ(safeName(".."), "_");
    EXPECT_EQ(safeName("name. . "), "name");
    EXPECT_EQ(safeName("CON.dwg"), "_CON.dwg");
    EXPECT_EQ(safeName("com7"), "_com7");
    EXPECT_EQ(safeName("CAF\xC9.dwg"), "CAF_.dwg");
    EXPECT_EQ(safeName(std::string(300, 'x')).size(), 200U);
    EXPECT_EQ(safeName(std::string(199, 'x') + "é").size(), 199U); // never half a character
    EXPECT_EQ(foldedName({"parts", "sub", "b.dwg"}), "parts - sub - b.dwg");
    const std::string longFolded = foldedName({std::string(150, 'p'), std::string(150, 'q') + ".dwg"});
    EXPECT_EQ(longFolded.size(), 200U);
    EXPECT_EQ(longFolded.substr(196), ".dwg");
    EXPECT_EQ(numberedName("b.dwg", 2), "b (2).dwg");

    EXPECT_NE(unsafePathReason("../x.dwg"), "");
    EXPECT_NE(unsafePathReason("a/../../x.dwg"), "");
    EXPECT_NE(unsafePathReason("a\\..\\x.dwg"), "");
    EXPECT_NE(unsafePathReason("/etc/x"), "");
    EXPECT_NE(unsafePathReason("C:\\x.dwg"), "");
    EXPECT_EQ(unsafePathReason("a/./b..c.dwg"), "");
}

TEST(Sha256, knownHashesWhateverThePieces)
{
    EXPECT_EQ(sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    Sha256 pieces;
    const std::string million(1000000, 'a');
    for (std::size_t at = 0, step = 1; at < million.size(); at += step, step = step % 97 + 13)
        pieces.add(std::string_view(million).substr(at, step));
    EXPECT_EQ(pieces.hex(), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}
