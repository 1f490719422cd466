// Command-line front end of the engine: think about one position, or run the benchmark.
//   morvane-engine think --level N "POSITION"
//   morvane-engine think --time MS [--allowance MS] "POSITION"
//   morvane-engine analyze [--level N] "POSITION"   (the value of every legal move)
//   morvane-engine bench [--quick] [--generic | --plain]
//   morvane-engine nboard   (the NBoard protocol on stdin and stdout, see NboardProtocol.h)
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "Morvane.h"
#include "MorvaneAnalysis.h"
#include "NboardProtocol.h"
#include "Othellologic.h"
#include "Othelloparams.h"
#include "PositionText.h"

namespace {

constexpr int kBadInput = 2;
constexpr int kMaxLevel = static_cast<int>(kLevelTable.size()) - 1;

constexpr const char* kHelp =
    "Usage: morvane-engine COMMAND\n"
    "The search engine of the Othello game Morvane on the command line.\n"
    "\n"
    "  think --level N POSITION       the move at level N (0 to 8, as レベル１ to レベル９)\n"
    "  think --time MS [--allowance MS] POSITION\n"
    "                                 the move with MS milliseconds left on the clock\n"
    "  analyze [--level N] POSITION   the value of every legal move, best first (N 0 to 8,\n"
    "                                 by default 8)\n"
    "  bench [--quick] [--generic | --plain]\n"
    "                                 the benchmark; its node total is the search's signature\n"
    "  nboard                         the NBoard protocol on standard input and output\n"
    "  -h, --help                     show this help and exit\n"
    "  --version                      show the version and exit\n"
    "\n"
    "POSITION: 64 characters for a1 b1 .. h1 a2 .. h8 (X or * black, O white, - or . empty),\n"
    "a space and the side to move (X or O).\n";

int Fail(const std::string& message) {
    std::cerr << "morvane-engine: " << message << '\n';
    return kBadInput;
}

bool ParseInt(const std::string& text, int& value) {
    if (text.empty()) return false;
    std::size_t used = 0;
    try {
        value = std::stoi(text, &used);
    } catch (const std::exception&) {
        return false;
    }
    return used == text.size();
}

int Think(const std::vector<std::string>& args) {
    int level = 0;
    bool haveLevel = false;
    int timeMs = 0;
    int allowanceMs = 0;
    bool byTime = false;
    bool haveAllowance = false;
    std::string positionText;
    bool havePosition = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--level" || arg == "--time" || arg == "--allowance") {
            if (i + 1 >= args.size()) return Fail(arg + " needs a number");
            int value = 0;
            if (!ParseInt(args[i + 1], value))
                return Fail(arg + " needs a number, got '" + args[i + 1] + "'");
            ++i;
            if (arg == "--level") {
                if (value < 0 || value > kMaxLevel)
                    return Fail("--level needs a level from 0 to " + std::to_string(kMaxLevel) +
                                ", got '" + args[i] + "'");
                level = value;
                haveLevel = true;
            } else if (arg == "--time") {
                timeMs = value;
                byTime = true;
            } else {
                allowanceMs = value;
                haveAllowance = true;
            }
        } else if (!havePosition) {
            positionText = arg;
            havePosition = true;
        } else {
            return Fail("unexpected argument '" + arg + "'");
        }
    }
    if (byTime == haveLevel) return Fail("think needs exactly one of --level N and --time MS");
    if (haveAllowance && !byTime) return Fail("--allowance goes with --time");
    if (!havePosition) return Fail("think needs a position");
    TextPosition position;
    std::string error;
    if (!ParsePositionText(positionText, position, error)) return Fail(error);
    OthelloLogic rules;
    rules.CopyFrom(position.board);
    if (!rules.HasLegalMove(position.sideToMove)) return Fail("the side to move has no legal move");

    Morvane engine;
    engine.onTrace = [](const std::string& line) { std::cout << line << '\n'; };
    engine.LoadPosition(position.board.data(), position.sideToMove);
    PointData move;
    if (byTime) {
        engine.StartGame(haveAllowance ? allowanceMs : timeMs);
        move = engine.ThinkByTime(timeMs);
    } else {
        move = engine.ThinkByAmount(level);
    }
    std::cout << SquareName(move.x, move.y) << '\n';
    return 0;
}

