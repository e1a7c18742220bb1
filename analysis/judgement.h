#pragma once
// The verdict on a winding's resistance: how far it lies from its reference
// value (the factory or commissioning figure, or the previous test of the same
// object), both corrected to one temperature, and which band that falls in.

#include <QString>

#include <optional>
#include <vector>

namespace analysis {

enum class Verdict { Pass, Watch, Fail };

struct JudgementLimits {
    double passPercent = 1.0;   // |deviation| up to this: normal
    double watchPercent = 2.0;  // up to this: to be watched; beyond: to be investigated

    static constexpr double kMinPercent = 0.01;
    static constexpr double kMaxPercent = 100.0;
    static constexpr int kDecimals = 2;
};

struct Judgement {
    double deviationPercent = 0.0;  // (row − reference) / reference × 100
    Verdict verdict = Verdict::Pass;
};

// One entry per row of a DC result table, empty where the row has no reference.
using Judgements = std::vector<std::optional<Judgement>>;

// A deviation on a band's edge belongs to the band (within rounding).
Verdict verdictOf(double deviationPercent, const JudgementLimits& limits = {});
// "合格", "注意", "不合格" in the language in force (context "Judgement").
QString verdictText(Verdict verdict);

}  // namespace analysis
