#include "EngineTestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <numeric>
#include <sstream>
#include <stdexcept>

#include <gtest/gtest.h>

#include "PositionText.h"

static constexpr int kSteps[8] = {1, -1, 10, -10, 11, -11, 9, -9};

static int Flips(const GameBoard& b, int square, int color, int step) {
    int t = square + step;
    while (t > 0 && t < 100 && b[t] == -color)
        t += step;
    return t > 0 && t < 100 && b[t] == color ? (t - square) / step - 1 : 0;
}

Game FromText(const std::string& text) {
    TextPosition position;
    std::string error;
    EXPECT_TRUE(ParsePositionText(text, position, error)) << error;
    return {position.board, position.sideToMove};
}

GameBoard Stones(const std::string& own, const std::string& opp) {
    GameBoard b{};
    for (const auto& [names, color] : {std::pair{own, 1}, std::pair{opp, -1}}) {
        std::istringstream in(names);
        for (std::string name; in >> name;)
            b[(name[0] - 'a' + 1) * 10 + name[1] - '0'] = color;
    }
    return b;
}

GameBoard Oriented(const Game& game) {
    GameBoard b = game.board;
    for (int& v : b)
        v *= game.side;
    return b;
}

Moves LegalMoves(const GameBoard& board, int color) {
    Moves moves;
    for (int s = 11; s <= 88; ++s)
        if (s % 10 != 0 && s % 10 != 9 && board[s] == 0 &&
            std::any_of(std::begin(kSteps), std::end(kSteps),
                        [&](int step) { return Flips(board, s, color, step) > 0; }))
            moves.emplace_back(s / 10, s % 10);
    return moves;
}

void Play(GameBoard& board, PointData move, int color) {
    const int s = move.x * 10 + move.y;
    for (int step : kSteps)
        for (int i = Flips(board, s, color, step); i > 0; --i)
            board[s + i * step] = color;
    board[s] = color;
}

int EmptyCount(const GameBoard& board) {
    return static_cast<int>(std::count(board.begin(), board.end(), 0)) - 36;  // 36 border cells
}

bool IsLegal(const Game& game, PointData move) {
    const Moves moves = LegalMoves(game.board, game.side);
    return std::find(moves.begin(), moves.end(), move) != moves.end();
}

int Reference(const GameBoard& b, int level, int depth, int alpha, int beta) {
    const int mover = level % 2 == 0 ? 1 : -1;
    const Moves moves = LegalMoves(b, mover);
    const bool over = EmptyCount(b) == 0 || (moves.empty() && LegalMoves(b, -mover).empty());
    if (level == depth && EmptyCount(b) > 0) {
        static Morvane engine;  // large: one for all leaves
        Prepare(engine, {b, 1});
        return engine.Evaluate();
    }
    if (over) {
        const int d = std::accumulate(b.begin(), b.end(), 0);
        return (d >= 0 ? 1 : -1) *
               (10000 + std::abs(d) + (std::abs(d) + EmptyCount(b) == 64) * 100);
    }
    if (moves.empty()) return Reference(b, level + 1, depth, alpha, beta);
    int best = -20000 * mover;
    for (const PointData& m : moves) {
        GameBoard child = b;
        Play(child, m, mover);
        const int v = Reference(child, level + 1, depth, alpha, beta);
        best = mover == 1 ? std::max(best, v) : std::min(best, v);
        (mover == 1 ? alpha : beta) = mover == 1 ? std::max(alpha, best) : std::min(beta, best);
        if (alpha >= beta) break;
    }
    return best;
}

int Prepare(Morvane& engine, const Game& game, int depth, int sortDepth) {
    engine.LoadPosition(game.board.data(), game.side);
    engine.Normalise();
    engine.rest = 64 - engine.CountDiscs();
    engine.depth = depth;
    engine.sortDepth = sortDepth;
    return engine.PrepareSearch();
}

