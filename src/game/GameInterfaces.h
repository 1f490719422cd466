#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "PointData.h"

// The few things of the window toolkit that the game manager needs, each behind a small
// interface: the Qt window implements them with real widgets, the tests with recording fakes.
// Every call happens on the window thread; calls marked "may pump" can run pending window events
// (and so re-enter the game manager) before they return.

// The board view: colour, sound and speed settings, drawing, the two animations and its clicks.
class GameBoardView {
public:
    // (x, y) in 1..8, button 0 left, 1 right, 2 middle, pressed true for a press.
    using PutHandler = std::function<void(int x, int y, int button, bool pressed)>;

    virtual ~GameBoardView() = default;

    // Packed RGB with red in the low byte.
    virtual void SetBoardColor(int color) = 0;
    virtual void SetSoundEffect(bool on) = 0;
    // 0 slow, 1 normal, 2 fast.
    virtual void SetTurnSpeed(int speed) = 0;
    // Where presses and releases on a square go; the manager installs its OnBoardMouse here.
    virtual void SetOnPut(PutHandler onPut) = 0;
    virtual void SetShowLastMove(bool on) = 0;
    virtual void SetShowCoordinates(bool on) = 0;
    // The square of the last move played, marked on the boards and moves shown from now on; an
    // invalid point for none.
    virtual void SetLastMove(const PointData& square) = 0;

    // Shows board (layout of OthelloLogic; 2 marks a legal square).
    virtual void DrawBoard(const BoardArray& board) = 0;
    // Animates the move just played at placed by colour, which turned flips (nearest first,
    // direction by direction). May pump.
    virtual void AnimateMove(int colour, const PointData& placed,
                             const std::vector<PointData>& flips) = 0;
    // Animates one history step forward (put) or backward from the placed square: flips turn to
    // colour. May pump.
    virtual void AnimateHistoryStep(bool put, int colour, const PointData& point,
                                    const std::vector<PointData>& flips) = 0;
};

// One clock label of the information panel.
class GameClockLabel {
public:
    virtual ~GameClockLabel() = default;
    virtual void SetText(const std::string& text) = 0;
    // 0x00BBGGRR: 0 black, 0xFFFFFF white, 0xFF red.
    virtual void SetFontColor(int color) = 0;
};

// The clock's window timer. The host creates it with the handler to run at every firing.
class GameClockTimer {
public:
    virtual ~GameClockTimer() = default;
    virtual void SetInterval(int ms) = 0;
    virtual void SetEnabled(bool enabled) = 0;
};

// The main window as the manager sees it: owner of the modal message boxes, the message pump,
// sounds, the millisecond tick counter and the factory of the clock timer.
class GameHost {
public:
    virtual ~GameHost() = default;

    // Modal box with an OK button. May pump.
    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
    // Modal box with Yes and No, No being the default; true for Yes. A box closed without an
    // answer counts as No. May pump.
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
    // Runs the pending window events once. Pumps, by definition.
    virtual void ProcessMessages() = 0;
    // Starts the named sound of the program asynchronously ("NOPUT").
    virtual void PlaySoundResource(const std::string& name) = 0;
    // Milliseconds, unsigned and wrapping.
    virtual std::uint32_t TickCount() = 0;
    // A disabled timer that calls onTick at each firing once enabled.
    virtual std::unique_ptr<GameClockTimer> CreateClockTimer(std::function<void()> onTick) = 0;
    // The computer's search begins (true) or has returned: the window keeps its own background
    // work off the processor meanwhile. Returns at once.
    virtual void ComputerThinking(bool /*thinking*/) {}
};
