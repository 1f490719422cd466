// Region and mask-word preparation and the order of generated moves.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <set>

#include "EngineTestSupport.h"

namespace {

constexpr const char* kStart = "---------------------------OX------XO--------------------------- X";

int RegionOf(int x, int y) {
    const int col = x <= 2 ? 0 : (x <= 6 ? 1 : 2);
    const int row = y <= 2 ? 0 : (y <= 6 ? 1 : 2);
    static constexpr int kRegion[3][3] = {{0, 5, 1}, {6, 2, 7}, {3, 8, 4}};
    return kRegion[col][row];
}

// The expected generation order: region number, then x, then y.
std::vector<Square> InGenerationOrder(std::vector<Square> moves) {
    std::stable_sort(moves.begin(), moves.end(), [](const Square& a, const Square& b) {
        const int ra = RegionOf(a.x, a.y);
        const int rb = RegionOf(b.x, b.y);
        if (ra != rb) return ra < rb;
        return a.x != b.x ? a.x < b.x : a.y < b.y;
    });
    return moves;
}

std::vector<Square> Generated(Morvane& engine, int count) {
    std::vector<Square> moves;
    for (int i = 0; i < count; ++i) {
        const PointData p =
            Morvane::SquareXY(engine.moveList[engine.moveListStart[engine.level] + i]);
        moves.push_back({p.x, p.y});
    }
    return moves;
}

// Plays the first legal move (passing when needed) from the start until `empties` remain.
GameBoard PlayedDownTo(int empties, int& sideToMove) {
    GameBoard b = BoardFromText(kStart);
    int side = 1;
    while (EmptyCount(b) > empties) {
        auto moves = LegalMoves(b, side);
        if (moves.empty()) {
            side = -side;
            moves = LegalMoves(b, side);
        }
        // Alternate between first and last so the game spreads over the board.
        Play(b, EmptyCount(b) % 2 == 0 ? moves.front() : moves.back(), side);
        side = -side;
    }
    sideToMove = side;
    return b;
}

std::vector<std::pair<GameBoard, int>> SamplePositions() {
    std::vector<std::pair<GameBoard, int>> positions;
    for (const FfoPosition& p : LoadFfo()) {
        int side = 1;
        GameBoard b = BoardFromText(p.text, &side);
        positions.push_back({b, side});
    }
    for (int empties : {59, 50, 40, 33, 32, 31, 20}) {
        int side = 1;
        GameBoard b = PlayedDownTo(empties, side);
        positions.push_back({b, side});
    }
    return positions;
}

}  // namespace

TEST(PrepareSearch, FullBoardIsNarrowWithNothingToGenerate) {
    GameBoard b{};
    for (int x = 1; x <= 8; ++x)
        for (int y = 1; y <= 8; ++y)
            b[static_cast<std::size_t>(x * 10 + y)] = (x + y) % 3 ? 1 : -1;
    Morvane engine;
    LoadForSearch(engine, b, 1);
    EXPECT_EQ(engine.PrepareSearch(), 1);
    EXPECT_EQ(engine.regionCount1, 0);
    EXPECT_EQ(engine.regionCount2, 0);
    EXPECT_EQ(engine.GenerateMoves(1), 0);
    EXPECT_EQ(engine.GenerateMoves(-1), 0);
    EXPECT_EQ(engine.GenerateMovesWide(1), 0);
    EXPECT_EQ(engine.discDiff, engine.SumBoard());
}

TEST(PrepareSearch, ThirtyTwoEmptiesNarrowThirtyThreeWide) {
    int side = 1;
    const GameBoard narrowBoard = PlayedDownTo(32, side);
    Morvane narrow;
    LoadForSearch(narrow, narrowBoard, side);
    ASSERT_EQ(narrow.rest, 32);
    EXPECT_EQ(narrow.PrepareSearch(), 1);
    EXPECT_EQ(narrow.regionCount2, 0);
    EXPECT_EQ(narrow.regionEnd1[narrow.regionCount1 - 1], 32) << "every empty square in word 1";
    EXPECT_EQ(std::popcount(narrow.emptyBits1[0]), 32);
    EXPECT_EQ(narrow.emptyBits2[0], 0u);

    const GameBoard wideBoard = PlayedDownTo(33, side);
    Morvane wide;
    LoadForSearch(wide, wideBoard, side);
    ASSERT_EQ(wide.rest, 33);
    EXPECT_EQ(wide.PrepareSearch(), 0);
    // Word 1 holds the empty squares of regions 0..4, word 2 those of regions 5..8.
    int empties1 = 0;
    int empties2 = 0;
    for (int x = 1; x <= 8; ++x) {
        for (int y = 1; y <= 8; ++y) {
            if (wideBoard[static_cast<std::size_t>(x * 10 + y)] != 0) continue;
            (RegionOf(x, y) <= 4 ? empties1 : empties2) += 1;
        }
    }
    EXPECT_EQ(std::popcount(wide.emptyBits1[0]), empties1);
    EXPECT_EQ(std::popcount(wide.emptyBits2[0]), empties2);
    for (int p = 0; p < empties1; ++p) {
        const PointData s = Morvane::SquareXY(wide.squareList1[p]);
        EXPECT_LE(RegionOf(s.x, s.y), 4);
    }
    for (int p = 0; p < empties2; ++p) {
        const PointData s = Morvane::SquareXY(wide.squareList2[p]);
        EXPECT_GE(RegionOf(s.x, s.y), 5);
    }
}

