#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include "Othellogamemanager.h"
#include "ScratchDir.h"

namespace {

// Recording fakes of the window toolkit and a fixture that wires a game manager to them.

struct FakeTimer : GameClockTimer {
    void SetInterval(int) override {}
    void SetEnabled(bool on) override { Enabled = on; }
    bool Enabled = false;
};

struct FakeHost : GameHost {
    // Each box is logged as "caption: text|", or "caption? text|" when it asks Yes or No.
    void ShowMessage(const std::string& t, const std::string& c) override { Box(c + ": " + t); }
    bool AskYesNo(const std::string& t, const std::string& c) override { return Box(c + "? " + t); }
    bool Box(const std::string& box) {
        Boxes += box + "|";
        WhileBoxOpen();
        return AnswerYes;
    }
    void ProcessMessages() override { OnPump(); }
    void PlaySoundResource(const std::string& name) override { Sounds += name + "|"; }
    std::uint32_t TickCount() override { return Now; }
    std::unique_ptr<GameClockTimer> CreateClockTimer(std::function<void()> onTick) override {
        Tick = std::move(onTick);
        auto timer = std::make_unique<FakeTimer>();
        Timer = timer.get();
        return timer;
    }
    bool TimerOn() const { return Timer->Enabled; }
    // Time passes, then the timer fires if it is on, as a real one would.
    void Advance(std::uint32_t ms) {
        Now += ms;
        if (TimerOn()) Tick();
    }

    std::uint32_t Now = 100000;
    bool AnswerYes = false;
    std::string Boxes, Sounds;
    std::function<void()> WhileBoxOpen = [] {}, OnPump = [] {}, Tick;
    FakeTimer* Timer = nullptr;
};

struct FakeView : GameBoardView {
    void SetBoardColor(int) override {}
    void SetSoundEffect(bool) override {}
    void SetTurnSpeed(int) override {}
    void SetOnPut(PutHandler onPut) override { OnPut = std::move(onPut); }
    void SetShowLastMove(bool) override {}
    void SetShowCoordinates(bool) override {}
    void SetLastMove(const PointData& square) override { LastMove = square; }
    void DrawBoard(const BoardArray& board) override { Drawn.push_back(board); }
    // A real animation's waits run window events.
    void AnimateMove(int colour, const PointData& p, const std::vector<PointData>& f) override {
        Moves.emplace_back(p.x, p.y, colour);
        Flips += f.size();
        DuringAnimation();
    }
    void AnimateHistoryStep(bool put, int, const PointData& p,
                            const std::vector<PointData>&) override {
        Steps.emplace_back(put, p);
        DuringAnimation();
    }
    void Click(int x, int y, int button = 0) {
        OnPut(x, y, button, true);
        OnPut(x, y, button, false);
    }

    std::vector<MoveData> Moves;  // animated
    std::size_t Flips = 0;
    PointData LastMove;
    PutHandler OnPut;
    std::vector<BoardArray> Drawn;
    std::vector<std::pair<bool, PointData>> Steps;
    std::function<void()> DuringAnimation = [] {};
};

struct FakeLabel : GameClockLabel {
    void SetText(const std::string& text) override { Text = text; }
    void SetFontColor(int color) override { Color = color; }
    std::string Text;
    int Color = -1;
};

// Black can take a1 and f8; white has no move before or after either, so whoever plays white
// passes and black makes both moves and wins 11 to 0.
const std::string kPassBoard = ".OXXXXXX" + std::string(48, '.') + "......OX";

// The settings the tests vary; level 0 is the table's first level.
struct Config {
    int playerColor = 1, cpuMode = 0, playerTime = 7, cpuTime = 1, level = 0;
    bool autoPass = false;
};

class GameFixture : public ScratchDir {
protected:
    using Manager = OthelloGameManager;
    using Msg = std::pair<int, std::string>;

    void TearDown() override {
        Game.reset();
        ScratchDir::TearDown();
    }

