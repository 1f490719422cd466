#include "PositionText.h"

bool ParsePositionText(const std::string& text, TextPosition& position, std::string& error) {
    std::string body = text;
    if (const auto semicolon = body.find(';'); semicolon != std::string::npos)
        body.erase(semicolon);
    while (!body.empty() && (body.back() == ' ' || body.back() == '\t' || body.back() == '\r' ||
                             body.back() == '\n'))
        body.pop_back();
    if (body.size() < 64) {
        error = "position has " + std::to_string(body.size()) +
                " characters before the side to "
                "move, expected 64 squares, a space and X or O";
        return false;
    }
    TextPosition parsed;
    for (int i = 0; i < 64; ++i) {
        const char c = body[static_cast<std::size_t>(i)];
        int value;
        if (c == 'X' || c == 'x' || c == '*')
            value = 1;
        else if (c == 'O' || c == 'o')
            value = -1;
        else if (c == '-' || c == '.')
            value = 0;
        else {
            error = std::string("unknown square character '") + c + "' at position " +
                    std::to_string(i + 1);
            return false;
        }
        const int x = i % 8 + 1;
        const int y = i / 8 + 1;
        parsed.board[static_cast<std::size_t>(x * 10 + y)] = value;
    }
    if (body.size() == 64) {
        error = "missing side to move after the 64 squares";
        return false;
    }
    if (body.size() != 66 || body[64] != ' ') {
        error = "expected one space and the side to move (X or O) after the 64 squares";
        return false;
    }
    const char side = body[65];
    if (side == 'X' || side == 'x' || side == '*')
        parsed.sideToMove = 1;
    else if (side == 'O' || side == 'o')
        parsed.sideToMove = -1;
    else {
        error = std::string("unknown side to move '") + side + "', expected X or O";
        return false;
    }
    position = parsed;
    return true;
}

std::string SquareName(int x, int y) {
    return std::string(1, static_cast<char>('a' + x - 1)) + static_cast<char>('0' + y);
}
