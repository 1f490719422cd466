#include <gtest/gtest.h>

#include <vector>

#include "BoardText.h"
#include "Othellologic.h"

namespace {

// a1-b1 and a8-b8: black can take c1 and c8, white never has a move.
BoardArray PassBoard() {
    return BoardFromRows({"BW......", "........", "........", "........", "........", "........",
                          "........", "BW......"});
}

TEST(OthelloMapHistory, RecordsEveryMoveWithItsBoard) {
    OthelloLogic logic;
    EXPECT_EQ(logic.History.MoveString(), "");
    const BoardArray start = logic.Board;
    ASSERT_TRUE(PlayMoves(logic, "f5d6c3"));
    const OthelloMapHistory& history = logic.History;
    EXPECT_EQ(history.StepCount, 3);
    EXPECT_EQ(history.CurrentStep, 3);
    EXPECT_EQ(history.MoveString(), "f5d6c3");
    EXPECT_EQ(history.Moves[0], (MoveData{6, 5, kBlack}));
    EXPECT_EQ(history.Moves[1], (MoveData{4, 6, kWhite}));
    EXPECT_EQ(history.Moves[2], (MoveData{3, 3, kBlack}));
    EXPECT_EQ(history.Boards[0], start);
    EXPECT_EQ(history.Boards[3], logic.Board);
}

TEST(OthelloMapHistory, MoveAfterSteppingBackReplacesTheRest) {
    OthelloLogic logic;
    ASSERT_TRUE(PlayMoves(logic, "f5d6c3"));
    logic.History.Back();
    logic.History.Back();
    EXPECT_EQ(logic.History.CurrentStep, 1);
    EXPECT_EQ(logic.History.StepCount, 3);
    EXPECT_EQ(logic.History.MoveString(), "f5d6c3");

    logic.CopyFrom(logic.History.Boards[1]);
    ASSERT_TRUE(logic.CanPut(kWhite, 6, 4));
    logic.PutStone(kWhite, 6, 4);
    EXPECT_EQ(logic.History.StepCount, 2);
    EXPECT_EQ(logic.History.CurrentStep, 2);
    EXPECT_EQ(logic.History.MoveString(), "f5f4");
    EXPECT_EQ(logic.History.Boards[2], logic.Board);
    EXPECT_FALSE(logic.History.Forward());
}

TEST(OthelloMapHistory, BrowsingStopsAtBothEnds) {
    OthelloLogic logic;
    ASSERT_TRUE(PlayMoves(logic, "f5d6"));
    int color = 0;
    PointData placed;
    std::vector<PointData> changed;
    const BoardArray last = logic.Board;
    EXPECT_FALSE(logic.StepForward(color, placed, changed));
    EXPECT_EQ(logic.History.CurrentStep, 2);
    EXPECT_EQ(logic.Board, last);

    logic.ToFirst();
    EXPECT_EQ(logic.History.CurrentStep, 0);
    EXPECT_EQ(logic.Board, logic.History.Boards[0]);
    EXPECT_FALSE(logic.StepBack(color, placed, changed));
    EXPECT_EQ(logic.History.CurrentStep, 0);
    EXPECT_EQ(logic.Board, logic.History.Boards[0]);

    logic.ToLast();
    EXPECT_EQ(logic.History.CurrentStep, 2);
    EXPECT_EQ(logic.Board, last);
}

TEST(OthelloMapHistory, StepsListFlippedStonesDirectionByDirection) {
    OthelloLogic logic;
    const BoardArray before = BoardFromRows({"........", "....B...", "....W...", "....W...",
                                             "..BW.W..", "...W.W..", "..W...B.", ".W......"});
    SetPosition(logic, before, kBlack);
    logic.PutStone(kBlack, 5, 5);
    const BoardArray after = logic.Board;
    // West first, then north (nearest first), then south-east.
    const std::vector<PointData> flipped = {{4, 5}, {5, 4}, {5, 3}, {6, 6}};

    int color = 0;
    PointData placed;
    std::vector<PointData> changed = {{8, 8}};
    ASSERT_TRUE(logic.StepBack(color, placed, changed));
    EXPECT_EQ(color, kWhite);
    EXPECT_EQ(placed, PointData(5, 5));
    EXPECT_EQ(changed, flipped);
    EXPECT_EQ(logic.Board, before);

    ASSERT_TRUE(logic.StepForward(color, placed, changed));
    EXPECT_EQ(color, kBlack);
    EXPECT_EQ(placed, PointData(5, 5));
    EXPECT_EQ(changed, flipped);
    EXPECT_EQ(logic.Board, after);
}

TEST(OthelloMapHistory, CurrentColorInAPlayedGame) {
    OthelloLogic logic;
    EXPECT_EQ(logic.History.CurrentColor(), kBlack);
    ASSERT_TRUE(PlayMoves(logic, "f5d6c3"));
    EXPECT_EQ(logic.History.CurrentColor(), kWhite);
    logic.ToFirst();
    EXPECT_EQ(logic.History.CurrentColor(), kBlack);
    logic.History.Forward();
    EXPECT_EQ(logic.History.CurrentColor(), kWhite);
}

TEST(OthelloMapHistory, CurrentColorAroundAPassAndTheEnd) {
    OthelloLogic logic;
    SetPosition(logic, PassBoard(), kBlack);
    logic.PutStone(kBlack, 3, 1);
    // Last shown step, white must pass: black moves again.
    EXPECT_EQ(logic.History.CurrentColor(), kBlack);
    logic.PutStone(kBlack, 3, 8);
    EXPECT_EQ(logic.History.CurrentColor(), kEmpty);
    logic.History.Back();
    // Middle of the record, where the next move follows white's pass.
    EXPECT_EQ(logic.History.CurrentColor(), kBlack);
}

TEST(OthelloMapHistory, CurrentColorWithoutMovesAsksThePosition) {
    OthelloMapHistory history;
    // Only white can move (c1), so the side to move is white.
    history.Init(BoardFromRows({"WB......", "........", "........", "........", "........",
                                "........", "........", "........"}));
    EXPECT_EQ(history.CurrentColor(), kWhite);
    history.Init(PassBoard());
    EXPECT_EQ(history.CurrentColor(), kBlack);
    history.Init(BoardFromRows({"B.......", "........", "........", "........", "........",
                                "........", "........", ".......W"}));
    EXPECT_EQ(history.CurrentColor(), kEmpty);
}

TEST(OthelloMapHistory, HoldsSixtyFourMovesAndNoMore) {
    OthelloMapHistory history;
    history.Init(OthelloLogic().Board);
    BoardArray board{};
    for (int i = 0; i < 70; ++i) {
        board[BoardIndex(1 + i % 8, 1 + (i / 8) % 8)] = i % 2 == 0 ? kBlack : kWhite;
        history.AddMove(kBlack, 1 + i % 8, 1 + (i / 8) % 8, board);
        if (i == 63) {
            EXPECT_EQ(history.Boards[64], board);
        }
    }
    EXPECT_EQ(history.StepCount, 64);
    EXPECT_EQ(history.CurrentStep, 64);
    EXPECT_EQ(history.MoveString().size(), 128u);
}

}  // namespace
