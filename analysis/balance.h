#pragma once
// Three-phase balance of the DC results and the temperature cross-check of
// each result. Rows are grouped by winding and tapping; a group whose three
// phases (A0/B0/C0 phase resistances, or AB/BC/AC line resistances) are all
// present gets the imbalance (max − min) / mean × 100 % of their resistances.

#include "analysis/quantities.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace analysis {

// The columns of the DC result table (the window's, its workbook's and the store's rows).
enum DcColumn {
    kNumberColumn = 0,
    kMaterialColumn = 3,
    kConductorTempColumn = 4,
    kReferenceTempColumn = 5,
    kTappingColumn = 7,
    kPhaseColumn = 8,
    kWindingColumn = 9,
    kCurrentColumn = 11,
    kConvertedColumn = 12,
    kMeasuredColumn = 13,
};

// One row of the DC result table, as read from its cells.
struct DcResult {
    QString winding;                    // as shown; part of the group key
    QString tapping;
    QString phase;                      // "A0" ... "BC"
    std::optional<Resistance> measured;
    std::optional<Resistance> converted;
    std::optional<double> conductorTemp;   // °C
    std::optional<double> referenceTemp;   // °C the converted value refers to
    int material = -1;                  // 0 copper, 1 aluminium, -1 unknown
};

// 0 copper, 1 aluminium, -1 another text: the material cell in either
// language, or "Cu"/"Al" in any case.
int materialOf(const QString& text);

// Reads a row of the DC result table (its cell texts in column order).
DcResult dcResultFromCells(const QStringList& cells);

// --- temperature cross-check -------------------------------------------------

constexpr double kCopperConstant = 235.0;
constexpr double kAluminiumConstant = 225.0;
constexpr double kCrossCheckTolerancePercent = 0.2;

// R·(T + θref) / (T + θ), T = 235 for copper and 225 for aluminium.
std::optional<double> convertedOhms(double measuredOhms, int material, double conductorTemp,
                                    double referenceTemp);

struct CrossCheck {
    enum Verdict { NotApplicable, Agrees, Differs };
    Verdict verdict = NotApplicable;
    double expectedOhms = 0.0;
    double deviationPercent = 0.0;   // (instrument − expected) / expected × 100
    double tolerancePercent = 0.0;   // the limit used: 0.2 %, or more where the shown digits cannot tell
};

CrossCheck crossCheck(const DcResult& row, double tolerancePercent = kCrossCheckTolerancePercent);

// --- balance ---------------------------------------------------------------

struct BalanceLimits {
    double phasePercent = 2.0;   // A0/B0/C0
    double linePercent = 1.0;    // AB/BC/AC

    static constexpr double kMinPercent = 0.01;  // for either limit
    static constexpr double kMaxPercent = 100.0;
    static constexpr int kDecimals = 2;
};

enum class PhaseKind { Phase, Line };

struct BalanceGroup {
    enum Status { Pass, Fail, Incomplete };
    enum Basis { Converted, Measured };

    QString winding;
    QString tapping;
    PhaseKind kind = PhaseKind::Phase;
    std::array<int, 3> rows{{-1, -1, -1}};   // input row of each phase in kind order; -1 missing
    std::array<double, 3> ohms{{0, 0, 0}};   // the compared values (only for a computed group)
    Basis basis = Converted;
    double imbalancePercent = 0.0;
    double limitPercent = 0.0;
    Status status = Incomplete;
};

// The three phase names of a kind, in the order the group lists them.
QStringList phaseNames(PhaseKind kind);

// Groups in the order their first row appears. A later row of the same
// phase replaces an earlier one (a repeated test counts). A group lacking a
// phase, or whose row for a phase has no value (placeholder, over range), is
// incomplete. Converted values are compared when all three rows have one,
// converted to the same temperature; otherwise the measured values of all three.
std::vector<BalanceGroup> balanceGroups(const std::vector<DcResult>& rows, const BalanceLimits& limits = {});

}  // namespace analysis
