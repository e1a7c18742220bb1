#include "analysis/stability.h"

#include <algorithm>
#include <cmath>

namespace analysis {

namespace {

template <class It>
std::optional<double> spreadOf(It first, It last)
{
    const auto [low, high] = std::minmax_element(first, last);
    double sum = 0.0;
    for (It i = first; i != last; ++i)
        sum += *i;
    const double mean = sum / static_cast<double>(std::distance(first, last));
    if (!(mean > 0.0) || !std::isfinite(mean))
        return std::nullopt;
    return (*high - *low) / mean * 100.0;
}

int clampedWindow(int window)
{
    return std::clamp(window, StabilitySettings::kMinWindow, StabilitySettings::kMaxWindow);
}

}  // namespace

std::optional<double> spreadPercent(const std::vector<double>& values, int window)
{
    if (window < 1 || static_cast<int>(values.size()) < window)
        return std::nullopt;
    return spreadOf(values.end() - window, values.end());
}

StabilityMeter::StabilityMeter(StabilitySettings settings)
{
    setSettings(settings);
}

void StabilityMeter::setSettings(StabilitySettings settings)
{
    settings.window = clampedWindow(settings.window);
    settings.thresholdPercent = std::max(0.0, settings.thresholdPercent);
    settings_ = settings;
}

void StabilityMeter::reset()
{
    recent_.clear();
}

void StabilityMeter::add(double value)
{
    recent_.push_back(value);
    if (static_cast<int>(recent_.size()) > StabilitySettings::kMaxWindow)
        recent_.pop_front();
}

std::optional<double> StabilityMeter::spreadPercent() const
{
    if (count() < settings_.window)
        return std::nullopt;
    return spreadOf(recent_.end() - settings_.window, recent_.end());
}

bool StabilityMeter::isStable() const
{
    const std::optional<double> spread = spreadPercent();
    return spread && *spread < settings_.thresholdPercent;
}

}  // namespace analysis
