#pragma once
// The trace of one test: resistance and current against seconds since the
// instrument reported the test under way, and how the live trend follows a
// stream of readings.

#include "analysis/stability.h"

#include <QByteArray>
#include <QMetaType>
#include <QVector>

#include <cmath>
#include <optional>

namespace analysis {

struct TracePoint {
    double seconds = 0.0;
    double ohms = NAN;  // NaN: no resistance in this reading
    double amps = NAN;  // NaN: no current in this reading
};

struct Trace {
    QVector<TracePoint> points;
    bool isEmpty() const { return points.isEmpty(); }
};

// A trace as bytes for keeping with its result row: a format byte, the point
// count, then seconds, ohms and amps of each point (little-endian doubles).
// Bytes that are not such a trace (cut short, another format) read as an
// empty trace.
QByteArray traceBytes(const Trace& trace);
Trace traceFromBytes(const QByteArray& bytes);

// What the trend takes from one live reading.
struct LiveReading {
    bool cycleUnderWay = false;   // the instrument's test-cycle flag
    bool testing = false;         // test state "testing": the resistance is being measured
    std::optional<double> ohms;   // none: placeholder or over range
    std::optional<double> amps;
};

// Follows the readings of one test page. A test begins with the first reading
// whose cycle flag is set and ends with the first one without it; the trace of
// the last test stays until the next begins. Resistance points are taken only
// while testing (before, nothing is measured; after, the instrument holds its
// last value), current points during the whole cycle. The stability meter
// sees the resistances of the present test.
class LiveTrend {
public:
    enum class Step { Idle, Started, Running, Finished };

    explicit LiveTrend(StabilitySettings settings = {});

    // `nowSeconds` on any steady scale.
    Step take(double nowSeconds, const LiveReading& reading);

    const Trace& trace() const { return trace_; }
    bool running() const { return running_; }
    const StabilityMeter& stability() const { return stability_; }
    void setStabilitySettings(StabilitySettings settings) { stability_.setSettings(settings); }

private:
    Trace trace_;
    StabilityMeter stability_;
    bool running_ = false;
    double startSeconds_ = 0.0;
};

}  // namespace analysis

Q_DECLARE_METATYPE(analysis::Trace)

namespace analysis {

struct AxisRange {
    double low = 0.0;
    double high = 1.0;
};

// The vertical range that shows how a trace settles: it fits the values of the
// newer half of the test's duration (all values while there are fewer than two
// there), so a spike at the start does not flatten what follows; it is at least
// `minRelativeSpan` of the level wide so that noise is not blown up to full
// height. None when the trace has no value of that kind.
std::optional<AxisRange> settlingRange(const QVector<TracePoint>& points, double TracePoint::*value,
                                       double minRelativeSpan = 5e-4);

}  // namespace analysis
