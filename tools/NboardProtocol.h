#pragma once

#include <atomic>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Morvane.h"
#include "MorvaneAnalysis.h"
#include "RecordFormats.h"

// The engine side of the NBoard protocol, version 2: one command a line in, answers out, each
// line flushed at once. The game comes from "set game" (GGF) and "move"; the rules, the notation
// and the GGF reader are the core's (RecordFormats.h), the moves the engine's. Commands are
// answered strictly in order, so "pong N" always follows every answer to the lines before it.
// A line that cannot be carried out gets one "status" line saying why and changes nothing.
// "hint" and "analyze" run on MorvaneAnalysis, "go" on the game's search; "ping" and "quit"
// stop either at once when the reader of the input says they are waiting (Interrupt).
class NboardSession {
public:
    explicit NboardSession(std::ostream& out);
    ~NboardSession();

    // Handles one line; false after "quit".
    bool Handle(const std::string& line);

    // Whether line, waiting behind a search, stops it: "ping" stops thinking, as the protocol
    // asks, and so does "quit".
    static bool Interrupts(const std::string& line);
    // From any thread: such a line waits behind the command being handled. Every search stops at
    // once until Handle has come to each such line.
    void Interrupt();

    // "set depth N" for N in 1..60 as an index into the level table: depths 1-2, 3-4 and 5-6
    // take the levels that search one iteration at 2, 4 and 6 plies, depth 7 and above the
    // levels with node amounts from 200000 (depth 7) to 10000000 (depth 12 and more).
    static int LevelForDepth(int depth);

private:
    struct Evaluation {
        int eval;   // discs for decided games, the engine's points otherwise; mover's view
        int depth;  // plies searched; the empty squares for a decided game
    };
    // One position of the game and whose turn it is there, passes included.
    struct Position {
        BoardArray board;
        int toMove;
    };

    void Send(const std::string& line);
    void Status(const std::string& text);

    void NboardCommand(const std::vector<std::string>& words);
    void SetCommand(const std::vector<std::string>& words, const std::string& line);
    void MoveCommand(const std::vector<std::string>& words);
    void HintCommand(const std::vector<std::string>& words);
    void GoCommand();
    void AnalyzeCommand();

    // Starts the game over from the GGF's start with its moves and clock.
    bool SetGame(const GgfGame& game, RecordError& error);
    // The positions of the game so far, the start first.
    std::vector<Position> Positions() const;
    // The value of board for color, who is to move there (passing when it must), by the analysis
    // of its moves; nothing when a waiting line stopped it.
    std::optional<Evaluation> Evaluate(const BoardArray& board, int color);
    // Values every move of board for color at the session's level, each as soon as it is known.
    AnalysisResult Analyze(const BoardArray& board, int color,
                           const std::function<void(const MoveValue&)>& onValue = {});
    bool Stopping() const { return waitingInterrupts_.load() > 0; }
    // Searches board for color, which has a legal move, by the clock when useClock and the game
    // has one, else by the level; reports depth and nodes as status lines.
    Evaluation Think(const BoardArray& board, int color, bool useClock, PointData& move);
    // The milliseconds color has left; empty when the game has no clock for it.
    std::optional<long long> RemainingMs(int color) const;

    std::ostream& out_;
    std::unique_ptr<Morvane> engine_;
    std::unique_ptr<MorvaneAnalysis> analysis_;
    std::atomic<int> waitingInterrupts_{0};
    int level_;
    GgfGame game_;  // start, moves so far (with passes and times) and clocks
    std::unique_ptr<RuledGame> ruled_;
};

// Reads commands from in until "quit" or the end of input; answers go to out. Returns 0. A thread
// of its own reads the input while a command runs, so that "ping" stops a search at once.
int RunNboard(std::istream& in, std::ostream& out);
