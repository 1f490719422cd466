// Search, SearchWide and SearchWinLoss against the reference, and exact endgames of the FFO suite.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "EngineTestSupport.h"

static SearchResult SearchRoot(Morvane& e, bool narrow) {
    return narrow ? e.Search() : e.SearchWide();
}

TEST(Search, ValuesRecordedRootScoresAndPassesMatchTheReference) {
    constexpr int kReference = 1 << 20;  // a row whose value only the reference gives
    // A finished game scores from discDiff even at the leaf level; the leaf evaluates without
    // moves. In the last three rows +1 cannot move and -1 can: the root passes and returns the
    // opponent's reply, narrow (29 empty squares, the replies handed over), wide, and from the
    // small-endgame solver's range (2 empty squares).
    std::vector<std::tuple<Game, int, int>> cases{
        {FromText(std::string(64, 'X') + " X"), 0, 10164},
        {FromText(std::string(32, 'X') + std::string(32, 'O') + " X"), 5, 10000},  // a draw
        {FromText(std::string(30, 'X') + std::string(34, 'O') + " X"), 5, -10004},
        {{Stones("a1 a2", "h8"), 1}, 4, 10001},  // neither side can move
        {{Stones("d4 d5"), 1}, 4, 10102},        // the opponent has no disc left
        {{Stones("a1", "b1"), -1}, 0, -19},
        {FromText(kStart), 4, kReference},
        {PositionWithEmpties(40), 3, kReference},
        {FromText("OX--OOOOX---OOOO----OOOO----OOOO----OOOO----OOOO----OOOO----OOOO X"), 3,
         kReference},
        {{Stones("b1 a2", "a1"), 1}, 3, kReference},
        {FromText("--XOOOOO" + std::string(56, 'O') + " X"), 99, kReference}};
    for (const FfoPosition& p : Ffo())
        if (p.number % 10 == 3) cases.push_back({p.game, 3, kReference});
    for (int seed = 0; seed < 10; ++seed)
        cases.push_back({PositionWithEmpties(10, seed), 99, kReference});
    int passes = 0;
    for (const auto& [g, depth, value] : cases) {
        const GameBoard b = Oriented(g);
        const int expected = Reference(b, 0, depth);
        EXPECT_TRUE(value == kReference || value == expected) << value;
        const bool rootPasses = depth > 0 && LegalMoves(b, 1).empty() && !LegalMoves(b, -1).empty();
        for (int sortDepth : {0, std::min(depth, EmptyCount(b) - 6)}) {
            Morvane e, cut, wide;
            const bool narrow = Prepare(e, g, depth, sortDepth) == 1;
            e.recordRoot = true;
            const SearchResult r = SearchRoot(e, narrow);
            EXPECT_EQ(r.score, expected);
            EXPECT_TRUE(!rootPasses || IsLegal({b, -1}, Morvane::SquareXY(r.move)));
            passes += e.pass;
            ASSERT_EQ(e.rootMoveCount, static_cast<int>(LegalMoves(b, 1).size()));
            for (int i = 0; i < e.rootMoveCount; ++i) {
                GameBoard child = b;
                Play(child, Morvane::SquareXY(e.rootMoves[i].move), 1);
                EXPECT_EQ(e.rootMoves[i].score, Reference(child, 1, depth)) << "every root move";
            }
            // Without recording, cut-offs against the root leave its value unchanged. On a narrow
            // board SearchWide regenerates after a pass where Search hands the replies over; both
            // order them alike, so every count agrees.
            Prepare(cut, g, depth, sortDepth);
            const int cutScore = SearchRoot(cut, narrow).score;
            EXPECT_EQ(std::tuple(cutScore, cut.rest, cut.level, cut.discDiff),
                      std::tuple(expected, EmptyCount(b), 0, cut.SumBoard()));
            if (Prepare(wide, g, depth, sortDepth) == 1) {
                EXPECT_EQ(wide.SearchWide().score, expected);
                EXPECT_EQ(std::tuple(wide.amount, wide.pass), std::tuple(cut.amount, cut.pass));
            }
        }
    }
    EXPECT_GT(passes, 0) << "the endgames must pass inside the tree";
}

// Everything a search leaves behind that a caller or a later search can see.
static auto Outcome(const Morvane& e, SearchResult r) {
    std::vector<int> root;
    for (int i = 0; e.recordRoot && i < e.rootMoveCount; ++i)
        root.insert(root.end(), {e.rootMoves[i].move, e.rootMoves[i].score});
    return std::tuple(r.move, r.score, e.amount, e.pass, e.isBreak, e.checkMask, root, e.rest,
                      e.level, e.discDiff, Cells(e));
}

// Runs `run` on every implementation; each must give what the padded-board reference gives.
template <class Run>
static void ExpectAllAgree(Run run, const std::string& what) {
    auto engines = Implementations();
    const auto expected = run(*engines[0]);
    for (std::size_t i = 1; i < engines.size(); ++i)
        EXPECT_EQ(run(*engines[i]), expected) << what;
}

