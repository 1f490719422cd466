// Static evaluation: corners, the squares next to empty corners, edges, mobility and stable discs.
#include <cstdint>

#include "Morvane.h"

namespace {

constexpr int Cell(int x, int y) {
    return x * 16 + y;
}

}  // namespace

int Morvane::Evaluate() {
    const int* const b = board;
    const int a1 = b[Cell(1, 1)];
    const int a8 = b[Cell(1, 8)];
    const int h1 = b[Cell(8, 1)];
    const int h8 = b[Cell(8, 8)];
    int score = 15 * (a1 + a8 + h1 + h8);
    if (a1 == 0) score += -4 * (b[Cell(1, 2)] + b[Cell(2, 1)]) - 8 * b[Cell(2, 2)];
    if (a8 == 0) score += -4 * (b[Cell(1, 7)] + b[Cell(2, 8)]) - 8 * b[Cell(2, 7)];
    if (h1 == 0) score += -4 * (b[Cell(7, 1)] + b[Cell(8, 2)]) - 8 * b[Cell(7, 2)];
    if (h8 == 0) score += -4 * (b[Cell(7, 8)] + b[Cell(8, 7)]) - 8 * b[Cell(7, 7)];
    for (int i = 2; i <= 7; ++i)
        score += b[Cell(1, i)] + b[Cell(8, i)] + b[Cell(i, 1)] + b[Cell(i, 8)];
    score += 3 * (GenerateMovesWide(1) - GenerateMovesWide(-1));
    if ((a1 | a8 | h1 | h8) != 0) score += 2 * CountStable();
    return score;
}

// Discs that a corner anchors: along each edge line from the corner, then line by line inwards,
// each line allowed one cell fewer than the line before unless the line before was full.
int Morvane::CountStable() const {
    static constexpr int kCorners[4][2] = {{1, 1}, {1, 8}, {8, 1}, {8, 8}};
    std::uint64_t marked = 0;  // bit (x - 1) * 8 + (y - 1)
    int sum = 0;
    auto mark = [&](int x, int y, int k) {
        const std::uint64_t bit = std::uint64_t{1} << ((x - 1) * 8 + (y - 1));
        if ((marked & bit) == 0) {
            marked |= bit;
            sum += k;
        }
    };
    for (const auto& corner : kCorners) {
        const int cx = corner[0];
        const int cy = corner[1];
        const int k = board[Cell(cx, cy)];
        if (k == 0) continue;
        const int dx = cx == 1 ? 1 : -1;
        const int dy = cy == 1 ? 1 : -1;
        // Lines of constant x, marked along y.
        int limit = 8;
        for (int x = cx; x >= 1 && x <= 8 && board[Cell(x, cy)] == k; x += dx) {
            int n = 0;
            for (int y = cy; n < limit && y >= 1 && y <= 8 && board[Cell(x, y)] == k; y += dy) {
                mark(x, y, k);
                ++n;
            }
            limit = n < 8 ? n - 1 : 8;
        }
        // Lines of constant y, marked along x.
        limit = 8;
        for (int y = cy; y >= 1 && y <= 8 && board[Cell(cx, y)] == k; y += dy) {
            int n = 0;
            for (int x = cx; n < limit && x >= 1 && x <= 8 && board[Cell(x, y)] == k; x += dx) {
                mark(x, y, k);
                ++n;
            }
            limit = n < 8 ? n - 1 : 8;
        }
    }
    return sum;
}
