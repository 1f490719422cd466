#pragma once

// Bodies of the per-node operations, inlined into the searches. Directions are unrolled with
// the constant offsets of Morvane::dirOffset; the walls end every walk.
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "Morvane.h"
#include "MorvaneTables.h"

namespace morvane_hot {

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

// Cell offset o = dx * 16 + dy (dx, dy in -1..1) in bit-index steps dy * 8 + dx: y is the fast
// bit axis.
constexpr int BitStep(int o) {
    const int dx = (o + 40) / 16 - 2;
    return (o - 16 * dx) * 8 + dx;
}

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
        bit = Shifted<BitStep(O)>(bit);
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

// The discs of colour k on the board cells.
inline std::uint64_t DiscBits(const int* board, int k) {
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < 64; ++i)
        bits |= std::uint64_t{board[kBitCell[i]] == k} << i;
    return bits;
}

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
    return [&]<std::size_t... D>(std::index_sequence<D...>) {
        return (RunLength<Morvane::dirOffset[D]>(cell, k) + ...);
    }
    (std::make_index_sequence<8>{});
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
        if (FlanksAny<Offsets...>(board + Morvane::kFirstCell + s, k)) out[count++] = s;
    } while (bits != 0);
    return count;
}

// GenerateRegion over the directions of region r of the region table.
template <int R>
inline int GenerateRegionOf(const int* board, int k, std::uint32_t bits, const int* squareList,
                            int* out) {
    constexpr morvane_tables::Region region = morvane_tables::kRegions[R];
    return [&]<std::size_t... D>(std::index_sequence<D...>) {
        return GenerateRegion<Morvane::dirOffset[region.firstDir + static_cast<int>(D)]...>(
            board, k, bits, squareList, out);
    }
    (std::make_index_sequence<region.lastDir - region.firstDir + 1>{});
}

constexpr int DirRangeOf(int r) {
    return morvane_tables::kRegions[r].firstDir * 16 + morvane_tables::kRegions[r].lastDir;
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
        // The regions' direction ranges are distinct, so each names its region's walk.
        switch (regionFirstDir[r] * 16 + regionLastDir[r]) {
            case DirRangeOf(0):
                count += GenerateRegionOf<0>(board, k, bits, squareList, to);
                break;
            case DirRangeOf(1):
                count += GenerateRegionOf<1>(board, k, bits, squareList, to);
                break;
            case DirRangeOf(3):
                count += GenerateRegionOf<3>(board, k, bits, squareList, to);
                break;
            case DirRangeOf(4):
                count += GenerateRegionOf<4>(board, k, bits, squareList, to);
                break;
            case DirRangeOf(5):
                count += GenerateRegionOf<5>(board, k, bits, squareList, to);
                break;
            case DirRangeOf(6):
                count += GenerateRegionOf<6>(board, k, bits, squareList, to);
                break;
            case DirRangeOf(7):
                count += GenerateRegionOf<7>(board, k, bits, squareList, to);
                break;
            case DirRangeOf(8):
                count += GenerateRegionOf<8>(board, k, bits, squareList, to);
                break;
            default:  // the centre, every direction
                count += GenerateRegionOf<2>(board, k, bits, squareList, to);
                break;
        }
    }
    return count;
}

}  // namespace morvane_hot

inline void Morvane::MakeMoveHot(int s, int k) {
    using morvane_hot::FlipRun;
    int* const cell = board + kFirstCell + s;
    int* const record = flipRecord[level];
    const std::uint64_t placed = morvane_hot::SquareBit(s);
    std::uint64_t flips = 0;
    *cell = k;
    int total = record[0] = FlipRun<dirOffset[0]>(cell, k, placed, flips);
    total += record[1] = FlipRun<dirOffset[1]>(cell, k, placed, flips);
    total += record[2] = FlipRun<dirOffset[2]>(cell, k, placed, flips);
    total += record[3] = FlipRun<dirOffset[3]>(cell, k, placed, flips);
    total += record[4] = FlipRun<dirOffset[4]>(cell, k, placed, flips);
    total += record[5] = FlipRun<dirOffset[5]>(cell, k, placed, flips);
    total += record[6] = FlipRun<dirOffset[6]>(cell, k, placed, flips);
    total += record[7] = FlipRun<dirOffset[7]>(cell, k, placed, flips);
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
    board[kFirstCell + s] = 0;
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
