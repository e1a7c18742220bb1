// The main window's measurement insight against the simulated instrument: the
// trend of a test and its stable mark, the trace kept with its result row
// through a language change, a delete and a restart, the fold remembered, the
// three-phase balance of three DC tests with its workbook, and the
// temperature cross-check of the rows.

#include "insight/balancepanel.h"
#include "tests/exportreaders.h"
#include "app/keptrows.h"
#include "link/settingsframes.h"
#include "insight/trendchart.h"
#include "insight/trendpanel.h"
#include "testsupport/windowrig.h"

#include <QGraphicsTextItem>
#include <QScrollBar>
#include <QTabWidget>

using namespace windowtest;

namespace {

const char* const kDcTable = "tableView_resTest";

TrendPanel* trendOf(const Rig& rig, bool lengthPage = false)
{
    return rig.get<TrendPanel>(lengthPage ? "trendPanel_length" : "trendPanel_dc");
}

QString settingsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/settingsInsight.ini");
}

analysis::Trace rowTrace(const Rig& rig, int row)
{
    return analysis::traceFromBytes(rig.model(kDcTable)->index(row, 0).data(kTraceRole).toByteArray());
}

QVector<double> ohmsOf(const analysis::Trace& trace)
{
    QVector<double> values;
    for (const analysis::TracePoint& p : trace.points)
        if (!std::isnan(p.ohms))
            values << p.ohms;
    return values;
}

// Sets the instrument's DC settings as the operator would on its keys.
bool setPhase(Rig& rig, int phaseIndex, int material = 0)
{
    protocol::DcSettings s;
    s.currentIndex = 19;  // 10 A
    s.convertedTemp = 75;
    s.tapping = 5;
    s.phaseIndex = phaseIndex;
    s.windingIndex = 1;
    s.conductorNo = 7;
    s.conductorTemp = 21.5f;
    s.materialIndex = material;
    const auto answers = rig.instruments[0]->handle(protocol::buildDcSettingsFrame(s));
    return answers.size() == 1 && protocol::acknowledgeAccepts(answers[0].data(), answers[0].size());
}

void clickRow(Rig& rig, int row)
{
    auto* view = rig.get<QTableView>(kDcTable);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(row, 1)).center());
}

}  // namespace

