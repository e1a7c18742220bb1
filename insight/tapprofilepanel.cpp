#include "insight/tapprofilepanel.h"

#include "data/formattables.h"
#include "insight/chartlook.h"
#include "insight/trendchart.h"

#include <QComboBox>
#include <QEvent>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>

using namespace QtCharts;
using analysis::TapSeries;

namespace {

constexpr int kStepListLines = 3;  // the most the list shows without scrolling
constexpr double kMostTapTicks = 20.0;
const QColor kMarkedColour(220, 0, 0);
const QColor kNoteColour(170, 90, 0);
// The customary colours of the three phases; a line resistance takes its first phase's.
const QColor kPhaseColours[] = {QColor(200, 150, 0), QColor(0, 140, 60), QColor(200, 30, 30)};

QColor phaseColour(const QString& phase)
{
    for (analysis::PhaseKind kind : {analysis::PhaseKind::Phase, analysis::PhaseKind::Line}) {
        const int i = analysis::phaseNames(kind).indexOf(phase);
        if (i >= 0)
            return kPhaseColours[i];
    }
    return Qt::darkGray;
}

QString signedPercent(double value)
{
    return (value >= 0.0 ? QStringLiteral("+") : QString()) + QString::number(value, 'f', 2) + QStringLiteral(" %");
}

void hideFromLegend(QChart* chart, QAbstractSeries* series)
{
    for (QLegendMarker* marker : chart->legend()->markers(series))
        marker->setVisible(false);
}

}  // namespace

TapProfilePanel::TapProfilePanel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("tapProfilePanel"));
    sourceLabel_ = new QLabel(this);
    source_ = new QComboBox(this);
    source_->setObjectName(QStringLiteral("comboBox_tapProfileSource"));
    source_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    windingLabel_ = new QLabel(this);
    winding_ = new QComboBox(this);
    winding_->setObjectName(QStringLiteral("comboBox_tapProfileWinding"));
    sourceLabel_->setBuddy(source_);
    windingLabel_->setBuddy(winding_);

    auto* chart = new QChart;
    const QFont small = chartlook::smallFont(font());
    chartlook::apply(chart, small);
    connect(chart, &QChart::plotAreaChanged, this, [this] {
        fitValueTitle();
        if (mostValueIntervals() != valueIntervals_)
            fitAxes();
    });
    tapAxis_ = new QValueAxis;
    ohmsAxis_ = new QValueAxis;
    for (QValueAxis* axis : {tapAxis_, ohmsAxis_}) {
        axis->setLabelsFont(small);
        axis->setTitleFont(small);
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(0.0);
    }
    chart->addAxis(tapAxis_, Qt::AlignBottom);
    chart->addAxis(ohmsAxis_, Qt::AlignLeft);
    view_ = new QChartView(chart, this);
    view_->setObjectName(QStringLiteral("chartView_tapProfile"));
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setMinimumHeight(100);

    basisNote_ = new QLabel(this);
    basisNote_->setObjectName(QStringLiteral("label_tapProfileBasis"));
    basisNote_->setStyleSheet(QStringLiteral("color: %1;").arg(kNoteColour.name()));
    basisNote_->setWordWrap(true);
    steps_ = new QListWidget(this);
    steps_->setObjectName(QStringLiteral("listWidget_tapSteps"));

    auto* header = new QHBoxLayout;
    header->addWidget(sourceLabel_);
    header->addWidget(source_);
    header->addSpacing(8);
    header->addWidget(windingLabel_);
    header->addWidget(winding_);
    header->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(header);
    layout->addWidget(view_, 1);
    layout->addWidget(basisNote_);
    layout->addWidget(steps_);

    connect(source_, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &TapProfilePanel::chooseSource);
    connect(winding_, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &TapProfilePanel::redraw);
    retranslate();
}

QChart* TapProfilePanel::chart() const
{
    return view_->chart();
}

