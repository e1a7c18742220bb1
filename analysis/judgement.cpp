#include "analysis/judgement.h"

#include <QCoreApplication>

#include <cmath>

namespace analysis {

namespace {

// Far below the 0.001 percentage points a deviation is shown with, far above
// the rounding of its arithmetic.
constexpr double kEdgeTolerance = 1e-9;

}  // namespace

Verdict verdictOf(double deviationPercent, const JudgementLimits& limits)
{
    const double size = std::fabs(deviationPercent);
    if (size <= limits.passPercent + kEdgeTolerance)
        return Verdict::Pass;
    if (size <= limits.watchPercent + kEdgeTolerance)
        return Verdict::Watch;
    return Verdict::Fail;
}

QString verdictText(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Pass:
        return QCoreApplication::translate("Judgement", "合格");
    case Verdict::Watch:
        return QCoreApplication::translate("Judgement", "注意");
    case Verdict::Fail:
        break;
    }
    return QCoreApplication::translate("Judgement", "不合格");
}

}  // namespace analysis
