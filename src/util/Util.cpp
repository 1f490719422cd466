#include "Util.h"

#include <climits>
#include <cstdint>

namespace {

bool IsTrimmed(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

}  // namespace

std::string Trim(const std::string& s) {
    std::size_t begin = 0;
    std::size_t end = s.size();
    while (begin < end && IsTrimmed(s[begin]))
        ++begin;
    while (end > begin && IsTrimmed(s[end - 1]))
        --end;
    return s.substr(begin, end - begin);
}

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

int StrToIntDef(const std::string& s, int fallback) {
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < s.size() && s[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == s.size()) return fallback;

    // Hexadecimal numbers are 32-bit patterns ($FFFFFFFF is -1); decimal ones must fit in int.
    const std::uint64_t limit =
        hex ? 0xFFFFFFFFull : (negative ? std::uint64_t{INT_MAX} + 1 : std::uint64_t{INT_MAX});
    std::uint64_t value = 0;
    for (; i < s.size(); ++i) {
        const int digit = hex ? HexDigit(s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);
        if (digit < 0) return fallback;
        value = value * (hex ? 16u : 10u) + static_cast<std::uint64_t>(digit);
        if (value > limit) return fallback;
    }
    const auto bits = static_cast<std::uint32_t>(negative ? (~value + 1) : value);
    return static_cast<int>(bits);
}

bool ParseIniLine(const std::string& line, std::string& name, std::string& text, int& number,
                  int& kind) {
    std::string s = Trim(line);
    if (s.empty()) return false;

    // Cutting at the last "#" or ";" until none is left ends at the first one.
    if (const std::size_t cut = s.find_first_of("#;"); cut != std::string::npos) {
        s = Trim(s.substr(0, cut));
    }

    if (!s.empty() && s[0] == '[') {
        const std::size_t close = s.rfind(']');
        if (close != std::string::npos && close == s.size() - 1) {
            name = Trim(s.substr(1, close - 1));
            kind = 1;
            return true;
        }
        return false;
    }

    const std::size_t eq = s.rfind('=');
    if (eq == std::string::npos) {
        name = s;
        kind = 4;
        return true;
    }

    const std::string key = Trim(s.substr(0, eq));
    if (key.empty()) return false;
    name = key;
    const std::string value = Trim(s.substr(eq + 1));

    // -10 is a possible value as well as the fallback, so a second fallback tells them apart.
    int converted = StrToIntDef(value, -10);
    bool isInteger = converted != -10;
    if (!isInteger) {
        converted = StrToIntDef(value, -20);
        isInteger = converted != -20;
    }
    if (isInteger) {
        text = value;
        number = converted;
        kind = 2;
        return true;
    }
    if (value.empty()) return false;
    text = value;
    kind = 3;
    return true;
}
