// Move generation over mask words: every playing square owns one bit position; the empty squares
// are grouped by board region so that a whole region is skipped with one AND and only the
// directions in which a square of that region can flank anything are walked.
#include <bit>
#include <cstdint>

#include "Morvane.h"
#include "MorvaneHot.h"
#include "MorvaneTables.h"

namespace {

using morvane_tables::kRegions;
using morvane_tables::Region;

constexpr std::uint32_t kAllBits = 0xFFFFFFFFu;

constexpr std::uint32_t Bit(int position) {
    return std::uint32_t{1} << (31 - position);
}

constexpr bool IsPlayingSquare(int s) {
    return s >= 0 && s < 120 && (s & 15) <= 7;
}

// One mask word's tables in the engine.
struct MaskWord {
    int* squareList;
    int& regionCount;
    int* regionEnd;
    int* regionFirstDir;
    int* regionLastDir;
    std::uint32_t* regionMask;
    int* positionRegion;
    std::uint32_t* clearMask;
    std::uint32_t* neighbourBits;
    std::uint32_t* emptyBits;
    std::uint32_t* frontierBits;
};

// The empty squares of regions [first, end) in region order, x then y inside a region, as the
// word's first positions and its used regions; returns how many positions they take.
int CollectRegions(const int* board, const MaskWord& w, int first, int end) {
    for (int p = 0; p < 32; ++p) {
        w.squareList[p] = Morvane::kNoMove;
        w.positionRegion[p] = 0;
    }
    w.regionCount = 0;
    int filled = 0;
    for (int r = first; r < end; ++r) {
        const Region& region = kRegions[r];
        const int from = filled;
        for (int x = region.xFirst; x <= region.xLast; ++x)
            for (int y = region.yFirst; y <= region.yLast; ++y)
                if (board[x * 16 + y] == 0) w.squareList[filled++] = Morvane::SquareIndex(x, y);
        if (filled == from) continue;  // a region without empty squares is not used
        const int used = w.regionCount++;
        w.regionEnd[used] = filled;
        w.regionFirstDir[used] = region.firstDir;
        w.regionLastDir[used] = region.lastDir;
        w.regionMask[used] = 0;
        for (int p = from; p < filled; ++p) {
            w.regionMask[used] |= Bit(p);
            w.positionRegion[p] = used;
        }
    }
    return filled;
}

// The occupied squares fill the positions left, word 1 first.
void PlaceOccupied(const int* board, const MaskWord (&words)[2], int filled1, int filled2) {
    int next[2] = {filled1, filled2};
    for (int x = 1; x <= 8; ++x) {
        for (int y = 1; y <= 8; ++y) {
            if (board[x * 16 + y] == 0) continue;
            const int w = next[0] < 32 ? 0 : 1;
            words[w].squareList[next[w]++] = Morvane::SquareIndex(x, y);
        }
    }
}

// Per square, in each word: all bits but its own (clear mask), and the bits of itself and its
// neighbouring playing squares (neighbour bits).
void SetSquareMasks(const MaskWord (&words)[2]) {
    struct Owner {
        int word, position;
    };
    Owner owner[120];
    for (int w = 0; w < 2; ++w)
        for (int p = 0; p < 32; ++p)
            owner[words[w].squareList[p]] = {w, p};
    for (int x = 1; x <= 8; ++x) {
        for (int y = 1; y <= 8; ++y) {
            const int s = Morvane::SquareIndex(x, y);
            for (const MaskWord& w : words) {
                w.clearMask[s] = kAllBits;
                w.neighbourBits[s] = 0;
            }
            const Owner own = owner[s];
            words[own.word].clearMask[s] = ~Bit(own.position);
            words[own.word].neighbourBits[s] = Bit(own.position);
            for (int d = 0; d < 8; ++d) {
                const int t = s + Morvane::dirOffset[d];
                if (IsPlayingSquare(t))
                    words[owner[t].word].neighbourBits[s] |= Bit(owner[t].position);
            }
        }
    }
}

// Level 0: the empty squares, and the frontier of every disc.
void SetRootMasks(const int* board, const MaskWord (&words)[2]) {
    for (const MaskWord& w : words) {
        w.emptyBits[0] = kAllBits;
        w.frontierBits[0] = 0;
    }
    for (int x = 1; x <= 8; ++x) {
        for (int y = 1; y <= 8; ++y) {
            if (board[x * 16 + y] == 0) continue;
            const int s = Morvane::SquareIndex(x, y);
            for (const MaskWord& w : words) {
                w.emptyBits[0] &= w.clearMask[s];
                w.frontierBits[0] |= w.neighbourBits[s];
            }
        }
    }
}

}  // namespace

int Morvane::PrepareSearch() {
    const bool narrow = 64 - CountDiscs() <= 32;
    const MaskWord words[2] = {
        {squareList1, regionCount1, regionEnd1, regionFirstDir1, regionLastDir1, regionMask1,
         positionRegion1, clearMask1, neighbourBits1, emptyBits1, frontierBits1},
        {squareList2, regionCount2, regionEnd2, regionFirstDir2, regionLastDir2, regionMask2,
         positionRegion2, clearMask2, neighbourBits2, emptyBits2, frontierBits2},
    };
    // Word 1 takes every region when narrow, else regions 0..4 and word 2 the others.
    const int split = narrow ? 9 : 5;
    const int filled1 = CollectRegions(board, words[0], 0, split);
    const int filled2 = CollectRegions(board, words[1], split, 9);
    PlaceOccupied(board, words, filled1, filled2);
    SetSquareMasks(words);
    SetRootMasks(board, words);
    ownBits = morvane_hot::DiscBits(board, 1);
    oppBits = morvane_hot::DiscBits(board, -1);
    discDiff = SumBoard();
    return narrow ? 1 : 0;
}

int Morvane::GenerateMoves(int k) {
    return GenerateMovesHot(k);
}

int Morvane::GenerateMovesWide(int k) {
    return GenerateMovesWideHot(k);
}
