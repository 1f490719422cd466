#pragma once

#include <QIcon>
#include <array>

// Paths of the pictures compiled into the program (made by resources/generate_resources.py).

inline constexpr const char* kBackBoardImage = ":/images/back_board.png";

// Tool bar icons by index: 0 start, 1 stop, 2 first, 3 back, 4 forward, 5 last,
// 6 game settings, 7 environment settings, 8 take back.
inline constexpr std::array<const char*, 9> kToolBarIcons{{
    ":/icons/start.png",
    ":/icons/stop.png",
    ":/icons/first.png",
    ":/icons/back.png",
    ":/icons/forward.png",
    ":/icons/last.png",
    ":/icons/gameconf.png",
    ":/icons/envconf.png",
    ":/icons/takeback.png",
}};

// A tool bar icon from its 16 and 32 pixel pictures (the larger one for screens of a higher
// pixel ratio).
QIcon ToolBarIcon(int index);

// The program icon in all its sizes (16, 32, 48 and 256 pixels).
QIcon ProgramIcon();
