// The number formats and the statistics block of the trace.
#include <gtest/gtest.h>

#include "EngineTestSupport.h"

TEST(Trace, SecondsAreNaturalDecimals) {
    EXPECT_EQ(Morvane::FormatSeconds(1234), "1.234");
    EXPECT_EQ(Morvane::FormatSeconds(20), "0.02");
    EXPECT_EQ(Morvane::FormatSeconds(1000), "1");
    EXPECT_EQ(Morvane::FormatSeconds(0), "0");
    EXPECT_EQ(Morvane::FormatSeconds(1), "0.001");
    EXPECT_EQ(Morvane::FormatSeconds(31), "0.031");
    EXPECT_EQ(Morvane::FormatSeconds(100), "0.1");
    EXPECT_EQ(Morvane::FormatSeconds(123456789), "123456.789");
    EXPECT_EQ(Morvane::FormatSeconds(4294967295.0), "4294967.295");
    EXPECT_EQ(Morvane::FormatSeconds(0.5), "0.0005");
    EXPECT_EQ(Morvane::FormatSeconds(0.01), "0.00001") << "never an exponent";
}

TEST(Trace, EverySecondsFigureOfWholeMillisecondsIsExact) {
    for (int ms = 0; ms < 200000; ms += 7) {
        const std::string text = Morvane::FormatSeconds(ms);
        std::string expected = std::to_string(ms / 1000);
        int fraction = ms % 1000;
        if (fraction != 0) {
            std::string digits = std::to_string(1000 + fraction).substr(1);
            while (digits.back() == '0')
                digits.pop_back();
            expected += "." + digits;
        }
        ASSERT_EQ(text, expected) << ms;
    }
}

TEST(Trace, StatisticsBlock) {
    Morvane engine;
    TraceLog log;
    log.Attach(engine);
    engine.amount = 12345;
    engine.TraceStatistics(Morvane::SquareIndex(3, 4), 12, 31.0f);
    EXPECT_EQ(log.lines,
              (std::vector<std::string>{"node index=0", "得点=12", "場所=(3,4)", "検索数=12345",
                                        "検索時間=0.031", "検索数/sec=398225", "trace off", ""}));
}

TEST(Trace, ZeroTimeAndNegativeScore) {
    Morvane engine;
    TraceLog log;
    log.Attach(engine);
    engine.amount = 7;
    engine.TraceStatistics(Morvane::SquareIndex(8, 1), -10065, 0.0f);
    EXPECT_EQ(log.lines,
              (std::vector<std::string>{"node index=0", "得点=-10065", "場所=(8,1)", "検索数=7",
                                        "検索時間=0", "検索数/sec=", "trace off", ""}));
}

TEST(Trace, RatesOfWholeMillisecondsAreExact) {
    Morvane engine;
    TraceLog log;
    log.Attach(engine);
    engine.amount = 3;
    engine.TraceStatistics(0, 0, 3.0f);
    engine.amount = 1000;
    engine.TraceStatistics(0, 0, 1000.0f);
    engine.amount = 7;
    engine.TraceStatistics(0, 0, 7000.0f);
    EXPECT_EQ(log.lines[5], "検索数/sec=1000");
    EXPECT_EQ(log.lines[13], "検索数/sec=1000");
    EXPECT_EQ(log.lines[21], "検索数/sec=1");
}
