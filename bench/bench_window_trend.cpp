// Readings per second the main window takes on the DC page with the trend
// shown against folded away, in the same run. The window is connected to a
// simulated instrument in the same process, its polling stopped; then each
// reading of a settling test goes through the window's own reading slot and
// the event loop runs until the window has painted it, as with a live
// reading. Runs alternate between shown and folded so that drifts of the
// machine hit both alike. Also counts the chart's repaints per reading.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench-window-trend [runs] [readings per run]

#include "bench/benchreadings.h"
#include "app/chinesefonts.h"
#include "sim/instrument.h"
#include "app/mainwindow.h"
#include "sim/simtransport.h"
#include "insight/trendchart.h"
#include "insight/trendpanel.h"
#include "testsupport/windowsteps.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kFastestPollMs = 200;

// Reading `i` of a DC test on a winding that settles; `cycle` false ends the test.
ReceiveData settlingReading(int i, bool cycle)
{
    const double seconds = i * kFastestPollMs / 1000.0;
    const double ohms = 12.345 * (1.0 + 0.25 * std::exp(-seconds / 30.0)) * (1.0 + 1e-4 * std::sin(i * 1.7));
    return dcReading(cycle, QString::number(ohms, 'f', 3), QString::number(ohms * 1.2, 'f', 3));
}

// Counts the paints of one widget.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Seconds for `readings` readings of one test, each shown and painted.
double timeTest(MainWindow& window, int readings)
{
    window.showRealTimeData(settlingReading(0, false));
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < readings; ++i) {
        window.showRealTimeData(settlingReading(i, true));
        QCoreApplication::processEvents();
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    window.showRealTimeData(settlingReading(readings, false));  // the test ends; its row is appended
    QCoreApplication::processEvents();
    return seconds;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    prepareWindowProgram();
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int readings = argc > 2 ? std::max(10, std::atoi(argv[2])) : 300;

    auto instrument = std::make_shared<sim::Instrument>();
    MainWindow window(std::make_unique<sim::SimulatorTransport>(instrument), LinkTiming());
    window.show();
    windowsteps::child<QAction>(window, "actionConnect")->trigger();
    if (!windowsteps::waitUntil([&] { return window.findChild<QAction*>(QStringLiteral("actionConnect"))->text()
                                              == QStringLiteral("断开连接"); },
                                "the connection", 15000))
        return 1;
    // From here on only this program's readings reach the window.
    windowsteps::child<QTimer>(window, "realTimeTimer")->stop();
    QElapsedTimer drain;  // a poll already under way still answers
    drain.start();
    while (drain.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);

    auto* panel = windowsteps::child<TrendPanel>(window, "trendPanel_dc");
    PaintCounter counter;
    panel->chart()->viewport()->installEventFilter(&counter);
    auto fold = [&](bool folded) {
        if (panel->isFolded() != folded)
            panel->foldButton()->click();
        QCoreApplication::processEvents();
    };

    std::vector<double> shown, folded;
    int shownPaints = 0;
    for (int run = 0; run < runs; ++run) {
        fold(false);
        counter.paints = 0;
        shown.push_back(readings / timeTest(window, readings));
        shownPaints += counter.paints;
        fold(true);
        folded.push_back(readings / timeTest(window, readings));
    }
    const double f = median(folded), s = median(shown);
    std::printf("Window on the DC page, %d readings per test, medians of %d alternating runs\n", readings, runs);
    std::printf("%-28s %10.0f readings/s  %7.3f ms per reading\n", "trend folded (reference)", f, 1000.0 / f);
    std::printf("%-28s %10.0f readings/s  %7.3f ms per reading  (%.2f× the folded rate)\n", "trend shown", s,
                1000.0 / s, s / f);
    std::printf("%-28s %10.2f\n", "chart paints per reading", double(shownPaints) / (double(runs) * readings));
    std::printf("budget at the fastest polling interval: %d ms per reading\n", kFastestPollMs);
    return 0;
}
