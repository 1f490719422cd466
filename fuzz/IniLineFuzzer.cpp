// ParseIniLine on any line: what it reports is trimmed, comment-free and of the kind it claims.
#include <string>

#include "FuzzSupport.h"
#include "Util.h"

namespace {

bool Trimmed(const std::string& s) {
    return s.empty() || (static_cast<unsigned char>(s.front()) > 32 &&
                         static_cast<unsigned char>(s.back()) > 32);
}

bool FreeOfComments(const std::string& s) {
    return s.find_first_of("#;") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    std::string name = "<unset>";
    std::string text = "<unset>";
    int number = 12345;
    int kind = 0;
    if (!ParseIniLine(line, name, text, number, kind)) return 0;
    Check(kind >= 1 && kind <= 4, "kind");
    Check(Trimmed(name) && FreeOfComments(name), "name trimmed, without comment");
    Check(kind == 1 || kind == 4 || !name.empty(), "a key is never empty");
    if (kind == 1) Check(line.find('[') != std::string::npos, "section has a bracket");
    if (kind == 2 || kind == 3) {
        Check(Trimmed(text) && FreeOfComments(text), "value trimmed, without comment");
        Check(text.find('=') == std::string::npos, "the last \"=\" splits");
        Check(!text.empty(), "a value");
    }
    if (kind == 2) {
        Check(StrToIntDef(text, number == -1 ? -2 : -1) == number, "the number is the text's");
    }
    if (kind == 3) {
        Check(StrToIntDef(text, -10) == -10 && StrToIntDef(text, -20) == -20, "not a number");
        Check(number == 12345, "kind 3 leaves the number");
    }
    return 0;
}
