// Every node below the root of Search and SearchWinLoss, searched on the engine's disc bitboards
// instead of the padded board: the same nodes in the same order with the same scores, cut-offs,
// passes and time checks, a fraction of the work per node. One copy for generic x86-64 (and any
// other processor), one for processors with AVX2, BMI2, POPCNT and LZCNT, chosen at run time.
// Ideas borrowed: flips by carry propagation and Kogge-Stone fills (common bitboard technique),
// the last square's flips counted from line patterns (as Edax counts its last flip).
#include <algorithm>
#include <array>
#include <cstdint>

#include "Morvane.h"
#include "MorvanePaths.h"
#include "MorvaneTables.h"

#if defined(__x86_64__) && defined(__GNUC__) && !defined(MORVANE_NO_CPU_DISPATCH)
#define MORVANE_CPU_DISPATCH 1
#include <immintrin.h>
#else
#define MORVANE_CPU_DISPATCH 0
#endif

// The bitboard search reads the engine's stop request and runs its time check at the same nodes
// as the padded-board search.
struct EndgameAccess {
    static bool Broken(const Morvane& e) { return e.Broken(); }
    static bool NodeMustStop(Morvane& e) { return e.NodeMustStop(); }
};

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

// The regions of the move generator in their order, as masks of a transposed board (x * 8 + y).
constexpr auto MakeGenerationRegions() {
    std::array<std::uint64_t, 9> masks{};
    for (std::size_t r = 0; r < 9; ++r) {
        const morvane_tables::Region& region = morvane_tables::kRegions[r];
        for (int x = region.xFirst; x <= region.xLast; ++x)
            for (int y = region.yFirst; y <= region.yLast; ++y)
                masks[r] |= std::uint64_t{1} << ((x - 1) * 8 + y - 1);
    }
    return masks;
}

constexpr std::array<std::uint64_t, 9> kGenerationRegions = MakeGenerationRegions();

}  // namespace

// One copy of the bitboard code per instruction set, each in a namespace of its own: its
// primitives, then the evaluation, the small-endgame solvers and the nodes over them. Only
// builtins, these files' own functions and the shared tables above are used, so nothing compiled
// for one instruction set can stand in for another's copy.
namespace generic_path {
namespace {
// In this order: each file uses those before it.
// clang-format off
#include "MorvaneBitsGeneric.h"
#include "MorvaneBitEval.h"
#include "MorvaneSmallSolve.h"
#include "MorvaneNodes.h"
// clang-format on
}  // namespace
}  // namespace generic_path

#if MORVANE_CPU_DISPATCH
#pragma GCC push_options
#pragma GCC target("avx2,bmi,bmi2,popcnt,lzcnt")
namespace avx2_path {
namespace {
// In this order: each file uses those before it.
// clang-format off
#include "MorvaneBitsAvx2.h"
#include "MorvaneBitEval.h"
#include "MorvaneSmallSolve.h"
#include "MorvaneNodes.h"
// clang-format on
}  // namespace
}  // namespace avx2_path
#pragma GCC pop_options
#endif

Morvane::CpuPath Morvane::BestCpuPath() {
#if MORVANE_CPU_DISPATCH
    static const CpuPath best = [] {
        __builtin_cpu_init();
        // Every extension the copy is compiled for: a virtual CPU may hide any one of them.
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") &&
                       __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("popcnt") &&
                       __builtin_cpu_supports("lzcnt")
                   ? CpuPath::Avx2
                   : CpuPath::Generic;
    }();
    return best;
#else
    return CpuPath::Generic;
#endif
}

const morvane_paths::PathFunctions& morvane_paths::Functions(Morvane::CpuPath path) {
#if MORVANE_CPU_DISPATCH
    if (path == Morvane::CpuPath::Avx2) return avx2_path::kFunctions;
#endif
    (void)path;
    return generic_path::kFunctions;
}

using morvane_paths::Functions;

SearchResult Morvane::SearchBelowRoot() {
    // The passing parent's hand-over holds the moves the child generates again.
    savedPassMoves = 0;
    const int sign = (level & 1) == 0 ? 1 : -1;
    // The bounds the padded-board search compares with, in the view of the side to move:
    // ancestors an odd number of levels up stop this node, those an even number up stop its
    // children; the root is left out while every root move is recorded.
    int ownSide = -kScoreBound;
    int otherSide = kScoreBound;
    for (int a = level - 1, odd = 1; a >= (recordRoot ? 1 : 0); --a, odd ^= 1) {
        const int value = sign * bestAtLevel[a];
        if (odd != 0)
            otherSide = std::min(otherSide, value);
        else
            ownSide = std::max(ownSide, value);
    }
    const std::uint64_t P = sign > 0 ? ownBits : oppBits;
    const std::uint64_t O = sign > 0 ? oppBits : ownBits;
    const SearchResult r =
        Functions(cpuPath).search(*this, P, O, rest, level, ownSide, otherSide, sign);
    return {r.move, sign * r.score};
}

int Morvane::WinLossBelowRoot() {
    const int sign = (level & 1) == 0 ? 1 : -1;
    const std::uint64_t P = sign > 0 ? ownBits : oppBits;
    const std::uint64_t O = sign > 0 ? oppBits : ownBits;
    return Functions(cpuPath).winLoss(*this, P, O, rest, level, sign);
}