class TestWindowInsight : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(initWindowTestsInOwnHome());
        QFile::remove(settingsFile());
    }
    void cleanup() { QFile::remove(settingsFile()); }

    // An inductive sample: every reading the page shows while testing is a
    // point of the trend, the mark says settling while the value creeps and
    // stable once it has settled, and the row keeps the whole trace.
    void trendFollowsATestUntilStable()
    {
        Rig rig;
        rig.instruments[0]->setInductiveSeconds(2.0);
        QVERIFY(rig.connect());
        TrendPanel* panel = trendOf(rig);
        QVERIFY(panel->isVisible() && !panel->isFolded());
        QCOMPARE(rig.window->size(), QSize(1257, 682));  // the trend opens at the usual size
        QLabel* mark = panel->stableMark();
        emit rig.window->startTestingSignal(false);
        QVERIFY(rig.waitForPhase(sim::Phase::Charging));
        rig.clock->advanceMs(4'600);  // charged at 10 A
        QVector<double> shown;
        bool sawSettling = false;
        for (int step = 0; step < 24; ++step) {  // 6 s, three time constants
            rig.clock->advanceMs(250);
            QVERIFY(rig.waitForPolls(2));
            const analysis::TracePoint last = panel->chart()->trace().points.value(panel->chart()->trace().points.size() - 1);
            const auto ohms = analysis::parseResistance(rig.text("label_TestedResistanceValue"));
            if (ohms && rig.text("label_testStatus") == QStringLiteral("测试中...")) {
                QCOMPARE(last.ohms, ohms->ohms);  // the newest point is the reading on screen
                QCOMPARE(last.amps, analysis::parseAmps(rig.text("label_TestedCurrentValue")).value_or(-1));
                if (shown.isEmpty() || shown.last() != ohms->ohms)
                    shown << ohms->ohms;
            }
            sawSettling = sawSettling || (mark->isVisible() && mark->text() == QStringLiteral("未稳定"));
        }
        QVERIFY(sawSettling);
        QVERIFY(shown.size() >= 10);
        QVERIFY2(shown.first() > shown.last() * 1.1, "the reading settles from above");
        QCOMPARE(panel->chart()->resistanceUnit(), QStringLiteral("mΩ"));

        rig.clock->advanceMs(30'000);  // fifteen time constants: settled
        QTRY_VERIFY_WITH_TIMEOUT(mark->isVisible() && mark->text() == QStringLiteral("稳定"), kWait);
        // By the live value, in its box's free corner: over neither the value nor the status.
        auto* liveBox = rig.get<QWidget>("Page1");
        QCOMPARE(mark->parentWidget(), liveBox);
        QVERIFY(liveBox->rect().contains(mark->geometry()));
        auto* value = rig.get<QLabel>("label_TestedResistanceValue");
        const QRect valueText = QStyle::alignedRect(Qt::LeftToRight, value->alignment(),
                                                    value->fontMetrics().size(0, value->text()), value->geometry());
        QVERIFY(!mark->geometry().intersects(valueText));
        QLabel* status = rig.get<QLabel>("label_testStatus");
        const int statusText = status->fontMetrics().horizontalAdvance(status->text());
        QVERIFY(mark->geometry().left() > status->geometry().center().x() + statusText / 2);

        emit rig.window->stopTestingSignal(false);
        QVERIFY(rig.waitForPhase(sim::Phase::Discharging));
        rig.clock->advanceMs(20'000);
        QTRY_COMPARE_WITH_TIMEOUT(rig.model(kDcTable)->rowCount(), 1, kWait);
        const analysis::Trace kept = rowTrace(rig, 0);
        QCOMPARE(ohmsOf(kept), ohmsOf(panel->chart()->trace()));
        QVERIFY(std::is_sorted(kept.points.begin(), kept.points.end(),
                               [](const auto& a, const auto& b) { return a.seconds < b.seconds; }));
    }

    // The simulator's default sample, a plain resistor, at the default
    // threshold: once settled, the mark says stable at every reading and
    // still at the end of the test. It goes with the connection and stays
    // away after the next connect, until a test gives it a reading again.
    void plainResistorStaysStableAndItsMarkEndsWithTheConnection()
    {
        Rig rig;
        QVERIFY(rig.connect());
        QLabel* mark = trendOf(rig)->stableMark();
        emit rig.window->startTestingSignal(false);
        QVERIFY(rig.waitForPhase(sim::Phase::Charging));
        rig.clock->advanceMs(30'000);  // charged and settled
        QVERIFY(rig.waitForPolls(12));  // a full window of readings
        QStringList shown;
        for (int reading = 0; reading < 40; ++reading) {
            QVERIFY(rig.waitForPolls(1));
            shown << (mark->isVisible() ? mark->text() : QStringLiteral("(none)"));
        }
        QCOMPARE(shown.count(QStringLiteral("稳定")), shown.size());
        emit rig.window->stopTestingSignal(false);
        QVERIFY(rig.waitForPhase(sim::Phase::Discharging));
        rig.clock->advanceMs(100'000);
        QTRY_COMPARE_WITH_TIMEOUT(rig.text("label_testStatus"), QStringLiteral("测试完成"), kWait);
        QVERIFY(mark->isVisible());
        QCOMPARE(mark->text(), QStringLiteral("稳定"));

        QVERIFY(rig.disconnect());
        QVERIFY(!mark->isVisible());
        QVERIFY(rig.connect());
        QVERIFY(rig.waitForPolls(5));
        QVERIFY(!mark->isVisible());
        QCOMPARE(trendOf(rig)->stabilityText().section(QLatin1Char(' '), 0, 0), QStringLiteral("波动：—"));
    }

    // Clear takes the shown trace with the rows.
    void clearEmptiesTheTrend()
    {
        Rig rig;
        QVERIFY(rig.connect());
        QVERIFY(rig.runTest(false));
        TrendChart* chart = trendOf(rig)->chart();
        QVERIFY(chart->resistancePointCount() > 0);
        rig.get<QPushButton>("pushButton_clear")->click();
        QVERIFY(chart->trace().isEmpty());
        QCOMPARE(chart->resistancePointCount() + chart->currentPointCount(), 0);
    }

    // At the first window size the trend beside the table keeps its time
    // labels and title whole in both languages; a Chinese font's taller
    // lines once had QtCharts cut them all to "...".
    void trendKeepsItsLabelsAtTheFirstSize_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("timeTitle");
        QTest::newRow("zh") << "zh" << QStringLiteral("时间 (秒)");
        QTest::newRow("en") << "en" << QStringLiteral("Time (s)");
    }
    void trendKeepsItsLabelsAtTheFirstSize()
    {
        QFETCH(QString, language);
        QFETCH(QString, timeTitle);
        Rig rig;
        QVERIFY(rig.connect());
        rig.chooseLanguage(language);
        QVERIFY(rig.runTest(false));
        TrendChart* chart = trendOf(rig)->chart();
        QCOMPARE(rig.window->size(), QSize(1257, 682));
        QVERIFY(chart->height() < 200);  // beside the table, not on its own
        QCoreApplication::processEvents();
        QStringList texts;
        for (const QGraphicsItem* item : chart->scene()->items()) {
            if (const auto* text = dynamic_cast<const QGraphicsTextItem*>(item); text && text->isVisible())
                texts << text->toPlainText();
        }
        QVERIFY2(!texts.join(QLatin1Char('|')).contains(QStringLiteral("...")), qPrintable(texts.join(QLatin1Char('|'))));
        QVERIFY2(texts.contains(timeTitle) && texts.contains(QStringLiteral("0")) && texts.contains(QStringLiteral("10")),
                 qPrintable(texts.join(QLatin1Char('|'))));
    }

    // The trace stays with its row through a language change (the rows move to
    // new models), a delete (the rows are renumbered) and a restart (the rows
    // come back from the results store); selecting a row shows its trace.
    void tracesTravelWithTheirRows()
    {
        Rig rig;
        QVERIFY(rig.connect());
        for (double ohms : {0.012345, 0.02}) {
            rig.instruments[0]->setDcSampleOhms(ohms);
            QVERIFY(rig.runTest(false));
        }
        const analysis::Trace first = rowTrace(rig, 0);
        const analysis::Trace second = rowTrace(rig, 1);
        QVERIFY(!ohmsOf(first).isEmpty() && !ohmsOf(second).isEmpty());
        QVERIFY(ohmsOf(first).last() < 0.013 && ohmsOf(second).last() > 0.019);

        TrendChart* chart = trendOf(rig)->chart();
        clickRow(rig, 0);
        QCOMPARE(ohmsOf(chart->trace()), ohmsOf(first));

        rig.chooseLanguage(QStringLiteral("en"));
        QCOMPARE(rig.model(kDcTable)->headerData(0, Qt::Horizontal).toString(), QStringLiteral("No."));
        QCOMPARE(ohmsOf(rowTrace(rig, 0)), ohmsOf(first));
        QCOMPARE(ohmsOf(rowTrace(rig, 1)), ohmsOf(second));
        clickRow(rig, 1);
        QCOMPARE(ohmsOf(chart->trace()), ohmsOf(second));

        clickRow(rig, 0);  // the click selects row 0 alone
        rig.get<QPushButton>("pushButton_delete")->click();
        QCOMPARE(rig.model(kDcTable)->rowCount(), 1);
        QCOMPARE(rig.model(kDcTable)->index(0, 0).data().toString(), QStringLiteral("1"));
        QCOMPARE(ohmsOf(rowTrace(rig, 0)), ohmsOf(second));

        rig.reopenWindow();  // the kept trace of the last row shows at once
        QCOMPARE(ohmsOf(trendOf(rig)->chart()->trace()), ohmsOf(second));
    }

    // One fold for both pages; the window keeps its size and the result
    // table its place; the fold and the operator's settings hold at the next start.
    void foldAndChoicesAreRemembered()
    {
        {
            Rig rig;
            auto* table = rig.get<QTableView>(kDcTable);
            const QRect open = table->geometry();
            QToolButton* fold = trendOf(rig)->foldButton();
            fold->click();
            QCoreApplication::processEvents();
            QVERIFY(trendOf(rig)->isFolded() && trendOf(rig, true)->isFolded());
            QVERIFY(!rig.get<QWidget>("tabWidget_insight")->isVisible());
            QCOMPARE(rig.window->size(), QSize(1257, 682));
            QCOMPARE(table->geometry().topLeft(), open.topLeft());
            QCOMPARE(table->height(), open.height());
            QVERIFY(table->width() > open.width());  // folded, the table has the whole width
            trendOf(rig)->stabilityBar()->findChild<QSpinBox*>(QStringLiteral("spinBox_stabilityWindow"))->setValue(15);
            rig.get<QDoubleSpinBox>("doubleSpinBox_phaseLimit")->setValue(1.5);
            QCOMPARE(trendOf(rig, true)->stabilitySettings().window, 15);
        }
        Rig again;
        QVERIFY(trendOf(again)->isFolded());
        QVERIFY(!again.get<QWidget>("tabWidget_insight")->isVisible());
        QCOMPARE(again.window->size(), QSize(1257, 682));
        QCOMPARE(trendOf(again)->stabilitySettings().window, 15);
        QCOMPARE(again.get<QDoubleSpinBox>("doubleSpinBox_phaseLimit")->value(), 1.5);
    }

    // Whichever tab the side area shows, whatever the stability bar says and
    // in either language, the widgets of the page stand where they stand with
    // the trend folded away.
    void sideAreaMovesNothing_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("tab");
        QTest::newRow("Chinese, trend") << "zh" << 0;
        QTest::newRow("Chinese, balance") << "zh" << 1;
        QTest::newRow("English, trend") << "en" << 0;
        QTest::newRow("English, balance") << "en" << 1;
    }
    void sideAreaMovesNothing()
    {
        QFETCH(QString, language);
        QFETCH(int, tab);
        Rig rig;
        QVERIFY(rig.connect());
        QVERIFY(rig.runTest(false));
        QVERIFY(rig.runTest(false));
        QVERIFY(rig.disconnect());  // no reading changes the page between the looks
        rig.chooseLanguage(language);
        const char* const names[] = {"groupBox_ShowLive_1", "groupBox_MeasurementSetting_3", "groupBox_Remark",
                                     "toolButton_record", "pushButton_clear", "label_TestedResistanceValue"};
        auto geometries = [&] {
            QCoreApplication::processEvents();
            QList<QRect> found;
            for (const char* name : names)
                found << rig.get<QWidget>(name)->geometry();
            auto* table = rig.get<QTableView>(kDcTable);
            found << QRect(table->pos(), QSize(0, table->height()));
            return found;
        };
        trendOf(rig)->foldButton()->click();
        const QList<QRect> folded = geometries();
        trendOf(rig)->foldButton()->click();
        rig.get<QTabWidget>("tabWidget_insight")->setCurrentIndex(tab);
        trendOf(rig)->showStability(99.999, false);  // the widest spread text
        QCOMPARE(geometries(), folded);
        QCOMPARE(rig.window->size(), QSize(1257, 682));
    }

    // Beside the result table at the first window size, in English (the
    // wider texts), the balance shows every column up to the resistances
    // whole, and the result table still shows the newest measured value.
    void balanceShowsItsResistancesWhole()
    {
        Rig rig;
        QVERIFY(rig.connect());
        rig.chooseLanguage(QStringLiteral("en"));
        for (int phase = 0; phase < 3; ++phase) {
            QVERIFY(setPhase(rig, phase));
            QVERIFY(rig.runTest(false));
        }
        rig.get<QTabWidget>("tabWidget_insight")->setCurrentIndex(1);
        auto* balance = rig.get<QTableView>("tableView_balance");
        QTRY_COMPARE_WITH_TIMEOUT(balance->model()->rowCount(), 1, kWait);
        QCoreApplication::processEvents();
        QCOMPARE(rig.window->size(), QSize(1257, 682));
        const int resistancesEnd = balance->columnViewportPosition(BalancePanel::Values)
                                   + balance->columnWidth(BalancePanel::Values);
        QVERIFY2(balance->horizontalScrollBar()->value() == 0 && resistancesEnd <= balance->viewport()->width(),
                 qPrintable(QStringLiteral("resistances end at %1 of %2")
                                .arg(resistancesEnd)
                                .arg(balance->viewport()->width())));
        auto* results = rig.get<QTableView>(kDcTable);
        QTRY_VERIFY_WITH_TIMEOUT(results->viewport()->rect().contains(
                                     results->visualRect(results->model()->index(2, 13))), kWait);
    }

    // Three DC tests on A0, B0 and C0, the last sample 3 % off: the group
    // fails; the simulated instrument's converted values pass the temperature
    // check; the summary's workbook reads back as shown.
    void balanceOfThreePhases()
    {
        Rig rig;
        QTemporaryDir dir;
        const QString xlsx = dir.filePath(QStringLiteral("balance.xlsx"));
        auto files = rig.fakeDesktopFiles(xlsx);
        QVERIFY(rig.connect());
        for (int phase = 0; phase < 3; ++phase) {
            QVERIFY(setPhase(rig, phase));
            rig.instruments[0]->setDcSampleOhms(phase == 2 ? 0.012345 * 1.03 : 0.012345);
            QVERIFY2(rig.runTest(false), qPrintable(QString::number(phase)));
        }
        auto* panel = rig.get<BalancePanel>("balancePanel");
        QTRY_COMPARE_WITH_TIMEOUT(panel->rowTexts().value(0).value(BalancePanel::Verdict), QStringLiteral("不合格"), kWait);
        QCOMPARE(panel->rowTexts().size(), 1);
        const QStringList group = panel->rowTexts().at(0);
        QCOMPARE(group.mid(0, 3), (QStringList{"高压", "05", "A0/B0/C0"}));
        QCOMPARE(group[BalancePanel::Basis], QStringLiteral("折算电阻"));
        const double imbalance = group[BalancePanel::Imbalance].section(QLatin1Char(' '), 0, 0).toDouble();
        QVERIFY2(qAbs(imbalance - 3.0 / 1.01) < 0.1, qPrintable(group[BalancePanel::Imbalance]));
        QVERIFY2(panel->crossCheckText().contains(QStringLiteral("3 行")), qPrintable(panel->crossCheckText()));
        for (int row = 0; row < 3; ++row)
            QVERIFY(!rig.model(kDcTable)->item(row, 12)->data(Qt::BackgroundRole).isValid());

        rig.get<QPushButton>("pushButton_exportBalance")->click();
        QVERIFY(rig.waitForExport());
        QCOMPARE(files->opened, QStringList{xlsx});
        const QJsonObject book = exportreaders::workbookSummary(xlsx);
        QCOMPARE(book.value("rows").toInt(), 2);
        const QJsonArray sheet = book.value("first").toArray();
        QCOMPARE(sheet.at(0).toArray().at(BalancePanel::Imbalance).toString(), QStringLiteral("不平衡率"));
        const QVariantList values = book.value("values").toArray().toVariantList();  // the sheet's name, its headers
        QCOMPARE(values.mid(3, 2), QVariantList({"相别", "电阻 1 (Ω)"}));
        for (int column = 0; column < BalancePanel::ColumnCount; ++column)
            QCOMPARE(sheet.at(1).toArray().at(column).toString(), group[column]);

        // Without one of its rows the group is incomplete and names what is missing.
        rig.selectRows(kDcTable, {1});
        rig.get<QPushButton>("pushButton_delete")->click();
        QTRY_COMPARE_WITH_TIMEOUT(panel->rowTexts().at(0)[BalancePanel::Verdict], QStringLiteral("不完整"), kWait);
        QVERIFY(panel->rowTexts().at(0)[BalancePanel::Values].contains(QStringLiteral("缺")));
    }
};

QTEST_MAIN(TestWindowInsight)
#include "test_window_insight.moc"
