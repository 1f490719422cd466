// The think operations and the four drivers: which search runs, with which depth, node budget or
// time limit, and how the root order is carried from one iteration to the next.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "Morvane.h"
#include "Othelloparams.h"

namespace {

std::string Str(long long n) {
    return std::to_string(n);
}

std::string TrueFalse(bool b) {
    return b ? "true" : "false";
}

double Real(long long n) {
    return static_cast<double>(n);
}

long long TruncLL(double value) {
    return static_cast<long long>(std::trunc(value));
}

std::uint32_t Trunc32(double value) {
    return static_cast<std::uint32_t>(std::trunc(value));
}

// Limits below zero would become bounds no search reaches once taken as unsigned milliseconds; a
// limit of 0 still yields a move, from the drivers' un-timed shallow pre-searches.
std::uint32_t ClampLimit(long long limit) {
    return limit < 0 ? 0u : static_cast<std::uint32_t>(std::min<long long>(limit, 0xFFFFFFFFLL));
}

std::string Square(const Morvane& e, int move) {
    const PointData xy = e.SquareXY(move);
    std::string text(1, '(');  // built by appending: GCC 12 warns falsely on "(" + std::string
    text += Str(xy.x);
    text += ',';
    text += Str(xy.y);
    text += ')';
    return text;
}

}  // namespace

void Morvane::Abort() {
    isAborted = true;
}

bool Morvane::WasAborted() const {
    return isAborted;
}

void Morvane::StartGame(int allowanceMs) {
    tForFinal = std::max(0, static_cast<int>(std::trunc(allowanceMs * 0.2)));
}

SearchResult Morvane::RunSearch(bool narrow) {
    // A search stopped by time can leave a handed-over pass count behind; every root starts clean.
    savedPassMoves = 0;
    moveListStart[0] = 0;
    const int before = amount;
    const SearchResult r = narrow ? Search() : SearchWide();
    report.nodes += amount - before;
    return r;
}

void Morvane::SortRootMoves() {
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (int i = 0; i + 1 < rootMoveCount; ++i) {
            if (rootMoves[i].score < rootMoves[i + 1].score) {
                std::swap(rootMoves[i], rootMoves[i + 1]);
                swapped = true;
            }
        }
    }
}

void Morvane::RotateToFront(int move) {
    int found = -1;
    for (int i = 0; i < rootMoveCount; ++i) {
        if (rootMoves[i].move == move) {
            found = i;
            break;
        }
    }
    if (found < 0) return;
    for (int i = found; i > 0; --i)
        rootMoves[i].move = rootMoves[i - 1].move;
    rootMoves[0].move = move;
}

void Morvane::HandOverRootMoves() {
    for (int i = 0; i < rootMoveCount; ++i)
        moveList[i] = rootMoves[i].move;
}

int Morvane::FirstLegalMove() {
    PrepareSearch();
    level = 0;
    moveListStart[0] = 0;
    return GenerateMovesWide(1) > 0 ? moveList[0] : kNoMove;
}

void Morvane::ReportIteration(SearchResult best, std::uint32_t ms) {
    report.iterations.push_back({depth, best.move, best.score, amount, report.nodes, ms});
    if (onIteration) onIteration(report.iterations.back());
}

SearchResult Morvane::SearchByAmount(int baseDepth, int amountLimit) {
    Trace("ID search by amount");
    startTime = tickCount();
    long long total = 0;
    isTimeLimited = false;
    isBreak = false;

    depth = std::max(baseDepth - 3, 1);
    sortDepth = depth - 3;
    recordRoot = true;
    const bool narrow = PrepareSearch() == 1;
    SearchResult best = RunSearch(narrow);
    recordRoot = false;
    if (isAborted) return best;
    SortRootMoves();
    depth = baseDepth;
    sortDepth = baseDepth - 3;

    std::uint32_t lastE = 0;
    do {
        amount = 0;
        level = 0;
        rest = 64 - CountDiscs();
        isTimeLimited = false;
        isBreak = false;
        const std::uint32_t t = tickCount();
        const SearchResult r = RunSearch(narrow);
        lastE = tickCount() - t;
        total += amount;
        if (isAborted) return best;
        best = r;
        if (IsDecided(best.score)) break;
        Trace(FormatSeconds(lastE) + ",depth=" + Str(depth) + ",amount=" + Str(amount) + "," +
              Square(*this, best.move) + "=" + Str(best.score));
        ReportIteration(best, lastE);
        RotateToFront(best.move);
        HandOverRootMoves();
        if (static_cast<long long>(amount) * 3 > amountLimit) break;
        const double plies = std::log(static_cast<double>(amountLimit) / amount) / std::log(3.0);
        depth += std::min(static_cast<int>(std::trunc(plies)), 3);
        sortDepth = depth - 3;
    } while (total <= amountLimit);

    TraceStatistics(best.move, best.score, static_cast<float>(lastE));
    return best;
}

