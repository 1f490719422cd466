#pragma once

#include <string>

// INI line parser shared by the settings file and the game record file. Works on decoded UTF-8
// text, so the bytes of a multibyte character never count as a delimiter.
// Returns false for a line to skip; otherwise kind is 1 section header (name), 2 key with an
// integer value (name, text, number), 3 key with another value (name, text; number untouched),
// 4 line without "=" (name = the trimmed line).
bool ParseIniLine(const std::string& line, std::string& name, std::string& text, int& number,
                  int& kind);

// s without the blanks and control characters at either end.
std::string Trim(const std::string& s);

// Strict string-to-integer conversion: optional sign and decimal digits, or a hexadecimal number
// with a "$" or "0x" prefix; anything else (fractions, trailing characters, overflow) gives
// fallback.
int StrToIntDef(const std::string& s, int fallback);
