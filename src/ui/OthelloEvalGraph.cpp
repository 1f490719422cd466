#include "OthelloEvalGraph.h"

#include <QChart>
#include <QChartView>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace {

// Both value axes are symmetric about 0, so their zero lines meet; a range grows in these steps.
constexpr int kEvalRangeStep = 20;
constexpr int kExactRangeStep = 8;

int RangeFor(int largest, int step) {
    return std::max(step, (largest + step - 1) / step * step);
}

// The chart view that reports a press on the plot as the step under it.
class StepChartView : public QChartView {
public:
    StepChartView(QChart* chart, std::function<void(QPointF)> onPress)
        : QChartView(chart), onPress_(std::move(onPress)) {}

protected:
    void mousePressEvent(QMouseEvent* event) override {
        const QPointF scene = mapToScene(event->position().toPoint());
        if (event->button() == Qt::LeftButton && chart()->plotArea().contains(scene)) {
            onPress_(scene);
        }
        QChartView::mousePressEvent(event);
    }

private:
    std::function<void(QPointF)> onPress_;
};

}  // namespace

TFormEvalGraph::TFormEvalGraph(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("評価グラフ"));
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("黒から見た形勢（上が黒の優勢）"));
    chart->legend()->setAlignment(Qt::AlignBottom);

    EvalSeries = new QLineSeries;
    EvalSeries->setName(QStringLiteral("評価値（点）"));
    EvalSeries->setPointsVisible(true);
    EvalSeries->setColor(QColor(40, 90, 200));
    ExactSeries = new QLineSeries;
    ExactSeries->setName(QStringLiteral("読み切り（石差）"));
    ExactSeries->setPointsVisible(true);
    ExactSeries->setColor(QColor(200, 60, 30));
    ShownStep = new QLineSeries;
    ShownStep->setPen(QPen(QColor(0, 150, 0), 2, Qt::DashLine));
    for (QLineSeries* s : {EvalSeries, ExactSeries, ShownStep})
        chart->addSeries(s);

    AxisStep = new QValueAxis;
    AxisStep->setTitleText(QStringLiteral("手数"));
    AxisStep->setLabelFormat(QStringLiteral("%d"));
    AxisStep->setTickType(QValueAxis::TicksDynamic);
    AxisStep->setTickAnchor(0);
    AxisStep->setTickInterval(10);
    AxisEval = new QValueAxis;
    AxisEval->setTitleText(QStringLiteral("評価値（点・隅ひとつ15点）"));
    AxisEval->setLabelFormat(QStringLiteral("%d"));
    AxisEval->setTickCount(5);
    AxisExact = new QValueAxis;
    AxisExact->setTitleText(QStringLiteral("最終石差（読み切り）"));
    AxisExact->setLabelFormat(QStringLiteral("%d"));
    AxisExact->setTickCount(5);
    chart->addAxis(AxisStep, Qt::AlignBottom);
    chart->addAxis(AxisEval, Qt::AlignLeft);
    chart->addAxis(AxisExact, Qt::AlignRight);
    for (QLineSeries* s : {EvalSeries, ShownStep}) {
        s->attachAxis(AxisStep);
        s->attachAxis(AxisEval);
    }
    ExactSeries->attachAxis(AxisStep);
    ExactSeries->attachAxis(AxisExact);
    for (QLegendMarker* marker : chart->legend()->markers(ShownStep))
        marker->setVisible(false);

    ChartView = new StepChartView(chart, [this](QPointF scene) {
        const QPointF value = ChartView->chart()->mapToValue(scene, EvalSeries);
        const int step = static_cast<int>(std::lround(value.x()));
        if (OnStepClicked && step >= 0 && step < steps_) OnStepClicked(step);
    });
    ChartView->setRenderHint(QPainter::Antialiasing);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ChartView);
    resize(640, 380);
    ShowGame({std::nullopt}, 0);
}

void TFormEvalGraph::ShowGame(const std::vector<std::optional<StepValue>>& values, int shownStep) {
    steps_ = std::max<int>(1, static_cast<int>(values.size()));
    QList<QPointF> eval;
    QList<QPointF> exact;
    int evalLargest = 0;
    int exactLargest = 0;
    for (int i = 0; i < static_cast<int>(values.size()); ++i) {
        if (!values[i]) continue;
        const int v = values[i]->value;
        (values[i]->exact ? exact : eval).append(QPointF(i, v));
        int& largest = values[i]->exact ? exactLargest : evalLargest;
        largest = std::max(largest, std::abs(v));
    }
    EvalSeries->replace(eval);
    ExactSeries->replace(exact);
    const int evalRange = RangeFor(evalLargest, kEvalRangeStep);
    const int exactRange = std::min(64, RangeFor(exactLargest, kExactRangeStep));
    // Half a step of room at either end, so that the first and last steps take clicks too.
    AxisStep->setRange(-0.5, std::max(1, steps_ - 1) + 0.5);
    AxisEval->setRange(-evalRange, evalRange);
    AxisExact->setRange(-exactRange, exactRange);
    ShownStep->replace({QPointF(shownStep, -evalRange), QPointF(shownStep, evalRange)});
}

QPoint TFormEvalGraph::StepPosition(int step) const {
    const QPointF scene = ChartView->chart()->mapToPosition(QPointF(step, 0), EvalSeries);
    return ChartView->mapFromScene(scene);
}
