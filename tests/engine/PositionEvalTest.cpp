// The padded board, make/undo and the evaluation terms.
#include <gtest/gtest.h>

#include <cstdlib>

#include "EngineTestSupport.h"

namespace {

constexpr const char* kStart = "---------------------------OX------XO--------------------------- X";

GameBoard Empty() {
    return GameBoard{};
}

// Engine with +1 as the side to move and a board prepared for Evaluate at level 0.
int EvaluateBoard(const GameBoard& board, int side = 1) {
    Morvane engine;
    LoadForSearch(engine, board, side);
    engine.PrepareSearch();
    return engine.Evaluate();
}

int CountStableOf(const GameBoard& board) {
    Morvane engine;
    LoadForSearch(engine, board, 1);
    return engine.CountStable();
}

void Put(GameBoard& b, int x, int y, int v) {
    b[static_cast<std::size_t>(x * 10 + y)] = v;
}

// The evaluation written from its definition over the game layout, apart from stability.
int ReferenceWithoutStability(const GameBoard& b) {
    auto c = [&](int x, int y) { return b[static_cast<std::size_t>(x * 10 + y)]; };
    int score = 15 * (c(1, 1) + c(1, 8) + c(8, 1) + c(8, 8));
    const int corners[4][6] = {
        {1, 1, 1, 2, 2, 1}, {1, 8, 1, 7, 2, 8}, {8, 1, 7, 1, 8, 2}, {8, 8, 7, 8, 8, 7}};
    const int xSquares[4][2] = {{2, 2}, {2, 7}, {7, 2}, {7, 7}};
    for (int i = 0; i < 4; ++i) {
        if (c(corners[i][0], corners[i][1]) != 0) continue;
        score -= 4 * (c(corners[i][2], corners[i][3]) + c(corners[i][4], corners[i][5]));
        score -= 8 * c(xSquares[i][0], xSquares[i][1]);
    }
    for (int i = 2; i <= 7; ++i)
        score += c(1, i) + c(8, i) + c(i, 1) + c(i, 8);
    score += 3 * (static_cast<int>(LegalMoves(b, 1).size()) -
                  static_cast<int>(LegalMoves(b, -1).size()));
    return score;
}

GameBoard Oriented(const std::string& text) {
    int side = 1;
    GameBoard b = BoardFromText(text, &side);
    for (int& v : b)
        v *= side;  // the side to move becomes +1, as the engine sees it
    return b;
}

}  // namespace

TEST(Evaluate, InitialPositionIsZero) {
    EXPECT_EQ(EvaluateBoard(BoardFromText(kStart)), 0);
    EXPECT_EQ(EvaluateBoard(BoardFromText(kStart), -1), 0);
}

// Boards of one colour give neither side a move, which isolates the square terms.
TEST(Evaluate, CornerXAndCSquareTerms) {
    GameBoard b = Empty();
    Put(b, 2, 2, 1);
    EXPECT_EQ(EvaluateBoard(b), -8) << "X-square next to an empty corner";
    Put(b, 1, 1, 1);
    EXPECT_EQ(EvaluateBoard(b), 15 + 2)
        << "occupied corner: X-square no longer counts, corner stable";

    GameBoard c = Empty();
    Put(c, 1, 2, 1);
    EXPECT_EQ(EvaluateBoard(c), 1 - 4) << "C-square nets -3";
    GameBoard w = Empty();
    Put(w, 8, 7, -1);
    Put(w, 7, 7, -1);
    EXPECT_EQ(EvaluateBoard(w), -1 + 4 + 8);

    GameBoard corner = Empty();
    Put(corner, 8, 8, 1);
    EXPECT_EQ(EvaluateBoard(corner), 17) << "a corner alone: 15 plus 2 for its own stability";
}

TEST(Evaluate, EdgeSquaresWeighOne) {
    GameBoard b = Empty();
    Put(b, 4, 1, 1);
    EXPECT_EQ(EvaluateBoard(b), 1);
    Put(b, 8, 5, -1);
    Put(b, 5, 8, -1);
    EXPECT_EQ(EvaluateBoard(b), -1);
    Put(b, 4, 4, 1);  // inner squares carry no weight
    EXPECT_EQ(EvaluateBoard(b), -1);
}

TEST(Evaluate, MatchesDefinitionOnRealPositions) {
    for (const FfoPosition& p : LoadFfo()) {
        const GameBoard b = Oriented(p.text);
        Morvane engine;
        LoadForSearch(engine, p.text);
        engine.PrepareSearch();
        const bool anyCorner = b[11] != 0 || b[18] != 0 || b[81] != 0 || b[88] != 0;
        const int stability = anyCorner ? 2 * engine.CountStable() : 0;
        EXPECT_EQ(engine.Evaluate(), ReferenceWithoutStability(b) + stability)
            << "FFO #" << p.number;
    }
}

TEST(Evaluate, SwappingColoursNegatesTheScore) {
    for (const FfoPosition& p : LoadFfo()) {
        const GameBoard b = Oriented(p.text);
        GameBoard swapped = b;
        for (int& v : swapped)
            v = -v;
        EXPECT_EQ(EvaluateBoard(b), -EvaluateBoard(swapped)) << "FFO #" << p.number;
    }
}

TEST(Evaluate, NoMovesForOneSideIsNotAnError) {
    GameBoard b = Empty();
    Put(b, 1, 1, 1);
    Put(b, 2, 1, -1);  // +1 can play (3,1); -1 has nothing to flank
    EXPECT_TRUE(LegalMoves(b, -1).empty());
    EXPECT_EQ(LegalMoves(b, 1).size(), 1u);
    // corner 15, edge -1, mobility 3 * (1 - 0), the corner stable 2 * 1
    EXPECT_EQ(EvaluateBoard(b), 15 - 1 + 3 + 2);
}

