// Automatic test series and the sampling interval: the two dialogs with their
// settings files, and a real window running series against simulated
// instruments in this process.

#include "dialogs/autotestdialog.h"
#include "dialogs/sampleintervaldialog.h"
#include "store/settingsfiles.h"
#include "testsupport/windowrig.h"

#include <QDateTime>

using namespace windowtest;

namespace {

constexpr int kTickMs = 20;  // one second of the pause between two tests
const WindowTiming kSeriesTiming{5, 30, 5, kTickMs};

QString autoFile() { return settingsfiles::filePath(QStringLiteral("settingsAuto.ini")); }
QString sampleFile() { return settingsfiles::filePath(QStringLiteral("settingsSample.ini")); }

// Writes the text as the whole file; an empty text removes the file.
void writeFile(const QString& path, const QByteArray& text)
{
    QFile::remove(path);
    if (text.isEmpty())
        return;
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.flush();  // written now: a later flush would stamp the file again
    // Qt's settings cache re-reads a file only when its size or modification
    // time changed, and the kernel stamps files with a coarse clock: a file
    // rewritten within one tick at the same size would be read from the cache.
    static int written = 0;
    QVERIFY(file.setFileTime(QDateTime(QDate(2001, 1, 1), QTime(0, 0)).addSecs(++written),
                             QFileDevice::FileModificationTime));
}

QVariant storedValue(const QString& path, const char* key)
{
    QSettings settings(path, QSettings::IniFormat);
    return settings.value(QLatin1String(key));
}

void confirm(QDialog* dialog, bool ok)
{
    dialog->findChild<QDialogButtonBox*>()->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

template <class Dialog> Dialog* openDialog(MainWindow* window, const char* action)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // earlier dialogs gone
    window->findChild<QAction*>(QLatin1String(action))->trigger();
    const auto dialogs = window->findChildren<Dialog*>();
    return !dialogs.isEmpty() && dialogs.last()->isVisible() ? dialogs.last() : nullptr;
}

QWidget* panelOf(MainWindow* window) { return window->findChild<QWidget*>(QStringLiteral("autoTestPanel")); }
QString panelText(MainWindow* window, const char* label)
{
    return panelOf(window)->findChild<QLabel*>(QLatin1String(label))->text();
}
QTimer* timerOf(MainWindow* window, const char* name) { return window->findChild<QTimer*>(QLatin1String(name)); }

// The series dialog, filled in with the fixed stop of each test and
// confirmed; true when the run's panel shows.
bool startSeries(MainWindow* window, int count, const QTime& pause)
{
    auto* dialog = openDialog<AutoTestDialog>(window, "actionAutomatic_measurement");
    if (!dialog)
        return false;
    dialog->findChild<QSpinBox*>(QStringLiteral("spinBox_testCountValue"))->setValue(count);
    dialog->findChild<QTimeEdit*>()->setTime(pause);
    dialog->findChild<QCheckBox*>(QStringLiteral("checkBox_stopWhenSettled"))->setChecked(false);
    confirm(dialog, true);
    return panelOf(window) && panelOf(window)->isVisible();
}

// True once the run's panel is gone (it is deleted when the run ends).
bool panelGone(MainWindow* window)
{
    return QTest::qWaitFor([window] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return !panelOf(window);
    }, kWait);
}

// Takes the instrument through the test the window has started: charged, then,
// after the window's stop request, discharged; true once the row is there.
bool finishTest(Rig& rig, int rows)
{
    if (!rig.waitForPhase(sim::Phase::Charging))
        return false;
    rig.clock->advanceMs(std::int64_t(rig.instrument().chargingSeconds() * 1000) + 1000);
    if (!rig.waitForPhase(sim::Phase::Discharging))
        return false;
    rig.clock->advanceMs(std::int64_t(rig.instrument().dischargingSeconds() * 1000) + 1000);
    return QTest::qWaitFor([&] { return rig.model("tableView_resTest")->rowCount() == rows; }, kWait);
}

