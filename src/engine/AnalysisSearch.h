#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "Morvane.h"

// The searches behind MorvaneAnalysis, on disc bitboards (bit (y - 1) * 8 + (x - 1)) with a
// transposition table shared by every move of an analysis: a depth-limited search that scores
// exactly as the game's Search does (its leaves are the engine's own evaluation, a finished game
// Morvane::FinalScore), and an exact endgame solver. Both are fail-soft negamax
// searches with null windows below the first move (principal variation search); the solver
// orders its moves fastest first (fewest replies for the opponent) and ends with parity-ordered
// small-empties code. Ideas borrowed from common endgame-solver practice (fastest-first,
// quadrant parity, stability cut-offs, enhanced transposition cut-offs), none of its code.
class AnalysisSearch {
public:
    using u64 = std::uint64_t;

    // The exact solver's scale: the final disc difference of the side to move, empty squares not
    // counted, 100 further from 0 when one side has no discs left, as the game's exact search
    // ranks a wipe-out above every other result.
    static constexpr int kWipeOut = Morvane::kWipeOutBonus;
    static constexpr int kExactMax = 64 + kWipeOut;
    // The disc difference of an exact value.
    static int Discs(int exact) {
        return exact > 64 ? exact - kWipeOut : exact < -64 ? exact + kWipeOut : exact;
    }

    explicit AnalysisSearch(const std::atomic<bool>& stop);
    ~AnalysisSearch();
    AnalysisSearch(const AnalysisSearch&) = delete;
    AnalysisSearch& operator=(const AnalysisSearch&) = delete;

    static u64 Moves(u64 P, u64 O);
    static u64 Flips(int sq, u64 P, u64 O);
    static int Count(u64 b);

    // A new analysis: node count and stop state cleared; the table keeps what it knows, which
    // holds for any position.
    void Begin();
    bool Stopped() const { return stopped_; }
    long long Nodes() const { return nodes_; }

    // Exact value of P to move (the scale above), fail-soft within (alpha, beta).
    int Exact(u64 P, u64 O, int alpha, int beta);
    // The game's Search to `depth` plies (a pass takes one), from P's view in the engine's points.
    int Midgame(u64 P, u64 O, int depth, int alpha, int beta);

private:
    struct Entry;
    struct MoveList;

    int Solve(u64 P, u64 O, int n, int alpha, int beta);
    int SolveSmall(u64 P, u64 O, int n, int alpha, int beta, const int* empties, unsigned parity);
    int SolveLast(u64 P, u64 O, int sq);
    int Mid(u64 P, u64 O, int n, int depth, int alpha, int beta);
    int Evaluate(u64 P, u64 O);
    bool CheckStop();

    Entry* Probe(u64 P, u64 O, std::uint8_t kind, int depth);
    void Store(u64 P, u64 O, std::uint8_t kind, int depth, int alpha, int beta, int value,
               int move);

    const std::atomic<bool>& stop_;
    bool stopped_ = false;
    long long nodes_ = 0;
    std::vector<Entry> table_;
    // The engine's evaluation on bitboards: the analysis scores leaves in the game's own points.
    std::unique_ptr<Morvane> evaluator_;
};
