#include <gtest/gtest.h>

#include "BoardText.h"
#include "Othellologic.h"

namespace {

using Squares = std::set<std::string>;

TEST(OthelloLogicRules, InitialPosition) {
    OthelloLogic logic;
    EXPECT_EQ(logic.Turn, kBlack);
    EXPECT_EQ(logic.Board[BoardIndex(4, 4)], kWhite);
    EXPECT_EQ(logic.Board[BoardIndex(5, 5)], kWhite);
    EXPECT_EQ(logic.Board[BoardIndex(4, 5)], kBlack);
    EXPECT_EQ(logic.Board[BoardIndex(5, 4)], kBlack);
    EXPECT_EQ(LegalSquares(logic, kBlack), (Squares{"d3", "c4", "f5", "e6"}));
    EXPECT_EQ(LegalSquares(logic, kWhite), (Squares{"e3", "f4", "c5", "d6"}));
    EXPECT_EQ(logic.CountStones(kBlack), 2);
    EXPECT_EQ(logic.CountStones(kWhite), 2);
    EXPECT_FALSE(logic.IsGameOver());
}

TEST(OthelloLogicRules, CanPutRefusesNoColourAndOffBoardSquares) {
    OthelloLogic logic;
    for (int x = 1; x <= 8; ++x) {
        for (int y = 1; y <= 8; ++y) {
            EXPECT_FALSE(logic.CanPut(kEmpty, x, y)) << SquareText(x, y);
            EXPECT_FALSE(logic.CanPut(kLegalMark, x, y)) << SquareText(x, y);
        }
    }
    EXPECT_FALSE(logic.HasLegalMove(kEmpty));
    EXPECT_FALSE(logic.CanPut(kBlack, 0, 4));
    EXPECT_FALSE(logic.CanPut(kBlack, 4, 9));
    EXPECT_FALSE(logic.CanPut(kBlack, -1, -1));
}

TEST(OthelloLogicRules, OccupiedSquareIsNeverLegal) {
    OthelloLogic logic;
    SetPosition(logic,
                BoardFromRows({"WWB.....", "........", "........", "........", "........",
                               "........", "........", "........"}),
                kBlack);
    EXPECT_FALSE(logic.CanPut(kBlack, 1, 1));  // a1 - b1 - c1 would be flanked
    logic.Board[BoardIndex(1, 1)] = kEmpty;
    EXPECT_TRUE(logic.CanPut(kBlack, 1, 1));
}

TEST(OthelloLogicRules, PutStoneFlipsOnlyFlankedRuns) {
    OthelloLogic logic;
    // Black at e5 flanks d5 (west), e4-e3 (north) and f6 (south-east); f5 ends at an empty
    // square and d6-c7-b8 at the edge, so those stay white.
    SetPosition(logic,
                BoardFromRows({"........", "....B...", "....W...", "....W...", "..BW.W..",
                               "...W.W..", "..W...B.", ".W......"}),
                kBlack);
    ASSERT_TRUE(logic.CanPut(kBlack, 5, 5));
    logic.PutStone(kBlack, 5, 5);
    EXPECT_EQ(logic.Board, BoardFromRows({"........", "....B...", "....B...", "....B...",
                                          "..BBBW..", "...W.B..", "..W...B.", ".W......"}));
    EXPECT_EQ(logic.CountStones(kBlack), 8);
    EXPECT_EQ(logic.CountStones(kWhite), 4);
    EXPECT_EQ(logic.Turn, kWhite);
}

TEST(OthelloLogicRules, TurnStaysWithMoverWhenOpponentMustPass) {
    OthelloLogic logic;
    // After c1 white has no move while black still has c8; after c8 nobody can move.
    SetPosition(logic,
                BoardFromRows({"BW......", "........", "........", "........", "........",
                               "........", "........", "BW......"}),
                kBlack);
    logic.PutStone(kBlack, 3, 1);
    EXPECT_FALSE(logic.HasLegalMove(kWhite));
    EXPECT_EQ(logic.Turn, kBlack);
    EXPECT_FALSE(logic.IsGameOver());
    logic.PutStone(kBlack, 3, 8);
    EXPECT_EQ(logic.Turn, kBlack);
    EXPECT_TRUE(logic.IsGameOver());
    EXPECT_EQ(logic.CountStones(kBlack), 6);
    EXPECT_EQ(logic.CountStones(kWhite), 0);
}

TEST(OthelloLogicRules, GetMarkedBoardMarksTheSideToMove) {
    OthelloLogic logic;
    ASSERT_TRUE(PlayMoves(logic, "f5"));
    ASSERT_EQ(logic.Turn, kWhite);
    const BoardArray marked = logic.GetMarkedBoard(0);
    Squares markedSquares;
    for (int x = 1; x <= 8; ++x) {
        for (int y = 1; y <= 8; ++y) {
            const int cell = marked[BoardIndex(x, y)];
            if (cell == kLegalMark) {
                markedSquares.insert(SquareText(x, y));
            } else {
                EXPECT_EQ(cell, logic.Board[BoardIndex(x, y)]) << SquareText(x, y);
            }
        }
    }
    EXPECT_EQ(markedSquares, (Squares{"d6", "f4", "f6"}));
    EXPECT_EQ(logic.GetMarkedBoard(kBlack)[BoardIndex(4, 6)], kEmpty);
    EXPECT_EQ(logic.GetMarkedBoard(kBlack)[BoardIndex(3, 4)], kLegalMark);
}

TEST(OthelloLogicRules, CopyFromKeepsTheBorderEmpty) {
    OthelloLogic logic;
    BoardArray board = BoardFromRows({"B.......", "........", "........", "........", "........",
                                      "........", "........", ".......W"});
    board[BoardIndex(0, 1)] = kBlack;
    board[BoardIndex(9, 9)] = kWhite;
    logic.CopyFrom(board);
    EXPECT_EQ(logic.Board[BoardIndex(1, 1)], kBlack);
    EXPECT_EQ(logic.Board[BoardIndex(8, 8)], kWhite);
    EXPECT_EQ(logic.Board[BoardIndex(4, 4)], kEmpty);
    EXPECT_EQ(logic.Board[BoardIndex(0, 1)], kEmpty);
    EXPECT_EQ(logic.Board[BoardIndex(9, 9)], kEmpty);
}

TEST(OthelloLogicRules, InitStartsAFreshGame) {
    OthelloLogic logic;
    ASSERT_TRUE(PlayMoves(logic, "f5d6c3"));
    logic.Init(kBlack);
    EXPECT_EQ(logic.Board, OthelloLogic().Board);
    EXPECT_EQ(logic.History.StepCount, 0);
    EXPECT_EQ(logic.History.CurrentStep, 0);
    EXPECT_EQ(logic.History.Boards[0], logic.Board);
}

TEST(SquareNotation, ConvertsBothWays) {
    EXPECT_EQ(XFromLetter('a'), 1);
    EXPECT_EQ(XFromLetter('h'), 8);
    EXPECT_EQ(YFromDigit('1'), 1);
    EXPECT_EQ(YFromDigit('8'), 8);
    EXPECT_EQ(SquareText(6, 5), "f5");
    EXPECT_EQ(SquareText(1, 8), "a8");
}

}  // namespace
