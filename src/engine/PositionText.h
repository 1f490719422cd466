#pragma once

#include <array>
#include <string>

// The text form of a position used by Othello tools: 64 characters for a1 b1 .. h1 a2 .. h8
// ('X' or '*' black, 'O' white, '-' or '.' empty), one space, the side to move ('X' or 'O'),
// optionally ';' and anything after it.
struct TextPosition {
    std::array<int, 100> board{};  // game layout: x * 10 + y, 1 black, -1 white, 0 empty
    int sideToMove = 1;
};

// False with a one-line reason in error when the text is not such a position.
bool ParsePositionText(const std::string& text, TextPosition& position, std::string& error);

// "a1".."h8" for x, y in 1..8.
std::string SquareName(int x, int y);