void TapProfilePanel::setSessionSource(const DcSessionSource* source)
{
    sessions_ = source;
    listSessions();
}

void TapProfilePanel::showTable(const std::vector<analysis::DcResult>& rows)
{
    tableRows_ = rows;
    // A cleared table has just become an earlier session.
    if (isVisible())
        listSessions();
    if (source_->currentData().toLongLong() == 0)
        chooseSource();
}

void TapProfilePanel::setBaseline(const QList<store::BaselineEntry>& entries)
{
    baseline_ = entries;
    redraw();
}

void TapProfilePanel::retranslate()
{
    sourceLabel_->setText(tr("数据"));
    windingLabel_->setText(tr("绕组"));
    // A box names itself by its current text, and the winding box may hold none.
    source_->setAccessibleName(sourceLabel_->text());
    winding_->setAccessibleName(windingLabel_->text());
    listSessions();
    chooseSource();
}

void TapProfilePanel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void TapProfilePanel::showEvent(QShowEvent* event)
{
    listSessions();
    QWidget::showEvent(event);
}

// The current table first, then the earlier DC sessions, newest first; the
// chosen one stays chosen while it is there.
void TapProfilePanel::listSessions()
{
    const qint64 chosen = source_->currentData().toLongLong();
    {
        const QSignalBlocker quiet(source_);
        source_->clear();
        source_->addItem(tr("当前表格"), qint64(0));
        const QList<store::SessionSummary> sessions = sessions_ ? sessions_->earlierDcSessions()
                                                                : QList<store::SessionSummary>();
        for (const store::SessionSummary& s : sessions) {
            QStringList parts{s.started.toString(QStringLiteral("yyyy-MM-dd HH:mm"))};
            if (!s.object.isEmpty())
                parts << s.object.name;
            parts << tr("%1 行").arg(s.rowCount);
            source_->addItem(parts.join(QStringLiteral("  ")), s.id);
        }
        source_->setCurrentIndex(std::max(0, source_->findData(chosen)));
    }
    if (source_->currentData().toLongLong() != chosen)
        chooseSource();
}

void TapProfilePanel::chooseSource()
{
    const qint64 session = source_->currentData().toLongLong();
    profile_ = analysis::tapProfile(session == 0 || !sessions_ ? tableRows_ : sessions_->sessionResults(session));
    const QString chosen = winding_->currentText();
    {
        const QSignalBlocker quiet(winding_);
        winding_->clear();
        for (const TapSeries& s : profile_)
            if (winding_->findText(s.winding) < 0)
                winding_->addItem(s.winding);
        winding_->setCurrentIndex(std::max(0, winding_->findText(chosen)));
    }
    redraw();
}

QStringList TapProfilePanel::windings() const
{
    QStringList names;
    for (int i = 0; i < winding_->count(); ++i)
        names << winding_->itemText(i);
    return names;
}

void TapProfilePanel::redraw()
{
    chart()->removeAllSeries();
    const QString winding = winding_->currentText();
    double highest = 0.0;
    for (const TapSeries& s : profile_)
        for (const analysis::TapPoint& p : s.points)
            if (s.winding == winding)
                highest = std::max(highest, p.ohms);
    unit_ = analysis::unitFor(highest);
    QStringList measured;
    for (const TapSeries& s : profile_) {
        if (s.winding != winding || s.points.empty())
            continue;
        const QColor colour = phaseColour(s.phase);
        drawSeries(s, colour);
        drawBaseline(s, colour);
        drawMarkedSteps(s);
        if (!s.converted)
            measured << s.phase;
    }
    valueTitle_ = (measured.isEmpty() ? tr("换算电阻 (%1)") : tr("电阻 (%1)")).arg(unit_.name);
    fitValueTitle();
    basisNote_->setText(measured.isEmpty() ? QString()
                                           : tr("%1 缺少换算值，画的是未换算的测试电阻").arg(measured.join(QStringLiteral("、"))));
    basisNote_->setVisible(!measured.isEmpty());
    fitAxes();
    listSteps();
}

