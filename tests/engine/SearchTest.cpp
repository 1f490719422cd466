// Search, SearchWide and SearchWinLoss against plain minimax over independent rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "EngineTestSupport.h"

namespace {

constexpr const char* kStart = "---------------------------OX------XO--------------------------- X";

GameBoard Oriented(const GameBoard& board, int side) {
    GameBoard b = board;
    for (int& v : b)
        v *= side;
    return b;
}

int FinalScore(const GameBoard& b) {
    int d = 0;
    for (int v : b)
        d += v;
    const int rest = EmptyCount(b);
    const int bonus = std::abs(d) + rest == 64 ? 100 : 0;
    return d >= 0 ? d + 10000 + bonus : d - 10000 - bonus;
}

int StaticValue(const GameBoard& b) {
    static Morvane engine;  // reused: the object is large
    LoadForSearch(engine, b, 1);
    engine.PrepareSearch();
    return engine.Evaluate();
}

// Plain minimax without pruning or ordering: +1 maximises on even levels; a pass uses a level.
int Minimax(const GameBoard& b, int level, int depth) {
    if (EmptyCount(b) == 0) return FinalScore(b);
    if (level == depth) return StaticValue(b);
    const int mover = level % 2 == 0 ? 1 : -1;
    const auto moves = LegalMoves(b, mover);
    if (moves.empty()) {
        if (LegalMoves(b, -mover).empty()) return FinalScore(b);
        return Minimax(b, level + 1, depth);
    }
    int best = mover == 1 ? -11000 : 11000;
    for (const Square& m : moves) {
        GameBoard child = b;
        Play(child, m, mover);
        const int v = Minimax(child, level + 1, depth);
        best = mover == 1 ? std::max(best, v) : std::min(best, v);
    }
    return best;
}

struct Case {
    GameBoard board;  // the side to move as +1
    std::string label;
};

// Derived endgame positions: FFO positions played forward along their first legal moves.
std::vector<Case> EndgameCases(int empties, std::size_t count) {
    std::vector<Case> cases;
    for (const FfoPosition& p : LoadFfo()) {
        if (p.empties < empties || p.empties > 20) continue;
        int side = 1;
        GameBoard b = BoardFromText(p.text, &side);
        bool over = false;
        while (EmptyCount(b) > empties && !over) {
            auto moves = LegalMoves(b, side);
            if (moves.empty()) {
                side = -side;
                moves = LegalMoves(b, side);
                if (moves.empty()) over = true;
            }
            if (!over) {
                Play(b, moves[static_cast<std::size_t>(EmptyCount(b)) % moves.size()], side);
                side = -side;
            }
        }
        if (over || LegalMoves(b, side).empty()) continue;
        cases.push_back({Oriented(b, side), "FFO #" + std::to_string(p.number)});
        if (cases.size() == count) break;
    }
    return cases;
}

void Prepare(Morvane& engine, const GameBoard& oriented, int depth, int sortDepth) {
    LoadForSearch(engine, oriented, 1);
    engine.PrepareSearch();
    engine.depth = depth;
    engine.sortDepth = sortDepth;
    engine.isTimeLimited = false;
    engine.isBreak = false;
    engine.pass = 0;
}

SearchResult RunRoot(Morvane& engine, bool narrow) {
    return narrow ? engine.Search() : engine.SearchWide();
}

}  // namespace

TEST(Search, FinishedGameScores) {
    GameBoard full{};
    for (int x = 1; x <= 8; ++x)
        for (int y = 1; y <= 8; ++y)
            full[static_cast<std::size_t>(x * 10 + y)] = 1;
    Morvane engine;
    Prepare(engine, full, 0, 0);
    EXPECT_EQ(engine.Search().score, 10164) << "a wipe-out on a full board, even at the leaf level";

    for (int x = 1; x <= 8; ++x)
        for (int y = 1; y <= 4; ++y)
            full[static_cast<std::size_t>(x * 10 + y)] = -1;
    Prepare(engine, full, 5, 0);
    EXPECT_EQ(engine.Search().score, 10000) << "a draw scores +10000";
    full[11] = 1;
    full[12] = 1;
    Prepare(engine, Oriented(full, -1), 5, 0);
    EXPECT_EQ(engine.Search().score, -10004);
    EXPECT_EQ(engine.amount, 1);
}

TEST(Search, NeitherSideCanMoveWithEmptiesLeft) {
    GameBoard b{};
    b[11] = 1;
    b[12] = 1;
    b[88] = -1;
    Morvane engine;
    Prepare(engine, b, 4, 4);
    EXPECT_EQ(engine.Search().score, 10001);
    GameBoard lone{};
    lone[44] = 1;
    lone[45] = 1;
    Prepare(engine, lone, 4, 4);
    EXPECT_EQ(engine.Search().score, 10000 + 2 + 100) << "the opponent has no disc at all";
    EXPECT_EQ(engine.rest, 62);
    EXPECT_EQ(engine.level, 0);
}

