#include "TextCodec.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Length of the valid UTF-8 sequence that starts at bytes[i], 0 when none does. Overlong forms,
// surrogates and values beyond Unicode are not UTF-8.
std::size_t Utf8Length(std::string_view bytes, std::size_t i) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    std::uint32_t code = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        code = lead & 0x1Fu;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        code = lead & 0x0Fu;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return 0;
    }
    if (length > bytes.size() - i) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(bytes[i + k]);
        if ((next & 0xC0) != 0x80) return 0;
        code = (code << 6) | (next & 0x3Fu);
    }
    const std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return 0;
    return length;
}

// Half-width katakana, one byte each in code page 932.
bool IsHalfWidthKatakana(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0xA1 && byte <= 0xDF;
}

bool IsAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// An iconv descriptor that closes itself. Without one (no converter on the system) only ASCII,
// which both encodings share, gets through.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (Usable()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Opened once per thread: opening costs more than converting a line.
    static Converter& FromCp932() {
        thread_local Converter converter("UTF-8", "CP932");
        return converter;
    }
    static Converter& ToCp932() {
        thread_local Converter converter("CP932", "UTF-8");
        return converter;
    }

    // Appends the conversion of input to out up to the first sequence that cannot be converted;
    // returns how many bytes of input were converted.
    std::size_t Append(std::string_view input, std::string& out) {
        if (!Usable()) {
            const auto end = std::find_if(input.begin(), input.end(), [](char c) {
                return static_cast<unsigned char>(c) >= 0x80;
            });
            out.append(input.begin(), end);
            return static_cast<std::size_t>(end - input.begin());
        }
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char buffer[256];  // always room for one character, so every round makes progress
        while (inLeft > 0) {
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            const std::size_t rc = iconv(cd_, &in, &inLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
                break;
            }
        }
        return input.size() - inLeft;
    }

private:
    bool Usable() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    iconv_t cd_;
};

// Valid UTF-8 as it is; each byte that starts no valid sequence becomes "?".
std::string RepairUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = Utf8Length(bytes, i);
        if (length == 0) {
            out += '?';
            ++i;
        } else {
            out.append(bytes.substr(i, length));
            i += length;
        }
    }
    return out;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = Utf8Length(bytes, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::size_t NextCharacter(std::string_view text, std::size_t i) {
    return i + std::max<std::size_t>(Utf8Length(text, i), 1);
}

std::string Cp932ToUtf8(std::string_view bytes) {
    Converter& decode = Converter::FromCp932();
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    while (!bytes.empty()) {
        bytes.remove_prefix(decode.Append(bytes, out));
        if (bytes.empty()) break;
        out += '?';
        bytes.remove_prefix(1);
    }
    return out;
}

std::string Utf8ToCp932(std::string_view text) {
    Converter& encode = Converter::ToCp932();
    Converter& decode = Converter::FromCp932();
    std::string out;
    out.reserve(text.size());
    std::string code;
    std::string back;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8Length(text, i);
        if (length <= 1) {  // ASCII is the same in both encodings
            out += length == 1 ? text[i] : '?';
            ++i;
            continue;
        }
        // A character is kept only when its code reads back as the same character.
        const std::string_view character = text.substr(i, length);
        code.clear();
        back.clear();
        const bool exact = encode.Append(character, code) == length && !code.empty() &&
                           decode.Append(code, back) == code.size() && back == character;
        out += exact ? code : std::string("?");
        i += length;
    }
    return out;
}

std::string AsCp932Text(std::string_view text) {
    return Cp932ToUtf8(Utf8ToCp932(text));
}

namespace {

bool ReadsAsUtf8(std::string_view bytes) {
    if (!IsValidUtf8(bytes)) return false;
    bool katakanaOnly = true;
    for (std::size_t i = 0; i < bytes.size(); i = NextCharacter(bytes, i)) {
        const std::size_t length = Utf8Length(bytes, i);
        if (length > 1 &&
            (length != 2 || !IsHalfWidthKatakana(bytes[i]) || !IsHalfWidthKatakana(bytes[i + 1])))
            katakanaOnly = false;
    }
    return !katakanaOnly && AsCp932Text(bytes) == bytes;
}

}  // namespace

std::string DecodeFileText(std::string_view bytes) {
    if (bytes.starts_with(kByteOrderMark)) return RepairUtf8(bytes.substr(kByteOrderMark.size()));
    if (IsAscii(bytes) || ReadsAsUtf8(bytes)) return std::string(bytes);
    return Cp932ToUtf8(bytes);
}

std::string EncodeFileText(std::string_view text) {
    std::string bytes = Utf8ToCp932(text);
    if (!bytes.starts_with(kByteOrderMark) && !ReadsAsUtf8(bytes)) return bytes;
    return std::string(kByteOrderMark) + Cp932ToUtf8(bytes);
}

TypedText::TypedText(std::string_view typed) : typed_(typed) {
    for (std::size_t i = 0; i < typed.size(); i = NextCharacter(typed, i)) {
        asciiStarts_.push_back(ascii_.size());
        typedStarts_.push_back(i);
        const std::string_view character = typed.substr(i, NextCharacter(typed, i) - i);
        const std::uint32_t code =
            character.size() == 3 ? (static_cast<unsigned char>(character[0]) & 0x0Fu) << 12 |
                                        (static_cast<unsigned char>(character[1]) & 0x3Fu) << 6 |
                                        (static_cast<unsigned char>(character[2]) & 0x3Fu)
                                  : 0;
        if (code == 0x3000)
            ascii_ += ' ';
        else if (code >= 0xFF01 && code <= 0xFF5E)
            ascii_ += static_cast<char>(code - 0xFF01 + '!');
        else
            ascii_ += character;
    }
    asciiStarts_.push_back(ascii_.size());
    typedStarts_.push_back(typed.size());
}

std::string TypedText::Typed(std::size_t begin, std::size_t end) const {
    if (begin >= end) return "";
    // The character that holds begin, up to the first one that starts at or after end.
    const auto first = std::upper_bound(asciiStarts_.begin(), asciiStarts_.end(), begin) - 1;
    const auto last = std::lower_bound(asciiStarts_.begin(), asciiStarts_.end(), end);
    const std::size_t from = typedStarts_[static_cast<std::size_t>(first - asciiStarts_.begin())];
    const std::size_t to =
        last == asciiStarts_.end()
            ? typed_.size()
            : typedStarts_[static_cast<std::size_t>(last - asciiStarts_.begin())];
    return typed_.substr(from, to - from);
}