void TapProfilePanel::drawSeries(const TapSeries& series, const QColor& colour)
{
    auto* line = new QLineSeries;
    line->setName(series.phase);
    line->setPen(QPen(colour, 2));
    line->setPointsVisible(true);
    for (const analysis::TapPoint& p : series.points)
        line->append(p.tap, p.ohms / unit_.ohms);
    chart()->addSeries(line);
    line->attachAxis(tapAxis_);
    line->attachAxis(ohmsAxis_);
}

// The reference values of the series' winding and phase, corrected to the
// temperature its values refer to; none where that temperature is not known.
void TapProfilePanel::drawBaseline(const TapSeries& series, const QColor& colour)
{
    if (!series.celsius)
        return;
    QMap<int, double> ohmsOfTap;
    for (const store::BaselineEntry& entry : baseline_) {
        const std::optional<int> tap = analysis::tapPosition(entry.tapping);
        const std::optional<double> ohms =
            analysis::convertedOhms(entry.ohms, entry.material, entry.celsius, *series.celsius);
        if (tap && ohms && entry.phase == series.phase && formattables::winding(entry.winding) == series.winding)
            ohmsOfTap[*tap] = *ohms;
    }
    if (ohmsOfTap.isEmpty())
        return;
    auto* line = new QLineSeries;
    line->setName(tr("%1 基准").arg(series.phase));
    line->setPen(QPen(colour, 1.5, Qt::DashLine));
    for (auto it = ohmsOfTap.cbegin(); it != ohmsOfTap.cend(); ++it)
        line->append(it.key(), it.value() / unit_.ohms);
    chart()->addSeries(line);
    line->attachAxis(tapAxis_);
    line->attachAxis(ohmsAxis_);
}

// A marked step is drawn over its line in red, with a marker on the tap it leads to.
void TapProfilePanel::drawMarkedSteps(const TapSeries& series)
{
    for (const analysis::TapStep& step : series.steps) {
        if (!step.marked)
            continue;
        auto* segment = new QLineSeries;
        auto* marker = new QScatterSeries;
        segment->setPen(QPen(kMarkedColour, 3));
        marker->setColor(kMarkedColour);
        marker->setBorderColor(kMarkedColour);
        marker->setMarkerSize(9.0);
        for (const analysis::TapPoint& p : series.points) {
            if (p.tap == step.fromTap || p.tap == step.toTap)
                segment->append(p.tap, p.ohms / unit_.ohms);
            if (p.tap == step.toTap)
                marker->append(p.tap, p.ohms / unit_.ohms);
        }
        for (QXYSeries* s : {static_cast<QXYSeries*>(segment), static_cast<QXYSeries*>(marker)}) {
            chart()->addSeries(s);
            s->attachAxis(tapAxis_);
            s->attachAxis(ohmsAxis_);
            hideFromLegend(chart(), s);
        }
    }
}

namespace {

// Every tap labelled while they are few, otherwise whole taps at round
// steps; at least one tap either side of a single one.
void fitTapAxis(QValueAxis* axis, double low, double high)
{
    if (high <= low) {
        low -= 1.0;
        high += 1.0;
    }
    axis->setRange(low, high);
    TrendChart::setRoundTicks(axis);
    axis->setTickInterval(high - low <= kMostTapTicks ? 1.0 : std::max(1.0, axis->tickInterval()));
    axis->setLabelFormat(QStringLiteral("%.0f"));
}

// From and to multiples of the round tick step around the values.
void fitValueAxis(QValueAxis* axis, double low, double high, double mostIntervals)
{
    const double span = high > low ? high - low : std::max(std::fabs(high) * 0.01, 1e-9);
    const double step = TrendChart::roundTickStep(span, mostIntervals);
    const double from = std::floor(low / step) * step;
    double to = std::ceil(high / step) * step;
    if (to <= from)
        to = from + step;
    axis->setRange(from, to);
    TrendChart::setRoundTicks(axis, mostIntervals);
}

}  // namespace

