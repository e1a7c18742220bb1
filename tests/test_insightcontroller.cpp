// The insight of the two test pages on plain widgets: the trace of a finished
// test goes to its row once, the DC table's converted resistance is marked
// where it disagrees with the temperature conversion, and the tap profile follows the table.

#include "app/insightcontroller.h"
#include "app/keptrows.h"
#include "insight/tapprofilepanel.h"
#include "store/settingsfiles.h"

#include <QLabel>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

namespace {

constexpr int kConvertedColumn = 12;

// A test page as the form lays it out, with the parts the insight settles among.
InsightPageWidgets makePage(QWidget* page, QStandardItemModel* model)
{
    auto* layout = new QVBoxLayout(page);
    InsightPageWidgets widgets{page, new QToolButton, new QWidget, new QWidget, nullptr, new QTableView};
    widgets.statusLine = new QLabel(widgets.liveBox);
    widgets.view->setModel(model);
    for (QWidget* w : {widgets.recordButton, widgets.settings, widgets.liveBox, static_cast<QWidget*>(widgets.view)})
        layout->addWidget(w);
    return widgets;
}

// A live reading of the DC page, in a test or just after it.
ReceiveData reading(bool testing, const char* milliohms)
{
    ReceiveData rd;
    rd.charging = testing;
    rd.testState = testing ? 1 : 3;
    rd.testedResistance = QLatin1String(milliohms);
    rd.testedResistanceUnit = QStringLiteral("mΩ");
    rd.testedCurrent = QStringLiteral("1.00");
    rd.testedCurrentUnit = QStringLiteral("A");
    return rd;
}

// A DC result row with the cells the cross-check reads; the others are blanks.
QList<QStandardItem*> dcRow(const QString& material)
{
    QStringList cells;
    for (int i = 0; i < 15; ++i)
        cells << QStringLiteral(" ");
    cells[3] = material;
    cells[4] = QStringLiteral("+20.00℃");
    cells[5] = QStringLiteral("75℃");
    cells[8] = QStringLiteral("A0");
    cells[12] = QStringLiteral("15.007mΩ");  // 12.345 mΩ of copper at 20 ℃, converted to 75 ℃
    cells[13] = QStringLiteral("12.345mΩ");
    return lockedRow(cells);
}

}  // namespace

class TestInsightController : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QStandardPaths::setTestModeEnabled(true);
        QFile::remove(settingsfiles::filePath(QLatin1String(settingsfiles::insight::kFile)));
        dcResults = std::make_unique<QStandardItemModel>();
        lengthResults = std::make_unique<QStandardItemModel>();
        window = std::make_unique<QWidget>();
        auto* pages = new QVBoxLayout(window.get());
        std::array<InsightPageWidgets, 2> widgets;
        for (QStandardItemModel* model : {dcResults.get(), lengthResults.get()}) {
            auto* page = new QWidget;
            pages->addWidget(page);
            widgets[model == dcResults.get() ? 0 : 1] = makePage(page, model);
        }
        insight = std::make_unique<InsightController>(widgets, dcResults.get());
    }
    void cleanup()
    {
        insight.reset();
        window.reset();
    }

    // The trace of a finished test waits for its row and goes to the first that asks; a test the
    // connection lost gets no row, so neither it nor a trace no row has taken yet is kept.
    void traceGoesToItsRowOnce_data()
    {
        QTest::addColumn<bool>("finished");
        QTest::addColumn<bool>("connectionLost");
        QTest::addColumn<int>("points");
        QTest::newRow("finished") << true << false << 2;
        QTest::newRow("still under way") << false << false << 0;
        QTest::newRow("lost during the test") << false << true << 0;
        QTest::newRow("lost before the row came") << true << true << 0;
    }
    void traceGoesToItsRowOnce()
    {
        QFETCH(bool, finished);
        QFETCH(bool, connectionLost);
        insight->followTrend(reading(true, "12.1"));
        insight->followTrend(reading(true, "12.2"));
        if (finished)
            insight->followTrend(reading(false, "12.2"));
        if (connectionLost)
            insight->endTrends();
        const analysis::Trace trace = analysis::traceFromBytes(insight->takeFinishedTrace(InsightController::kDcPage));
        QTEST(int(trace.points.size()), "points");
        QVERIFY(insight->takeFinishedTrace(InsightController::kDcPage).isEmpty());
        QVERIFY(insight->takeFinishedTrace(InsightController::kLengthPage).isEmpty());
    }

    void crossCheckMarksTheConvertedValue_data()
    {
        QTest::addColumn<QString>("material");
        QTest::addColumn<bool>("marked");
        QTest::newRow("copper, as converted") << QStringLiteral("铜") << false;
        QTest::newRow("aluminium, converted as copper") << QStringLiteral("铝") << true;
    }
    void crossCheckMarksTheConvertedValue()
    {
        QFETCH(QString, material);
        QFETCH(bool, marked);
        dcResults->appendRow(dcRow(QStringLiteral("铜")));
        dcResults->appendRow(dcRow(material));
        QStandardItem* converted = dcResults->item(1, kConvertedColumn);
        QTRY_COMPARE(converted->data(Qt::BackgroundRole).isValid(), marked);
        QCOMPARE(converted->toolTip().contains(QStringLiteral("15.")), marked);
        QVERIFY(!dcResults->item(0, kConvertedColumn)->data(Qt::BackgroundRole).isValid());
        // Corrected, the row loses its mark.
        dcResults->item(1, 3)->setText(QStringLiteral("铜"));
        QTRY_VERIFY(!converted->data(Qt::BackgroundRole).isValid());
        QVERIFY(converted->toolTip().isEmpty());
    }

    void tapProfileFollowsTheTable()
    {
        const auto* tabs = window->findChild<QTabWidget*>(QStringLiteral("tabWidget_insight"));
        QVERIFY(tabs->indexOf(insight->tapProfile()) > 0);
        QList<QStandardItem*> row = dcRow(QStringLiteral("铜"));
        row[7]->setText(QStringLiteral("3"));
        row[9]->setText(QStringLiteral("高压"));
        dcResults->appendRow(row);
        QTRY_COMPARE(insight->tapProfile()->windings(), QStringList{"高压"});
        dcResults->removeRows(0, 1);
        QTRY_VERIFY(insight->tapProfile()->windings().isEmpty());
    }

private:
    std::unique_ptr<QStandardItemModel> dcResults;
    std::unique_ptr<QStandardItemModel> lengthResults;
    std::unique_ptr<QWidget> window;
    std::unique_ptr<InsightController> insight;
};

QTEST_MAIN(TestInsightController)
#include "test_insightcontroller.moc"
