// The widgets of the live trend and of the balance summary.

#include "insight/balancepanel.h"
#include "insight/trendchart.h"
#include "insight/trendpanel.h"
#include "tests/dcresultcells.h"

#include <QtCharts/QChart>
#include <QtCharts/QValueAxis>
#include <QtTest>
#include <QtWidgets>

using namespace analysis;

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

QtCharts::QValueAxis* axis(TrendChart& chart, Qt::Alignment side)
{
    return qobject_cast<QtCharts::QValueAxis*>(chart.chart()->axes(side == Qt::AlignBottom ? Qt::Horizontal : Qt::Vertical).value(side == Qt::AlignRight ? 1 : 0));
}

TracePoint settling(int i)
{
    return {i * 0.5, 0.012345 * (1.0 + 0.25 * std::exp(-i * 0.5 / 3.0)), 9.5};
}

}  // namespace

class TestInsight : public QObject
{
    Q_OBJECT

private slots:
    void chartDrawsEachReadingOnceInOneUnit()
    {
        TrendChart chart;
        chart.resize(600, 300);
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        PaintCounter counter(chart.viewport());
        chart.appendPoint({0.0, NAN, 2.0});  // charging: current only
        QCoreApplication::processEvents();
        const int readings = 40;
        for (int i = 1; i <= readings; ++i) {
            chart.appendPoint(settling(i));
            QCoreApplication::processEvents();
        }
        QVERIFY2(counter.paints <= readings + 1, qPrintable(QString::number(counter.paints)));
        QVERIFY(counter.paints > 0);
        QCOMPARE(chart.resistanceUnit(), QStringLiteral("mΩ"));
        QCOMPARE(chart.resistancePointCount(), readings);
        QCOMPARE(chart.currentPointCount(), readings + 1);
        const QVector<QPointF> drawn = chart.resistancePoints();
        QCOMPARE(drawn.first(), QPointF(0.5, settling(1).ohms * 1000.0));
        QCOMPARE(drawn.last(), QPointF(20.0, settling(readings).ohms * 1000.0));

        // The settling keeps the vertical axis: the first, 23 % high point is above it.
        QtCharts::QValueAxis* ohms = axis(chart, Qt::AlignLeft);
        QVERIFY(ohms->max() < drawn.first().y());
        QVERIFY(ohms->min() < drawn.last().y() && ohms->max() > drawn.last().y());
        QVERIFY(axis(chart, Qt::AlignBottom)->max() >= 20.0);

        // A kept trace replaces the drawing, in its own unit.
        Trace kept;
        kept.points = {{0.0, 2.5, 0.1}, {1.0, 2.4, 0.1}};
        chart.showTrace(kept);
        QCOMPARE(chart.resistanceUnit(), QStringLiteral("Ω"));
        QCOMPARE(chart.resistancePoints(), (QVector<QPointF>{{0.0, 2.5}, {1.0, 2.4}}));
        chart.clear();
        QCOMPARE(chart.resistancePointCount(), 0);
    }

