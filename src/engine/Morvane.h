#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "PointData.h"
#include "TickCounter.h"

// A move as a square index (x - 1) * 16 + (y - 1) together with its score.
struct SearchResult {
    int move;
    int score;
};

// One completed iteration of the iterative deepening: what its depth line in the trace says.
struct SearchIteration {
    int depth;
    int move;              // square index
    int score;             // engine's view
    long long nodes;       // of this iteration
    long long thinkNodes;  // of the think so far
    std::uint32_t ms;      // of this iteration
    bool operator==(const SearchIteration&) const = default;
};

// What the last think did, as data for front-ends; the trace is for people.
struct ThinkReport {
    std::vector<SearchIteration> iterations;  // each one that wrote a depth line, in order
    int move = -1;        // square index of the move returned; -1 after an abort
    int score = 0;        // that came with the move, engine's view (see the score scale)
    long long nodes = 0;  // every node of the think, all searches together
};

// The computer opponent: a padded board searched in place (make/undo through flipRecord), a
// hand-tuned evaluation, region and mask-word move generation, a min/max search with deep
// cut-offs, a win/loss and an exact endgame search, and the drivers that pick a search and its
// budget. Below the root every search runs on disc bitboards (MorvaneSolve.cpp), node for node
// as on the padded board, which stays as the reference (plainSearch). ThinkByTime and
// ThinkByAmount are the entry points; progress goes to onTrace as text and to report (and
// onIteration) as data.
// Inside a search +1 is always the engine's own side and -1 the opponent.
class Morvane {
public:
    // Per-level arrays cover the deepest reachable ply: a search stops at level `depth` (99 at
    // most) or at the end of the game, and every pass is followed by a move, so no path from a
    // root with at most 62 empty squares gets deeper than 125 plies.
    static constexpr int kLevelCapacity = 160;
    // A move fills an empty square, so no node has more than 64 legal moves.
    static constexpr int kMaxMoves = 64;
    // Each level's slot starts after its parent's moves; this bounds every slot of every level.
    static constexpr int kMoveListSize = kLevelCapacity * kMaxMoves;
    static constexpr int kNoMove = -1;
    // Nodes of the exact and win/loss searches with this many empty squares or fewer go to the
    // small-endgame solver: nearly all of an endgame's nodes, never sorted.
    static constexpr int kSmallEmpties = 6;

    // The score scale, from the engine's view. Evaluations stay within a few hundred points. A
    // finished game scores kFinalBase + d for a disc difference d >= 0 and d - kFinalBase below,
    // kWipeOutBonus more in magnitude when one side has no disc left; a draw scores +kFinalBase,
    // so it ranks above every evaluation and every loss. The win/loss search answers
    // +-kWinLossScore, above every finished game without the bonus (at most 10064).
    static constexpr int kFinalBase = 10000;
    static constexpr int kWipeOutBonus = 100;
    static constexpr int kWinLossScore = 10065;
    static constexpr int kScoreBound = 11000;  // beyond every real score: the initial best values
    static constexpr int FinalScore(int d, int empties) {
        const int bonus = (d < 0 ? -d : d) + empties == 64 ? kWipeOutBonus : 0;
        return d >= 0 ? d + kFinalBase + bonus : d - kFinalBase - bonus;
    }
    // A finished game as the win/loss search scores it: only its sign is used, no bonus.
    static constexpr int WinLossFinalScore(int d) {
        return d >= 0 ? d + kFinalBase : d - kFinalBase;
    }
    // The drivers' reading: a finished game other than a draw, or a win/loss answer.
    static constexpr bool IsDecided(int score) { return score > kFinalBase || score < -kFinalBase; }
    // A front-end's reading: a finished game (a draw included) or a win/loss answer, not an
    // evaluation.
    static constexpr bool IsGameResult(int score) {
        return score >= kFinalBase || score <= -kFinalBase;
    }
    static constexpr bool IsWinLossScore(int score) {
        return score == kWinLossScore || score == -kWinLossScore;
    }
    // The disc difference of a finished game's score (IsGameResult, not IsWinLossScore).
    static constexpr int FinalDiscs(int score) {
        int discs = (score < 0 ? -score : score) - kFinalBase;
        if (discs > kWipeOutBonus) discs -= kWipeOutBonus;
        return score < 0 ? -discs : discs;
    }

    // Instruction set of the bitboard search: the best this processor has, or the portable path,
    // which every processor runs (the tests run both).
    enum class CpuPath { Generic, Avx2 };
    static CpuPath BestCpuPath();

    Morvane();