// Each tick of this run's countdown as the panel shows it after the tick, with
// the number of test starts asked for by then.
void recordTicks(MainWindow* window, const QSignalSpy& starts, QStringList& ticks)
{
    QWidget* panel = panelOf(window);
    auto* countdown = panel->findChild<QLabel*>(QStringLiteral("label_autoTestCountdown"));
    auto* progress = panel->findChild<QLabel*>(QStringLiteral("label_autoTestProgress"));
    // Connected after the run's own handler, so it runs after it.
    QObject::connect(timerOf(window, "countdownTimer"), &QTimer::timeout, panel, [=, &starts, &ticks] {
        ticks << QStringLiteral("%1 %2 starts %3").arg(countdown->text(), progress->text()).arg(starts.count());
    });
}

QStringList expectedTicks(int pauseSeconds, const QString& progress, int starts)
{
    QStringList ticks;
    for (int left = pauseSeconds - 1; left >= -1; --left) {
        const QString shown = left >= 0 ? QStringLiteral("%1 s").arg(left) : QString();
        ticks << QStringLiteral("%1 %2 starts %3").arg(shown, progress).arg(starts);
    }
    return ticks;
}

// The data actions, the DC page action and the language menu: all locked
// during a series, all enabled once it is over.
bool actionsEnabled(const Rig& rig, bool enabled)
{
    return std::all_of(std::begin(kDataActions), std::end(kDataActions),
                       [&](const char* name) { return rig.action(name)->isEnabled() == enabled; })
           && rig.action("actionDc_resistance_test")->isEnabled() == enabled
           && rig.get<QMenu>("menuLanguage")->isEnabled() == enabled;
}

ReceiveData dcReading(char state)
{
    ReceiveData rd;
    rd.testType = 0;
    rd.charging = state != '-';
    rd.testState = state == '-' ? 0 : state - '0';
    return rd;
}

}  // namespace

class TestAutoTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(initWindowTestsInOwnHome()); }
    void init()
    {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QFile::remove(folder);  // left by a failed test that blocked the folder
        QDir(folder).removeRecursively();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // --- the two dialogs and their files ---
    void seriesDialogShowsStoredValuesInRange_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("pause");
        QTest::newRow("first use") << QByteArray() << 2 << "0:10";
        QTest::newRow("stored") << QByteArray("[General]\ntestIntervalValue=90000\ntestCountValue=5\n") << 5 << "1:30";
        QTest::newRow("milliseconds dropped") << QByteArray("[General]\ntestIntervalValue=61999\n") << 2 << "1:01";
        QTest::newRow("below the ranges") << QByteArray("[General]\ntestIntervalValue=3000\ntestCountValue=1\n") << 2
                                          << "0:10";
        QTest::newRow("huge") << QByteArray("[General]\ntestIntervalValue=2147483647\ntestCountValue=99999999999\n")
                              << 10 << "4:59";
        QTest::newRow("not an INI file") << QByteArray("\x00\xff\xfe[[[=\n\n==", 12) << 2 << "0:10";
    }
    void seriesDialogShowsStoredValuesInRange()
    {
        QFETCH(QByteArray, file);
        writeFile(autoFile(), file);
        AutoTestDialog dialog;
        auto* pauseEdit = dialog.findChild<QTimeEdit*>(QStringLiteral("timeEdit_testIntervalValue"));
        QTEST(dialog.findChild<QSpinBox*>(QStringLiteral("spinBox_testCountValue"))->value(), "count");
        QTEST(pauseEdit->text(), "pause");
        QCOMPARE(pauseEdit->currentSection(), QDateTimeEdit::SecondSection);
    }

    // A file that cannot be written (a folder in its place) does not stop the series.
    void seriesDialogWritesOnlyOnOk_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("fileBlocked");
        QTest::newRow("OK") << true << false;
        QTest::newRow("Cancel") << false << false;
        QTest::newRow("OK, file cannot be written") << true << true;
    }
    void seriesDialogWritesOnlyOnOk()
    {
        QFETCH(bool, ok);
        QFETCH(bool, fileBlocked);
        if (fileBlocked)
            QVERIFY(QDir().mkpath(autoFile()));
        QWidget owner;
        auto* dialog = new AutoTestDialog(&owner);
        QSignalSpy started(dialog, &AutoTestDialog::startAutoTestSignal);
        dialog->show();
        auto* settle = dialog->findChild<QCheckBox*>(QStringLiteral("checkBox_stopWhenSettled"));
        auto* longestWait = dialog->findChild<QSpinBox*>(QStringLiteral("spinBox_longestWait"));
        QVERIFY(settle->isChecked() && longestWait->isEnabled());  // on by default
        QCOMPARE(longestWait->value(), 120);
        dialog->findChild<QSpinBox*>(QStringLiteral("spinBox_testCountValue"))->setValue(7);
        dialog->findChild<QTimeEdit*>()->setTime(QTime(0, 2, 5));
        longestWait->setValue(45);
        settle->setChecked(false);
        QVERIFY(!longestWait->isEnabled());
        confirm(dialog, ok);
        QVERIFY(owner.findChildren<AutoTestDialog*>().isEmpty());  // closed and deleted either way
        const QList<QVariantList> expected{QVariantList{7, 125000}};  // count first
        QCOMPARE(QList<QVariantList>(started), ok ? expected : QList<QVariantList>());
        QCOMPARE(QFileInfo(autoFile()).isFile(), ok && !fileBlocked);
        if (ok && !fileBlocked) {
            QCOMPARE(storedValue(autoFile(), "testIntervalValue").toInt(), 125000);
            QCOMPARE(storedValue(autoFile(), "testCountValue").toInt(), 7);
            QCOMPARE(storedValue(autoFile(), "stopWhenSettled").toBool(), false);
            QCOMPARE(storedValue(autoFile(), "longestWaitSeconds").toInt(), 45);
        }
    }

    void samplingDialogKeepsTheChoice_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("shown");
        QTest::newRow("first use") << QByteArray() << 600;
        QTest::newRow("stored") << QByteArray("[General]\ninterval=300\n") << 300;
        QTest::newRow("too short") << QByteArray("[General]\ninterval=-20\n") << 200;
        QTest::newRow("too long") << QByteArray("[General]\ninterval=2147483647\n") << 800;
    }
    void samplingDialogKeepsTheChoice()
    {
        QFETCH(QByteArray, file);
        writeFile(sampleFile(), file);
        for (bool ok : {false, true}) {
            auto* dialog = new SampleIntervalDialog;
            QSignalSpy chosen(dialog, &SampleIntervalDialog::sampleIntervalSignal);
            auto* box = dialog->findChild<QSpinBox*>(QStringLiteral("spinBox_SampleInterval"));
            QTEST(box->value(), "shown");  // Cancel left it as it was
            box->setValue(700);
            confirm(dialog, ok);
            QCOMPARE(chosen.count(), ok ? 1 : 0);
        }
        QCOMPARE(storedValue(sampleFile(), "interval").toInt(), 700);
        SampleIntervalDialog next;
        QCOMPARE(next.findChild<QSpinBox*>()->value(), 700);
    }

    // --- series in the window ---
    // Two series of two tests with a pause of 10 s, one after the other.
    void seriesRunsItsTestsAndASecondCountsLikeTheFirst()
    {
        Rig rig(1, kSeriesTiming);
        QVERIFY(rig.connect());
        MainWindow* window = rig.window.get();
        QSignalSpy starts(window, &MainWindow::startTestingSignal);
        QSignalSpy stops(window, &MainWindow::stopTestingSignal);
        for (int series = 0; series < 2; ++series) {
            starts.clear();
            stops.clear();
            const int rows = rig.model("tableView_resTest")->rowCount();
            QVERIFY(startSeries(window, 2, QTime(0, 0, 10)));
            QCOMPARE(starts.count(), 1);  // the first test at once
            QCOMPARE(panelOf(window)->windowTitle(), QStringLiteral("自动测试"));
            QCOMPARE(panelOf(window)->size(), QSize(400, 200));
            QCOMPARE(panelText(window, "label_autoTestProgress"), QStringLiteral("0/2"));
            QVERIFY(panelText(window, "label_autoTestCountdown").isEmpty());
            QVERIFY(actionsEnabled(rig, false));
            QStringList ticks;
            recordTicks(window, starts, ticks);

            QVERIFY(finishTest(rig, rows + 1));
            QCOMPARE(stops.count(), 1);
            QVERIFY(actionsEnabled(rig, false));
            QTRY_COMPARE_WITH_TIMEOUT(starts.count(), 2, kWait);
            // 9 s ... 0 s on the ticks after the end, the next test one tick later.
            QCOMPARE(ticks, expectedTicks(10, QStringLiteral("1/2"), 1));
            QVERIFY(!timerOf(window, "countdownTimer")->isActive());

            QVERIFY(finishTest(rig, rows + 2));
            QVERIFY(panelGone(window));
            QCOMPARE(stops.count(), 2);
            QTRY_VERIFY_WITH_TIMEOUT(actionsEnabled(rig, true), kWait);
            QVERIFY(rig.waitForPolls(10));
            QCOMPARE(starts.count(), 2);
            QCOMPARE(ticks.size(), 11);
        }
    }

    // A dialog confirmed after the link went away, or one opened before a
    // series started and confirmed during it, starts nothing.
    void staleDialogStartsNothing_data()
    {
        QTest::addColumn<bool>("duringSeries");  // else after a disconnect
        QTest::newRow("after a disconnect") << false;
        QTest::newRow("during a series") << true;
    }
    void staleDialogStartsNothing()
    {
        QFETCH(bool, duringSeries);
        Rig rig(1, kSeriesTiming);
        QVERIFY(rig.connect());
        MainWindow* window = rig.window.get();
        auto* stale = openDialog<AutoTestDialog>(window, "actionAutomatic_measurement");
        QVERIFY(stale);
        if (duringSeries) {
            QVERIFY(startSeries(window, 2, QTime(0, 0, 10)));
        } else {
            QVERIFY(rig.disconnect());
        }
        QSignalSpy starts(window, &MainWindow::startTestingSignal);
        confirm(stale, true);
        QCOMPARE(starts.count(), 0);
        QCOMPARE(window->findChildren<QWidget*>(QStringLiteral("autoTestPanel")).size(), duringSeries ? 1 : 0);
    }

    // Readings as the instrument could send them, given to the window directly
    // while the instrument shows a menu and answers no reading of its own.
    // Testing readings: 1; charging: 0; discharging: 2; idle: -.
    void ninthTestingReadingSendsOneStop_data()
    {
        QTest::addColumn<QString>("readings");
        QTest::addColumn<QString>("stopsAfterEach");
        // Counted from the first testing reading; discharging does not end the count, an idle reading
        // does, and after a stop the count starts again.
        QTest::newRow("a series") << "000111122" "11111" "111111111" "11111-" "111111111"
                                  << "000000000" "00001" "000000001" "000000" "000000001";
    }
    void ninthTestingReadingSendsOneStop()
    {
        QFETCH(QString, readings);
        Rig rig(1, kSeriesTiming);
        QVERIFY(rig.connect());
        rig.instruments[0]->setScreen(sim::Screen::Other);
        QVERIFY(rig.waitForPolls(3));
        writeFile(autoFile(), "[General]\nstopWhenSettled=false\n");  // the fixed stop
        rig.window->startAutoTestSlot(3, 10000);
        QSignalSpy stops(rig.window.get(), &MainWindow::stopTestingSignal);
        QString stopsSeen;
        for (QChar state : readings) {
            stops.clear();
            rig.window->showRealTimeData(dcReading(state.toLatin1()));
            stopsSeen += QString::number(stops.count());
            if (!stops.isEmpty())
                QCOMPARE(stops[0][0].toBool(), false);  // the DC test
        }
        QTEST(stopsSeen, "stopsAfterEach");
    }

    // The exit button ends the series, not the test: it runs on and its row is
    // appended when it ends; no further test starts. Closing the panel's window
    // from outside acts as the button.
    void exitButtonLeavesTheTestRunning_data()
    {
        QTest::addColumn<bool>("windowClosed");
        QTest::newRow("exit button") << false;
        QTest::newRow("panel window closed") << true;
    }
    void exitButtonLeavesTheTestRunning()
    {
        QFETCH(bool, windowClosed);
        Rig rig(1, kSeriesTiming);
        QVERIFY(rig.connect());
        MainWindow* window = rig.window.get();
        QSignalSpy starts(window, &MainWindow::startTestingSignal);
        QSignalSpy stops(window, &MainWindow::stopTestingSignal);
        QVERIFY(startSeries(window, 3, QTime(0, 0, 10)));
        sim::Instrument& instrument = *rig.instruments[0];
        QTRY_VERIFY_WITH_TIMEOUT(instrument.phase() == sim::Phase::Charging, kWait);
        if (windowClosed)
            panelOf(window)->windowHandle()->close();
        else
            panelOf(window)->findChild<QPushButton*>(QStringLiteral("pushButton_exitAutoTest"))->click();
        QVERIFY(panelGone(window));
        QVERIFY(rig.get<QMenu>("menuLanguage")->isEnabled());

        rig.clock->advanceMs(std::int64_t(instrument.chargingSeconds() * 1000) + 1000);
        QTRY_VERIFY_WITH_TIMEOUT(instrument.phase() == sim::Phase::Testing, kWait);
        QVERIFY(rig.waitForPolls(15));
        QCOMPARE(stops.count(), 0);
        QVERIFY(instrument.phase() == sim::Phase::Testing);

        rig.clock->advanceMs(700'000);  // the instrument ends the test by itself
        QTRY_COMPARE_WITH_TIMEOUT(rig.model("tableView_resTest")->rowCount(), 1, kWait);
        QTRY_VERIFY_WITH_TIMEOUT(actionsEnabled(rig, true), kWait);
        QVERIFY(rig.waitForPolls(10));
        QCOMPARE(starts.count(), 1);
    }

    void disconnectionEndsTheSeries_data()
    {
        QTest::addColumn<bool>("drop");  // else the operator disconnects
        QTest::newRow("operator, during a test") << false;
        QTest::newRow("link drops, during a test") << true;
    }
    void disconnectionEndsTheSeries()
    {
        QFETCH(bool, drop);
        Rig rig(1, kSeriesTiming);
        QVERIFY(rig.connect());
        MainWindow* window = rig.window.get();
        QSignalSpy starts(window, &MainWindow::startTestingSignal);
        QVERIFY(startSeries(window, 2, QTime(0, 0, 30)));
        QTRY_VERIFY_WITH_TIMEOUT(rig.instruments[0]->phase() == sim::Phase::Charging, kWait);
        if (drop) {
            sim::Faults faults;
            faults.dropAfterRequests = 1;
            rig.instruments[0]->setFaults(faults);
        } else {
            rig.action("actionConnect")->trigger();
        }
        QVERIFY(rig.waitForConnectText(disconnectedText()));
        QVERIFY(panelGone(window));
        QVERIFY(!timerOf(window, "countdownTimer")->isActive());
        QVERIFY(rig.get<QMenu>("menuLanguage")->isEnabled());
        QVERIFY(!rig.action("actionAutomatic_measurement")->isEnabled());
        if (drop)
            return;
        QVERIFY(rig.connect());  // connected again: the old series does not go on
        QTest::qWait(2 * 31 * kTickMs);
        QVERIFY(rig.waitForPolls(5));
        QCOMPARE(starts.count(), 1);
        QVERIFY(!panelOf(window));
        QVERIFY(rig.get<QMenu>("menuLanguage")->isEnabled());  // a series would keep it locked
    }

    // --- sampling interval ---
    // Polling starts at 500 ms whatever the file says; a confirmed choice
    // applies to the running timer and to later starts (that Cancel sends no
    // choice is the dialog's, above).
    void samplingIntervalAppliesToTheRunningTimer()
    {
        writeFile(sampleFile(), "[General]\ninterval=700\n");
        Rig rig(1, WindowTiming());
        QVERIFY(rig.connect());
        MainWindow* window = rig.window.get();
        QTimer* polling = timerOf(window, "realTimeTimer");
        QCOMPARE(polling->interval(), 500);

        auto* dialog = openDialog<SampleIntervalDialog>(window, "actionSample_interval");
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("采样频率设置"));
        dialog->findChild<QSpinBox*>()->setValue(200);
        confirm(dialog, true);
        QCOMPARE(polling->interval(), 200);
        QVERIFY(polling->isActive());

        QVERIFY(rig.disconnect());
        QVERIFY(rig.connect());
        QCOMPARE(polling->interval(), 200);
    }
};

QTEST_MAIN(TestAutoTest)
#include "test_autotest.moc"
