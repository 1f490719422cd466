// Static evaluation: corners, the squares next to empty corners, edges, mobility and stable discs.
#include <bit>
#include <cstdint>
#include <utility>

#include "Morvane.h"
#include "MorvaneHot.h"

namespace {

constexpr int Cell(int x, int y) {
    return x * 16 + y;
}

}  // namespace

int Morvane::Evaluate() {
    return EvaluateHot();
}

int Morvane::EvaluatePlain() {
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
    std::uint64_t marked[2] = {0, 0};  // cells marked for +1 and for -1; each counts once
    for (const auto& corner : kCorners) {
        const int cx = corner[0];
        const int cy = corner[1];
        const int first = Cell(cx, cy);
        const int k = board[first];
        if (k == 0) continue;
        const int xStep = cx == 1 ? 16 : -16;
        const int yStep = cy == 1 ? 1 : -1;
        std::uint64_t& mark = marked[k < 0 ? 1 : 0];
        // Lines of constant x marked along y, then lines of constant y marked along x. A wall
        // (9) ends both the lines and the runs; once a line may mark nothing, later ones cannot.
        for (const auto& [lineStep, runStep] : {std::pair{xStep, yStep}, std::pair{yStep, xStep}}) {
            int limit = 8;
            for (int line = first; limit > 0 && board[line] == k; line += lineStep) {
                int n = 0;
                for (int c = line; n < limit && board[c] == k; c += runStep, ++n)
                    mark |= morvane_hot::kCellBit[static_cast<std::size_t>(c)];
                limit = n < 8 ? n - 1 : 8;
            }
        }
    }
    return morvane_hot::BitCount(marked[0]) - morvane_hot::BitCount(marked[1]);
}
