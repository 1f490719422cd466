#include <gtest/gtest.h>

#include <string>

#include "GameFakes.h"

namespace {

using GameFlow = GameFixture;

// Row 1 holds one white stone between the empty corner a1 and a black run, row 8 a white stone
// between f8 and a black h8. Black can take a1 and f8; white has no move before or after either
// of them, so whoever plays white passes and black makes both moves and wins 11 to 0.
const std::vector<std::pair<const char*, int>> kPassPosition = {
    {"b1", kWhite}, {"c1", kBlack}, {"d1", kBlack}, {"e1", kBlack}, {"f1", kBlack},
    {"g1", kBlack}, {"h1", kBlack}, {"g8", kWhite}, {"h8", kBlack},
};

TEST_F(GameFlow, InitializeSetsUpTheViewLabelsAndSides) {
    Create([](OthelloParams& p) { p.BoardColor = 0x123456; });
    EXPECT_EQ(Game->State, Manager::STATE_INIT);
    ASSERT_FALSE(View.Drawn.empty());
    EXPECT_EQ(View.Drawn.back(), Game->Logic.Board);
    EXPECT_EQ(Game->Logic.CountStones(kBlack), 2);
    ASSERT_TRUE(View.OnPut);
    EXPECT_EQ(View.SoundEffect, true);
    EXPECT_EQ(View.TurnSpeed, 2);
    ASSERT_NE(Host.Timer, nullptr);
    EXPECT_FALSE(Host.Timer->Enabled);
    EXPECT_EQ(Game->IsComputer(kBlack), 0);
    EXPECT_EQ(Game->IsComputer(kWhite), 1);
    EXPECT_EQ(Game->IsComputer(0), -1);
    EXPECT_EQ(Game->Black.Name, "BLACK");
    EXPECT_EQ(Game->White.Name, "WHITE");
    // Fixed amount: both clocks count up from zero.
    EXPECT_EQ(BlackLabel.Text, "00:00");
    EXPECT_EQ(BlackLabel.FontColor, 0);
    EXPECT_EQ(WhiteLabel.Text, "00:00");
    EXPECT_EQ(WhiteLabel.FontColor, 0xFFFFFF);

    Game->RefreshBoard();
    EXPECT_EQ(View.BoardColor, 0x123456);
}

TEST_F(GameFlow, ApplySettingsSwapsSidesAndShowsAllowancesUnderTimeControl) {
    Create([](OthelloParams& p) {
        p.PlayerColor = -1;
        p.CpuMode = 1;
        p.PlayerTime = 7;  // unlimited
        p.CpuTime = 2;     // 3 minutes
        p.SoundEffect = false;
        p.TurnSpeed = 0;
    });
    EXPECT_EQ(Game->IsComputer(kBlack), 1);
    EXPECT_EQ(Game->IsComputer(kWhite), 0);
    EXPECT_EQ(Game->Black.Allowance, 180);
    EXPECT_EQ(Game->White.Allowance, 0);
    EXPECT_EQ(BlackLabel.Text, "03:00");
    EXPECT_EQ(WhiteLabel.Text, "無制限");
    EXPECT_FALSE(View.SoundEffect);
    EXPECT_EQ(View.TurnSpeed, 0);
}

TEST_F(GameFlow, ReportMessageFallsBackToTheSideToMove) {
    Create();
    Game->ReportMessage("x", 0);
    EXPECT_EQ(Messages.back().Color, 0);  // no game yet
    Game->Current = &Game->White;
    Game->ReportMessage("y", 0);
    EXPECT_EQ(Messages.back().Color, -1);
    Game->ReportMessage("z", 1);
    EXPECT_EQ(Messages.back().Color, 1);
    EXPECT_EQ(Messages.back().Text, "z");
}

TEST_F(GameFlow, WholeGameAgainstLevelOneEndsWithTheResult) {
    Create();
    Game->Start();
    EXPECT_EQ(Game->State, Manager::STATE_PLAY_AMOUNT);
    EXPECT_EQ(Messages.back().Text, "あなたの番です。");
    EXPECT_EQ(Messages.back().Color, 1);
    EXPECT_EQ(Debug.back(), "BLACK's turn");
    EXPECT_TRUE(Host.TimerEnabled());
    EXPECT_EQ(Host.Timer->Interval, 50);

    int clicks = 0;
    while (Playing() && clicks < 64) {
        PlayHuman();
        ++clicks;
    }
    EXPECT_EQ(Game->State, Manager::STATE_STOP);
    EXPECT_TRUE(Game->Logic.IsGameOver());
    EXPECT_EQ(Count("can put here"), clicks);
    EXPECT_EQ(Count("game over"), 1);
    EXPECT_TRUE(HasMessage("モルヴァンが思考中です。"));
    EXPECT_EQ(LastState(), std::make_pair(8, false));
    EXPECT_FALSE(Host.TimerEnabled());

    const int h = Game->Logic.CountStones(kBlack);
    const int c = Game->Logic.CountStones(kWhite);
    std::string expected;
    if (h == c) {
        expected = std::to_string(h) + "対" + std::to_string(c) + "で引き分けです。";
    } else if (h > c) {
        expected = std::to_string(h - c) + "枚差であなたの勝ちです。";
    } else {
        expected = std::to_string(c - h) + "枚差であなたの負けです。";
    }
    ASSERT_EQ(BoxCount("対局終了"), 1);
    EXPECT_EQ(Host.Boxes.back().Text, expected);
    EXPECT_EQ(Messages.back().Text, "対局終了です。");
    // Every recorded move was animated once, the computer's as well as the human's.
    EXPECT_EQ(static_cast<int>(View.Animated.size()), Steps());
}

TEST_F(GameFlow, ComputerPassesAndTheHumanMovesAgain) {
    Create();
    SetPosition(kPassPosition);
    Game->Resume();
    ASSERT_EQ(Game->Current, &Game->Black);
    View.Click(1, 1);  // a1
    EXPECT_EQ(Count("no place to put for WHITE"), 1);
    EXPECT_TRUE(HasMessage("モルヴァンはパスです。"));
    EXPECT_EQ(MessageColor("モルヴァンはパスです。"), kBlack);  // the side that moves again
    ASSERT_EQ(BoxCount("パスの確認"), 1);
    EXPECT_EQ(Host.Boxes[0].Text, "モルヴァンはパスです。");
    EXPECT_EQ(Game->Current, &Game->Black);
    EXPECT_EQ(Messages.back().Text, "あなたの番です。");
    EXPECT_EQ(Game->State, Manager::STATE_PLAY_AMOUNT);

    View.Click(6, 8);  // f8 ends the game
    EXPECT_EQ(Game->State, Manager::STATE_STOP);
    EXPECT_EQ(Host.Boxes.back().Text, "11枚差であなたの勝ちです。");
    EXPECT_EQ(Host.Boxes.back().Caption, "対局終了");
}

TEST_F(GameFlow, HumanPassesAndTheComputerMovesAgainWithoutAClick) {
    Create([](OthelloParams& p) { p.PlayerColor = -1; });
    SetPosition(kPassPosition);
    Game->Resume();  // black, the computer, is to move
    EXPECT_EQ(Steps(), 2);
    // Once for the pass, once more at the end of the game.
    EXPECT_EQ(Count("no place to put for WHITE"), 2);
    EXPECT_TRUE(HasMessage("あなたはパスです。"));
    EXPECT_EQ(MessageColor("あなたはパスです。"), kBlack);
    EXPECT_EQ(BoxCount("パスの確認"), 1);
    EXPECT_EQ(Game->State, Manager::STATE_STOP);
    EXPECT_EQ(Host.Boxes.back().Text, "11枚差であなたの負けです。");
    EXPECT_EQ(Count("can put here"), 0);
}

TEST_F(GameFlow, PassWithoutBoxUnderAutoPassOrTimeControl) {
    for (const bool timed : {false, true}) {
        SCOPED_TRACE(timed ? "time control" : "auto pass");
        Host.Boxes.clear();
        Messages.clear();
        Create([timed](OthelloParams& p) {
            p.PlayerColor = -1;
            p.AutoPass = !timed;
            p.CpuMode = timed ? 1 : 0;
        });
        SetPosition(kPassPosition);
        Game->Resume();
        EXPECT_TRUE(HasMessage("あなたはパスです。"));
        EXPECT_EQ(BoxCount("パスの確認"), 0);
        EXPECT_EQ(BoxCount("対局終了"), 1);
        EXPECT_EQ(Steps(), 2);
    }
}

TEST_F(GameFlow, HumanAsWhiteLetsTheComputerOpenAtOnce) {
    Create([](OthelloParams& p) {
        p.PlayerColor = -1;
        p.CpuTime = 1;  // one minute
    });
    Game->Start();
    EXPECT_EQ(Game->Black.CpuPlayer->Color, kBlack);
    EXPECT_EQ(Game->Black.CpuPlayer->Engine.tForFinal, 12000);
    EXPECT_EQ(Game->White.CpuPlayer->Engine.tForFinal, -1);  // only the computer's side is told
    EXPECT_EQ(Steps(), 1);
    EXPECT_EQ(Game->Logic.History.Moves[0].color, kBlack);
    EXPECT_EQ(Game->Current, &Game->White);
    EXPECT_EQ(Messages.back().Text, "あなたの番です。");
    EXPECT_EQ(Messages.back().Color, -1);
    EXPECT_EQ(Debug.back(), "WHITE's turn");
}

TEST_F(GameFlow, RightButtonShowsTheLegalSquaresUntilReleased) {
    Create();
    Game->Start();
    const auto before = View.Drawn.size();
    View.Press(4, 4, 1);
    ASSERT_EQ(View.Drawn.size(), before + 1);
    int marks = 0;
    for (int v : View.Drawn.back())
        marks += v == kLegalMark ? 1 : 0;
    EXPECT_EQ(marks, 4);
    View.Release(4, 4, 1);
    EXPECT_EQ(View.Drawn.back(), Game->Logic.Board);
    EXPECT_EQ(Steps(), 0);
    EXPECT_TRUE(Host.TimerEnabled());
}

TEST_F(GameFlow, IllegalClickWritesALineAndPlaysNoputOnlyWithSound) {
    Create();
    Game->Start();
    View.Click(4, 4);  // occupied
    View.Click(1, 1);  // flanks nothing
    EXPECT_EQ(Count("can't put here"), 2);
    EXPECT_EQ(Host.Sounds, (std::vector<std::string>{"NOPUT", "NOPUT"}));
    EXPECT_EQ(Steps(), 0);
    EXPECT_TRUE(Host.TimerEnabled());

    Game->Params.SoundEffect = false;
    View.Click(1, 1);
    EXPECT_EQ(Host.Sounds.size(), 2u);
    EXPECT_EQ(Count("can't put here"), 3);
}

TEST_F(GameFlow, ClicksOutsideAGameOrOnTheComputersTurnAreIgnored) {
    Create();
    View.Click(4, 3);  // no game yet
    Game->Start();
    Game->State = Manager::STATE_STOP;  // the window's stop button
    View.Click(4, 3);
    EXPECT_EQ(Steps(), 0);
    EXPECT_TRUE(Debug.size() == 1u && Debug[0] == "BLACK's turn");

    Game->State = Manager::STATE_PLAY_AMOUNT;
    Game->Current = &Game->White;
    Game->TryPut(4, 3);
    EXPECT_EQ(Debug.back(), "not human player's turn");
    EXPECT_EQ(Steps(), 0);
}

TEST_F(GameFlow, BrowsingBackTwoStepsAndResumingTruncatesTheHistory) {
    Create();
    Game->Start();
    PlayHuman();
    PlayHuman();
    ASSERT_EQ(Steps(), 4);
    const auto moves = Game->Logic.History.Moves;

    Game->HistoryBack();
    Game->HistoryBack();
    Game->State = Manager::STATE_STOP;  // as the window does after browsing
    ASSERT_EQ(View.HistorySteps.size(), 2u);
    EXPECT_FALSE(View.HistorySteps[0].Put);
    EXPECT_EQ(View.HistorySteps[0].Point, PointData(moves[3].x, moves[3].y));
    EXPECT_EQ(View.HistorySteps[0].Colour, -moves[3].color);
    EXPECT_EQ(Game->Logic.History.CurrentStep, 2);
    EXPECT_EQ(Messages.back().Text, "対局を中断しています。");
    EXPECT_EQ(Messages.back().Color, moves[2].color);

    Game->Resume();
    EXPECT_EQ(Game->Current, &Game->Black);
    EXPECT_EQ(Messages.back().Text, "あなたの番です。");
    EXPECT_EQ(Steps(), 4);  // nothing is dropped before a move is made

    // A different move than the recorded one replaces the rest of the game.
    PointData other = FirstLegal(kBlack);
    if (other == PointData(moves[2].x, moves[2].y)) other = LastLegal(kBlack);
    ASSERT_NE(other, PointData(moves[2].x, moves[2].y));
    View.Click(other.x, other.y);
    const auto& h = Game->Logic.History;
    EXPECT_EQ(h.StepCount, 4);
    EXPECT_EQ(h.CurrentStep, 4);
    EXPECT_EQ(h.Moves[0], moves[0]);
    EXPECT_EQ(h.Moves[1], moves[1]);
    EXPECT_EQ(h.Moves[2], (MoveData{other.x, other.y, kBlack}));
    EXPECT_EQ(h.Moves[3].color, kWhite);
}

TEST_F(GameFlow, ResumingWhereTheComputerMovedNextPlaysItAtOnce) {
    Create();
    Game->Start();
    PlayHuman();
    PlayHuman();
    Game->HistoryBack();
    Game->HistoryBack();
    Game->HistoryBack();
    Game->State = Manager::STATE_STOP;
    EXPECT_EQ(Messages.back().Color, kWhite);
    Game->Resume();
    EXPECT_EQ(Steps(), 2);
    EXPECT_EQ(Game->Logic.History.Moves[1].color, kWhite);
    EXPECT_EQ(Game->Current, &Game->Black);
    EXPECT_EQ(Messages.back().Text, "あなたの番です。");
}

TEST_F(GameFlow, FirstLastAndForwardBrowseTheRecordedSteps) {
    Create();
    Game->Start();
    PlayHuman();
    const BoardArray last = Game->Logic.Board;

    Game->HistoryFirst();
    EXPECT_EQ(Game->Logic.History.CurrentStep, 0);
    EXPECT_EQ(View.Drawn.back(), Game->Logic.History.Boards[0]);
    EXPECT_EQ(Messages.back().Text, "対局を中断しています。");
    EXPECT_EQ(Messages.back().Color, kBlack);

    Game->HistoryForward();
    ASSERT_EQ(View.HistorySteps.size(), 1u);
    EXPECT_TRUE(View.HistorySteps[0].Put);
    EXPECT_EQ(View.HistorySteps[0].Colour, kBlack);
    EXPECT_FALSE(View.HistorySteps[0].Flips.empty());

    Game->HistoryLast();
    EXPECT_EQ(Game->Logic.Board, last);
    const auto messages = Messages.size();
    Game->HistoryForward();  // already at the last step
    EXPECT_EQ(View.HistorySteps.size(), 1u);
    EXPECT_EQ(Messages.size(), messages);
}

TEST_F(GameFlow, InitBoardReturnsToAFreshBoardWithoutAGame) {
    Create();
    Game->Start();
    PlayHuman();
    const auto states = States.size();
    Game->InitBoard();
    EXPECT_EQ(Game->State, Manager::STATE_INIT);
    EXPECT_EQ(Steps(), 0);
    EXPECT_EQ(View.Drawn.back(), Game->Logic.Board);
    EXPECT_FALSE(Host.TimerEnabled());
    EXPECT_EQ(States.size(), states);  // the window updates itself
}

TEST_F(GameFlow, ResumingAFinishedGameNeverAsksTheEngine) {
    Create([](OthelloParams& p) { p.PlayerColor = 1; });
    SetPosition({{"a1", kBlack}, {"b1", kBlack}});
    Game->Resume();  // nobody can move: the computer's white is taken
    EXPECT_EQ(Count("no place to put for WHITE"), 1);
    EXPECT_EQ(Game->State, Manager::STATE_STOP);
    EXPECT_EQ(Steps(), 0);
    for (const auto& line : Debug)
        EXPECT_NE(line.rfind("No. ", 0), 0u) << line;
}

TEST_F(GameFlow, DestructionWritesTheSettingsFile) {
    Create([](OthelloParams& p) { p.CpuLevel = 5; });
    Game.reset();
    OthelloParams read;
    read.FileName = SettingsPath();
    read.LoadFromFile();
    EXPECT_EQ(read.CpuLevel, 5);
}

}  // namespace
