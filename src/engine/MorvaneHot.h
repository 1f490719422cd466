#pragma once

// Bodies of the per-node operations, inlined into the searches. Directions are unrolled with
// constant offsets; the walls end every walk.
#include <array>
#include <bit>
#include <cstdint>

#include "Morvane.h"

namespace morvane_hot {

// Population count without a library call (no POPCNT instruction on generic x86-64).
inline int BitCount(std::uint64_t x) {
    x = x - ((x >> 1) & 0x5555555555555555ULL);
    x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return static_cast<int>((x * 0x0101010101010101ULL) >> 56);
}

// Bit of square index s, (x - 1, y - 1) = (s / 16, s % 16).
inline std::uint64_t SquareBit(int s) {
    return std::uint64_t{1} << ((s & 15) * 8 + (s >> 4));
}

template <int Shift>
inline std::uint64_t Shifted(std::uint64_t b) {
    if constexpr (Shift > 0)
        return b << Shift;
    else
        return b >> -Shift;
}

// Cell offset O in bit-index steps: y is the fast bit axis, x the slow one.
template <int O>
constexpr int kBitStep = O == 1     ? 8
                         : O == -1  ? -8
                         : O == 16  ? 1
                         : O == -16 ? -1
                         : O == 17  ? 9
                         : O == -17 ? -9
                         : O == 15  ? -7
                                    : 7;

// Flips the run of -k discs from cell in direction O when k closes it; returns its length and
// adds the flipped discs to flips.
template <int O>
inline int FlipRun(int* cell, int k, std::uint64_t bit, std::uint64_t& flips) {
    int* p = cell + O;
    if (*p != -k) return 0;
    do
        p += O;
    while (*p == -k);
    if (*p != k) return 0;
    int n = 0;
    for (int* q = cell + O; q != p; q += O) {
        *q = k;
        bit = Shifted<kBitStep<O>>(bit);
        flips |= bit;
        ++n;
    }
    return n;
}

// Cell index x * 16 + y of bit (y - 1) * 8 + (x - 1), and the bit of each cell (0 for walls).
inline constexpr auto kBitCell = [] {
    std::array<int, 64> cells{};
    for (int i = 0; i < 64; ++i)
        cells[static_cast<std::size_t>(i)] = (i % 8 + 1) * 16 + i / 8 + 1;
    return cells;
}();

inline constexpr auto kCellBit = [] {
    std::array<std::uint64_t, 160> bits{};
    for (int i = 0; i < 64; ++i)
        bits[static_cast<std::size_t>((i % 8 + 1) * 16 + i / 8 + 1)] = std::uint64_t{1} << i;
    return bits;
}();

// How many discs k placed on cell would flip in direction O, without flipping them.
template <int O>
inline int RunLength(const int* cell, int k) {
    const int* p = cell + O;
    if (*p != -k) return 0;
    int n = 0;
    do {
        p += O;
        ++n;
    } while (*p == -k);
    return *p == k ? n : 0;
}

inline int CountFlips(const int* cell, int k) {
    return RunLength<1>(cell, k) + RunLength<17>(cell, k) + RunLength<16>(cell, k) +
           RunLength<15>(cell, k) + RunLength<-1>(cell, k) + RunLength<-17>(cell, k) +
           RunLength<-16>(cell, k) + RunLength<-15>(cell, k);
}

// Whether k placed on cell flanks anything in direction O.
template <int O>
inline bool Flanks(const int* cell, int k) {
    const int* p = cell + O;
    if (*p != -k) return false;
    do
        p += O;
    while (*p == -k);
    return *p == k;
}

template <int... Offsets>
inline bool FlanksAny(const int* cell, int k) {
    return (Flanks<Offsets>(cell, k) || ...);
}

// The candidates of one region, tried only in the directions the region allows.
template <int... Offsets>
inline int GenerateRegion(const int* board, int k, std::uint32_t bits, const int* squareList,
                          int* out) {
    int count = 0;
    do {
        const int p = std::countl_zero(bits);
        bits &= ~(std::uint32_t{0x80000000u} >> p);
        const int s = squareList[p];
        if (FlanksAny<Offsets...>(board + 17 + s, k)) out[count++] = s;
    } while (bits != 0);
    return count;
}

// One mask word: the candidate squares region by region, in position order. A region's
// direction range selects its unrolled walk (indexes 8..10 repeat directions 0..2).
inline int GenerateWord(const int* board, int k, std::uint32_t candidates,
                        const int* positionRegion, const std::uint32_t* regionMask,
                        const int* regionFirstDir, const int* regionLastDir, const int* squareList,
                        int* out) {
    int count = 0;
    // Regions hold consecutive positions, so the first candidate left names the next region
    // with work; regions without candidates are never visited.
    while (candidates != 0) {
        const int r = positionRegion[std::countl_zero(candidates)];
        const std::uint32_t bits = regionMask[r] & candidates;
        candidates &= ~regionMask[r];
        int* const to = out + count;
        switch (regionFirstDir[r] * 16 + regionLastDir[r]) {
            case 0 * 16 + 2:
                count += GenerateRegion<1, 17, 16>(board, k, bits, squareList, to);
                break;
            case 2 * 16 + 4:
                count += GenerateRegion<16, 15, -1>(board, k, bits, squareList, to);
                break;
            case 6 * 16 + 8:
                count += GenerateRegion<-16, -15, 1>(board, k, bits, squareList, to);
                break;
            case 4 * 16 + 6:
                count += GenerateRegion<-1, -17, -16>(board, k, bits, squareList, to);
                break;
            case 0 * 16 + 4:
                count += GenerateRegion<1, 17, 16, 15, -1>(board, k, bits, squareList, to);
                break;
            case 6 * 16 + 10:
                count += GenerateRegion<-16, -15, 1, 17, 16>(board, k, bits, squareList, to);
                break;
            case 2 * 16 + 6:
                count += GenerateRegion<16, 15, -1, -17, -16>(board, k, bits, squareList, to);
                break;
            case 4 * 16 + 8:
                count += GenerateRegion<-1, -17, -16, -15, 1>(board, k, bits, squareList, to);
                break;
            default:  // 0..7, the centre
                count += GenerateRegion<1, 17, 16, 15, -1, -17, -16, -15>(board, k, bits,
                                                                          squareList, to);
                break;
        }
    }
    return count;
}

}  // namespace morvane_hot

