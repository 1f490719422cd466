#pragma once

// Facts that the padded board and the disc bitboards both read: the move generator's regions,
// the evaluation's weights and squares, and the portable bit count. Bit (y - 1) * 8 + (x - 1) is
// square (x, y).
#include <cstdint>

namespace morvane_tables {

// Population count without a library call (no POPCNT instruction on generic x86-64, and the
// library call costs more than this).
inline int BitCount(std::uint64_t x) {
    x = x - ((x >> 1) & 0x5555555555555555ULL);
    x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return static_cast<int>((x * 0x0101010101010101ULL) >> 56);
}

// The nine regions of the move generator in generation order, each with the range of direction
// indexes (Morvane::dirOffset) in which a square of the region can flank anything: a direction
// left out would have to flank across the two-cell border strip into the wall.
struct Region {
    int xFirst, xLast, yFirst, yLast, firstDir, lastDir;
};

inline constexpr Region kRegions[9] = {
    {1, 2, 1, 2, 0, 2},  {1, 2, 7, 8, 2, 4}, {3, 6, 3, 6, 0, 7},
    {7, 8, 1, 2, 6, 8},  {7, 8, 7, 8, 4, 6}, {1, 2, 3, 6, 0, 4},
    {3, 6, 1, 2, 6, 10}, {3, 6, 7, 8, 2, 6}, {7, 8, 3, 6, 4, 8},
};

// The static evaluation: corners, the squares next to an empty corner, the other edge squares,
// mobility (legal moves of +1 minus those of -1) and the discs a taken corner anchors.
inline constexpr int kCornerWeight = 15;
inline constexpr int kCSquareWeight = -4;
inline constexpr int kXSquareWeight = -8;
inline constexpr int kEdgeWeight = 1;
inline constexpr int kMobilityWeight = 3;
inline constexpr int kStableWeight = 2;

inline constexpr std::uint64_t kCorners = 0x8100000000000081ULL;
inline constexpr std::uint64_t kEdges = 0x7E8181818181817EULL;  // the 24 that are not corners

// Each corner with its C-squares and its X-square: a1 (a2 b1, b2), h1 (g1 h2, g2), a8 (a7 b8,
// b7), h8 (g8 h7, g7). They count only next to an empty corner.
struct CornerSquares {
    std::uint64_t corner, c, x;
};

inline constexpr CornerSquares kNextToCorners[4] = {
    {0x0000000000000001ULL, 0x0000000000000102ULL, 0x0000000000000200ULL},
    {0x0000000000000080ULL, 0x0000000000008040ULL, 0x0000000000004000ULL},
    {0x0100000000000000ULL, 0x0201000000000000ULL, 0x0002000000000000ULL},
    {0x8000000000000000ULL, 0x4080000000000000ULL, 0x0040000000000000ULL},
};

}  // namespace morvane_tables
