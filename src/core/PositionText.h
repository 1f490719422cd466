#pragma once

#include <string>

#include "PointData.h"
#include "RecordError.h"

// The one-line text form of a position that Othello tools exchange (the engine tool's argument,
// the lines of an .obf file): 64 characters for a1 b1 .. h1 a2 .. h8 ('X', 'x' or '*' black,
// 'O' or 'o' white, '-' or '.' empty), one space, the side to move ('X' or 'O'), optionally ';'
// and anything after it. Full-width forms of these characters read as they do.
struct TextPosition {
    BoardArray board{};  // the game's layout, border empty
    int sideToMove = kBlack;
};

// False with the fault in error when the text is not such a position.
bool ParsePositionText(const std::string& text, TextPosition& position, RecordError& error);
// The same with a one-line English reason.
bool ParsePositionText(const std::string& text, TextPosition& position, std::string& error);

// The position as 64 squares in 'X', 'O' and '-', a space and 'X' or 'O'.
std::string FormatPositionText(const TextPosition& position);

// The colour a square character stands for, as in the text above; false for any other character.
bool ColorFromSquareChar(char c, int& color);

// The engine tool's name for SquareText.
inline std::string SquareName(int x, int y) {
    return SquareText(x, y);
}
