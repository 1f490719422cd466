#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "Morvane.h"
#include "PositionText.h"

// Plain game-layout rules (x * 10 + y, border 0), written independently of the engine's tables so
// that tests can compare the engine against them.
using GameBoard = std::array<int, 100>;

struct Square {
    int x;
    int y;
    friend bool operator==(const Square&, const Square&) = default;
};

GameBoard BoardFromText(const std::string& text, int* sideToMove = nullptr);
std::vector<Square> LegalMoves(const GameBoard& board, int color);
void Play(GameBoard& board, Square move, int color);
int EmptyCount(const GameBoard& board);

// Loads a position into the engine as the think operations do before a driver runs: the side to
// move becomes +1, rest, level and amount are set, the root slot starts at 0.
void LoadForSearch(Morvane& engine, const GameBoard& board, int sideToMove);
void LoadForSearch(Morvane& engine, const std::string& text);

// Collects trace lines.
struct TraceLog {
    std::vector<std::string> lines;
    void Attach(Morvane& engine) {
        engine.onTrace = [this](const std::string& line) { lines.push_back(line); };
    }
    int IndexOf(const std::string& line, int from = 0) const;
    int CountOf(const std::string& line) const;
};

// A tick counter that advances by a fixed step at every reading.
struct FakeClock {
    std::uint32_t now = 1000;
    std::uint32_t step = 0;
    TickCounter Counter() {
        return [this] {
            const std::uint32_t t = now;
            now += step;
            return t;
        };
    }
};

struct FfoPosition {
    std::string text;  // the line as stored
    int number;        // line number over the four files, 1-based: the FFO number
    int empties;
    std::vector<std::pair<Square, int>> moves;  // listed moves with their scores, best first
};

std::vector<FfoPosition> LoadFfo();

std::string Name(Square s);
Square ParseSquare(const std::string& name);
