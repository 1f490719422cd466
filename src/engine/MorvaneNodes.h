// The nodes of Search and SearchWinLoss below the root on the disc bitboards. Every node does
// what the padded-board search does at the same node, in the same order: count itself, score a
// finished game or the leaf level, stop on a break, run the time check when the node count says
// so, try the moves in generation order (sorted by the static value where the padded board
// sorts), cut off against the bounds of the open ancestors, count passes; the last empty square
// is taken without making the move. P holds the discs of the side to move, O the other side's;
// `sign` is +1 when the side to move is the engine (+1).
// Included by MorvaneSolve.cpp once per instruction set (no include guard).

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

// Whether the small solvers may take a node with n empty squares at `level` and everything below
// it, node for node as the padded board would search it: they sort nothing (level >= sortDepth),
// evaluate no leaf (every path to the end of the game, at most 2n plies with a pass before each
// move, ends above depth) and return no move, which a node at level 1 hands to a root that
// passes (level >= 2).
inline bool SmallSolverTakes(const Morvane& e, int n, int level) {
    return n <= Morvane::kSmallEmpties && n > 0 && level >= 2 && level >= e.sortDepth &&
           level + 2 * n < e.depth;
}

// A node of Search below the root: the same steps as on the padded board, the score in the view of
// the side to move (P, level, sign) with the ancestors' bounds lo and hi in that view; the move
// goes with the score as Search returns it.
SearchResult SearchNode(Morvane& e, u64 P, u64 O, int n, int level, int lo, int hi, int sign) {
    if (SmallSolverTakes(e, n, level))
        return {Morvane::kNoMove, SolveExact(e, P, O, PackedList(~(P | O)), n, lo, hi, sign)};
    ++e.amount;
    if (n == 0) return {Morvane::kNoMove, sign * Morvane::FinalScore(sign * DiscDiff(P, 0), 0)};
    if (level == e.depth)
        return {Morvane::kNoMove, sign * (sign > 0 ? Evaluate(P, O) : Evaluate(O, P))};
    if (EndgameAccess::NodeMustStop(e)) return {Morvane::kNoMove, 0};
    const MoveList moves(P, O, sign, level < e.sortDepth);
    if (moves.count == 0) {
        if (Moves(O, P) == 0)
            return {Morvane::kNoMove, sign * Morvane::FinalScore(sign * DiscDiff(P, n), n)};
        ++e.pass;
        const SearchResult r = SearchNode(e, O, P, n, level + 1, -hi, -lo, -sign);
        return {r.move, -r.score};
    }
    int best = -Morvane::kScoreBound;
    int bestMove = Morvane::kNoMove;
    for (int i = 0; i < moves.count; ++i) {
        const int sq = moves.squares[i];
        const u64 flips = moves.FlipsOf(i, P, O);
        const int v = -SearchNode(e, O ^ flips, P ^ flips ^ (u64{1} << sq), n - 1, level + 1, -hi,
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
int WinLossNode(Morvane& e, u64 P, u64 O, int n, int level, int sign) {
    if (SmallSolverTakes(e, n, level)) return SolveWinLoss(e, P, O, PackedList(~(P | O)), n, sign);
    ++e.amount;
    if (EndgameAccess::Broken(e)) return 0;  // before the win/loss node scores anything
    if (n == 0) return Morvane::WinLossFinalScore(sign * DiscDiff(P, 0));
    if (level == e.depth) return sign > 0 ? Evaluate(P, O) : Evaluate(O, P);
    if (EndgameAccess::NodeMustStop(e)) return 0;
    const MoveList moves(P, O, sign, level < e.sortDepth);
    if (moves.count == 0) {
        if (Moves(O, P) == 0) return Morvane::WinLossFinalScore(sign * DiscDiff(P, n));
        return WinLossNode(e, O, P, n, level + 1, -sign);
    }
    const int success = sign * Morvane::kWinLossScore;
    int result = -success;
    for (int i = 0; i < moves.count; ++i) {
        const int sq = moves.squares[i];
        const u64 flips = moves.FlipsOf(i, P, O);
        const int v =
            WinLossNode(e, O ^ flips, P ^ flips ^ (u64{1} << sq), n - 1, level + 1, -sign);
        if (sign > 0 ? v > 0 : v < 0) return success;
        if (v == 0) result = 0;
    }
    return result;
}

constexpr morvane_paths::PathFunctions kFunctions = {SearchNode,     WinLossNode, Evaluate,
                                                     EvaluateStatic, StableDiff,  OrderScores};
