#pragma once

#include <QTimer>
#include <map>
#include <optional>
#include <tuple>
#include <vector>

#include "AnalysisWorker.h"
#include "OthelloEvalGraph.h"

class OthelloBoard;
class OthelloGameManager;

// Keeps the worker busy with what the window shows: first the hints of the shown position (when
// ShowHints is on, on the human's turn or while no game runs), then the values of the graph's
// steps, open or not. Nothing runs while the computer thinks. All on the window thread;
// the window calls Refresh whenever the position, the state or a setting may have changed.
class MoveAnalyst {
public:
    MoveAnalyst(OthelloGameManager& manager, OthelloBoard& board, TFormEvalGraph& graph);

    void Refresh();
    // Refresh once the event in hand is done, when the window has settled its state.
    void RefreshSoon() { refreshTimer_.start(); }
    // The computer's search begins (true) or has returned.
    void ComputerThinking(bool thinking);
    // The view is about to show next (nullptr: a history step): hints of another position go at
    // once, and so does their work.
    void BoardChanging(const BoardArray* next);
    // Nothing is left to do for what is shown.
    bool Idle() const { return !worker_.Busy(); }

    // At least レベル４, else the game's level.
    static int HintLevel(int cpuLevel);
    // The graph's level for a position with this many empty squares: the hint level, but where
    // that would answer only win or loss, a level that solves it exactly or else evaluates it.
    static int GraphLevel(int hintLevel, int empties);
    // "+4", "−2", "0", "勝" / "分" / "負", or the evaluation's distance to best ("0", "−12").
    static QString HintText(const MoveValue& value, int best);

private:
    struct Target {
        BoardArray board{};
        int color = 0;
        int level = 0;
        bool forHints = false;
        friend bool operator==(const Target&, const Target&) = default;
    };

    std::optional<Target> HintTarget() const;
    // Each step's value where known; the first step without one goes to *missing.
    std::vector<std::optional<StepValue>> StepValues(std::optional<Target>* missing) const;
    void ShowHints();
    void ClearHints();
    void Store(const Target& target, const AnalysisResult& result);
    void OnValue(const MoveValue& value);
    void OnDone(const AnalysisResult& result);

    OthelloGameManager& manager_;
    OthelloBoard& board_;
    TFormEvalGraph& graph_;
    AnalysisWorker worker_;
    QTimer refreshTimer_;
    bool thinking_ = false;
    std::optional<Target> hintTarget_;  // the position whose hints are shown or on their way
    bool hintsDone_ = false;
    std::vector<MoveValue> hintValues_;
    std::optional<Target> running_;
    // Values of positions already analysed, from black's view, by board, side to move and level;
    // empty for one that gave the graph nothing to show, so that it is not asked again.
    std::map<std::tuple<BoardArray, int, int>, std::optional<StepValue>> known_;
};
