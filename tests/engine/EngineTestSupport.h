#pragma once

#include <array>
#include <iterator>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "Morvane.h"

// Plain Othello rules over the game layout (x * 10 + y), written apart from the engine's tables,
// and the set-up shared by the engine tests.
using GameBoard = std::array<int, 100>;
using Moves = std::vector<PointData>;
struct Game {
    GameBoard board;
    int side;  // to move
};

inline constexpr const char* kStart =
    "---------------------------OX------XO--------------------------- X";

Game FromText(const std::string& text);
// +1 stones on the squares named in own ("a1 b2"), -1 stones on those named in opp.
GameBoard Stones(const std::string& own, const std::string& opp = "");
GameBoard Oriented(const Game& game);  // the side to move as +1
Moves LegalMoves(const GameBoard& board, int color);
void Play(GameBoard& board, PointData move, int color);
int EmptyCount(const GameBoard& board);
bool IsLegal(const Game& game, PointData move);  // for the side to move
inline std::vector<int> Cells(const Morvane& e) {
    return {std::begin(e.board), std::end(e.board)};
}

// The independent reference: alpha-beta on the engine's scale. +1 maximises on even levels, a pass
// takes a level, a finished game scores 10000 + d (d >= 0) or d - 10000 with 100 more for a
// wipe-out, and the leaf level takes the engine's Evaluate (checked on its own).
int Reference(const GameBoard& b, int level, int depth, int alpha = -20000, int beta = 20000);

// Sets up a fresh engine for a root search as a driver does: the game loaded and normalised (the
// engine plays the side to move), rest, depth and sortDepth; returns PrepareSearch's result (1
// narrow, 0 wide).
int Prepare(Morvane& engine, const Game& game, int depth = 99, int sortDepth = 0);

struct FfoPosition {
    Game game;
    int number, empties;
    std::vector<std::pair<PointData, int>> moves;  // as listed, best first, with their scores
};
const std::vector<FfoPosition>& Ffo();

// A real position with `empties` empty squares and two or more moves for the side to move.
Game PositionWithEmpties(int empties, int seed = 0);

struct Think {
    std::vector<std::string> lines;
    std::string text;  // the lines, each followed by '|'
    PointData move;
    ThinkReport report;
    std::vector<SearchIteration> live;                         // as onIteration saw them
    int Index(const std::string& prefix, int from = 0) const;  // first such line from `from`, or -1
    // What must not differ between implementations or repeated thinks.
    auto Outcome() const {
        return std::tuple(lines, move, report.nodes, report.iterations, report.score);
    }
};
// With rTime = kByAmount: ThinkByAmount(level) with a frozen clock, so every figure of the trace
// is fixed. Otherwise StartGame(allowance), then ThinkByTime(rTime) with a clock that jumps 100 s
// at every reading: only the un-timed pre-searches run, and the time allocation shows in the trace.
inline constexpr int kByAmount = -1000000000;
Think RunThink(const Game& g, int levelOrAllowance, int rTime = kByAmount,
               Morvane* reuse = nullptr);

// The implementations that must agree node for node: the padded-board reference first
// (plainSearch), then the generic bitboard path and, where this processor has it, the AVX2 one.
std::vector<std::unique_ptr<Morvane>> Implementations();
