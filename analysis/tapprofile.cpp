#include "analysis/tapprofile.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace analysis {

namespace {

bool usable(const std::optional<Resistance>& r)
{
    return r && r->ohms > 0.0;
}

// The converted value of a row corrected to `celsius`: the instrument may
// have converted the rows of one series to different reference temperatures.
std::optional<double> convertedAt(const DcResult& row, double celsius)
{
    if (!usable(row.converted) || !row.referenceTemp)
        return std::nullopt;
    if (*row.referenceTemp == celsius)
        return row.converted->ohms;
    return convertedOhms(row.converted->ohms, row.material, *row.referenceTemp, celsius);
}

std::optional<double> commonTemperature(const std::vector<const DcResult*>& rows,
                                        std::optional<double> DcResult::*temperature)
{
    const std::optional<double> first = rows.front()->*temperature;
    const bool same = std::all_of(rows.begin(), rows.end(), [&](const DcResult* r) { return r->*temperature == first; });
    return same ? first : std::nullopt;
}

// The values of the series' rows (one per tap, with a measured value).
void fillPoints(TapSeries& series, const std::vector<DcResult>& rows, const std::map<int, int>& rowOfTap)
{
    std::vector<const DcResult*> members;
    for (const auto& [tap, row] : rowOfTap)
        if (usable(rows[std::size_t(row)].measured))
            members.push_back(&rows[std::size_t(row)]);
    if (members.empty())
        return;
    const std::optional<double> reference = members.front()->referenceTemp;
    series.converted = reference && std::all_of(members.begin(), members.end(), [&](const DcResult* r) {
        return convertedAt(*r, *reference).has_value();
    });
    series.celsius = series.converted ? reference : commonTemperature(members, &DcResult::conductorTemp);
    for (const auto& [tap, row] : rowOfTap) {
        const DcResult& r = rows[std::size_t(row)];
        if (!usable(r.measured))
            continue;
        const double ohms = series.converted ? *convertedAt(r, *reference) : r.measured->ohms;
        series.points.push_back({tap, ohms, row});
    }
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

void markSteps(TapSeries& series)
{
    for (std::size_t i = 1; i < series.points.size(); ++i) {
        const TapPoint& from = series.points[i - 1];
        const TapPoint& to = series.points[i];
        const double percent = (to.ohms - from.ohms) / from.ohms / (to.tap - from.tap) * 100.0;
        series.steps.push_back({from.tap, to.tap, percent, false});
    }
    if (int(series.steps.size()) < TapSeries::kFewestSteps)
        return;
    std::vector<double> sizes;
    for (const TapStep& step : series.steps)
        sizes.push_back(std::fabs(step.percent));
    const double typical = median(sizes);
    series.medianSizePercent = typical;
    for (TapStep& step : series.steps) {
        const double spread = std::fabs(std::fabs(step.percent) - typical);
        step.marked = spread > typical * kStepSpreadShare && spread > kStepSpreadFloorPercent;
    }
}

}  // namespace

std::optional<int> tapPosition(const QString& tapping)
{
    bool ok = false;
    const int tap = tapping.trimmed().toInt(&ok);
    return ok ? std::optional<int>(tap) : std::nullopt;
}

std::vector<TapSeries> tapProfile(const std::vector<DcResult>& rows)
{
    std::vector<TapSeries> series;
    std::vector<std::map<int, int>> rowOfTap;  // per series
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const DcResult& row = rows[i];
        const std::optional<int> tap = tapPosition(row.tapping);
        if (!tap || row.phase.isEmpty())
            continue;
        auto found = std::find_if(series.begin(), series.end(), [&](const TapSeries& s) {
            return s.winding == row.winding && s.phase == row.phase;
        });
        if (found == series.end()) {
            TapSeries s;
            s.winding = row.winding;
            s.phase = row.phase;
            series.push_back(s);
            rowOfTap.emplace_back();
            found = series.end() - 1;
        }
        rowOfTap[std::size_t(found - series.begin())][*tap] = int(i);
    }
    for (std::size_t s = 0; s < series.size(); ++s) {
        fillPoints(series[s], rows, rowOfTap[s]);
        markSteps(series[s]);
    }
    return series;
}

}  // namespace analysis
