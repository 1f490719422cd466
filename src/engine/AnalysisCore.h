// The analysis's exact solver and depth-limited search over one instruction set's copy of the
// engine's bit primitives (Moves, Flip, Count, Evaluate).
// Included once per instruction set by AnalysisSearch.cpp (no include guard).

inline bool CheckStop(State& s) {
    if (!s.stopped && s.stop.load(std::memory_order_relaxed)) s.stopped = true;
    return s.stopped;
}

// Disc difference of P at the end, a wipe-out 100 further from 0.
inline int ExactOfCounts(int p, int o) {
    return p - o + (o == 0 ? AnalysisSearch::kWipeOut : p == 0 ? -AnalysisSearch::kWipeOut : 0);
}

inline int FinalExact(u64 P, u64 O) {
    return ExactOfCounts(Count(P), Count(O));
}

// A finished game on the engine's scale, from P's view.
inline int FinalPoints(u64 P, u64 O) {
    const int p = Count(P);
    const int o = Count(O);
    return Morvane::FinalScore(p - o, 64 - p - o);
}

// The moves of a node, best first by `key` (lower first), taken one at a time.
struct MoveList {
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

struct Searcher {
    State& s;

    int Solve(u64 P, u64 O, int n, int alpha, int beta);
    template <int N>
    int SolveSmall(u64 P, u64 O, int alpha, int beta, const int* empties, unsigned parity);
    int SolveTwo(u64 P, u64 O, int alpha, int beta, int a, int b);
    // SolveSmall<n> for 3 <= n <= N.
    template <int N>
    int SolveUpTo(u64 P, u64 O, int n, int alpha, int beta, const int* empties, unsigned parity) {
        if constexpr (N > 3)
            if (n < N) return SolveUpTo<N - 1>(P, O, n, alpha, beta, empties, parity);
        return SolveSmall<N>(P, O, alpha, beta, empties, parity);
    }
    int SolveLast(u64 P, u64 O, int sq);
    int Mid(u64 P, u64 O, int n, int depth, int alpha, int beta);
};

// One empty square: the discs the move flips are counted from the lines through it, without
// making the move.
int Searcher::SolveLast(u64 P, u64 O, int sq) {
    ++s.nodes;
    const int p = Count(P);
    if (const int f = LastFlips(P, sq); f != 0) return ExactOfCounts(p + f + 1, 63 - p - f);
    if (const int f = LastFlips(O, sq); f != 0) return ExactOfCounts(p - f, 64 - p + f);
    return ExactOfCounts(p, 63 - p);
}

// Two empty squares, a before b in the order of kSquarePriority (at two empties parity orders
// nothing).
int Searcher::SolveTwo(u64 P, u64 O, int alpha, int beta, int a, int b) {
    ++s.nodes;
    int best = -kUnbounded;
    if (const u64 f = (kRays.neighbours[a] & O) != 0 ? Flip(a, P, O) : 0; f != 0) {
        best = -SolveLast(O ^ f, P ^ f ^ (u64{1} << a), b);
        if (best >= beta) return best;
    }
    if (const u64 f = (kRays.neighbours[b] & O) != 0 ? Flip(b, P, O) : 0; f != 0)
        return std::max(best, -SolveLast(O ^ f, P ^ f ^ (u64{1} << b), a));
    if (best != -kUnbounded) return best;
    // P passes; O's moves, valued from P's view.
    ++s.nodes;
    int worst = kUnbounded;
    if (const u64 f = (kRays.neighbours[a] & P) != 0 ? Flip(a, O, P) : 0; f != 0) {
        worst = SolveLast(P ^ f, O ^ f ^ (u64{1} << a), b);
        if (worst <= alpha) return worst;
    }
    if (const u64 f = (kRays.neighbours[b] & P) != 0 ? Flip(b, O, P) : 0; f != 0)
        return std::min(worst, SolveLast(P ^ f, O ^ f ^ (u64{1} << b), a));
    return worst != kUnbounded ? worst : FinalExact(P, O);
}

// Squares in odd quadrants first: there the side to move is likely to have the last move.
template <int N>
int Searcher::SolveSmall(u64 P, u64 O, int alpha, int beta, const int* empties, unsigned parity) {
    ++s.nodes;
    int best = -kUnbounded;
    for (unsigned odd = 1; odd <= 1; --odd) {
#pragma GCC unroll 6
        for (int i = 0; i < N; ++i) {
            const int sq = empties[i];
            const int q = Quadrant(sq);
            if (((parity >> q) & 1u) != odd || (kRays.neighbours[sq] & O) == 0) continue;
            const u64 f = Flip(sq, P, O);
            if (f == 0) continue;
            const u64 nextP = O ^ f;
            const u64 nextO = P ^ f ^ (u64{1} << sq);
            int rest[N - 1];
            for (int j = 0, k = 0; j < N; ++j)
                if (j != i) rest[k++] = empties[j];
            int v;
            if constexpr (N == 3)
                v = -SolveTwo(nextP, nextO, -beta, -std::max(alpha, best), rest[0], rest[1]);
            else
                v = -SolveSmall<N - 1>(nextP, nextO, -beta, -std::max(alpha, best), rest,
                                       parity ^ (1u << q));
            if (v > best) {
                best = v;
                if (best >= beta) return best;
            }
        }
    }
    if (best != -kUnbounded) return best;
    for (int i = 0; i < N; ++i)
        if ((kRays.neighbours[empties[i]] & P) != 0 && Flip(empties[i], O, P) != 0)
            return -SolveSmall<N>(O, P, -beta, -alpha, empties, parity);
    return FinalExact(P, O);
}

int Searcher::Solve(u64 P, u64 O, int n, int alpha, int beta) {
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
        if (n == 2) return SolveTwo(P, O, alpha, beta, empties[0], empties[1]);
        return SolveUpTo<kSmallEmpties>(P, O, n, alpha, beta, empties, parity);
    }
    ++s.nodes;
    if (CheckStop(s)) return 0;
    const bool hashed = n >= kHashEmpties;
    if (hashed) __builtin_prefetch(&s.table[Hash(P, O) & (kTableEntries - 2)]);
    u64 moves = Moves(P, O);
    if (moves == 0) {
        if (Moves(O, P) == 0) return FinalExact(P, O);
        return -Solve(O, P, n, -beta, -alpha);
    }
    // However the game goes on, P loses every disc of O that can never be flipped.
    if (hashed && alpha >= kStabilityAlpha) {
        const int most = 64 - 2 * Count(StableDiscs(O, P | O));
        if (most <= alpha) return most;
    }
    int ttMove = kNoMove;
    if (Entry* e = hashed ? Probe(s, P, O, kExactEntry, n) : nullptr) {
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
        if (const Entry* e = Probe(s, P, O, kMidgameEntry, kFirstMoveSearchDepth)) ttMove = e->move;
    }
    const int alpha0 = alpha;
    int best = -kUnbounded;
    int bestMove = kNoMove;
    // Where no child is looked up first, the table's move goes first, and when it cuts the node
    // off the other moves are never ordered.
    if (ttMove != kNoMove && n <= kEtcEmpties && ((moves >> ttMove) & 1u) != 0) {
        const u64 f = Flip(ttMove, P, O);
        best = -Solve(O ^ f, P ^ f ^ (u64{1} << ttMove), n - 1, -beta, -alpha);
        if (s.stopped) return 0;
        bestMove = ttMove;
        if (best >= beta) {
            Store(s, P, O, kExactEntry, n, alpha0, beta, best, bestMove);
            return best;
        }
        alpha = std::max(alpha, best);
        moves &= ~(u64{1} << ttMove);
    }
    MoveList list;
    for (; moves != 0; moves &= moves - 1) {
        const int sq = __builtin_ctzll(moves);
        const u64 f = Flip(sq, P, O);
        const u64 nextP = O ^ f;
        const u64 nextO = P ^ f ^ (u64{1} << sq);
        if (n > kEtcEmpties) {
            if (const Entry* e = Probe(s, nextP, nextO, kExactEntry, n - 1); e && -e->upper >= beta)
                return -e->upper;
        }
        const u64 replies = Moves(nextP, nextO);
        // Fastest first: the fewest replies, corners counted twice; far from the end the
        // static value after the move as well.
        int key = Count(replies) + Count(replies & morvane_tables::kCorners);
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
        if (s.stopped) return 0;
        if (v > best) {
            best = v;
            bestMove = sq;
            if (best >= beta) break;
            alpha = std::max(alpha, best);
        }
    }
    if (hashed) Store(s, P, O, kExactEntry, n, alpha0, beta, best, bestMove);
    return best;
}

