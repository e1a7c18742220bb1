#include "link/linktiming.h"

#include <algorithm>
#include <cmath>

namespace {
std::uint32_t scale(std::uint32_t ms, double factor)
{
    return std::max<std::uint32_t>(1, static_cast<std::uint32_t>(std::lround(ms * factor)));
}
}  // namespace

LinkTiming LinkTiming::scaled(double factor)
{
    LinkTiming t;
    t.transferTimeoutMs = scale(t.transferTimeoutMs, factor);
    t.pollPauseMs = scale(t.pollPauseMs, factor);
    t.retryPauseMs = scale(t.retryPauseMs, factor);
    t.wakeUpPauseMs = scale(t.wakeUpPauseMs, factor);
    t.flushPauseMs = scale(t.flushPauseMs, factor);
    t.closeGraceMs = scale(t.closeGraceMs, factor);
    t.watchPeriodMs = scale(t.watchPeriodMs, factor);
    return t;
}
