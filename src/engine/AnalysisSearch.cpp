#include "AnalysisSearch.h"

#include <algorithm>
#include <array>

namespace {

using u64 = AnalysisSearch::u64;

constexpr u64 kCorners = 0x8100000000000081ULL;
constexpr u64 kNotEdgeFiles = 0x7E7E7E7E7E7E7E7EULL;  // no run wraps round an edge
// At this many empty squares or fewer the solver stops sorting: nearly all nodes, each too cheap
// to pay for it (4 to 7 tried on FFO #21-#29).
constexpr int kSmallEmpties = 4;
// The table: two entries a bucket, 2^20 entries (24 MB), enough for a 20-empties solve.
constexpr std::size_t kTableEntries = std::size_t{1} << 20;
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

template <int Shift>
inline u64 Shifted(u64 b) {
    if constexpr (Shift > 0)
        return b << Shift;
    else
        return b >> -Shift;
}

// The squares beyond a run of M (the other side's discs) that starts next to P, in one direction.
template <int Shift>
inline u64 Beyond(u64 P, u64 M) {
    u64 run = M & Shifted<Shift>(P);
    run |= M & Shifted<Shift>(run);
    const u64 pairs = M & Shifted<Shift>(M);
    run |= pairs & Shifted<2 * Shift>(run);
    run |= pairs & Shifted<2 * Shift>(run);
    return Shifted<Shift>(run);
}

// Per square, the squares of each ray from it: four that ascend (x+1; y+1; x+1, y+1; x-1, y+1)
// and the four opposite ones, which descend.
struct Rays {
    u64 up[64][4];
    u64 down[64][4];
};

constexpr Rays MakeRays() {
    Rays r{};
    constexpr int kDx[4] = {1, 0, 1, -1};
    constexpr int kDy[4] = {0, 1, 1, 1};
    for (int sq = 0; sq < 64; ++sq)
        for (int d = 0; d < 4; ++d)
            for (int way = 1; way >= -1; way -= 2) {
                u64 ray = 0;
                for (int x = sq % 8 + way * kDx[d], y = sq / 8 + way * kDy[d];
                     x >= 0 && x < 8 && y >= 0 && y < 8; x += way * kDx[d], y += way * kDy[d])
                    ray |= u64{1} << (y * 8 + x);
                (way > 0 ? r.up : r.down)[sq][d] = ray;
            }
    return r;
}
constexpr Rays kRays = MakeRays();

inline int CountBits(u64 b) {
    b = b - ((b >> 1) & 0x5555555555555555ULL);
    b = (b & 0x3333333333333333ULL) + ((b >> 2) & 0x3333333333333333ULL);
    b = (b + (b >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return static_cast<int>((b * 0x0101010101010101ULL) >> 56);
}

inline u64 LegalMoves(u64 P, u64 O) {
    const u64 inner = O & kNotEdgeFiles;
    return (Beyond<1>(P, inner) | Beyond<-1>(P, inner) | Beyond<8>(P, O) | Beyond<-8>(P, O) |
            Beyond<7>(P, inner) | Beyond<-7>(P, inner) | Beyond<9>(P, inner) |
            Beyond<-9>(P, inner)) &
           ~(P | O);
}

// Along each ray the first square that is not O ends the run; the run flips when that square is
// P's. Ascending rays find it as the lowest such bit, descending ones as the highest.
inline u64 FlipsOf(int sq, u64 P, u64 O) {
    u64 flips = 0;
    for (int d = 0; d < 4; ++d) {
        const u64 ray = kRays.up[sq][d];
        const u64 end = ~O & ray;
        const u64 first = end & (0 - end);
        if ((first & P) != 0) flips |= (first - 1) & ray;
    }
    for (int d = 0; d < 4; ++d) {
        const u64 ray = kRays.down[sq][d];
        const u64 end = ~O & ray;
        const u64 first = u64{0x8000000000000000ULL} >> __builtin_clzll(end | 1);
        if ((first & ray & P) != 0) flips |= ray & ~((first << 1) - 1);
    }
    return flips;
}

constexpr std::array<u64, 64> MakeNeighbours() {
    std::array<u64, 64> n{};
    for (int sq = 0; sq < 64; ++sq)
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const int x = sq % 8 + dx;
                const int y = sq / 8 + dy;
                if ((dx != 0 || dy != 0) && x >= 0 && x < 8 && y >= 0 && y < 8)
                    n[static_cast<std::size_t>(sq)] |= u64{1} << (y * 8 + x);
            }
    return n;
}
constexpr std::array<u64, 64> kNeighbours = MakeNeighbours();

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

// Disc difference of P at the end, a wipe-out 100 further from 0.
inline int FinalExact(u64 P, u64 O) {
    const int p = CountBits(P);
    const int o = CountBits(O);
    return p - o + (o == 0 ? AnalysisSearch::kWipeOut : p == 0 ? -AnalysisSearch::kWipeOut : 0);
}

// A finished game on the engine's scale, from P's view.
inline int FinalPoints(u64 P, u64 O) {
    const int p = CountBits(P);
    const int o = CountBits(O);
    return Morvane::FinalScore(p - o, 64 - p - o);
}

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

}  // namespace

int AnalysisSearch::Count(u64 b) {
    return CountBits(b);
}

u64 AnalysisSearch::Moves(u64 P, u64 O) {
    return LegalMoves(P, O);
}

u64 AnalysisSearch::Flips(int sq, u64 P, u64 O) {
    return FlipsOf(sq, P, O);
}

struct AnalysisSearch::Entry {
    u64 P = 0;
    u64 O = 0;
    std::int16_t lower = 0;
    std::int16_t upper = 0;
    std::uint8_t move = kNoMove;
    std::uint8_t kind = kFree;
    std::int8_t depth = 0;  // empty squares (exact) or plies (midgame)
};

// The moves of a node, best first by `key` (lower first), taken one at a time.
struct AnalysisSearch::MoveList {
    int count = 0;
    int square[64];
    u64 flips[64];
    int key[64];

