// Computations over readings and result rows: the texts read back as numbers,
// the stability spread, the trace of a test, the three-phase balance and the
// temperature cross-check, against values worked out by hand.

#include "analysis/balance.h"
#include "analysis/trace.h"
#include "tests/dcresultcells.h"

#include <QtTest>

using namespace analysis;

namespace {

using Values = std::vector<double>;

std::vector<DcResult> results(const QList<QStringList>& rows)
{
    std::vector<DcResult> out;
    for (const QStringList& cells : rows)
        out.push_back(dcResultFromCells(cells));
    return out;
}

QString mOhm(double v) { return QString::number(v, 'f', 3) + QStringLiteral("mΩ"); }

// Three rows of 8 mΩ measured on high side tap 05, converted to the given values.
QList<QStringList> three(double a, double b, double c, const QStringList& phases = {"A0", "B0", "C0"})
{
    return {dcCells(phases[0], mOhm(8), mOhm(a)), dcCells(phases[1], mOhm(8), mOhm(b)), dcCells(phases[2], mOhm(8), mOhm(c))};
}

}  // namespace

Q_DECLARE_METATYPE(Values)
Q_DECLARE_METATYPE(QList<QStringList>)

class TestAnalysis : public QObject
{
    Q_OBJECT

private slots:
    // --- texts as numbers ---
    void resistanceTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isValue");
        QTest::addColumn<double>("ohms");
        QTest::addColumn<double>("halfStep");
        QTest::newRow("mΩ six characters") << "12.345mΩ" << true << 0.012345 << 5e-7;
        QTest::newRow("μΩ one decimal") << "123.5μΩ" << true << 123.5e-6 << 5e-8;
        QTest::newRow("micro sign U+00B5") << "123.5µΩ" << true << 123.5e-6 << 5e-8;
        QTest::newRow("Ω") << "1.5000Ω" << true << 1.5 << 5e-5;
        QTest::newRow("KΩ capital") << "2.5000KΩ" << true << 2500.0 << 0.05;
        QTest::newRow("MΩ") << "1.0000MΩ" << true << 1e6 << 50.0;
        QTest::newRow("whole number") << "100Ω" << true << 100.0 << 0.5;
        QTest::newRow("over range") << ">800.00mΩ" << false << 0.0 << 0.0;
        QTest::newRow("no converted value") << "------μΩ" << false << 0.0 << 0.0;
        QTest::newRow("blank cell") << " " << false << 0.0 << 0.0;
        QTest::newRow("number without unit") << "12.345" << false << 0.0 << 0.0;
        QTest::newRow("exponent form") << "1e-05Ω" << false << 0.0 << 0.0;
    }
    void resistanceTexts()
    {
        QFETCH(QString, text);
        const std::optional<Resistance> r = parseResistance(text);
        QTEST(r.has_value(), "isValue");
        if (!r)
            return;
        QFETCH(double, ohms);
        QFETCH(double, halfStep);
        QVERIFY2(qAbs(r->ohms - ohms) <= ohms * 1e-12, qPrintable(QString::number(r->ohms, 'g', 17)));
        QVERIFY(qAbs(r->halfStepOhms - halfStep) <= halfStep * 1e-9);
    }

    void otherQuantities()
    {
        QCOMPARE(parseAmps(QStringLiteral("1.00A")).value_or(-1), 1.0);
        QCOMPARE(parseAmps(QStringLiteral("400.00mA")).value_or(-1), 0.4);
        QVERIFY(!parseAmps(QStringLiteral("------A")));
        QCOMPARE(parseCelsius(QStringLiteral("+23.50℃")).value_or(-1), 23.5);
        QCOMPARE(parseCelsius(QStringLiteral("-5.25℃")).value_or(0), -5.25);
        QCOMPARE(parseCelsius(QStringLiteral("115℃")).value_or(0), 115.0);
        QVERIFY(!parseCelsius(QStringLiteral(" ")));
        QCOMPARE(unitFor(0.012345).name, QStringLiteral("mΩ"));
        QCOMPARE(unitFor(0.0005).name, QStringLiteral("μΩ"));
        QCOMPARE(unitFor(1.0).name, QStringLiteral("Ω"));
        QCOMPARE(unitFor(2500.0).name, QStringLiteral("KΩ"));
    }

    // --- stability ---
    void spread_data()
    {
        QTest::addColumn<Values>("values");
        QTest::addColumn<int>("window");
        QTest::addColumn<double>("expected");  // -1: none
        QTest::newRow("three in a window of three") << Values{10.0, 10.01, 9.99} << 3 << 0.2;
        QTest::newRow("fewer readings than the window") << Values{10.0, 10.01} << 3 << -1.0;
        QTest::newRow("only the newest count") << Values{100.0, 10.0, 10.0, 10.0} << 3 << 0.0;
        QTest::newRow("first spike inside the window") << Values{12.0, 10.0, 10.0} << 3 << 2.0 / (32.0 / 3.0) * 100.0;
        QTest::newRow("mean zero") << Values{-1.0, 1.0} << 2 << -1.0;
        QTest::newRow("window of one") << Values{5.0} << 1 << 0.0;
    }
    void spread()
    {
        QFETCH(Values, values);
        QFETCH(int, window);
        QFETCH(double, expected);
        const std::optional<double> s = spreadPercent(values, window);
        QCOMPARE(s.has_value(), expected >= 0.0);
        if (s)
            QVERIFY2(qAbs(*s - expected) < 1e-9, qPrintable(QString::number(*s, 'g', 12)));
    }

    void stableOnlyWhileTheSpreadStaysBelowTheThreshold()
    {
        StabilityMeter meter({4, 0.05});
        for (double v : {10.0, 10.004, 10.0})
            meter.add(v);
        QVERIFY(!meter.isStable());  // not a full window yet
        meter.add(10.002);
        QCOMPARE(meter.spreadPercent().value_or(-1), 0.004 / 10.0015 * 100.0);
        QVERIFY(meter.isStable());
        meter.add(10.006);  // 0.006 / 10.003 = 0.06 %
        QVERIFY(!meter.isStable());
        meter.setSettings({4, 0.1});
        QVERIFY(meter.isStable());
        meter.setSettings({6, 0.1});
        QVERIFY(!meter.isStable());  // five readings so far
        meter.setSettings({0, -1.0});  // out of range: the smallest window, threshold zero
        QCOMPARE(meter.settings().window, StabilitySettings::kMinWindow);
        QVERIFY(!meter.isStable());
        meter.reset();
        QVERIFY(!meter.spreadPercent());
    }

    // --- the trace of a test ---
    void traceFollowsOneTestCycle()
    {
        LiveTrend trend({3, 0.05});
        QCOMPARE(trend.take(1.0, {false, false, 0.012, 0.0}), LiveTrend::Step::Idle);
        QCOMPARE(trend.take(2.0, {true, false, std::nullopt, 0.5}), LiveTrend::Step::Started);
        QCOMPARE(trend.take(2.5, {true, true, 0.0125, 1.0}), LiveTrend::Step::Running);
        QCOMPARE(trend.take(3.0, {true, true, std::nullopt, 1.0}), LiveTrend::Step::Running);  // over range
        QCOMPARE(trend.take(3.5, {true, true, 0.0124, 1.0}), LiveTrend::Step::Running);
        QCOMPARE(trend.take(4.0, {true, false, 0.0124, 0.3}), LiveTrend::Step::Running);  // discharging: held value
        QVERIFY(!trend.stability().spreadPercent());  // two resistances in a window of three
        QCOMPARE(trend.take(4.5, {false, false, 0.0124, 0.0}), LiveTrend::Step::Finished);
        QVERIFY(!trend.running());

        const QVector<TracePoint>& p = trend.trace().points;
        QCOMPARE(p.size(), 5);
        QCOMPARE(p[0].seconds, 0.0);
        QVERIFY(std::isnan(p[0].ohms));
        QCOMPARE(p[0].amps, 0.5);
        QCOMPARE(p[1].seconds, 0.5);
        QCOMPARE(p[1].ohms, 0.0125);
        QVERIFY(std::isnan(p[2].ohms));
        QCOMPARE(p[3].ohms, 0.0124);
        QVERIFY(std::isnan(p[4].ohms));
        QCOMPARE(p[4].amps, 0.3);

        // The next test starts a new trace and a new stability window.
        QCOMPARE(trend.take(9.0, {true, true, 0.02, 1.0}), LiveTrend::Step::Started);
        QCOMPARE(trend.trace().points.size(), 1);
        QCOMPARE(trend.stability().count(), 1);
    }

    // A kept trace reads back point for point, missing values included;
    // bytes that are not a whole trace of this format read as no trace.
    void traceBytesReadBack_data()
    {
        Trace trace;
        trace.points = {{0.0, NAN, 0.5}, {0.25, 0.0125, 1.0}, {0.5, 0.01249, NAN}};
        const QByteArray whole = traceBytes(trace);
        QByteArray otherFormat = whole;
        otherFormat[0] = char(2);
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("points");
        QTest::newRow("whole") << whole << 3;
        QTest::newRow("empty trace") << traceBytes(Trace()) << 0;
        QTest::newRow("cut short") << whole.left(whole.size() - 1) << 0;
        QTest::newRow("a byte too many") << whole + 'x' << 0;
        QTest::newRow("another format") << otherFormat << 0;
        QTest::newRow("count beyond the bytes") << QByteArray("\x01\xff\xff\xff\xff", 5) << 0;
    }
    void traceBytesReadBack()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, points);
        const Trace read = traceFromBytes(bytes);
        QCOMPARE(read.points.size(), points);
        if (points == 0)
            return;
        QCOMPARE(read.points[1].seconds, 0.25);
        QCOMPARE(read.points[1].ohms, 0.0125);
        QVERIFY(std::isnan(read.points[0].ohms) && std::isnan(read.points[2].amps));
        QCOMPARE(read.points[2].ohms, 0.01249);
    }

    void rangeKeepsTheSettlingVisible()
    {
        QVector<TracePoint> points;
        for (int i = 0; i <= 20; ++i)  // 25 % high at first, settling on 10 with a time constant of 2 s
            points.append({double(i), 10.0 * (1.0 + 0.25 * std::exp(-i / 2.0)), 1.0});
        const AxisRange r = settlingRange(points, &TracePoint::ohms).value();
        // The newer half (10 s .. 20 s) spans 10.0002 .. 10.0168: the first spike is left out.
        QVERIFY2(r.high < 10.05 && r.high > 10.0168, qPrintable(QString::number(r.high)));
        QVERIFY(r.low < 10.0002 && r.low > 9.99);

        // A flat current gets the smallest span, centred on its level.
        const AxisRange flat = settlingRange(points, &TracePoint::amps).value();
        QVERIFY(qFuzzyCompare(flat.high - flat.low, 1.0 * 5e-4));
        QVERIFY(qFuzzyCompare(flat.low + flat.high, 2.0));

        // One point only: the range still holds it.
        const AxisRange one = settlingRange({{0.0, 0.012, NAN}}, &TracePoint::ohms).value();
        QVERIFY(one.low < 0.012 && one.high > 0.012);
        QVERIFY(!settlingRange({{0.0, NAN, 1.0}}, &TracePoint::ohms));
    }

    // --- temperature cross-check ---
    void convertedFormula_data()
    {
        QTest::addColumn<double>("measured");
        QTest::addColumn<int>("material");
        QTest::addColumn<double>("conductorTemp");
        QTest::addColumn<double>("referenceTemp");
        QTest::addColumn<double>("expected");
        QTest::newRow("copper 20 to 75") << 10.0 << 0 << 20.0 << 75.0 << 10.0 * 310.0 / 255.0;  // 12.156863
        QTest::newRow("aluminium 20 to 75") << 10.0 << 1 << 20.0 << 75.0 << 10.0 * 300.0 / 245.0;  // 12.244898
        QTest::newRow("copper already at 75") << 10.0 << 0 << 75.0 << 75.0 << 10.0;
        QTest::newRow("aluminium 100 to 75") << 0.5 << 1 << 100.0 << 75.0 << 0.5 * 300.0 / 325.0;
        QTest::newRow("unknown material") << 10.0 << -1 << 20.0 << 75.0 << -1.0;
    }
    void convertedFormula()
    {
        QFETCH(double, measured);
        QFETCH(int, material);
        QFETCH(double, conductorTemp);
        QFETCH(double, referenceTemp);
        QFETCH(double, expected);
        const std::optional<double> c = convertedOhms(measured, material, conductorTemp, referenceTemp);
        QCOMPARE(c.has_value(), expected >= 0.0);
        if (c)
            QVERIFY2(qAbs(*c - expected) < 1e-12, qPrintable(QString::number(*c, 'g', 12)));
    }

    void crossCheckRows_data()
    {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<int>("verdict");
        // 12.345 mΩ copper at 20 °C is 15.007 mΩ at 75 °C.
        QTest::newRow("copper agrees") << dcCells("A0", "12.345mΩ", "15.008mΩ") << int(CrossCheck::Agrees);
        QTest::newRow("converted units differ") << dcCells("A0", "12.345mΩ", "0.015007Ω") << int(CrossCheck::Agrees);
        QTest::newRow("0.19 % high") << dcCells("A0", "12.345mΩ", "15.036mΩ") << int(CrossCheck::Agrees);
        QTest::newRow("0.21 % high") << dcCells("A0", "12.345mΩ", "15.039mΩ") << int(CrossCheck::Differs);
        QTest::newRow("set to aluminium, converted as copper")
            << dcCells("A0", "12.345mΩ", "15.007mΩ", "05", "高压", "Al") << int(CrossCheck::Differs);
        QTest::newRow("aluminium in English") << dcCells("A0", "12.345mΩ", "15.116mΩ", "05", "High", "Al")
                                              << int(CrossCheck::Agrees);
        QTest::newRow("conductor temperature set wrong")
            << dcCells("A0", "12.345mΩ", "15.007mΩ", "05", "高压", "铜", "+25.00℃") << int(CrossCheck::Differs);
        // 5.3 μΩ may be 5.25 .. 5.35: one decimal cannot tell 0.2 % apart.
        QTest::newRow("coarse μΩ digits") << dcCells("A0", "5.3μΩ", "6.5μΩ") << int(CrossCheck::Agrees);
        QTest::newRow("coarse digits far off") << dcCells("A0", "5.3μΩ", "7.0μΩ") << int(CrossCheck::Differs);
        QTest::newRow("no converted value") << dcCells("A0", "12.345mΩ", "------μΩ") << int(CrossCheck::NotApplicable);
        QTest::newRow("over range") << dcCells("A0", ">800.00mΩ", "------μΩ") << int(CrossCheck::NotApplicable);
        QTest::newRow("blank temperature")
            << dcCells("A0", "12.345mΩ", "15.007mΩ", "05", "高压", "铜", " ") << int(CrossCheck::NotApplicable);
    }
    void crossCheckRows()
    {
        QFETCH(QStringList, cells);
        QFETCH(int, verdict);
        const CrossCheck check = crossCheck(dcResultFromCells(cells));
        QCOMPARE(int(check.verdict), verdict);
        if (verdict != CrossCheck::NotApplicable)
            QVERIFY(check.tolerancePercent >= kCrossCheckTolerancePercent);
    }

    // --- three-phase balance ---
    void balance_data()
    {
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<QStringList>("expected");  // one "kind winding/tapping status imbalance basis" per group
        const QString dash = QStringLiteral("------μΩ");
        QTest::newRow("phases within 2 %") << three(10.0, 10.1, 10.2) << QStringList{"phase 高压/05 pass 1.980 converted"};
        QTest::newRow("one phase 3 % off") << three(10.0, 10.0, 10.3) << QStringList{"phase 高压/05 fail 2.970 converted"};
        QTest::newRow("lines judged by the line limit")
            << three(10.0, 10.1, 10.2, {"AB", "BC", "AC"}) << QStringList{"line 高压/05 fail 1.980 converted"};
        QTest::newRow("a phase missing")
            << QList<QStringList>{dcCells("A0", mOhm(8), mOhm(10.0)), dcCells("C0", mOhm(8), mOhm(10.2))}
            << QStringList{"phase 高压/05 incomplete"};
        QTest::newRow("a phase over range")
            << QList<QStringList>{dcCells("A0", mOhm(8), mOhm(10.0)), dcCells("B0", ">800.00mΩ", dash),
                                  dcCells("C0", mOhm(8), mOhm(10.2))}
            << QStringList{"phase 高压/05 incomplete"};
        QTest::newRow("a placeholder")
            << QList<QStringList>{dcCells("A0", mOhm(8), mOhm(10.0)), dcCells("B0", "等待测试···", dash),
                                  dcCells("C0", mOhm(8), mOhm(10.2))}
            << QStringList{"phase 高压/05 incomplete"};
        QTest::newRow("one without converted value: all measured")
            << QList<QStringList>{dcCells("A0", mOhm(8.0), mOhm(10.0)), dcCells("B0", mOhm(8.08), dash),
                                  dcCells("C0", mOhm(8.0), mOhm(10.9))}
            << QStringList{"phase 高压/05 pass 0.997 measured"};
        QTest::newRow("converted to two temperatures: measured")
            << QList<QStringList>{dcCells("A0", mOhm(8.0), mOhm(10.0)),
                                  dcCells("B0", mOhm(8.0), mOhm(11.0), "05", "高压", "铜", "+20.00℃", "115℃"),
                                  dcCells("C0", mOhm(8.0), mOhm(10.0))}
            << QStringList{"phase 高压/05 pass 0.000 measured"};
        QTest::newRow("a repeated test replaces the earlier one")
            << three(12.0, 10.0, 10.0) + QList<QStringList>{dcCells("A0", mOhm(8), mOhm(10.0))}
            << QStringList{"phase 高压/05 pass 0.000 converted"};
        QTest::newRow("windings, tappings and kinds apart")
            << QList<QStringList>{dcCells("A0", mOhm(8), mOhm(10.0)), dcCells("B0", mOhm(8), mOhm(10.0), "06"),
                                  dcCells("C0", mOhm(8), mOhm(10.0), "05", "低压"), dcCells("AB", mOhm(8), mOhm(10.0)),
                                  dcCells(" ", mOhm(8), mOhm(10.0))}
            << QStringList{"phase 高压/05 incomplete", "phase 高压/06 incomplete", "phase 低压/05 incomplete",
                           "line 高压/05 incomplete"};
    }
    void balance()
    {
        QFETCH(QList<QStringList>, rows);
        QStringList got;
        for (const BalanceGroup& g : balanceGroups(results(rows))) {
            QString line = QStringLiteral("%1 %2/%3 ")
                               .arg(g.kind == PhaseKind::Phase ? "phase" : "line", g.winding, g.tapping);
            if (g.status == BalanceGroup::Incomplete)
                line += QStringLiteral("incomplete");
            else
                line += QStringLiteral("%1 %2 %3")
                            .arg(g.status == BalanceGroup::Pass ? "pass" : "fail")
                            .arg(g.imbalancePercent, 0, 'f', 3)
                            .arg(g.basis == BalanceGroup::Converted ? "converted" : "measured");
            got << line;
        }
        QTEST(got, "expected");
    }

    void limitsAreTheOperators()
    {
        const auto rows = results(three(10.0, 10.1, 10.2));
        QCOMPARE(balanceGroups(rows, {1.5, 1.0}).at(0).status, BalanceGroup::Fail);
        QCOMPARE(balanceGroups(rows, {1.5, 1.0}).at(0).limitPercent, 1.5);
        const BalanceGroup g = balanceGroups(rows).at(0);
        QCOMPARE(balanceGroups(rows, {g.imbalancePercent, 1.0}).at(0).status, BalanceGroup::Pass);  // at the limit
        QCOMPARE(g.rows, (std::array<int, 3>{{0, 1, 2}}));
        QVERIFY(qFuzzyCompare(g.ohms[2], 0.0102));
        QCOMPARE(phaseNames(PhaseKind::Line), (QStringList{"AB", "BC", "AC"}));
    }
};

QTEST_GUILESS_MAIN(TestAnalysis)
#include "test_analysis.moc"
