#pragma once
// The resistance of each winding and phase against the position of the tap
// changer, and the steps between neighbouring taps that stand out: a worn or
// dirty tap contact shows as one step unlike the others of its phase.
//
// Each step is the change of resistance per tap position, in % of the
// resistance at the lower tap, so that a tap left out between two measured
// ones does not look like a double step. A step is marked when its size
// differs from the median size of its series by more than half of it and by
// more than 0.1 % of the resistance. Sizes are compared, not signed values:
// the resistance falls or rises with the tap number depending on how the
// winding is tapped, and a changer with a reversing selector turns from
// falling to rising at its middle position.

#include "analysis/balance.h"

#include <QString>

#include <optional>
#include <vector>

namespace analysis {

struct TapPoint {
    int tap = 0;
    double ohms = 0.0;  // converted or measured, as the series says
    int row = -1;       // the input row it comes from
};

struct TapStep {
    int fromTap = 0;
    int toTap = 0;
    double percent = 0.0;  // change per tap position, % of the resistance at fromTap
    bool marked = false;
};

struct TapSeries {
    QString winding;
    QString phase;
    // Converted values when every point has one, all corrected to one reference
    // temperature; otherwise the measured values of all points.
    bool converted = true;
    std::optional<double> celsius;  // the temperature the values refer to, where one is known
    std::vector<TapPoint> points;   // by tap
    std::vector<TapStep> steps;     // between neighbouring points
    std::optional<double> medianSizePercent;  // with kFewestSteps steps or more

    static constexpr int kFewestSteps = 3;  // fewer give no median to speak of
};

constexpr double kStepSpreadShare = 0.5;       // of the median size
constexpr double kStepSpreadFloorPercent = 0.1;  // of the resistance

// The tap position a tapping text names; none for text that is not a whole number.
std::optional<int> tapPosition(const QString& tapping);

// Series in the order their first row appears. A later row of the same tap
// replaces an earlier one; a tap whose row has no value (placeholder, over
// range) has no point. Rows whose tapping is not a number are left out.
std::vector<TapSeries> tapProfile(const std::vector<DcResult>& rows);

}  // namespace analysis
