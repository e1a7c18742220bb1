#include "sim/recordencoder.h"

#include <algorithm>
#include <cstring>

namespace sim {

namespace al = answerlayout;

namespace {

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
    record[al::kMaterialOrSample] = byteOf(c.dc.material);
    record[al::kCurrentCode] = byteOf(c.dc.currentIndex);
    record[al::kConvertedTemp] = byteOf(c.dc.convertedTemp);
    record[al::kTapping] = byteOf(c.dc.tapping);
    record[al::kPhase] = byteOf(c.dc.phase);
    record[al::kWinding] = byteOf(c.dc.winding);
    putU16(record, al::kConductorNo, static_cast<std::uint16_t>(std::clamp(c.dc.conductorNo, 0, al::kMaxConductorNo)));
    putU32(record, al::kConductorTemp, floatBits(c.dc.conductorTemp));
    putQuantity(record, al::kConverted, al::kConvertedUnit, c.converted);
}

void putLengthFields(Bytes& record, const RecordContent& c)
{
    record[al::kMaterialOrSample] = byteOf(c.length.sampleNo);
    record[al::kCurrentCode] = byteOf(c.length.currentIndex);
    putU16(record, al::kConductorNo, static_cast<std::uint16_t>(std::clamp(c.length.conductorNo, 0, al::kMaxConductorNo)));
    putU32(record, al::kCrossSection, floatBits(c.length.wireSquare));
    record[al::kStandardSetting] = byteOf(c.length.standardMode);
    putQuantity(record, al::kStandardValue, al::kStandardUnit, c.standard);
    putQuantity(record, al::kLength, al::kLengthUnit, c.conductorLength);
}

void putTime(Bytes& record, std::int64_t epochSeconds)
{
    const CivilTime t = civilTime(epochSeconds);
    record[al::kYear] = byteOf(std::min(t.year - 2000, 254));
    record[al::kYear + 1] = byteOf(t.month);
    record[al::kYear + 2] = byteOf(t.day);
    record[al::kYear + 3] = byteOf(t.hour);
    record[al::kYear + 4] = byteOf(t.minute);
    record[al::kYear + 5] = byteOf(t.second);
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
    record[al::kAnswerType] = static_cast<std::uint8_t>(type);
    record[al::kTestType] = content.lengthTest ? 1 : 0;
    if (content.lengthTest)
        putLengthFields(record, content);
    else
        putDcFields(record, content);
    putQuantity(record, al::kResistance, al::kResistanceUnit, content.resistance);
    putQuantity(record, al::kCurrent, al::kCurrentUnit, content.current);
    putU16(record, al::kRecordNo, content.numberOrCode);
    putU32(record, al::kAmbientTemp, floatBits(content.ambient));
    putTime(record, content.epochSeconds);
    record[al::kStatus] = content.status;
    sealRecord(record);
    return record;
}

void sealRecord(Bytes& record)
{
    putU16(record, al::kChecksum, protocol::checksum(record.data(), protocol::kChecksumFirst, protocol::kChecksumLast));
}

void renumberRecord(Bytes& record, std::uint16_t number)
{
    putU16(record, al::kRecordNo, number);
    sealRecord(record);
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