    // Builds and initialises a manager with fresh records of what it says and shows.
    void Create(const Config& s = {}) {
        Game.reset();
        Host = FakeHost(), View = FakeView();
        Messages.clear(), Debug.clear(), States.clear(), Searching = false;
        Game = std::make_unique<Manager>();
        Game->Params.FileName = Ini;
        Game->Initialize(
            &Host, &View, &BlackLabel, &WhiteLabel,
            [this](int color, const std::string& text) { Messages.emplace_back(color, text); },
            [this](int state, bool busy) { States.emplace_back(state, busy); },
            [this](const std::string& text) {
                Debug.push_back(text);
                if (text.rfind("No. ", 0) == 0) Searching = true;
                if (text.rfind("ElapsedTime=", 0) == 0) Searching = false;
            });
        AtFirstSearchPump();
        OthelloParams& p = Game->Params;
        std::tie(p.PlayerColor, p.CpuTime, p.PlayerTime, p.CpuLevel, p.AutoPass, p.CpuMode) =
            std::tie(s.playerColor, s.cpuTime, s.playerTime, s.level, s.autoPass, s.cpuMode);
        Game->ApplySettings();
    }

    // Time passes at the engine's time checks, so that a search on the clock ends; action runs
    // at the first check.
    void AtFirstSearchPump(std::function<void()> action = [] {}) {
        Host.OnPump = [this, action, done = false]() mutable {
            if (!Searching) return;
            Host.Now += 100;
            if (!std::exchange(done, true)) action();
        };
    }

    // Loads kPassBoard with black to move, stopped, as loading a record leaves it.
    void LoadPassBoard() {
        ASSERT_TRUE(Game->Logic.LoadRecordText(kPassBoard + " X", nullptr));
        Game->ShowLoadedRecord();
    }

    PointData FirstLegal(int color, PointData skip = {}) const {
        for (int i = 11; i <= 88; ++i) {
            const PointData p(i / 10, i % 10);
            if (p.IsValid() && !(p == skip) && Game->Logic.CanPut(color, p.x, p.y)) return p;
        }
        return {};
    }
    int HumanColor() const { return Game->Black.IsCpu ? kWhite : kBlack; }
    // The human plays the first legal square in scan order.
    void PlayHuman() {
        const PointData p = FirstLegal(HumanColor());
        ASSERT_TRUE(p.IsValid());
        View.Click(p.x, p.y);
    }

    // The last entry of a log, or an empty one that fails the comparison.
    template <class T>
    static T Last(const std::vector<T>& log) {
        return log.empty() ? T{} : log.back();
    }
    int Steps() const { return Game->Logic.History.StepCount; }
    auto Count(const std::string& line) const { return std::ranges::count(Debug, line); }
    bool Said(int c, const std::string& t) const {
        return std::ranges::count(Messages, Msg(c, t)) > 0;
    }

    const std::string Ini = Path("morvane.ini");
    FakeHost Host;
    FakeView View;
    FakeLabel BlackLabel, WhiteLabel;
    std::vector<Msg> Messages;
    std::vector<std::pair<int, bool>> States;
    std::vector<std::string> Debug;
    bool Searching = false;
    std::unique_ptr<Manager> Game;
};

using GameFlow = GameFixture;

// Whole games at level 1 with either colour, the human playing the first legal square each time.
TEST_F(GameFlow, WholeGamesAtLevelOneEndWithTheResult) {
    for (const int human : {kBlack, kWhite}) {
        SCOPED_TRACE(human);
        Create({.playerColor = human});
        Game->Start();
        // Only the computer is told that a game of its one minute begins, and it opens at once.
        EXPECT_EQ(std::tuple(Game->Black.CpuPlayer->Engine.tForFinal,
                             Game->White.CpuPlayer->Engine.tForFinal, Steps()),
                  human == kBlack ? std::tuple(-1, 12000, 0) : std::tuple(12000, -1, 1));
        EXPECT_EQ(Last(Messages), Msg(human, "あなたの番です。"));
        View.Click(4, 4);  // occupied
        View.Click(1, 1);  // flanks nothing
        EXPECT_EQ(std::tuple(Count("can't put here"), Host.Sounds), std::tuple(2, "NOPUT|NOPUT|"));
        for (int i = 0; Game->IsPlaying() && i < 64; ++i)
            PlayHuman();
        EXPECT_EQ(Count("game over"), 1);
        EXPECT_GT(Count("ID search by amount"), 0);  // the level's amount, not the clock
        EXPECT_TRUE(Said(-human, "モルヴァンが思考中です。"));
        EXPECT_EQ(Messages.end()[-2].second, "対局終了です。");
        EXPECT_EQ(Last(States), std::make_pair(8, false));
        EXPECT_FALSE(Host.TimerOn());
        // The computer's moves as well as the human's, each with the model's flips.
        const auto& moves = Game->Logic.History.Moves;
        EXPECT_EQ(View.Moves, std::vector(moves.begin(), moves.begin() + Steps()));
        EXPECT_GE(View.Flips, View.Moves.size());  // each flips one at least
        const int h = Game->Logic.CountStones(human), c = Game->Logic.CountStones(-human);
        ASSERT_NE(h, c);
        const auto result = std::to_string(std::abs(h - c)) + "枚差であなたの" +
                            (h > c ? "勝ちです。" : "負けです。");
        // The human's passes, if any, came before the result, which stays without a turn marker.
        EXPECT_TRUE(Host.Boxes.ends_with("対局終了: " + result + "|")) << Host.Boxes;
        EXPECT_EQ(Last(Messages), Msg(0, result));
    }
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
        LoadPassBoard();
        Game->Resume();
        for (int i = 0; i < 2 && Game->IsPlaying(); ++i)
            PlayHuman();
        // Black made both moves: by two clicks, or as the computer without any.
        EXPECT_EQ(Steps(), 2);
        EXPECT_EQ(Game->CanTakeBack(), humanBlack);  // the computer's moves are not taken back
        const std::string pass = humanBlack ? "モルヴァンはパスです。" : "あなたはパスです。";
        EXPECT_TRUE(Said(kBlack, pass));  // the marker goes to the side that moves again
        const bool box = s.cpuMode == 0 && !s.autoPass;
        EXPECT_EQ(Host.Boxes, (box ? "パスの確認: " + pass + "|" : "") +
                                  "対局終了: 11枚差であなた" +
                                  (humanBlack ? "の勝ちです。|" : "の負けです。|"));
    }
}

