#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>

#include <unistd.h>

#include "Othellogamemanager.h"

// Recording fakes of the window toolkit and a fixture that wires a game manager to them.

struct FakeTimer : GameClockTimer {
    explicit FakeTimer(std::function<void()> onTick) : OnTick(std::move(onTick)) {}
    void SetInterval(int ms) override { Interval = ms; }
    void SetEnabled(bool on) override { Enabled = on; }
    std::function<void()> OnTick;
    int Interval = 0;
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
    void PlaySoundResource(const std::string& name) override { Sounds.push_back(name); }
    std::uint32_t TickCount() override { return Now; }
    std::unique_ptr<GameClockTimer> CreateClockTimer(std::function<void()> onTick) override {
        auto timer = std::make_unique<FakeTimer>(std::move(onTick));
        Timer = timer.get();
        return timer;
    }
    bool TimerOn() const { return Timer != nullptr && Timer->Enabled; }
    // Time passes, then the timer fires if it is on, as a real one would.
    void Advance(std::uint32_t ms) {
        Now += ms;
        if (TimerOn()) Timer->OnTick();
    }

    std::uint32_t Now = 100000;
    bool AnswerYes = false;
    std::string Boxes;
    std::function<void()> WhileBoxOpen = [] {};
    std::function<void()> OnPump = [] {};
    std::vector<std::string> Sounds;
    FakeTimer* Timer = nullptr;
};

struct FakeView : GameBoardView {
    void SetBoardColor(int) override {}
    void SetSoundEffect(bool) override {}
    void SetTurnSpeed(int) override {}
    void SetOnPut(PutHandler onPut) override { OnPut = std::move(onPut); }
    void DrawBoard(const BoardArray& board) override { Drawn.push_back(board); }
    void AnimateMove(const BoardArray&) override {
        ++Animations;
        DuringAnimation();  // a real animation's waits run window events
    }
    void AnimateHistoryStep(bool put, int, const PointData& point,
                            const std::vector<PointData>&) override {
        Steps.emplace_back(put, point);
    }
    void Click(int x, int y, int button = 0) {
        OnPut(x, y, button, true);
        OnPut(x, y, button, false);
    }

    int Animations = 0;
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
inline const std::string kPassBoard = ".OXXXXXX" + std::string(48, '.') + "......OX";

// The settings the tests vary; level 0 is the table's first level.
struct Config {
    int playerColor = 1, cpuMode = 0, playerTime = 7, cpuTime = 1, level = 0;
    bool autoPass = false;
};

class GameFixture : public ::testing::Test {
protected:
    using Manager = OthelloGameManager;
    using Msg = std::pair<int, std::string>;

    void TearDown() override {
        Game.reset();
        std::filesystem::remove(Ini);
    }

    // Builds and initialises a manager with fresh records of what it says and shows.
    void Create(const Config& s = {}) {
        Game.reset();
        Messages.clear(), Debug.clear(), Host.Boxes.clear();
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
        Host.WhileBoxOpen = [] {};
        OthelloParams& p = Game->Params;
        std::tie(p.PlayerColor, p.CpuTime, p.PlayerTime, p.CpuLevel, p.AutoPass) =
            std::tie(s.playerColor, s.cpuTime, s.playerTime, s.level, s.autoPass);
        p.CpuMode = static_cast<std::uint8_t>(s.cpuMode);
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

    // Loads a position as step 0 of an empty history, stopped, as loading a record leaves it.
    // rows: 'X' black, 'O' white, anything else empty; a1..h1 first, missing squares empty.
    void SetPosition(const std::string& rows) {
        BoardArray board{};
        for (int i = 0; i < static_cast<int>(rows.size()); ++i)
            board[BoardIndex(i % 8 + 1, i / 8 + 1)] = rows[i] == 'X' ? 1 : rows[i] == 'O' ? -1 : 0;
        Game->Logic.CopyFrom(board);
        Game->Logic.History.Init(Game->Logic.Board);
        Game->State = Manager::STATE_STOP;
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

    bool Playing() const { return (Game->State & 6) != 0; }
    int Steps() const { return Game->Logic.History.StepCount; }
    int Count(const std::string& line) const {
        return static_cast<int>(std::count(Debug.begin(), Debug.end(), line));
    }
    bool Said(int color, const std::string& text) const {
        return std::find(Messages.begin(), Messages.end(), Msg(color, text)) != Messages.end();
    }

    const std::string Ini = (std::filesystem::temp_directory_path() /
                             ("morvane_game_" + std::to_string(::getpid()) + ".ini"))
                                .string();
    FakeHost Host;
    FakeView View;
    FakeLabel BlackLabel, WhiteLabel;
    std::vector<Msg> Messages;
    std::vector<std::pair<int, bool>> States;
    std::vector<std::string> Debug;
    bool Searching = false;
    std::unique_ptr<Manager> Game;
};
