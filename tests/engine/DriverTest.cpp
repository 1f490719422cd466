// The think operations and drivers: which search runs with which budget, and the trace they write.
#include <gtest/gtest.h>

#include "EngineTestSupport.h"

TEST(Trace, SecondsAndStatisticsBlock) {
    std::string seconds;
    for (double ms : {1234.0, 20.0, 1000.0, 0.0, 1050.0, 999.0, 123456789.0, 4294967295.0, 0.01})
        seconds += Morvane::FormatSeconds(ms) + " ";
    EXPECT_EQ(seconds, "1.234 0.02 1 0 1.05 0.999 123456.789 4294967.295 0.00001 ");
    // A bare rate after 0 ms shows in the whole traces below.
    Morvane e;
    std::string block;
    e.onTrace = [&](const std::string& line) { block += line + "|"; };
    e.amount = 12345;
    e.TraceStatistics(Morvane::SquareIndex(3, 4), -12, 31.0f);
    EXPECT_EQ(block,
              "node index=0|得点=-12|場所=(3,4)|検索数=12345|検索時間=0.031|検索数/sec=398225|"
              "trace off||");
}

TEST(Think, DriverAndTimeAllocationByEmptySquaresLevelAndClock) {
    // at(60): the start position; at(59): white's first move.
    const auto at = [](int empties) { return PositionWithEmpties(empties, empties == 21 ? 2 : 0); };
    // (position, level index or allowance, rTime or kByAmount, line index, line)
    const std::tuple<Game, int, int, std::size_t, const char*> cases[] = {
        {at(11), 0, kByAmount, 1, "ID search by amount"},  // level index 0: "レベル１"
        {at(10), 0, kByAmount, 1, "Semi-complete search"},
        {at(8), 0, kByAmount, 1, "Complete search"},
        {at(9), -4, kByAmount, 1, "Semi-complete search"},   // clamped to row 0
        {at(21), 42, kByAmount, 1, "Semi-complete search"},  // clamped to row 8
        {at(20), 60000, 60000, 1, "Complete search"},
        {at(21), 60000, 60000, 1, "Semi-complete search"},
        {at(23), 60000, 60000, 1, "rTime=60000"},
        {at(60), 60000, 60000, 2, "tForFinal=12000"},
        {at(60), 60000, 60000, 5, "LimitTime=1000"},  // the first move of the game
        {at(59), 60000, 60000, 5, "LimitTime=3789"},
        {at(59), 300000, 300000, 5, "LimitTime=18946"},
        {at(30), 60000, 13000, 5, "LimitTime=375"},
        {at(30), 60000, 11000, 5, "LimitTime=9900"},  // below the reserve: 0.9 rTime
        {at(24), 60000, 20000, 5, "LimitTime=8000"},  // one step left: all of R
        {at(30), 60000, -5000, 2, "LimitTime=0"},     // overdrawn: no rTime lines, clamped
        {at(20), 60000, 10000, 2, "breakTime=5040"},
        {at(20), 60000, 500, 2, "breakTime=0"},
        // 0.3 x 9000 = 2700, and 0.7 x 2700 in binary floating point is just below 1890.
        {at(22), 60000, 10000, 2, "pre-search: breakTime=1889, isBreak=false"},
        {at(30), 0, 533334, 5, "LimitTime=199999"},
    };
    for (const auto& [game, levelOrAllowance, rTime, index, line] : cases) {
        const Think t = RunThink(game, levelOrAllowance, rTime);
        EXPECT_EQ(t.lines.at(index), line) << levelOrAllowance << ", rTime " << rTime;
        EXPECT_TRUE(IsLegal(game, t.move)) << line;
    }
    // The pre-search reads 100000 ms of the 199999: too slow, no iteration and no statistics.
    EXPECT_EQ(RunThink(at(30), 0, 533334).Index("trace off"), -1);
}