    int board[160];  // cell (x, y) at x * 16 + y; walls hold 9
    int ownColor = 1;
    int oppColor = -1;
    std::function<void(const std::string&)> onTrace;  // one UTF-8 line per call; may be empty
    // Runs when an iteration is added to report (may be empty).
    std::function<void(const SearchIteration&)> onIteration;
    ThinkReport report;            // of the last think; cleared when the next think starts
    std::function<void()> onPump;  // window-message pump run at time checks; may be empty
    // onPump runs at a time check only when this many milliseconds have passed since it last ran
    // (0: at every check); the first check of a think always pumps. Node counts and the time
    // checks themselves do not depend on it.
    std::uint32_t pumpIntervalMs = 0;
    // A window pumped a hundred times a second stays responsive, and a search near its time limit,
    // which checks the time at every node, no longer runs at the speed of the pump.
    static constexpr std::uint32_t kWindowPumpIntervalMs = 10;
    TickCounter tickCount;  // defaults to SystemTickCount; tests install a fake
    CpuPath cpuPath = BestCpuPath();
    // The padded-board reference: every node on the board cells, evaluated with the move
    // generator's counts. The same nodes, moves, scores and trace, only slower (tests and bench
    // --plain).
    bool plainSearch = false;

    // Position and evaluation.
    int discDiff = 0;
    int rest = 0;
    int level = 0;
    int flipRecord[kLevelCapacity][8]{};
    // The same discs as bit sets, bit (y - 1) * 8 + (x - 1): +1 discs, -1 discs, and per level the
    // discs the move at that level flipped. Kept by PrepareSearch, MakeMove and UndoMove.
    std::uint64_t ownBits = 0;
    std::uint64_t oppBits = 0;
    std::uint64_t flipBits[kLevelCapacity]{};

    // Search parameters and statistics.
    int depth = 8;
    int sortDepth = 5;
    int searchMode = 0;
    bool recordRoot = false;
    SearchResult rootMoves[kMaxMoves]{};
    int rootMoveCount = 0;
    int amount = 0;
    int pass = 0;
    int savedPassMoves = 0;
    int bestAtLevel[kLevelCapacity]{};
    int sortScore[kMaxMoves]{};
    bool isTimeLimited = false;
    std::uint32_t startTime = 0;
    std::uint32_t breakTime = 0;
    bool isBreak = false;
    int checkMask = 16383;
    int tForFinal = -1;

    // Square s + dirOffset[d] is the neighbour of s in direction d: the eight directions in
    // circular order (y+1; x+1, y+1; x+1; x+1, y-1; y-1; ...), then the first three again, so that
    // any run of up to five neighbouring directions is one index range.
    static constexpr int dirOffset[11] = {1, 17, 16, 15, -1, -17, -16, -15, 1, 17, 16};

    // Move generation tables, built by PrepareSearch.
    int squareList1[32]{};
    int squareList2[32]{};
    int regionCount1 = 0;
    int regionEnd1[9]{};
    int regionFirstDir1[9]{};
    int regionLastDir1[9]{};
    std::uint32_t regionMask1[9]{};
    int positionRegion1[32]{};  // the used region each empty square's position belongs to
    int regionCount2 = 0;
    int regionEnd2[4]{};
    int regionFirstDir2[4]{};
    int regionLastDir2[4]{};
    std::uint32_t regionMask2[4]{};
    int positionRegion2[32]{};
    std::uint32_t clearMask1[120]{};
    std::uint32_t clearMask2[120]{};
    std::uint32_t neighbourBits1[120]{};
    std::uint32_t neighbourBits2[120]{};
    std::uint32_t emptyBits1[kLevelCapacity]{};
    std::uint32_t emptyBits2[kLevelCapacity]{};
    std::uint32_t frontierBits1[kLevelCapacity]{};
    std::uint32_t frontierBits2[kLevelCapacity]{};
    int moveList[kMoveListSize]{};
    int moveListStart[kLevelCapacity]{};

    // Loads a game board (100 ints indexed x * 10 + y, layout of OthelloLogic) and the engine's
    // colour: board cells (x, y) for x, y in 1..8, ownColor = color, oppColor = -color.
    void LoadPosition(const int* gameBoard, int color);

    void StartGame(int allowanceMs);
    PointData ThinkByTime(int rTime);  // (x, y) in game coordinates
    PointData ThinkByAmount(int level);

    // Asks a running think (called from inside onPump, e.g. when the program closes) to stop at
    // its next time check. The think then returns promptly through every driver, writes no
    // further search work, and its move must be discarded by the caller. Cleared when the next
    // think starts. Never changes node counts of a think that is not aborted.
    void Abort();
    bool WasAborted() const;  // whether the last think was stopped by Abort

