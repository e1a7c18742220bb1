#include "analysis/trace.h"

#include <QDataStream>

namespace analysis {

namespace {

constexpr quint8 kTraceFormat = 1;
constexpr int kHeaderBytes = 1 + 4;
constexpr int kPointBytes = 3 * 8;

}  // namespace

QByteArray traceBytes(const Trace& trace)
{
    if (trace.isEmpty())
        return QByteArray();
    QByteArray bytes;
    bytes.reserve(kHeaderBytes + trace.points.size() * kPointBytes);
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.setFloatingPointPrecision(QDataStream::DoublePrecision);
    out << kTraceFormat << quint32(trace.points.size());
    for (const TracePoint& p : trace.points)
        out << p.seconds << p.ohms << p.amps;
    return bytes;
}

Trace traceFromBytes(const QByteArray& bytes)
{
    if (bytes.size() < kHeaderBytes)
        return Trace();
    QDataStream in(bytes);
    in.setByteOrder(QDataStream::LittleEndian);
    in.setFloatingPointPrecision(QDataStream::DoublePrecision);
    quint8 format = 0;
    quint32 count = 0;
    in >> format >> count;
    if (format != kTraceFormat || qint64(bytes.size()) != kHeaderBytes + qint64(count) * kPointBytes)
        return Trace();
    Trace trace;
    trace.points.resize(int(count));
    for (TracePoint& p : trace.points)
        in >> p.seconds >> p.ohms >> p.amps;
    return trace;
}

LiveTrend::LiveTrend(StabilitySettings settings) : stability_(settings) {}

LiveTrend::Step LiveTrend::take(double nowSeconds, const LiveReading& reading)
{
    if (!reading.cycleUnderWay) {
        if (!running_)
            return Step::Idle;
        running_ = false;
        return Step::Finished;
    }
    Step step = Step::Running;
    if (!running_) {
        running_ = true;
        startSeconds_ = nowSeconds;
        trace_ = Trace();
        stability_.reset();
        step = Step::Started;
    }
    TracePoint point;
    point.seconds = nowSeconds - startSeconds_;
    if (reading.amps)
        point.amps = *reading.amps;
    if (reading.testing && reading.ohms) {
        point.ohms = *reading.ohms;
        stability_.add(*reading.ohms);
    }
    trace_.points.append(point);
    return step;
}

}  // namespace analysis

namespace analysis {

namespace {

constexpr double kPadding = 0.1;  // of the span, above and below

std::optional<AxisRange> rangeOf(const QVector<TracePoint>& points, double TracePoint::*value, double fromSeconds)
{
    std::optional<AxisRange> range;
    int count = 0;
    for (const TracePoint& p : points) {
        const double v = p.*value;
        if (p.seconds < fromSeconds || std::isnan(v))
            continue;
        ++count;
        if (!range)
            range = AxisRange{v, v};
        range->low = std::min(range->low, v);
        range->high = std::max(range->high, v);
    }
    if (count < 2 && fromSeconds > 0.0)
        return rangeOf(points, value, 0.0);
    return range;
}

}  // namespace

std::optional<AxisRange> settlingRange(const QVector<TracePoint>& points, double TracePoint::*value,
                                       double minRelativeSpan)
{
    if (points.isEmpty())
        return std::nullopt;
    std::optional<AxisRange> range = rangeOf(points, value, points.last().seconds / 2.0);
    if (!range)
        return std::nullopt;
    const double middle = (range->low + range->high) / 2.0;
    double span = range->high - range->low;
    const double floor = std::max(std::fabs(middle) * minRelativeSpan, 1e-12);
    span = std::max(span * (1.0 + 2.0 * kPadding), floor);
    return AxisRange{middle - span / 2.0, middle + span / 2.0};
}

}  // namespace analysis
