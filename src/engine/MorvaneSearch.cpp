// The recursive searches: min/max with deep cut-offs against every open ancestor of the other
// side, shallow ordering by static evaluation, passes, finished-game scores and the time check;
// and the win/loss search of the endgame.
#include <bit>
#include <cstdint>

#include "Morvane.h"
#include "MorvaneHot.h"

bool Morvane::TimeCheck() {
    std::uint32_t now = 0;
    bool haveNow = false;
    if (onPump) {
        if (pumpIntervalMs == 0) {
            onPump();
        } else {
            now = tickCount();
            haveNow = true;
            if (!hasPumped || now - lastPumpTime >= pumpIntervalMs) {
                hasPumped = true;
                lastPumpTime = now;
                onPump();
                haveNow = false;  // the time limit is measured after the pump, as always
            }
        }
    }
    if (isAborted) {
        isBreak = true;
        return true;
    }
    if (isTimeLimited) {
        const std::uint32_t elapsed = (haveNow ? now : tickCount()) - startTime;
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
    if (plainSearch) {
        const int next = level + 1;
        for (int i = 0; i < count; ++i) {
            const int s = moves[i];
            MakeMoveHot(s, mover);
            SetChildMasks<Wide>(level, s);
            level = next;
            sortScore[i] = EvaluatePlain();
            level = next - 1;
            UndoMoveHot(s, -mover);
        }
    } else {
        OrderScoresBits(moves, count, mover);
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

// Steps that end a node before it generates, inlined into the parent's loop so that the
// cheapest nodes, near the end of the game, cost no call.
template <bool Wide>
[[gnu::always_inline]] inline SearchResult Morvane::SearchEnter() {
    if (!plainSearch && level > 0) return SearchBelowRoot();
    ++amount;
    if (rest == 0) return {kNoMove, FinalScore(discDiff, rest)};
    if (level == depth) {
        savedPassMoves = 0;
        return {kNoMove, EvaluateHot()};
    }
    if (NodeMustStop()) return {kNoMove, 0};

    const int here = level;
    const int mover = (here & 1) == 0 ? 1 : -1;
    if (!Wide && rest == 1 && here != 0 && savedPassMoves == 0 && emptyBits1[here] != 0) {
        // The last empty square, when the mover can take it: the one child is the finished
        // board, counted as the node it is and scored without making the move.
        const int s = squareList1[std::countl_zero(emptyBits1[here])];
        const int flips = morvane_hot::CountFlips(board + kFirstCell + s, mover);
        if (flips > 0) {
            ++amount;
            return {s, FinalScore(discDiff + (2 * flips + 1) * mover, 0)};
        }
    }
    return SearchBody<Wide>();
}

template <bool Wide>
SearchResult Morvane::SearchBody() {
    const int here = level;
    const int next = here + 1;
    const bool maximiser = (here & 1) == 0;
    const int mover = maximiser ? 1 : -1;
    int best = maximiser ? -kScoreBound : kScoreBound;
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
            count = Wide ? GenerateMovesWideHot(mover) : GenerateMovesHot(mover);
            if (count == 0) {
                const int replies = Wide ? GenerateMovesWideHot(-mover) : GenerateMovesHot(-mover);
                if (!Wide) savedPassMoves = replies;
                if (replies == 0) return {kNoMove, FinalScore(discDiff, rest)};
                ++pass;
                emptyBits1[next] = emptyBits1[here];
                frontierBits1[next] = frontierBits1[here];
                if (Wide) {
                    emptyBits2[next] = emptyBits2[here];
                    frontierBits2[next] = frontierBits2[here];
                }
                moveListStart[next] = moveListStart[here];
                level = next;
                const SearchResult r = SearchEnter<Wide>();
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
            MakeMoveHot(s, 1);
            SetChildMasks<Wide>(here, s);
            level = next;
            const int score = SearchEnter<Wide>().score;
            level = here;
            UndoMoveHot(s, -1);
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
            MakeMoveHot(s, -1);
            SetChildMasks<Wide>(here, s);
            level = next;
            const int score = SearchEnter<Wide>().score;
            level = here;
            UndoMoveHot(s, 1);
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
    return SearchEnter<false>();
}

SearchResult Morvane::SearchWide() {
    return SearchEnter<true>();
}

SearchResult Morvane::SearchWinLoss() {
    return WinLossEnter();
}

[[gnu::always_inline]] inline SearchResult Morvane::WinLossEnter() {
    if (!plainSearch && level > 0) return {kNoMove, WinLossBelowRoot()};
    ++amount;
    if (Broken()) return {kNoMove, 0};
    if (rest == 0) return {kNoMove, WinLossFinalScore(discDiff)};
    if (level == depth) return {kNoMove, EvaluateHot()};
    if (NodeMustStop()) return {kNoMove, 0};

    const int here = level;
    const bool maximiser = (here & 1) == 0;
    const int mover = maximiser ? 1 : -1;
    if (rest == 1 && here != 0 && emptyBits1[here] != 0) {
        // The last empty square, when the mover can take it: the finished child decides at once.
        const int s = squareList1[std::countl_zero(emptyBits1[here])];
        const int flips = morvane_hot::CountFlips(board + kFirstCell + s, mover);
        if (flips > 0) {
            ++amount;
            const bool holds = discDiff + (2 * flips + 1) * mover >= 0;
            if (maximiser)
                return holds ? SearchResult{s, kWinLossScore}
                             : SearchResult{kNoMove, -kWinLossScore};
            return holds ? SearchResult{kNoMove, kWinLossScore} : SearchResult{s, -kWinLossScore};
        }
    }
    return WinLossBody();
}

SearchResult Morvane::WinLossBody() {
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
        count = GenerateMovesHot(mover);
        if (count == 0) {
            if (GenerateMovesHot(-mover) == 0) return {kNoMove, WinLossFinalScore(discDiff)};
            emptyBits1[next] = emptyBits1[here];
            frontierBits1[next] = frontierBits1[here];
            moveListStart[next] = moveListStart[here];
            level = next;
            const SearchResult r = WinLossEnter();
            level = here;
            return r;
        }
        moveListStart[next] = moveListStart[here] + count;
        if (here < sortDepth) OrderMoves<false>(moves, count, mover);
    }

    --rest;
    SearchResult result{kNoMove, maximiser ? -kWinLossScore : kWinLossScore};
    for (int i = 0; i < count; ++i) {
        const int s = moves[i];
        MakeMoveHot(s, mover);
        SetChildMasks<false>(here, s);
        level = next;
        const int score = WinLossEnter().score;
        level = here;
        UndoMoveHot(s, -mover);
        if (maximiser ? score > 0 : score < 0) {
            ++rest;
            return {s, maximiser ? kWinLossScore : -kWinLossScore};
        }
        if (score == 0) result = {s, 0};
    }
    ++rest;
    return result;
}
