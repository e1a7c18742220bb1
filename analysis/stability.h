#pragma once
// Is the live value stable yet? The spread (max − min) / mean of the last
// readings of a test, over a window of readings the operator chooses.

#include <deque>
#include <optional>
#include <vector>

namespace analysis {

struct StabilitySettings {
    int window = 10;  // readings
    // Stable while the spread stays below this. The default sits well above
    // the noise of a settled reading: the instrument shows five significant
    // digits, so one count is up to 0.01 % of the value, and a reading that
    // flickers by a few counts spreads 0.03-0.06 % over ten readings; the
    // simulated instrument's noise (0.010 % of the value, one sigma, measured
    // over 2000 readings of a plain resistor) spread 0.030 % on average and
    // up to 0.057 %, so 0.05 % flipped between stable and settling. 0.1 % is
    // ten sigma and ten counts at the coarsest digit, and still a fraction
    // of the drift of a winding that has not settled.
    double thresholdPercent = 0.1;

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