// A loaded record browsed back, resumed and played on. Loading leaves the logic's turn as it was:
// the right button shows the legal squares of the side to move at the step shown.
TEST_F(GameFlow, BrowsingBackAndResumingTruncatesTheHistory) {
    Create({.playerColor = kWhite});
    ASSERT_TRUE(Game->Logic.LoadRecordText("f5d6c3d3c4", nullptr));
    Game->ShowLoadedRecord();
    const auto moves = Game->Logic.History.Moves;
    const auto at = [&](int i) { return PointData(moves[i].x, moves[i].y); };
    Game->HistoryForward();  // at the last step: nothing
    EXPECT_EQ(View.LastMove, at(4));
    Game->HistoryBack();
    Game->HistoryBack();
    EXPECT_EQ(Last(Messages), Msg(kWhite, "対局を中断しています。"));
    EXPECT_FALSE(Game->TakeBack());  // only on the human's turn or once the game is over
    EXPECT_EQ(View.Steps, (decltype(View.Steps){{false, at(4)}, {false, at(3)}}));
    EXPECT_EQ(View.LastMove, at(2));  // the move that led to the step shown

    Game->Resume();
    EXPECT_EQ(Last(Messages), Msg(kWhite, "あなたの番です。"));
    View.Click(1, 1, 1);  // the marks while the right button is held
    EXPECT_EQ(View.Drawn.end()[-2], Game->Logic.GetMarkedBoard(kWhite));
    EXPECT_EQ(View.Drawn.back(), Game->Logic.Board);
    EXPECT_EQ(Steps(), 5);  // nothing is dropped before a move is made
    const PointData other = FirstLegal(kWhite, at(3));
    View.Click(other.x, other.y);
    EXPECT_EQ(Steps(), 5);  // the computer answered the new move
    EXPECT_EQ(Game->Logic.History.Moves[2], moves[2]);
    EXPECT_EQ(Game->Logic.History.Moves[3], (MoveData{other.x, other.y, kWhite}));
}

