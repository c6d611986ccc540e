// The field rule of the printed report: what one report file prints as, line by line.
#include "reports/ReportFields.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using darv::readFields;
using Fields = std::vector<std::string>;

namespace {

struct FieldCase
{
    const char* name;
    std::string text;
    Fields fields;
};

class ReportFieldsTest : public testing::TestWithParam<FieldCase>
{
};

std::string caseName(const testing::TestParamInfo<FieldCase>& param)
{
    return param.param.name;
}

TEST_P(ReportFieldsTest, Splits)
{
    EXPECT_EQ(readFields(GetParam().text), GetParam().fields);
}

// What the report writers store: every line one quoted text ended by CR LF.
const FieldCase kWrittenReports[] = {
    {"NothingAtAll", "", {}},
    {"OneQuotedLine", "\"A.dwg\"\r\n", {"A.dwg"}},
    {"CommasInsideQuotesStayOneField", "\"A.dwg, B.dwg, 2454000.5\"\r\n", {"A.dwg, B.dwg, 2454000.5"}},
    {"ThreeLines", "\"one\"\r\n\"two, 2\"\r\n\"three\"\r\n", {"one", "two, 2", "three"}},
    {"EmptyQuotedLine", "\"\"\r\n", {""}},
    {"EmptyLinePrintsAsEmptyLine", "\"a\"\r\n\r\n\"b\"\r\n", {"a", "", "b"}},
    {"LastLineWithoutLineEnd", "\"a\"\r\n\"b\"", {"a", "b"}},
    {"BlanksInsideQuotesKept", "\"  padded  \"\r\n", {"  padded  "}},
    {"NonAsciiBytesPassThrough", "\"\xC3\x84RGER.dwg\"\r\n", {"\xC3\x84RGER.dwg"}},
};
INSTANTIATE_TEST_SUITE_P(WrittenReports, ReportFieldsTest, testing::ValuesIn(kWrittenReports), caseName);

// Text the writers never produce, read by the same rule without losing the rest of the file.
const FieldCase kOtherText[] = {
    {"UnquotedLineSplitsAtEveryComma", "a,b, c\r\n", {"a", "b", "c"}},
    {"BlanksBeforeUnquotedFieldSkipped", "   x\r\n", {"x"}},
    {"BlanksBeforeQuotedField", "  \"q, r\"\r\n", {"q, r"}},
    {"TextAfterClosingQuoteDropped", "\"ab\"cd,e\r\n", {"ab", "e"}},
    {"TrailingCommaGivesEmptyField", "a,\r\nb\r\n", {"a", "", "b"}},
    {"TrailingCommaAtEndOfText", "a,", {"a", ""}},
    {"LoneCommaLine", ",\r\n", {"", ""}},
    {"UnclosedQuoteEndsWithItsLine", "\"broken\r\n\"next\"\r\n", {"broken", "next"}},
    {"LineFeedOnly", "\"a\"\n\"b\"\n", {"a", "b"}},
    {"CarriageReturnOnly", "\"a\"\r\"b\"\r", {"a", "b"}},
    {"BlankLine", "\"a\"\r\n   \r\n", {"a", ""}},
};
INSTANTIATE_TEST_SUITE_P(OtherText, ReportFieldsTest, testing::ValuesIn(kOtherText), caseName);

TEST(ReportFields, LongReportKeepsEveryLineInOrder)
{
    std::string text;
    for (int i = 0; i < 5000; ++i)
        text += "\"line " + std::to_string(i) + ", x\"\r\n";
    const Fields fields = readFields(text);
    ASSERT_EQ(fields.size(), 5000U);
    EXPECT_EQ(fields.front(), "line 0, x");
    EXPECT_EQ(fields[4321], "line 4321, x");
    EXPECT_EQ(fields.back(), "line 4999, x");
}

} // namespace
