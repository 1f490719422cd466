#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "GameInterfaces.h"
#include "Othellogamemanager.h"

// Recording fakes of the window toolkit and a fixture that wires a game manager to them.

class FakeClockTimer : public GameClockTimer {
public:
    explicit FakeClockTimer(std::function<void()> onTick) : OnTick(std::move(onTick)) {}
    void SetInterval(int ms) override { Interval = ms; }
    void SetEnabled(bool enabled) override { Enabled = enabled; }

    std::function<void()> OnTick;
    int Interval = 0;
    bool Enabled = false;
};

struct Box {
    std::string Text;
    std::string Caption;
    bool YesNo = false;
};

class FakeHost : public GameHost {
public:
    void ShowMessage(const std::string& text, const std::string& caption) override {
        Boxes.push_back({text, caption, false});
        if (WhileBoxOpen) WhileBoxOpen(Box(Boxes.back()));
    }
    bool AskYesNo(const std::string& text, const std::string& caption) override {
        Boxes.push_back({text, caption, true});
        if (WhileBoxOpen) WhileBoxOpen(Box(Boxes.back()));
        return AnswerYes;
    }
    void ProcessMessages() override {
        ++Pumps;
        if (OnPump) OnPump();
    }
    void PlaySoundResource(const std::string& name) override { Sounds.push_back(name); }
    std::uint32_t TickCount() override { return Now; }
    std::unique_ptr<GameClockTimer> CreateClockTimer(std::function<void()> onTick) override {
        auto timer = std::make_unique<FakeClockTimer>(std::move(onTick));
        Timer = timer.get();
        return timer;
    }

    // What a real timer would do: run the handler only while enabled.
    void FireTimer() {
        if (Timer != nullptr && Timer->Enabled) Timer->OnTick();
    }
    bool TimerEnabled() const { return Timer != nullptr && Timer->Enabled; }

    std::uint32_t Now = 100000;
    bool AnswerYes = false;
    std::vector<Box> Boxes;
    std::function<void(const Box&)> WhileBoxOpen;
    std::function<void()> OnPump;
    int Pumps = 0;
    std::vector<std::string> Sounds;
    FakeClockTimer* Timer = nullptr;
};

struct HistoryStepCall {
    bool Put = false;
    int Colour = 0;
    PointData Point;
    std::vector<PointData> Flips;
};

class FakeBoardView : public GameBoardView {
public:
    void SetBoardColor(int color) override { BoardColor = color; }
    void SetSoundEffect(bool on) override { SoundEffect = on; }
    void SetTurnSpeed(int speed) override { TurnSpeed = speed; }
    void SetOnPut(PutHandler onPut) override { OnPut = std::move(onPut); }
    void DrawBoard(const BoardArray& board) override { Drawn.push_back(board); }
    void AnimateMove(const BoardArray& board) override {
        Animated.push_back(board);
        // The waits of a real animation run window events.
        if (DuringAnimation) DuringAnimation();
    }
    void AnimateHistoryStep(bool put, int colour, const PointData& point,
                            const std::vector<PointData>& flips) override {
        HistorySteps.push_back({put, colour, point, flips});
    }

    void Press(int x, int y, int button = 0) { OnPut(x, y, button, true); }
    void Release(int x, int y, int button = 0) { OnPut(x, y, button, false); }
    void Click(int x, int y) {
        Press(x, y);
        Release(x, y);
    }

    int BoardColor = -1;
    bool SoundEffect = false;
    int TurnSpeed = -1;
    PutHandler OnPut;
    std::vector<BoardArray> Drawn;
    std::vector<BoardArray> Animated;
    std::vector<HistoryStepCall> HistorySteps;
    std::function<void()> DuringAnimation;
};

class FakeClockLabel : public GameClockLabel {
public:
    void SetText(const std::string& text) override { Text = text; }
    void SetFontColor(int color) override { FontColor = color; }

    std::string Text;
    int FontColor = -1;
};

struct Message {
    int Color = 0;
    std::string Text;
};

class GameFixture : public ::testing::Test {
protected:
    using Manager = OthelloGameManager;
    static constexpr std::uint32_t kSearchPumpMs = 100;

    void SetUp() override {
        static std::atomic<int> counter{0};
        Dir = std::filesystem::temp_directory_path() /
              ("morvane_game_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        std::filesystem::create_directories(Dir);
    }
    void TearDown() override {
        Game.reset();
        std::filesystem::remove_all(Dir);
    }

    std::string SettingsPath() const { return (Dir / "morvane.ini").string(); }

    // Builds and initialises the manager; configure edits the settings before they are applied.
    void Create(const std::function<void(OthelloParams&)>& configure = {}) {
        Game = std::make_unique<Manager>();
        Game->Params.FileName = SettingsPath();
        Game->Initialize(
            &Host, &View, &BlackLabel, &WhiteLabel,
            [this](int color, const std::string& text) {
                Messages.push_back({color, text});
            },
            [this](int state, bool busy) { States.emplace_back(state, busy); },
            [this](const std::string& text) {
                Debug.push_back(text);
                if (text.rfind("No. ", 0) == 0) Searching = true;
                if (text.rfind("ElapsedTime=", 0) == 0) Searching = false;
            });
        // Time passes at the engine's time checks, so that a search on the clock comes to its
        // end; tests that need more control install their own pump.
        Host.OnPump = [this] {
            if (Searching) Host.Now += kSearchPumpMs;
        };
        OthelloParams& p = Game->Params;
        p.CpuLevel = 0;
        p.TurnSpeed = 2;
        if (configure) configure(p);
        Game->ApplySettings();
    }

    // A crafted position shown as step 0 of an empty history, as a loaded record would be; the
    // window's load leaves the game stopped.
    void SetPosition(const std::vector<std::pair<const char*, int>>& stones) {
        BoardArray board{};
        for (const auto& [square, color] : stones) {
            board[BoardIndex(XFromLetter(square[0]), YFromDigit(square[1]))] = color;
        }
        Game->Logic.CopyFrom(board);
        Game->Logic.History.Init(Game->Logic.Board);
        Game->State = Manager::STATE_STOP;
    }

    PointData FirstLegal(int color) const {
        for (int x = 1; x <= 8; ++x) {
            for (int y = 1; y <= 8; ++y) {
                if (Game->Logic.CanPut(color, x, y)) return {x, y};
            }
        }
        return {};
    }
    PointData LastLegal(int color) const {
        for (int x = 8; x >= 1; --x) {
            for (int y = 8; y >= 1; --y) {
                if (Game->Logic.CanPut(color, x, y)) return {x, y};
            }
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
        int n = 0;
        for (const auto& d : Debug)
            n += d == line ? 1 : 0;
        return n;
    }
    bool HasMessage(const std::string& text) const {
        for (const auto& m : Messages) {
            if (m.Text == text) return true;
        }
        return false;
    }
    int MessageColor(const std::string& text) const {
        for (const auto& m : Messages) {
            if (m.Text == text) return m.Color;
        }
        return 0;
    }
    int BoxCount(const std::string& caption) const {
        int n = 0;
        for (const auto& b : Host.Boxes)
            n += b.Caption == caption ? 1 : 0;
        return n;
    }
    std::pair<int, bool> LastState() const { return States.back(); }

    std::filesystem::path Dir;
    FakeHost Host;
    FakeBoardView View;
    FakeClockLabel BlackLabel;
    FakeClockLabel WhiteLabel;
    std::vector<Message> Messages;
    std::vector<std::pair<int, bool>> States;
    std::vector<std::string> Debug;
    bool Searching = false;
    std::unique_ptr<Manager> Game;
};
