// The code page 932 codec and the file encoding rule on any bytes: decoding gives UTF-8 that
// encodes back exactly, encoding keeps a character or gives "?", and whatever the file writer
// makes of a text reads back as the text code page 932 holds.
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "TextCodec.h"

namespace {

// Splits valid UTF-8 into characters.
std::vector<std::string_view> Characters(std::string_view text) {
    std::vector<std::string_view> out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        out.push_back(text.substr(i, length));
        i += length;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::string decoded = Cp932ToUtf8(bytes);
    Check(IsValidUtf8(decoded), "decoding gives UTF-8");
    Check(Cp932ToUtf8(Utf8ToCp932(decoded)) == decoded, "decoded text encodes back exactly");

    const std::string file = DecodeFileText(bytes);
    Check(IsValidUtf8(file), "a file's text is UTF-8");

    if (IsValidUtf8(bytes)) {
        // Each character comes back as itself or as "?".
        const auto original = Characters(bytes);
        const std::string back = AsCp932Text(bytes);
        const auto returned = Characters(back);
        Check(original.size() == returned.size(), "one character for each");
        for (std::size_t i = 0; i < original.size(); ++i)
            Check(returned[i] == original[i] || returned[i] == "?", "a character or \"?\"");
        Check(AsCp932Text(back) == back, "what came back stays");
        Check(DecodeFileText(EncodeFileText(bytes)) == back, "a written file reads back");
    }
    return 0;
}
