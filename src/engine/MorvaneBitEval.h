// The static evaluation on the disc bitboards, term for term as on the padded board, and the
// ordering scores of a node's moves.
// Included by MorvaneSolve.cpp once per instruction set (no include guard).

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
