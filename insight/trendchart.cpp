#include "insight/trendchart.h"

#include "insight/chartlook.h"

#include <QtCharts/QChart>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>

using namespace QtCharts;

namespace {

constexpr double kShortestTimeAxis = 10.0;  // seconds shown at least
constexpr double kTimeHeadroom = 1.05;
constexpr double kCurrentHeadroom = 1.01;
const QColor kResistanceColour(0, 90, 180);
const QColor kCurrentColour(230, 120, 0);

QValueAxis* makeAxis(const QString& format, const QColor& colour, const QFont& font)
{
    auto* axis = new QValueAxis;
    axis->setLabelsFont(font);
    axis->setTitleFont(font);
    axis->setLabelFormat(format);
    axis->setLabelsColor(colour);
    axis->setTitleBrush(colour);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0.0);
    return axis;
}

}  // namespace

// The view owns its chart from the start: the one a view makes for itself
// when given none would be let go, and lost, by setChart().
TrendChart::TrendChart(QWidget* parent) : QChartView(new QChart, parent)
{
    QChart* chart = this->chart();
    const QFont small = chartlook::smallFont(font());
    chartlook::apply(chart, small);
    resistance_ = new QLineSeries(chart);
    current_ = new QLineSeries(chart);
    resistance_->setPen(QPen(kResistanceColour, 2));
    current_->setPen(QPen(kCurrentColour, 1.5));
    chart->addSeries(resistance_);
    chart->addSeries(current_);

    time_ = makeAxis(QStringLiteral("%.0f"), Qt::black, small);
    ohmsAxis_ = makeAxis(QStringLiteral("%.0f"), kResistanceColour, small);
    ampsAxis_ = makeAxis(QStringLiteral("%.0f"), kCurrentColour, small);
    chart->addAxis(time_, Qt::AlignBottom);
    chart->addAxis(ohmsAxis_, Qt::AlignLeft);
    chart->addAxis(ampsAxis_, Qt::AlignRight);
    resistance_->attachAxis(time_);
    resistance_->attachAxis(ohmsAxis_);
    current_->attachAxis(time_);
    current_->attachAxis(ampsAxis_);

    setRenderHint(QPainter::Antialiasing);
    setMinimumHeight(140);
    retranslate();
    rescale();
}

void TrendChart::retranslate()
{
    resistance_->setName(tr("测试电阻") + QStringLiteral(" (") + unit_.name + QLatin1Char(')'));
    current_->setName(tr("测试电流") + QStringLiteral(" (A)"));
    time_->setTitleText(tr("时间 (秒)"));
}

void TrendChart::clear()
{
    showTrace(analysis::Trace());
}

void TrendChart::showTrace(const analysis::Trace& trace)
{
    trace_ = trace;
    unitChosen_ = false;
    chooseUnit();
    redraw();
}

void TrendChart::appendPoint(const analysis::TracePoint& point)
{
    trace_.points.append(point);
    if (!unitChosen_)
        chooseUnit();
    if (isVisible())
        redraw();
    else
        stale_ = true;
}

void TrendChart::showEvent(QShowEvent* event)
{
    if (stale_)
        redraw();
    QChartView::showEvent(event);
}

// One unit for the whole trace, from its first resistance.
void TrendChart::chooseUnit()
{
    for (const analysis::TracePoint& p : trace_.points) {
        if (std::isnan(p.ohms))
            continue;
        unit_ = analysis::unitFor(p.ohms);
        unitChosen_ = true;
        retranslate();
        return;
    }
}

namespace {

// The points of one line, scaled by 1/unit; beyond `limit` points each run
// of consecutive points gives its lowest and highest, in time order, so that
// spikes stay visible.
QVector<QPointF> linePoints(const QVector<analysis::TracePoint>& trace, double analysis::TracePoint::*value,
                            double unit, int limit)
{
    QVector<QPointF> all;
    all.reserve(trace.size());
    for (const analysis::TracePoint& p : trace)
        if (!std::isnan(p.*value))
            all.append(QPointF(p.seconds, p.*value / unit));
    if (all.size() <= limit)
        return all;
    const int run = (all.size() * 2 + limit - 1) / limit;
    QVector<QPointF> thinned;
    thinned.reserve(limit + 2);
    for (int start = 0; start < all.size(); start += run) {
        const auto first = all.cbegin() + start;
        const auto last = all.cbegin() + std::min(start + run, all.size());
        const auto [low, high] = std::minmax_element(first, last, [](const QPointF& a, const QPointF& b) {
            return a.y() < b.y();
        });
        thinned.append(low < high ? *low : *high);
        if (low != high)
            thinned.append(low < high ? *high : *low);
    }
    return thinned;
}

}  // namespace

