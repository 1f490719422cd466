#include "AnalysisSearch.h"

#include <algorithm>
#include <array>

#include "MorvaneBitTables.h"
#include "MorvaneTables.h"

namespace {

using u64 = AnalysisSearch::u64;

// At this many empty squares or fewer the solver stops sorting: nearly all nodes, each too cheap
// to pay for it (4 to 6 tried on FFO #21-#29: 5 the fewest instructions).
constexpr int kSmallEmpties = 5;
// The table: two entries a bucket, 2^18 entries (6 MB). On FFO #21-#29 2^16 to 2^20 tried: the
// larger ones save about 1 % of the nodes and lose more than that to cache and TLB misses.
constexpr std::size_t kTableEntries = std::size_t{1} << 18;
constexpr int kUnbounded = 30000;
// The stability bound is worth its cost only where it can cut, against a high alpha.
constexpr int kStabilityAlpha = 0;
// From this many empty squares on the solver keeps its nodes in the table; below, a node costs
// less than a probe that misses the cache (7 to 12 tried).
constexpr int kHashEmpties = 8;
// Above this many empty squares a node first looks whether a child's entry already cuts it off.
constexpr int kEtcEmpties = 13;
// From this many empty squares on the engine's evaluation joins the mobility in ordering moves.
constexpr int kOrderByValueEmpties = 13;
// A search this deep finds the first move of a node with this many empty squares or more; both
// tried on FFO #21-#29 (fewest nodes of 13..17 empties with 1..8 plies).
constexpr int kFirstMoveSearchEmpties = 15;
constexpr int kFirstMoveSearchDepth = 4;
constexpr std::uint8_t kNoMove = 64;
enum : std::uint8_t { kFree = 0, kExactEntry = 1, kMidgameEntry = 2 };

}  // namespace

struct AnalysisSearch::Entry {
    u64 P = 0;
    u64 O = 0;
    std::int16_t lower = 0;
    std::int16_t upper = 0;
    std::uint8_t move = kNoMove;
    std::uint8_t kind = kFree;
    std::int8_t depth = 0;  // empty squares (exact) or plies (midgame)
};

struct AnalysisSearch::Functions {
    int (*exact)(State& s, u64 P, u64 O, int alpha, int beta);
    int (*midgame)(State& s, u64 P, u64 O, int depth, int alpha, int beta);
    u64 (*moves)(u64 P, u64 O);
    u64 (*flips)(int sq, u64 P, u64 O);
};

