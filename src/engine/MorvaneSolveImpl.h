// The searches below the root on the disc bitboards: the evaluation, Search and SearchWinLoss
// nodes, and the small-endgame solvers under them. No include guard on purpose: MorvaneSolve.cpp
// includes this body once per instruction set, inside a namespace of its own, with
// MORVANE_SOLVE_AVX2 set or not. Only builtins and this file's own functions are used, so nothing
// compiled here for one instruction set can stand in for another's copy.
//
// Every node does what the padded-board search does at the same node, in the same order: count
// itself, score a finished game or the leaf level, stop on a break, run the time check when the
// node count says so, try the moves in generation order (sorted by the static value where the
// padded board sorts), cut off against the bounds of the open ancestors, count passes; the last
// empty square is taken without making the move. P holds the discs of the side to move, O the
// other side's; `sign` is +1 when the side to move is the engine (+1).

namespace {

using u64 = std::uint64_t;

// Ascending rays: the carry of ((O | ~M) + 1) stops on the first square of the ray that is not O,
// which closes the run when it holds P. Descending rays: the highest square of the ray that is
// not O, which closes the run when it holds P.
inline u64 FlipScalar(int sq, u64 P, u64 O) {
    u64 flips = 0;
    for (int d = 0; d < 4; ++d) {
        const u64 m = kRays.up[sq][d];
        const u64 close = ((O | ~m) + 1) & m & P;
        flips |= (close - (close != 0 ? 1 : 0)) & m;
    }
    for (int d = 0; d < 4; ++d) {
        const u64 m = kRays.down[sq][d];
        const u64 highest = u64{0x8000000000000000ULL} >> __builtin_clzll((~O & m) | 1);
        const u64 close = highest & m & P;
        flips |= m & (0 - (close << 1));
    }
    return flips;
}

#if MORVANE_SOLVE_AVX2

inline int Count(u64 b) {
    return __builtin_popcountll(b);
}

// Four rays at once: the ascending ones through a carry into the first square that is not O,
// the descending ones by filling the run of O (at most six squares) from the move outwards.
inline u64 FlipVector(int sq, u64 P, u64 O) {
    const __m256i p = _mm256_set1_epi64x(static_cast<long long>(P));
    const __m256i o = _mm256_set1_epi64x(static_cast<long long>(O));
    const __m256i ones = _mm256_set1_epi64x(-1);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i steps = _mm256_set_epi64x(7, 9, 8, 1);
    const __m256i steps2 = _mm256_add_epi64(steps, steps);

    const __m256i up = _mm256_load_si256(reinterpret_cast<const __m256i*>(kRays.up[sq]));
    // ((O | ~M) + 1) & M & P: the closing disc beyond the run, if any.
    const __m256i closeUp = _mm256_and_si256(
        _mm256_and_si256(_mm256_sub_epi64(_mm256_andnot_si256(up, ones) | o, ones), up), p);
    const __m256i noCloseUp = _mm256_cmpeq_epi64(closeUp, zero);
    __m256i flips = _mm256_andnot_si256(noCloseUp, _mm256_add_epi64(closeUp, ones)) & up;

    const __m256i down = _mm256_load_si256(reinterpret_cast<const __m256i*>(kRays.down[sq]));
    const __m256i od = o & down;
    const __m256i od2 = od & _mm256_srlv_epi64(od, steps);
    __m256i run =
        od & _mm256_srlv_epi64(_mm256_set1_epi64x(static_cast<long long>(u64{1} << sq)), steps);
    run |= od & _mm256_srlv_epi64(run, steps);
    run |= od2 & _mm256_srlv_epi64(run, steps2);
    run |= od2 & _mm256_srlv_epi64(run, steps2);
    const __m256i closeDown = _mm256_srlv_epi64(run, steps) & down & p;
    flips |= _mm256_andnot_si256(_mm256_cmpeq_epi64(closeDown, zero), run);

    const __m128i half = _mm256_castsi256_si128(flips) | _mm256_extracti128_si256(flips, 1);
    return static_cast<u64>(_mm_cvtsi128_si64(half | _mm_unpackhi_epi64(half, half)));
}

// The legal moves of P against O, four directions a lane, each run of O filled in three steps.
inline u64 Moves(u64 P, u64 O) {
    const __m256i steps = _mm256_set_epi64x(7, 9, 8, 1);
    const __m256i steps2 = _mm256_add_epi64(steps, steps);
    constexpr long long kInner = 0x7E7E7E7E7E7E7E7ELL;  // no run wraps round an edge
    const __m256i o = _mm256_set1_epi64x(static_cast<long long>(O)) &
                      _mm256_set_epi64x(kInner, kInner, -1, kInner);
    const __m256i p = _mm256_set1_epi64x(static_cast<long long>(P));
    const __m256i oUp = o & _mm256_sllv_epi64(o, steps);
    const __m256i oDown = o & _mm256_srlv_epi64(o, steps);
    __m256i up = o & _mm256_sllv_epi64(p, steps);
    __m256i down = o & _mm256_srlv_epi64(p, steps);
    up |= o & _mm256_sllv_epi64(up, steps);
    down |= o & _mm256_srlv_epi64(down, steps);
    up |= oUp & _mm256_sllv_epi64(up, steps2);
    down |= oDown & _mm256_srlv_epi64(down, steps2);
    up |= oUp & _mm256_sllv_epi64(up, steps2);
    down |= oDown & _mm256_srlv_epi64(down, steps2);
    const __m256i moves = _mm256_sllv_epi64(up, steps) | _mm256_srlv_epi64(down, steps);
    const __m128i half = _mm256_castsi256_si128(moves) | _mm256_extracti128_si256(moves, 1);
    return static_cast<u64>(_mm_cvtsi128_si64(half | _mm_unpackhi_epi64(half, half))) & ~(P | O);
}

inline int Mobility(u64 own, u64 opp) {
    return Count(Moves(own, opp)) - Count(Moves(opp, own));
}

#else

inline int Count(u64 x) {
    return morvane_tables::BitCount(x);
}

template <int Shift, class Bits>
inline Bits Shifted(Bits b) {
    if constexpr (Shift > 0)
        return b << Shift;
    else
        return b >> -Shift;
}

// Squares beyond a run of O that starts next to P in one direction, the run filled in three steps.
template <int Shift, class Bits>
inline Bits Closing(Bits P, Bits O) {
    const Bits pairs = O & Shifted<Shift>(O);
    Bits run = O & Shifted<Shift>(P);
    run |= O & Shifted<Shift>(run);
    run |= pairs & Shifted<2 * Shift>(run);
    run |= pairs & Shifted<2 * Shift>(run);
    return Shifted<Shift>(run);
}

inline u64 Moves(u64 P, u64 O) {
    const u64 inner = O & 0x7E7E7E7E7E7E7E7EULL;  // no run wraps round an edge
    return (Closing<1>(P, inner) | Closing<-1>(P, inner) | Closing<8>(P, O) | Closing<-8>(P, O) |
            Closing<7>(P, inner) | Closing<-7>(P, inner) | Closing<9>(P, inner) |
            Closing<-9>(P, inner)) &
           ~(P | O);
}

// Both sides' legal moves at once, one side per lane of an SSE2 register (GCC vector extension).
inline int Mobility(u64 own, u64 opp) {
    using BitPair = std::uint64_t __attribute__((vector_size(16)));
    constexpr u64 kInner = 0x7E7E7E7E7E7E7E7EULL;  // no run wraps round an edge
    const BitPair mine = {own, opp};
    const BitPair theirs = {opp, own};
    const BitPair inner = theirs & BitPair{kInner, kInner};
    const BitPair moves = Closing<1>(mine, inner) | Closing<-1>(mine, inner) |
                          Closing<8>(mine, theirs) | Closing<-8>(mine, theirs) |
                          Closing<7>(mine, inner) | Closing<-7>(mine, inner) |
                          Closing<9>(mine, inner) | Closing<-9>(mine, inner);
    const u64 empty = ~(own | opp);
    return Count(moves[0] & empty) - Count(moves[1] & empty);
}

#endif

inline u64 Flip(int sq, u64 P, u64 O) {
#if MORVANE_SOLVE_AVX2
    return FlipVector(sq, P, O);
#else
    return FlipScalar(sq, P, O);
#endif
}

// The discs of B that a corner held by B anchors: lines of constant x, from the corner's column
// on, marked along y from the corner's row, then lines of constant y marked along x; each line
// at most one cell fewer than the line before unless that one was full. Right: the corner is on
// the h-file; Top: on the eighth row.
template <bool Right, bool Top>
inline u64 AnchoredBy(u64 B) {
    constexpr u64 kColumnA = 0x0101010101010101ULL;
    u64 marks = 0;
    int limit = 8;
    for (int i = 0; i < 8 && limit > 0; ++i) {
        const int x = Right ? 7 - i : i;
        const u64 gaps = ~(B >> x) & kColumnA;
        const int run = gaps == 0 ? 8 : Top ? __builtin_clzll(gaps) / 8 : __builtin_ctzll(gaps) / 8;
        const int n = run < limit ? run : limit;
        if (n == 0) break;
        marks |= (kColumnA & (Top ? ~u64{0} << (64 - 8 * n) : ~u64{0} >> (64 - 8 * n))) << x;
        limit = n < 8 ? n - 1 : 8;
    }
    limit = 8;
    for (int i = 0; i < 8 && limit > 0; ++i) {
        const int y = Top ? 7 - i : i;
        const auto row = static_cast<unsigned>(B >> (8 * y)) & 0xFFu;
        const int run =
            Right ? __builtin_clz((~row << 24) | 0x00800000u) : __builtin_ctz(~row | 0x100u);
        const int n = run < limit ? run : limit;
        if (n == 0) break;
        const unsigned cells = Right ? (0xFF00u >> n) & 0xFFu : (1u << n) - 1;
        marks |= static_cast<u64>(cells) << (8 * y);
        limit = n < 8 ? n - 1 : 8;
    }
    return marks;
}

inline u64 Anchored(u64 B) {
    u64 marks = 0;
    if ((B & 0x0000000000000001ULL) != 0) marks |= AnchoredBy<false, false>(B);
    if ((B & 0x0000000000000080ULL) != 0) marks |= AnchoredBy<true, false>(B);
    if ((B & 0x0100000000000000ULL) != 0) marks |= AnchoredBy<false, true>(B);
    if ((B & 0x8000000000000000ULL) != 0) marks |= AnchoredBy<true, true>(B);
    return marks;
}

inline int Value(u64 own, u64 opp, u64 squares) {
    return Count(own & squares) - Count(opp & squares);
}

// The discs of own anchored by corners minus those of opp.
inline int StableDiff(u64 own, u64 opp) {
    return Count(Anchored(own)) - Count(Anchored(opp));
}

// The static evaluation from own's view without its mobility term.
inline int StaticTerms(u64 own, u64 opp) {
    using namespace morvane_tables;
    const u64 taken = own | opp;
    u64 cSquares = 0;
    u64 xSquares = 0;
    for (const CornerSquares& s : kNextToCorners) {
        if ((taken & s.corner) != 0) continue;
        cSquares |= s.c;
        xSquares |= s.x;
    }
    int score = kCornerWeight * Value(own, opp, kCorners) +
                kCSquareWeight * Value(own, opp, cSquares) +
                kXSquareWeight * Value(own, opp, xSquares) + kEdgeWeight * Value(own, opp, kEdges);
    if ((taken & kCorners) != 0) score += kStableWeight * StableDiff(own, opp);
    return score;
}

inline int EvaluateStatic(u64 own, u64 opp) {
    return StaticTerms(own, opp);
}

// The static evaluation from own's view.
inline int Evaluate(u64 own, u64 opp) {
    return StaticTerms(own, opp) + morvane_tables::kMobilityWeight * Mobility(own, opp);
}

// The static value of the position after each move, from the engine's view, for move ordering.
void OrderScores(u64 own, u64 opp, const int* moves, int count, int mover, int* scores) {
    for (int i = 0; i < count; ++i) {
        const int sq = (moves[i] & 15) * 8 + (moves[i] >> 4);
        const u64 placed = u64{1} << sq;
        if (mover > 0) {
            const u64 flips = Flip(sq, own, opp);
            scores[i] = Evaluate(own ^ flips ^ placed, opp ^ flips);
        } else {
            const u64 flips = Flip(sq, opp, own);
            scores[i] = Evaluate(own ^ flips, opp ^ flips ^ placed);
        }
    }
}

inline u64 Without(u64 list, int i) {
    const u64 low = (u64{1} << (8 * i)) - 1;
    return (list & low) | ((list >> 8) & ~low);
}

inline int Square(u64 list, int i) {
    return static_cast<int>((list >> (8 * i)) & 63);
}

template <int N>
inline bool HasMove(u64 P, u64 O, u64 list) {
    for (int i = 0; i < N; ++i) {
        const int sq = Square(list, i);
        if ((kRays.neighbours[sq] & O) != 0 && Flip(sq, P, O) != 0) return true;
    }
    return false;
}

// Disc difference of the side to move with n empty squares left.
inline int DiscDiff(u64 P, int n) {
    return 2 * Count(P) - (64 - n);
}

// Whether a node must stop: after a break, or when its time check says so.
inline bool Stops(Morvane& e) {
    ++e.amount;
    if (e.isBreak && (e.isTimeLimited || EndgameAccess::Aborted(e))) return true;
    return (e.amount & e.checkMask) == e.checkMask && EndgameAccess::TimeCheck(e);
}

// Discs that a disc of P on sq flips when sq is the only empty square: every other square is P's
// or the other side's, so each line through sq is one P pattern (indexed by x, or by y for the
// column) looked up in a table.
inline int LastFlips(u64 P, int sq) {
    const int x = sq & 7;
    const int y = sq >> 3;
    constexpr u64 kColumnA = 0x0101010101010101ULL;
    const auto row = static_cast<unsigned>(P >> (8 * y)) & 0xFFu;
    const auto column =
        static_cast<unsigned>((((P >> x) & kColumnA) * 0x0102040810204080ULL) >> 56);
    const auto diagonal = static_cast<unsigned>(((P & kLines.diagonal[sq]) * kColumnA) >> 56);
    const auto antiDiagonal =
        static_cast<unsigned>(((P & kLines.antiDiagonal[sq]) * kColumnA) >> 56);
    return kLines.flips[x][row] + kLines.flips[y][column] + kLines.flips[x][diagonal] +
           kLines.flips[x][antiDiagonal];
}

// The node with one empty square, sq: the mover's move, or after a pass the other side's, ends
// the game; the finished board counts as a node and is scored without making the move.
inline int ExactLast(Morvane& e, u64 P, int sq, int sign) {
    if (Stops(e)) return 0;
    int flips = LastFlips(P, sq);
    if (flips != 0) {
        ++e.amount;
        return sign * Morvane::FinalScore(sign * (2 * (Count(P) + flips + 1) - 64), 0);
    }
    const u64 O = ~(P | (u64{1} << sq));
    flips = LastFlips(O, sq);
    if (flips == 0) return sign * Morvane::FinalScore(sign * (2 * Count(P) - 63), 1);
    ++e.pass;
    if (Stops(e)) return 0;
    ++e.amount;
    return sign * Morvane::FinalScore(-sign * (2 * (Count(O) + flips + 1) - 64), 0);
}

inline int WinLossLast(Morvane& e, u64 P, int sq, int sign) {
    if (Stops(e)) return 0;
    int flips = LastFlips(P, sq);
    if (flips != 0) {
        ++e.amount;
        return sign * (2 * (Count(P) + flips + 1) - 64) >= 0 ? Morvane::kWinLossScore
                                                             : -Morvane::kWinLossScore;
    }
    const u64 O = ~(P | (u64{1} << sq));
    flips = LastFlips(O, sq);
    if (flips == 0) return Morvane::WinLossFinalScore(sign * (2 * Count(P) - 63));
    if (Stops(e)) return 0;
    ++e.amount;
    return -sign * (2 * (Count(O) + flips + 1) - 64) >= 0 ? Morvane::kWinLossScore
                                                          : -Morvane::kWinLossScore;
}

// Visits the moves of P among the N squares of `list`, in list order, as visit(i, sq, flips),
// until visit returns true. Returns whether P had a move.
template <int N, class Visit>
inline bool ForEachMove(u64 P, u64 O, u64 list, Visit visit) {
    bool moved = false;
#pragma GCC unroll 6
    for (int i = 0; i < N; ++i) {
        const int sq = Square(list, i);
        if ((kRays.neighbours[sq] & O) == 0) continue;
        const u64 flips = Flip(sq, P, O);
        if (flips == 0) continue;
        moved = true;
        if (visit(i, sq, flips)) break;
    }
    return moved;
}

// Exact value from the view of the side to move, N empty squares (2 or more) in `list`; lo and hi
// are the bounds of the open ancestors in that view (a node returns as soon as its best reaches
// hi).
template <int N>
int Exact(Morvane& e, u64 P, u64 O, u64 list, int lo, int hi, int sign) {
    if (Stops(e)) return 0;
    int best = -Morvane::kScoreBound;
    const bool moved = ForEachMove<N>(P, O, list, [&](int i, int sq, u64 flips) {
        int v;
        if constexpr (N == 2)
            v = -ExactLast(e, O ^ flips, Square(list, 1 - i), -sign);
        else
            v = -Exact<N - 1>(e, O ^ flips, P ^ flips ^ (u64{1} << sq), Without(list, i), -hi,
                              -(lo > best ? lo : best), -sign);
        if (v <= best) return false;
        best = v;
        return best >= hi;
    });
    if (moved) return best;
    if (!HasMove<N>(O, P, list)) return sign * Morvane::FinalScore(sign * DiscDiff(P, N), N);
    ++e.pass;
    return -Exact<N>(e, O, P, list, -hi, -lo, -sign);
}

// Win/loss value from the engine's view: +kWinLossScore when the engine holds at least a draw,
// -kWinLossScore when it cannot, 0 only after a break; a finished game without moves for either
// side gives its WinLossFinalScore.
template <int N>
int WinLoss(Morvane& e, u64 P, u64 O, u64 list, int sign) {
    if (Stops(e)) return 0;
    const int success = sign * Morvane::kWinLossScore;
    int result = -success;
    const bool moved = ForEachMove<N>(P, O, list, [&](int i, int sq, u64 flips) {
        int v;
        if constexpr (N == 2)
            v = WinLossLast(e, O ^ flips, Square(list, 1 - i), -sign);
        else
            v = WinLoss<N - 1>(e, O ^ flips, P ^ flips ^ (u64{1} << sq), Without(list, i), -sign);
        if (sign > 0 ? v > 0 : v < 0) return (result = success), true;
        if (v == 0) result = 0;
        return false;
    });
    if (moved) return result;
    if (!HasMove<N>(O, P, list)) return Morvane::WinLossFinalScore(sign * DiscDiff(P, N));
    return WinLoss<N>(e, O, P, list, -sign);
}

int SolveExact(Morvane& e, u64 P, u64 O, u64 list, int n, int lo, int hi, int sign) {
    switch (n) {
        case 1:
            return ExactLast(e, P, Square(list, 0), sign);
        case 2:
            return Exact<2>(e, P, O, list, lo, hi, sign);
        case 3:
            return Exact<3>(e, P, O, list, lo, hi, sign);
        case 4:
            return Exact<4>(e, P, O, list, lo, hi, sign);
        case 5:
            return Exact<5>(e, P, O, list, lo, hi, sign);
        default:
            return Exact<6>(e, P, O, list, lo, hi, sign);
    }
}

int SolveWinLoss(Morvane& e, u64 P, u64 O, u64 list, int n, int sign) {
    switch (n) {
        case 1:
            return WinLossLast(e, P, Square(list, 0), sign);
        case 2:
            return WinLoss<2>(e, P, O, list, sign);
        case 3:
            return WinLoss<3>(e, P, O, list, sign);
        case 4:
            return WinLoss<4>(e, P, O, list, sign);
        case 5:
            return WinLoss<5>(e, P, O, list, sign);
        default:
            return WinLoss<6>(e, P, O, list, sign);
    }
}

// x * 8 + y for the bit y * 8 + x: a transposed board lists each region's squares x by x.
inline u64 Transpose(u64 b) {
    u64 t = (b ^ (b >> 7)) & 0x00AA00AA00AA00AAULL;
    b ^= t ^ (t << 7);
    t = (b ^ (b >> 14)) & 0x0000CCCC0000CCCCULL;
    b ^= t ^ (t << 14);
    t = (b ^ (b >> 28)) & 0x00000000F0F0F0F0ULL;
    return b ^ t ^ (t << 28);
}

// The squares in generation order: region by region, x then y inside a region. Returns how many.
inline int InGenerationOrder(u64 squares, int* out) {
    const u64 t = Transpose(squares);
    int count = 0;
    for (const u64 region : kGenerationRegions) {
        for (u64 bits = t & region; bits != 0; bits &= bits - 1) {
            const int i = __builtin_ctzll(bits);
            out[count++] = (i & 7) * 8 + (i >> 3);
        }
    }
    return count;
}

inline u64 PackedList(u64 empties) {
    int squares[64];
    const int n = InGenerationOrder(empties, squares);
    u64 list = 0;
    for (int i = 0; i < n; ++i)
        list |= static_cast<u64>(squares[i]) << (8 * i);
    return list;
}

inline int EngineSquare(int sq) {
    return (sq & 7) * 16 + (sq >> 3);
}

// The moves of a node in generation order; when sorted, stably by the static value after each,
// best first for the side to move (sign > 0: highest engine value first), with their flips.
struct MoveList {
    int count;
    bool sorted;
    int squares[64];
    u64 flips[64];

