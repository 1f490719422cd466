#pragma once

// The tables behind the disc-bitboard primitives, shared by every instruction set's copy of the
// game's bitboard search (MorvaneSolve.cpp) and of the analysis (AnalysisSearch.cpp): bit
// (y - 1) * 8 + (x - 1) for square (x, y).
#include <cstdint>

// Whether an AVX2 copy is built beside the portable one, chosen at run time.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(MORVANE_NO_CPU_DISPATCH)
#define MORVANE_CPU_DISPATCH 1
#include <immintrin.h>
#else
#define MORVANE_CPU_DISPATCH 0
#endif

namespace {

// Per square, bit (y - 1) * 8 + (x - 1): the squares of each ray from it, ascending rays (x+1;
// y+1; x+1, y+1; x-1, y+1) and descending ones (the opposite steps), and its neighbours.
struct RayTable {
    alignas(32) std::uint64_t up[64][4];
    alignas(32) std::uint64_t down[64][4];
    std::uint64_t neighbours[64];
};

constexpr RayTable MakeRays() {
    RayTable t{};
    constexpr int kDx[4] = {1, 0, 1, -1};
    constexpr int kDy[4] = {0, 1, 1, 1};
    for (int sq = 0; sq < 64; ++sq) {
        for (int d = 0; d < 4; ++d) {
            for (int way = 1; way >= -1; way -= 2) {
                std::uint64_t ray = 0;
                int x = sq % 8 + way * kDx[d];
                int y = sq / 8 + way * kDy[d];
                for (; x >= 0 && x < 8 && y >= 0 && y < 8; x += way * kDx[d], y += way * kDy[d])
                    ray |= std::uint64_t{1} << (y * 8 + x);
                (way > 0 ? t.up : t.down)[sq][d] = ray;
                if (x - way * kDx[d] != sq % 8 || y - way * kDy[d] != sq / 8)
                    t.neighbours[sq] |= std::uint64_t{1}
                                        << ((sq / 8 + way * kDy[d]) * 8 + sq % 8 + way * kDx[d]);
            }
        }
    }
    return t;
}

constexpr RayTable kRays = MakeRays();

// The last empty square: the two diagonals through each square, and per position on a line and
// pattern of the mover's discs on it (every other square of the line taken by the other side, or
// off the line), how many discs a disc at that position flips.
struct LineTable {
    std::uint64_t diagonal[64];
    std::uint64_t antiDiagonal[64];
    std::uint8_t flips[8][256];
};

constexpr LineTable MakeLines() {
    LineTable t{};
    for (int sq = 0; sq < 64; ++sq) {
        const std::uint64_t own = std::uint64_t{1} << sq;
        t.diagonal[sq] = kRays.up[sq][2] | kRays.down[sq][2] | own;
        t.antiDiagonal[sq] = kRays.up[sq][3] | kRays.down[sq][3] | own;
    }
    for (int pos = 0; pos < 8; ++pos) {
        for (int pattern = 0; pattern < 256; ++pattern) {
            int total = 0;
            for (int step = -1; step <= 1; step += 2) {
                int run = 0;
                int i = pos + step;
                for (; i >= 0 && i < 8 && (pattern >> i & 1) == 0; i += step)
                    ++run;
                if (i >= 0 && i < 8) total += run;
            }
            t.flips[pos][pattern] = static_cast<std::uint8_t>(total);
        }
    }
    return t;
}

constexpr LineTable kLines = MakeLines();

// Discs that a disc of P on sq flips when sq is the only empty square: every other square is P's
// or the other side's, so each line through sq is one P pattern (indexed by x, or by y for the
// column) looked up in a table.
inline int LastFlips(std::uint64_t P, int sq) {
    const int x = sq & 7;
    const int y = sq >> 3;
    constexpr std::uint64_t kColumnA = 0x0101010101010101ULL;
    const auto row = static_cast<unsigned>(P >> (8 * y)) & 0xFFu;
    const auto column =
        static_cast<unsigned>((((P >> x) & kColumnA) * 0x0102040810204080ULL) >> 56);
    const auto diagonal = static_cast<unsigned>(((P & kLines.diagonal[sq]) * kColumnA) >> 56);
    const auto antiDiagonal =
        static_cast<unsigned>(((P & kLines.antiDiagonal[sq]) * kColumnA) >> 56);
    return kLines.flips[x][row] + kLines.flips[y][column] + kLines.flips[x][diagonal] +
           kLines.flips[x][antiDiagonal];
}

}  // namespace