namespace {

using Entry = AnalysisSearch::Entry;
using State = AnalysisSearch::State;

inline int Quadrant(int sq) {
    return (sq >= 32 ? 2 : 0) + ((sq & 7) >= 4 ? 1 : 0);
}

// The order in which the small-empties solver tries squares of equal parity: corners first,
// the squares next to corners last.
constexpr int kSquarePriority[64] = {
    0,  7,  56, 63, 2,  5,  16, 23, 40, 47, 58, 61, 18, 21, 42, 45, 3,  4,  24, 31, 32, 39,
    59, 60, 26, 29, 34, 37, 19, 20, 43, 44, 25, 30, 33, 38, 11, 12, 51, 52, 10, 13, 17, 22,
    41, 46, 50, 53, 1,  6,  8,  15, 48, 55, 57, 62, 9,  14, 49, 54, 27, 28, 35, 36,
};

constexpr std::array<int, 64> MakeSquareRank() {
    std::array<int, 64> rank{};
    for (int i = 0; i < 64; ++i)
        rank[static_cast<std::size_t>(kSquarePriority[i])] = i;
    return rank;
}
constexpr std::array<int, 64> kSquareRank = MakeSquareRank();

// The 8 rows, 8 columns and the 15 diagonals of each direction (shorter ones included).
struct LineMasks {
    u64 rows[8], columns[8], diagonals[15], antiDiagonals[15];
};

constexpr LineMasks MakeLineMasks() {
    LineMasks m{};
    for (int sq = 0; sq < 64; ++sq) {
        const int x = sq % 8;
        const int y = sq / 8;
        const u64 bit = u64{1} << sq;
        m.rows[y] |= bit;
        m.columns[x] |= bit;
        m.diagonals[x - y + 7] |= bit;
        m.antiDiagonals[x + y] |= bit;
    }
    return m;
}
constexpr LineMasks kLineMasks = MakeLineMasks();

template <std::size_t N>
inline u64 FullLines(const u64 (&lines)[N], u64 filled) {
    u64 full = 0;
    for (const u64 line : lines)
        if ((filled & line) == line) full |= line;
    return full;
}

// Discs of O that no move can ever flip: in each of the four directions the disc's line is full,
// or a neighbour along it is the board's edge or another such disc.
u64 StableDiscs(u64 O, u64 filled) {
    constexpr u64 kFileA = 0x0101010101010101ULL;
    constexpr u64 kFileH = 0x8080808080808080ULL;
    constexpr u64 kEdges = 0xFF818181818181FFULL;
    const u64 rows = FullLines(kLineMasks.rows, filled) | kFileA | kFileH;
    const u64 columns = FullLines(kLineMasks.columns, filled) | 0xFF000000000000FFULL;
    const u64 diagonals = FullLines(kLineMasks.diagonals, filled) | kEdges;
    const u64 antiDiagonals = FullLines(kLineMasks.antiDiagonals, filled) | kEdges;
    u64 stable = 0;
    for (;;) {
        const u64 next = O & (rows | ((stable << 1) & ~kFileA) | ((stable >> 1) & ~kFileH)) &
                         (columns | (stable << 8) | (stable >> 8)) &
                         (diagonals | ((stable << 9) & ~kFileA) | ((stable >> 9) & ~kFileH)) &
                         (antiDiagonals | ((stable << 7) & ~kFileH) | ((stable >> 7) & ~kFileA));
        if (next == stable) return stable;
        stable = next;
    }
}

inline u64 Hash(u64 P, u64 O) {
    u64 h = P * 0x9E3779B97F4A7C15ULL ^ (O + 0x632BE59BD9B4E019ULL) * 0xC2B2AE3D27D4EB4FULL;
    h ^= h >> 31;
    h *= 0xD6E8FEB86659FD93ULL;
    return h ^ (h >> 32);
}

inline Entry* Probe(State& s, u64 P, u64 O, std::uint8_t kind, int depth) {
    Entry* bucket = &s.table[Hash(P, O) & (kTableEntries - 2)];
    for (int i = 0; i < 2; ++i)
        if (bucket[i].kind == kind && bucket[i].P == P && bucket[i].O == O) {
            // Bounds count only for the same depth; the move orders any depth.
            if (bucket[i].depth != depth) {
                bucket[i].lower = -kUnbounded;
                bucket[i].upper = kUnbounded;
                bucket[i].depth = static_cast<std::int8_t>(depth);
            }
            return &bucket[i];
        }
    return nullptr;
}

inline void Store(State& s, u64 P, u64 O, std::uint8_t kind, int depth, int alpha, int beta,
                  int value, int move) {
    Entry* bucket = &s.table[Hash(P, O) & (kTableEntries - 2)];
    Entry* slot = nullptr;
    for (int i = 0; i < 2 && slot == nullptr; ++i)
        if (bucket[i].kind == kind && bucket[i].P == P && bucket[i].O == O &&
            bucket[i].depth == depth)
            slot = &bucket[i];
    if (slot == nullptr) {
        // Keep the entry that cost more to find.
        slot =
            bucket[0].kind == kFree || bucket[0].depth <= bucket[1].depth ? &bucket[0] : &bucket[1];
        *slot =
            Entry{P, O, -kUnbounded, kUnbounded, kNoMove, kind, static_cast<std::int8_t>(depth)};
    }
    if (value > alpha) slot->lower = static_cast<std::int16_t>(std::max<int>(slot->lower, value));
    if (value < beta) slot->upper = static_cast<std::int16_t>(std::min<int>(slot->upper, value));
    if (move != kNoMove) slot->move = static_cast<std::uint8_t>(move);
}

}  // namespace

// One copy of the searches per instruction set, over the engine's primitives of that set, as
// MorvaneSolve.cpp builds the game's bitboard search.
namespace generic_path {
namespace {
// clang-format off
#include "MorvaneBitsGeneric.h"
#include "MorvaneBitEval.h"
#include "AnalysisCore.h"
// clang-format on
}  // namespace
}  // namespace generic_path

#if MORVANE_CPU_DISPATCH
#pragma GCC push_options
#pragma GCC target("avx2,bmi,bmi2,popcnt,lzcnt")
namespace avx2_path {
namespace {
// clang-format off
#include "MorvaneBitsAvx2.h"
#include "MorvaneBitEval.h"
#include "AnalysisCore.h"
// clang-format on
}  // namespace
}  // namespace avx2_path
#pragma GCC pop_options
#endif

namespace {

const AnalysisSearch::Functions& FunctionsFor(Morvane::CpuPath path) {
#if MORVANE_CPU_DISPATCH
    if (path == Morvane::CpuPath::Avx2) return avx2_path::kAnalysisFunctions;
#endif
    (void)path;
    return generic_path::kAnalysisFunctions;
}

}  // namespace

AnalysisSearch::AnalysisSearch(const std::atomic<bool>& stop, Morvane::CpuPath path)
    : table_(kTableEntries), state_{stop, false, 0, nullptr}, functions_(FunctionsFor(path)) {
    state_.table = table_.data();
}

AnalysisSearch::~AnalysisSearch() = default;

void AnalysisSearch::Begin() {
    state_.stopped = false;
    state_.nodes = 0;
}

AnalysisSearch::u64 AnalysisSearch::Moves(u64 P, u64 O) const {
    return functions_.moves(P, O);
}

AnalysisSearch::u64 AnalysisSearch::Flips(int sq, u64 P, u64 O) const {
    return functions_.flips(sq, P, O);
}

int AnalysisSearch::Exact(u64 P, u64 O, int alpha, int beta) {
    return functions_.exact(state_, P, O, alpha, beta);
}

int AnalysisSearch::Midgame(u64 P, u64 O, int depth, int alpha, int beta) {
    return functions_.midgame(state_, P, O, depth, alpha, beta);
}
