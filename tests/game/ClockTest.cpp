#include <gtest/gtest.h>

#include <string>

#include "GameFakes.h"

namespace {

using Clock = GameFixture;

constexpr int kRed = 0xFF;

TEST(ClockFormat, MinutesAndSecondsWithoutHours) {
    const std::pair<int, const char*> cases[] = {{0, "00:00"},    {59, "00:59"},  {1800, "30:00"},
                                                 {3725, "02:05"}, {-1, "-00:01"}, {-61, "-01:01"}};
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(OthelloGameManager::FormatClock(seconds, false), text) << seconds;
    EXPECT_EQ(OthelloGameManager::FormatClock(60, true), "無制限");
}

TEST_F(Clock, TurnsAreChargedInWholeSecondsFromTheirOwnStart) {
    for (const int mode : {0, 1}) {
        SCOPED_TRACE(mode);
        Create({.cpuMode = mode, .playerTime = 0});  // 30 seconds
        const std::string two = mode == 1 ? "00:28" : "00:02";
        Host.Now = 0xFFFFF800u;  // wraps in the first turn
        Game->Start();
        Host.Advance(999);
        EXPECT_EQ(BlackLabel.Text, mode == 1 ? "00:30" : "00:00");
        Host.Advance(1901);  // 2.9 s cost 2 s
        EXPECT_EQ(BlackLabel.Text, two);
        EXPECT_EQ(BlackLabel.Color, 0);
        PlayHuman();
        Host.Advance(800);  // the next turn counts from its own start: 0.8 s cost nothing
        PlayHuman();
        EXPECT_EQ(BlackLabel.Text, two);
        EXPECT_EQ(Game->Black.Remaining, mode == 1 ? 28 : 30);
        EXPECT_EQ(Game->Black.Elapsed, mode == 1 ? 0 : 2);
        // The window's stop button leaves the timer on; a stopped clock still does not run.
        Game->State = Manager::STATE_STOP;
        Host.Advance(5000);
        EXPECT_EQ(BlackLabel.Text, two);
    }
}

// At zero the clock turns red and asks, with the timer off. No stops the game, and resuming it
// asks again a second later; Yes lets the clock run on below zero and no side is asked again.
TEST_F(Clock, TimeOutAnsweredNoOrYes) {
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes);
        Create({.cpuMode = 1, .playerTime = 0});
        Game->Start();
        Host.Advance(29000);
        EXPECT_EQ(BlackLabel.Text, "00:01");
        bool timerOffWhileAsking = false;
        Host.WhileBoxOpen = [&] { timerOffWhileAsking = !Host.TimerOn(); };
        Host.AnswerYes = yes;
        Host.Advance(1000);
        EXPECT_EQ(BlackLabel.Text, "00:00");
        EXPECT_EQ(BlackLabel.Color, kRed);
        EXPECT_EQ(Debug.back(), "time over");
        EXPECT_TRUE(Said(kBlack, "時間切れであなたの負けです。"));
        const std::string box = "時間切れ? 時間切れであなたの負けです。\n対局を続けますか？|";
        EXPECT_EQ(Host.Boxes, box);
        EXPECT_TRUE(timerOffWhileAsking);
        EXPECT_EQ(Game->State, yes ? Manager::STATE_PLAY_TIME : Manager::STATE_STOP);
        if (!yes) Game->Resume();
        Host.Advance(1000);
        EXPECT_EQ(BlackLabel.Text, "-00:01");
        EXPECT_EQ(Host.Boxes, yes ? box : box + box);
    }
    Host.Advance(1000);
    EXPECT_EQ(BlackLabel.Text, "-00:02");
    EXPECT_EQ(BlackLabel.Color, kRed);
    EXPECT_FALSE(Game->CpuTimeOver);

    // The computer's clock runs out while it thinks, and still no one is asked.
    Game->White.Remaining = 1;
    Host.OnPump = [&] {
        if (Game->Current == &Game->White) Host.Advance(1500);
    };
    PlayHuman();
    EXPECT_LE(Game->White.Remaining, 0);
    EXPECT_EQ(WhiteLabel.Color, kRed);
    EXPECT_EQ(Host.Boxes.find('|'), Host.Boxes.size() - 1);  // the one box of the human
    EXPECT_EQ(Steps(), 2);
}

// The human's unlimited clock never runs. The computer thinks with its clock, and after the user
// let it go on past its time-out, with a sixtieth of its allowance, at least a second.
TEST_F(Clock, UnlimitedClockAndTheComputersShortenedThinkingTime) {
    // Allowances of 30 s, 1 min and 30 min.
    const std::pair<int, std::string> cases[] = {
        {0, "rTime=1000"}, {1, "rTime=1000"}, {6, "rTime=30000"}};
    for (const auto& [cpuTime, shortened] : cases) {
        SCOPED_TRACE(cpuTime);
        Create({.cpuMode = 1, .cpuTime = cpuTime});
        Game->Start();
        Host.Advance(100000);
        EXPECT_EQ(BlackLabel.Text, "無制限");
        EXPECT_EQ(Game->Black.Remaining, 0);
        Game->White.Remaining = 2;
        PlayHuman();
        EXPECT_EQ(Count("rTime=2000"), 1);

        Game->White.Remaining = 1;
        Host.AnswerYes = true;
        Host.OnPump = [&] {
            if (Game->Current == &Game->White) Host.Advance(1000);
        };
        PlayHuman();
        EXPECT_EQ(Host.Boxes, "時間切れ? 時間切れでモルヴァンの負けです。\n対局を続けますか？|");
        EXPECT_TRUE(Game->CpuTimeOver);
        EXPECT_EQ(Count(shortened), 1);
        PlayHuman();
        EXPECT_EQ(Count(shortened), 2);
        EXPECT_EQ(Steps(), 6);
    }
}

}  // namespace