    void longTracesAreThinnedKeepingSpikes()
    {
        TrendChart chart;
        chart.show();
        Trace trace;
        for (int i = 0; i < 5000; ++i)
            trace.points.append({i * 0.2, i == 3333 ? 0.013 : 0.012, 10.0});
        chart.showTrace(trace);
        QVERIFY(chart.resistancePointCount() <= TrendChart::kMaxDrawnPoints + 2);
        QVERIFY(chart.resistancePointCount() >= TrendChart::kMaxDrawnPoints / 2);
        const QVector<QPointF> drawn = chart.resistancePoints();
        const auto spike = std::max_element(drawn.begin(), drawn.end(),
                                            [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
        QCOMPARE(*spike, QPointF(3333 * 0.2, 13.0));
        QVERIFY(std::is_sorted(drawn.begin(), drawn.end(),
                               [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); }));
        QCOMPARE(drawn.first().x(), 0.0);

        // Hidden, the chart only keeps the readings; shown, it draws them all.
        chart.hide();
        chart.clear();
        chart.appendPoint({0.0, 0.012, 1.0});
        chart.appendPoint({0.5, 0.0121, 1.0});
        QCOMPARE(chart.resistancePointCount(), 0);
        QCOMPARE(chart.trace().points.size(), 2);
        chart.show();
        QCOMPARE(chart.resistancePointCount(), 2);
    }

    // Every axis is cut at round steps (1, 2 or 5 times a power of ten) into
    // two to five parts, each tick labelled with its exact value; the current
    // axis starts at zero, also while the current is still building up, and
    // reaches the highest current of the trace, also one that ends discharging.
    void axesHaveRoundTicksAndNoNegativeCurrent_data()
    {
        QTest::addColumn<Trace>("trace");
        Trace rising, ohmsOnly, building, discharging;
        for (int i = 0; i <= 20; ++i) {
            rising.points << settling(i);
            ohmsOnly.points << TracePoint{i * 3.0, 1.5 + 0.001 * (i % 3), NAN};
            building.points << TracePoint{i * 0.25, NAN, 0.5 * i};
            discharging.points << TracePoint{i * 0.25, NAN, i < 6 ? 2.0 * i : 10.0 * std::pow(0.7, i - 5)};
        }
        QTest::newRow("ten seconds, settling milliohms") << rising;
        QTest::newRow("a minute of ohms, no current") << ohmsOnly;
        QTest::newRow("current building from zero") << building;
        QTest::newRow("current up to 10 A, then discharging") << discharging;
        QTest::newRow("empty") << Trace();
    }
    void axesHaveRoundTicksAndNoNegativeCurrent()
    {
        QFETCH(Trace, trace);
        TrendChart chart;
        chart.showTrace(trace);
        for (Qt::Alignment side : {Qt::AlignBottom, Qt::AlignLeft, Qt::AlignRight}) {
            QtCharts::QValueAxis* a = axis(chart, side);
            QCOMPARE(a->tickType(), QtCharts::QValueAxis::TicksDynamic);
            QCOMPARE(a->tickAnchor(), 0.0);
            const double step = a->tickInterval();
            const double mantissa = step / std::pow(10.0, std::floor(std::log10(step) + 1e-9));
            QVERIFY2(qFuzzyCompare(mantissa, 1.0) || qFuzzyCompare(mantissa, 2.0) || qFuzzyCompare(mantissa, 5.0),
                     qPrintable(QString::number(step)));
            const double parts = (a->max() - a->min()) / step;
            QVERIFY2(parts >= 2.0 - 1e-9 && parts <= 5.0 + 1e-9, qPrintable(QString::number(parts)));
            for (double tick = std::ceil(a->min() / step - 1e-9) * step; tick <= a->max(); tick += step) {
                const QString label = QString::asprintf(a->labelFormat().toLatin1().constData(), tick);
                QVERIFY2(std::abs(label.toDouble() - tick) <= step * 1e-6, qPrintable(label));
            }
        }
        QCOMPARE(axis(chart, Qt::AlignRight)->min(), 0.0);
        for (const TracePoint& p : trace.points)
            QVERIFY2(std::isnan(p.amps) || p.amps <= axis(chart, Qt::AlignRight)->max(), qPrintable(QString::number(p.amps)));
    }

    void panelFoldsAndTellsItsSettings()
    {
        qRegisterMetaType<StabilitySettings>();
        TrendPanel panel;
        panel.show();
        QSignalSpy folded(&panel, &TrendPanel::foldedChanged);
        QSignalSpy settings(&panel, &TrendPanel::stabilitySettingsChanged);
        auto* fold = panel.findChild<QToolButton*>(QStringLiteral("toolButton_trend"));
        fold->click();
        QVERIFY(panel.isFolded());
        QVERIFY(!panel.chart()->isVisible());
        QCOMPARE(folded.value(0).value(0), QVariant(true));
        panel.setFolded(false);  // set by the program: no signal
        QVERIFY(panel.chart()->isVisible());
        QCOMPARE(folded.size(), 1);

        panel.setStabilitySettings({20, 0.1});  // set by the program: no signal
        panel.findChild<QSpinBox*>(QStringLiteral("spinBox_stabilityWindow"))->setValue(15);
        QCOMPARE(settings.size(), 1);
        QCOMPARE(panel.stabilitySettings().window, 15);
        QCOMPARE(panel.stabilitySettings().thresholdPercent, 0.1);

        auto* mark = panel.findChild<QLabel*>(QStringLiteral("label_stableMark"));
        panel.showStability(std::nullopt, false);
        QVERIFY(!mark->isVisible());
        panel.showStability(0.0312, true);
        QVERIFY(mark->isVisible());
        QCOMPARE(mark->text(), QStringLiteral("稳定"));
        QVERIFY(panel.stabilityText().contains(QStringLiteral("0.031 %")));
        panel.showStability(0.2, false);
        QCOMPARE(mark->text(), QStringLiteral("未稳定"));
    }

    void balanceSummaryFollowsRowsAndLimits()
    {
        qRegisterMetaType<BalanceLimits>();
        BalancePanel panel;
        QSignalSpy limits(&panel, &BalancePanel::limitsChanged);
        std::vector<DcResult> rows;
        const QString measured = QStringLiteral("12.345mΩ");
        for (const QStringList& cells : {dcCells("A0", measured, "10.000mΩ"), dcCells("B0", measured, "10.100mΩ"),
                                         dcCells("C0", measured, "10.200mΩ"), dcCells("AB", measured, "10.000mΩ"),
                                         dcCells("BC", ">800.00mΩ", "------μΩ")})
            rows.push_back(dcResultFromCells(cells));
        panel.showResults(rows, {"1", "2", "3", "4", "6"});
        QList<QStringList> shown = panel.rowTexts();
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0], (QStringList{"高压", "05", "A0/B0/C0", "10.000/10.100/10.200 mΩ", "折算电阻", "1.980 %",
                                        "2.00 %", "合格"}));
        QCOMPARE(shown[1].mid(2), (QStringList{"AB/BC/AC", "AB 第 4 行  BC 第 6 行  AC 缺", "", "", "1.00 %", "不完整"}));
        QCOMPARE(panel.headerTexts().size(), int(BalancePanel::ColumnCount));

        panel.findChild<QDoubleSpinBox*>(QStringLiteral("doubleSpinBox_phaseLimit"))->setValue(1.5);
        QCOMPARE(limits.size(), 1);
        QCOMPARE(panel.rowTexts()[0].last(), QStringLiteral("不合格"));
        QCOMPARE(panel.limits().phasePercent, 1.5);

        // 12.345 mΩ at 20 ℃ is 15.008 mΩ at 75 ℃: rows 1 to 4 do not agree (12.345 against 10.x).
        QVERIFY2(panel.crossCheckText().contains(QStringLiteral("第 1 行")), qPrintable(panel.crossCheckText()));
        QVERIFY(!panel.crossCheckText().contains(QStringLiteral("第 6 行")));
        panel.showResults({dcResultFromCells(dcCells("A0", measured, "15.008mΩ"))}, {"1"});
        QVERIFY2(panel.crossCheckText().contains(QStringLiteral("1 行")), qPrintable(panel.crossCheckText()));
        QVERIFY(!panel.crossCheckText().contains(QStringLiteral("0.2 %")));
    }
};

QTEST_MAIN(TestInsight)
#include "test_insight.moc"
