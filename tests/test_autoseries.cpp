// The automatic test series on its own: the pause between two tests, the end
// of the series, and the stop of a test that runs too long.

#include "app/autoseries.h"

#include <QLabel>
#include <QTimer>
#include <QtTest>

namespace {

QString panelText(const QWidget& window, const char* label)
{
    return window.findChild<QLabel*>(QLatin1String(label))->text();
}

}  // namespace

class TestAutoSeries : public QObject
{
    Q_OBJECT

private slots:
    void pauseAfterATest_data()
    {
        QTest::addColumn<QString>("duringPause");
        QTest::addColumn<int>("starts");
        QTest::newRow("the pause runs out") << "" << 2;
        QTest::newRow("stopped during the pause") << "stop" << 1;
        QTest::newRow("a test started during the pause") << "test" << 1;
    }
    void pauseAfterATest()
    {
        QFETCH(QString, duringPause);
        QWidget window;
        AutoSeries series(&window, 1);
        QSignalSpy due(&series, &AutoSeries::nextTestDue);
        auto* countdown = window.findChild<QTimer*>(QStringLiteral("countdownTimer"), Qt::FindDirectChildrenOnly);
        QVERIFY(countdown);

        series.start(3, 2000);
        QCOMPARE(due.count(), 1);  // the first test at once
        series.countFinishedTest();
        QVERIFY(countdown->isActive());
        if (duringPause == QLatin1String("stop"))
            series.stop();
        else if (duringPause == QLatin1String("test"))
            series.followRunningTest(false, false);

        QTRY_VERIFY(!countdown->isActive());
        QCoreApplication::processEvents();
        QTEST(due.count(), "starts");
        QCOMPARE(series.isRunning(), duringPause != QLatin1String("stop"));
        if (series.isRunning())
            QCOMPARE(panelText(window, "label_autoTestProgress"), QStringLiteral("1/3"));
    }

    void seriesEndsWithItsLastTest()
    {
        QWidget window;
        AutoSeries series(&window, 1);
        QSignalSpy due(&series, &AutoSeries::nextTestDue);
        QSignalSpy ended(&series, &AutoSeries::ended);
        series.start(2, 0);
        series.countFinishedTest();
        QTRY_COMPARE(due.count(), 2);
        series.countFinishedTest();
        QCOMPARE(ended.count(), 1);
        QVERIFY(!series.isRunning());
        series.countFinishedTest();  // a test still running when the series ended
        QCOMPARE(ended.count(), 1);
        QCOMPARE(due.count(), 2);
        QTRY_VERIFY(!window.findChild<QWidget*>(QStringLiteral("autoTestPanel")));
    }

    // Readings of a running test: t in the testing state, c before it, i idle.
    void ninthTestingReadingSendsTheStop_data()
    {
        QTest::addColumn<bool>("inSeries");
        QTest::addColumn<QString>("readings");
        QTest::addColumn<int>("stops");
        QTest::newRow("eight") << true << "tttttttt" << 0;
        QTest::newRow("nine") << true << "ttttttttt" << 1;
        QTest::newRow("eight more after the stop") << true << "ttttttttttttttttt" << 1;
        QTest::newRow("eighteen") << true << "tttttttttttttttttt" << 2;
        QTest::newRow("before testing not counted") << true << "cccctttttttt" << 0;
        QTest::newRow("idle starts over") << true << "tttttitttttttt" << 0;
        QTest::newRow("no series") << false << "ttttttttt" << 0;
    }
    void ninthTestingReadingSendsTheStop()
    {
        QFETCH(bool, inSeries);
        QFETCH(QString, readings);
        QWidget window;
        AutoSeries series(&window, 1);
        QSignalSpy stopDue(&series, &AutoSeries::stopDue);
        if (inSeries)
            series.start(5, 1000, {false, 120});
        for (QChar reading : readings) {
            if (reading == QLatin1Char('i'))
                series.followIdle();
            else
                series.followRunningTest(reading == QLatin1Char('t'), true);
        }
        QTEST(stopDue.count(), "stops");
        for (const QList<QVariant>& stop : stopDue)
            QCOMPARE(stop.at(0).toBool(), true);  // the page of the running test
    }

    // Each test stopped once its reading is stable: c charging, t testing and
    // still settling, s testing and stable, i idle, w the longest wait passes.
    void settledReadingSendsTheStop_data()
    {
        QTest::addColumn<QString>("readings");
        QTest::addColumn<int>("stops");
        QTest::newRow("stable at the second reading") << "cts" << 1;
        QTest::newRow("never stable") << "cttttttttttttt" << 0;
        QTest::newRow("stable before testing not counted") << "cccc" << 0;
        QTest::newRow("stays stable: one stop") << "tssssssss" << 1;
        QTest::newRow("stop outlived: sent again") << "tssssssssss" << 2;
        QTest::newRow("next test stopped too") << "tsitts" << 2;
        QTest::newRow("longest wait") << "ttwt" << 1;
    }
    void settledReadingSendsTheStop()
    {
        QFETCH(QString, readings);
        QWidget window;
        AutoSeries series(&window, 1);  // a second of the series lasts 1 ms
        QSignalSpy stopDue(&series, &AutoSeries::stopDue);
        series.start(5, 1000, {true, 10});
        for (QChar reading : readings) {
            if (reading == QLatin1Char('i'))
                series.followIdle();
            else if (reading == QLatin1Char('w'))
                QTest::qWait(20);  // beyond the 10 ms of the longest wait
            else
                series.followRunningTest(reading != QLatin1Char('c'), false, reading == QLatin1Char('s'));
        }
        QTEST(stopDue.count(), "stops");
    }
};

QTEST_MAIN(TestAutoSeries)
#include "test_autoseries.moc"
