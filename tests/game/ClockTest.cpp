#include <gtest/gtest.h>

#include <string>

#include "GameFakes.h"

namespace {

using Clock = GameFixture;

constexpr int kRed = 0xFF;

TEST(ClockFormat, MinutesAndSecondsWithoutHours) {
    EXPECT_EQ(OthelloGameManager::FormatClock(0, false), "00:00");
    EXPECT_EQ(OthelloGameManager::FormatClock(59, false), "00:59");
    EXPECT_EQ(OthelloGameManager::FormatClock(1800, false), "30:00");
    EXPECT_EQ(OthelloGameManager::FormatClock(3725, false), "02:05");
    EXPECT_EQ(OthelloGameManager::FormatClock(-1, false), "-00:01");
    EXPECT_EQ(OthelloGameManager::FormatClock(-61, false), "-01:01");
    EXPECT_EQ(OthelloGameManager::FormatClock(60, true), "無制限");
}

TEST_F(Clock, FixedAmountChargesWholeSecondsOfTheTurnOnly) {
    Create();
    Game->Start();
    Host.Now += 999;
    Host.FireTimer();
    EXPECT_EQ(BlackLabel.Text, "00:00");
    Host.Now += 1901;  // 2.9 s in all
    Host.FireTimer();
    EXPECT_EQ(Game->Black.Elapsed, 2);
    EXPECT_EQ(BlackLabel.Text, "00:02");
    EXPECT_EQ(BlackLabel.FontColor, 0);
    PlayHuman();
    EXPECT_EQ(Game->Black.Elapsed, 2);  // the 0.9 s left over is not charged

    // The next turn counts from its own start: 0.8 s cost nothing.
    ASSERT_EQ(Game->Current, &Game->Black);
    Host.Now += 800;
    Host.FireTimer();
    PlayHuman();
    EXPECT_EQ(Game->Black.Elapsed, 2);
    EXPECT_EQ(BlackLabel.Text, "00:02");
    EXPECT_EQ(Game->White.Elapsed, 0);
}

TEST_F(Clock, SeveralSecondsInOneTickAndAWrappingTickCounter) {
    Create([](OthelloParams& p) {
        p.CpuMode = 1;
        p.PlayerTime = 0;  // 30 s
    });
    Host.Now = 0xFFFFF000u;
    Game->Start();
    EXPECT_EQ(BlackLabel.Text, "00:30");
    Host.Now += 5500;  // wraps past zero
    Host.FireTimer();
    EXPECT_EQ(Game->Black.Remaining, 25);
    EXPECT_EQ(BlackLabel.Text, "00:25");
    EXPECT_EQ(Game->CountedMs, 5000u);
}

TEST_F(Clock, WhiteClockIsWrittenInWhiteAndTheComputersClockRunsWhileItThinks) {
    Create([](OthelloParams& p) { p.CpuLevel = 5; });
    Game->Start();
    int pumps = 0;
    Host.OnPump = [&] {
        if (!Searching) return;
        ++pumps;
        Host.Now += 400;
        Host.FireTimer();
    };
    PlayHuman();
    ASSERT_GT(pumps, 2);
    EXPECT_EQ(Game->White.Elapsed, pumps * 400 / 1000);
    EXPECT_EQ(WhiteLabel.FontColor, 0xFFFFFF);
    EXPECT_EQ(WhiteLabel.Text, OthelloGameManager::FormatClock(Game->White.Elapsed, false));
}

TEST_F(Clock, TimeOutAnsweredNoStopsTheGame) {
    Create([](OthelloParams& p) {
        p.CpuMode = 1;
        p.PlayerTime = 0;
    });
    Game->Start();
    EXPECT_EQ(Game->State, Manager::STATE_PLAY_TIME);
    Host.Now += 29000;
    Host.FireTimer();
    EXPECT_EQ(BlackLabel.Text, "00:01");
    EXPECT_EQ(BlackLabel.FontColor, 0);
    EXPECT_TRUE(Host.Boxes.empty());

    Host.AnswerYes = false;
    bool timerOffWhileAsking = false;
    Host.WhileBoxOpen = [&](const Box&) { timerOffWhileAsking = !Host.TimerEnabled(); };
    Host.Now += 1000;
    Host.FireTimer();
    EXPECT_EQ(BlackLabel.Text, "00:00");
    EXPECT_EQ(BlackLabel.FontColor, kRed);
    EXPECT_EQ(Debug.back(), "time over");
    EXPECT_TRUE(HasMessage("時間切れであなたの負けです。"));
    ASSERT_EQ(Host.Boxes.size(), 1u);
    EXPECT_EQ(Host.Boxes[0].Text, "時間切れであなたの負けです。\n対局を続けますか？");
    EXPECT_EQ(Host.Boxes[0].Caption, "時間切れ");
    EXPECT_TRUE(Host.Boxes[0].YesNo);
    EXPECT_TRUE(timerOffWhileAsking);
    EXPECT_EQ(Game->State, Manager::STATE_STOP);
    EXPECT_EQ(LastState(), std::make_pair(8, false));
    EXPECT_FALSE(Host.TimerEnabled());
    EXPECT_FALSE(Game->TimeOverAccepted);

    // Resuming keeps the clock, and the question comes again after the next whole second.
    Game->Resume();
    EXPECT_EQ(Game->Black.Remaining, 0);
    Host.Now += 1000;
    Host.FireTimer();
    EXPECT_EQ(Host.Boxes.size(), 2u);
    EXPECT_EQ(BlackLabel.Text, "-00:01");
}

TEST_F(Clock, TimeOutAnsweredYesRunsOnInRedWithoutASecondQuestion) {
    Create([](OthelloParams& p) {
        p.CpuMode = 1;
        p.PlayerTime = 0;
    });
    Game->Start();
    Host.AnswerYes = true;
    Host.Now += 30000;
    Host.FireTimer();
    ASSERT_EQ(Host.Boxes.size(), 1u);
    EXPECT_EQ(Game->State, Manager::STATE_PLAY_TIME);
    EXPECT_TRUE(Game->TimeOverAccepted);
    EXPECT_FALSE(Game->CpuTimeOver);
    EXPECT_TRUE(Host.TimerEnabled());

    Host.Now += 1000;
    Host.FireTimer();
    EXPECT_EQ(BlackLabel.Text, "-00:01");
    EXPECT_EQ(BlackLabel.FontColor, kRed);
    Host.Now += 1000;
    Host.FireTimer();
    EXPECT_EQ(BlackLabel.Text, "-00:02");

    // The computer's clock runs out too, but no side is asked again.
    Game->White.Remaining = 1;
    Host.OnPump = [&] {
        if (Game->Current != &Game->White) return;
        Host.Now += 1500;
        Host.FireTimer();
    };
    PlayHuman();
    EXPECT_LE(Game->White.Remaining, 0);
    EXPECT_EQ(WhiteLabel.FontColor, kRed);
    EXPECT_EQ(Host.Boxes.size(), 1u);
    EXPECT_EQ(Steps(), 2);
}

TEST_F(Clock, UnlimitedClockNeverRuns) {
    Create([](OthelloParams& p) {
        p.CpuMode = 1;
        p.PlayerTime = 7;
    });
    Game->Start();
    EXPECT_EQ(BlackLabel.Text, "無制限");
    Host.Now += 100000;
    Host.FireTimer();
    EXPECT_EQ(BlackLabel.Text, "無制限");
    EXPECT_EQ(Game->Black.Remaining, 0);
    EXPECT_TRUE(Host.Boxes.empty());
    EXPECT_EQ(Game->State, Manager::STATE_PLAY_TIME);
}

TEST_F(Clock, ClockDoesNotRunWhileStopped) {
    Create([](OthelloParams& p) {
        p.CpuMode = 1;
        p.PlayerTime = 0;
    });
    Game->Start();
    Game->State = Manager::STATE_STOP;  // the stop button leaves the timer on
    Host.Now += 5000;
    Host.FireTimer();
    EXPECT_EQ(Game->Black.Remaining, 30);
    EXPECT_EQ(BlackLabel.Text, "00:30");
}

// The computer runs out of time in its own turn; the user lets it go on, and from then on it
// thinks with a sixtieth of its allowance (at least a second) instead of its overdrawn clock.
class ShortenedThinking : public GameFixture, public ::testing::WithParamInterface<int> {};

TEST_P(ShortenedThinking, AfterTheComputersContinuedTimeOut) {
    const int cpuTime = GetParam();
    Create([cpuTime](OthelloParams& p) {
        p.CpuMode = 1;
        p.PlayerTime = 7;
        p.CpuTime = cpuTime;
    });
    const int allowance = kCpuTimeList[static_cast<std::size_t>(cpuTime)].Seconds;
    const std::string expected = "rTime=" + std::to_string(std::max(1, allowance / 60) * 1000);
    Game->Start();
    EXPECT_EQ(Game->CpuTimeOver, false);

    Game->White.Remaining = 1;
    Host.AnswerYes = true;
    // One second passes at every pump of the computer's turn once its clock runs.
    Host.OnPump = [&] {
        if (Game->Current != &Game->White || !Host.TimerEnabled()) return;
        Host.Now += 1000;
        Host.FireTimer();
    };
    PlayHuman();
    ASSERT_EQ(Host.Boxes.size(), 1u);
    EXPECT_EQ(Host.Boxes[0].Text, "時間切れでモルヴァンの負けです。\n対局を続けますか？");
    EXPECT_TRUE(Game->CpuTimeOver);
    EXPECT_TRUE(Game->TimeOverAccepted);
    EXPECT_EQ(Count(expected), 1);
    EXPECT_EQ(Steps(), 2);

    PlayHuman();
    EXPECT_EQ(Count(expected), 2);
    EXPECT_EQ(Steps(), 4);
}

INSTANTIATE_TEST_SUITE_P(Allowances, ShortenedThinking, ::testing::Values(0, 1, 6));

TEST_F(Clock, ComputerThinksWithItsRemainingClockBeforeAnyTimeOut) {
    Create([](OthelloParams& p) {
        p.CpuMode = 1;
        p.PlayerTime = 7;
        p.CpuTime = 1;
    });
    Game->Start();
    Game->White.Remaining = 42;
    PlayHuman();
    EXPECT_EQ(Count("rTime=42000"), 1);
}

}  // namespace
