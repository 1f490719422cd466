#pragma once

#include <string>
#include <string_view>

// Text inside the program is UTF-8; files on disk are code page 932 (Shift-JIS), or UTF-8 when a
// person edited them.

bool IsValidUtf8(std::string_view bytes);

// Bytes that code page 932 cannot map become "?".
std::string Cp932ToUtf8(std::string_view bytes);
// Characters that code page 932 cannot hold exactly become "?": those it has no code for, those
// it would store as a look-alike that reads back as another character (¥ as "\", 〜 as ～, − as
// －), and those it would drop (invisible tag characters). Each byte of invalid UTF-8 becomes "?".
std::string Utf8ToCp932(std::string_view text);
// The text as it comes back from a code page 932 file: Cp932ToUtf8(Utf8ToCp932(text)).
std::string AsCp932Text(std::string_view text);

// Which encoding a file has, decided once for the whole file, the same way on both sides:
// - reading: a file that starts with a UTF-8 byte-order mark, or whose bytes are all valid UTF-8,
//   is UTF-8 (invalid sequences after a mark become "?"); any other file is code page 932.
// - writing: code page 932, unless those bytes would themselves pass for UTF-8 (some runs of
//   half-width katakana and rare kanji do, "ﾅｶ" is C5 B6) or begin like a mark; then UTF-8 with
//   a mark. So every file the program writes reads back as written and files saved by a UTF-8
//   editor still read; only a hand-made code page 932 file that happens to be valid UTF-8 is not.
std::string DecodeFileText(std::string_view bytes);
std::string EncodeFileText(std::string_view text);