inline void Morvane::MakeMoveHot(int s, int k) {
    using morvane_hot::FlipRun;
    int* const cell = board + 17 + s;
    int* const record = flipRecord[level];
    const std::uint64_t placed = morvane_hot::SquareBit(s);
    std::uint64_t flips = 0;
    *cell = k;
    int total = record[0] = FlipRun<1>(cell, k, placed, flips);
    total += record[1] = FlipRun<17>(cell, k, placed, flips);
    total += record[2] = FlipRun<16>(cell, k, placed, flips);
    total += record[3] = FlipRun<15>(cell, k, placed, flips);
    total += record[4] = FlipRun<-1>(cell, k, placed, flips);
    total += record[5] = FlipRun<-17>(cell, k, placed, flips);
    total += record[6] = FlipRun<-16>(cell, k, placed, flips);
    total += record[7] = FlipRun<-15>(cell, k, placed, flips);
    flipBits[level] = flips;
    if (k > 0) {
        ownBits |= flips | placed;
        oppBits ^= flips;
    } else {
        oppBits |= flips | placed;
        ownBits ^= flips;
    }
    discDiff += (2 * total + 1) * k;
}

inline void Morvane::UndoMoveHot(int s, int k2) {
    const int* const record = flipRecord[level];
    const int total = record[0] + record[1] + record[2] + record[3] + record[4] + record[5] +
                      record[6] + record[7];
    const std::uint64_t flips = flipBits[level];
    board[17 + s] = 0;
    // The flipped discs, found through their bits rather than by walking the eight directions.
    for (std::uint64_t left = flips; left != 0; left &= left - 1)
        board[morvane_hot::kBitCell[static_cast<std::size_t>(std::countr_zero(left))]] = k2;
    const std::uint64_t placed = morvane_hot::SquareBit(s);
    if (k2 < 0) {
        ownBits ^= flips | placed;
        oppBits |= flips;
    } else {
        oppBits ^= flips | placed;
        ownBits |= flips;
    }
    discDiff += (2 * total + 1) * k2;
}

inline int Morvane::GenerateMovesHot(int k) {
    return morvane_hot::GenerateWord(board, k, emptyBits1[level] & frontierBits1[level],
                                     positionRegion1, regionMask1, regionFirstDir1, regionLastDir1,
                                     squareList1, moveList + moveListStart[level]);
}

inline int Morvane::GenerateMovesWideHot(int k) {
    int* const out = moveList + moveListStart[level];
    const int count1 = GenerateMovesHot(k);
    if (regionCount2 == 0) return count1;  // narrow: word 2 has no region, its masks are stale
    return count1 + morvane_hot::GenerateWord(board, k, emptyBits2[level] & frontierBits2[level],
                                              positionRegion2, regionMask2, regionFirstDir2,
                                              regionLastDir2, squareList2, out + count1);
}

inline int Morvane::EvaluateHot() {
    return plainSearch ? EvaluatePlain() : EvaluateBits();
}
