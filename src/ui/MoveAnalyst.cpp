#include "MoveAnalyst.h"

#include <algorithm>
#include <cstdlib>

#include "Othelloboard.h"
#include "Othellogamemanager.h"

namespace {

constexpr int kLeastHintLevel = 3;  // レベル４
constexpr QChar kMinus(0x2212);

int Empties(const BoardArray& board) {
    int empties = 0;
    for (int x = 1; x <= 8; ++x)
        for (int y = 1; y <= 8; ++y)
            empties += board[x * 10 + y] == kEmpty ? 1 : 0;
    return empties;
}

QString Signed(int value) {
    if (value == 0) return QStringLiteral("0");
    return (value > 0 ? QStringLiteral("+") : QString(kMinus)) + QString::number(std::abs(value));
}

// A mark ring leaves the position as it is.
bool SamePosition(const BoardArray& a, const BoardArray& b) {
    for (std::size_t i = 0; i < a.size(); ++i)
        if ((a[i] == kLegalMark ? 0 : a[i]) != (b[i] == kLegalMark ? 0 : b[i])) return false;
    return true;
}

}  // namespace

MoveAnalyst::MoveAnalyst(OthelloGameManager& manager, OthelloBoard& board, TFormEvalGraph& graph)
    : manager_(manager), board_(board), graph_(graph) {
    worker_.OnValue = [this](int, const MoveValue& value) { OnValue(value); };
    worker_.OnDone = [this](int, const AnalysisResult& result) { OnDone(result); };
    refreshTimer_.setSingleShot(true);
    refreshTimer_.setInterval(0);
    QObject::connect(&refreshTimer_, &QTimer::timeout, [this] { Refresh(); });
}

int MoveAnalyst::HintLevel(int cpuLevel) {
    const int last = static_cast<int>(kLevelTable.size()) - 1;
    return std::clamp(cpuLevel, kLeastHintLevel, last);
}

int MoveAnalyst::GraphLevel(int hintLevel, int empties) {
    const LevelEntry& level = kLevelTable[static_cast<std::size_t>(hintLevel)];
    if (empties <= level.ExactEmpties || empties > level.WinLossEmpties) return hintLevel;
    for (int i = hintLevel + 1; i < static_cast<int>(kLevelTable.size()); ++i)
        if (empties <= kLevelTable[static_cast<std::size_t>(i)].ExactEmpties) return i;
    for (int i = hintLevel - 1; i >= 0; --i)
        if (empties > kLevelTable[static_cast<std::size_t>(i)].WinLossEmpties) return i;
    return hintLevel;
}

QString MoveAnalyst::HintText(const MoveValue& value, int best) {
    switch (value.kind) {
        case MoveValue::Kind::Exact:
            return Signed(value.value);
        case MoveValue::Kind::WinLoss:
            return value.value > 0   ? QStringLiteral("勝")
                   : value.value < 0 ? QStringLiteral("負")
                                     : QStringLiteral("分");
        case MoveValue::Kind::Eval:
            break;
    }
    return Signed(value.value - best);
}

std::optional<MoveAnalyst::Target> MoveAnalyst::HintTarget() const {
    if (!manager_.Params.ShowHints || thinking_) return std::nullopt;
    const OthelloLogic& logic = manager_.Logic;
    int color = kEmpty;
    if (manager_.IsPlaying()) {
        if (manager_.Current == nullptr || manager_.Current->IsCpu) return std::nullopt;
        color = manager_.Current->Color;
        if (!manager_.AwaitsHumanMove()) {
            // Between turns (a resumed game about to begin the human's): hints of this very
            // position stay; any other position waits for the turn to begin.
            const bool same =
                hintTarget_ && hintTarget_->board == logic.Board && hintTarget_->color == color;
            return same ? hintTarget_ : std::nullopt;
        }
    } else {
        color = logic.History.CurrentColor();
    }
    if (color == kEmpty || !logic.HasLegalMove(color)) return std::nullopt;
    return Target{logic.Board, color, HintLevel(manager_.Params.CpuLevel), true};
}