std::string MoveValueText(const MoveValue& v) {
    const std::string square = SquareName(v.x, v.y) + " ";
    switch (v.kind) {
        case MoveValue::Kind::Exact:
            return square + "exact " + (v.value > 0 ? "+" : "") + std::to_string(v.value);
        case MoveValue::Kind::WinLoss:
            return square + "wld " + (v.value > 0 ? "win" : v.value < 0 ? "loss" : "draw");
        case MoveValue::Kind::Eval:
            break;
    }
    // The depth as the game counts it, the move itself included.
    return square + "eval " + std::to_string(v.value) + " " + std::to_string(v.depth + 1);
}

int Analyze(const std::vector<std::string>& args) {
    int level = 8;
    std::string positionText;
    bool havePosition = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--level") {
            if (i + 1 >= args.size() || !ParseInt(args[i + 1], level))
                return Fail("--level needs a number");
            ++i;
            if (level < 0 || level > kMaxLevel)
                return Fail("--level needs a level from 0 to " + std::to_string(kMaxLevel) +
                            ", got '" + args[i] + "'");
        } else if (!havePosition) {
            positionText = args[i];
            havePosition = true;
        } else {
            return Fail("unexpected argument '" + args[i] + "'");
        }
    }
    if (!havePosition) return Fail("analyze needs a position");
    TextPosition position;
    std::string error;
    if (!ParsePositionText(positionText, position, error)) return Fail(error);
    MorvaneAnalysis analysis;
    const AnalysisResult result =
        analysis.Analyze(position.board.data(), position.sideToMove, level);
    if (result.gameOver) {
        std::cout << "game over\n";
    } else if (result.mustPass) {
        std::cout << "pass\n";
    } else {
        for (const MoveValue& v : result.moves)
            std::cout << MoveValueText(v) << '\n';
        std::printf("nodes %lld time %.3f\n", result.nodes, result.seconds);
    }
    return 0;
}

// Bench set v1. Node totals are fixed by the search; a change to them is a change of the search.
struct BenchCase {
    const char* name;
    const char* kind;  // what the level makes of the position's empty squares
    int level;         // index into the level table
    bool quick;        // part of --quick
    const char* position;
};

// Positions of the FFO endgame suite (numbers as in tests/data/ffo), searched by level so
// that each exercises one driver: midgame iterative deepening, the win/loss proof, the exact
// solution. The exact-search figures are the engine's speed measure.
constexpr BenchCase kBench[] = {
    {"start", "midgame", 8, false,
     "---------------------------OX------XO--------------------------- X"},
    {"ffo-75", "midgame", 8, false,
     "----O-------OO----XXOX-O-XXXOXOO--OOOOO---OOOXOX--OOOOX------O-- X"},
    {"ffo-79", "midgame", 3, true,
     "--------------X-----O-XX---OOOX-OOOOXOXX--OOOOOO--O-OO-O----OO-- X"},
    {"ffo-69", "midgame", 6, false,
     "--OOOO-----OOO---OOOOO--XXOXXOO--OXOXOO-OXXXXXX---X-X----------- X"},
    {"ffo-35", "winloss", 6, false,
     "--XXX-----XXXX-OOOXXOOOOOOOOOOXO-OOXXXXO-OOOXXXO---XOXX---X----- O"},
    {"ffo-37", "winloss", 6, true,
     "--OOOO--O-OOOO--OXXXOOO-OXXOXO--OOXXOXX-OOXXXX--O-XXX-----XX-O-- X"},
    {"ffo-1", "exact", 6, true,
     "--XXXXX--OOOXX-O-OOOXXOX-OXOXOXXOXXXOXXX--XOXOXX-XXXOOO--OOOOO-- X"},
    {"ffo-16", "exact", 6, true,
     "-XXXXXX-X-XXXOO-XOXXXOOXXOOXXXOX-OOOXXXX--OOXXXX---OOO----XOX-O- X"},
    {"ffo-22", "exact", 6, true,
     "--OOOO--X-OOOOO-XXOOXOXXXOXOXXXXXXXOXXXX-XXOXOXX--OXXX-X----X--- O"},
    {"ffo-23", "exact", 6, false,
     "--O-------OOX---OOOXXXO-OOOOXOXXXXXOOXOXXXXXXOOXX-XXXXOX--XXXX-- X"},
    {"ffo-24", "exact", 6, false,
     "--O--O-----OOOX--X-XOXOO--XXXOOOXXXXOOOOXXXOXXOOXXXXXX--XOXX-O-- O"},
    {"ffo-27", "exact", 6, false,
     "--XO-O----OOOO--OOXOXXO-OOOOXXOOOOOXXOX-OXOXXXXX--XXXX----X-O-X- X"},
    {"ffo-29", "exact", 6, false,
     "-OXXXX----OXXO--XXOOXOOOXXXOOXOOXXOOXOOOXXXXOO-XX-XXO----------- X"},
    {"ffo-30", "exact", 6, false,
     "-XXX----X-XOO---XXOXOO--XOXOXO--XOOXOXXXXOOXXOX---OOOOO--XXXXX-- X"},
};

