#pragma once

#include <atomic>
#include <cstdint>
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
// Both run on the engine's bit primitives, in the copy for the instruction set chosen (as the
// game's bitboard search, AnalysisCore.h once per instruction set).
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

    AnalysisSearch(const std::atomic<bool>& stop, Morvane::CpuPath path);
    ~AnalysisSearch();
    AnalysisSearch(const AnalysisSearch&) = delete;
    AnalysisSearch& operator=(const AnalysisSearch&) = delete;

    u64 Moves(u64 P, u64 O) const;
    u64 Flips(int sq, u64 P, u64 O) const;
    static int Count(u64 b) { return __builtin_popcountll(b); }

    // A new analysis: node count and stop state cleared; the table keeps what it knows, which
    // holds for any position.
    void Begin();
    bool Stopped() const { return state_.stopped; }
    long long Nodes() const { return state_.nodes; }

    // Exact value of P to move (the scale above), fail-soft within (alpha, beta).
    int Exact(u64 P, u64 O, int alpha, int beta);
    // The game's Search to `depth` plies (a pass takes one), from P's view in the engine's points.
    int Midgame(u64 P, u64 O, int depth, int alpha, int beta);

    // What each instruction set's copy of the searches works on.
    struct Entry;
    struct State {
        const std::atomic<bool>& stop;
        bool stopped = false;
        long long nodes = 0;
        Entry* table = nullptr;
    };
    struct Functions;

private:
    std::vector<Entry> table_;
    State state_;
    const Functions& functions_;
};
