#pragma once

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

    std::unique_ptr<OthelloLogic> Logic;
    Morvane Engine;
    int Color;
};