TEST(Search, LeafIsEvaluatedEvenWithoutMoves) {
    GameBoard b{};
    b[11] = 1;
    b[21] = -1;  // +1 has a move, -1 none
    Morvane engine;
    Prepare(engine, Oriented(b, -1), 0, 0);
    EXPECT_EQ(engine.Search().score, StaticValue(Oriented(b, -1)));
    EXPECT_EQ(engine.amount, 1);
}

TEST(Search, ValuesMatchPlainMinimaxWithEveryRootMoveRecorded) {
    std::vector<std::pair<GameBoard, int>> midgame;
    int side = 1;
    midgame.push_back({BoardFromText(kStart, &side), 4});
    for (const FfoPosition& p : LoadFfo()) {
        if (p.number % 10 != 3) continue;
        GameBoard b = BoardFromText(p.text, &side);
        midgame.push_back({Oriented(b, side), 3});
    }
    for (const auto& [board, depth] : midgame) {
        Morvane engine;
        for (int sortDepth : {0, depth}) {
            Prepare(engine, board, depth, sortDepth);
            const bool narrow = engine.PrepareSearch() == 1;
            engine.recordRoot = true;
            const SearchResult r = RunRoot(engine, narrow);
            ASSERT_EQ(r.score, Minimax(board, 0, depth));
            const auto moves = LegalMoves(board, 1);
            ASSERT_EQ(engine.rootMoveCount, static_cast<int>(moves.size()));
            for (int i = 0; i < engine.rootMoveCount; ++i) {
                const PointData m = Morvane::SquareXY(engine.rootMoves[i].move);
                GameBoard child = board;
                Play(child, {m.x, m.y}, 1);
                EXPECT_EQ(engine.rootMoves[i].score, Minimax(child, 1, depth))
                    << "root move " << SquareName(m.x, m.y);
            }
            // Without recording, cut-offs against the root leave its value unchanged.
            Prepare(engine, board, depth, sortDepth);
            engine.PrepareSearch();
            EXPECT_EQ(RunRoot(engine, narrow).score, r.score);
        }
    }
}

TEST(Search, ExactEndgameMatchesMinimaxThroughPasses) {
    int passes = 0;
    for (const Case& c : EndgameCases(8, 12)) {
        Morvane engine;
        Prepare(engine, c.board, 99, 2);
        const SearchResult r = engine.Search();
        EXPECT_EQ(r.score, Minimax(c.board, 0, 99)) << c.label;
        passes += engine.pass;
        EXPECT_EQ(engine.rest, EmptyCount(c.board));
        EXPECT_EQ(engine.level, 0);
        EXPECT_EQ(engine.discDiff, engine.SumBoard());
    }
    EXPECT_GT(passes, 0) << "the sample must contain passes inside the tree";
}

TEST(Search, PassHandsTheRepliesToTheChild) {
    // +1 to move cannot flank the corner nor the solid block of x = 5..8; -1 has two replies,
    // (1,3) and (3,1). 29 empty squares: a narrow search, which hands the replies over.
    GameBoard b{};
    for (int x = 5; x <= 8; ++x)
        for (int y = 1; y <= 8; ++y)
            b[static_cast<std::size_t>(x * 10 + y)] = -1;
    b[11] = -1;
    b[21] = 1;
    b[12] = 1;
    ASSERT_TRUE(LegalMoves(b, 1).empty());
    const auto replies = LegalMoves(b, -1);
    ASSERT_FALSE(replies.empty());
    Morvane engine;
    Prepare(engine, b, 1, 0);
    EXPECT_EQ(engine.Search().score, StaticValue(b)) << "the leaf child evaluates the same board";
    EXPECT_EQ(engine.pass, 1);
    EXPECT_EQ(engine.amount, 2);
    EXPECT_EQ(engine.savedPassMoves, 0);

    for (int sortDepth : {0, 2}) {
        Prepare(engine, b, 3, sortDepth);
        const SearchResult r = engine.Search();
        EXPECT_EQ(r.score, Minimax(b, 0, 3));
        EXPECT_EQ(engine.moveListStart[1], 0) << "the child reuses the passing node's slot";
        EXPECT_EQ(engine.moveListStart[2], static_cast<int>(replies.size()))
            << "the child places its own children after the handed-over moves";
        EXPECT_GE(engine.pass, 1);
        const PointData m = Morvane::SquareXY(r.move);
        EXPECT_NE(std::find(replies.begin(), replies.end(), Square{m.x, m.y}), replies.end())
            << "the result's move is the opponent's reply";
    }
}