SearchResult Morvane::SearchByTime(std::uint32_t limitTime, bool keepDeepening) {
    Trace("ID search by time");
    Trace("LimitTime=" + Str(limitTime));
    startTime = tickCount();
    std::uint32_t total = 1;
    isTimeLimited = false;
    isBreak = false;

    depth = 4;
    sortDepth = 2;
    recordRoot = true;
    const bool narrow = PrepareSearch() == 1;
    std::uint32_t t = tickCount();
    SearchResult best = RunSearch(narrow);
    std::uint32_t previous = tickCount() - t;
    total += previous;
    recordRoot = false;
    if (isAborted) return best;
    SortRootMoves();
    depth = 6;
    sortDepth = 3;

    if (!keepDeepening &&
        previous * 3.0 >= static_cast<double>(static_cast<std::uint32_t>(limitTime - previous)))
        return best;

    bool lastStepOne = false;
    std::uint32_t lastE = previous;  // the pre-search, when no main iteration runs
    while (total <= limitTime) {
        amount = 0;
        level = 0;
        rest = 64 - CountDiscs();
        t = tickCount();
        isTimeLimited = true;
        isBreak = false;
        breakTime = limitTime;
        const SearchResult r = RunSearch(narrow);
        const std::uint32_t e = tickCount() - t;
        lastE = e;
        total += e;
        double growth = static_cast<double>(e) / (static_cast<double>(previous) + 1.0) + 2.0;
        previous = e;
        if (isAborted) return best;
        if (isBreak) {
            Trace("break for time limit");
            break;
        }
        best = r;
        if (IsDecided(best.score)) break;
        Trace(FormatSeconds(e) + ",depth=" + Str(depth) + "," + Square(*this, best.move) + "=" +
              Str(best.score));
        ReportIteration(best, e);
        RotateToFront(best.move);
        HandOverRootMoves();
        const std::uint32_t remaining = limitTime - total;
        if (remaining == 0) break;
        if (!keepDeepening) {
            growth = lastStepOne ? std::min(growth, 3.0) : std::min(std::sqrt(growth), 3.0);
            if (e * growth >= remaining) break;
        }
        ++depth;
        ++sortDepth;
        if (std::uint64_t{11} * e <= remaining) {
            ++depth;
            ++sortDepth;
            lastStepOne = false;
        } else {
            lastStepOne = true;
        }
    }

    TraceStatistics(best.move, best.score, static_cast<float>(lastE));
    return best;
}

SearchResult Morvane::SemiCompleteSearch(std::uint32_t limitTime, bool keepDeepening, bool timed) {
    startTime = tickCount();
    Trace("Semi-complete search");
    isTimeLimited = timed;
    isBreak = false;
    breakTime = Trunc32(limitTime * 0.7);

    depth = 6;
    sortDepth = 0;
    searchMode = 1;
    recordRoot = true;
    rootMoveCount = 0;
    std::uint32_t t = tickCount();
    const bool narrow = PrepareSearch() == 1;
    SearchResult saved = RunSearch(narrow);
    const std::uint32_t pre = tickCount() - t;
    recordRoot = false;
    searchMode = 3;
    if (isAborted) return saved;
    const bool preBroken = isBreak;
    Trace("pre-search: breakTime=" + Str(breakTime) + ", isBreak=" + TrueFalse(isBreak));

    if (preBroken && rootMoveCount == 0) {
        // Stopped before the root recorded anything: list the legal moves unscored.
        level = 0;
        rootMoveCount = GenerateMovesWide(1);
        for (int i = 0; i < rootMoveCount; ++i)
            rootMoves[i] = {moveList[i], 0};
    }
    SortRootMoves();
    HandOverRootMoves();
    // A pre-search stopped by time has no usable best move; the first of the sorted root list
    // is still a legal one.
    if (preBroken) saved.move = rootMoves[0].move;
    for (int i = 0; i < rootMoveCount; ++i)
        Trace(Square(*this, rootMoves[i].move) + "=" + Str(rootMoves[i].score));
    Trace("time=" + Str(pre));

    amount = 0;
    level = 0;
    rest = 64 - CountDiscs();
    depth = 99;
    sortDepth = rest - 6;
    isTimeLimited = timed;
    isBreak = false;
    t = tickCount();
    SearchResult r = SearchWinLoss();
    const std::uint32_t w = tickCount() - t;
    report.nodes += amount;
    if (isAborted) return saved;
    if (isBreak) {
        Trace("break for time limit (fast search)");
        r = SearchByTime(Trunc32(limitTime * 0.3), keepDeepening);
        if (isAborted) return r;
    }
    Trace("post-search: breakTime=" + Str(breakTime) + ", isBreak=" + TrueFalse(isBreak));
    if (r.score < 0) r.move = saved.move;
    TraceStatistics(r.move, r.score, static_cast<float>(w));
    return r;
}

