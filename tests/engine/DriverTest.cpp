// The think operations and the drivers: which search runs, with which budget, and what they write.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "EngineTestSupport.h"

namespace {

constexpr const char* kStart = "---------------------------OX------XO--------------------------- X";

struct Game {
    GameBoard board;
    int side;
};

// A real position with exactly `empties` empty squares and a move for the side to move, reached
// from an FFO position (or the start) by playing its legal moves in a fixed pattern.
Game PositionWithEmpties(int empties, int seed = 0) {
    const int pattern = 7 + seed;
    std::vector<std::string> sources;
    for (const FfoPosition& p : LoadFfo())
        if (p.empties >= empties) sources.push_back(p.text);
    for (int i = 0; i < 8; ++i)
        sources.push_back(kStart);
    for (const std::string& source : sources) {
        if (seed-- > 0) continue;
        int side = 1;
        GameBoard b = BoardFromText(source, &side);
        bool over = false;
        while (EmptyCount(b) > empties && !over) {
            auto moves = LegalMoves(b, side);
            if (moves.empty()) {
                side = -side;
                moves = LegalMoves(b, side);
                over = moves.empty();
            }
            if (over) break;
            Play(b, moves[static_cast<std::size_t>(EmptyCount(b) * pattern) % moves.size()], side);
            side = -side;
        }
        if (!over && LegalMoves(b, side).size() >= 2) return {b, side};
    }
    ADD_FAILURE() << "no position with " << empties << " empties";
    return {BoardFromText(kStart), 1};
}

struct Think {
    std::vector<std::string> lines;
    PointData move;
    long long nodes;
};

Think ByAmount(const Game& g, int level, Morvane* reuse = nullptr) {
    Morvane fresh;
    Morvane& engine = reuse != nullptr ? *reuse : fresh;
    FakeClock clock;  // frozen: every figure of the trace is fixed
    engine.tickCount = clock.Counter();
    TraceLog log;
    log.Attach(engine);
    engine.LoadPosition(g.board.data(), g.side);
    const PointData move = engine.ThinkByAmount(level);
    engine.onTrace = nullptr;
    return {log.lines, move, engine.thinkNodes};
}

// Time allocation runs with a clock that jumps 100 s at every reading, so no search beyond the
// un-timed pre-searches runs; the limits show in the trace.
Think ByTime(const Game& g, int allowanceMs, int rTime) {
    Morvane engine;
    FakeClock clock;
    clock.step = 100000;
    engine.tickCount = clock.Counter();
    TraceLog log;
    log.Attach(engine);
    engine.LoadPosition(g.board.data(), g.side);
    engine.StartGame(allowanceMs);
    const PointData move = engine.ThinkByTime(rTime);
    return {log.lines, move, engine.thinkNodes};
}

bool Has(const Think& t, const std::string& line) {
    return std::find(t.lines.begin(), t.lines.end(), line) != t.lines.end();
}

int Index(const Think& t, const std::string& line, int from = 0) {
    for (std::size_t i = static_cast<std::size_t>(from); i < t.lines.size(); ++i)
        if (t.lines[i] == line) return static_cast<int>(i);
    return -1;
}

bool IsLegal(const Game& g, PointData m) {
    const auto moves = LegalMoves(g.board, g.side);
    return std::find(moves.begin(), moves.end(), Square{m.x, m.y}) != moves.end();
}

}  // namespace

TEST(ThinkByAmount, LevelOneDriverByEmptySquares) {
    const Think eleven = ByAmount(PositionWithEmpties(11), 0);
    EXPECT_EQ(eleven.lines[1], "ID search by amount");
    int iterations = 0;
    for (const std::string& l : eleven.lines)
        iterations += l.find(",depth=") != std::string::npos;
    EXPECT_LE(iterations, 1) << "exactly one main iteration (none written if decided)";
    EXPECT_EQ(ByAmount(PositionWithEmpties(10), 0).lines[1], "Semi-complete search");
    EXPECT_EQ(ByAmount(PositionWithEmpties(9), 0).lines[1], "Semi-complete search");
    EXPECT_EQ(ByAmount(PositionWithEmpties(8), 0).lines[1], "Complete search");
    // The top levels solve exactly at 20 and prove win or loss at 21 and 22.
    EXPECT_EQ(ByAmount(PositionWithEmpties(16), 8).lines[1], "Complete search");
    EXPECT_EQ(ByAmount(PositionWithEmpties(23), 5).lines[1], "ID search by amount");
}

