// The padded board, make/undo, the evaluation terms and the mask-word move generation.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "EngineTestSupport.h"

// The generated moves in the order of LegalMoves. The generation order itself shows in the node
// counts of the traces.
static Moves Generated(Morvane& e, int color) {
    Moves moves;
    for (int i = 0, n = e.GenerateMovesWide(color); i < n; ++i)
        moves.push_back(Morvane::SquareXY(e.moveList[i]));
    std::sort(moves.begin(), moves.end(),
              [](auto a, auto b) { return a.x * 9 + a.y < b.x * 9 + b.y; });
    return moves;
}

TEST(Evaluate, TermsAndCountStableOnHandMadeBoards) {
    constexpr int kAny = 1 << 20;
    // +1 stones, -1 stones, Evaluate, CountStable (stable discs count 2 in the evaluation).
    const std::tuple<const char*, const char*, int, int> cases[] = {
        {"e4 d5", "d4 e5", 0, 0},   // start position: no corner, no edge, four moves each
        {"b2", "", -8, 0},          // X-square next to an empty corner
        {"a1 b2", "", 17, 1},       // beside a taken corner the X-square no longer counts
        {"a2", "", -3, 0},          // C-square: edge 1, next to an empty corner -4
        {"h8", "", 17, 1},          // a corner alone: 15 plus its own stability
        {"d1 d4", "h5 e8", -1, 0},  // edges weigh 1, inner squares 0
        {"a1", "b1", 19, 1},        // corner 15, edge -1, mobility 3 * (1 - 0), stable 2
        {"a1 a2 a3 a4 b1 b2 b3 b4 b5", "", kAny, 7},                        // the worked example
        {"a1 a2 a3 a4 a5 a6 a7 a8 b1 b2 b3 b4 b5 b6 b7 b8", "", kAny, 16},  // full line: 8 next
        {"a1 a2 a3 a4 a5 a6 a7 a8 b1 b2 b3 b4 b6 b7 b8", "b5", kAny, 8 + 4 + 3},
        {"a1 f8", "h8 g8", kAny, 1 - 2},
    };
    Morvane e;
    for (const auto& [own, opp, score, stable] : cases) {
        Prepare(e, {Stones(own, opp), 1});
        EXPECT_EQ(e.CountStable(), stable) << own << " / " << opp;
        EXPECT_TRUE(score == kAny || e.Evaluate() == score) << own << " / " << opp;
    }
}

// Preparation, the evaluation from both sides, generation, make and undo: all
// against the plain rules. The child's masks, generation and evaluation on both board forms are
// checked node by node by the searches (Implementations).
TEST(MakeUndo, MovesMatchThePlainRulesAndUndoRestoresBoardAndDiscDiffExactly) {
    constexpr int kEmpties[] = {59, 50, 40, 33, 32, 31, 20};
    int checked = 0;
    for (std::size_t i = 0; i < 7 + Ffo().size(); ++i) {
        const Game g = i < 7 ? PositionWithEmpties(kEmpties[i]) : Ffo()[i - 7].game;
        Morvane e;
        EXPECT_EQ(Prepare(e, g) == 1, EmptyCount(g.board) <= 32);
        Morvane other;  // the other side's view: colours swap
        Prepare(other, {g.board, -g.side});
        EXPECT_EQ(other.Evaluate(), -e.Evaluate()) << "Evaluate is antisymmetric";
        const GameBoard b = Oriented(g);
        for (int color : {1, -1}) {
            const Moves expected = LegalMoves(b, color);
            EXPECT_EQ(Generated(e, color), expected);
            for (const PointData& m : expected) {
                const auto before = std::tuple(Cells(e), e.discDiff);
                const int s = Morvane::SquareIndex(m.x, m.y);
                e.MakeMove(s, color);
                GameBoard played = b;
                Play(played, m, color);
                for (int x = 1; x <= 8; ++x)
                    for (int y = 1; y <= 8; ++y)
                        ASSERT_EQ(e.board[x * 16 + y], played[x * 10 + y]);
                EXPECT_EQ(e.discDiff, e.SumBoard());
                e.UndoMove(s, -color);
                ASSERT_EQ(std::tuple(Cells(e), e.discDiff), before);
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 1000);
}
