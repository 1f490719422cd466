#include <gtest/gtest.h>

#include "Util.h"

namespace {

struct Parsed {
    bool ok;
    std::string name;
    std::string text;
    int number;
    int kind;
};

Parsed Parse(const std::string& line) {
    Parsed p{false, "<unset>", "<unset>", 12345, 0};
    p.ok = ParseIniLine(line, p.name, p.text, p.number, p.kind);
    return p;
}

TEST(ParseIniLine, SkipsBlankLinesAndEmptyKeysOrValues) {
    EXPECT_FALSE(Parse("").ok);
    EXPECT_FALSE(Parse(" \t\r").ok);
    EXPECT_FALSE(Parse(" = 5").ok);
    EXPECT_FALSE(Parse("PlayerName =").ok);
    EXPECT_FALSE(Parse("PlayerName = # only a comment").ok);
}

TEST(ParseIniLine, CommentOnlyLineIsAnEmptyKindFourName) {
    const Parsed p = Parse("  ; a comment = 3");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.kind, 4);
    EXPECT_EQ(p.name, "");
}

TEST(ParseIniLine, SectionHeaders) {
    Parsed p = Parse("  [ Information ]  ");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.kind, 1);
    EXPECT_EQ(p.name, "Information");

    p = Parse("[モルヴァン] ; header");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.name, "モルヴァン");

    // The closing bracket must end the line.
    EXPECT_FALSE(Parse("[History] x").ok);
    EXPECT_FALSE(Parse("[History").ok);
}

TEST(ParseIniLine, IntegerValuesWithBlanksAndTrailingComment) {
    const Parsed p = Parse("   BoardColor=255   # red");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.kind, 2);
    EXPECT_EQ(p.name, "BoardColor");
    EXPECT_EQ(p.text, "255");
    EXPECT_EQ(p.number, 255);
}

TEST(ParseIniLine, MinusTenIsAnIntegerThanksToTheSecondConversion) {
    const Parsed p = Parse("CpuLevel = -10");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.kind, 2);
    EXPECT_EQ(p.number, -10);
    const Parsed q = Parse("CpuLevel = -20");
    EXPECT_EQ(q.kind, 2);
    EXPECT_EQ(q.number, -20);
}

TEST(ParseIniLine, HexadecimalPrefixes) {
    EXPECT_EQ(Parse("a = $1F").number, 31);
    EXPECT_EQ(Parse("a = 0x10").number, 16);
    EXPECT_EQ(Parse("a = 0X10").number, 16);
    EXPECT_EQ(Parse("a = $FFFFFFFF").number, -1);
    EXPECT_EQ(Parse("a = $").kind, 3);
    EXPECT_EQ(Parse("a = 0x1G").kind, 3);
}

TEST(ParseIniLine, NonIntegersKeepNumberUntouched) {
    for (const char* value : {"1.5", "12abc", "big", "2147483648", "- 5", "1e3"}) {
        const Parsed p = Parse(std::string("BoardSize = ") + value);
        ASSERT_TRUE(p.ok) << value;
        EXPECT_EQ(p.kind, 3) << value;
        EXPECT_EQ(p.text, value);
        EXPECT_EQ(p.number, 12345) << value;
    }
    EXPECT_EQ(Parse("a = 2147483647").number, 2147483647);
    EXPECT_EQ(Parse("a = -2147483648").number, -2147483647 - 1);
    EXPECT_EQ(Parse("a = +7").number, 7);
}

TEST(ParseIniLine, LastEqualsSignSplits) {
    const Parsed p = Parse("a = b = c");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.kind, 3);
    EXPECT_EQ(p.name, "a = b");
    EXPECT_EQ(p.text, "c");
}

TEST(ParseIniLine, LineWithoutEqualsIsKindFour) {
    const Parsed p = Parse("  00021000 ");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.kind, 4);
    EXPECT_EQ(p.name, "00021000");
}

TEST(ParseIniLine, CommentCharactersCutNamesAndValues) {
    const Parsed p = Parse("PlayerName = 太郎#1;x");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.text, "太郎");
    // A character whose CP932 form has a trail byte equal to an ASCII delimiter ("ソ" is 0x83 0x5C,
    // "表" is 0x95 0x5C) is whole in UTF-8 and never splits.
    const Parsed q = Parse("CpuName = ソ表=");
    EXPECT_FALSE(q.ok);  // the real "=" at the end leaves an empty value
    const Parsed r = Parse("CpuName = ソ表");
    EXPECT_EQ(r.text, "ソ表");
}

TEST(StrToIntDef, StrictConversion) {
    EXPECT_EQ(StrToIntDef("", 9), 9);
    EXPECT_EQ(StrToIntDef("-", 9), 9);
    EXPECT_EQ(StrToIntDef(" 5", 9), 9);
    EXPECT_EQ(StrToIntDef("007", 9), 7);
    EXPECT_EQ(StrToIntDef("-0x10", 9), -16);
    EXPECT_EQ(StrToIntDef("$100000000", 9), 9);
}

}  // namespace
