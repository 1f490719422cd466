#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <vector>

class QChart;
class QChartView;
class QLineSeries;
class QValueAxis;

// The value of one step of the game from black's view: the final disc difference where the
// endgame was solved, else the engine's evaluation points, which are not discs.
struct StepValue {
    bool exact = false;
    int value = 0;
    friend bool operator==(const StepValue&, const StepValue&) = default;
};

// The evaluation graph: every step's value from black's view, evaluation points on the left axis
// and solved disc differences on the right, with the shown step marked. A click on the plot names
// the step under it through OnStepClicked; the window decides whether to go there.
class TFormEvalGraph : public QDialog {
    Q_OBJECT

public:
    explicit TFormEvalGraph(QWidget* parent = nullptr);

    // values[i] is step i's value, empty while unknown; the steps run from 0 to values.size() - 1.
    void ShowGame(const std::vector<std::optional<StepValue>>& values, int shownStep);
    // Where a step's mark stands on the chart view (for its clicks), in the view's pixels.
    QPoint StepPosition(int step) const;

    std::function<void(int step)> OnStepClicked;

    QChartView* ChartView = nullptr;
    QLineSeries* EvalSeries = nullptr;   // evaluation points, left axis
    QLineSeries* ExactSeries = nullptr;  // solved disc differences, right axis
    QLineSeries* ShownStep = nullptr;    // a vertical line at the shown step
    QValueAxis* AxisStep = nullptr;
    QValueAxis* AxisEval = nullptr;
    QValueAxis* AxisExact = nullptr;

private:
    int steps_ = 1;
};