int Searcher::Mid(u64 P, u64 O, int n, int depth, int alpha, int beta) {
    ++s.nodes;
    if (CheckStop(s)) return 0;
    if (n == 0) return FinalPoints(P, O);
    if (depth == 0) return Evaluate(P, O);
    u64 moves = Moves(P, O);
    if (moves == 0) {
        if (Moves(O, P) == 0) return FinalPoints(P, O);
        return -Mid(O, P, n, depth - 1, -beta, -alpha);
    }
    int ttMove = kNoMove;
    if (Entry* e = Probe(s, P, O, kMidgameEntry, depth)) {
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
        const u64 f = Flip(sq, P, O);
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
        if (s.stopped) return 0;
        if (v > best) {
            best = v;
            bestMove = sq;
            if (best >= beta) break;
            alpha = std::max(alpha, best);
        }
    }
    Store(s, P, O, kMidgameEntry, depth, alpha0, beta, best, bestMove);
    return best;
}

int ExactValue(State& s, u64 P, u64 O, int alpha, int beta) {
    const int n = 64 - Count(P | O);
    if (n == 0) return FinalExact(P, O);
    return Searcher{s}.Solve(P, O, n, alpha, beta);
}

int MidgameValue(State& s, u64 P, u64 O, int depth, int alpha, int beta) {
    return Searcher{s}.Mid(P, O, 64 - Count(P | O), depth, alpha, beta);
}

constexpr AnalysisSearch::Functions kAnalysisFunctions = {ExactValue, MidgameValue, Moves, Flip};
