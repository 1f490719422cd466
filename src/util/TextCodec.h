#pragma once

#include <string>
#include <string_view>
#include <vector>

// Text inside the program is UTF-8; files on disk are code page 932 (Shift-JIS), or UTF-8 when a
// person edited them.

bool IsValidUtf8(std::string_view bytes);
// The index after the character that starts at i; a byte that starts no valid sequence is one
// character.
std::size_t NextCharacter(std::string_view text, std::size_t i);

// Bytes that code page 932 cannot map become "?".
std::string Cp932ToUtf8(std::string_view bytes);
// Characters that code page 932 cannot hold exactly become "?": those it has no code for, those
// it would store as a look-alike that reads back as another character (¥ as "\", 〜 as ～, − as
// －), and those it would drop (invisible tag characters). Each byte of invalid UTF-8 becomes "?".
std::string Utf8ToCp932(std::string_view text);
// The text as it comes back from a code page 932 file: Cp932ToUtf8(Utf8ToCp932(text)).
std::string AsCp932Text(std::string_view text);

// Which encoding a file has, decided once for the whole file, the same way on both sides:
// - reading: a file that starts with a UTF-8 byte-order mark is UTF-8 (invalid sequences become
//   "?"). Without a mark it is UTF-8 only when its bytes are valid UTF-8, every character they
//   decode to is one code page 932 holds (the game can store no other), and they are not code
//   page 932's half-width katakana throughout ("ﾅｶ", C5 B6, would also be the UTF-8 of "Ŷ"; "ﾂｧ",
//   C2 A7, that of "§"). Any other file is code page 932, as the original program wrote them.
// - writing: code page 932, unless those bytes would read as UTF-8 by that rule or begin like a
//   mark; then UTF-8 with a mark. So every file the program writes reads back as written, and a
//   code page 932 file it reads is written back byte for byte.
std::string DecodeFileText(std::string_view bytes);
std::string EncodeFileText(std::string_view text);

// Text as a person typed it, read with the full-width forms of a Japanese input method (letters,
// digits, signs, and the ideographic space U+3000) as their ASCII characters. One character
// stands for one, so that a fault found in Ascii() can be quoted as it was typed.
class TypedText {
public:
    explicit TypedText(std::string_view typed);

    const std::string& Ascii() const { return ascii_; }
    // The typed characters behind Ascii()[begin, end), whole characters.
    std::string Typed(std::size_t begin, std::size_t end) const;

private:
    std::string typed_;
    std::string ascii_;
    // Where each character starts in ascii_ and in typed_, then both ends.
    std::vector<std::size_t> asciiStarts_;
    std::vector<std::size_t> typedStarts_;
};