TEST(ThinkByAmount, StartPositionAtLevelOneIsOneShallowSearch) {
    const Think t = ByAmount({BoardFromText(kStart), 1}, 0);
    ASSERT_GE(t.lines.size(), 12u);
    EXPECT_EQ(t.lines[0], "No. 0");
    EXPECT_EQ(t.lines[1], "ID search by amount");
    int depth = 0;
    long long nodes = 0;
    int x = 0;
    int y = 0;
    int score = 0;
    EXPECT_EQ(std::sscanf(t.lines[2].c_str(), "0,depth=%d,amount=%lld,(%d,%d)=%d", &depth, &nodes,
                          &x, &y, &score),
              5)
        << t.lines[2];
    EXPECT_EQ(depth, 2);
    EXPECT_EQ(t.lines[3], "node index=0");
    EXPECT_EQ(t.lines[10], "");
    EXPECT_EQ(t.lines[11], "ElapsedTime=0");
    EXPECT_EQ(t.lines.size(), 12u);
    EXPECT_TRUE(IsLegal({BoardFromText(kStart), 1}, t.move));
}

TEST(ThinkByAmount, OutOfRangeLevelsUseTheNearestRow) {
    const Game g = PositionWithEmpties(30);
    EXPECT_EQ(ByAmount(g, -4).lines, ByAmount(g, 0).lines);
    // At 21 empty squares only the top rows prove win or loss.
    const Game h = PositionWithEmpties(21, 2);  // a quick proof
    const Think top = ByAmount(h, 42);
    EXPECT_EQ(top.lines, ByAmount(h, 8).lines);
    EXPECT_EQ(top.lines[1], "Semi-complete search");
}

TEST(ThinkByAmount, DeterministicAndIndependentOfEarlierThinks) {
    const Game g = PositionWithEmpties(40, 3);
    const Think first = ByAmount(g, 3);
    Morvane engine;
    engine.searchMode = 1;  // as a timed game leaves it
    engine.checkMask = 0;
    const Think again = ByAmount(g, 3, &engine);
    EXPECT_EQ(first.lines, again.lines);
    EXPECT_EQ(first.move, again.move);
    EXPECT_EQ(first.nodes, again.nodes);
    const Think third = ByAmount(g, 3, &engine);
    EXPECT_EQ(first.lines, third.lines);
    EXPECT_TRUE(IsLegal(g, first.move));

    Morvane silent;
    silent.tickCount = [] { return 0u; };
    silent.LoadPosition(g.board.data(), g.side);
    EXPECT_EQ(silent.ThinkByAmount(3), first.move) << "no callback, same move";
    EXPECT_EQ(silent.thinkNodes, first.nodes);
}

TEST(ThinkByAmount, DeepeningFollowsTheNodeBudget) {
    const Game g = PositionWithEmpties(44, 1);
    const Think t = ByAmount(g, 3);  // 200000 nodes
    std::vector<std::pair<int, long long>> runs;
    for (const std::string& l : t.lines) {
        int depth = 0;
        long long nodes = 0;
        if (std::sscanf(l.c_str(), "0,depth=%d,amount=%lld,", &depth, &nodes) == 2)
            runs.push_back({depth, nodes});
    }
    ASSERT_GE(runs.size(), 2u) << "this position deepens at least once";
    EXPECT_EQ(runs[0].first, 6);
    long long total = 0;
    for (std::size_t i = 0; i + 1 < runs.size(); ++i) {
        total += runs[i].second;
        EXPECT_LE(runs[i].second * 3, 200000);
        const int step =
            std::min(static_cast<int>(std::log(200000.0 / static_cast<double>(runs[i].second)) /
                                      std::log(3.0)),
                     3);
        EXPECT_GE(step, 1);
        EXPECT_EQ(runs[i + 1].first, runs[i].first + step);
    }
    EXPECT_LE(total, 200000);
}

TEST(ThinkByAmount, AbortStopsPromptlyAndIsClearedByTheNextThink) {
    const Game g = PositionWithEmpties(18);
    Morvane engine;
    int pumps = 0;
    engine.onPump = [&] {
        if (++pumps == 2) engine.Abort();
    };
    TraceLog log;
    log.Attach(engine);
    engine.LoadPosition(g.board.data(), g.side);
    const PointData move = engine.ThinkByAmount(8);
    EXPECT_TRUE(engine.WasAborted());
    EXPECT_EQ(pumps, 2);
    EXPECT_TRUE(IsLegal(g, move));
    EXPECT_EQ(log.IndexOf("pass = 0"), -1);
    for (const std::string& l : log.lines)
        EXPECT_EQ(l.rfind("ElapsedTime=", 0), std::string::npos);

    engine.onPump = nullptr;
    engine.LoadPosition(g.board.data(), g.side);
    const PointData full = engine.ThinkByAmount(6);
    EXPECT_FALSE(engine.WasAborted());
    EXPECT_TRUE(IsLegal(g, full));
}

