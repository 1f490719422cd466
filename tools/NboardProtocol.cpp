#include "NboardProtocol.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <istream>
#include <iterator>
#include <mutex>
#include <ostream>
#include <sstream>
#include <thread>

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

// Discs for exact values and for a finished game inside an evaluating search, else the value.
int EvalOf(const MoveValue& v) {
    return v.kind == MoveValue::Kind::Eval ? DiscEval(v.value) : v.value;
}

std::string SearchLine(const std::string& move, int eval, int depth) {
    return "search " + move + " " + std::to_string(eval) + " 0 " + std::to_string(depth);
}

bool IsQuit(const std::string& line) {
    const std::vector<std::string> words = Words(line);
    return words.size() == 1 && words[0] == "quit";
}

// Lines from the reader thread to the session's thread, until the input ends.
class LineQueue {
public:
    struct Item {
        std::string line;
        bool tooLong = false;
    };
    void Push(Item item) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            items_.push_back(std::move(item));
        }
        ready_.notify_one();
    }
    void Close() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            closed_ = true;
        }
        ready_.notify_one();
    }
    // Waits for the next line; nothing once the input has ended and every line is taken.
    std::optional<Item> Pop() {
        std::unique_lock<std::mutex> lock(mutex_);
        ready_.wait(lock, [this] { return !items_.empty() || closed_; });
        if (items_.empty()) return std::nullopt;
        Item item = std::move(items_.front());
        items_.pop_front();
        return item;
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Item> items_;
    bool closed_ = false;
};

}  // namespace

NboardSession::NboardSession(std::ostream& out)
    : out_(out),
      engine_(std::make_unique<Morvane>()),
      analysis_(std::make_unique<MorvaneAnalysis>()),
      level_(OthelloParams().CpuLevel),
      ruled_(std::make_unique<RuledGame>()) {
    engine_->onPump = [this] {
        if (Stopping()) engine_->Abort();
    };
    engine_->onIteration = [this](const SearchIteration& iteration) {
        Status("depth " + std::to_string(iteration.depth) + ", " +
               std::to_string(iteration.thinkNodes) + " nodes");
    };
}

NboardSession::~NboardSession() = default;

bool NboardSession::Interrupts(const std::string& line) {
    const std::vector<std::string> words = Words(line);
    return (!words.empty() && words[0] == "ping") || IsQuit(line);
}

void NboardSession::Interrupt() {
    waitingInterrupts_.fetch_add(1);
    analysis_->Stop();
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
    if (Interrupts(line) && Stopping()) waitingInterrupts_.fetch_sub(1);
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

AnalysisResult NboardSession::Analyze(const BoardArray& board, int color,
                                      const std::function<void(const MoveValue&)>& onValue) {
    // A line that came in before the analysis started stops it as well.
    analysis_->Reset();
    if (Stopping()) analysis_->Stop();
    const AnalysisResult result = analysis_->Analyze(board.data(), color, level_, onValue);
    Send("nodestats " + std::to_string(result.nodes) + " " + Seconds(result.seconds));
    return result;
}

std::optional<NboardSession::Evaluation> NboardSession::Evaluate(const BoardArray& board,
                                                                 int color) {
    auto position = std::make_unique<OthelloLogic>();
    position->CopyFrom(board);
    if (position->IsGameOver())
        return Evaluation{position->CountStones(color) - position->CountStones(-color), 0};
    const bool passes = !position->HasLegalMove(color);
    const AnalysisResult result = Analyze(board, passes ? -color : color);
    if (result.stopped || result.moves.empty()) return std::nullopt;
    const MoveValue& best = result.moves.front();
    return Evaluation{passes ? -EvalOf(best) : EvalOf(best), best.depth + 1};
}

void NboardSession::HintCommand(const std::vector<std::string>& words) {
    const auto count = words.size() == 2 ? Integer(words[1]) : std::nullopt;
    if (!count || *count < 1) return Status("hint needs a number of moves, 1 or more");
    const RuledGame& game = *ruled_;
    if (game.IsOver()) return Status("the game is over; there is nothing to hint");
    const int color = game.ToMove();
    const BoardArray& board = game.Logic.Board;
    if (game.MustPass()) {
        if (const auto value = Evaluate(board, color))
            Send(SearchLine("PA", value->eval, value->depth));
        return Status("");
    }
    // Every pass over the moves (each depth of a midgame analysis, the one pass of an endgame's)
    // values them best guess first; a value goes out as soon as it is known when it ranks among
    // the N best of its pass so far.
    std::vector<int> pass;
    int passDepth = -1;
    Analyze(board, color, [&](const MoveValue& v) {
        if (v.depth != passDepth) pass.clear();
        passDepth = v.depth;
        const auto better =
            std::count_if(pass.begin(), pass.end(), [&](int value) { return value > v.value; });
        pass.push_back(v.value);
        if (better < *count)
            Send(SearchLine(GgfMoveText(PointData(v.x, v.y)), EvalOf(v), v.depth + 1));
    });
    Status("");
}

void NboardSession::GoCommand() {
    const RuledGame& game = *ruled_;
    if (game.IsOver()) return Status("the game is over; there is no move to make");
    if (game.MustPass()) return Send("=== PA");
    const auto start = std::chrono::steady_clock::now();
    PointData move;
    const Evaluation value = Think(game.Logic.Board, game.ToMove(), true, move);
    if (engine_->WasAborted()) return Status("");  // its move is no answer
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    Send("=== " + GgfMoveText(move) + "/" + std::to_string(value.eval) + "/" + Seconds(seconds));
    Status("");
}

void NboardSession::AnalyzeCommand() {
    const std::vector<Position> positions = Positions();
    for (std::size_t n = positions.size(); n-- > 0;) {
        const auto value = Evaluate(positions[n].board, positions[n].toMove);
        if (!value) break;
        Send("analysis " + std::to_string(n) + " " + std::to_string(value->eval));
    }
    Status("");
}

int RunNboard(std::istream& in, std::ostream& out) {
    NboardSession session(out);
    LineQueue lines;
    // Reads on while the session works, and stops after "quit" so that nothing reads on into
    // input that is not the session's.
    std::thread reader([&] {
        for (;;) {
            // Read by hand so that an endless line costs no more than kMaxLineBytes of memory.
            LineQueue::Item item;
            int c = in.get();
            if (c == EOF) {
                lines.Close();
                return;
            }
            for (; c != EOF && c != '\n'; c = in.get()) {
                if (item.line.size() < kMaxLineBytes)
                    item.line += static_cast<char>(c);
                else
                    item.tooLong = true;
            }
            if (item.tooLong) item.line.clear();
            if (NboardSession::Interrupts(item.line)) session.Interrupt();
            const bool quits = IsQuit(item.line);
            lines.Push(std::move(item));
            if (quits) return;
        }
    });
    while (const auto item = lines.Pop()) {
        if (item->tooLong) {
            out << "status line longer than " << kMaxLineBytes << " bytes ignored" << std::endl;
        } else if (!session.Handle(item->line)) {
            break;
        }
    }
    reader.join();
    return 0;
}