// Throws, failing the test with the file's name, rather than hand a test a short list to index.
const std::vector<FfoPosition>& Ffo() {
    static std::vector<FfoPosition> all;
    if (!all.empty()) return all;
    std::vector<FfoPosition> read;
    for (const char* file : {"1-19", "20-39", "40-59", "60-79"}) {
        const std::string path = std::string(MORVANE_TEST_DATA) + "/ffo/fforum-" + file + ".obf";
        std::ifstream in(path);
        if (!in) throw std::runtime_error("cannot read FFO test data " + path);
        for (std::string line; std::getline(in, line);) {
            if (line.size() < 66) continue;
            const Game game = FromText(line.substr(0, 66));
            read.push_back({game, static_cast<int>(read.size()) + 1, EmptyCount(game.board), {}});
            std::istringstream items(line.substr(std::min(line.find(';'), line.size())));
            for (std::string item; std::getline(items, item, ';');)  // " G8:+18"
                if (const auto c = item.find(':'); c != std::string::npos && c >= 2)
                    read.back().moves.push_back({{item[c - 2] - 'A' + 1, item[c - 1] - '0'},
                                                 std::atoi(item.c_str() + c + 1)});
        }
    }
    if (read.size() != 79) throw std::runtime_error("FFO test data: not 79 positions");
    all = std::move(read);
    return all;
}

Game PositionWithEmpties(int empties, int seed) {
    std::vector<Game> sources;
    for (const FfoPosition& p : Ffo())
        if (p.empties >= empties) sources.push_back(p.game);
    sources.insert(sources.end(), 8, FromText(kStart));
    for (std::size_t i = static_cast<std::size_t>(seed); i < sources.size(); ++i) {
        auto [b, side] = sources[i];
        while (EmptyCount(b) > empties) {
            Moves moves = LegalMoves(b, side);
            if (moves.empty()) moves = LegalMoves(b, side = -side);
            if (moves.empty()) break;
            Play(b, moves[static_cast<std::size_t>(EmptyCount(b) * (7 + seed)) % moves.size()],
                 side);
            side = -side;
        }
        if (EmptyCount(b) == empties && LegalMoves(b, side).size() >= 2) return {b, side};
    }
    ADD_FAILURE() << "no position with " << empties << " empties";
    return FromText(kStart);
}

int Think::Index(const std::string& prefix, int from) const {
    for (std::size_t i = static_cast<std::size_t>(from); i < lines.size(); ++i)
        if (lines[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
    return -1;
}

Think RunThink(const Game& game, int levelOrAllowance, int rTime, Morvane* reuse) {
    Morvane fresh;
    Morvane& e = reuse != nullptr ? *reuse : fresh;
    const std::uint32_t jump = rTime == kByAmount ? 0 : 100000;
    e.tickCount = [t = 1000u, jump]() mutable { return t += jump; };
    Think result{};
    e.onTrace = [&](const std::string& line) {
        result.lines.push_back(line);
        result.text += line + "|";
    };
    e.onIteration = [&](const SearchIteration& i) { result.live.push_back(i); };
    e.LoadPosition(game.board.data(), game.side);
    if (rTime != kByAmount) e.StartGame(levelOrAllowance);
    result.move = rTime == kByAmount ? e.ThinkByAmount(levelOrAllowance) : e.ThinkByTime(rTime);
    result.report = e.report;
    e.onTrace = nullptr;
    e.onIteration = nullptr;
    return result;
}

std::vector<std::unique_ptr<Morvane>> Implementations() {
    std::vector<std::unique_ptr<Morvane>> engines;
    for (int i = 0; i < (Morvane::BestCpuPath() == Morvane::CpuPath::Generic ? 2 : 3); ++i) {
        engines.push_back(std::make_unique<Morvane>());
        engines.back()->plainSearch = i == 0;
        engines.back()->cpuPath = i == 2 ? Morvane::BestCpuPath() : Morvane::CpuPath::Generic;
    }
    return engines;
}
