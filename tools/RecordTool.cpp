#include "RecordTool.h"

#include <memory>
#include <ostream>

#include "RecordFormats.h"

namespace {

constexpr int kRefused = 1;
constexpr int kUsage = 2;

const char* const kUsageText =
    "usage: morvane-record show FILE | convert IN OUT (OUT ending in .mvr, .ggf, .txt or .obf)";

// Loads as the game's load command does; on failure the game's message goes to err, then the
// fault in English (the game's box does not name a record file's refused move, for one).
bool Load(const std::string& fileName, OthelloLogic& logic, std::ostream& err) {
    RecordError error;
    if (LoadRecordFile(
            fileName, logic, [&err](const std::string& text) { err << text << '\n'; }, &error))
        return true;
    err << "morvane-record: " << RecordErrorLine(error) << '\n';
    return false;
}

// "40-24 black wins", "32-32 draw", or "in progress" when the last step is not the end.
std::string Result(const OthelloMapHistory& history) {
    OthelloLogic last;
    last.CopyFrom(history.Boards[history.StepCount]);
    if (!last.IsGameOver()) return "in progress";
    const int black = last.CountStones(kBlack);
    const int white = last.CountStones(kWhite);
    const std::string counts = std::to_string(black) + "-" + std::to_string(white);
    if (black == white) return counts + " draw";
    return counts + (black > white ? " black wins" : " white wins");
}

int Show(const std::string& fileName, std::ostream& out, std::ostream& err) {
    auto logic = std::make_unique<OthelloLogic>();
    if (!Load(fileName, *logic, err)) return kRefused;
    const OthelloMapHistory& history = logic->History;
    out << "moves: " << history.MoveString() << '\n'
        << "step: " << history.CurrentStep << '\n'
        << "black: " << logic->CountStones(kBlack) << '\n'
        << "white: " << logic->CountStones(kWhite) << '\n'
        << "result: " << Result(history) << '\n';
    // Other tools parse these lines: a full disc must not pass for an answer.
    if (!out.flush()) {
        err << "morvane-record: cannot write the answer\n";
        return kRefused;
    }
    return 0;
}

int Convert(const std::string& in, const std::string& outName, std::ostream& err) {
    const auto format = RecordFormatOfName(outName);
    if (!format) {
        err << "morvane-record: cannot tell the format of '" << outName
            << "': name it .mvr, .ggf, .txt or .obf\n";
        return kUsage;
    }
    auto logic = std::make_unique<OthelloLogic>();
    if (!Load(in, *logic, err)) return kRefused;
    std::string error;
    if (!SaveRecordAs(logic->History, outName, *format, error)) {
        err << "morvane-record: " << error << '\n';
        return kRefused;
    }
    return 0;
}

}  // namespace

int RunRecordTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 2 && args[0] == "show") return Show(args[1], out, err);
    if (args.size() == 3 && args[0] == "convert") return Convert(args[1], args[2], err);
    err << kUsageText << '\n';
    return kUsage;
}
