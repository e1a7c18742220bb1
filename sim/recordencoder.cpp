#include "recordencoder.h"

#include <algorithm>
#include <cstring>

namespace sim {

namespace {

// Byte offsets of the 63-byte record.
namespace at {
constexpr std::size_t kType = 4;
constexpr std::size_t kTestType = 5;
constexpr std::size_t kMaterialOrSample = 6;
constexpr std::size_t kCurrentIndex = 7;
constexpr std::size_t kConvertedTemp = 8;
constexpr std::size_t kTapping = 9;
constexpr std::size_t kPhase = 10;
constexpr std::size_t kWinding = 11;
constexpr std::size_t kConductorNo = 12;
constexpr std::size_t kConductorTemp = 14;
constexpr std::size_t kResistance = 18;
constexpr std::size_t kResistanceUnit = 22;
constexpr std::size_t kCurrent = 23;
constexpr std::size_t kCurrentUnit = 27;
constexpr std::size_t kConverted = 28;
constexpr std::size_t kConvertedUnit = 32;
constexpr std::size_t kNumber = 33;
constexpr std::size_t kWireSquare = 35;
constexpr std::size_t kStandardMode = 39;
constexpr std::size_t kStandardValue = 40;
constexpr std::size_t kStandardUnit = 44;
constexpr std::size_t kLength = 45;
constexpr std::size_t kAmbient = 49;
constexpr std::size_t kYear = 53;
constexpr std::size_t kStatus = 59;
constexpr std::size_t kLengthUnit = 60;
constexpr std::size_t kChecksum = 61;
}  // namespace at

std::uint32_t floatBits(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

void putU16(Bytes& record, std::size_t offset, std::uint16_t value)
{
    record[offset] = static_cast<std::uint8_t>(value >> 8);
    record[offset + 1] = static_cast<std::uint8_t>(value & 0xFF);
}

void putU32(Bytes& record, std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        record[offset + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

void putQuantity(Bytes& record, std::size_t valueOffset, std::size_t unitOffset, Quantity q)
{
    putU32(record, valueOffset, q.bits);
    record[unitOffset] = q.unit;
}

std::uint8_t byteOf(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

void putDcFields(Bytes& record, const RecordContent& c)
{
    record[at::kMaterialOrSample] = byteOf(c.dc.material);
    record[at::kCurrentIndex] = byteOf(c.dc.currentIndex);
    record[at::kConvertedTemp] = byteOf(c.dc.convertedTemp);
    record[at::kTapping] = byteOf(c.dc.tapping);
    record[at::kPhase] = byteOf(c.dc.phase);
    record[at::kWinding] = byteOf(c.dc.winding);
    putU16(record, at::kConductorNo, static_cast<std::uint16_t>(std::clamp(c.dc.conductorNo, 0, 9999)));
    putU32(record, at::kConductorTemp, floatBits(c.dc.conductorTemp));
    putQuantity(record, at::kConverted, at::kConvertedUnit, c.converted);
}

void putLengthFields(Bytes& record, const RecordContent& c)
{
    record[at::kMaterialOrSample] = byteOf(c.length.sampleNo);
    record[at::kCurrentIndex] = byteOf(c.length.currentIndex);
    putU16(record, at::kConductorNo, static_cast<std::uint16_t>(std::clamp(c.length.conductorNo, 0, 9999)));
    putU32(record, at::kWireSquare, floatBits(c.length.wireSquare));
    record[at::kStandardMode] = byteOf(c.length.standardMode);
    putQuantity(record, at::kStandardValue, at::kStandardUnit, c.standard);
    putQuantity(record, at::kLength, at::kLengthUnit, c.conductorLength);
}

void putTime(Bytes& record, std::int64_t epochSeconds)
{
    const CivilTime t = civilTime(epochSeconds);
    record[at::kYear] = byteOf(std::min(t.year - 2000, 254));
    record[at::kYear + 1] = byteOf(t.month);
    record[at::kYear + 2] = byteOf(t.day);
    record[at::kYear + 3] = byteOf(t.hour);
    record[at::kYear + 4] = byteOf(t.minute);
    record[at::kYear + 5] = byteOf(t.second);
}

}  // namespace

Quantity zeroQuantity() { return {0u, 0}; }
Quantity noValue() { return {0xFFFFFFFFu, 0xFF}; }

Quantity quantity(double value, std::uint8_t unit)
{
    return {floatBits(static_cast<float>(value)), unit};
}

Quantity resistanceQuantity(double ohms)
{
    if (ohms < 1e-3)
        return quantity(ohms * 1e6, 0);
    if (ohms < 1.0)
        return quantity(ohms * 1e3, 1);
    if (ohms < 1e3)
        return quantity(ohms, 2);
    if (ohms < 1e6)
        return quantity(ohms / 1e3, 3);
    return quantity(ohms / 1e6, 4);
}

Quantity currentQuantity(double amps)
{
    if (amps < 1.0)
        return quantity(amps * 1e3, 0);
    return quantity(amps, 1);
}

Quantity lengthQuantity(double metres)
{
    if (metres < 1000.0)
        return quantity(metres, 0);
    return quantity(metres / 1000.0, 1);
}

double standardUnitFactor(int unitCode)
{
    static constexpr double kFactors[] = {1e-6, 1e-3, 1.0};
    return kFactors[std::clamp(unitCode, 0, 2)];
}

Quantity standardQuantity(double ohmsPerMetre)
{
    const std::uint8_t unit = ohmsPerMetre < 1e-3 ? 0 : (ohmsPerMetre < 1.0 ? 1 : 2);
    return quantity(ohmsPerMetre / standardUnitFactor(unit), unit);
}

Bytes encodeRecord(protocol::AnswerType type, const RecordContent& content)
{
    Bytes record(protocol::kRecordSize, 0);
    record[0] = protocol::kStart1;
    record[1] = protocol::kStart2;
    putU16(record, 2, static_cast<std::uint16_t>(protocol::kRecordSize - protocol::kHeaderSize));
    record[at::kType] = static_cast<std::uint8_t>(type);
    record[at::kTestType] = content.lengthTest ? 1 : 0;
    if (content.lengthTest)
        putLengthFields(record, content);
    else
        putDcFields(record, content);
    putQuantity(record, at::kResistance, at::kResistanceUnit, content.resistance);
    putQuantity(record, at::kCurrent, at::kCurrentUnit, content.current);
    putU16(record, at::kNumber, content.numberOrCode);
    putU32(record, at::kAmbient, floatBits(content.ambient));
    putTime(record, content.epochSeconds);
    record[at::kStatus] = content.status;
    putU16(record, at::kChecksum, protocol::checksum(record.data(), protocol::kChecksumFirst, protocol::kChecksumLast));
    return record;
}

CivilTime civilTime(std::int64_t epochSeconds)
{
    // Days to civil date, proleptic Gregorian calendar.
    std::int64_t days = epochSeconds / 86400;
    std::int64_t rest = epochSeconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t mp = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day, static_cast<int>(rest / 3600), static_cast<int>(rest % 3600 / 60),
            static_cast<int>(rest % 60)};
}

}  // namespace sim