    MoveList(u64 P, u64 O, int sign, bool sort) : count(0), sorted(sort) {
        count = InGenerationOrder(Moves(P, O), squares);
        if (!sorted) return;
        int keys[64];
        for (int i = 0; i < count; ++i) {
            const int move = squares[i];
            const u64 f = Flip(move, P, O);
            const u64 mover = P ^ f ^ (u64{1} << move);
            const u64 other = O ^ f;
            const int key = sign > 0 ? Evaluate(mover, other) : -Evaluate(other, mover);
            int j = i;
            for (; j > 0 && keys[j - 1] < key; --j) {
                squares[j] = squares[j - 1];
                flips[j] = flips[j - 1];
                keys[j] = keys[j - 1];
            }
            squares[j] = move;
            flips[j] = f;
            keys[j] = key;
        }
    }

    u64 FlipsOf(int i, u64 P, u64 O) const { return sorted ? flips[i] : Flip(squares[i], P, O); }
};

// A node of Search below the root: the same steps as on the padded board, the score in the view of
// the side to move (P, level, sign) with the ancestors' bounds lo and hi in that view; the move
// goes with the score as Search returns it.
SearchResult Search(Morvane& e, u64 P, u64 O, int n, int level, int lo, int hi, int sign) {
    if (n <= Morvane::kSmallEmpties && n > 0 && level >= 2 && level >= e.sortDepth &&
        level + 2 * n < e.depth)
        return {Morvane::kNoMove, SolveExact(e, P, O, PackedList(~(P | O)), n, lo, hi, sign)};
    ++e.amount;
    if (n == 0) return {Morvane::kNoMove, sign * Morvane::FinalScore(sign * DiscDiff(P, 0), 0)};
    if (level == e.depth)
        return {Morvane::kNoMove, sign * (sign > 0 ? Evaluate(P, O) : Evaluate(O, P))};
    if (e.isBreak && (e.isTimeLimited || EndgameAccess::Aborted(e))) return {Morvane::kNoMove, 0};
    if ((e.amount & e.checkMask) == e.checkMask && EndgameAccess::TimeCheck(e))
        return {Morvane::kNoMove, 0};
    const MoveList moves(P, O, sign, level < e.sortDepth);
    if (moves.count == 0) {
        if (Moves(O, P) == 0)
            return {Morvane::kNoMove, sign * Morvane::FinalScore(sign * DiscDiff(P, n), n)};
        ++e.pass;
        const SearchResult r = Search(e, O, P, n, level + 1, -hi, -lo, -sign);
        return {r.move, -r.score};
    }
    int best = -Morvane::kScoreBound;
    int bestMove = Morvane::kNoMove;
    for (int i = 0; i < moves.count; ++i) {
        const int sq = moves.squares[i];
        const u64 flips = moves.FlipsOf(i, P, O);
        const int v = -Search(e, O ^ flips, P ^ flips ^ (u64{1} << sq), n - 1, level + 1, -hi,
                              -(lo > best ? lo : best), -sign)
                           .score;
        if (v > best) {
            best = v;
            bestMove = EngineSquare(sq);
            if (best >= hi) break;
        }
    }
    return {bestMove, best};
}

// A node of SearchWinLoss below the root, the score from the engine's view.
int WinLoss(Morvane& e, u64 P, u64 O, int n, int level, int sign) {
    if (n <= Morvane::kSmallEmpties && n > 0 && level >= 2 && level >= e.sortDepth &&
        level + 2 * n < e.depth)
        return SolveWinLoss(e, P, O, PackedList(~(P | O)), n, sign);
    ++e.amount;
    if (e.isBreak && (e.isTimeLimited || EndgameAccess::Aborted(e))) return 0;
    if (n == 0) return Morvane::WinLossFinalScore(sign * DiscDiff(P, 0));
    if (level == e.depth) return sign > 0 ? Evaluate(P, O) : Evaluate(O, P);
    if ((e.amount & e.checkMask) == e.checkMask && EndgameAccess::TimeCheck(e)) return 0;
    const MoveList moves(P, O, sign, level < e.sortDepth);
    if (moves.count == 0) {
        if (Moves(O, P) == 0) return Morvane::WinLossFinalScore(sign * DiscDiff(P, n));
        return WinLoss(e, O, P, n, level + 1, -sign);
    }
    const int success = sign * Morvane::kWinLossScore;
    int result = -success;
    for (int i = 0; i < moves.count; ++i) {
        const int sq = moves.squares[i];
        const u64 flips = moves.FlipsOf(i, P, O);
        const int v = WinLoss(e, O ^ flips, P ^ flips ^ (u64{1} << sq), n - 1, level + 1, -sign);
        if (sign > 0 ? v > 0 : v < 0) return success;
        if (v == 0) result = 0;
    }
    return result;
}

constexpr PathFunctions kFunctions = {Search,         WinLoss,    Evaluate,
                                      EvaluateStatic, StableDiff, OrderScores};

}  // namespace
