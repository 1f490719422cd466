// The recursive searches: min/max with deep cut-offs against every open ancestor of the other
// side, shallow ordering by static evaluation, passes, finished-game scores and the time check;
// and the win/loss search of the endgame.
#include <cstdint>
#include <cstdlib>

#include "Morvane.h"

namespace {

constexpr int kMaxInitial = -11000;  // beyond every real score
constexpr int kMinInitial = 11000;
constexpr int kWinLossSuccess = 10065;  // above every finished-game score without bonus

}  // namespace

int Morvane::FinalScore() const {
    const int d = discDiff;
    const int bonus = std::abs(d) + rest == 64 ? 100 : 0;
    return d >= 0 ? d + 10000 + bonus : d - 10000 - bonus;
}

int Morvane::WinLossFinalScore() const {
    return discDiff >= 0 ? discDiff + 10000 : discDiff - 10000;
}

bool Morvane::TimeCheck() {
    if (onPump) onPump();
    if (isAborted) {
        isBreak = true;
        return true;
    }
    if (isTimeLimited) {
        const std::uint32_t elapsed = tickCount() - startTime;
        if (breakTime - elapsed < 3000u) checkMask >>= 4;
        if (elapsed > breakTime) {
            isBreak = true;
            return true;
        }
    }
    return false;
}

// Stable ordering by the static value after each move: best first for the side to move, so equal
// values keep the generation order.
template <bool Wide>
void Morvane::OrderMoves(int* moves, int count, int mover) {
    const int next = level + 1;
    for (int i = 0; i < count; ++i) {
        const int s = moves[i];
        MakeMove(s, mover);
        emptyBits1[next] = emptyBits1[level] & clearMask1[s];
        frontierBits1[next] = frontierBits1[level] | neighbourBits1[s];
        if (Wide) {
            emptyBits2[next] = emptyBits2[level] & clearMask2[s];
            frontierBits2[next] = frontierBits2[level] | neighbourBits2[s];
        }
        level = next;
        sortScore[i] = Evaluate();
        level = next - 1;
        UndoMove(s, -mover);
    }
    // Insertion sort: stable, so it leaves the same order as repeated bubble passes.
    for (int i = 1; i < count; ++i) {
        const int move = moves[i];
        const int score = sortScore[i];
        int j = i;
        if (mover > 0) {
            while (j > 0 && sortScore[j - 1] < score) {
                moves[j] = moves[j - 1];
                sortScore[j] = sortScore[j - 1];
                --j;
            }
        } else {
            while (j > 0 && sortScore[j - 1] > score) {
                moves[j] = moves[j - 1];
                sortScore[j] = sortScore[j - 1];
                --j;
            }
        }
        moves[j] = move;
        sortScore[j] = score;
    }
}

