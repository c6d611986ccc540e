// Texts of drawings before 2007 into UTF-8: code pages by number, "\U+XXXX" escapes, multi-byte pages.
#include "dwg/TextDecoder.h"

#include <gtest/gtest.h>

namespace dwg {
namespace {

struct CodePageCase
{
    std::uint16_t codepage;
    const char* name;
    std::string bytes;
    std::string utf8;
};

class CodePages : public ::testing::TestWithParam<CodePageCase>
{
};

TEST_P(CodePages, ConvertToUtf8)
{
    const CodePageCase& c = GetParam();
    EXPECT_EQ(codepageName(c.codepage), c.name);
    TextDecoder decoder(c.codepage);
    EXPECT_EQ(decoder.decode(c.bytes), c.utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, CodePages,
    ::testing::Values(CodePageCase{30, "ANSI_1252", "Caf\xE9 \x80 \x9C", "Caf\xC3\xA9 \xE2\x82\xAC \xC5\x93"},
                      CodePageCase{28, "ANSI_1250", "\xB9\xE8", "\xC4\x85\xC4\x8D"},                // ą č
                      CodePageCase{29, "ANSI_1251", "\xCF\xF0\xE8", "\xD0\x9F\xD1\x80\xD0\xB8"},    // При
                      CodePageCase{32, "ANSI_1253", "\xE1", "\xCE\xB1"},                            // α
                      CodePageCase{44, "ANSI_1258", "\xF0", "\xC4\x91"},                            // đ
                      CodePageCase{11, "DOS437", "\x82\xB0", "\xC3\xA9\xE2\x96\x91"},               // é ░
                      CodePageCase{27, "DOS866", "\x8F", "\xD0\x9F"},                               // П
                      CodePageCase{38, "ANSI_932", "\x93\xFA\x96\x7B", "\xE6\x97\xA5\xE6\x9C\xAC"}, // 日本 (iconv)
                      CodePageCase{39, "ANSI_936", "\xD6\xD0", "\xE4\xB8\xAD"},                     // 中 (iconv)
                      CodePageCase{500, "", "\xE9", "\xC3\xA9"})); // unknown: read as ANSI_1252

TEST(TextDecoder, PlainTextStaysAsItIs)
{
    TextDecoder decoder(30);
    EXPECT_EQ(decoder.decode("Layer 1"), "Layer 1");
    EXPECT_EQ(decoder.decode(""), "");
}

TEST(TextDecoder, UnicodeEscapesAreDecoded)
{
    EXPECT_EQ(decodeUnicodeEscapes("\\U+00E9t\\U+00E9"), "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(decodeUnicodeEscapes("\\U+D83D\\U+DE00"), "\xF0\x9F\x98\x80"); // a surrogate pair
    EXPECT_EQ(decodeUnicodeEscapes("\\U+DE00"), "\xEF\xBF\xBD");             // a lone half
    // Not escapes: too few digits, no plus, other letters, MTEXT codes.
    EXPECT_EQ(decodeUnicodeEscapes("\\U+12 \\U0041 \\P \\U+"), "\\U+12 \\U0041 \\P \\U+");
    TextDecoder decoder(30);
    EXPECT_EQ(decoder.decode("\xE9\\U+0416"), "\xC3\xA9\xD0\x96"); // after the code page
}

TEST(TextDecoder, InvalidMultiByteSequencesBecomeReplacementCharacters)
{
    TextDecoder decoder(38); // Shift-JIS: 0x81 starts a pair, 0x20 cannot end it
    EXPECT_EQ(decoder.decode("a\x81"), "a\xEF\xBF\xBD");
    EXPECT_EQ(decoder.decode("\x93\xFA"), "\xE6\x97\xA5"); // the next text starts afresh
}

} // namespace
} // namespace dwg