TEST(SemiCompleteSearch, LostPositionPlaysThePreSearchMove) {
    const FfoPosition lost = LoadFfo()[8];  // FFO #9: every move loses
    Morvane pre;
    LoadForSearch(pre, lost.text);
    pre.PrepareSearch();
    pre.depth = 6;
    pre.sortDepth = 0;
    pre.searchMode = 1;
    pre.recordRoot = true;
    const int preMove = pre.Search().move;

    Morvane engine;
    TraceLog log;
    log.Attach(engine);
    LoadForSearch(engine, lost.text);
    const SearchResult r = engine.SemiCompleteSearch(0, false, false);
    EXPECT_EQ(r.score, -10065);
    EXPECT_EQ(r.move, preMove);
    EXPECT_EQ(log.lines[0], "Semi-complete search");
    EXPECT_EQ(log.lines[1], "pre-search: breakTime=0, isBreak=false");
    // One line per root move, best first, then the pre-search time and the post-search line.
    int at = 2;
    int previous = 1 << 30;
    while (log.lines[static_cast<std::size_t>(at)].front() == '(') {
        const std::string& l = log.lines[static_cast<std::size_t>(at)];
        const int score = std::stoi(l.substr(l.find('=') + 1));
        EXPECT_LE(score, previous);
        previous = score;
        ++at;
    }
    EXPECT_EQ(at - 2, engine.rootMoveCount);
    EXPECT_EQ(log.lines[static_cast<std::size_t>(at)].rfind("time=", 0), 0u);
    EXPECT_EQ(log.lines[static_cast<std::size_t>(at + 1)],
              "post-search: breakTime=0, isBreak=false");
    EXPECT_NE(log.IndexOf("得点=-10065"), -1);
}

TEST(SemiCompleteSearch, PreSearchStoppedByTimeStillPlaysALegalMove) {
    const Game g = PositionWithEmpties(21, 2);
    Morvane engine;
    FakeClock clock;
    clock.step = 1000;
    engine.tickCount = clock.Counter();
    TraceLog log;
    log.Attach(engine);
    LoadForSearch(engine, g.board, g.side);
    engine.checkMask = 0;  // a check at every node: the pre-search stops at its root
    const SearchResult r = engine.SemiCompleteSearch(100, false, true);
    EXPECT_EQ(log.lines[1], "pre-search: breakTime=70, isBreak=true");
    EXPECT_NE(log.IndexOf("break for time limit (fast search)"), -1);
    GameBoard oriented = g.board;
    for (int& v : oriented)
        v *= g.side;
    const PointData m = Morvane::SquareXY(r.move);
    const auto legal = LegalMoves(oriented, 1);
    EXPECT_NE(std::find(legal.begin(), legal.end(), Square{m.x, m.y}), legal.end());
    EXPECT_EQ(engine.rootMoveCount, static_cast<int>(legal.size()));
}

TEST(ThinkByTime, DriverByEmptySquares) {
    EXPECT_EQ(ByTime(PositionWithEmpties(20), 60000, 60000).lines[1], "Complete search");
    EXPECT_EQ(ByTime(PositionWithEmpties(21), 60000, 60000).lines[1], "Semi-complete search");
    EXPECT_EQ(ByTime(PositionWithEmpties(22), 60000, 60000).lines[1], "Semi-complete search");
    const Think mid = ByTime(PositionWithEmpties(23), 60000, 60000);
    EXPECT_EQ(mid.lines[1], "rTime=60000");
    EXPECT_EQ(mid.lines[2], "tForFinal=12000");
    EXPECT_EQ(mid.lines[3], "rest=23");
    EXPECT_EQ(mid.lines[4], "ID search by time");
    EXPECT_EQ(mid.lines[5], "LimitTime=48000") << "one step left: the whole midgame time";
}

TEST(ThinkByTime, TimeAllocationArithmetic) {
    const Game start{BoardFromText(kStart), 1};
    const Think first = ByTime(start, 60000, 60000);
    EXPECT_EQ(first.lines[0], "No. 0");
    EXPECT_EQ(first.lines[3], "rest=60");
    EXPECT_EQ(first.lines[5], "LimitTime=1000") << "the first move of the game";

    GameBoard afterF5 = BoardFromText(kStart);
    Play(afterF5, {6, 5}, 1);
    const Game white{afterF5, -1};
    EXPECT_EQ(ByTime(white, 60000, 60000).lines[5], "LimitTime=3789");
    EXPECT_EQ(ByTime(white, 300000, 300000).lines[5], "LimitTime=18946");

    const Game thirty = PositionWithEmpties(30);
    EXPECT_EQ(ByTime(thirty, 60000, 13000).lines[5], "LimitTime=375");
    EXPECT_EQ(ByTime(thirty, 60000, 11000).lines[5], "LimitTime=9900") << "below the reserve";
    EXPECT_EQ(ByTime(PositionWithEmpties(24), 60000, 20000).lines[5], "LimitTime=8000");

    EXPECT_TRUE(Has(ByTime(PositionWithEmpties(20), 60000, 10000), "breakTime=5040"));
    // 0.3 x 9000 = 2700, then 0.7 x 2700 in binary floating point is just below 1890.
    const Think semi = ByTime(PositionWithEmpties(22), 60000, 10000);
    EXPECT_TRUE(Has(semi, "pre-search: breakTime=1889, isBreak=false") ||
                Has(semi, "pre-search: breakTime=1889, isBreak=true"));
}

