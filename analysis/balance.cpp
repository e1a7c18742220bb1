#include "analysis/balance.h"

#include <algorithm>
#include <cmath>

namespace analysis {

namespace {

// The material cell holds the program's own text, in either language.
const char* const kCopperTexts[] = {"铜", "Cu"};
const char* const kAluminiumTexts[] = {"铝", "Al"};

const char* const kPhaseNames[] = {"A0", "B0", "C0"};
const char* const kLineNames[] = {"AB", "BC", "AC"};

template <std::size_t N>
bool isOneOf(const QString& text, const char* const (&names)[N])
{
    return std::any_of(std::begin(names), std::end(names), [&](const char* name) {
        return text.compare(QString::fromUtf8(name), Qt::CaseInsensitive) == 0;
    });
}

// Kind and place in the kind's order of a phase name; none for other texts.
std::optional<std::pair<PhaseKind, int>> phaseSlot(const QString& phase)
{
    for (int i = 0; i < 3; ++i) {
        if (phase == QLatin1String(kPhaseNames[i]))
            return std::make_pair(PhaseKind::Phase, i);
        if (phase == QLatin1String(kLineNames[i]))
            return std::make_pair(PhaseKind::Line, i);
    }
    return std::nullopt;
}

double imbalanceOf(const std::array<double, 3>& values)
{
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    const double mean = (values[0] + values[1] + values[2]) / 3.0;
    return (*high - *low) / mean * 100.0;
}

bool usable(const std::optional<Resistance>& r)
{
    return r && r->ohms > 0.0;
}

// Fills the compared values and the verdict of a group whose three rows exist.
void evaluate(BalanceGroup& group, const std::vector<DcResult>& rows)
{
    std::array<const DcResult*, 3> members{};
    for (int i = 0; i < 3; ++i)
        members[i] = &rows[static_cast<std::size_t>(group.rows[i])];
    const bool allMeasured = std::all_of(members.begin(), members.end(), [](auto* r) { return usable(r->measured); });
    if (!allMeasured)
        return;  // a placeholder or an over-range reading among them
    const bool sameReference = std::all_of(members.begin(), members.end(), [&](auto* r) {
        return r->referenceTemp && members[0]->referenceTemp && *r->referenceTemp == *members[0]->referenceTemp;
    });
    const bool allConverted =
        sameReference && std::all_of(members.begin(), members.end(), [](auto* r) { return usable(r->converted); });
    group.basis = allConverted ? BalanceGroup::Converted : BalanceGroup::Measured;
    for (int i = 0; i < 3; ++i)
        group.ohms[i] = allConverted ? members[i]->converted->ohms : members[i]->measured->ohms;
    group.imbalancePercent = imbalanceOf(group.ohms);
    group.status = group.imbalancePercent > group.limitPercent ? BalanceGroup::Fail : BalanceGroup::Pass;
}

}  // namespace

int materialOf(const QString& text)
{
    const QString t = text.trimmed();
    if (isOneOf(t, kCopperTexts))
        return 0;
    if (isOneOf(t, kAluminiumTexts))
        return 1;
    return -1;
}

DcResult dcResultFromCells(const QStringList& cells)
{
    DcResult r;
    r.material = materialOf(cells.value(kMaterialColumn));
    r.conductorTemp = parseCelsius(cells.value(kConductorTempColumn));
    r.referenceTemp = parseCelsius(cells.value(kReferenceTempColumn));
    r.tapping = cells.value(kTappingColumn).trimmed();
    r.phase = cells.value(kPhaseColumn).trimmed();
    r.winding = cells.value(kWindingColumn).trimmed();
    r.converted = parseResistance(cells.value(kConvertedColumn));
    r.measured = parseResistance(cells.value(kMeasuredColumn));
    return r;
}

std::optional<double> convertedOhms(double measuredOhms, int material, double conductorTemp, double referenceTemp)
{
    if (material != 0 && material != 1)
        return std::nullopt;
    const double constant = material == 0 ? kCopperConstant : kAluminiumConstant;
    const double denominator = constant + conductorTemp;
    if (!(denominator > 0.0))
        return std::nullopt;
    return measuredOhms * (constant + referenceTemp) / denominator;
}

CrossCheck crossCheck(const DcResult& row, double tolerancePercent)
{
    CrossCheck check;
    if (!usable(row.measured) || !usable(row.converted) || !row.conductorTemp || !row.referenceTemp)
        return check;
    const std::optional<double> expected =
        convertedOhms(row.measured->ohms, row.material, *row.conductorTemp, *row.referenceTemp);
    if (!expected)
        return check;
    // The shown digits bound how closely the two texts can agree: a value
    // shown as 5.3μΩ may be anything from 5.25 to 5.35.
    const double resolutionPercent =
        (row.measured->halfStepOhms / row.measured->ohms + row.converted->halfStepOhms / row.converted->ohms) * 100.0;
    check.expectedOhms = *expected;
    check.deviationPercent = (row.converted->ohms - *expected) / *expected * 100.0;
    check.tolerancePercent = std::max(tolerancePercent, resolutionPercent);
    check.verdict = std::fabs(check.deviationPercent) > check.tolerancePercent ? CrossCheck::Differs : CrossCheck::Agrees;
    return check;
}

QStringList phaseNames(PhaseKind kind)
{
    QStringList names;
    for (const char* name : kind == PhaseKind::Phase ? kPhaseNames : kLineNames)
        names << QLatin1String(name);
    return names;
}

std::vector<BalanceGroup> balanceGroups(const std::vector<DcResult>& rows, const BalanceLimits& limits)
{
    std::vector<BalanceGroup> groups;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const DcResult& row = rows[i];
        const auto slot = phaseSlot(row.phase);
        if (!slot)
            continue;
        auto group = std::find_if(groups.begin(), groups.end(), [&](const BalanceGroup& g) {
            return g.winding == row.winding && g.tapping == row.tapping && g.kind == slot->first;
        });
        if (group == groups.end()) {
            BalanceGroup g;
            g.winding = row.winding;
            g.tapping = row.tapping;
            g.kind = slot->first;
            g.limitPercent = g.kind == PhaseKind::Phase ? limits.phasePercent : limits.linePercent;
            groups.push_back(g);
            group = groups.end() - 1;
        }
        group->rows[static_cast<std::size_t>(slot->second)] = static_cast<int>(i);
    }
    for (BalanceGroup& g : groups) {
        if (std::all_of(g.rows.begin(), g.rows.end(), [](int r) { return r >= 0; }))
            evaluate(g, rows);
    }
    return groups;
}

}  // namespace analysis
