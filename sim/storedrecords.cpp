#include "sim/storedrecords.h"

#include "sim/instrumenttables.h"
#include "sim/recordencoder.h"

#include <cmath>
#include <cstring>
#include <random>

namespace sim {

namespace {

constexpr int kShortestGapSeconds = 120;
constexpr int kLongestGapSeconds = 5400;
constexpr double kLengthRecordShare = 0.4;
constexpr int kOverRangeEvery = 15;  // about one record in so many is over range
constexpr int kFullBattery = 3;
constexpr float kWireSquares[] = {1.0f, 1.5f, 2.5f, 4.0f, 6.0f, 10.0f, 16.0f, 25.0f, 35.0f, 50.0f};
constexpr int kConvertedTemps[] = {20, 75, 115};

int uniformInt(std::mt19937& random, int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(random);
}

double uniformReal(std::mt19937& random, double low, double high)
{
    return std::uniform_real_distribution<double>(low, high)(random);
}

template <typename T, std::size_t N>
T pick(std::mt19937& random, const T (&values)[N])
{
    return values[uniformInt(random, 0, int(N) - 1)];
}

double roundedTo(double value, double step)
{
    return std::round(value / step) * step;
}

double valueOf(Quantity q)
{
    float value;
    std::memcpy(&value, &q.bits, sizeof value);
    return value;
}

int randomCurrentIndex(std::mt19937& random, bool lengthTest)
{
    const int index = uniformInt(random, 0, tables::kCurrentSettings - 1);
    return lengthTest && index == tables::kTwelveVoltIndex ? tables::kAutoIndex : index;
}

DcSetup randomDcSetup(std::mt19937& random)
{
    DcSetup s;
    s.material = uniformInt(random, 0, 4) == 0 ? 1 : 0;
    s.currentIndex = randomCurrentIndex(random, false);
    s.convertedTemp = pick(random, kConvertedTemps);
    s.tapping = uniformInt(random, 1, 17);
    s.phase = uniformInt(random, 1, 6);
    s.winding = uniformInt(random, 0, 1);
    s.conductorNo = uniformInt(random, 0, 9999);
    s.conductorTemp = static_cast<float>(roundedTo(uniformReal(random, -5.0, 45.0), 0.1));
    return s;
}

LengthSetup randomLengthSetup(std::mt19937& random)
{
    LengthSetup s;
    s.sampleNo = uniformInt(random, 0, 199);
    s.currentIndex = randomCurrentIndex(random, true);
    s.conductorNo = uniformInt(random, 0, 9999);
    s.wireSquare = pick(random, kWireSquares);
    s.standardMode = uniformInt(random, 0, 1);
    return s;
}

// The resistance measured: mostly well inside the range, sometimes beyond it.
double randomResistance(std::mt19937& random, double limitOhms)
{
    if (uniformInt(random, 1, kOverRangeEvery) == 1)
        return limitOhms * 1.5;
    return limitOhms * std::pow(10.0, -uniformReal(random, 0.3, 3.0));
}

void fillLengthReading(RecordContent& c, double ohms)
{
    const double metres = ohms / (valueOf(c.standard) * standardUnitFactor(c.standard.unit));
    if (metres > tables::kLengthLimitMetres) {
        c.status |= answerlayout::kLengthOverRangeBit;
        c.conductorLength = noValue();
    } else {
        c.conductorLength = lengthQuantity(metres);
    }
}

RecordContent randomRecord(std::mt19937& random, bool highLimitTable)
{
    RecordContent c;
    c.lengthTest = uniformReal(random, 0.0, 1.0) < kLengthRecordShare;
    c.ambient = static_cast<float>(roundedTo(uniformReal(random, 5.0, 35.0), 0.1));
    c.status = highLimitTable ? answerlayout::kHighLimitTableBit : 0;
    int currentIndex = 0;
    if (c.lengthTest) {
        c.length = randomLengthSetup(random);
        currentIndex = c.length.currentIndex;
        const double perMetre = tables::kCopperResistivity / c.length.wireSquare;
        c.standard = standardQuantity(perMetre * (1.0 + uniformReal(random, -0.01, 0.01)));
        c.length.standardUnit = c.standard.unit;
    } else {
        c.dc = randomDcSetup(random);
        currentIndex = c.dc.currentIndex;
    }
    const double limit =
        tables::driveFor(currentIndex, 1.0, highLimitTable, c.lengthTest, kFullBattery).limitOhms;
    const double ohms = randomResistance(random, limit);
    const tables::Drive drive = tables::driveFor(currentIndex, ohms, highLimitTable, c.lengthTest, kFullBattery);
    c.current = currentQuantity(tables::drivenAmps(drive, ohms));
    if (ohms > drive.limitOhms) {
        c.status |= answerlayout::kResistanceOverRangeBit;
        c.resistance = c.converted = c.conductorLength = noValue();
        return c;
    }
    c.resistance = resistanceQuantity(ohms);
    if (c.lengthTest)
        fillLengthReading(c, ohms);
    else
        c.converted = resistanceQuantity(
            tables::convertedOhms(ohms, c.dc.material, c.dc.convertedTemp, c.dc.conductorTemp));
    return c;
}

}  // namespace

std::vector<protocol::Bytes> makeStoredRecords(int count, std::uint32_t seed, bool highLimitTable,
                                               std::int64_t newestEpochSeconds)
{
    std::mt19937 random(seed);
    std::vector<std::int64_t> times(static_cast<std::size_t>(std::max(count, 0)));
    std::int64_t when = newestEpochSeconds;
    for (auto it = times.rbegin(); it != times.rend(); ++it) {
        *it = when;
        when -= uniformInt(random, kShortestGapSeconds, kLongestGapSeconds);
    }
    std::vector<protocol::Bytes> records;
    records.reserve(times.size());
    for (std::size_t i = 0; i < times.size(); ++i) {
        RecordContent c = randomRecord(random, highLimitTable);
        c.epochSeconds = times[i];
        c.numberOrCode = static_cast<std::uint16_t>(i + 1);
        records.push_back(encodeRecord(protocol::AnswerType::StoredRecord, c));
    }
    return records;
}

}  // namespace sim
