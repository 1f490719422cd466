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

// Appends the empty squares of one region to a square list; returns how many.
int CollectRegion(const int* board, const Region& region, int* squareList, int position) {
    int count = 0;
    for (int x = region.xFirst; x <= region.xLast; ++x) {
        for (int y = region.yFirst; y <= region.yLast; ++y) {
            if (board[x * 16 + y] == 0) squareList[position + count++] = Morvane::SquareIndex(x, y);
        }
    }
    return count;
}

}  // namespace

int Morvane::PrepareSearch() {
    const int empties = 64 - CountDiscs();
    const bool narrow = empties <= 32;
    for (int p = 0; p < 32; ++p) {
        squareList1[p] = kNoMove;
        squareList2[p] = kNoMove;
    }

    // Empty squares by region: word 1 takes every region when narrow, else regions 0..4.
    regionCount1 = 0;
    regionCount2 = 0;
    int filled1 = 0;
    int filled2 = 0;
    const int lastRegion1 = narrow ? 8 : 4;
    for (int r = 0; r <= lastRegion1; ++r) {
        const int n = CollectRegion(board, kRegions[r], squareList1, filled1);
        if (n == 0) continue;
        filled1 += n;
        regionEnd1[regionCount1] = filled1;
        regionFirstDir1[regionCount1] = kRegions[r].firstDir;
        regionLastDir1[regionCount1] = kRegions[r].lastDir;
        ++regionCount1;
    }
    if (!narrow) {
        for (int r = 5; r <= 8; ++r) {
            const int n = CollectRegion(board, kRegions[r], squareList2, filled2);
            if (n == 0) continue;
            filled2 += n;
            regionEnd2[regionCount2] = filled2;
            regionFirstDir2[regionCount2] = kRegions[r].firstDir;
            regionLastDir2[regionCount2] = kRegions[r].lastDir;
            ++regionCount2;
        }
    }
    auto regionBits = [](int from, int to) {
        std::uint32_t mask = 0;
        for (int p = from; p < to; ++p)
            mask |= Bit(p);
        return mask;
    };
    for (int p = 0; p < 32; ++p) {
        positionRegion1[p] = 0;
        positionRegion2[p] = 0;
    }
    for (int r = 0; r < regionCount1; ++r) {
        const int first = r == 0 ? 0 : regionEnd1[r - 1];
        regionMask1[r] = regionBits(first, regionEnd1[r]);
        for (int p = first; p < regionEnd1[r]; ++p)
            positionRegion1[p] = r;
    }
    for (int r = 0; r < regionCount2; ++r) {
        const int first = r == 0 ? 0 : regionEnd2[r - 1];
        regionMask2[r] = regionBits(first, regionEnd2[r]);
        for (int p = first; p < regionEnd2[r]; ++p)
            positionRegion2[p] = r;
    }

    // The occupied squares fill the remaining positions, word 1 first.
    int i = 0;
    for (int x = 1; x <= 8; ++x) {
        for (int y = 1; y <= 8; ++y) {
            if (board[x * 16 + y] == 0) continue;
            const int p1 = filled1 + i;
            if (p1 < 32)
                squareList1[p1] = SquareIndex(x, y);
            else
                squareList2[filled1 + i + filled2 - 32] = SquareIndex(x, y);
            ++i;
        }
    }

    // Clear masks and neighbour bits; positions are found through the two square lists.
    int wordOf[120];
    int positionOf[120];
    for (int p = 0; p < 32; ++p) {
        wordOf[squareList1[p]] = 1;
        positionOf[squareList1[p]] = p;
        wordOf[squareList2[p]] = 2;
        positionOf[squareList2[p]] = p;
    }
    for (int x = 1; x <= 8; ++x) {
        for (int y = 1; y <= 8; ++y) {
            const int s = SquareIndex(x, y);
            const std::uint32_t own = Bit(positionOf[s]);
            if (wordOf[s] == 1) {
                clearMask1[s] = ~own;
                clearMask2[s] = kAllBits;
                neighbourBits1[s] = own;
                neighbourBits2[s] = 0;
            } else {
                clearMask1[s] = kAllBits;
                clearMask2[s] = ~own;
                neighbourBits1[s] = 0;
                neighbourBits2[s] = own;
            }
            for (int d = 0; d < 8; ++d) {
                const int t = s + dirOffset[d];
                if (!IsPlayingSquare(t)) continue;
                if (wordOf[t] == 1)
                    neighbourBits1[s] |= Bit(positionOf[t]);
                else
                    neighbourBits2[s] |= Bit(positionOf[t]);
            }
        }
    }

    std::uint32_t empty1 = kAllBits;
    std::uint32_t empty2 = kAllBits;
    std::uint32_t frontier1 = 0;
    std::uint32_t frontier2 = 0;
    for (int x = 1; x <= 8; ++x) {
        for (int y = 1; y <= 8; ++y) {
            if (board[x * 16 + y] == 0) continue;
            const int s = SquareIndex(x, y);
            empty1 &= clearMask1[s];
            empty2 &= clearMask2[s];
            frontier1 |= neighbourBits1[s];
            frontier2 |= neighbourBits2[s];
        }
    }
    emptyBits1[0] = empty1;
    emptyBits2[0] = empty2;
    frontierBits1[0] = frontier1;
    frontierBits2[0] = frontier2;

    ownBits = 0;
    oppBits = 0;
    for (int x = 1; x <= 8; ++x) {
        for (int y = 1; y <= 8; ++y) {
            const std::uint64_t bit = std::uint64_t{1} << ((y - 1) * 8 + (x - 1));
            if (board[x * 16 + y] == 1) ownBits |= bit;
            if (board[x * 16 + y] == -1) oppBits |= bit;
        }
    }
    discDiff = SumBoard();
    return narrow ? 1 : 0;
}

int Morvane::GenerateMoves(int k) {
    return GenerateMovesHot(k);
}

int Morvane::GenerateMovesWide(int k) {
    return GenerateMovesWideHot(k);
}
