#pragma once
// Is the live value stable yet? The spread (max − min) / mean of the last
// readings of a test, over a window of readings the operator chooses.

#include <deque>
#include <optional>
#include <vector>

namespace analysis {

struct StabilitySettings {
    int window = 10;                  // readings
    double thresholdPercent = 0.05;   // stable while the spread stays below this

    static constexpr int kMinWindow = 2;
    static constexpr int kMaxWindow = 200;
    static constexpr double kMinThresholdPercent = 0.001;
    static constexpr double kMaxThresholdPercent = 10.0;
    static constexpr int kThresholdDecimals = 3;
};

// Spread in percent of the last `window` values; none while there are fewer
// values than the window, or when their mean is not above zero.
std::optional<double> spreadPercent(const std::vector<double>& values, int window);

class StabilityMeter {
public:
    explicit StabilityMeter(StabilitySettings settings = {});

    void setSettings(StabilitySettings settings);  // keeps the readings taken so far
    StabilitySettings settings() const { return settings_; }
    void reset();
    void add(double value);

    std::optional<double> spreadPercent() const;
    bool isStable() const;
    int count() const { return static_cast<int>(recent_.size()); }

private:
    StabilitySettings settings_;
    std::deque<double> recent_;  // at most kMaxWindow newest values
};

}  // namespace analysis