// The bitboard searches on both instruction-set paths against the padded-board reference: node
// for node, move for move, score for score, trace line for trace line.
TEST(Implementations, AgreeWithThePaddedBoardNodeForNode) {
    // Direct searches on real positions of 6 to 24 empty squares and two wide ones: exact (with
    // and without recorded root scores), win/loss at every depth up to the end of the game (the
    // first few depths only above 12 empty squares), and depth-limited with ordering and leaves.
    for (int empties = 6; empties <= 26; ++empties) {
        const Game g =
            PositionWithEmpties(empties > 24 ? 40 + 10 * (empties - 25) : empties, empties % 4);
        const int n = EmptyCount(g.board);
        std::vector<std::pair<char, int>> runs;  // (kind, depth)
        if (n <= 14) runs.push_back({'e', 99});
        for (int depth = 1; n <= 32 && depth <= (n <= 12 ? n + 1 : 4); ++depth)
            runs.push_back({'w', depth});  // narrow positions only, as the drivers guarantee
        for (int depth = 1; depth <= 5; ++depth)
            runs.push_back({'m', depth});
        for (const auto& [kind, depth] : runs) {
            ExpectAllAgree(
                [&, kind = kind, depth = depth](Morvane& e) {
                    const bool narrow = Prepare(e, g, depth, kind == 'm' ? depth - 2 : n - 6) == 1;
                    e.recordRoot = kind != 'w' && depth % 2 == 1;
                    if (kind != 'w') return Outcome(e, SearchRoot(e, narrow));
                    e.moveListStart[1] = e.rootMoveCount = e.GenerateMoves(1);
                    return Outcome(e, e.SearchWinLoss());
                },
                std::to_string(n) + " empties, " + kind + std::to_string(depth));
        }
    }

    // Whole thinks: FFO #20, #22 and #23 solved by the win/loss search, every FFO position of 19
    // to 24 empty squares at a midgame level, and a timed exact search that breaks inside the
    // small endgame and falls back twice (the unwinding counts its nodes too).
    std::vector<std::tuple<Game, int, int>> thinks{{PositionWithEmpties(20), 60000, 10000}};
    for (const FfoPosition& p : Ffo()) {
        if (p.number == 20 || p.number == 22 || p.number == 23)
            thinks.push_back({p.game, 4, kByAmount});
        if (p.empties >= 19 && p.empties <= 24) thinks.push_back({p.game, 2, kByAmount});
    }
    for (const auto& [g, levelOrAllowance, rTime] : thinks)
        ExpectAllAgree(
            [&](Morvane& e) { return RunThink(g, levelOrAllowance, rTime, &e).Outcome(); },
            "think at " + std::to_string(levelOrAllowance));
}

TEST(SearchWinLoss, FirstMoveThatDoesNotLoseAndADrawIsSuccess) {
    int outcomes[2] = {0, 0};
    for (int seed = 0; seed < 16; ++seed) {
        const Game g = PositionWithEmpties(10, seed);
        Morvane e;
        Prepare(e, g, 99, 4);
        e.moveListStart[1] = e.rootMoveCount = e.GenerateMoves(1);  // root list in generation order
        const SearchResult r = e.SearchWinLoss();
        int expected = Morvane::kNoMove;
        for (int i = 0; i < e.rootMoveCount && expected == Morvane::kNoMove; ++i) {
            GameBoard child = Oriented(g);
            Play(child, Morvane::SquareXY(e.moveList[i]), 1);
            if (Reference(child, 1, 99) >= 10000) expected = e.moveList[i];
        }
        ++outcomes[expected != Morvane::kNoMove];
        EXPECT_EQ(r.score, expected != Morvane::kNoMove ? 10065 : -10065) << "seed " << seed;
        EXPECT_TRUE(expected == Morvane::kNoMove || r.move == expected) << "seed " << seed;
        EXPECT_EQ(std::tuple(e.rest, e.discDiff), std::tuple(10, e.SumBoard()));
    }
    EXPECT_TRUE(outcomes[0] > 0 && outcomes[1] > 0);
}

// Solved by every implementation alike (the padded-board reference as well: the same trace, move
// and node count).
TEST(Endgame, CompleteSearchAgreesWithEveryFfoPositionOf14To16Empties) {
    int checked = 0;
    for (const FfoPosition& p : Ffo()) {
        if (p.empties < 14 || p.empties > 16) continue;
        Think t;
        ExpectAllAgree(
            [&](Morvane& e) { return (t = RunThink(p.game, 8, kByAmount, &e)).Outcome(); },
            "FFO #" + std::to_string(p.number));
        ASSERT_EQ(t.lines[1], "Complete search");
        const int best = p.moves.front().second;
        EXPECT_TRUE(
            std::any_of(p.moves.begin(), p.moves.end(),
                        [&](const auto& m) { return m.second == best && m.first == t.move; }))
            << "FFO #" << p.number;
        // +-(10000 + discs), 100 more for a wipe-out.
        const int discs = t.report.score % 10000 % 100;
        // FFO gives the empties of an early end to the winner; the engine counts discs only.
        const int gap = std::abs(best) - std::abs(discs);
        EXPECT_TRUE((discs > 0) == (best > 0) && (discs < 0) == (best < 0) && gap >= 0 &&
                    gap <= p.empties)
            << "FFO #" << p.number << ": " << discs << " discs, FFO " << best;
        ++checked;
    }
    EXPECT_EQ(checked, 20);
}