static std::string Square(int move) {
    const PointData xy = Morvane::SquareXY(move);
    return std::string(1, '(') += std::to_string(xy.x) + "," + std::to_string(xy.y) + ")";
}

// Whole traces, every figure fixed by the frozen clock. Level 1 (1000 nodes) searches once. The
// node-budget levels (1000000 and 200000 nodes) deepen from 6 plies by as many plies as a
// branching of 3 leaves room for, at most 3, while a third of the budget is left. In a lost
// position the semi-complete search lists every root move, best first, and plays the
// pre-search's move.
TEST(ThinkByAmount, TracesAndNoDependenceOnEarlierThinks) {
    const std::string stats = "|検索時間=0|検索数/sec=|trace off||ElapsedTime=0|";
    const std::tuple<Game, int, std::string> cases[] = {
        {FromText(kStart), 0,
         "No. 0|ID search by amount|0,depth=2,amount=15,(3,4)=-3|node index=0|得点=-3|"
         "場所=(3,4)|検索数=15" +
             stats},
        {PositionWithEmpties(38, 2), 5,
         "No. 22|ID search by amount|0,depth=6,amount=9426,(8,4)=-34|"
         "0,depth=9,amount=161837,(5,3)=-33|0,depth=10,amount=470713,(5,3)=-38|node index=0|"
         "得点=-38|場所=(5,3)|検索数=470713" +
             stats},
        {PositionWithEmpties(30), 3,
         "No. 30|ID search by amount|0,depth=6,amount=12936,(6,2)=-11|"
         "0,depth=8,amount=77892,(1,6)=-12|node index=0|得点=-12|場所=(1,6)|検索数=77892" +
             stats},
        {Ffo()[8].game, 3,  // FFO #9, 15 empties: every move loses
         "No. 45|Semi-complete search|pre-search: breakTime=0, isBreak=false|(7,7)=-6|(1,4)=-17|"
         "(2,7)=-26|(2,1)=-34|(1,3)=-35|(1,7)=-43|(8,7)=-45|(7,1)=-67|time=0|"
         "post-search: breakTime=0, isBreak=false|node index=0|得点=-10065|場所=(7,7)|"
         "検索数=57384" +
             stats},
    };
    for (const auto& [g, level, trace] : cases) {
        const Think first = RunThink(g, level);
        EXPECT_EQ(first.text, trace);
        // The report says what the depth lines and the statistics block say.
        std::string said;
        for (const SearchIteration& i : first.report.iterations) {
            EXPECT_GE(i.thinkNodes, i.nodes) << "the think's nodes so far";
            said += "|0,depth=" + std::to_string(i.depth) + ",amount=" + std::to_string(i.nodes) +
                    "," + Square(i.move) + "=" + std::to_string(i.score);
        }
        said += "|node index=0|得点=" + std::to_string(first.report.score) +
                "|場所=" + Square(first.report.move) + "|";
        EXPECT_NE(trace.find(said), std::string::npos) << said;
        EXPECT_EQ(std::tuple(first.live, Morvane::SquareXY(first.report.move)),
                  std::tuple(first.report.iterations, first.move));
        Morvane engine;  // after a timed think, which leaves its own search mode behind
        RunThink(PositionWithEmpties(30), 60000, 60000, &engine);
        for (int run = 0; run < 2; ++run)
            EXPECT_EQ(RunThink(g, level, kByAmount, &engine).Outcome(), first.Outcome());
        Morvane silent;  // no trace callback, real clock: the same move and nodes
        silent.LoadPosition(g.board.data(), g.side);
        EXPECT_EQ(std::tuple(silent.ThinkByAmount(level), silent.report.nodes),
                  std::tuple(first.move, first.report.nodes));
    }
}