std::vector<std::optional<StepValue>> MoveAnalyst::StepValues(
    std::optional<Target>* missing) const {
    const OthelloMapHistory& history = manager_.Logic.History;
    const int hintLevel = HintLevel(manager_.Params.CpuLevel);
    std::vector<std::optional<StepValue>> values;
    for (int step = 0; step <= history.StepCount; ++step) {
        const BoardArray& board = history.Boards[static_cast<std::size_t>(step)];
        int color = kEmpty;
        if (step < history.StepCount) {
            color = history.Moves[static_cast<std::size_t>(step)].color;
        } else {
            OthelloMapHistory last = history;
            last.CurrentStep = step;
            color = last.CurrentColor();
        }
        if (color == kEmpty) {
            // The game is over here: the disc difference is the value, nothing to search.
            OthelloLogic scratch;
            scratch.CopyFrom(board);
            values.push_back(
                StepValue{true, scratch.CountStones(kBlack) - scratch.CountStones(kWhite)});
            continue;
        }
        const int level = GraphLevel(hintLevel, Empties(board));
        const auto found = known_.find({board, color, level});
        if (found != known_.end()) {
            values.push_back(found->second);
            continue;
        }
        values.push_back(std::nullopt);
        if (missing != nullptr && !*missing) *missing = Target{board, color, level, false};
    }
    return values;
}

void MoveAnalyst::Refresh() {
    if (thinking_) return;
    const std::optional<Target> hint = HintTarget();
    if (hint != hintTarget_) {
        hintTarget_ = hint;
        hintsDone_ = false;
        ClearHints();
    }
    std::optional<Target> next;
    if (hint && !hintsDone_) next = hint;
    // The graph's steps are valued whether or not its window is open, so that it opens full.
    std::optional<Target> missing;
    const auto values = StepValues(&missing);
    if (graph_.isVisible()) graph_.ShowGame(values, manager_.Logic.History.CurrentStep);
    if (!next) next = missing;
    if (!next) {
        if (worker_.Busy()) worker_.Cancel();
        running_.reset();
        return;
    }
    if (worker_.Busy() && running_ == next) return;
    running_ = next;
    worker_.Start({next->board, next->color, next->level});
}

void MoveAnalyst::ComputerThinking(bool thinking) {
    thinking_ = thinking;
    if (!thinking) {
        Refresh();
        return;
    }
    worker_.Halt();
    running_.reset();
    hintTarget_.reset();
    ClearHints();
}

void MoveAnalyst::BoardChanging(const BoardArray* next) {
    if (!hintTarget_ || (next != nullptr && SamePosition(*next, hintTarget_->board))) return;
    hintTarget_.reset();
    ClearHints();
    if (running_ && running_->forHints) {
        worker_.Cancel();
        running_.reset();
    }
}

void MoveAnalyst::ClearHints() {
    hintValues_.clear();
    if (!board_.Hints().empty()) board_.SetHints({});
}

void MoveAnalyst::OnValue(const MoveValue& value) {
    if (!running_ || !running_->forHints) return;
    const auto same = [&value](const MoveValue& v) { return v.x == value.x && v.y == value.y; };
    const auto at = std::find_if(hintValues_.begin(), hintValues_.end(), same);
    if (at != hintValues_.end()) {
        *at = value;
    } else {
        hintValues_.push_back(value);
    }
    ShowHints();
}

void MoveAnalyst::ShowHints() {
    int best = hintValues_.empty() ? 0 : hintValues_.front().value;
    for (const MoveValue& v : hintValues_)
        best = std::max(best, v.value);
    std::vector<BoardHint> hints;
    for (const MoveValue& v : hintValues_)
        hints.push_back({v.x, v.y, HintText(v, best), v.value == best});
    board_.SetHints(std::move(hints));
}

void MoveAnalyst::OnDone(const AnalysisResult& result) {
    if (!running_) return;
    const Target done = *running_;
    running_.reset();
    Store(done, result);
    if (done.forHints && done == hintTarget_) {
        // Work that ended early is not asked for again; the next position starts afresh.
        hintsDone_ = true;
        if (!result.stopped) {
            hintValues_ = result.moves;
            ShowHints();
        }
    }
    Refresh();
}

void MoveAnalyst::Store(const Target& target, const AnalysisResult& result) {
    const bool usable = !result.stopped && !result.moves.empty() &&
                        result.moves.front().kind != MoveValue::Kind::WinLoss;
    if (usable) {
        const MoveValue& best = result.moves.front();
        known_[{target.board, target.color, target.level}] =
            StepValue{best.kind == MoveValue::Kind::Exact, best.value * target.color};
    } else if (!target.forHints) {
        known_[{target.board, target.color, target.level}] = std::nullopt;  // not asked again
    }
}
