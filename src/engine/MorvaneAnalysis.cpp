// What a level means to the analysis. At or below the level's exact threshold every move gets the
// exact disc difference, at or below its win/loss threshold win, draw or loss; both after a short
// search that orders the moves, best guess first. Above them every move is valued by the game's
// own search to a depth: iterative deepening from one ply (counting the move itself, as the game
// counts), so that values come at once, up to the level's start depth; the levels with a node
// amount then deepen one ply at a time while the analysis has spent no more than that amount and
// the last iteration, three times over (the game's own reckoning of growth), still fits in it.
#include "MorvaneAnalysis.h"

#include <algorithm>
#include <chrono>

#include "AnalysisSearch.h"
#include "Othelloparams.h"

namespace {

using u64 = AnalysisSearch::u64;

// Plies of the search that orders the moves of an endgame analysis.
constexpr int kOrderDepth = 4;
// Half the window around the previous move's value in which an endgame move is searched first
// (2 to 8 tried on FFO #21-#29: 4 the fewest nodes, 9 % fewer than the whole window).
constexpr int kAspiration = 4;
constexpr int kFullWindow = Morvane::kScoreBound;

struct RootMove {
    int sq;
    u64 flips;
    MoveValue value;
    bool valued = false;
    int order = 0;  // key of the last ordering: higher first
};

}  // namespace

struct MorvaneAnalysis::Impl {
    explicit Impl(const std::atomic<bool>& stop) : search(stop) {}
    AnalysisSearch search;
};

MorvaneAnalysis::MorvaneAnalysis() : impl_(std::make_unique<Impl>(stopRequested_)) {}

MorvaneAnalysis::~MorvaneAnalysis() = default;

void MorvaneAnalysis::Stop() {
    stopRequested_.store(true);
}

void MorvaneAnalysis::Reset() {
    stopRequested_.store(false);
}

AnalysisResult MorvaneAnalysis::Analyze(const int* gameBoard, int color, int levelIndex,
                                        const std::function<void(const MoveValue&)>& onValue) {
    const auto start = std::chrono::steady_clock::now();
    AnalysisSearch& search = impl_->search;
    search.Begin();
    AnalysisResult result;
    u64 P = 0;
    u64 O = 0;
    for (int x = 1; x <= 8; ++x)
        for (int y = 1; y <= 8; ++y) {
            const int cell = gameBoard[x * 10 + y];
            const u64 bit = u64{1} << ((y - 1) * 8 + (x - 1));
            if (cell == color)
                P |= bit;
            else if (cell == -color)
                O |= bit;
        }
    const auto finish = [&] {
        result.nodes = search.Nodes();
        result.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return result;
    };
    u64 moves = AnalysisSearch::Moves(P, O);
    if (moves == 0) {
        (AnalysisSearch::Moves(O, P) == 0 ? result.gameOver : result.mustPass) = true;
        return finish();
    }

    const LevelEntry& level = kLevelTable[static_cast<std::size_t>(std::clamp(levelIndex, 0, 8))];
    const int empties = 64 - AnalysisSearch::Count(P | O);
    std::vector<RootMove> roots;
    for (; moves != 0; moves &= moves - 1) {
        const int sq = __builtin_ctzll(moves);
        RootMove m{sq, AnalysisSearch::Flips(sq, P, O), {}};
        m.value.x = sq % 8 + 1;
        m.value.y = sq / 8 + 1;
        roots.push_back(m);
    }
    const auto childP = [&](const RootMove& m) { return O ^ m.flips; };
    const auto childO = [&](const RootMove& m) { return P ^ m.flips ^ (u64{1} << m.sq); };
    const auto report = [&](RootMove& m, MoveValue::Kind kind, int value, int depth) {
        m.value.kind = kind;
        m.value.value = value;
        m.value.depth = depth;
        m.valued = true;
        if (onValue) onValue(m.value);
    };
    const auto byOrder = [&] {
        std::stable_sort(roots.begin(), roots.end(),
                         [](const RootMove& a, const RootMove& b) { return a.order > b.order; });
    };
    bool complete = true;

    if (empties <= level.WinLossEmpties) {
        const bool exact = empties <= level.ExactEmpties;
        const int orderDepth = std::min(kOrderDepth, empties - 1);
        for (RootMove& m : roots)
            m.order = orderDepth > 0 ? -search.Midgame(childP(m), childO(m), orderDepth,
                                                       -kFullWindow, kFullWindow)
                                     : 0;
        byOrder();
        int best = AnalysisSearch::kExactMax;  // none yet: the first move gets the whole window
        int last = 0;
        for (RootMove& m : roots) {
            if (exact) {
                // After the first move, whose value the whole window finds, each move is searched
                // near the value of the move before it, and never above the best so far, which
                // it needs no proof of; a value outside is searched again beyond.
                const int top = AnalysisSearch::kExactMax + 1;
                const bool first = m.sq == roots.front().sq;
                int lo = first ? -top : std::max(-top, last - kAspiration);
                int hi = first ? top : std::min(best + 1, last + kAspiration);
                if (lo >= hi - 1) lo = hi - 2;
                int v = -search.Exact(childP(m), childO(m), -hi, -lo);
                while (!search.Stopped()) {
                    if (v <= lo && lo > -top) {
                        hi = v + 1;
                        lo = -top;
                    } else if (v >= hi && hi < top) {
                        lo = v - 1;
                        hi = top;
                    } else {
                        break;
                    }
                    v = -search.Exact(childP(m), childO(m), -hi, -lo);
                }
                if (search.Stopped()) break;
                best = first ? v : std::max(best, v);
                last = v;
                report(m, MoveValue::Kind::Exact, AnalysisSearch::Discs(v), empties - 1);
            } else {
                const int v = -search.Exact(childP(m), childO(m), -1, 1);
                if (search.Stopped()) break;
                report(m, MoveValue::Kind::WinLoss, v > 0 ? 1 : v < 0 ? -1 : 0, empties - 1);
            }
        }
        complete = !search.Stopped();
    } else {
        for (int depth = 1;; ++depth) {
            const long long before = search.Nodes();
            for (RootMove& m : roots) {
                const int v =
                    -search.Midgame(childP(m), childO(m), depth - 1, -kFullWindow, kFullWindow);
                if (search.Stopped()) break;
                m.order = v;
                report(m, MoveValue::Kind::Eval, v, depth - 1);
            }
            if (search.Stopped()) {
                complete = false;
                break;
            }
            byOrder();
            const long long spent = search.Nodes() - before;
            if (depth >= empties) break;
            if (depth >= level.StartDepth &&
                (level.NodeAmount == 0 || search.Nodes() > level.NodeAmount ||
                 spent * 3 > level.NodeAmount))
                break;
        }
    }

    for (const RootMove& m : roots)
        if (m.valued) result.moves.push_back(m.value);
    std::stable_sort(result.moves.begin(), result.moves.end(),
                     [](const MoveValue& a, const MoveValue& b) { return a.value > b.value; });
    result.stopped = !complete;
    return finish();
}
