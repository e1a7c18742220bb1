#include "sim/instrumenttables.h"

#include <algorithm>

namespace sim::tables {

int highestAllowedIndex(int batteryCells)
{
    if (batteryCells <= 1)
        return kHighestIndexOneCell;
    if (batteryCells == 2)
        return kHighestIndexTwoCells;
    return kCurrentRanges - 1;
}

double chargingSeconds(double amps)
{
    return kChargingBaseSeconds + kChargingSecondsPerAmp * amps;
}

double dischargingSeconds(double amps)
{
    return kDischargingBaseSeconds + kDischargingSecondsPerAmp * amps;
}

namespace {

// A margin so that AUTO does not pick a range the reading would leave with noise.
constexpr double kAutoMargin = 1.05;

double limitOf(int index, bool highLimitTable)
{
    return highLimitTable ? kRangeLimitA[index] : kRangeLimitB[index];
}

Drive fixedRange(int index, bool highLimitTable)
{
    Drive drive;
    drive.rangeIndex = index;
    drive.amps = index == kTwelveVoltIndex ? kTwelveVoltAmps : kCurrentAmps[index];
    drive.limitOhms = limitOf(index, highLimitTable);
    return drive;
}

// AUTO takes the strongest range the battery allows that can still measure
// the resistance; over range on AUTO is judged against the whole AUTO span
// (the length screen's AUTO only reaches as far as the 40 mA range).
Drive autoRange(double ohms, bool highLimitTable, bool lengthTest, int batteryCells)
{
    for (int index = highestAllowedIndex(batteryCells); index >= 0; --index) {
        if (limitOf(index, highLimitTable) >= ohms * kAutoMargin) {
            Drive drive = fixedRange(index, highLimitTable);
            drive.limitOhms = lengthTest ? limitOf(0, highLimitTable) : limitOf(kAutoIndex, highLimitTable);
            return drive;
        }
    }
    return fixedRange(lengthTest ? 0 : kTwelveVoltIndex, highLimitTable);
}

}  // namespace

Drive driveFor(int currentIndex, double ohms, bool highLimitTable, bool lengthTest, int batteryCells)
{
    Drive drive;
    if (currentIndex == kAutoIndex)
        drive = autoRange(ohms, highLimitTable, lengthTest, batteryCells);
    else if (currentIndex >= 0 && currentIndex < kCurrentRanges)
        drive = fixedRange(currentIndex, highLimitTable);
    else
        drive = fixedRange(kTwelveVoltIndex, highLimitTable);
    drive.volts = drive.rangeIndex == kTwelveVoltIndex ? kTwelveVolts
                                                        : limitOf(drive.rangeIndex, highLimitTable) * drive.amps;
    return drive;
}

double drivenAmps(const Drive& drive, double ohms)
{
    return ohms > 0.0 ? std::min(drive.amps, drive.volts / ohms) : drive.amps;
}

double convertedOhms(double ohms, int material, double referenceTemp, double conductorTemp)
{
    const double t = material == 1 ? kAluminiumT : kCopperT;
    return ohms * (t + referenceTemp) / (t + conductorTemp);
}

}  // namespace sim::tables
