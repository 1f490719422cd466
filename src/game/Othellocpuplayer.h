#pragma once

#include <functional>
#include <memory>

#include "Morvane.h"
#include "Othellologic.h"
#include "PointData.h"

// The computer's seat at the table: the game manager copies the position into Logic, and Think
// loads it into the engine, runs the think operation of the game's mode and returns the square.
// No book, no randomness, no delay: the move is whatever the search returns.
class OthelloCpuPlayer {
public:
    explicit OthelloCpuPlayer(int color);

    // mode 1 is time control (seconds = the time the engine may reckon with); any other mode
    // searches the fixed amount of the level. The side to move must have a legal move.
    PointData Think(int mode, int level, int seconds);

    // Hands the window's message pump to the engine's time checks, which run it at most every
    // Morvane::kWindowPumpIntervalMs of search time.
    void SetWindowPump(std::function<void()> pump);

    std::unique_ptr<OthelloLogic> Logic;
    Morvane Engine;
    int Color;
};
