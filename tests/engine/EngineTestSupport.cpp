#include "EngineTestSupport.h"

#include <fstream>

#include <gtest/gtest.h>

namespace {

constexpr int kSteps[8] = {1, -1, 10, -10, 11, -11, 9, -9};

int Flips(const GameBoard& board, int square, int color, int step) {
    int t = square + step;
    int n = 0;
    while (t >= 0 && t < 100 && board[static_cast<std::size_t>(t)] == -color) {
        t += step;
        ++n;
    }
    if (t < 0 || t >= 100 || board[static_cast<std::size_t>(t)] != color) return 0;
    return n;
}

}  // namespace

GameBoard BoardFromText(const std::string& text, int* sideToMove) {
    TextPosition position;
    std::string error;
    EXPECT_TRUE(ParsePositionText(text, position, error)) << error << " in " << text;
    if (sideToMove != nullptr) *sideToMove = position.sideToMove;
    return position.board;
}

std::vector<Square> LegalMoves(const GameBoard& board, int color) {
    std::vector<Square> moves;
    for (int x = 1; x <= 8; ++x) {
        for (int y = 1; y <= 8; ++y) {
            const int s = x * 10 + y;
            if (board[static_cast<std::size_t>(s)] != 0) continue;
            for (int step : kSteps) {
                if (Flips(board, s, color, step) > 0) {
                    moves.push_back({x, y});
                    break;
                }
            }
        }
    }
    return moves;
}

void Play(GameBoard& board, Square move, int color) {
    const int s = move.x * 10 + move.y;
    for (int step : kSteps) {
        const int n = Flips(board, s, color, step);
        for (int i = 1; i <= n; ++i)
            board[static_cast<std::size_t>(s + i * step)] = color;
    }
    board[static_cast<std::size_t>(s)] = color;
}

int EmptyCount(const GameBoard& board) {
    int n = 0;
    for (int x = 1; x <= 8; ++x)
        for (int y = 1; y <= 8; ++y)
            n += board[static_cast<std::size_t>(x * 10 + y)] == 0;
    return n;
}

void LoadForSearch(Morvane& engine, const GameBoard& board, int sideToMove) {
    engine.LoadPosition(board.data(), sideToMove);
    engine.Normalise();
    engine.rest = 64 - engine.CountDiscs();
    engine.level = 0;
    engine.amount = 0;
    engine.moveListStart[0] = 0;
    engine.recordRoot = false;
    engine.savedPassMoves = 0;
    engine.searchMode = 0;
}

void LoadForSearch(Morvane& engine, const std::string& text) {
    int side = 1;
    const GameBoard board = BoardFromText(text, &side);
    LoadForSearch(engine, board, side);
}

int TraceLog::IndexOf(const std::string& line, int from) const {
    for (std::size_t i = static_cast<std::size_t>(from); i < lines.size(); ++i)
        if (lines[i] == line) return static_cast<int>(i);
    return -1;
}

int TraceLog::CountOf(const std::string& line) const {
    int n = 0;
    for (const std::string& l : lines)
        n += l == line;
    return n;
}

std::vector<FfoPosition> LoadFfo() {
    std::vector<FfoPosition> positions;
    int number = 0;
    for (const char* file :
         {"fforum-1-19.obf", "fforum-20-39.obf", "fforum-40-59.obf", "fforum-60-79.obf"}) {
        std::ifstream in(std::string(MORVANE_SHARED_DATA) + "/ffo/" + file);
        EXPECT_TRUE(in.good()) << "missing FFO file " << file;
        std::string line;
        while (std::getline(in, line)) {
            if (line.size() < 66) continue;
            FfoPosition p;
            p.text = line;
            p.number = ++number;
            p.empties = 0;
            for (int i = 0; i < 64; ++i)
                p.empties += line[static_cast<std::size_t>(i)] == '-';
            // "; G8:+18; H1:+12;" after the side to move.
            std::size_t at = line.find(';');
            while (at != std::string::npos) {
                const std::size_t colon = line.find(':', at);
                if (colon == std::string::npos) break;
                std::string name = line.substr(colon - 2, 2);
                name[0] = static_cast<char>(name[0] - 'A' + 'a');
                const std::size_t end = line.find(';', colon);
                p.moves.push_back(
                    {ParseSquare(name), std::stoi(line.substr(colon + 1, end - colon - 1))});
                at = end;
            }
            positions.push_back(p);
        }
    }
    return positions;
}

std::string Name(Square s) {
    return SquareName(s.x, s.y);
}

Square ParseSquare(const std::string& name) {
    return {name[0] - 'a' + 1, name[1] - '0'};
}
