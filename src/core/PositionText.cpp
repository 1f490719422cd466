#include "PositionText.h"

bool ColorFromSquareChar(char c, int& color) {
    switch (c) {
        case 'X':
        case 'x':
        case '*':
            color = kBlack;
            return true;
        case 'O':
        case 'o':
            color = kWhite;
            return true;
        case '-':
        case '.':
            color = kEmpty;
            return true;
        default:
            return false;
    }
}

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
        if (!ColorFromSquareChar(c, parsed.board[BoardIndex(i % 8 + 1, i / 8 + 1)])) {
            error = std::string("unknown square character '") + c + "' at position " +
                    std::to_string(i + 1);
            return false;
        }
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
    if (!ColorFromSquareChar(side, parsed.sideToMove) || parsed.sideToMove == kEmpty) {
        error = std::string("unknown side to move '") + side + "', expected X or O";
        return false;
    }
    position = parsed;
    return true;
}

std::string FormatPositionText(const TextPosition& position) {
    std::string text;
    for (int y = 1; y <= 8; ++y) {
        for (int x = 1; x <= 8; ++x) {
            const int cell = position.board[BoardIndex(x, y)];
            text += cell == kBlack ? 'X' : cell == kWhite ? 'O' : '-';
        }
    }
    return text + (position.sideToMove == kWhite ? " O" : " X");
}
