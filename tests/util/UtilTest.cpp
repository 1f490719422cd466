#include <gtest/gtest.h>

#include "Util.h"

namespace {

// "kind name|text|number" as the parser leaves them, "-" when it refuses the line.
std::string Parse(const std::string& line) {
    std::string name = "?", text = "?";
    int number = 12345, kind = 0;
    if (!ParseIniLine(line, name, text, number, kind)) return "-";
    return std::to_string(kind) + " " + name + "|" + text + "|" + std::to_string(number);
}

TEST(ParseIniLine, LineForms) {
    const std::pair<const char*, const char*> cases[] = {
        {" \t\r", "-"},
        {" = 5", "-"},          // empty key
        {"PlayerName =", "-"},  // empty value
        {"  ; a comment = 3", "4 |?|12345"},
        {"  [ Information ]  ", "1 Information|?|12345"},
        {"[モルヴァン] ; header", "1 モルヴァン|?|12345"},
        {"[History] x", "-"},                      // "]" must end the line
        {"CpuLevel = -10", "2 CpuLevel|-10|-10"},  // told apart by the second try
        {"a = $1F", "2 a|$1F|31"},
        {"a = 0X10", "2 a|0X10|16"},
        {"a = $FFFFFFFF", "2 a|$FFFFFFFF|-1"},
        {"a = -2147483648", "2 a|-2147483648|-2147483648"},
        {"a = 2147483648", "3 a|2147483648|12345"},  // overflow
        {"a = 1.5", "3 a|1.5|12345"},
        {"a = 12abc", "3 a|12abc|12345"},
        {"a = $", "3 a|$|12345"},
        {"a = 007", "2 a|007|7"},
        {"a = -0x10", "2 a|-0x10|-16"},
        {"a = $100000000", "3 a|$100000000|12345"},  // more than 32 bits
        {"a = b = c", "3 a = b|c|12345"},            // the last "=" splits
        {"  00021000 ", "4 00021000|?|12345"},
        {"PlayerName = 太郎#1;x", "3 PlayerName|太郎|12345"},
        // "ソ" and "表" end in the byte of "\" in code page 932; decoded, they never split.
        {"CpuName = ソ表", "3 CpuName|ソ表|12345"},
        {"CpuName = ソ表=", "-"},
    };
    for (const auto& [line, expected] : cases)
        EXPECT_EQ(Parse(line), expected) << line;
}

}  // namespace