TEST(CountStable, WorkedExampleReturnsSeven) {
    GameBoard b = Empty();
    for (int y = 1; y <= 4; ++y)
        Put(b, 1, y, 1);
    for (int y = 1; y <= 5; ++y)
        Put(b, 2, y, 1);
    EXPECT_EQ(CountStableOf(b), 7);
}

TEST(CountStable, FullEdgeLineKeepsEightForTheNextLine) {
    GameBoard b = Empty();
    for (int y = 1; y <= 8; ++y) {
        Put(b, 1, y, 1);
        Put(b, 2, y, 1);
    }
    EXPECT_EQ(CountStableOf(b), 16) << "both lines full; cells shared by two corners count once";
    Put(b, 2, 5, -1);
    // x = 2 from (2,1) runs 4 cells, from (2,8) 3 cells; (2,5) itself is not anchored.
    EXPECT_EQ(CountStableOf(b), 8 + 4 + 3);
}

TEST(CountStable, OpponentCornersCountNegative) {
    GameBoard b = Empty();
    Put(b, 8, 8, -1);
    Put(b, 7, 8, -1);
    Put(b, 6, 8, 1);
    Put(b, 1, 1, 1);
    EXPECT_EQ(CountStableOf(b), 1 - 2);
    EXPECT_EQ(CountStableOf(GameBoard{}), 0);
}

TEST(MakeUndo, RestoresBoardAndDiscDiffExactly) {
    int checked = 0;
    for (const FfoPosition& p : LoadFfo()) {
        Morvane engine;
        LoadForSearch(engine, p.text);
        engine.PrepareSearch();
        const GameBoard reference = Oriented(p.text);
        for (int color : {1, -1}) {
            for (const Square& m : LegalMoves(reference, color)) {
                int before[160];
                std::copy(std::begin(engine.board), std::end(engine.board), before);
                const int diffBefore = engine.discDiff;
                engine.level = 3;
                engine.MakeMove(Morvane::SquareIndex(m.x, m.y), color);
                GameBoard played = reference;
                Play(played, m, color);
                for (int x = 1; x <= 8; ++x)
                    for (int y = 1; y <= 8; ++y)
                        ASSERT_EQ(engine.board[x * 16 + y],
                                  played[static_cast<std::size_t>(x * 10 + y)])
                            << "FFO #" << p.number << " move " << Name(m);
                EXPECT_EQ(engine.discDiff, engine.SumBoard());
                engine.UndoMove(Morvane::SquareIndex(m.x, m.y), -color);
                EXPECT_TRUE(std::equal(std::begin(before), std::end(before), engine.board));
                EXPECT_EQ(engine.discDiff, diffBefore);
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 500);
}

TEST(MakeUndo, FlipsInSeveralDirectionsAndRecordsThem) {
    GameBoard b = Empty();
    // (4,4) flanks to the right, down and diagonally.
    Put(b, 5, 4, -1);
    Put(b, 6, 4, 1);
    Put(b, 4, 5, -1);
    Put(b, 4, 6, -1);
    Put(b, 4, 7, 1);
    Put(b, 5, 5, -1);
    Put(b, 6, 6, 1);
    Put(b, 3, 3, -1);  // not flanked: nothing behind it
    Morvane engine;
    LoadForSearch(engine, b, 1);
    engine.PrepareSearch();
    const int diff = engine.discDiff;
    engine.level = 0;
    engine.MakeMove(Morvane::SquareIndex(4, 4), 1);
    int total = 0;
    for (int n : engine.flipRecord[0])
        total += n;
    EXPECT_EQ(total, 4);
    EXPECT_EQ(engine.flipRecord[0][0], 2) << "direction y+1 flips (4,5) and (4,6)";
    EXPECT_EQ(engine.flipRecord[0][1], 1) << "direction x+1, y+1 flips (5,5)";
    EXPECT_EQ(engine.flipRecord[0][2], 1) << "direction x+1 flips (5,4)";
    EXPECT_EQ(engine.discDiff, diff + 9);
    EXPECT_EQ(engine.board[3 * 16 + 3], -1);
    engine.UndoMove(Morvane::SquareIndex(4, 4), -1);
    EXPECT_EQ(engine.discDiff, diff);
    EXPECT_EQ(engine.board[4 * 16 + 4], 0);
    EXPECT_EQ(engine.board[4 * 16 + 6], -1);
}

TEST(Position, LoadAndNormaliseSwapColoursForWhite) {
    GameBoard b = BoardFromText(kStart);
    Morvane engine;
    engine.LoadPosition(b.data(), -1);
    EXPECT_EQ(engine.ownColor, -1);
    EXPECT_EQ(engine.oppColor, 1);
    engine.Normalise();
    EXPECT_EQ(engine.board[4 * 16 + 4], 1) << "white's d4 is the engine's own";
    EXPECT_EQ(engine.board[5 * 16 + 4], -1);
    EXPECT_EQ(engine.board[0], 9) << "walls untouched";
    EXPECT_EQ(engine.board[9 * 16 + 9], 9);
    EXPECT_EQ(engine.CountDiscs(), 4);
    EXPECT_EQ(engine.SumBoard(), 0);
    EXPECT_EQ(Morvane::SquareIndex(1, 1), 0);
    EXPECT_EQ(Morvane::SquareXY(Morvane::SquareIndex(6, 5)), PointData(6, 5));
}
