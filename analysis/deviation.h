#pragma once
// How far each DC result lies from its reference: the object's baseline entry
// of the same winding, tapping and phase, or the same row of the object's
// previous session. Both values are corrected to the row's reference
// temperature with the constant of the row's material, so that a winding
// measured warm and one measured cold compare as the same copper.

#include "analysis/balance.h"
#include "analysis/baselineentry.h"
#include "analysis/judgement.h"

#include <QList>

#include <optional>
#include <vector>

namespace analysis {

struct Comparison {
    double rowOhms = 0.0;        // the row's resistance at its reference temperature
    double referenceOhms = 0.0;  // the reference value at the same temperature
    double referenceTemp = 0.0;  // °C both refer to
    Judgement judgement;
};

// One entry per row, empty where the row has no reference or no usable reading.
using Comparisons = std::vector<std::optional<Comparison>>;

// Tappings match as texts, or as numbers when both are ("3" and "03").
bool sameTapping(const QString& a, const QString& b);

// A later entry of the same winding, tapping and phase counts over an earlier.
Comparisons compareWithBaseline(const std::vector<DcResult>& rows, const QList<BaselineEntry>& baseline,
                                const JudgementLimits& limits);
// The rows of an earlier session as references: each measured value at its
// conductor temperature. Rows without a reading, or whose winding, material or
// temperature is unknown, give none; a repeated test counts over the first.
QList<BaselineEntry> referencesFromSession(const std::vector<DcResult>& earlierRows);

Judgements judgementsOf(const Comparisons& comparisons);

}  // namespace analysis