    // Square index s is cell kFirstCell + s: cell (1, 1) is square 0.
    static constexpr int kFirstCell = 17;
    static constexpr int SquareIndex(int x, int y) { return x * 16 + y - kFirstCell; }
    static constexpr PointData SquareXY(int s) { return PointData(s / 16 + 1, s % 16 + 1); }

    // Position (MorvanePosition.cpp).
    void Normalise();
    int CountDiscs() const;
    int SumBoard() const;
    void MakeMove(int s, int k);
    void UndoMove(int s, int k2);

    // Evaluation (MorvaneEvaluate.cpp).
    int Evaluate();
    int CountStable() const;
    int EvaluatePlain();       // on the board cells, mobility by GenerateMovesWide
    int EvaluateBits() const;  // on ownBits and oppBits

    // Move generation (MorvaneMoveGen.cpp).
    int PrepareSearch();
    int GenerateMoves(int k);
    int GenerateMovesWide(int k);

    // Searches (MorvaneSearch.cpp).
    SearchResult Search();
    SearchResult SearchWide();
    SearchResult SearchWinLoss();

    // Drivers (MorvaneDrivers.cpp).
    SearchResult SearchByAmount(int baseDepth, int amountLimit);
    SearchResult SearchByTime(std::uint32_t limitTime, bool keepDeepening);
    SearchResult SemiCompleteSearch(std::uint32_t limitTime, bool keepDeepening, bool timed);
    SearchResult CompleteSearch(std::uint32_t limitTime, bool keepDeepening, bool timed);

    // Root list of the drivers.
    void SortRootMoves();
    void RotateToFront(int move);
    void HandOverRootMoves();

    // Trace (MorvaneTrace.cpp).
    void Trace(const std::string& text);
    void TraceStatistics(int move, int score, float ms);
    // Milliseconds as seconds: "1.234", "0.02", "1", "0".
    static std::string FormatSeconds(double ms);

private:
    friend struct EndgameAccess;
    bool isAborted = false;
    bool hasPumped = false;  // in this think
    std::uint32_t lastPumpTime = 0;

    // Runs at every checkMask + 1 nodes; true when the search must stop now.
    bool TimeCheck();
    // The stop test of every node, on either board: once a timed search has broken off, or Abort
    // was called, every node returns at once; otherwise TimeCheck runs when the node count says
    // so. The win/loss nodes test Broken before they score anything, the others after.
    bool Broken() const { return isBreak && (isTimeLimited || isAborted); }
    bool NodeMustStop() { return Broken() || ((amount & checkMask) == checkMask && TimeCheck()); }
    // The masks of the child that a move on s leads to from level here.
    template <bool Wide>
    void SetChildMasks(int here, int s) {
        emptyBits1[here + 1] = emptyBits1[here] & clearMask1[s];
        frontierBits1[here + 1] = frontierBits1[here] | neighbourBits1[s];
        if constexpr (Wide) {
            emptyBits2[here + 1] = emptyBits2[here] & clearMask2[s];
            frontierBits2[here + 1] = frontierBits2[here] | neighbourBits2[s];
        }
    }
    template <bool Wide>
    void OrderMoves(int* moves, int count, int mover);
    // Search over word 1, or SearchWide over both words: the cheap early exits, then the rest.
    template <bool Wide>
    SearchResult SearchEnter();
    template <bool Wide>
    SearchResult SearchBody();
    SearchResult WinLossEnter();
    SearchResult WinLossBody();
    SearchResult RunSearch(bool narrow);
    // Every node below the root on the disc bitboards (MorvaneSolve.cpp), in place of Search or
    // SearchWinLoss at the current level: the same nodes, the score from the engine's view.
    SearchResult SearchBelowRoot();
    int WinLossBelowRoot();
    // sortScore for each move: the value of the position after it (MorvaneEvaluate.cpp).
    void OrderScoresBits(const int* moves, int count, int mover);
    void ReportIteration(SearchResult best, std::uint32_t ms);
    std::uint32_t BeginThink();
    PointData FinishThink(SearchResult r, std::uint32_t t0);
    int FirstLegalMove();

    // Inline bodies of the operations the searches call at every node (MorvaneHot.h).
    void MakeMoveHot(int s, int k);
    void UndoMoveHot(int s, int k2);
    int GenerateMovesHot(int k);
    int GenerateMovesWideHot(int k);
    int EvaluateHot();
};
