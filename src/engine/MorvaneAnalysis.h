#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

// What the player learns from: the value of every legal move of a position, for hints, the
// evaluation graph and the NBoard front-end. It runs on an engine object of its own, on any
// thread, and never touches the game's search, whose nodes and moves stay as they are.

struct MoveValue {
    enum class Kind {
        Exact,    // value: the final disc difference, empty squares not counted
        WinLoss,  // value: +1 win, 0 draw, -1 loss
        Eval,     // value: the engine's evaluation points (not discs: a corner is worth 15); a game
                  // that ends inside the search scores as in the game's search, 10000 plus the
                  // disc difference, or the difference minus 10000 (100 further for a wipe-out)
    };
    int x = 0;  // game coordinates, 1..8
    int y = 0;
    Kind kind = Kind::Eval;
    int value = 0;  // from the view of the side to move in the analysed position
    int depth = 0;  // plies searched below the move (Eval); the empty squares after it otherwise
};

struct AnalysisResult {
    std::vector<MoveValue> moves;  // every legal move, best first; empty for a pass or game over
                                   // (after a stop: the moves valued so far)
    bool mustPass = false;         // the side to move has no legal move, the other side has
    bool gameOver = false;         // neither side has a legal move
    bool stopped = false;          // Stop() ended the work before every move had its final value
    long long nodes = 0;
    double seconds = 0;
};

class MorvaneAnalysis {
public:
    MorvaneAnalysis();
    ~MorvaneAnalysis();
    MorvaneAnalysis(const MorvaneAnalysis&) = delete;
    MorvaneAnalysis& operator=(const MorvaneAnalysis&) = delete;

    // Values every legal move of gameBoard (100 ints indexed x * 10 + y, layout of OthelloLogic)
    // for color (1 black, -1 white) to move, at levelIndex into kLevelTable: exact at or below
    // the level's exact threshold, win/loss at or below its win/loss threshold, else evaluation
    // to the level's depth. onValue (may be empty) runs on the calling thread each time a move's
    // value is first known or improves.
    AnalysisResult Analyze(const int* gameBoard, int color, int levelIndex,
                           const std::function<void(const MoveValue&)>& onValue = {});

    // From any thread: the running Analyze returns within 50 ms with stopped set. A call with
    // no analysis running makes the next Analyze return at once; Reset() clears it.
    void Stop();
    void Reset();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::atomic<bool> stopRequested_{false};
};
