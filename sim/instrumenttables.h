#pragma once
// The simulated instrument's physical constants: its test currents, the
// resistance each current range can measure, the battery limits and how long
// the phases of a test cycle last.

namespace sim::tables {

constexpr int kCurrentRanges = 20;   // indexes 0..19: 40 mA .. 10 A
constexpr int kTwelveVoltIndex = 20; // "12V/<5mA"
constexpr int kAutoIndex = 21;       // "AUTO"
constexpr int kCurrentSettings = 22;

constexpr double kCurrentAmps[kCurrentRanges] = {
    0.04, 0.08, 0.12, 0.16, 0.20, 0.24, 0.28, 0.32, 0.36, 0.40,
    1.0,  2.0,  3.0,  4.0,  5.0,  6.0,  7.0,  8.0,  9.0,  10.0,
};
constexpr double kTwelveVoltAmps = 0.005;
constexpr double kTwelveVolts = 12.0;

// Upper limit of measurable resistance in ohms, by current setting: table A
// (status bit 0 set) and table B.
constexpr double kRangeLimitA[kCurrentSettings] = {
    500.0, 250.0, 160.0, 125.0, 100.0, 80.0, 70.0, 60.0, 50.0, 50.0,
    20.0,  10.0,  6.0,   4.0,   4.0,   3.0,  2.0,  1.8,  1.6,  1.5,
    1.0e6, 1.0e6,
};
constexpr double kRangeLimitB[kCurrentSettings] = {
    300.0, 120.0, 100.0, 80.0,  60.0,  54.0,  48.0,  42.0,  36.0,  30.0,
    12.0,  6.0,   3.0,   1.5,   0.800, 0.680, 0.560, 0.440, 0.320, 0.200,
    1.0e6, 1.0e6,
};

// Highest current index a battery of so many cells may drive.
constexpr int kHighestIndexOneCell = 9;    // 400 mA
constexpr int kHighestIndexTwoCells = 11;  // 2 A
int highestAllowedIndex(int batteryCells);

// Temperature constants of the conversion R·(T+θref)/(T+θ).
constexpr double kCopperT = 235.0;
constexpr double kAluminiumT = 225.0;
// Resistivity of copper at 20 °C, Ω·mm²/m: the length screen's conductor.
constexpr double kCopperResistivity = 0.017241;

constexpr double kMaximumTestingSeconds = 600.0;
constexpr double kDangerAmps = 5.0;         // discharging this much current is dangerous
constexpr double kLengthLimitMetres = 999990.0;
constexpr double kChargingBaseSeconds = 1.5;
constexpr double kChargingSecondsPerAmp = 0.3;
constexpr double kDischargingBaseSeconds = 1.0;
constexpr double kDischargingSecondsPerAmp = 0.4;

double chargingSeconds(double amps);
double dischargingSeconds(double amps);

// How a current setting drives a given resistance: the range actually used
// (AUTO picks the strongest allowed range that can measure it), the current
// it drives and the resistance above which the reading is over range.
struct Drive {
    int rangeIndex = 0;   // 0..19, or kTwelveVoltIndex
    double amps = 0.0;
    double limitOhms = 0.0;
    double volts = 0.0;   // the most the range can drive: its limit times its current
};
Drive driveFor(int currentIndex, double ohms, bool highLimitTable, bool lengthTest, int batteryCells);
// The current that flows through `ohms`: the range's own, or less when the
// resistance is too high for it.
double drivenAmps(const Drive& drive, double ohms);

// R·(T+θref)/(T+θ) with T of the conductor's material (0 copper, 1 aluminium).
double convertedOhms(double ohms, int material, double referenceTemp, double conductorTemp);

}  // namespace sim::tables