    void Add(int sq, u64 f, int k) {
        square[count] = sq;
        flips[count] = f;
        key[count] = k;
        ++count;
    }
    // Brings the best of moves i.. to place i.
    void Select(int i) {
        int best = i;
        for (int j = i + 1; j < count; ++j)
            if (key[j] < key[best]) best = j;
        if (best == i) return;
        std::swap(square[i], square[best]);
        std::swap(flips[i], flips[best]);
        std::swap(key[i], key[best]);
    }
};

AnalysisSearch::AnalysisSearch(const std::atomic<bool>& stop)
    : stop_(stop), table_(kTableEntries), evaluator_(std::make_unique<Morvane>()) {}

AnalysisSearch::~AnalysisSearch() = default;

void AnalysisSearch::Begin() {
    stopped_ = false;
    nodes_ = 0;
}

bool AnalysisSearch::CheckStop() {
    if (!stopped_ && stop_.load(std::memory_order_relaxed)) stopped_ = true;
    return stopped_;
}

AnalysisSearch::Entry* AnalysisSearch::Probe(u64 P, u64 O, std::uint8_t kind, int depth) {
    Entry* bucket = &table_[Hash(P, O) & (kTableEntries - 2)];
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

void AnalysisSearch::Store(u64 P, u64 O, std::uint8_t kind, int depth, int alpha, int beta,
                           int value, int move) {
    Entry* bucket = &table_[Hash(P, O) & (kTableEntries - 2)];
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

int AnalysisSearch::Exact(u64 P, u64 O, int alpha, int beta) {
    const int n = 64 - CountBits(P | O);
    if (n == 0) return FinalExact(P, O);
    return Solve(P, O, n, alpha, beta);
}

int AnalysisSearch::SolveLast(u64 P, u64 O, int sq) {
    ++nodes_;
    const u64 bit = u64{1} << sq;
    if (u64 f = FlipsOf(sq, P, O); f != 0) return FinalExact(P | f | bit, O ^ f);
    if (u64 f = FlipsOf(sq, O, P); f != 0) return FinalExact(P ^ f, O | f | bit);
    return FinalExact(P, O);
}

// Squares in odd quadrants first: there the side to move is likely to have the last move.
int AnalysisSearch::SolveSmall(u64 P, u64 O, int n, int alpha, int beta, const int* empties,
                               unsigned parity) {
    ++nodes_;
    int best = -kUnbounded;
    bool moved = false;
    for (unsigned odd = 1; odd <= 1; --odd) {
        for (int i = 0; i < n; ++i) {
            const int sq = empties[i];
            const int q = Quadrant(sq);
            if (((parity >> q) & 1u) != odd || (kNeighbours[sq] & O) == 0) continue;
            const u64 f = FlipsOf(sq, P, O);
            if (f == 0) continue;
            moved = true;
            const u64 nextP = O ^ f;
            const u64 nextO = P ^ f ^ (u64{1} << sq);
            int v;
            if (n == 2) {
                v = -SolveLast(nextP, nextO, empties[1 - i]);
            } else {
                int rest[kSmallEmpties];
                for (int j = 0, k = 0; j < n; ++j)
                    if (j != i) rest[k++] = empties[j];
                v = -SolveSmall(nextP, nextO, n - 1, -beta, -std::max(alpha, best), rest,
                                parity ^ (1u << q));
            }
            if (v > best) {
                best = v;
                if (best >= beta) return best;
            }
        }
    }
    if (moved) return best;
    for (int i = 0; i < n; ++i)
        if ((kNeighbours[empties[i]] & P) != 0 && FlipsOf(empties[i], O, P) != 0)
            return -SolveSmall(O, P, n, -beta, -alpha, empties, parity);
    return FinalExact(P, O);
}

int AnalysisSearch::Solve(u64 P, u64 O, int n, int alpha, int beta) {
    if (n == 1) {
        const u64 empty = ~(P | O);
        return SolveLast(P, O, __builtin_ctzll(empty));
    }
    if (n <= kSmallEmpties) {
        const u64 empty = ~(P | O);
        int empties[kSmallEmpties];
        unsigned parity = 0;
        int k = 0;
        for (u64 bits = empty; bits != 0; bits &= bits - 1) {
            const int sq = __builtin_ctzll(bits);
            parity ^= 1u << Quadrant(sq);
            int j = k++;
            for (; j > 0 && kSquareRank[empties[j - 1]] > kSquareRank[sq]; --j)
                empties[j] = empties[j - 1];
            empties[j] = sq;
        }
        return SolveSmall(P, O, n, alpha, beta, empties, parity);
    }
    ++nodes_;
    if (CheckStop()) return 0;
    const bool hashed = n >= kHashEmpties;
    if (hashed) __builtin_prefetch(&table_[Hash(P, O) & (kTableEntries - 2)]);
    u64 moves = LegalMoves(P, O);
    if (moves == 0) {
        if (LegalMoves(O, P) == 0) return FinalExact(P, O);
        return -Solve(O, P, n, -beta, -alpha);
    }
    // However the game goes on, P loses every disc of O that can never be flipped.
    if (hashed && alpha >= kStabilityAlpha) {
        const int most = 64 - 2 * CountBits(StableDiscs(O, P | O));
        if (most <= alpha) return most;
    }
    int ttMove = kNoMove;
    if (Entry* e = hashed ? Probe(P, O, kExactEntry, n) : nullptr) {
        if (e->lower >= beta) return e->lower;
        if (e->upper <= alpha) return e->upper;
        if (e->lower == e->upper) return e->lower;
        ttMove = e->move;
        alpha = std::max<int>(alpha, e->lower);
        beta = std::min<int>(beta, e->upper);
    }
    // Far from the end a node the table knows nothing of tries first the best move of a short
    // search.
    if (ttMove == kNoMove && n >= kFirstMoveSearchEmpties) {
        Mid(P, O, n, kFirstMoveSearchDepth, -kUnbounded, kUnbounded);
        if (const Entry* e = Probe(P, O, kMidgameEntry, kFirstMoveSearchDepth)) ttMove = e->move;
    }
    const int alpha0 = alpha;
    int best = -kUnbounded;
    int bestMove = kNoMove;
    // Where no child is looked up first, the table's move goes first, and when it cuts the node
    // off the other moves are never ordered.
    if (ttMove != kNoMove && n <= kEtcEmpties && ((moves >> ttMove) & 1u) != 0) {
        const u64 f = FlipsOf(ttMove, P, O);
        best = -Solve(O ^ f, P ^ f ^ (u64{1} << ttMove), n - 1, -beta, -alpha);
        if (stopped_) return 0;
        bestMove = ttMove;
        if (best >= beta) {
            Store(P, O, kExactEntry, n, alpha0, beta, best, bestMove);
            return best;
        }
        alpha = std::max(alpha, best);
        moves &= ~(u64{1} << ttMove);
    }
    MoveList list;
    for (; moves != 0; moves &= moves - 1) {
        const int sq = __builtin_ctzll(moves);
        const u64 f = FlipsOf(sq, P, O);
        const u64 nextP = O ^ f;
        const u64 nextO = P ^ f ^ (u64{1} << sq);
        if (n > kEtcEmpties) {
            if (const Entry* e = Probe(nextP, nextO, kExactEntry, n - 1); e && -e->upper >= beta)
                return -e->upper;
        }
        const u64 replies = LegalMoves(nextP, nextO);
        // Fastest first: the fewest replies, corners counted twice; far from the end the
        // static value after the move as well.
        int key = CountBits(replies) + CountBits(replies & kCorners);
        if (n >= kOrderByValueEmpties) key = 2 * key + Evaluate(nextP, nextO);
        if (sq == ttMove) key = -100000;
        list.Add(sq, f, key);
    }
    for (int i = 0; i < list.count; ++i) {
        list.Select(i);
        const int sq = list.square[i];
        const u64 f = list.flips[i];
        const u64 nextP = O ^ f;
        const u64 nextO = P ^ f ^ (u64{1} << sq);
        int v;
        if (i == 0 && bestMove == kNoMove) {
            v = -Solve(nextP, nextO, n - 1, -beta, -alpha);
        } else {
            v = -Solve(nextP, nextO, n - 1, -alpha - 1, -alpha);
            if (v > alpha && v < beta) v = -Solve(nextP, nextO, n - 1, -beta, -v);
        }
        if (stopped_) return 0;
        if (v > best) {
            best = v;
            bestMove = sq;
            if (best >= beta) break;
            alpha = std::max(alpha, best);
        }
    }
    if (hashed) Store(P, O, kExactEntry, n, alpha0, beta, best, bestMove);
    return best;
}

int AnalysisSearch::Evaluate(u64 P, u64 O) {
    evaluator_->ownBits = P;
    evaluator_->oppBits = O;
    return evaluator_->EvaluateBits();
}

int AnalysisSearch::Midgame(u64 P, u64 O, int depth, int alpha, int beta) {
    return Mid(P, O, 64 - CountBits(P | O), depth, alpha, beta);
}

int AnalysisSearch::Mid(u64 P, u64 O, int n, int depth, int alpha, int beta) {
    ++nodes_;
    if (CheckStop()) return 0;
    if (n == 0) return FinalPoints(P, O);
    if (depth == 0) return Evaluate(P, O);
    u64 moves = LegalMoves(P, O);
    if (moves == 0) {
        if (LegalMoves(O, P) == 0) return FinalPoints(P, O);
        return -Mid(O, P, n, depth - 1, -beta, -alpha);
    }
    int ttMove = kNoMove;
    if (Entry* e = Probe(P, O, kMidgameEntry, depth)) {
        if (e->lower >= beta) return e->lower;
        if (e->upper <= alpha) return e->upper;
        if (e->lower == e->upper) return e->lower;
        ttMove = e->move;
        alpha = std::max<int>(alpha, e->lower);
        beta = std::min<int>(beta, e->upper);
    }
    MoveList list;
    for (; moves != 0; moves &= moves - 1) {
        const int sq = __builtin_ctzll(moves);
        const u64 f = FlipsOf(sq, P, O);
        // Above the leaves, the best static value after the move first.
        const int key = sq == ttMove ? -100000
                        : depth >= 2 ? Evaluate(O ^ f, P ^ f ^ (u64{1} << sq))
                                     : 0;
        list.Add(sq, f, key);
    }
    const int alpha0 = alpha;
    int best = -kUnbounded;
    int bestMove = kNoMove;
    for (int i = 0; i < list.count; ++i) {
        list.Select(i);
        const int sq = list.square[i];
        const u64 f = list.flips[i];
        const u64 nextP = O ^ f;
        const u64 nextO = P ^ f ^ (u64{1} << sq);
        int v;
        if (i == 0) {
            v = -Mid(nextP, nextO, n - 1, depth - 1, -beta, -alpha);
        } else {
            v = -Mid(nextP, nextO, n - 1, depth - 1, -alpha - 1, -alpha);
            if (v > alpha && v < beta) v = -Mid(nextP, nextO, n - 1, depth - 1, -beta, -v);
        }
        if (stopped_) return 0;
        if (v > best) {
            best = v;
            bestMove = sq;
            if (best >= beta) break;
            alpha = std::max(alpha, best);
        }
    }
    Store(P, O, kMidgameEntry, depth, alpha0, beta, best, bestMove);
    return best;
}
