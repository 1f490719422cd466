// Bit primitives of the copy of the bitboard search for processors with AVX2, BMI2, POPCNT and
// LZCNT: flips, legal moves, mobility and the bit count. P holds the discs of the side to move,
// O the other side's.
// Included by MorvaneSolve.cpp once per instruction set (no include guard).

using u64 = std::uint64_t;

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

inline u64 Flip(int sq, u64 P, u64 O) {
    return FlipVector(sq, P, O);
}
