// The tap profile panel on its own: what it draws and names for the current
// table, the reference values it dashes, and an earlier session it is given.

#include "insight/tapprofilepanel.h"
#include "tests/dcresultcells.h"

#include <QComboBox>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLabel>
#include <QtCharts/QChart>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtTest>

using namespace QtCharts;

namespace {

// Nine taps of one phase, 1 % apart, with `extra` % more from tap 5 on; shown in mΩ.
std::vector<analysis::DcResult> nineTaps(const QString& phase, double extra, const QString& converted = QString())
{
    std::vector<analysis::DcResult> rows;
    double ohms = 0.4;
    for (int tap = 1; tap <= 9; ++tap) {
        if (tap > 1)
            ohms *= tap == 5 ? 1.01 * (1.0 + extra / 100.0) : 1.01;
        const QString value = QString::number(ohms * 1000.0, 'f', 4) + QStringLiteral("mΩ");
        rows.push_back(analysis::dcResultFromCells(
            dcCells(phase, value, converted.isNull() ? value : converted, QString::number(tap))));
    }
    return rows;
}

// AB with a 2 % step from tap 4 to 5, BC regular.
std::vector<analysis::DcResult> stepAtTapFiveAndEven()
{
    std::vector<analysis::DcResult> rows = nineTaps(QStringLiteral("AB"), 2.0);
    const std::vector<analysis::DcResult> even = nineTaps(QStringLiteral("BC"), 0.0);
    rows.insert(rows.end(), even.begin(), even.end());
    return rows;
}

template <class Series>
QList<Series*> seriesOf(QChart* chart)
{
    QList<Series*> found;
    for (QAbstractSeries* s : chart->series())
        if (auto* typed = qobject_cast<Series*>(s))
            found << typed;
    return found;
}

QLineSeries* seriesNamed(QChart* chart, const QString& name)
{
    for (QLineSeries* s : seriesOf<QLineSeries>(chart))
        if (s->name() == name)
            return s;
    return nullptr;
}

class OneSession : public DcSessionSource
{
public:
    QList<store::SessionSummary> earlierDcSessions() const override
    {
        store::SessionSummary s;
        s.id = 7;
        s.started = QDateTime(QDate(2026, 3, 1), QTime(9, 30));
        s.rowCount = 9;
        s.object.name = QStringLiteral("1#主变");
        return {s};
    }
    std::vector<analysis::DcResult> sessionResults(qint64 session) const override
    {
        return session == 7 ? nineTaps(QStringLiteral("BC"), 0.0) : std::vector<analysis::DcResult>();
    }
};

}  // namespace

class TestTapProfilePanel : public QObject
{
    Q_OBJECT

private slots:
    void plantedStepIsMarkedAndNamed()
    {
        TapProfilePanel panel;
        const std::vector<analysis::DcResult> rows = stepAtTapFiveAndEven();
        panel.showTable(rows);

        QCOMPARE(panel.stepTexts(), QStringList{"高压 AB：分接 4→5 阶跃 +3.02 %，中位幅度 1.00 %"});
        QVERIFY(seriesNamed(panel.chart(), "AB"));
        QCOMPARE(seriesNamed(panel.chart(), "BC")->count(), 9);
        const QList<QScatterSeries*> markers = seriesOf<QScatterSeries>(panel.chart());
        QCOMPARE(markers.size(), 1);
        QCOMPARE(markers[0]->at(0).x(), 5.0);

        panel.showTable(nineTaps(QStringLiteral("BC"), 0.0));
        QCOMPARE(panel.stepTexts(), QStringList{"分接间的阶跃均匀"});
        QVERIFY(seriesOf<QScatterSeries>(panel.chart()).isEmpty());
    }

