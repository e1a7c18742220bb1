#include "instrumenttables.h"

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

double limitOf(int index, bool highLimitTable)
{
    return highLimitTable ? kRangeLimitA[index] : kRangeLimitB[index];
}

// A margin so that AUTO does not pick a range the reading would leave with noise.
constexpr double kAutoMargin = 1.05;

}  // namespace

Drive driveFor(int currentIndex, double ohms, bool highLimitTable, bool lengthTest, int batteryCells)
{
    Drive drive;
    if (currentIndex >= 0 && currentIndex < kCurrentRanges) {
        drive.rangeIndex = currentIndex;
        drive.amps = kCurrentAmps[currentIndex];
        drive.limitOhms = limitOf(currentIndex, highLimitTable);
        return drive;
    }
    if (currentIndex == kAutoIndex) {
        for (int index = std::min(highestAllowedIndex(batteryCells), kCurrentRanges - 1); index >= 0; --index) {
            if (limitOf(index, highLimitTable) >= ohms * kAutoMargin) {
                drive.rangeIndex = index;
                drive.amps = kCurrentAmps[index];
                // Over range on AUTO is judged against the whole AUTO span.
                drive.limitOhms = lengthTest ? limitOf(0, highLimitTable) : limitOf(kAutoIndex, highLimitTable);
                return drive;
            }
        }
        if (lengthTest) {
            drive.rangeIndex = 0;
            drive.amps = kCurrentAmps[0];
            drive.limitOhms = limitOf(0, highLimitTable);
            return drive;
        }
    }
    drive.rangeIndex = kTwelveVoltIndex;
    drive.amps = kTwelveVoltAmps;
    drive.limitOhms = limitOf(kTwelveVoltIndex, highLimitTable);
    return drive;
}

}  // namespace sim::tables