template <bool Wide>
SearchResult Morvane::SearchImpl() {
    ++amount;
    if (rest == 0) return {kNoMove, FinalScore()};
    if (level == depth) {
        savedPassMoves = 0;
        return {kNoMove, Evaluate()};
    }
    if (isBreak && (isTimeLimited || isAborted)) return {kNoMove, 0};
    if ((amount & checkMask) == checkMask && TimeCheck()) return {kNoMove, 0};

    const int here = level;
    const int next = here + 1;
    const bool maximiser = (here & 1) == 0;
    const int mover = maximiser ? 1 : -1;
    int best = maximiser ? kMaxInitial : kMinInitial;
    int bestMove = kNoMove;
    bestAtLevel[here] = best;

    int* const moves = moveList + moveListStart[here];
    int count;
    if (searchMode == 1 && here == 0 && !recordRoot) {
        // The driver's root order from the previous iteration.
        count = rootMoveCount;
        moveListStart[next] = rootMoveCount;
    } else {
        if (!Wide && savedPassMoves != 0) {
            // The passing parent already generated these moves into this slot.
            count = savedPassMoves;
            savedPassMoves = 0;
        } else {
            count = Wide ? GenerateMovesWide(mover) : GenerateMoves(mover);
            if (count == 0) {
                const int replies = Wide ? GenerateMovesWide(-mover) : GenerateMoves(-mover);
                if (!Wide) savedPassMoves = replies;
                if (replies == 0) return {kNoMove, FinalScore()};
                ++pass;
                emptyBits1[next] = emptyBits1[here];
                frontierBits1[next] = frontierBits1[here];
                if (Wide) {
                    emptyBits2[next] = emptyBits2[here];
                    frontierBits2[next] = frontierBits2[here];
                }
                moveListStart[next] = moveListStart[here];
                level = next;
                const SearchResult r = SearchImpl<Wide>();
                level = here;
                return r;
            }
        }
        moveListStart[next] = moveListStart[here] + count;
        if (here < sortDepth) OrderMoves<Wide>(moves, count, mover);
    }

    --rest;
    if (maximiser) {
        const bool record = recordRoot && here == 0;
        if (record) rootMoveCount = count;
        for (int i = 0; i < count; ++i) {
            const int s = moves[i];
            MakeMove(s, 1);
            emptyBits1[next] = emptyBits1[here] & clearMask1[s];
            frontierBits1[next] = frontierBits1[here] | neighbourBits1[s];
            if (Wide) {
                emptyBits2[next] = emptyBits2[here] & clearMask2[s];
                frontierBits2[next] = frontierBits2[here] | neighbourBits2[s];
            }
            level = next;
            const int score = SearchImpl<Wide>().score;
            level = here;
            UndoMove(s, -1);
            if (record) rootMoves[i] = {s, score};
            if (score > best) {
                best = score;
                bestMove = s;
                bestAtLevel[here] = best;
                for (int a = here - 1; a >= 0; a -= 2) {
                    if (bestAtLevel[a] <= best) {
                        ++rest;
                        return {bestMove, best};
                    }
                }
            }
        }
    } else {
        // With recordRoot no node is cut off against the root, so every root move is exact.
        const int lowest = recordRoot ? 1 : 0;
        for (int i = 0; i < count; ++i) {
            const int s = moves[i];
            MakeMove(s, -1);
            emptyBits1[next] = emptyBits1[here] & clearMask1[s];
            frontierBits1[next] = frontierBits1[here] | neighbourBits1[s];
            if (Wide) {
                emptyBits2[next] = emptyBits2[here] & clearMask2[s];
                frontierBits2[next] = frontierBits2[here] | neighbourBits2[s];
            }
            level = next;
            const int score = SearchImpl<Wide>().score;
            level = here;
            UndoMove(s, 1);
            if (score < best) {
                best = score;
                bestMove = s;
                bestAtLevel[here] = best;
                for (int a = here - 1; a >= lowest; a -= 2) {
                    if (bestAtLevel[a] >= best) {
                        ++rest;
                        return {bestMove, best};
                    }
                }
            }
        }
    }
    ++rest;
    return {bestMove, best};
}

SearchResult Morvane::Search() {
    return SearchImpl<false>();
}

SearchResult Morvane::SearchWide() {
    return SearchImpl<true>();
}

SearchResult Morvane::SearchWinLoss() {
    ++amount;
    if (isBreak && (isTimeLimited || isAborted)) return {kNoMove, 0};
    if (rest == 0) return {kNoMove, WinLossFinalScore()};
    if (level == depth) return {kNoMove, Evaluate()};
    if ((amount & checkMask) == checkMask && TimeCheck()) return {kNoMove, 0};

    const int here = level;
    const int next = here + 1;
    const bool maximiser = (here & 1) == 0;
    const int mover = maximiser ? 1 : -1;
    int* const moves = moveList + moveListStart[here];
    int count;
    if (here == 0) {
        count = rootMoveCount;
        moveListStart[next] = rootMoveCount;
    } else {
        count = GenerateMoves(mover);
        if (count == 0) {
            if (GenerateMoves(-mover) == 0) return {kNoMove, WinLossFinalScore()};
            emptyBits1[next] = emptyBits1[here];
            frontierBits1[next] = frontierBits1[here];
            moveListStart[next] = moveListStart[here];
            level = next;
            const SearchResult r = SearchWinLoss();
            level = here;
            return r;
        }
        moveListStart[next] = moveListStart[here] + count;
        if (here < sortDepth) OrderMoves<false>(moves, count, mover);
    }

    --rest;
    SearchResult result{kNoMove, maximiser ? -kWinLossSuccess : kWinLossSuccess};
    for (int i = 0; i < count; ++i) {
        const int s = moves[i];
        MakeMove(s, mover);
        emptyBits1[next] = emptyBits1[here] & clearMask1[s];
        frontierBits1[next] = frontierBits1[here] | neighbourBits1[s];
        level = next;
        const int score = SearchWinLoss().score;
        level = here;
        UndoMove(s, -mover);
        if (maximiser ? score > 0 : score < 0) {
            ++rest;
            return {s, maximiser ? kWinLossSuccess : -kWinLossSuccess};
        }
        if (score == 0) result = {s, 0};
    }
    ++rest;
    return result;
}
