#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Reads a text file (code page 932, or UTF-8) as UTF-8 lines without their CR LF or LF ends.
// Reading stops before the first line longer than maxLineBytes as stored on disk, as if the file
// ended there. nullopt when the file cannot be opened.
std::optional<std::vector<std::string>> ReadTextLines(const std::string& path,
                                                      std::size_t maxLineBytes);

// Writes UTF-8 lines as code page 932, each ended by CR LF. The text goes to a temporary file in
// the same folder that replaces path only once it is completely written, so a failed write never
// destroys the old file. True when the whole file was written.
bool WriteTextFileAtomically(const std::string& path, const std::vector<std::string>& lines);
