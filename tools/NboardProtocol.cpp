#include "NboardProtocol.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <istream>
#include <iterator>
#include <ostream>
#include <sstream>

#include "Othelloparams.h"

namespace {

// The timed driver's pre-search, the only search behind a move that writes no iteration line.
constexpr int kTimedPreSearchDepth = 4;
// Keeps clock arithmetic on milliseconds inside the engine's int.
constexpr long long kMaxClockMs = 1LL << 30;
constexpr int kMaxDepth = 60;
// Far above a whole game in GGF with evaluations and times (a few kilobytes).
constexpr std::size_t kMaxLineBytes = 1 << 20;

std::vector<std::string> Words(const std::string& line) {
    std::istringstream stream(line);
    return {std::istream_iterator<std::string>(stream), {}};
}

std::optional<int> Integer(const std::string& text) {
    int value = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (status != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// Discs for a decided game, 1 for a proof that the mover does not lose (-1: that it loses), the
// engine's own points otherwise.
int DiscEval(int score) {
    if (Morvane::IsWinLossScore(score)) return score < 0 ? -1 : 1;
    return Morvane::IsGameResult(score) ? Morvane::FinalDiscs(score) : score;
}

std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", seconds);
    return text;
}

int EmptySquares(const BoardArray& board) {
    int empty = 0;
    for (int x = 1; x <= 8; ++x)
        for (int y = 1; y <= 8; ++y)
            empty += board[BoardIndex(x, y)] == kEmpty ? 1 : 0;
    return empty;
}

}  // namespace

NboardSession::NboardSession(std::ostream& out)
    : out_(out),
      engine_(std::make_unique<Morvane>()),
      level_(OthelloParams().CpuLevel),
      ruled_(std::make_unique<RuledGame>()) {
    engine_->onIteration = [this](const SearchIteration& iteration) {
        Status("depth " + std::to_string(iteration.depth) + ", " +
               std::to_string(iteration.thinkNodes) + " nodes");
    };
}

int NboardSession::LevelForDepth(int depth) {
    // The one-iteration levels by their start depth, then one node-amount level per further ply.
    int level = 0;
    while (kLevelTable[level].NodeAmount == 0) {
        if (depth <= kLevelTable[level].StartDepth) return level;
        ++level;
    }
    const int beyond = depth - kLevelTable[level - 1].StartDepth - 1;
    return std::min(level + beyond, static_cast<int>(kLevelTable.size()) - 1);
}

void NboardSession::Send(const std::string& line) {
    out_ << line << std::endl;
}

void NboardSession::Status(const std::string& text) {
    Send(text.empty() ? "status" : "status " + text);
}

bool NboardSession::Handle(const std::string& line) {
    const std::vector<std::string> words = Words(line);
    if (words.empty()) return true;
    const std::string& command = words[0];
    const bool bare = words.size() == 1;
    if (command == "quit" && bare) return false;
    if (command == "nboard") {
        NboardCommand(words);
    } else if (command == "set") {
        SetCommand(words, line);
    } else if (command == "move") {
        MoveCommand(words);
    } else if (command == "hint") {
        HintCommand(words);
    } else if (command == "go" && bare) {
        GoCommand();
    } else if (command == "ping") {
        // Whatever follows, a GUI waits for its pong.
        std::string given = line.substr(line.find("ping") + 4);
        given.erase(0, given.find_first_not_of(" \t\r\n\v\f"));
        given.erase(given.find_last_not_of(" \t\r\n\v\f") + 1);
        Send(given.empty() ? "pong" : "pong " + given);
    } else if (command == "learn" && bare) {
        Send("learned");
    } else if (command == "analyze" && bare) {
        AnalyzeCommand();
    } else if (command == "quit" || command == "go" || command == "learn" || command == "analyze") {
        Status("'" + command + "' takes no arguments");
    } else {
        Status("unknown command '" + command + "'");
    }
    return true;
}

void NboardSession::NboardCommand(const std::vector<std::string>& words) {
    if (words.size() != 2 || !Integer(words[1])) {
        Status("nboard needs the protocol version");
    } else if (words[1] != "2") {
        Status("protocol version " + words[1] + " is not supported; this engine speaks version 2");
    } else {
        Send("set myname Morvane");
    }
}

void NboardSession::SetCommand(const std::vector<std::string>& words, const std::string& line) {
    const std::string what = words.size() > 1 ? words[1] : "";
    if (what == "depth") {
        const auto depth = words.size() == 3 ? Integer(words[2]) : std::nullopt;
        if (!depth || *depth < 1 || *depth > kMaxDepth)
            return Status("set depth needs a number from 1 to " + std::to_string(kMaxDepth));
        level_ = LevelForDepth(*depth);
    } else if (what == "contempt") {
        // Accepted and ignored: the engine's evaluation has no notion of contempt.
        char* end = nullptr;
        if (words.size() != 3 || (std::strtod(words[2].c_str(), &end), *end != '\0'))
            Status("set contempt needs a number");
    } else if (what == "game") {
        GgfGame game;
        RecordError error;
        const std::string ggf = line.substr(line.find("game") + 4);
        if (!ParseGgf(ggf, game, error) || !SetGame(game, error))
            Status("set game: " + RecordErrorLine(error));
    } else {
        Status("unknown setting '" + what + "'");
    }
}

bool NboardSession::SetGame(const GgfGame& game, RecordError& error) {
    auto ruled = std::make_unique<RuledGame>();
    if (!PlayGgf(game, *ruled, error)) return false;
    game_ = game;
    ruled_ = std::move(ruled);
    return true;
}

void NboardSession::MoveCommand(const std::vector<std::string>& words) {
    if (words.size() != 2) return Status("move needs one move such as F5 or F5/-2.00/1.5");
    GgfMove move;
    if (!ParseGgfMove(words[1], move))
        return Status("move " + words[1] + ": not a square such as F5, nor PA");
    const int before = ruled_->ToMove();
    if (!(move.square ? ruled_->Play(kEmpty, *move.square) : ruled_->Pass(before))) {
        return Status("move " + words[1] + " is not legal here");
    }
    // An implied pass: the square was the other side's.
    move.color = move.square ? -ruled_->ToMove() : before;
    if (move.square && move.color != before) game_.moves.push_back(GgfMove{before, {}, 0});
    game_.moves.push_back(move);
}

std::vector<NboardSession::Position> NboardSession::Positions() const {
    RuledGame replay(game_.start);
    std::vector<Position> positions{{replay.Logic.Board, replay.ToMove()}};
    for (const GgfMove& move : game_.moves) {
        if (move.square)
            replay.Play(move.color, *move.square);
        else
            replay.Pass(move.color);
        positions.push_back({replay.Logic.Board, replay.ToMove()});
    }
    return positions;
}

std::optional<long long> NboardSession::RemainingMs(int color) const {
    const GgfClock& clock = color == kBlack ? game_.black : game_.white;
    if (!clock.mainMs) return std::nullopt;
    long long remaining = *clock.mainMs;
    for (const GgfMove& move : game_.moves) {
        if (move.color != color) continue;
        remaining += clock.incrementMs - std::llround(move.seconds * 1000);
    }
    return std::clamp(remaining, -kMaxClockMs, kMaxClockMs);
}

NboardSession::Evaluation NboardSession::Think(const BoardArray& board, int color, bool useClock,
                                               PointData& move) {
    Morvane& engine = *engine_;
    const auto start = std::chrono::steady_clock::now();
    engine.LoadPosition(board.data(), color);
    const auto remaining = useClock ? RemainingMs(color) : std::nullopt;
    if (remaining) {
        const GgfClock& clock = color == kBlack ? game_.black : game_.white;
        engine.StartGame(static_cast<int>(std::min(*clock.mainMs, kMaxClockMs)));
        move = engine.ThinkByTime(static_cast<int>(*remaining));
    } else {
        move = engine.ThinkByAmount(level_);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const ThinkReport& report = engine.report;
    Send("nodestats " + std::to_string(report.nodes) + " " + Seconds(seconds));
    const bool decided = Morvane::IsGameResult(report.score);
    const int depth = decided                      ? EmptySquares(board)
                      : !report.iterations.empty() ? report.iterations.back().depth
                                                   : kTimedPreSearchDepth;
    return {DiscEval(report.score), depth};
}

NboardSession::Evaluation NboardSession::Evaluate(const BoardArray& board, int color,
                                                  bool useClock) {
    auto position = std::make_unique<OthelloLogic>();
    position->CopyFrom(board);
    PointData move;
    if (position->IsGameOver())
        return {position->CountStones(color) - position->CountStones(-color), 0};
    if (!position->HasLegalMove(color)) {
        const Evaluation other = Think(board, -color, useClock, move);
        return {-other.eval, other.depth};
    }
    return Think(board, color, useClock, move);
}

void NboardSession::HintCommand(const std::vector<std::string>& words) {
    const auto count = words.size() == 2 ? Integer(words[1]) : std::nullopt;
    if (!count || *count < 1) return Status("hint needs a number of moves, 1 or more");
    const RuledGame& game = *ruled_;
    if (game.IsOver()) return Status("the game is over; there is nothing to hint");
    const int color = game.ToMove();
    const BoardArray& board = game.Logic.Board;
    struct Hint {
        std::string move;
        Evaluation value;
    };
    std::vector<Hint> hints;
    if (game.MustPass()) {
        const Evaluation value = Evaluate(board, color, false);
        hints.push_back({"PA", value});
    } else if (*count == 1) {
        PointData move;
        const Evaluation value = Think(board, color, false, move);
        hints.push_back({GgfMoveText(move), value});
    } else {
        // Every move's value from the position it leads to, so that any number can be ranked.
        for (int x = 1; x <= 8; ++x) {
            for (int y = 1; y <= 8; ++y) {
                if (!game.Logic.CanPut(color, x, y)) continue;
                auto child = std::make_unique<OthelloLogic>();
                child->CopyFrom(board);
                child->PutStone(color, x, y);
                const Evaluation reply = Evaluate(child->Board, -color, false);
                hints.push_back({GgfMoveText(PointData(x, y)), {-reply.eval, reply.depth + 1}});
            }
        }
        std::stable_sort(hints.begin(), hints.end(),
                         [](const Hint& a, const Hint& b) { return a.value.eval > b.value.eval; });
    }
    hints.resize(std::min(hints.size(), static_cast<std::size_t>(*count)));
    for (const Hint& hint : hints) {
        Send("search " + hint.move + " " + std::to_string(hint.value.eval) + " 0 " +
             std::to_string(hint.value.depth));
    }
    Status("");
}

void NboardSession::GoCommand() {
    const RuledGame& game = *ruled_;
    if (game.IsOver()) return Status("the game is over; there is no move to make");
    if (game.MustPass()) return Send("=== PA");
    const auto start = std::chrono::steady_clock::now();
    PointData move;
    const Evaluation value = Think(game.Logic.Board, game.ToMove(), true, move);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    Send("=== " + GgfMoveText(move) + "/" + std::to_string(value.eval) + "/" + Seconds(seconds));
    Status("");
}

void NboardSession::AnalyzeCommand() {
    const std::vector<Position> positions = Positions();
    for (std::size_t n = positions.size(); n-- > 0;) {
        const Evaluation value = Evaluate(positions[n].board, positions[n].toMove, false);
        Send("analysis " + std::to_string(n) + " " + std::to_string(value.eval));
    }
    Status("");
}

int RunNboard(std::istream& in, std::ostream& out) {
    NboardSession session(out);
    for (;;) {
        // Read by hand so that an endless line costs no more than kMaxLineBytes of memory.
        std::string line;
        bool tooLong = false;
        int c = in.get();
        if (c == EOF) return 0;
        for (; c != EOF && c != '\n'; c = in.get()) {
            if (line.size() < kMaxLineBytes)
                line += static_cast<char>(c);
            else
                tooLong = true;
        }
        if (tooLong) {
            out << "status line longer than " << kMaxLineBytes << " bytes ignored" << std::endl;
        } else if (!session.Handle(line)) {
            return 0;
        }
    }
}
