#pragma once

#include <array>
#include <string>

// The model's shared vocabulary: colours, the 10x10 board with its empty border, squares and
// their notation "a1".."h8". No rules live here (see OthelloLogic).

// Colours and square contents. The opponent of colour c is -c.
inline constexpr int kBlack = 1;
inline constexpr int kWhite = -1;
inline constexpr int kEmpty = 0;
// Only in a marked copy of the board: a legal square of the side asked about.
inline constexpr int kLegalMark = 2;

// Cells indexed x * 10 + y, x the column and y the row, both 1..8 on the playing squares; the
// border ring stays empty so that walks along a line stop there without bounds tests.
using BoardArray = std::array<int, 100>;

constexpr int BoardIndex(int x, int y) {
    return x * 10 + y;
}

// Copies the 64 playing squares; the border of to is left as it is.
inline void CopyPlayingSquares(const BoardArray& from, BoardArray& to) {
    for (int x = 1; x <= 8; ++x) {
        for (int y = 1; y <= 8; ++y)
            to[BoardIndex(x, y)] = from[BoardIndex(x, y)];
    }
}

// A square: column x and row y, 1..8. A default one is (-1, -1), no square.
struct PointData {
    int x = -1;
    int y = -1;

    constexpr PointData() = default;
    constexpr PointData(int px, int py) : x(px), y(py) {}
    constexpr bool IsValid() const { return x >= 1 && x <= 8 && y >= 1 && y <= 8; }
    friend constexpr bool operator==(const PointData&, const PointData&) = default;
};

// Square notation: column letter "a".."h" then row digit "1".."8".
constexpr int XFromLetter(char letter) {
    return letter - 96;
}
constexpr int YFromDigit(char digit) {
    return digit - 48;
}
constexpr char LetterFromX(int x) {
    return static_cast<char>(x + 96);
}

inline std::string SquareText(int x, int y) {
    return LetterFromX(x) + std::to_string(y);
}