SearchResult Morvane::CompleteSearch(std::uint32_t limitTime, bool keepDeepening, bool timed) {
    startTime = tickCount();
    Trace("Complete search");
    rest = 64 - CountDiscs();
    level = 0;
    amount = 0;
    moveListStart[0] = 0;
    recordRoot = false;
    savedPassMoves = 0;
    isTimeLimited = timed;
    isBreak = false;
    breakTime = Trunc32(limitTime * 0.8);
    Trace("breakTime=" + Str(breakTime));
    pass = 0;
    depth = 99;
    sortDepth = rest - 6;

    const std::uint32_t t = tickCount();
    const bool narrow = PrepareSearch() == 1;
    SearchResult r = RunSearch(narrow);
    const std::uint32_t c = tickCount() - t;
    if (isAborted) return r;
    if (isBreak) {
        Trace("break for time limit (complete search)");
        r = SemiCompleteSearch(Trunc32(limitTime * 0.2), keepDeepening, true);
        if (isAborted) return r;
    }
    Trace("pass = " + Str(pass));
    TraceStatistics(r.move, r.score, static_cast<float>(c));
    return r;
}

// The common frame of both think operations, up to the choice of a driver.
std::uint32_t Morvane::BeginThink() {
    isAborted = false;
    hasPumped = false;
    report = ThinkReport{};
    const std::uint32_t t0 = tickCount();
    Normalise();
    rest = 64 - CountDiscs();
    level = 0;
    amount = 0;
    Trace("No. " + Str(CountDiscs() - 4));
    moveListStart[0] = 0;
    recordRoot = false;
    savedPassMoves = 0;
    return t0;
}

PointData Morvane::FinishThink(SearchResult r, std::uint32_t t0) {
    if (isAborted) {
        // The caller discards this move; it is still a legal one.
        const int move = FirstLegalMove();
        return move == kNoMove ? PointData() : SquareXY(move);
    }
    const PointData xy = SquareXY(r.move);
    report.move = r.move;
    report.score = r.score;
    Trace("ElapsedTime=" + Str(static_cast<std::uint32_t>(tickCount() - t0)));
    return xy;
}

PointData Morvane::ThinkByTime(int rTime) {
    const std::uint32_t t0 = BeginThink();

    // An overdrawn clock gets rTime - 1000 unscaled and deepens without predicting; every limit
    // below zero is clamped to 0 (see ClampLimit).
    const bool overdrawn = rTime < 0;
    const long long rt = rTime;
    const long long afterReserve = rt - 1000;  // the endgame keeps a second in hand
    SearchResult r;
    if (rest <= 20) {
        searchMode = 2;
        const long long limit = overdrawn ? afterReserve : TruncLL(Real(afterReserve) * 0.7);
        checkMask = 65535;
        r = CompleteSearch(ClampLimit(limit), overdrawn, true);
    } else if (rest <= 22) {
        searchMode = 3;
        const long long limit = overdrawn ? afterReserve : TruncLL(Real(afterReserve) * 0.3);
        checkMask = 65535;
        r = SemiCompleteSearch(ClampLimit(limit), overdrawn, true);
    } else {
        searchMode = 1;
        long long limit = afterReserve;
        if (!overdrawn) {
            // Own moves left before the semi-complete threshold at 22 empty squares.
            const int steps = static_cast<int>(std::ceil((rest - 22) * 0.5));
            const long long midgame = rt - tForFinal;
            const long long base = TruncLL(Real(midgame) / steps);
            limit = TruncLL(std::min(Real(base) * 1.5, Real(midgame)));
            if (limit < 0 || limit > rt) limit = TruncLL(Real(rt) * 0.9);
            Trace("rTime=" + Str(rTime));
            Trace("tForFinal=" + Str(tForFinal));
            Trace("rest=" + Str(rest));
        }
        checkMask = 16383;
        if (CountDiscs() == 4) limit = 1000;
        r = SearchByTime(ClampLimit(limit), overdrawn);
    }
    return FinishThink(r, t0);
}

PointData Morvane::ThinkByAmount(int levelIndex) {
    const std::uint32_t t0 = BeginThink();

    // Untimed searches still pump window messages every 16384 nodes, and always generate their own
    // root order whatever mode a timed game left behind.
    const LevelEntry& row =
        kLevelTable[std::clamp(levelIndex, 0, static_cast<int>(kLevelTable.size()) - 1)];
    checkMask = 16383;
    searchMode = 0;
    SearchResult r;
    if (rest <= row.ExactEmpties)
        r = CompleteSearch(0, false, false);
    else if (rest <= row.WinLossEmpties)
        r = SemiCompleteSearch(0, false, false);
    else
        r = SearchByAmount(row.StartDepth, row.NodeAmount);
    return FinishThink(r, t0);
}
