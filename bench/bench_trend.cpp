// Readings per second the trend panel takes with its chart shown against
// folded away, for test lengths up to a long settling (3000 readings: ten
// minutes at the fastest polling interval of 200 ms). Every reading adds its
// point and lets the event loop paint, as the window does with a live reading.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench-trend [runs]

#include "insight/trendchart.h"
#include "insight/trendpanel.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int kFastestPollMs = 200;

analysis::TracePoint reading(int i)
{
    const double seconds = i * kFastestPollMs / 1000.0;
    const double ohms = 0.012345 * (1.0 + 0.25 * std::exp(-seconds / 30.0)) * (1.0 + 1e-4 * std::sin(i * 1.7));
    return {seconds, ohms, 10.0 * (1.0 - 0.1 * std::exp(-seconds / 30.0))};
}

// Seconds for the readings `from` .. `to` - 1 of a test, the panel showing
// the readings before them already.
double timeReadings(TrendPanel& panel, bool folded, int from, int to)
{
    panel.setFolded(folded);
    analysis::Trace trace;
    for (int i = 0; i < from; ++i)
        trace.points.append(reading(i));
    panel.chart()->showTrace(trace);
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    for (int i = from; i < to; ++i) {
        panel.chart()->appendPoint(reading(i));
        QCoreApplication::processEvents();
    }
    return timer.nsecsElapsed() / 1e9;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    TrendPanel panel;
    panel.resize(900, 300);
    panel.show();
    QCoreApplication::processEvents();

    constexpr int kBatch = 100;
    std::printf("%-26s %14s %14s %8s %16s\n", "readings already drawn", "folded r/s", "shown r/s", "ratio",
                "ms per reading");
    for (int drawn : {0, 600, 3000}) {
        std::vector<double> folded, shown;
        for (int run = 0; run < runs; ++run) {  // alternate, so drifts of the machine hit both alike
            folded.push_back(kBatch / timeReadings(panel, true, drawn, drawn + kBatch));
            shown.push_back(kBatch / timeReadings(panel, false, drawn, drawn + kBatch));
        }
        const double f = median(folded), s = median(shown);
        std::printf("%-26d %14.0f %14.0f %8.3f %16.3f\n", drawn, f, s, s / f, 1000.0 / s);
    }
    std::printf("budget at the fastest polling interval: %d ms per reading\n", kFastestPollMs);
    return 0;
}
