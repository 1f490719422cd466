#include <gtest/gtest.h>

#include "Util.h"

namespace {

struct Parsed {
    bool ok;
    int kind;
    std::string name;
    std::string text;
    int number;
};

Parsed Parse(const std::string& line) {
    Parsed p{false, 0, "<unset>", "<unset>", 12345};
    p.ok = ParseIniLine(line, p.name, p.text, p.number, p.kind);
    return p;
}

TEST(ParseIniLine, LineForms) {
    const struct {
        const char* line;
        Parsed expected;
    } cases[] = {
        {"", {false, 0, "<unset>", "<unset>", 12345}},
        {" \t\r", {false, 0, "<unset>", "<unset>", 12345}},
        {" = 5", {false, 0, "<unset>", "<unset>", 12345}},             // empty key
        {"PlayerName =", {false, 0, "PlayerName", "<unset>", 12345}},  // empty value
        {"  ; a comment = 3", {true, 4, "", "<unset>", 12345}},
        {"  [ Information ]  ", {true, 1, "Information", "<unset>", 12345}},
        {"[モルヴァン] ; header", {true, 1, "モルヴァン", "<unset>", 12345}},
        {"[History] x", {false, 0, "<unset>", "<unset>", 12345}},  // "]" must end the line
        {"[History", {false, 0, "<unset>", "<unset>", 12345}},
        {"   BoardColor=255   # red", {true, 2, "BoardColor", "255", 255}},
        {"CpuLevel = -10", {true, 2, "CpuLevel", "-10", -10}},  // told apart by the second try
        {"CpuLevel = -20", {true, 2, "CpuLevel", "-20", -20}},
        {"a = $1F", {true, 2, "a", "$1F", 31}},
        {"a = 0X10", {true, 2, "a", "0X10", 16}},
        {"a = $FFFFFFFF", {true, 2, "a", "$FFFFFFFF", -1}},
        {"a = -2147483648", {true, 2, "a", "-2147483648", -2147483647 - 1}},
        {"a = 2147483648", {true, 3, "a", "2147483648", 12345}},  // overflow
        {"a = 1.5", {true, 3, "a", "1.5", 12345}},
        {"a = 12abc", {true, 3, "a", "12abc", 12345}},
        {"a = $", {true, 3, "a", "$", 12345}},
        {"a = b = c", {true, 3, "a = b", "c", 12345}},  // the last "=" splits
        {"  00021000 ", {true, 4, "00021000", "<unset>", 12345}},
        {"PlayerName = 太郎#1;x", {true, 3, "PlayerName", "太郎", 12345}},
        // "ソ" and "表" end in the byte of "\" in code page 932; decoded, they never split.
        {"CpuName = ソ表", {true, 3, "CpuName", "ソ表", 12345}},
        {"CpuName = ソ表=", {false, 0, "CpuName", "<unset>", 12345}},
    };
    for (const auto& c : cases) {
        const Parsed p = Parse(c.line);
        EXPECT_EQ(p.ok, c.expected.ok) << c.line;
        if (!p.ok) continue;
        EXPECT_EQ(p.kind, c.expected.kind) << c.line;
        EXPECT_EQ(p.name, c.expected.name) << c.line;
        EXPECT_EQ(p.text, c.expected.text) << c.line;
        EXPECT_EQ(p.number, c.expected.number) << c.line;
    }
}

TEST(StrToIntDef, StrictConversion) {
    const struct {
        const char* text;
        int expected;
    } cases[] = {{"", 9},   {"-", 9},       {" 5", 9},         {"007", 7},
                 {"+7", 7}, {"-0x10", -16}, {"$100000000", 9}, {"0x1G", 9}};
    for (const auto& c : cases)
        EXPECT_EQ(StrToIntDef(c.text, 9), c.expected) << c.text;
}

}  // namespace
