// The small-endgame solvers: the exact and the win/loss search of a node with at most
// Morvane::kSmallEmpties empty squares and everything below it, node for node as the padded board
// searches it, without sorting, leaves or moves. The empty squares travel as a packed list, one
// byte a square, in generation order.
// Included by MorvaneSolve.cpp once per instruction set (no include guard).

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

// Counts a node; true when it must stop.
inline bool EnterNode(Morvane& e) {
    ++e.amount;
    return EndgameAccess::NodeMustStop(e);
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
    if (EnterNode(e)) return 0;
    int flips = LastFlips(P, sq);
    if (flips != 0) {
        ++e.amount;
        return sign * Morvane::FinalScore(sign * (2 * (Count(P) + flips + 1) - 64), 0);
    }
    const u64 O = ~(P | (u64{1} << sq));
    flips = LastFlips(O, sq);
    if (flips == 0) return sign * Morvane::FinalScore(sign * (2 * Count(P) - 63), 1);
    ++e.pass;
    if (EnterNode(e)) return 0;
    ++e.amount;
    return sign * Morvane::FinalScore(-sign * (2 * (Count(O) + flips + 1) - 64), 0);
}

inline int WinLossLast(Morvane& e, u64 P, int sq, int sign) {
    if (EnterNode(e)) return 0;
    int flips = LastFlips(P, sq);
    if (flips != 0) {
        ++e.amount;
        return sign * (2 * (Count(P) + flips + 1) - 64) >= 0 ? Morvane::kWinLossScore
                                                             : -Morvane::kWinLossScore;
    }
    const u64 O = ~(P | (u64{1} << sq));
    flips = LastFlips(O, sq);
    if (flips == 0) return Morvane::WinLossFinalScore(sign * (2 * Count(P) - 63));
    if (EnterNode(e)) return 0;
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
int ExactSmall(Morvane& e, u64 P, u64 O, u64 list, int lo, int hi, int sign) {
    if (EnterNode(e)) return 0;
    int best = -Morvane::kScoreBound;
    const bool moved = ForEachMove<N>(P, O, list, [&](int i, int sq, u64 flips) {
        int v;
        if constexpr (N == 2)
            v = -ExactLast(e, O ^ flips, Square(list, 1 - i), -sign);
        else
            v = -ExactSmall<N - 1>(e, O ^ flips, P ^ flips ^ (u64{1} << sq), Without(list, i), -hi,
                                   -(lo > best ? lo : best), -sign);
        if (v <= best) return false;
        best = v;
        return best >= hi;
    });
    if (moved) return best;
    if (!HasMove<N>(O, P, list)) return sign * Morvane::FinalScore(sign * DiscDiff(P, N), N);
    ++e.pass;
    return -ExactSmall<N>(e, O, P, list, -hi, -lo, -sign);
}

// Win/loss value from the engine's view: +kWinLossScore when the engine holds at least a draw,
// -kWinLossScore when it cannot, 0 only after a break; a finished game without moves for either
// side gives its WinLossFinalScore.
template <int N>
int WinLossSmall(Morvane& e, u64 P, u64 O, u64 list, int sign) {
    if (EnterNode(e)) return 0;
    const int success = sign * Morvane::kWinLossScore;
    int result = -success;
    const bool moved = ForEachMove<N>(P, O, list, [&](int i, int sq, u64 flips) {
        int v;
        if constexpr (N == 2)
            v = WinLossLast(e, O ^ flips, Square(list, 1 - i), -sign);
        else
            v = WinLossSmall<N - 1>(e, O ^ flips, P ^ flips ^ (u64{1} << sq), Without(list, i),
                                    -sign);
        if (sign > 0 ? v > 0 : v < 0) return (result = success), true;
        if (v == 0) result = 0;
        return false;
    });
    if (moved) return result;
    if (!HasMove<N>(O, P, list)) return Morvane::WinLossFinalScore(sign * DiscDiff(P, N));
    return WinLossSmall<N>(e, O, P, list, -sign);
}

int SolveExact(Morvane& e, u64 P, u64 O, u64 list, int n, int lo, int hi, int sign) {
    switch (n) {
        case 1:
            return ExactLast(e, P, Square(list, 0), sign);
        case 2:
            return ExactSmall<2>(e, P, O, list, lo, hi, sign);
        case 3:
            return ExactSmall<3>(e, P, O, list, lo, hi, sign);
        case 4:
            return ExactSmall<4>(e, P, O, list, lo, hi, sign);
        case 5:
            return ExactSmall<5>(e, P, O, list, lo, hi, sign);
        default:
            return ExactSmall<6>(e, P, O, list, lo, hi, sign);
    }
}

int SolveWinLoss(Morvane& e, u64 P, u64 O, u64 list, int n, int sign) {
    switch (n) {
        case 1:
            return WinLossLast(e, P, Square(list, 0), sign);
        case 2:
            return WinLossSmall<2>(e, P, O, list, sign);
        case 3:
            return WinLossSmall<3>(e, P, O, list, sign);
        case 4:
            return WinLossSmall<4>(e, P, O, list, sign);
        case 5:
            return WinLossSmall<5>(e, P, O, list, sign);
        default:
            return WinLossSmall<6>(e, P, O, list, sign);
    }
}
