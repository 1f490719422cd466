// Bit primitives of the portable copy of the bitboard search (generic x86-64 and any other
// processor): flips, legal moves, mobility and the bit count. P holds the discs of the side to
// move, O the other side's.
// Included by MorvaneSolve.cpp once per instruction set (no include guard).

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

inline u64 Flip(int sq, u64 P, u64 O) {
    return FlipScalar(sq, P, O);
}