void TrendChart::redraw()
{
    stale_ = false;
    resistance_->replace(linePoints(trace_.points, &analysis::TracePoint::ohms, unit_.ohms, kMaxDrawnPoints));
    current_->replace(linePoints(trace_.points, &analysis::TracePoint::amps, 1.0, kMaxDrawnPoints));
    rescale();
}

namespace {

// The end of the time axis: the next multiple of a round step, so that the
// axis (and the chart's layout) changes now and then, not with every reading.
double timeAxisEnd(double lastSeconds)
{
    const double wanted = std::max(kShortestTimeAxis, lastSeconds * kTimeHeadroom);
    for (double step : {10.0, 30.0, 60.0, 300.0, 600.0, 1800.0}) {
        if (wanted <= step * 6.0)
            return std::ceil(wanted / step) * step;
    }
    return std::ceil(wanted / 3600.0) * 3600.0;
}

double highestCurrent(const QVector<analysis::TracePoint>& points)
{
    double highest = 0.0;
    for (const analysis::TracePoint& p : points) {
        if (!std::isnan(p.amps))
            highest = std::max(highest, p.amps);
    }
    return highest;
}

// Keeps the axis while the wanted range fits in it and fills more than half
// of it; otherwise moves it to the wanted range.
void fitAxis(QValueAxis* axis, const analysis::AxisRange& wanted)
{
    const bool inside = wanted.low >= axis->min() && wanted.high <= axis->max();
    const bool snug = (wanted.high - wanted.low) * 2.0 > axis->max() - axis->min();
    if (!(inside && snug))
        axis->setRange(wanted.low, wanted.high);
}

}  // namespace

double TrendChart::roundTickStep(double span, double mostIntervals)
{
    if (!(span > 0.0) || !std::isfinite(span))
        return 1.0;
    const double rough = span / std::max(1.0, mostIntervals);
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double multiple : {1.0, 2.0, 5.0}) {
        if (multiple * power >= rough * (1.0 - 1e-9))
            return multiple * power;
    }
    return 10.0 * power;
}

// Ticks at the multiples of a round step, labelled with as many decimals as the step has.
void TrendChart::setRoundTicks(QValueAxis* axis, double mostIntervals)
{
    const double step = roundTickStep(axis->max() - axis->min(), mostIntervals);
    if (axis->tickInterval() == step)
        return;
    const int decimals = std::max(0, -int(std::floor(std::log10(step) + 1e-9)));
    axis->setLabelFormat(QStringLiteral("%.") + QString::number(decimals) + QLatin1Char('f'));
    axis->setTickInterval(step);
}

void TrendChart::rescale()
{
    const double last = trace_.isEmpty() ? 0.0 : trace_.points.last().seconds;
    const double end = timeAxisEnd(last);
    if (time_->max() != end || time_->min() != 0.0)
        time_->setRange(0.0, end);
    if (const auto r = analysis::settlingRange(trace_.points, &analysis::TracePoint::ohms))
        fitAxis(ohmsAxis_, {r->low / unit_.ohms, r->high / unit_.ohms});
    else
        ohmsAxis_->setRange(0.0, 1.0);
    // The current never flows backwards, and the whole of its course stays in
    // sight (a trace that ends discharging falls far below its peak): the
    // axis runs from zero to a little above the test's highest current.
    const double highest = highestCurrent(trace_.points);
    if (highest > 0.0)
        fitAxis(ampsAxis_, {0.0, highest * kCurrentHeadroom});
    else
        ampsAxis_->setRange(0.0, 1.0);
    for (QValueAxis* axis : {time_, ohmsAxis_, ampsAxis_})
        setRoundTicks(axis);
}

int TrendChart::resistancePointCount() const
{
    return resistance_->count();
}

int TrendChart::currentPointCount() const
{
    return current_->count();
}

QVector<QPointF> TrendChart::resistancePoints() const
{
    return resistance_->pointsVector();
}
