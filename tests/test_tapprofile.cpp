// The tap profile of DC rows: which steps between taps stand out, against
// series built by hand with known steps.

#include "analysis/tapprofile.h"
#include "tests/dcresultcells.h"

#include <QtTest>

#include <cmath>

using namespace analysis;

namespace {

using Values = QVector<double>;  // ohms, one per tap
using Taps = QVector<int>;

QString mOhm(double ohms, int decimals = 4)
{
    return QString::number(ohms * 1000.0, 'f', decimals) + QStringLiteral("mΩ");
}

// Taps 1..n from `first`, each `percent` above the one before (below when negative).
Values even(int n, double percent, double first = 0.4)
{
    Values v{first};
    while (v.size() < n)
        v << v.last() * (1.0 + percent / 100.0);
    return v;
}

// The taps from `tap` on change by `percent` more than the series did.
Values planted(Values v, int tap, double percent)
{
    for (int i = tap - 1; i < v.size(); ++i)
        v[i] *= 1.0 + percent / 100.0;
    return v;
}

Taps oneTo(int n)
{
    Taps t;
    for (int i = 1; i <= n; ++i)
        t << i;
    return t;
}

std::vector<DcResult> phaseRows(const Values& ohms, const Taps& taps, int decimals = 4, const QString& phase = "AB")
{
    std::vector<DcResult> rows;
    for (int i = 0; i < ohms.size(); ++i)
        rows.push_back(dcResultFromCells(dcCells(phase, mOhm(ohms[i] * 0.8, decimals), mOhm(ohms[i], decimals),
                                                 QString::number(taps[i]))));
    return rows;
}

QStringList markedStepNames(const TapSeries& series)
{
    QStringList marked;
    for (const TapStep& step : series.steps)
        if (step.marked)
            marked << QStringLiteral("%1→%2").arg(step.fromTap).arg(step.toTap);
    return marked;
}

}  // namespace

class TestTapProfile : public QObject
{
    Q_OBJECT

private slots:
    void markedSteps_data()
    {
        QTest::addColumn<Values>("ohms");
        QTest::addColumn<Taps>("taps");
        QTest::addColumn<int>("decimals");  // of the shown mΩ
        QTest::addColumn<QStringList>("marked");

        const Values rising = even(9, 1.0);
        const Values falling = even(9, -1.0);
        QTest::newRow("regular rising") << rising << oneTo(9) << 4 << QStringList();
        QTest::newRow("regular falling") << falling << oneTo(9) << 4 << QStringList();
        QTest::newRow("3 % step rising") << planted(rising, 5, 2.0) << oneTo(9) << 4 << QStringList{"4→5"};
        QTest::newRow("3 % step falling") << planted(falling, 7, -2.0) << oneTo(9) << 4 << QStringList{"6→7"};
        // Shown to whole mΩ on some 400 mΩ: the last digit moves a step by up to a quarter of it.
        QTest::newRow("rounding of the shown digits") << even(9, 1.0) << oneTo(9) << 0 << QStringList();
        QTest::newRow("flat, rounded") << even(9, 0.0) << oneTo(9) << 1 << QStringList();
        QTest::newRow("step smaller than 0.1 % of the resistance") << planted(even(9, 0.05), 5, 0.08) << oneTo(9) << 4
                                                                    << QStringList();
        QTest::newRow("reversing selector")
            << (even(5, -1.0) + even(5, 1.0, even(5, -1.0).last()).mid(1)) << oneTo(9) << 4 << QStringList();
        // A worn contact on one tap raises it alone: both its steps stand out.
        Values contact = rising;
        contact[5] *= 1.04;
        QTest::newRow("one high tap") << contact << oneTo(9) << 4 << QStringList{"5→6", "6→7"};

        const Taps gaps{1, 2, 4, 5, 6, 9};
        const auto at = [](const Values& all, const Taps& taps) {
            Values v;
            for (int t : taps)
                v << all[t - 1];
            return v;
        };
        QTest::newRow("missing taps, regular") << at(rising, gaps) << gaps << 4 << QStringList();
        QTest::newRow("missing taps, 3 % step") << at(planted(rising, 5, 2.0), gaps) << gaps << 4
                                                << QStringList{"4→5"};
        QTest::newRow("step across a missing tap")
            << at(planted(rising, 4, 4.0), gaps) << gaps << 4 << QStringList{"2→4"};
        QTest::newRow("three taps: no median") << Values{0.40, 0.404, 0.42} << Taps{1, 2, 3} << 4 << QStringList();
        QTest::newRow("four taps") << Values{0.40, 0.404, 0.42, 0.4242} << Taps{1, 2, 3, 4} << 4 << QStringList{"2→3"};
    }

