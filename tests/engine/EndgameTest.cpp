// Exact endgame results on the FFO test positions and against an independent solver.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "EngineTestSupport.h"

namespace {

int Sign(int v) {
    return (v > 0) - (v < 0);
}

// The engine's final-position scale: the disc difference offset by 10000, a draw counting as
// +10000, 100 more for a wipe-out.
int FinalScore(const GameBoard& b) {
    int d = 0;
    for (int v : b)
        d += v;
    const int bonus = std::abs(d) + EmptyCount(b) == 64 ? 100 : 0;
    return d >= 0 ? d + 10000 + bonus : d - 10000 - bonus;
}

// Alpha-beta over plain rules, +1 maximising; the value of the position with `mover` to move.
int Solve(const GameBoard& b, int mover, int alpha, int beta) {
    const auto moves = LegalMoves(b, mover);
    if (moves.empty()) {
        if (LegalMoves(b, -mover).empty()) return FinalScore(b);
        return Solve(b, -mover, alpha, beta);
    }
    int best = mover == 1 ? -20000 : 20000;
    for (const Square& m : moves) {
        GameBoard child = b;
        Play(child, m, mover);
        const int v = Solve(child, -mover, alpha, beta);
        if (mover == 1) {
            best = std::max(best, v);
            alpha = std::max(alpha, v);
        } else {
            best = std::min(best, v);
            beta = std::min(beta, v);
        }
        if (alpha >= beta) break;
    }
    return best;
}

struct Exact {
    PointData move;
    int score;
};

Exact CompleteSearchOf(const GameBoard& board, int side) {
    Morvane engine;
    engine.tickCount = [] { return 0u; };
    TraceLog log;
    log.Attach(engine);
    engine.LoadPosition(board.data(), side);
    const PointData move = engine.ThinkByAmount(8);
    EXPECT_EQ(log.lines[1], "Complete search");
    int score = 0;
    for (const std::string& l : log.lines)
        if (l.rfind("得点=", 0) == 0) score = std::stoi(l.substr(std::string("得点=").size()));
    return {move, score};
}

}  // namespace

TEST(Endgame, ExactSearchAgreesWithFfoAt14To16Empties) {
    int checked = 0;
    for (const FfoPosition& p : LoadFfo()) {
        if (p.empties < 14 || p.empties > 16) continue;
        int side = 1;
        const GameBoard b = BoardFromText(p.text, &side);
        const Exact r = CompleteSearchOf(b, side);
        const int best = p.moves.front().second;
        // Every move listed with the best score is a best move; the engine must pick one of them.
        bool amongBest = false;
        for (const auto& [square, score] : p.moves)
            amongBest |= score == best && square == Square{r.move.x, r.move.y};
        EXPECT_TRUE(amongBest) << "FFO #" << p.number << " played "
                               << SquareName(r.move.x, r.move.y);
        // The FFO score adds the empties of an early end to the winner; the engine counts discs.
        ASSERT_GE(std::abs(r.score), 10000) << "FFO #" << p.number;
        int discs = r.score >= 10000 ? r.score - 10000 : r.score + 10000;
        if (std::abs(discs) > 64) discs -= Sign(discs) * 100;  // a wipe-out
        EXPECT_LE(std::abs(discs), 64);
        EXPECT_EQ(Sign(discs), Sign(best)) << "FFO #" << p.number;
        EXPECT_LE(std::abs(discs), std::abs(best)) << "FFO #" << p.number;
        EXPECT_GE(std::abs(discs), std::abs(best) - p.empties) << "FFO #" << p.number;
        ++checked;
    }
    EXPECT_EQ(checked, 20);
}

TEST(Endgame, ExactSearchAgreesWithAnIndependentSolver) {
    // Positions of 10 to 12 empty squares reached from the FFO positions along the engine's own
    // exact best line.
    int checked = 0;
    for (const FfoPosition& p : LoadFfo()) {
        if (p.empties != 14) continue;
        int side = 1;
        GameBoard b = BoardFromText(p.text, &side);
        for (int ply = 0; ply < 3; ++ply) {
            if (LegalMoves(b, side).empty()) side = -side;
            if (LegalMoves(b, side).empty()) break;
            const Exact r = CompleteSearchOf(b, side);
            Play(b, {r.move.x, r.move.y}, side);
            side = -side;
        }
        if (LegalMoves(b, side).empty()) side = -side;
        if (LegalMoves(b, side).empty()) continue;
        GameBoard oriented = b;
        for (int& v : oriented)
            v *= side;
        const Exact r = CompleteSearchOf(b, side);
        EXPECT_EQ(r.score, Solve(oriented, 1, -20000, 20000)) << "from FFO #" << p.number;
        ++checked;
    }
    EXPECT_GE(checked, 6);
}
