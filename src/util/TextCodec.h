#pragma once

#include <string>
#include <string_view>

// Text inside the program is UTF-8; files on disk are code page 932 (Shift-JIS).

bool IsValidUtf8(std::string_view bytes);

// Bytes that code page 932 cannot map become "?".
std::string Cp932ToUtf8(std::string_view bytes);
// Characters that code page 932 cannot hold become "?".
std::string Utf8ToCp932(std::string_view text);

// A file's text as UTF-8: taken as it is when it is valid UTF-8 (a UTF-8 byte-order mark is
// dropped), else decoded from code page 932.
std::string DecodeFileText(std::string_view bytes);