TEST(ThinkByTime, ClockAtOrBelowZeroStillAnswersPromptly) {
    const Game thirty = PositionWithEmpties(30);
    const Think zero = ByTime(thirty, 60000, 0);
    EXPECT_EQ(zero.lines[5], "LimitTime=0");
    EXPECT_TRUE(IsLegal(thirty, zero.move));

    const Think overdrawn = ByTime(thirty, 60000, -5000);
    EXPECT_EQ(overdrawn.lines[1], "ID search by time") << "no rTime lines for an overdrawn clock";
    EXPECT_EQ(overdrawn.lines[2], "LimitTime=0");
    EXPECT_TRUE(IsLegal(thirty, overdrawn.move));

    const Game twenty = PositionWithEmpties(20);
    const Think endgame = ByTime(twenty, 60000, 500);
    EXPECT_TRUE(Has(endgame, "breakTime=0"));
    EXPECT_TRUE(IsLegal(twenty, endgame.move));

    // With the real clock the overdrawn endgame answers within about a second.
    Morvane engine;
    engine.LoadPosition(twenty.board.data(), twenty.side);
    const auto t0 = SystemTickCount();
    const PointData move = engine.ThinkByTime(-1);
    EXPECT_LT(SystemTickCount() - t0, 1500u);
    EXPECT_TRUE(IsLegal(twenty, move));
}

TEST(ThinkByTime, TimedOutExactSearchFallsBack) {
    const Game g = PositionWithEmpties(20);
    const Think t = ByTime(g, 60000, 10000);
    const int complete = Index(t, "Complete search");
    const int broke = Index(t, "break for time limit (complete search)");
    const int semi = Index(t, "Semi-complete search");
    const int fast = Index(t, "break for time limit (fast search)");
    int passLine = -1;
    int post = -1;
    for (std::size_t i = 0; i < t.lines.size(); ++i) {
        if (t.lines[i].rfind("pass = ", 0) == 0) passLine = static_cast<int>(i);
        if (t.lines[i].rfind("post-search: ", 0) == 0) post = static_cast<int>(i);
    }
    ASSERT_GE(complete, 0);
    EXPECT_LT(complete, broke);
    EXPECT_LT(broke, semi);
    EXPECT_LT(semi, fast);
    EXPECT_EQ(t.lines[static_cast<std::size_t>(fast + 1)], "ID search by time");
    EXPECT_EQ(t.lines[static_cast<std::size_t>(fast + 2)], "LimitTime=378");
    EXPECT_LT(fast, post);
    EXPECT_LT(post, passLine);
    int blocks = 0;
    int blocksAfterPass = 0;
    for (std::size_t i = 0; i < t.lines.size(); ++i) {
        if (t.lines[i] != "trace off") continue;
        ++blocks;
        if (static_cast<int>(i) > passLine) ++blocksAfterPass;
    }
    EXPECT_EQ(blocks, 3) << "the last fallback's, the semi-complete search's and the exact one's";
    EXPECT_EQ(blocksAfterPass, 1);
    EXPECT_TRUE(IsLegal(g, t.move));
}

TEST(ThinkByTime, PreSearchTooSlowReturnsWithoutStatistics) {
    const Game g = PositionWithEmpties(30);
    const Think t = ByTime(g, 0, 533334);  // limit 199999; the pre-search reads 100000 ms
    EXPECT_EQ(t.lines[5], "LimitTime=199999");
    EXPECT_EQ(Index(t, "trace off"), -1);
    EXPECT_EQ(t.lines.back().rfind("ElapsedTime=", 0), 0u);
    EXPECT_TRUE(IsLegal(g, t.move));
}

TEST(StartGame, HoldsBackAFifth) {
    Morvane engine;
    EXPECT_EQ(engine.tForFinal, -1);
    engine.StartGame(60000);
    EXPECT_EQ(engine.tForFinal, 12000);
    engine.StartGame(-10);
    EXPECT_EQ(engine.tForFinal, 0);
}