    // At the size the tab has beside the result table, the chart keeps the
    // room and the list below it takes one line per step; the axes take only
    // as many labels as they can show whole (QtCharts cuts crowded ones to "...").
    void fitsTheTabBesideTheResultTable()
    {
        TapProfilePanel panel;
        const std::vector<analysis::DcResult> rows = stepAtTapFiveAndEven();
        panel.showTable(rows);
        QFont windowFont = panel.font();  // the window's texts are 10 pt
        windowFont.setPointSize(10);
        panel.setFont(windowFont);
        panel.resize(532, 169);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QCoreApplication::processEvents();
        auto* steps = panel.findChild<QWidget*>(QStringLiteral("listWidget_tapSteps"));
        QVERIFY2(steps->height() < 40, qPrintable(QString::number(steps->height())));
        QVERIFY2(panel.chart()->plotArea().height() >= 35, qPrintable(QString::number(panel.chart()->plotArea().height())));
        const auto shownTexts = [&panel] {
            QStringList texts;
            for (const QGraphicsItem* item : panel.chart()->scene()->items()) {
                if (const auto* text = dynamic_cast<const QGraphicsTextItem*>(item); text && text->isVisible())
                    texts << text->toPlainText();
            }
            return texts;
        };
        QStringList labels = shownTexts();
        QVERIFY2(std::none_of(labels.begin(), labels.end(), [](const QString& t) { return t.endsWith("..."); }),
                 qPrintable(labels.join(QLatin1Char('|'))));
        QVERIFY2(labels.contains(QStringLiteral("1")) && labels.contains(QStringLiteral("9"))
                     && labels.contains(QStringLiteral("mΩ")),
                 qPrintable(labels.join(QLatin1Char('|'))));

        panel.resize(532, 400);  // room for the whole title
        QTRY_VERIFY(shownTexts().contains(QStringLiteral("换算电阻 (mΩ)")));
    }

    // Reference values taken at 20 ℃ are drawn at the 75 ℃ the rows were converted to.
    void baselineIsCorrectedToTheRowsTemperature()
    {
        TapProfilePanel panel;
        panel.showTable(nineTaps(QStringLiteral("AB"), 0.0));
        store::BaselineEntry tap1{1, QStringLiteral("01"), QStringLiteral("AB"), 0.33, 20.0, 0};
        store::BaselineEntry otherWinding{0, QStringLiteral("1"), QStringLiteral("AB"), 0.002, 20.0, 0};
        store::BaselineEntry notATap{1, QStringLiteral("9b"), QStringLiteral("AB"), 0.5, 20.0, 0};
        panel.setBaseline({tap1, otherWinding, notATap});
        const QLineSeries* dashed = seriesNamed(panel.chart(), "AB 基准");
        QVERIFY(dashed);
        QCOMPARE(dashed->count(), 1);
        QCOMPARE(dashed->at(0).x(), 1.0);
        QCOMPARE(dashed->at(0).y(), 330.0 * (235.0 + 75.0) / (235.0 + 20.0));  // in mΩ
    }

    void rowsWithoutConvertedValuesAreSaidToBeMeasured()
    {
        TapProfilePanel panel;
        panel.resize(532, 400);
        panel.show();
        panel.showTable(nineTaps(QStringLiteral("A0"), 0.0, QStringLiteral("------mΩ")));
        QVERIFY(panel.findChild<QLabel*>("label_tapProfileBasis")->isVisible());
        QTRY_COMPARE(panel.chart()->axes(Qt::Vertical).first()->titleText(), QStringLiteral("电阻 (mΩ)"));
    }

    void drawsAnEarlierSession()
    {
        TapProfilePanel panel;
        OneSession source;
        panel.setSessionSource(&source);
        panel.showTable(nineTaps(QStringLiteral("AB"), 2.0));
        auto* box = panel.findChild<QComboBox*>("comboBox_tapProfileSource");
        QCOMPARE(box->count(), 2);
        QCOMPARE(box->itemText(1), QStringLiteral("2026-03-01 09:30  1#主变  9 行"));
        box->setCurrentIndex(1);
        QVERIFY(seriesNamed(panel.chart(), "BC"));
        QVERIFY(!seriesNamed(panel.chart(), "AB"));
        // The table goes on changing meanwhile; the chosen session stays drawn.
        panel.showTable(nineTaps(QStringLiteral("AB"), 0.0));
        QVERIFY(seriesNamed(panel.chart(), "BC"));
        box->setCurrentIndex(0);
        QVERIFY(seriesNamed(panel.chart(), "AB"));
    }
};

QTEST_MAIN(TestTapProfilePanel)
#include "test_tapprofilepanel.moc"