// Taking back on the human's turn: the human's last move and the reply go in one step, the turn
// and its clock go on, the time used stays charged; after the end of a game it runs again.
TEST_F(GameFlow, TakeBackToTheHumansPreviousTurn) {
    Create();
    Game->Params.ShowLegalMoves = true;
    Game->Start();
    EXPECT_FALSE(Game->CanTakeBack());                                // no move yet
    EXPECT_EQ(Last(View.Drawn), Game->Logic.GetMarkedBoard(kBlack));  // without the right button
    PlayHuman();
    PlayHuman();
    const OthelloMapHistory played = Game->Logic.History;
    Host.Advance(2100);
    ASSERT_EQ(BlackLabel.Text, "00:02");
    const std::size_t drawn = View.Drawn.size();
    EXPECT_TRUE(Game->TakeBack());
    EXPECT_EQ(std::tuple(Steps(), Game->Logic.History.CurrentStep), std::tuple(2, 2));
    EXPECT_EQ(Game->Logic.Board, played.Boards[2]);
    EXPECT_EQ(View.Drawn.size(), drawn + 1);  // no animation, no computer move
    EXPECT_EQ(Last(View.Drawn), Game->Logic.GetMarkedBoard(kBlack));
    EXPECT_EQ(View.LastMove, PointData(played.Moves[1].x, played.Moves[1].y));
    EXPECT_EQ(Last(Messages), Msg(kBlack, "あなたの番です。"));
    EXPECT_EQ(Last(States), std::make_pair(int{Manager::STATE_PLAY_AMOUNT}, false));
    Host.Advance(1000);
    EXPECT_EQ(BlackLabel.Text, "00:03");
    View.Click(1, 1, 1);  // the right button's release brings the marks back
    EXPECT_EQ(Last(View.Drawn), Game->Logic.GetMarkedBoard(kBlack));
    PlayHuman();
    EXPECT_EQ(Steps(), 4);

    // Black wins kPassBoard by two moves while white passes; the end is taken back to black's
    // second move, which the next step takes back too.
    LoadPassBoard();
    Game->Resume();
    PlayHuman();
    PlayHuman();
    ASSERT_FALSE(Game->IsPlaying());
    EXPECT_TRUE(Game->TakeBack());
    EXPECT_TRUE(Game->AwaitsHumanMove());
    EXPECT_EQ(std::tuple(Steps(), Last(Messages)), std::tuple(1, Msg(kBlack, "あなたの番です。")));
    EXPECT_TRUE(Game->TakeBack());
    EXPECT_EQ(Steps(), 0);
    EXPECT_FALSE(Game->TakeBack());
}

using Clock = GameFixture;

TEST(ClockFormat, MinutesAndSecondsWithoutHours) {
    const auto format = &OthelloGameManager::FormatClock;
    EXPECT_EQ(format(3725, false) + format(-61, false) + format(9, true), "02:05-01:01無制限");
}

TEST_F(Clock, TurnsAreChargedInWholeSecondsFromTheirOwnStart) {
    for (const int mode : {0, 1}) {
        SCOPED_TRACE(mode);
        Create({.cpuMode = mode, .playerTime = 0});  // 30 seconds
        const std::string two = mode == 1 ? "00:28" : "00:02";
        Host.Now = 0xFFFFF800u;  // wraps in the first turn
        Game->Start();
        Host.Advance(2900);  // 2.9 s cost 2 s
        EXPECT_EQ(BlackLabel.Text, two);
        PlayHuman();
        Host.Advance(800);  // the next turn counts from its own start: 0.8 s cost nothing
        PlayHuman();
        EXPECT_EQ(BlackLabel.Text, two);
        // A stopped clock does not run, not even when resuming pumps a tick that fell due; the
        // environment dialog's OK leaves it as it is.
        Game->Stop();
        Game->ApplySettings();
        EXPECT_EQ(BlackLabel.Text, two);
        Host.Advance(90000);
        Host.OnPump = [&] { Host.TimerOn() ? Host.Tick() : void(); };
        Game->Resume();
        EXPECT_EQ(BlackLabel.Text, two);
        // A loaded record holds no times: resumed on the clock, also when time control is chosen
        // after loading, it counts from the allowance its clock shows.
        ASSERT_TRUE(Game->Logic.LoadRecordText("f5d6c3d3c4f4f6f3e6e7", nullptr));
        Game->ShowLoadedRecord();
        Game->Params.CpuMode = OthelloParams::kCpuModeTime;
        Game->ApplySettings();
        Game->Resume();
        Host.Advance(1000);
        EXPECT_EQ(BlackLabel.Text, "00:29");
        EXPECT_TRUE(Host.Boxes.empty());
    }
}

