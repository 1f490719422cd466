// The analysis against the game's own search: exact, win/loss and evaluated values of every move.
#include <gtest/gtest.h>

#include <map>
#include <thread>

#include "EngineTestSupport.h"
#include "MorvaneAnalysis.h"
#include "Othelloparams.h"
#include "PositionText.h"

namespace {

// Every root move's score from the game's search to `depth` (99: exact), from the mover's view.
std::map<std::pair<int, int>, int> GameScores(const Game& g, int depth) {
    Morvane e;
    const int empties = EmptyCount(g.board);
    const bool narrow = Prepare(e, g, depth, std::min(depth, empties - 6)) == 1;
    e.recordRoot = true;
    narrow ? e.Search() : e.SearchWide();
    std::map<std::pair<int, int>, int> scores;
    for (int i = 0; i < e.rootMoveCount; ++i) {
        const PointData xy = Morvane::SquareXY(e.rootMoves[i].move);
        scores[{xy.x, xy.y}] = e.rootMoves[i].score;
    }
    return scores;
}
}  // namespace

TEST(Analysis, ValuesEveryMoveAsTheGameSearchDoes) {
    std::vector<std::pair<Game, int>> cases;  // position, level index
    for (int empties = 10; empties <= 18; empties += 2)
        cases.push_back({PositionWithEmpties(empties, empties % 3), 8});  // exact
    for (const FfoPosition& p : Ffo())
        if (p.number == 4 || p.number == 14) cases.push_back({p.game, 8});
    cases.push_back({PositionWithEmpties(12), 1});  // win/loss: above 10, at most 12 empties
    cases.push_back({PositionWithEmpties(16), 3});
    cases.push_back({FromText(kStart), 2});  // evaluated
    cases.push_back({PositionWithEmpties(30, 1), 0});
    cases.push_back({PositionWithEmpties(40, 2), 3});
    MorvaneAnalysis analysis;
    for (const auto& [g, level] : cases) {
        std::vector<MoveValue> reported;
        const AnalysisResult r = analysis.Analyze(
            g.board.data(), g.side, level, [&](const MoveValue& v) { reported.push_back(v); });
        ASSERT_FALSE(r.stopped || r.mustPass || r.gameOver);
        ASSERT_EQ(r.moves.size(), LegalMoves(g.board, g.side).size());
        const int empties = EmptyCount(g.board);
        const MoveValue::Kind kind =
            empties <= kLevelTable[level].ExactEmpties     ? MoveValue::Kind::Exact
            : empties <= kLevelTable[level].WinLossEmpties ? MoveValue::Kind::WinLoss
                                                           : MoveValue::Kind::Eval;
        const int depth = kind == MoveValue::Kind::Eval ? r.moves[0].depth + 1 : 99;
        EXPECT_GE(depth, kind == MoveValue::Kind::Eval ? kLevelTable[level].StartDepth : 0);
        const auto scores = GameScores(g, depth);
        for (std::size_t i = 0; i < r.moves.size(); ++i) {
            const MoveValue& v = r.moves[i];
            SCOPED_TRACE(SquareName(v.x, v.y) + " of a position with " + std::to_string(empties) +
                         " empties, level " + std::to_string(level));
            ASSERT_EQ(v.kind, kind);
            const int score = scores.at({v.x, v.y});
            const int d = Morvane::FinalDiscs(score);
            EXPECT_EQ(v.value, kind == MoveValue::Kind::Exact     ? d
                               : kind == MoveValue::Kind::WinLoss ? (d > 0) - (d < 0)
                                                                  : score);
            EXPECT_EQ(v.depth, kind == MoveValue::Kind::Eval ? depth - 1 : empties - 1);
            EXPECT_GE(r.moves[i > 0 ? i - 1 : 0].value, v.value) << "best first";
            // The last value reported for the move is the result's.
            const auto last = std::find_if(reported.rbegin(), reported.rend(),
                                           [&](const auto& m) { return m.x == v.x && m.y == v.y; });
            ASSERT_NE(last, reported.rend());
            EXPECT_EQ(std::tuple(last->value, last->depth), std::tuple(v.value, v.depth));
        }
    }
}

TEST(Analysis, PassesGameOverAndStops) {
    MorvaneAnalysis analysis;
    const Game over = FromText(std::string(64, 'X') + " O");
    EXPECT_TRUE(analysis.Analyze(over.board.data(), over.side, 8).gameOver);
    const Game pass{Stones("a1 b1", "c1"), -1};  // white has no move, black has d1
    const AnalysisResult passed = analysis.Analyze(pass.board.data(), pass.side, 8);
    EXPECT_TRUE(passed.mustPass && !passed.gameOver && passed.moves.empty());

    // Stopped from another thread after the first value, then before any work: the result holds
    // what was valued, and Reset lets the next analysis run.
    const Game g = PositionWithEmpties(14);
    std::size_t values = 0;
    const AnalysisResult stopped = analysis.Analyze(g.board.data(), g.side, 8, [&](const auto&) {
        if (values++ == 0) std::thread([&] { analysis.Stop(); }).join();
    });
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(stopped.moves.size(), 1u);
    EXPECT_TRUE(analysis.Analyze(g.board.data(), g.side, 8).moves.empty());
    analysis.Reset();
    const AnalysisResult full = analysis.Analyze(g.board.data(), g.side, 8);
    EXPECT_FALSE(full.stopped);
    EXPECT_EQ(full.moves.size(), LegalMoves(g.board, g.side).size());
}
