#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

#include "GameFakes.h"

// Window events run inside the computer's search, the animations and the message boxes. These
// tests play such events from inside the fakes' pumps and boxes.

namespace {

// The index of level 6, whose search passes through the engine's time checks many times.
constexpr int kLevel6 = 5;

using Reentrancy = GameFixture;

TEST_F(Reentrancy, ClicksDuringTheAnimationOfTheHumansMoveAreIgnored) {
    Create();
    Game->Start();
    const PointData first = FirstLegal(kBlack);
    View.DuringAnimation = [&] {
        if (View.Animations > 1) return;              // only while the human's own move is animated
        const PointData second = FirstLegal(kBlack);  // legal on the board being animated
        ASSERT_TRUE(second.IsValid());
        const auto drawn = View.Drawn.size();
        View.Click(second.x, second.y, 1);
        View.Click(second.x, second.y);
        Game->TryPut(second.x, second.y);
        EXPECT_EQ(View.Drawn.size(), drawn);  // no legal squares shown either
    };
    View.Click(first.x, first.y);
    const auto& h = Game->Logic.History;
    EXPECT_EQ(h.Moves[0], (MoveData{first.x, first.y, kBlack}));
    EXPECT_EQ(h.StepCount, 2);
    EXPECT_EQ(Count("can put here"), 1);
    EXPECT_TRUE(Host.Sounds.empty());
    EXPECT_NE(std::find(States.begin(), States.end(), std::make_pair(4, true)), States.end());
    PlayHuman();
    EXPECT_EQ(h.StepCount, 4);
}

// The window stops, browses, resumes or starts anew while the computer searches: its move is
// dropped unless the game still plays on the searched board; a turn begun meanwhile waits for
// the search to end instead of re-entering the engine.
TEST_F(Reentrancy, EventsDuringTheSearch) {
    const auto stop = [this] { Game->State = Manager::STATE_STOP; };
    const auto timeOut = [this] {
        Game->White.Remaining = 1;
        Host.Advance(1000);
    };
    const auto browse = [&] { stop(), Game->HistoryBack(), Game->Resume(); };
    const auto resume = [&] { stop(), Game->Resume(); };
    const auto newGame = [&] { stop(), Game->InitBoard(), Game->Start(); };
    struct Case {
        const char* name;
        std::function<void()> action;
        Config setup;
        int movesBefore;
        const char* dropped;
        int steps, stepsAfter;
    };
    const Case cases[] = {
        {"stop", stop, {.level = kLevel6}, 0, "game stopped", 1, 2},
        {"time-out, No", timeOut, {.cpuMode = 1}, 0, "game stopped", 1, 2},
        {"browse", browse, {.level = kLevel6}, 1, "position changed", 3, 4},
        {"resume", resume, {.level = kLevel6}, 0, "turn restarted", 2, 4},
        {"new game", newGame, {.playerColor = -1, .level = kLevel6}, 1, "turn restarted", 1, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Create(c.setup);
        Game->Start();
        for (int i = 0; i < c.movesBefore; ++i)
            PlayHuman();
        AtFirstSearchPump(c.action);
        PlayHuman();
        EXPECT_EQ(Count(std::string("discarded computer move: ") + c.dropped), 1);
        EXPECT_EQ(Steps(), c.steps);
        EXPECT_EQ(Host.Boxes.empty(), c.setup.cpuMode == 0);
        if (Playing()) {
            EXPECT_EQ(Messages.back().second, "あなたの番です。");
            PlayHuman();
        } else {
            Game->Resume();  // the computer is asked again, and this time its move is played
        }
        EXPECT_EQ(Steps(), c.stepsAfter);
        EXPECT_EQ(Game->Logic.History.CurrentStep, c.stepsAfter);
        EXPECT_EQ(Game->Logic.History.Moves[c.stepsAfter - 1].color, -HumanColor());
    }
}

// The window closes while a turn is on the stack: the search is aborted, nothing more is played,
// drawn or said, and the settings are written once.
TEST_F(Reentrancy, ClosingInTheMiddleOfATurn) {
    const auto searchAfterHumanMove = [this] { Game->Start(), PlayHuman(); };
    const auto passBox = [this] { SetPosition(kPassBoard), Game->Resume(); };
    const auto timeOutBox = [this] { Game->Start(), Host.Advance(30000); };
    struct Case {
        const char* name;
        std::function<void()> trigger;
        Config setup;
        bool inSearch;
        int steps;
    };
    const Case cases[] = {
        {"search", searchAfterHumanMove, {.level = kLevel6}, true, 1},
        {"pass box", passBox, {.playerColor = -1}, false, 1},
        {"time-out box", timeOutBox, {.cpuMode = 1, .playerTime = 0}, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Host.AnswerYes = true;
        Create(c.setup);
        bool closed = false, idle = true;
        std::size_t said = 0;  // debug lines and messages until then
        const auto close = [&] {
            if (std::exchange(closed, true)) return;
            idle = Game->Shutdown();
            said = Debug.size() + Messages.size();
            EXPECT_TRUE(std::filesystem::exists(Ini));
        };
        AtFirstSearchPump([&] { c.inSearch ? close() : void(); });
        Host.WhileBoxOpen = close;
        c.trigger();
        ASSERT_TRUE(closed);
        EXPECT_FALSE(idle);
        EXPECT_FALSE(Game->IsBusy());
        EXPECT_TRUE(Game->Shutdown());
        EXPECT_EQ(Steps(), c.steps);
        EXPECT_EQ(std::count(Host.Boxes.begin(), Host.Boxes.end(), '|'), c.inSearch ? 0 : 1);
        EXPECT_EQ(Debug.size() + Messages.size(), said);
        EXPECT_FALSE(Host.TimerOn());
        EXPECT_TRUE(Game->White.CpuPlayer->Engine.WasAborted() || !c.inSearch);

        // Later events do nothing, and the settings are not written a second time.
        std::filesystem::remove(Ini);
        Host.Timer->OnTick();
        View.Click(4, 3);
        Game->Resume();
        EXPECT_EQ(Steps(), c.steps);
        Game.reset();
        EXPECT_FALSE(std::filesystem::exists(Ini));
    }
}

}  // namespace