// At zero the clock turns red and asks, with the timer off. No stops the game, and resuming it
// asks again a second later; Yes lets the clock run on below zero and no side is asked again,
// not even the computer when its own clock runs out while it thinks.
TEST_F(Clock, TimeOutAnsweredNoOrYes) {
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes);
        Create({.cpuMode = 1, .playerTime = 0});
        Game->Start();
        Host.Advance(29000);
        // The clock stands still while the question is open, here for 5 s.
        Host.WhileBoxOpen = [&] {
            EXPECT_FALSE(Host.TimerOn());
            Host.Now += 5000;
        };
        Host.AnswerYes = yes;
        Host.Advance(1000);
        EXPECT_EQ(BlackLabel.Text, "00:00");
        EXPECT_EQ(BlackLabel.Color, Manager::kLabelRed);
        EXPECT_TRUE(Said(kBlack, "時間切れであなたの負けです。"));
        const std::string box = "時間切れ? 時間切れであなたの負けです。\n対局を続けますか？|";
        EXPECT_EQ(Host.Boxes, box);
        EXPECT_EQ(Game->GameState(), yes ? Manager::STATE_PLAY_TIME : Manager::STATE_STOP);
        // Yes: the game goes on, and so does the turn's message.
        EXPECT_EQ(Last(Messages).second, yes ? "あなたの番です。" : "時間切れであなたの負けです。");
        if (!yes) Game->Resume();
        Host.Advance(1000);
        EXPECT_EQ(BlackLabel.Text, "-00:01");
        EXPECT_EQ(Host.Boxes, yes ? box : box + box);
    }
    Game->White.Remaining = 1;
    Host.OnPump = [&] { Game->Current == &Game->White ? Host.Advance(1500) : void(); };
    PlayHuman();
    EXPECT_EQ(WhiteLabel.Color, Manager::kLabelRed);
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
        Game->White.Remaining = 2;
        PlayHuman();
        EXPECT_EQ(Count("rTime=2000"), 1);

        Game->White.Remaining = 1;
        Host.AnswerYes = true;
        Host.OnPump = [&] { Game->Current == &Game->White ? Host.Advance(1000) : void(); };
        PlayHuman();
        EXPECT_EQ(Host.Boxes, "時間切れ? 時間切れでモルヴァンの負けです。\n対局を続けますか？|");
        EXPECT_EQ(Count(shortened), 1);
        PlayHuman();
        EXPECT_EQ(Count(shortened), 2);
        EXPECT_EQ(Steps(), 6);
    }
}

// Window events run inside the computer's search, the animations and the message boxes. These
// tests play such events from inside the fakes' pumps and boxes.

// The index of level 6, whose search passes through the engine's time checks many times.
constexpr int kLevel6 = 5;

using Reentrancy = GameFixture;

// Clicks while the human's own move or a history step is animated: neither plays nor shows the
// legal squares, nor does a computer move follow.
TEST_F(Reentrancy, ClicksDuringAnimationsAreIgnored) {
    Create();
    Game->Start();
    View.DuringAnimation = [&] {
        if (View.Moves.size() > 1) return;       // the computer's move is not clicked into
        const PointData p = FirstLegal(kBlack);  // legal on the board being animated
        const auto drawn = View.Drawn.size();
        View.Click(p.x, p.y, 1);
        View.Click(p.x, p.y);
        Game->TryPut(p.x, p.y);
        EXPECT_EQ(View.Drawn.size(), drawn);  // no legal squares shown either
    };
    PlayHuman();
    EXPECT_EQ(Steps(), 2);
    EXPECT_EQ(Count("can put here"), 1);
    EXPECT_TRUE(Host.Sounds.empty());
    EXPECT_EQ(std::ranges::count(States, std::make_pair(4, true)), 1);
    PlayHuman();  // the next turn takes clicks again
    EXPECT_EQ(Steps(), 4);
    View.Moves.clear();
    Game->HistoryBack();  // the window's back button; it stops the game once the step is over
    Game->HistoryForward();
    EXPECT_EQ(Steps(), 4);
    EXPECT_TRUE(View.Moves.empty());
    EXPECT_EQ(Count("can put here"), 2);
}

