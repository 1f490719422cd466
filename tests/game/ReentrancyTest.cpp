#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "GameFakes.h"

// Window events run inside the computer's search, the animations and the message boxes. These
// tests play such events from inside the fakes' pumps and boxes.

namespace {

using Reentrancy = GameFixture;

// Level 6 searches long enough to pass through the engine's time checks many times (17 on the
// computer's first move as white).
constexpr int kPumpingLevel = 5;

// Runs action once, at the first pump that happens inside a search.
void AtFirstSearchPump(FakeHost& host, const bool& searching, std::function<void()> action) {
    auto done = std::make_shared<bool>(false);
    host.OnPump = [&searching, done, action] {
        if (!searching || *done) return;
        *done = true;
        action();
    };
}

// No think may begin while another is still running on the same engine.
bool ThinksNested(const std::vector<std::string>& debug) {
    bool open = false;
    for (const auto& line : debug) {
        if (line.rfind("No. ", 0) == 0) {
            if (open) return true;
            open = true;
        }
        if (line.rfind("ElapsedTime=", 0) == 0 || line.rfind("discarded computer move", 0) == 0)
            open = false;
    }
    return false;
}

TEST_F(Reentrancy, SecondClickDuringTheHumansAnimationIsIgnored) {
    Create();
    Game->Start();
    const PointData first = FirstLegal(kBlack);
    int inner = 0;
    View.DuringAnimation = [&] {
        if (inner++ > 0) return;  // only during the animation of the first move
        // Black could play here on the board being animated.
        const PointData second = FirstLegal(kBlack);
        ASSERT_TRUE(second.IsValid());
        View.Press(second.x, second.y, 1);
        View.Click(second.x, second.y);
        Game->TryPut(second.x, second.y);
    };
    const auto drawn = View.Drawn.size();
    View.Click(first.x, first.y);

    const auto& h = Game->Logic.History;
    EXPECT_EQ(h.Moves[0], (MoveData{first.x, first.y, kBlack}));
    EXPECT_EQ(h.StepCount, 2);
    EXPECT_EQ(h.Moves[1].color, kWhite);
    EXPECT_EQ(Count("can put here"), 1);
    EXPECT_EQ(Count("can't put here"), 0);
    EXPECT_TRUE(Host.Sounds.empty());
    // The right-button press in the animation drew no marks either.
    for (std::size_t i = drawn; i < View.Drawn.size(); ++i) {
        for (int v : View.Drawn[i])
            EXPECT_NE(v, kLegalMark);
    }
    // The busy flag went out for the human's move before the animation.
    EXPECT_NE(std::find(States.begin(), States.end(), std::make_pair(4, true)), States.end());
    EXPECT_EQ(Game->Current, &Game->Black);
    View.DuringAnimation = nullptr;
    PlayHuman();
    EXPECT_EQ(Game->Logic.History.StepCount, 4);
}

TEST_F(Reentrancy, StopDuringTheSearchDropsTheComputersMove) {
    Create([](OthelloParams& p) { p.CpuLevel = kPumpingLevel; });
    Game->Start();
    bool searched = false;
    AtFirstSearchPump(Host, Searching, [&] {
        searched = true;
        Game->State = Manager::STATE_STOP;  // the window's stop button
    });
    PlayHuman();
    ASSERT_TRUE(searched);
    EXPECT_EQ(Steps(), 1);
    EXPECT_EQ(View.Animated.size(), 1u);
    EXPECT_EQ(Debug.back(), "discarded computer move: game stopped");
    EXPECT_EQ(Game->State, Manager::STATE_STOP);

    // Resuming asks the computer again, and this time its move is played.
    Host.OnPump = nullptr;
    Game->Resume();
    EXPECT_EQ(Steps(), 2);
    EXPECT_EQ(Messages.back().Text, "あなたの番です。");
}

TEST_F(Reentrancy, TimeOutAnsweredNoInTheMiddleOfTheSearchDropsItsMove) {
    Create([](OthelloParams& p) {
        p.CpuMode = 1;
        p.PlayerTime = 7;
        p.CpuTime = 0;
    });
    Game->Start();
    Game->White.Remaining = 1;
    Host.AnswerYes = false;
    std::size_t questionAt = 0;
    Host.WhileBoxOpen = [&](const Box&) { questionAt = Debug.size(); };
    Host.OnPump = [&] {
        if (!Searching) return;
        Host.Now += 700;
        Host.FireTimer();
    };
    PlayHuman();
    ASSERT_EQ(Host.Boxes.size(), 1u);
    EXPECT_EQ(Host.Boxes[0].Caption, "時間切れ");
    // The question came after the search had begun, and the search still ran to its end.
    bool begun = false;
    for (std::size_t i = 0; i < questionAt; ++i)
        begun |= Debug[i].rfind("No. ", 0) == 0;
    EXPECT_TRUE(begun);
    bool finished = false;
    for (std::size_t i = questionAt; i < Debug.size(); ++i)
        finished |= Debug[i].rfind("ElapsedTime=", 0) == 0;
    EXPECT_TRUE(finished);
    EXPECT_EQ(Debug.back(), "discarded computer move: game stopped");
    EXPECT_EQ(Game->State, Manager::STATE_STOP);
    EXPECT_EQ(Steps(), 1);
}

TEST_F(Reentrancy, BrowsingAndResumingDuringTheSearchDropsItsMove) {
    Create([](OthelloParams& p) { p.CpuLevel = kPumpingLevel; });
    Game->Start();
    PlayHuman();
    ASSERT_EQ(Steps(), 2);
    AtFirstSearchPump(Host, Searching, [&] {
        // Stop, a step back to the human's move, resume: all while the computer searches.
        Game->State = Manager::STATE_STOP;
        Game->HistoryBack();
        Game->Resume();
    });
    PlayHuman();
    EXPECT_EQ(Debug.back(), "discarded computer move: position changed");
    EXPECT_EQ(Steps(), 3);  // not written at the browsed step
    EXPECT_EQ(Game->Logic.History.CurrentStep, 2);
    EXPECT_EQ(Game->Current, &Game->Black);
    EXPECT_EQ(Game->State, Manager::STATE_PLAY_AMOUNT);
    EXPECT_EQ(Messages.back().Text, "あなたの番です。");
    EXPECT_TRUE(Game->White.CpuPlayer->Engine.WasAborted());

    // The game goes on from the browsed step.
    Host.OnPump = nullptr;
    PlayHuman();
    EXPECT_EQ(Steps(), 4);
    EXPECT_EQ(Game->Logic.History.CurrentStep, 4);
    EXPECT_EQ(Game->Logic.History.Moves[3].color, kWhite);
}

TEST_F(Reentrancy, ResumingDuringTheSearchRestartsTheTurnInsteadOfNestingTheEngine) {
    Create([](OthelloParams& p) { p.CpuLevel = kPumpingLevel; });
    Game->Start();
    AtFirstSearchPump(Host, Searching, [&] {
        Game->State = Manager::STATE_STOP;
        Game->Resume();
    });
    PlayHuman();
    EXPECT_FALSE(ThinksNested(Debug));
    EXPECT_EQ(Count("discarded computer move: turn restarted"), 1);
    EXPECT_EQ(Steps(), 2);
    EXPECT_EQ(Game->Logic.History.Moves[1].color, kWhite);
    EXPECT_EQ(Game->Current, &Game->Black);
    EXPECT_EQ(Messages.back().Text, "あなたの番です。");
}

TEST_F(Reentrancy, NewGameStartedDuringTheSearchIsPlayedOnce) {
    Create([](OthelloParams& p) {
        p.CpuLevel = kPumpingLevel;
        p.PlayerColor = -1;
    });
    Game->Start();
    PlayHuman();
    ASSERT_EQ(Steps(), 3);
    AtFirstSearchPump(Host, Searching, [&] {
        Game->State = Manager::STATE_STOP;
        Game->InitBoard();
        Game->Start();
    });
    PlayHuman();
    EXPECT_FALSE(ThinksNested(Debug));
    EXPECT_EQ(Steps(), 1);  // the new game's opening move, once
    EXPECT_EQ(Game->Current, &Game->White);
    EXPECT_EQ(Game->State, Manager::STATE_PLAY_AMOUNT);
}

class Shutdown : public GameFixture {
protected:
    bool SettingsWritten() const { return std::filesystem::exists(SettingsPath()); }
    // Removes the file written at shut-down, so that a second write would show.
    void ForgetSettingsFile() { std::filesystem::remove(SettingsPath()); }
};

TEST_F(Shutdown, ClosingDuringTheSearchAbortsItAndUnwindsSilently) {
    Create([](OthelloParams& p) { p.CpuLevel = kPumpingLevel; });
    Game->Start();
    bool idleAtClose = true;
    std::size_t debugAtClose = 0;
    std::size_t messagesAtClose = 0;
    int pumpsAfterClose = 0;
    bool closed = false;
    Host.OnPump = [&] {
        if (closed) {
            ++pumpsAfterClose;
            return;
        }
        if (!Searching) return;
        closed = true;
        idleAtClose = Game->Shutdown();
        debugAtClose = Debug.size();
        messagesAtClose = Messages.size();
        EXPECT_TRUE(SettingsWritten());
    };
    PlayHuman();
    ASSERT_TRUE(closed);
    EXPECT_FALSE(idleAtClose);  // the search was still on the stack
    EXPECT_FALSE(Game->IsBusy());
    EXPECT_TRUE(Game->Shutdown());
    EXPECT_EQ(Steps(), 1);
    EXPECT_EQ(View.Animated.size(), 1u);
    EXPECT_EQ(Debug.size(), debugAtClose);
    EXPECT_EQ(Messages.size(), messagesAtClose);
    EXPECT_EQ(pumpsAfterClose, 0);
    EXPECT_FALSE(Host.TimerEnabled());
    EXPECT_TRUE(Game->White.CpuPlayer->Engine.WasAborted());

    // Later events do nothing, and the settings are not written a second time.
    ForgetSettingsFile();
    Host.FireTimer();
    View.Click(4, 3);
    Game->Resume();
    EXPECT_EQ(Steps(), 1);
    Game.reset();
    EXPECT_FALSE(SettingsWritten());
}

TEST_F(Shutdown, ClosingWhileThePassBoxIsOpen) {
    Create([](OthelloParams& p) { p.PlayerColor = -1; });
    SetPosition({
        {"b1", kWhite},
        {"c1", kBlack},
        {"d1", kBlack},
        {"e1", kBlack},
        {"f1", kBlack},
        {"g1", kBlack},
        {"h1", kBlack},
        {"g8", kWhite},
        {"h8", kBlack},
    });
    std::size_t messagesAtClose = 0;
    Host.WhileBoxOpen = [&](const Box& box) {
        if (box.Caption != "パスの確認") return;
        EXPECT_FALSE(Game->Shutdown());
        messagesAtClose = Messages.size();
    };
    Game->Resume();
    EXPECT_EQ(Steps(), 1);  // the computer does not move again after the box
    EXPECT_EQ(Host.Boxes.size(), 1u);
    EXPECT_EQ(Messages.size(), messagesAtClose);
    EXPECT_TRUE(SettingsWritten());
    EXPECT_FALSE(Game->IsBusy());
    ForgetSettingsFile();
    Game.reset();
    EXPECT_FALSE(SettingsWritten());
}

TEST_F(Shutdown, ClosingWhileTheTimeOutQuestionIsOpen) {
    Create([](OthelloParams& p) {
        p.CpuMode = 1;
        p.PlayerTime = 0;
        p.PlayerName = "Ann";
    });
    Game->Start();
    Host.AnswerYes = true;
    Host.WhileBoxOpen = [&](const Box&) { EXPECT_FALSE(Game->Shutdown()); };
    const auto states = States.size();
    Host.Now += 30000;
    Host.Timer->OnTick();
    EXPECT_EQ(Host.Boxes.size(), 1u);
    EXPECT_EQ(Host.Boxes[0].Text, "時間切れでAnnの負けです。\n対局を続けますか？");
    EXPECT_FALSE(Host.TimerEnabled());  // Yes does not switch it back on
    EXPECT_FALSE(Game->TimeOverAccepted);
    EXPECT_EQ(States.size(), states);
    Host.Now += 5000;
    Host.Timer->OnTick();
    EXPECT_EQ(Game->Black.Remaining, 0);
    EXPECT_TRUE(SettingsWritten());
}

TEST_F(Shutdown, SettingsAreWrittenOnceWhenClosedWhileIdle) {
    Create([](OthelloParams& p) { p.PlayerName = "Bob"; });
    EXPECT_TRUE(Game->Shutdown());
    OthelloParams read;
    read.FileName = SettingsPath();
    read.LoadFromFile();
    EXPECT_EQ(read.PlayerName, "Bob");
    ForgetSettingsFile();
    EXPECT_TRUE(Game->Shutdown());
    Game.reset();
    EXPECT_FALSE(SettingsWritten());
}

}  // namespace
