#include "PositionText.h"

#include <algorithm>
#include <vector>

#include "TextCodec.h"

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

bool ParsePositionText(const std::string& text, TextPosition& position, RecordError& error) {
    const TypedText typed(text);
    const std::string& ascii = typed.Ascii();
    std::size_t end = std::min(ascii.find(';'), ascii.size());
    while (end > 0 && (ascii[end - 1] == ' ' || ascii[end - 1] == '\t' || ascii[end - 1] == '\r' ||
                       ascii[end - 1] == '\n'))
        --end;
    std::vector<std::size_t> starts;  // of the characters, then the end
    for (std::size_t i = 0; i < end; i = NextCharacter(ascii, i))
        starts.push_back(i);
    const int characters = static_cast<int>(starts.size());
    starts.push_back(end);
    const auto fail = [&](RecordFault fault, int number = 0, std::size_t from = 0,
                          std::size_t to = 0) {
        error = RecordError(fault, number, typed.Typed(from, to));
        return false;
    };
    // One ASCII character's colour, false for anything else.
    const auto color = [&](int k, int& cell) {
        return starts[k + 1] - starts[k] == 1 && ColorFromSquareChar(ascii[starts[k]], cell);
    };
    if (characters < 64) return fail(RecordFault::FewSquares, characters);
    TextPosition parsed;
    for (int i = 0; i < 64; ++i) {
        if (!color(i, parsed.board[BoardIndex(i % 8 + 1, i / 8 + 1)]))
            return fail(RecordFault::BadSquare, i + 1, starts[i], starts[i + 1]);
    }
    if (characters == 64) return fail(RecordFault::NoSide);
    if (characters != 66 || ascii[starts[64]] != ' ')
        return fail(RecordFault::BadSeparator, 0, starts[64], end);
    if (!color(65, parsed.sideToMove) || parsed.sideToMove == kEmpty)
        return fail(RecordFault::BadSide, 0, starts[65], end);
    position = parsed;
    return true;
}

bool ParsePositionText(const std::string& text, TextPosition& position, std::string& error) {
    RecordError fault;
    if (ParsePositionText(text, position, fault)) return true;
    error = RecordErrorLine(fault);
    return false;
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