TEST(Search, WidePassLetsTheChildGenerateAgain) {
    // 61 empty squares: a wide preparation. +1 cannot flank the corner; -1 can reply.
    GameBoard b{};
    b[11] = -1;
    b[21] = 1;
    b[12] = 1;
    Morvane engine;
    Prepare(engine, b, 3, 2);
    ASSERT_EQ(engine.PrepareSearch(), 0);
    const SearchResult r = engine.SearchWide();
    EXPECT_EQ(r.score, Minimax(b, 0, 3));
    EXPECT_GE(engine.pass, 1) << "the root passes (and +1 passes again further down)";
    EXPECT_EQ(engine.savedPassMoves, 0) << "nothing is handed over in the wide search";
    EXPECT_EQ(engine.moveListStart[2], static_cast<int>(LegalMoves(b, -1).size()))
        << "the child generated its replies into the passing node's slot";
}

TEST(Search, DeepCutoffAgainstEveryOpenAncestor) {
    Morvane engine;
    LoadForSearch(engine, kStart);
    engine.PrepareSearch();
    auto openAt = [&](int lvl) {
        engine.level = lvl;
        engine.depth = lvl + 1;
        engine.sortDepth = 0;
        engine.moveListStart[lvl] = 0;
        engine.emptyBits1[lvl] = engine.emptyBits1[0];
        engine.frontierBits1[lvl] = engine.frontierBits1[0];
        engine.amount = 0;
        engine.recordRoot = false;
        for (int a = 0; a < lvl; ++a)
            engine.bestAtLevel[a] = a % 2 == 0 ? -11000 : 11000;
    };
    // A maximiser under a minimiser that already holds a low value stops after one child.
    openAt(2);
    engine.bestAtLevel[1] = -20000;
    engine.Search();
    EXPECT_EQ(engine.amount, 2);
    openAt(2);
    engine.Search();
    EXPECT_EQ(engine.amount, 5) << "no cut-off: all four children";

    // A minimiser is cut off by a maximiser three levels up, not only by its parent.
    openAt(3);
    engine.bestAtLevel[0] = 20000;
    engine.Search();
    EXPECT_EQ(engine.amount, 2);
    // With recordRoot nothing is cut off against the root.
    openAt(3);
    engine.bestAtLevel[0] = 20000;
    engine.recordRoot = true;
    engine.Search();
    EXPECT_EQ(engine.amount, 5);
    EXPECT_EQ(engine.level, 3);
    EXPECT_EQ(engine.rest, 60);
}

TEST(Search, PreparedRootUsesTheDriversListAsGiven) {
    Morvane engine;
    LoadForSearch(engine, kStart);
    engine.PrepareSearch();
    engine.depth = 1;
    engine.sortDepth = 1;
    // Generated and sorted: all four moves are worth the same, so generation order wins: c4.
    EXPECT_EQ(engine.Search().move, Morvane::SquareIndex(3, 4));

    engine.searchMode = 1;
    engine.amount = 0;
    engine.rootMoveCount = 0;
    EXPECT_EQ(engine.Search().score, -11000) << "an empty prepared list";
    EXPECT_EQ(engine.amount, 1);

    engine.rootMoveCount = 4;
    const int order[4] = {Morvane::SquareIndex(6, 5), Morvane::SquareIndex(5, 6),
                          Morvane::SquareIndex(4, 3), Morvane::SquareIndex(3, 4)};
    std::copy(std::begin(order), std::end(order), engine.moveList);
    EXPECT_EQ(engine.Search().move, Morvane::SquareIndex(6, 5)) << "no re-sorting at the root";
    EXPECT_EQ(engine.moveListStart[1], 4);

    engine.recordRoot = true;  // recording searches always generate their own list
    EXPECT_EQ(engine.Search().move, Morvane::SquareIndex(3, 4));
}

TEST(Search, StopsOnTimeAndLeavesThePositionIntact) {
    FakeClock clock;
    clock.step = 7;
    Morvane engine;
    engine.tickCount = clock.Counter();
    int pumps = 0;
    engine.onPump = [&] { ++pumps; };
    LoadForSearch(engine, BoardFromText(LoadFfo()[0].text), 1);
    engine.PrepareSearch();
    const int diff = engine.discDiff;
    int before[160];
    std::copy(std::begin(engine.board), std::end(engine.board), before);
    engine.depth = 99;
    engine.sortDepth = 8;
    engine.isTimeLimited = true;
    engine.isBreak = false;
    engine.checkMask = 255;
    engine.startTime = clock.now;
    engine.breakTime = 20;
    engine.Search();
    EXPECT_TRUE(engine.isBreak);
    EXPECT_GE(pumps, 1);
    EXPECT_TRUE(std::equal(std::begin(before), std::end(before), engine.board));
    EXPECT_EQ(engine.discDiff, diff);
    EXPECT_EQ(engine.rest, 14);
    EXPECT_EQ(engine.level, 0);
    EXPECT_LT(engine.checkMask, 255) << "within 3000 ms of the limit the check runs more often";
    EXPECT_LT(engine.amount, 20000);
}