    void markedSteps()
    {
        QFETCH(Values, ohms);
        QFETCH(Taps, taps);
        QFETCH(int, decimals);
        QFETCH(QStringList, marked);
        const std::vector<TapSeries> series = tapProfile(phaseRows(ohms, taps, decimals));
        QCOMPARE(int(series.size()), 1);
        QCOMPARE(int(series[0].points.size()), ohms.size());
        QCOMPARE(markedStepNames(series[0]), marked);
    }

    // The figures that name the step: its change per tap and the median size.
    void plantedStepFigures()
    {
        const TapSeries s = tapProfile(phaseRows(planted(even(9, -1.0), 5, -2.0), oneTo(9)))[0];
        QVERIFY(s.converted);
        QCOMPARE(s.celsius, std::optional<double>(75.0));
        QCOMPARE(int(s.steps.size()), 8);
        QVERIFY(s.medianSizePercent);
        QVERIFY(std::fabs(*s.medianSizePercent - 1.0) < 0.001);
        const TapStep& step = s.steps[3];
        QCOMPARE(step.fromTap, 4);
        QVERIFY(step.marked);
        QVERIFY(std::fabs(step.percent - (0.99 * 0.98 - 1.0) * 100.0) < 0.001);
    }

    // Series per winding and phase; a repeated tap counts its last row; rows
    // that name no tap number or hold no value are left out.
    void seriesFromRows()
    {
        QList<QStringList> cells{
            dcCells("AB", mOhm(0.32), mOhm(0.40), "1"),
            dcCells("AB", mOhm(0.33), mOhm(0.41), "2"),
            dcCells("AB", mOhm(0.30), mOhm(0.39), "1"),  // repeated: replaces the first
            dcCells("BC", mOhm(0.33), mOhm(0.41), "1"),
            dcCells("AB", mOhm(0.01), mOhm(0.01), "9b"),
            dcCells("AB", mOhm(0.01), mOhm(0.01), " "),
            dcCells("AB", ">800.00mΩ", "------mΩ", "3"),
            dcCells("AB", mOhm(0.002), mOhm(0.0025), "1", "低压"),
        };
        std::vector<DcResult> rows;
        for (const QStringList& c : cells)
            rows.push_back(dcResultFromCells(c));
        const std::vector<TapSeries> series = tapProfile(rows);
        QCOMPARE(int(series.size()), 3);
        QCOMPARE(series[0].phase, QStringLiteral("AB"));
        QCOMPARE(int(series[0].points.size()), 2);
        QCOMPARE(series[0].points[0].row, 2);
        QCOMPARE(series[0].points[0].ohms, 0.39);
        QCOMPARE(series[1].phase, QStringLiteral("BC"));
        QCOMPARE(series[2].winding, QStringLiteral("低压"));
    }

    // One row without a converted value puts the whole series on measured
    // values; converted values of other reference temperatures are corrected.
    void basisOfSeries()
    {
        std::vector<DcResult> rows{
            dcResultFromCells(dcCells("A0", mOhm(0.30), mOhm(0.40), "1")),
            dcResultFromCells(dcCells("A0", mOhm(0.31), "------mΩ", "2")),
        };
        TapSeries s = tapProfile(rows)[0];
        QVERIFY(!s.converted);
        QCOMPARE(s.celsius, std::optional<double>(20.0));
        QCOMPARE(s.points[1].ohms, 0.31);

        rows[1] = dcResultFromCells(dcCells("A0", mOhm(0.31), mOhm(0.37), "2", "高压", "铜", "+20.00℃", "20℃"));
        s = tapProfile(rows)[0];
        QVERIFY(s.converted);
        QCOMPARE(s.celsius, std::optional<double>(75.0));
        QVERIFY(std::fabs(s.points[1].ohms - 0.37 * (235.0 + 75.0) / (235.0 + 20.0)) < 1e-12);
    }
};

QTEST_APPLESS_MAIN(TestTapProfile)
#include "test_tapprofile.moc"