// Along a plot too short for the whole title the value axis names only the
// unit (QtCharts would cut the title before the unit); the tab's tooltip
// says what is drawn, and the note below the chart when it is not converted.
void TapProfilePanel::fitValueTitle()
{
    const double plotHeight = chart()->plotArea().height();
    const bool fits = !(plotHeight > 0.0)
                      || QFontMetricsF(ohmsAxis_->titleFont()).horizontalAdvance(valueTitle_) <= plotHeight;
    const QString title = fits ? valueTitle_ : unit_.name;
    if (ohmsAxis_->titleText() != title)
        ohmsAxis_->setTitleText(title);
}

// A short plot (beside the result table) takes fewer value labels: QtCharts
// cuts labels that crowd each other to "...".
double TapProfilePanel::mostValueIntervals() const
{
    const double plotHeight = chart()->plotArea().height();
    const double labelHeight = QFontMetricsF(ohmsAxis_->labelsFont()).height();
    if (!(plotHeight > 0.0))
        return TrendChart::kMostTickIntervals;
    return std::clamp(std::floor(plotHeight / (2.0 * labelHeight)), 1.0, TrendChart::kMostTickIntervals);
}


void TapProfilePanel::fitAxes()
{
    bool any = false;
    double tapLow = 0, tapHigh = 0, low = 0, high = 0;
    for (QAbstractSeries* s : chart()->series()) {
        for (const QPointF& p : static_cast<QXYSeries*>(s)->pointsVector()) {
            tapLow = any ? std::min(tapLow, p.x()) : p.x();
            tapHigh = any ? std::max(tapHigh, p.x()) : p.x();
            low = any ? std::min(low, p.y()) : p.y();
            high = any ? std::max(high, p.y()) : p.y();
            any = true;
        }
    }
    if (!any) {
        tapLow = 1.0;
        tapHigh = 9.0;
        low = 0.0;
        high = 1.0;
    }
    fitTapAxis(tapAxis_, tapLow, tapHigh);
    valueIntervals_ = mostValueIntervals();
    fitValueAxis(ohmsAxis_, low, high, valueIntervals_);
}

void TapProfilePanel::listSteps()
{
    steps_->clear();
    bool judged = false;
    for (const TapSeries& s : profile_) {
        judged = judged || s.medianSizePercent.has_value();
        for (const analysis::TapStep& step : s.steps) {
            if (!step.marked)
                continue;
            auto* item = new QListWidgetItem(tr("%1 %2：分接 %3→%4 阶跃 %5，中位幅度 %6")
                                                 .arg(s.winding, s.phase)
                                                 .arg(step.fromTap)
                                                 .arg(step.toTap)
                                                 .arg(signedPercent(step.percent))
                                                 .arg(QString::number(*s.medianSizePercent, 'f', 2) + QStringLiteral(" %")));
            item->setForeground(kMarkedColour);
            steps_->addItem(item);
        }
    }
    if (steps_->count() == 0)
        steps_->addItem(judged ? tr("分接间的阶跃均匀") : tr("每相至少四个分接才判断阶跃"));
    fitStepList();
}

// As high as its lines, up to a few: beside the result table the chart
// needs every other pixel of the tab.
void TapProfilePanel::fitStepList()
{
    const int lines = std::min(steps_->count(), kStepListLines);
    const int rowHeight = steps_->sizeHintForRow(0) > 0 ? steps_->sizeHintForRow(0) : steps_->fontMetrics().height();
    steps_->setFixedHeight(rowHeight * lines + 2 * steps_->frameWidth());
}

QStringList TapProfilePanel::stepTexts() const
{
    QStringList texts;
    for (int i = 0; i < steps_->count(); ++i)
        texts << steps_->item(i)->text();
    return texts;
}