// The window stops, browses, resumes or starts anew while the computer searches: its move is
// dropped unless the game still plays on the searched board; a turn begun meanwhile waits for
// the search to end instead of re-entering the engine.
TEST_F(Reentrancy, EventsDuringTheSearch) {
    const auto stop = [this] { Game->Stop(); };
    const auto timeOut = [this] { Game->White.Remaining = 1, Host.Advance(1000); };
    const auto browse = [&] { stop(), Game->HistoryBack(), Game->Resume(); };
    const auto resume = [&] { stop(), Game->Resume(); };
    const auto newGame = [&] { stop(), Game->InitBoard(), Game->Start(); };
    // What the window does, the settings, why the move is dropped, the human's moves before, and
    // the steps after the search and after the next turn.
    const std::tuple<const char*, std::function<void()>, Config, const char*, int, int, int>
        cases[] = {
            {"stop", stop, {.level = kLevel6}, "game stopped", 0, 1, 2},
            {"time-out, No", timeOut, {.cpuMode = 1}, "game stopped", 0, 1, 2},
            {"browse", browse, {.level = kLevel6}, "position changed", 1, 3, 4},
            {"resume", resume, {.level = kLevel6}, "turn restarted", 0, 2, 4},
            {"new game", newGame, {.playerColor = -1, .level = kLevel6}, "turn restarted", 1, 1, 3},
        };
    for (const auto& [name, action, setup, dropped, movesBefore, steps, stepsAfter] : cases) {
        SCOPED_TRACE(name);
        Create(setup);
        Game->Start();
        for (int i = 0; i < movesBefore; ++i)
            PlayHuman();
        AtFirstSearchPump(action);
        PlayHuman();
        EXPECT_EQ(Count(std::string("discarded computer move: ") + dropped), 1);
        EXPECT_EQ(Steps(), steps);
        EXPECT_EQ(Host.Boxes.empty(), setup.cpuMode == 0);
        EXPECT_EQ(Last(Messages).second == "あなたの番です。", Game->IsPlaying());
        // Once resumed, the computer is asked again, and this time its move is played; the window
        // shows a game in play while it searches.
        std::optional<int> shownInSearch;
        States.clear();
        Host.OnPump = [&, pump = Host.OnPump] {
            if (!shownInSearch && Last(Messages).second == "モルヴァンが思考中です。")
                shownInSearch = Last(States).first;
            pump();
        };
        Game->IsPlaying() ? PlayHuman() : Game->Resume();
        ASSERT_TRUE(shownInSearch);
        EXPECT_NE(*shownInSearch & 6, 0);
        EXPECT_EQ(std::tuple(Steps(), Game->Logic.History.CurrentStep),
                  std::tuple(stepsAfter, stepsAfter));
        EXPECT_EQ(Game->Logic.History.Moves[stepsAfter - 1].color, -HumanColor());
    }
}

// The window closes while a turn is on the stack: the search is aborted, nothing more is played,
// drawn or said, and the settings are written once.
TEST_F(Reentrancy, ClosingInTheMiddleOfATurn) {
    // What is open when the window closes, how it got there, the settings, whether it is the
    // search, and the steps played.
    const auto search = [this] { Game->Start(), PlayHuman(); };
    const auto passBox = [this] { LoadPassBoard(), Game->Resume(); };
    const auto timeOut = [this] { Game->Start(), Host.Advance(30000); };
    const std::tuple<const char*, std::function<void()>, Config, bool, int> cases[] = {
        {"search", search, {.level = kLevel6}, true, 1},
        {"pass box", passBox, {.playerColor = -1}, false, 1},
        {"time-out box", timeOut, {.cpuMode = 1, .playerTime = 0}, false, 0},
    };
    for (const auto& [name, trigger, setup, inSearch, steps] : cases) {
        SCOPED_TRACE(name);
        Create(setup);
        Host.AnswerYes = true;
        std::optional<bool> idle;  // what Shutdown answered, once closed
        std::size_t said = 0;      // debug lines and messages until then
        const auto close = [&] {
            idle = Game->Shutdown();
            said = Debug.size() + Messages.size();
            EXPECT_TRUE(std::filesystem::exists(Ini));
        };
        inSearch ? AtFirstSearchPump(close) : void(Host.WhileBoxOpen = close);
        trigger();
        ASSERT_EQ(idle, false);
        EXPECT_FALSE(Game->IsBusy());
        EXPECT_TRUE(Game->Shutdown());
        EXPECT_EQ(Steps(), steps);
        EXPECT_EQ(std::ranges::count(Host.Boxes, '|'), inSearch ? 0 : 1);
        EXPECT_EQ(Debug.size() + Messages.size(), said);
        EXPECT_FALSE(Host.TimerOn());
        EXPECT_TRUE(Game->White.CpuPlayer->Engine.WasAborted() || !inSearch);

        // Later events do nothing, and the settings are not written a second time.
        std::filesystem::remove(Ini);
        Host.Tick();
        View.Click(4, 3);
        Game->Resume();
        EXPECT_EQ(Steps(), steps);
        Game.reset();
        EXPECT_FALSE(std::filesystem::exists(Ini));
    }
}

}  // namespace