TEST(PrepareSearch, EverySquareOwnsOnePositionAndRegionsAreContiguous) {
    for (const auto& [board, side] : SamplePositions()) {
        Morvane engine;
        LoadForSearch(engine, board, side);
        engine.PrepareSearch();
        std::set<int> owned;
        for (int p = 0; p < 32; ++p) {
            owned.insert(engine.squareList1[p]);
            owned.insert(engine.squareList2[p]);
        }
        EXPECT_EQ(owned.size(), 64u);
        // Used regions follow one another from position 0 without gaps; empty regions are dropped.
        std::uint32_t covered = 0;
        int start = 0;
        for (int r = 0; r < engine.regionCount1; ++r) {
            EXPECT_GT(engine.regionEnd1[r], start) << "a used region holds at least one square";
            EXPECT_EQ(engine.regionMask1[r] & covered, 0u);
            EXPECT_EQ(std::countl_zero(engine.regionMask1[r]), start);
            EXPECT_EQ(std::popcount(engine.regionMask1[r]), engine.regionEnd1[r] - start);
            covered |= engine.regionMask1[r];
            start = engine.regionEnd1[r];
        }
        EXPECT_EQ(covered, engine.emptyBits1[0]) << "the regions hold exactly the empty squares";
        // The frontier marks every empty square next to a disc.
        for (int p = 0; p < start; ++p) {
            const PointData s = Morvane::SquareXY(engine.squareList1[p]);
            bool nextToDisc = false;
            for (int dx = -1; dx <= 1; ++dx)
                for (int dy = -1; dy <= 1; ++dy)
                    nextToDisc |= board[static_cast<std::size_t>((s.x + dx) * 10 + s.y + dy)] != 0;
            EXPECT_EQ((engine.frontierBits1[0] >> (31 - p)) & 1u, nextToDisc ? 1u : 0u);
        }
    }
}

TEST(GenerateMoves, LegalMovesInRegionOrderForBothColours) {
    for (const auto& [board, side] : SamplePositions()) {
        Morvane engine;
        LoadForSearch(engine, board, side);
        const bool narrow = engine.PrepareSearch() == 1;
        GameBoard oriented = board;
        for (int& v : oriented)
            v *= side;
        for (int color : {1, -1}) {
            const auto expected = InGenerationOrder(LegalMoves(oriented, color));
            const int wideCount = engine.GenerateMovesWide(color);
            EXPECT_EQ(Generated(engine, wideCount), expected);
            if (narrow) {
                const int count = engine.GenerateMoves(color);
                EXPECT_EQ(Generated(engine, count), expected);
            }
        }
    }
}

TEST(GenerateMoves, StartPositionOrderAndSlot) {
    Morvane engine;
    LoadForSearch(engine, kStart);
    engine.PrepareSearch();
    engine.level = 2;
    engine.moveListStart[2] = 40;
    engine.emptyBits1[2] = engine.emptyBits1[0];
    engine.frontierBits1[2] = engine.frontierBits1[0];
    engine.emptyBits2[2] = engine.emptyBits2[0];
    engine.frontierBits2[2] = engine.frontierBits2[0];
    ASSERT_EQ(engine.GenerateMovesWide(1), 4);
    // All four are centre squares (region 2), so x then y: c4 d3 e6 f5.
    EXPECT_EQ(Generated(engine, 4), (std::vector<Square>{{3, 4}, {4, 3}, {5, 6}, {6, 5}}));
    EXPECT_EQ(engine.moveList[40], Morvane::SquareIndex(3, 4));
}

TEST(GenerateMoves, ChildMasksFollowTheMoveAndLeaveTheParentUnchanged) {
    for (const auto& [board, side] : SamplePositions()) {
        Morvane engine;
        LoadForSearch(engine, board, side);
        const bool narrow = engine.PrepareSearch() == 1;
        GameBoard oriented = board;
        for (int& v : oriented)
            v *= side;
        const std::uint32_t parent[4] = {engine.emptyBits1[0], engine.frontierBits1[0],
                                         engine.emptyBits2[0], engine.frontierBits2[0]};
        for (const Square& m : LegalMoves(oriented, 1)) {
            const int s = Morvane::SquareIndex(m.x, m.y);
            engine.level = 0;
            engine.MakeMove(s, 1);
            engine.emptyBits1[1] = engine.emptyBits1[0] & engine.clearMask1[s];
            engine.frontierBits1[1] = engine.frontierBits1[0] | engine.neighbourBits1[s];
            engine.emptyBits2[1] = engine.emptyBits2[0] & engine.clearMask2[s];
            engine.frontierBits2[1] = engine.frontierBits2[0] | engine.neighbourBits2[s];
            engine.moveListStart[1] = 10;
            engine.level = 1;
            GameBoard after = oriented;
            Play(after, m, 1);
            const auto expected = InGenerationOrder(LegalMoves(after, -1));
            const int count = narrow ? engine.GenerateMoves(-1) : engine.GenerateMovesWide(-1);
            EXPECT_EQ(Generated(engine, count), expected) << "after " << Name(m);
            engine.level = 0;
            engine.UndoMove(s, -1);
        }
        EXPECT_EQ(engine.emptyBits1[0], parent[0]);
        EXPECT_EQ(engine.frontierBits1[0], parent[1]);
        EXPECT_EQ(engine.emptyBits2[0], parent[2]);
        EXPECT_EQ(engine.frontierBits2[0], parent[3]);
    }
}