TEST(Search, PumpRunsAtEveryCheckWithoutATimeLimit) {
    Morvane engine;
    int pumps = 0;
    engine.onPump = [&] { ++pumps; };
    LoadForSearch(engine, BoardFromText(LoadFfo()[0].text), 1);
    engine.PrepareSearch();
    engine.depth = 6;
    engine.sortDepth = 2;
    engine.isTimeLimited = false;
    engine.checkMask = 63;
    engine.Search();
    EXPECT_GT(pumps, 0);
    EXPECT_LE(pumps, (engine.amount + 1) / 64) << "only nodes that reach the check pump";
    EXPECT_EQ(engine.checkMask, 63);
    EXPECT_FALSE(engine.isBreak);
}

TEST(Search, AbortFromThePumpStopsAnUntimedSearch) {
    Morvane engine;
    engine.onPump = [&] { engine.Abort(); };
    LoadForSearch(engine, BoardFromText(LoadFfo()[0].text), 1);
    engine.PrepareSearch();
    engine.depth = 99;
    engine.sortDepth = 8;
    engine.isTimeLimited = false;
    engine.checkMask = 1023;
    engine.Search();
    EXPECT_TRUE(engine.isBreak);
    EXPECT_TRUE(engine.WasAborted());
    EXPECT_LT(engine.amount, 3000);
    EXPECT_EQ(engine.level, 0);
}

namespace {

SearchResult WinLoss(Morvane& engine, const GameBoard& oriented) {
    LoadForSearch(engine, oriented, 1);
    engine.PrepareSearch();
    engine.rootMoveCount = engine.GenerateMoves(1);
    engine.moveListStart[1] = engine.rootMoveCount;
    engine.depth = 99;
    engine.sortDepth = engine.rest - 6;
    engine.isTimeLimited = false;
    engine.isBreak = false;
    return engine.SearchWinLoss();
}

}  // namespace

TEST(SearchWinLoss, AgreesWithTheExactSearchOnEndgames) {
    int successes = 0;
    int failures = 0;
    for (const Case& c : EndgameCases(10, 16)) {
        Morvane exact;
        Prepare(exact, c.board, 99, EmptyCount(c.board) - 6);
        exact.recordRoot = true;
        const int score = exact.Search().score;
        Morvane engine;
        const SearchResult r = WinLoss(engine, c.board);
        EXPECT_EQ(r.score, score >= 10000 ? 10065 : -10065) << c.label;
        EXPECT_EQ(engine.rest, EmptyCount(c.board));
        EXPECT_EQ(engine.discDiff, engine.SumBoard());
        (r.score > 0 ? successes : failures) += 1;
        if (r.score > 0) {
            // The first move in root order that does not lose.
            for (int i = 0; i < engine.rootMoveCount; ++i) {
                int exactScore = 0;
                for (int j = 0; j < exact.rootMoveCount; ++j)
                    if (exact.rootMoves[j].move == engine.moveList[i])
                        exactScore = exact.rootMoves[j].score;
                if (exactScore >= 10000) {
                    EXPECT_EQ(r.move, engine.moveList[i]) << c.label;
                    break;
                }
            }
        }
    }
    EXPECT_GT(successes, 0);
    EXPECT_GT(failures, 0);
}

TEST(SearchWinLoss, DrawIsSuccessAndEmptyRootFails) {
    // FFO #4: the best result is a draw (H8 or A5).
    const FfoPosition draw = LoadFfo()[3];
    ASSERT_EQ(draw.moves[0].second, 0);
    int side = 1;
    const GameBoard text = BoardFromText(draw.text, &side);
    const GameBoard b = Oriented(text, side);
    Morvane engine;
    const SearchResult r = WinLoss(engine, b);
    EXPECT_EQ(r.score, 10065);
    const PointData m = Morvane::SquareXY(r.move);
    const Square played{m.x, m.y};
    EXPECT_TRUE(played == draw.moves[0].first || played == draw.moves[1].first);

    WinLoss(engine, b);
    engine.rootMoveCount = 0;
    engine.amount = 0;
    EXPECT_EQ(engine.SearchWinLoss().score, -10065);
    EXPECT_EQ(engine.amount, 1);
}

TEST(SearchWinLoss, LostPositionFails) {
    // FFO #9: every move loses (G7 -8 is the best).
    const FfoPosition lost = LoadFfo()[8];
    ASSERT_LT(lost.moves[0].second, 0);
    int side = 1;
    const GameBoard text = BoardFromText(lost.text, &side);
    ASSERT_EQ(side, -1);
    const GameBoard b = Oriented(text, side);
    Morvane engine;
    EXPECT_EQ(WinLoss(engine, b).score, -10065);
}
