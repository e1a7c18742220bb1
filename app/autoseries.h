#pragma once
// The automatic test series: a number of tests with a counted-down pause
// between them, shown in a small panel over the window while it runs. The
// series decides when a test is due or must stop; the window starts and
// stops the tests and locks its actions when told.

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

class AutoTestPanel;
class QTimer;
class QWidget;

// How each test of a series ends: once its reading is stable, or after the
// longest wait in the testing state, whichever comes first; when off, after a
// fixed number of readings in the testing state.
struct SettledStop {
    bool enabled = true;
    int longestWaitSeconds = 120;
};

class AutoSeries : public QObject
{
    Q_OBJECT

public:
    // As the series dialog last kept it.
    static SettledStop keptSettledStop();

    // The panel and the countdown timer ("countdownTimer") are children of
    // `window`; each tick of the countdown is one second of the pause.
    AutoSeries(QWidget* window, int countdownTickMs);

    bool isRunning() const { return running; }
    // A series of `tests` tests with a pause of pauseMs after each; nothing
    // while a series runs.
    void start(int tests, int pauseMs, SettledStop settledStop = SettledStop());
    // Ends the series. No stop request: a test still running on the instrument
    // goes on, and its row is appended when it ends.
    void stop();

    // Readings of the live polling: a test running (in its testing state or
    // not yet; settled: its reading is stable now), no test running, and a
    // test just finished with its row.
    void followRunningTest(bool testingState, bool lengthTest, bool settled = false);
    void followIdle();
    void countFinishedTest();

signals:
    void nextTestDue();
    void stopDue(bool lengthTest);
    void lockActions();  // the actions stay locked while the series runs
    void ended();

private:
    void countdownTick();
    bool stopIsDue(bool settled) const;

    QWidget* window;
    QTimer* countdownTimer;
    int countdownTickMs;
    QPointer<AutoTestPanel> panel;  // deletes itself when closed
    bool running = false;
    int count = 1;
    int done = 0;
    int intervalMs = 1;
    int countdownSeconds = 0;
    bool countingDown = false;
    int testingReadings = 0;
    SettledStop settledStop;
    bool stopSent = false;        // for the test under way
    QElapsedTimer testingClock;   // since the test's first reading in the testing state
};
