#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Far beyond any file of ours (a settings file or a record is under 2 KiB), small enough that
// reading one costs nothing.
inline constexpr std::size_t kMaxTextFileBytes = 64 * 1024;

// Reads a text file as UTF-8 lines without their CR LF or LF ends; the encoding follows
// DecodeFileText. Reading stops before the first line longer than maxLineBytes as stored, as if
// the file ended there. nullopt, exactly as for a missing file, when the file cannot be read: not
// a regular file (a folder, a device), no permission, an I/O error, or more than
// kMaxTextFileBytes before that end. Never throws.
std::optional<std::vector<std::string>> ReadTextLines(const std::string& path,
                                                      std::size_t maxLineBytes) noexcept;

// Writes UTF-8 lines as EncodeFileText does, each ended by CR LF; a control character inside a
// line becomes "?", so one line can never become two. True only when the whole file was written
// and synced; on failure the old file is as it was.
// The text goes to a short-named temporary file in the same folder that then replaces the file
// (the target, when path is a symbolic link), taking over its permission bits; the folder is
// synced after the rename. A file that is not writable is not replaced. When the folder refuses a
// new file but the file is writable, the file is rewritten in place instead.
bool WriteTextFileAtomically(const std::string& path,
                             const std::vector<std::string>& lines) noexcept;
