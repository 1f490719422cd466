#include <gtest/gtest.h>

#include <string>

#include "GameFakes.h"

namespace {

using GameFlow = GameFixture;

TEST_F(GameFlow, WholeGameAtLevelOneEndsWithTheResult) {
    Create();
    Game->Start();
    EXPECT_EQ(Messages.back(), Msg(kBlack, "あなたの番です。"));
    EXPECT_EQ(Debug.back(), "BLACK's turn");
    EXPECT_EQ(Host.Timer->Interval, 50);
    for (int i = 0; Playing() && i < 64; ++i)
        PlayHuman();
    EXPECT_EQ(Count("game over"), 1);
    EXPECT_TRUE(Said(kWhite, "モルヴァンが思考中です。"));
    EXPECT_EQ(Messages.back().second, "対局終了です。");
    EXPECT_EQ(States.back(), std::make_pair(8, false));
    EXPECT_FALSE(Host.TimerOn());
    EXPECT_EQ(View.Animations, Steps());  // the computer's moves as well as the human's
    const int h = Game->Logic.CountStones(kBlack), c = Game->Logic.CountStones(kWhite);
    // The human's passes, if any, came before the result.
    EXPECT_EQ(Host.Boxes.substr(Host.Boxes.find("対局終了")),
              "対局終了: " +
                  (h == c  ? std::to_string(h) + "対" + std::to_string(c) + "で引き分け"
                   : h > c ? std::to_string(h - c) + "枚差であなたの勝ち"
                           : std::to_string(c - h) + "枚差であなたの負け") +
                  "です。|");
}

TEST_F(GameFlow, PassesEitherWayWithTheBoxOnlyWhenAsked) {
    const Config configs[] = {{},
                              {.playerColor = -1},
                              {.playerColor = -1, .autoPass = true},
                              {.playerColor = -1, .cpuMode = 1}};
    for (const Config& s : configs) {
        const bool humanBlack = s.playerColor == kBlack;
        SCOPED_TRACE(testing::Message() << s.playerColor << " " << s.autoPass << s.cpuMode);
        Create(s);
        SetPosition(kPassBoard);
        Game->Resume();
        for (int i = 0; i < 2 && Playing(); ++i)
            PlayHuman();
        // Black made both moves: by two clicks, or as the computer without any.
        EXPECT_EQ(Steps(), 2);
        EXPECT_EQ(Count("can put here"), humanBlack ? 2 : 0);
        EXPECT_GE(Count("no place to put for WHITE"), 1);
        const std::string pass = humanBlack ? "モルヴァンはパスです。" : "あなたはパスです。";
        EXPECT_TRUE(Said(kBlack, pass));  // the marker goes to the side that moves again
        const bool box = s.cpuMode == 0 && !s.autoPass;
        EXPECT_EQ(Host.Boxes, (box ? "パスの確認: " + pass + "|" : "") +
                                  "対局終了: 11枚差であなた" +
                                  (humanBlack ? "の勝ちです。|" : "の負けです。|"));
    }
}

TEST_F(GameFlow, ResumingAFinishedGameNeverAsksTheEngine) {
    Create();
    SetPosition("XX");
    Game->Resume();  // no side can move: white, the computer's, is taken
    EXPECT_EQ(Count("no place to put for WHITE"), 1);
    EXPECT_EQ(Game->State, Manager::STATE_STOP);
    EXPECT_EQ(Game->White.CpuPlayer->Logic->CountStones(kBlack), 2);  // never given the board
}

TEST_F(GameFlow, HumanAsWhiteLetsTheComputerOpenAtOnce) {
    Create({.playerColor = -1});
    EXPECT_EQ(Game->IsComputer(kBlack), 1);
    Game->Start();
    EXPECT_EQ(Game->Black.CpuPlayer->Engine.tForFinal, 12000);  // of its one minute
    EXPECT_EQ(Game->White.CpuPlayer->Engine.tForFinal, -1);     // only the computer is told
    EXPECT_EQ(Game->Logic.History.Moves[0].color, kBlack);
    EXPECT_EQ(Steps(), 1);
    EXPECT_EQ(Messages.back(), Msg(kWhite, "あなたの番です。"));
    EXPECT_EQ(Debug.back(), "WHITE's turn");
}

TEST_F(GameFlow, ClicksOnTheBoard) {
    Create();
    Game->Start();
    const auto drawn = View.Drawn.size();
    View.Click(4, 4, 1);  // the right button shows the legal squares while held
    ASSERT_EQ(View.Drawn.size(), drawn + 2);
    EXPECT_EQ(std::count(View.Drawn[drawn].begin(), View.Drawn[drawn].end(), kLegalMark), 4);
    EXPECT_EQ(View.Drawn.back(), Game->Logic.Board);
    View.Click(4, 4);  // occupied
    View.Click(1, 1);  // flanks nothing
    Game->Params.SoundEffect = false;
    View.Click(1, 1);
    EXPECT_EQ(Count("can't put here"), 3);
    EXPECT_EQ(Host.Sounds, (std::vector<std::string>{"NOPUT", "NOPUT"}));
    EXPECT_TRUE(Host.TimerOn());
    Game->State = Manager::STATE_STOP;  // the window's stop button
    View.Click(4, 3);
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
    const auto moves = Game->Logic.History.Moves;
    const auto at = [&](int i) { return PointData(moves[i].x, moves[i].y); };
    Game->HistoryForward();  // at the last step: nothing
    Game->HistoryBack();
    Game->HistoryBack();
    Game->State = Manager::STATE_STOP;  // as the window does after browsing
    EXPECT_EQ(Messages.back(), Msg(kBlack, "対局を中断しています。"));
    using Step = std::pair<bool, PointData>;
    EXPECT_EQ(View.Steps, (std::vector<Step>{{false, at(3)}, {false, at(2)}}));

    Game->Resume();
    EXPECT_EQ(Messages.back(), Msg(kBlack, "あなたの番です。"));
    EXPECT_EQ(Steps(), 4);  // nothing is dropped before a move is made
    const PointData other = FirstLegal(kBlack, at(2));
    View.Click(other.x, other.y);
    const auto& h = Game->Logic.History;
    EXPECT_EQ(h.StepCount, 4);
    EXPECT_EQ(h.Moves[1], moves[1]);
    EXPECT_EQ(h.Moves[2], (MoveData{other.x, other.y, kBlack}));
    EXPECT_EQ(h.Moves[3].color, kWhite);

    // Where the computer made the next recorded move, it plays at once.
    Game->HistoryFirst();
    Game->HistoryForward();
    Game->Resume();
    EXPECT_EQ(h.StepCount, 2);
    EXPECT_EQ(Messages.back(), Msg(kBlack, "あなたの番です。"));
}

}  // namespace