struct Timed {
    PointData move;
    long long nodes;
    double ms;
};

template <class Run>
Timed TimeThink(Morvane& engine, const char* positionText, Run run) {
    TextPosition position;
    std::string error;
    ParsePositionText(positionText, position, error);  // checked when the bench starts
    engine.LoadPosition(position.board.data(), position.sideToMove);
    const auto start = std::chrono::steady_clock::now();
    const PointData move = run(engine);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return {move, engine.report.nodes, ms};
}

double PerSecond(long long nodes, double ms) {
    return ms > 0 ? static_cast<double>(nodes) * 1000.0 / ms : 0.0;
}

void PrintRow(const char* name, const char* kind, const char* level, const Timed& t) {
    std::printf("%-10s %-8s %5s %4s %12lld %9.0f %12.0f", name, kind, level,
                SquareName(t.move.x, t.move.y).c_str(), t.nodes, t.ms, PerSecond(t.nodes, t.ms));
}

// One exact search on the clock, started within three seconds of its limit so that the time is
// checked at every node, with the window's pump on the seam the game uses: at most every
// Morvane::kWindowPumpIntervalMs, and for comparison at every check. The pump stands in for the
// window's by asking the system for pending events (a poll without waiting).
void BenchPump(Morvane::CpuPath path, bool plain) {
    constexpr int kRemainingMs = 6178;  // exact search, breakTime 2899 ms
    const BenchCase& bench =
        *std::find_if(std::begin(kBench), std::end(kBench),
                      [](const BenchCase& b) { return std::string(b.name) == "ffo-16"; });
    for (const std::uint32_t interval : {Morvane::kWindowPumpIntervalMs, std::uint32_t{0}}) {
        Morvane engine;
        engine.cpuPath = path;
        engine.plainSearch = plain;
        long long pumps = 0;
        engine.onPump = [&pumps] {
            ++pumps;
            poll(nullptr, 0, 0);
        };
        engine.pumpIntervalMs = interval;
        const Timed t = TimeThink(engine, bench.position,
                                  [](Morvane& e) { return e.ThinkByTime(kRemainingMs); });
        PrintRow(bench.name, interval != 0 ? "pump10ms" : "pumpall", "clock", t);
        std::printf(" pumps %lld%s\n", pumps, engine.isBreak ? ", stopped by time" : "");
    }
}

// FFO #21 to #29 (15 to 20 empty squares): the analysis values every move exactly at level
// index 8 in no more time than the game's search takes to find only the best move.
constexpr const char* kAnalysisBench[] = {
    "OOOOOOOOXOOXXX--XXOOXOO-XOXOOO--XOOOOX--XOOXOO--XOOOOO--XXXX---- O",
    "--OOOO--X-OOOOO-XXOOXOXXXOXOXXXXXXXOXXXX-XXOXOXX--OXXX-X----X--- O",
    "--O-------OOX---OOOXXXO-OOOOXOXXXXXOOXOXXXXXXOOXX-XXXXOX--XXXX-- X",
    "--O--O-----OOOX--X-XOXOO--XXXOOOXXXXOOOOXXXOXXOOXXXXXX--XOXX-O-- O",
    "----X------XXXO--OOOXXXXXOOOOXXO-XXOOXXOOOXOXXXXOOOXX---X-XXXX-- O",
    "-OOOOO----OXXO---OOOOXXO-OOOXOXX-OOXOOXX-XOXXOXX--O-XXXX--O----O X",
    "--XO-O----OOOO--OOXOXXO-OOOOXXOOOOOXXOX-OXOXXXXX--XXXX----X-O-X- X",
    "--O-------OOO--X-XOOOOXXXXXXOXOX-XXOXOOXXXOXOOXX-OOOOO-X---OOO-- X",
    "-OXXXX----OXXO--XXOOXOOOXXXOOXOOXXOOXOOOXXXXOO-XX-XXO----------- X",
};

