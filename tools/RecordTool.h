#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// morvane-record: shows a game record of any format the game loads, or converts it to another
// format, through the game's own loader and the core's record formats (RecordFormats.h).
//   show FILE       five lines: moves, step, black, white, result
//   convert IN OUT  the format of OUT by its extension: .mvr, .ggf, .txt or .obf
// Returns the exit status: 0 done, 1 a file refused or not written, 2 a usage error.
int RunRecordTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
