#include "analysis/deviation.h"

#include "analysis/baselinefile.h"

namespace analysis {

namespace {

bool matches(const BaselineEntry& entry, int winding, const DcResult& row)
{
    return entry.winding == winding && entry.phase == row.phase && sameTapping(entry.tapping, row.tapping);
}

const BaselineEntry* referenceOf(const DcResult& row, const QList<BaselineEntry>& baseline)
{
    const int winding = windingOf(row.winding);
    for (auto it = baseline.crbegin(); it != baseline.crend(); ++it) {
        if (matches(*it, winding, row))
            return &*it;
    }
    return nullptr;
}

std::optional<Comparison> compare(const DcResult& row, const BaselineEntry& reference, const JudgementLimits& limits)
{
    if (!row.measured || !(row.measured->ohms > 0.0) || !row.conductorTemp || !row.referenceTemp)
        return std::nullopt;
    const int material = row.material >= 0 ? row.material : reference.material;
    const std::optional<double> rowOhms =
        convertedOhms(row.measured->ohms, material, *row.conductorTemp, *row.referenceTemp);
    const std::optional<double> referenceOhms =
        convertedOhms(reference.ohms, material, reference.celsius, *row.referenceTemp);
    if (!rowOhms || !referenceOhms || !(*referenceOhms > 0.0))
        return std::nullopt;
    Comparison c;
    c.rowOhms = *rowOhms;
    c.referenceOhms = *referenceOhms;
    c.referenceTemp = *row.referenceTemp;
    c.judgement.deviationPercent = (c.rowOhms - c.referenceOhms) / c.referenceOhms * 100.0;
    c.judgement.verdict = verdictOf(c.judgement.deviationPercent, limits);
    return c;
}

}  // namespace

bool sameTapping(const QString& a, const QString& b)
{
    bool aIsNumber = false;
    bool bIsNumber = false;
    const double aNumber = a.toDouble(&aIsNumber);
    const double bNumber = b.toDouble(&bIsNumber);
    if (aIsNumber && bIsNumber)
        return aNumber == bNumber;
    return a.trimmed() == b.trimmed();
}

Comparisons compareWithBaseline(const std::vector<DcResult>& rows, const QList<BaselineEntry>& baseline,
                                const JudgementLimits& limits)
{
    Comparisons comparisons;
    comparisons.reserve(rows.size());
    for (const DcResult& row : rows) {
        const BaselineEntry* reference = referenceOf(row, baseline);
        comparisons.push_back(reference ? compare(row, *reference, limits) : std::nullopt);
    }
    return comparisons;
}

QList<BaselineEntry> referencesFromSession(const std::vector<DcResult>& earlierRows)
{
    QList<BaselineEntry> references;
    for (const DcResult& row : earlierRows) {
        const int winding = windingOf(row.winding);
        if (winding < 0 || row.material < 0 || !row.conductorTemp || !row.measured || !(row.measured->ohms > 0.0)
            || row.tapping.isEmpty() || row.phase.isEmpty())
            continue;
        references << BaselineEntry{winding, row.tapping, row.phase, row.measured->ohms, *row.conductorTemp,
                                    row.material};
    }
    return references;
}

Judgements judgementsOf(const Comparisons& comparisons)
{
    Judgements judgements;
    judgements.reserve(comparisons.size());
    for (const std::optional<Comparison>& c : comparisons)
        judgements.push_back(c ? std::optional<Judgement>(c->judgement) : std::nullopt);
    return judgements;
}

}  // namespace analysis
