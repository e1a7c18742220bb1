#pragma once
// The trend of one test: resistance (left axis, in one unit for the whole
// trace) and test current (right axis, in A) against seconds since the test
// began. Each new reading redraws the lines and rescales the axes in one go;
// the view repaints once for it when the event loop next runs. A long trace
// is drawn thinned to the lowest and highest value of each short stretch, so
// a reading costs the same after ten minutes as after ten seconds; while the
// chart is hidden, readings are only kept.

#include "analysis/quantities.h"
#include "analysis/trace.h"

#include <QtCharts/QChartView>

namespace QtCharts {
class QLineSeries;
class QValueAxis;
}

class TrendChart : public QtCharts::QChartView
{
    Q_OBJECT

public:
    explicit TrendChart(QWidget* parent = nullptr);

    void showTrace(const analysis::Trace& trace);  // replaces what is drawn
    void appendPoint(const analysis::TracePoint& point);
    void clear();

    const analysis::Trace& trace() const { return trace_; }
    QString resistanceUnit() const { return unit_.name; }
    // Point counts of the two lines, for checks.
    int resistancePointCount() const;
    int currentPointCount() const;
    // The drawn resistance points, in the trace's unit.
    QVector<QPointF> resistancePoints() const;

    void retranslate();

    static constexpr int kMaxDrawnPoints = 600;  // per line
    // The distance of two ticks: 1, 2 or 5 times a power of ten, cutting
    // `span` into at most `mostIntervals` parts.
    static constexpr double kMostTickIntervals = 5.0;
    static double roundTickStep(double span, double mostIntervals = kMostTickIntervals);
    // Ticks of the axis at the multiples of its round step, labelled with as many decimals as the step has.
    static void setRoundTicks(QtCharts::QValueAxis* axis, double mostIntervals = kMostTickIntervals);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void chooseUnit();
    void redraw();
    void rescale();

    analysis::Trace trace_;
    analysis::ResistanceUnit unit_{QStringLiteral("Ω"), 1.0};
    bool unitChosen_ = false;
    bool stale_ = false;  // readings came while hidden
    QtCharts::QLineSeries* resistance_ = nullptr;
    QtCharts::QLineSeries* current_ = nullptr;
    QtCharts::QValueAxis* time_ = nullptr;
    QtCharts::QValueAxis* ohmsAxis_ = nullptr;
    QtCharts::QValueAxis* ampsAxis_ = nullptr;
};