// Both measured here, in the same run; neither counts towards the node total.
void BenchAnalysis(Morvane::CpuPath path, bool plain) {
    double thinkMs = 0;
    double analysisMs = 0;
    long long analysisNodes = 0;
    MorvaneAnalysis analysis;
    for (const char* text : kAnalysisBench) {
        Morvane engine;
        engine.cpuPath = path;
        engine.plainSearch = plain;
        thinkMs += TimeThink(engine, text, [](Morvane& e) { return e.ThinkByAmount(8); }).ms;
        TextPosition position;
        std::string error;
        ParsePositionText(text, position, error);
        const AnalysisResult r = analysis.Analyze(position.board.data(), position.sideToMove, 8);
        analysisMs += r.seconds * 1000;
        analysisNodes += r.nodes;
    }
    std::printf(
        "analysis ffo-21..29 level 8: every move exact in ms %.0f (nodes %lld); "
        "think, best move only: ms %.0f\n",
        analysisMs, analysisNodes, thinkMs);
}

int Bench(const std::vector<std::string>& args) {
    bool quick = false;
    Morvane::CpuPath path = Morvane::BestCpuPath();
    bool plain = false;
    for (const std::string& arg : args) {
        if (arg == "--quick")
            quick = true;
        else if (arg == "--generic")
            path = Morvane::CpuPath::Generic;
        else if (arg == "--plain")
            plain = true;
        else
            return Fail("unexpected argument '" + arg + "'");
    }
    for (const BenchCase& bench : kBench) {
        TextPosition position;
        std::string error;
        if (!ParsePositionText(bench.position, position, error)) return Fail(error);
    }
    std::printf("bench set v1%s, %s\n", quick ? " (quick)" : "",
                plain                            ? "padded-board reference"
                : path == Morvane::CpuPath::Avx2 ? "AVX2 path"
                                                 : "generic path");
    std::printf("%-10s %-8s %5s %4s %12s %9s %12s\n", "position", "kind", "level", "move", "nodes",
                "ms", "nodes/s");
    long long totalNodes = 0;
    double totalMs = 0;
    long long exactNodes = 0;
    double exactMs = 0;
    for (const BenchCase& bench : kBench) {
        if (quick && !bench.quick) continue;
        Morvane engine;
        engine.cpuPath = path;
        engine.plainSearch = plain;
        const Timed t = TimeThink(engine, bench.position,
                                  [&](Morvane& e) { return e.ThinkByAmount(bench.level); });
        PrintRow(bench.name, bench.kind, std::to_string(bench.level).c_str(), t);
        std::printf("\n");
        std::fflush(stdout);
        totalNodes += t.nodes;
        totalMs += t.ms;
        if (std::string(bench.kind) == "exact") {
            exactNodes += t.nodes;
            exactMs += t.ms;
        }
    }
    std::printf("exact nodes %lld, ms %.0f, nodes/s %.0f\n", exactNodes, exactMs,
                PerSecond(exactNodes, exactMs));
    std::printf("total nodes %lld, ms %.0f, nodes/s %.0f\n", totalNodes, totalMs,
                PerSecond(totalNodes, totalMs));
    BenchPump(path, plain);
    if (!quick) BenchAnalysis(path, plain);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    // Answered wherever they stand, as the game's own program does.
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (arg == "--version") {
            std::printf("morvane-engine %s\n", MORVANE_VERSION);
            return 0;
        }
    }
    if (args.empty())
        return Fail(
            "usage: morvane-engine think --level N POSITION | think --time MS [--allowance MS] "
            "POSITION | analyze [--level N] POSITION | bench [--quick] [--generic | --plain] | "
            "nboard");
    const std::string command = args.front();
    args.erase(args.begin());
    if (command == "think") return Think(args);
    if (command == "analyze") return Analyze(args);
    if (command == "bench") return Bench(args);
    if (command == "nboard" && args.empty()) return RunNboard(std::cin, std::cout);
    return Fail("unknown command '" + command + "', expected think, analyze, bench or nboard");
}
