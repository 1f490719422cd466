// The small-empties solvers on bitboards. No include guard on purpose: MorvaneSolve.cpp includes
// this body once per instruction set, inside a namespace of its own, with MORVANE_SOLVE_AVX2 set
// or not. Only builtins and this file's own functions are used, so nothing compiled here for one
// instruction set can stand in for another's copy.
//
// Every node does what the padded-board search does at the same node, in the same order: count
// itself, stop on a break, run the time check when the node count says so, take the last empty
// square without making the move, try the moves in generation order (the order of `list`), cut
// off against the bounds of the open ancestors, count passes. P holds the discs of the side to
// move, O the other side's; `sign` is +1 when the side to move is the engine (+1).

namespace {

using u64 = std::uint64_t;

#if MORVANE_SOLVE_AVX2

inline int Count(u64 b) {
    return __builtin_popcountll(b);
}

// Four rays at once: the ascending ones through a carry into the first square that is not O,
// the descending ones by filling the run of O (at most six squares) from the move outwards.
inline u64 Flip(int sq, u64 P, u64 O) {
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

#else

// No POPCNT instruction on generic x86-64, and the library call costs more than this.
inline int Count(u64 x) {
    x = x - ((x >> 1) & 0x5555555555555555ULL);
    x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
    x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return static_cast<int>((x * 0x0101010101010101ULL) >> 56);
}

// Ascending rays: the carry of ((O | ~M) + 1) stops on the first square of the ray that is not O,
// which closes the run when it holds P. Descending rays: the highest square of the ray that is
// not O, which closes the run when it holds P.
inline u64 Flip(int sq, u64 P, u64 O) {
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

#endif

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

// The finished game from the engine's view, d being the engine's disc difference.
inline int ExactFinal(int d, int n) {
    const int bonus = (d < 0 ? -d : d) + n == 64 ? 100 : 0;
    return d >= 0 ? d + 10000 + bonus : d - 10000 - bonus;
}

inline int WinLossFinal(int d) {
    return d >= 0 ? d + 10000 : d - 10000;
}

// Whether a node must stop: after a break, or when its time check says so.
inline bool Stops(Morvane& e) {
    ++e.amount;
    if (e.isBreak && (e.isTimeLimited || EndgameAccess::Aborted(e))) return true;
    return (e.amount & e.checkMask) == e.checkMask && EndgameAccess::TimeCheck(e);
}

// Exact value from the view of the side to move; lo and hi are the bounds of the open ancestors
// in that view (a node returns as soon as its best reaches hi).
template <int N>
int Exact(Morvane& e, u64 P, u64 O, u64 list, int lo, int hi, int sign) {
    if (Stops(e)) return 0;
    if constexpr (N == 1) {
        const int sq = Square(list, 0);
        const u64 flips = Flip(sq, P, O);
        if (flips != 0) {
            ++e.amount;  // the finished board, scored without making the move
            const int d = 2 * (Count(P) + Count(flips) + 1) - 64;
            return sign * ExactFinal(sign * d, 0);
        }
    } else {
        int best = -11000;
        bool moved = false;
#pragma GCC unroll 6
        for (int i = 0; i < N; ++i) {
            const int sq = Square(list, i);
            if ((kRays.neighbours[sq] & O) == 0) continue;
            const u64 flips = Flip(sq, P, O);
            if (flips == 0) continue;
            moved = true;
            const int v = -Exact<N - 1>(e, O ^ flips, P ^ flips ^ (u64{1} << sq), Without(list, i),
                                        -hi, -(lo > best ? lo : best), -sign);
            if (v > best) {
                best = v;
                if (best >= hi) return best;
            }
        }
        if (moved) return best;
    }
    if (!HasMove<N>(O, P, list)) return sign * ExactFinal(sign * DiscDiff(P, N), N);
    ++e.pass;
    return -Exact<N>(e, O, P, list, -hi, -lo, -sign);
}

// Win/loss value from the engine's view: +10065 when the engine holds at least a draw, -10065
// when it cannot, 0 only after a break; a finished game without moves for either side gives its
// disc difference offset by 10000.
template <int N>
int WinLoss(Morvane& e, u64 P, u64 O, u64 list, int sign) {
    if (Stops(e)) return 0;
    if constexpr (N == 1) {
        const int sq = Square(list, 0);
        const u64 flips = Flip(sq, P, O);
        if (flips != 0) {
            ++e.amount;
            const int d = 2 * (Count(P) + Count(flips) + 1) - 64;
            return sign * d >= 0 ? 10065 : -10065;
        }
    } else {
        const int success = sign * 10065;
        int result = -success;
        bool moved = false;
#pragma GCC unroll 6
        for (int i = 0; i < N; ++i) {
            const int sq = Square(list, i);
            if ((kRays.neighbours[sq] & O) == 0) continue;
            const u64 flips = Flip(sq, P, O);
            if (flips == 0) continue;
            moved = true;
            const int v =
                WinLoss<N - 1>(e, O ^ flips, P ^ flips ^ (u64{1} << sq), Without(list, i), -sign);
            if (sign > 0 ? v > 0 : v < 0) return success;
            if (v == 0) result = 0;
        }
        if (moved) return result;
    }
    if (!HasMove<N>(O, P, list)) return WinLossFinal(sign * DiscDiff(P, N));
    return WinLoss<N>(e, O, P, list, -sign);
}

int SolveExact(Morvane& e, u64 P, u64 O, u64 list, int n, int lo, int hi, int sign) {
    switch (n) {
        case 1:
            return Exact<1>(e, P, O, list, lo, hi, sign);
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
            return WinLoss<1>(e, P, O, list, sign);
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

}  // namespace