TEST(ThinkByAmount, AbortStopsPromptlyAndIsClearedByTheNextThink) {
    const Game g = PositionWithEmpties(18);
    Morvane engine;
    int pumps = 0;
    engine.onPump = [&] { return ++pumps == 2 ? engine.Abort() : void(); };
    const Think aborted = RunThink(g, 8, kByAmount, &engine);
    EXPECT_TRUE(IsLegal(g, aborted.move));
    EXPECT_EQ(std::tuple(engine.WasAborted(), pumps, aborted.lines.size()),
              std::tuple(true, 2, 3u));
    engine.onPump = nullptr;
    EXPECT_EQ(RunThink(g, 6, kByAmount, &engine).Outcome(), RunThink(g, 6).Outcome());
    EXPECT_FALSE(engine.WasAborted());
}

TEST(ThinkByAmount, WindowPumpAtMostEveryTenMillisecondsOfSearchAndNoNodeChanges) {
    const Game g = Ffo()[15].game;  // FFO #16, 16 empties: about 90 time checks
    const Think unpumped = RunThink(g, 8);
    Morvane e;
    std::uint32_t now = 0;
    e.tickCount = [&now] { return now += 3; };
    std::vector<std::uint32_t> pumped;
    e.onPump = [&] { pumped.push_back(now); };
    e.pumpIntervalMs = Morvane::kWindowPumpIntervalMs;
    e.LoadPosition(g.board.data(), g.side);
    EXPECT_EQ(std::tuple(e.ThinkByAmount(8), e.report.nodes),
              std::tuple(unpumped.move, unpumped.report.nodes));
    ASSERT_GE(pumped.size(), 10u) << unpumped.report.nodes << " nodes";
    for (std::size_t i = 1; i < pumped.size(); ++i)  // the first check after 10 ms
        EXPECT_TRUE(pumped[i] - pumped[i - 1] >= 10 && pumped[i] - pumped[i - 1] < 20);
}

TEST(SemiCompleteSearch, PreSearchStoppedByTimeStillPlaysALegalMove) {
    const Game g = PositionWithEmpties(21, 2);
    Morvane e;
    e.tickCount = [t = 1000u]() mutable { return t += 1000; };
    std::vector<std::string> lines;
    e.onTrace = [&](const std::string& line) { lines.push_back(line); };
    Prepare(e, g);
    e.checkMask = 0;  // a check at every node: the pre-search stops at its root
    const SearchResult r = e.SemiCompleteSearch(100, false, true);
    EXPECT_EQ(lines[1], "pre-search: breakTime=70, isBreak=true");
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "break for time limit (fast search)"), 1);
    EXPECT_TRUE(IsLegal(g, Morvane::SquareXY(r.move)));
}

TEST(ThinkByTime, OverdrawnClockAnswersAtOnceAndTimedOutExactSearchFallsBack) {
    const Game g = PositionWithEmpties(20);
    Morvane engine;
    engine.tickCount = [t = 1000u]() mutable { return ++t; };  // a millisecond a reading
    engine.LoadPosition(g.board.data(), g.side);
    EXPECT_TRUE(IsLegal(g, engine.ThinkByTime(-1)));
    // The untimed pre-search (about 0.2 M nodes) and no more: the exact search needs millions.
    EXPECT_LT(engine.report.nodes, 1000000);
    const Think t = RunThink(g, 60000, 10000);
    // The exact search breaks, then the semi-complete fallback, whose SearchByTime gets
    // 0.3 x 0.2 x 6300 ms. Three statistics blocks: the last fallback's, the semi-complete
    // search's, and after the pass line the exact search's own.
    int at = 0;
    for (const char* line :
         {"Complete search", "break for time limit (complete search)", "Semi-complete search",
          "break for time limit (fast search)", "ID search by time", "LimitTime=378", "trace off",
          "trace off", "pass = ", "trace off", "ElapsedTime="}) {
        at = t.Index(line, at) + 1;
        ASSERT_GT(at, 0) << line;
    }
    EXPECT_EQ(std::count(t.lines.begin(), t.lines.end(), "trace off"), 3);
    EXPECT_TRUE(IsLegal(g, t.move));
}
