#include "data/receivethread.h"

#include "link/answerlayout.h"
#include "data/formattables.h"
#include "link/protocol.h"
#include "link/settingsframes.h"
#include "link/statuscodes.h"

#include <cmath>
#include <utility>
#include <optional>

namespace al = answerlayout;
namespace ft = formattables;

namespace {

const QString kDegrees = QStringLiteral("℃");
const QString kNoReading = QStringLiteral("------");

QString fixed(double value, int decimals) { return QString::number(value, 'f', decimals); }

bool isExponentForm(const QString& text) { return text.contains(QLatin1Char('e')); }

int digitCount(const QString& text)
{
    int digits = 0;
    for (QChar c : text)
        digits += c.isDigit() ? 1 : 0;
    return digits;
}

// Writes one answer into a record. Every decode step returns false as soon as
// the answer turns out invalid.
class AnswerDecoder
{
public:
    AnswerDecoder(const unsigned char* answer, ReceiveData& record)
        : a(answer), r(record), realTime(answer[al::kAnswerType] == al::kRealTimeAnswer)
    {
    }

    bool decode()
    {
        if (!commonRangesValid())
            return false;
        r.testType = a[al::kTestType];
        decodeCycleOrRecordNo();
        decodeStatus();
        const bool blockValid = r.testType == 0 ? decodeDcBlock() : decodeLengthBlock();
        if (!blockValid)
            return false;
        r.conductorNo = QString::number(u16(al::kConductorNo));
        return decodeTestedResistance() && decodeCurrent() && decodeAmbientAndTime();
    }

private:
    std::uint16_t u16(std::size_t offset) const { return protocol::readU16(a + offset); }
    std::uint32_t raw(std::size_t offset) const { return protocol::readU32(a + offset); }
    double value(std::size_t offset) const { return double(protocol::readFloat(a + offset)); }

    bool commonRangesValid() const
    {
        if (a[al::kTestType] > 1 || a[al::kCurrentCode] > al::kMaxCurrentCode)
            return false;
        if (u16(al::kConductorNo) > al::kMaxConductorNo || u16(al::kRecordNo) > al::kMaxRecordNo)
            return false;
        for (std::size_t i = 0; i < al::kDateTimeBytes; ++i) {
            if (a[al::kYear + i] == al::kUnsetByte)
                return false;
        }
        return true;
    }

    void decodeCycleOrRecordNo()
    {
        if (realTime) {
            if (a[al::kCycleCode] == al::kCycleStarted)
                r.charging = true;
            else if (a[al::kCycleCode] == al::kCycleEnded)
                r.charging = false;
        } else {
            r.recordNo = QString::number(u16(al::kRecordNo));
        }
    }

    void decodeStatus()
    {
        const unsigned char status = a[al::kStatus];
        r.highLimitTable = status & al::kHighLimitTableBit;
        r.statusFlag1 = status & al::kStatusFlag1Bit;
        r.resistanceOverRange = status & al::kResistanceOverRangeBit;
        r.lengthOverRange = status & al::kLengthOverRangeBit;
        if (!realTime)
            return;
        r.testState = (status >> al::kTestStateShift) & al::kTestStateMask;
        r.testStatus = ft::testStatus(r.testState, r.charging);
        r.danger = status & al::kDangerBit;
    }

    bool dcBlockValid() const
    {
        return a[al::kMaterialOrSample] <= 1 && a[al::kTapping] <= al::kMaxTapping
            && a[al::kPhase] <= al::kMaxPhase && a[al::kWinding] <= 1 && a[al::kStandardSetting] == 0
            && raw(al::kCrossSection) == al::kZero && raw(al::kStandardValue) == al::kZero
            && a[al::kStandardUnit] == 0 && raw(al::kLength) == al::kZero && a[al::kLengthUnit] == 0;
    }

    bool decodeDcBlock()
    {
        if (!dcBlockValid())
            return false;
        const int material = a[al::kMaterialOrSample];
        r.conductorMaterial = ft::conductorMaterial(material).value_or(QString());
        r.conductorMaterialIndex = material;
        r.currentSetting = ft::dcCurrentSetting(a[al::kCurrentCode]).value_or(QString());
        r.currentSettingIndex = a[al::kCurrentCode];
        r.convertedTemp = QString::number(a[al::kConvertedTemp]) + kDegrees;
        r.tapping = QStringLiteral("%1").arg(a[al::kTapping], 2, 10, QLatin1Char('0'));
        // Phase byte 0 names no phase: no text, and index -1 leaves a list unselected.
        r.phaseTypeIndex = a[al::kPhase] - 1;
        r.phaseType = ft::phase(r.phaseTypeIndex).value_or(QString());
        r.windingIndex = a[al::kWinding];
        r.winding = ft::winding(r.windingIndex).value_or(QString());
        decodeConductorTemperature();
        if (!decodeConvertedResistance())
            return false;
        clearLengthTexts();
        return true;
    }

    void decodeConductorTemperature()
    {
        const double temperature = value(al::kConductorTemp);
        r.conductorTempValue = fixed(temperature, 2);
        const QString sign = temperature >= 0 ? QStringLiteral("+") : QString();
        r.conductorTemp = sign + r.conductorTempValue + kDegrees;
    }

    void clearLengthTexts()
    {
        r.sampleNo.clear();
        r.wireSquare.clear();
        r.standardSetting.clear();
        r.standardValue.clear();
        r.standardUnit.clear();
        r.conductorLength.clear();
        r.conductorLengthUnit.clear();
    }

    bool lengthBlockValid() const
    {
        return a[al::kConvertedTemp] == 0 && a[al::kTapping] == 0 && a[al::kPhase] == 0
            && a[al::kWinding] == 0 && raw(al::kConductorTemp) == al::kZero
            && raw(al::kConverted) == al::kZero && a[al::kConvertedUnit] == 0
            && a[al::kStandardSetting] <= 1 && a[al::kStandardUnit] <= 2
            && a[al::kMaterialOrSample] <= al::kMaxSampleNo;
    }

    bool decodeLengthBlock()
    {
        if (!lengthBlockValid())
            return false;
        clearDcTexts();
        r.sampleNo = QString::number(a[al::kMaterialOrSample]);
        // The length test has no 12 V range: code 20 names no setting of it.
        const std::optional<QString> current = ft::lengthCurrentSetting(a[al::kCurrentCode]);
        if (!current)
            return false;
        r.currentSetting = *current;
        r.currentSettingIndex = a[al::kCurrentCode];
        r.standardSettingIndex = a[al::kStandardSetting];
        r.standardSetting = realTime ? ft::standardSetting(r.standardSettingIndex).value_or(QString()) : QString();
        r.standardValue = fixed(value(al::kStandardValue), 3);
        r.standardUnitIndex = a[al::kStandardUnit];
        r.standardUnit = ft::standardUnit(r.standardUnitIndex).value_or(QString());
        if (!decodeConductorLength())
            return false;
        r.wireSquare = QString::number(value(al::kCrossSection), 'g', 10);
        if (!realTime)
            r.wireSquare += ReceiveThread::tr("平方");
        return true;
    }

    void clearDcTexts()
    {
        r.conductorMaterial.clear();
        r.convertedTemp.clear();
        r.tapping.clear();
        r.phaseType.clear();
        r.winding.clear();
        r.conductorTemp.clear();
        r.conductorTempValue.clear();
        r.convertedResistance.clear();
        r.convertedResistanceUnit.clear();
    }

    // A measured resistance must be a number no larger than the instrument's
    // largest (NaN and infinities are not readings).
    static bool resistanceAcceptable(double v) { return std::isfinite(v) && v <= al::kMaxResistance; }

    // 0xFF is the instrument's "no unit" code and reads as no text; codes
    // that name nothing make the answer invalid.
    static std::optional<QString> unitOrNone(std::optional<QString> unit, int code)
    {
        if (unit)
            return unit;
        if (code == al::kNoUnit)
            return QString();
        return std::nullopt;
    }

    bool decodeTestedResistance()
    {
        const std::uint32_t pattern = raw(al::kResistance);
        const int unitCode = a[al::kResistanceUnit];
        r.testedResistanceUnitIndex = unitCode;
        if (pattern == al::kNoValue && unitCode == al::kNoUnit) {
            if (r.resistanceOverRange)
                writeResistanceOverRange();
            else
                writeResistancePlaceholder();
            return true;
        }
        if (pattern == al::kZero && r.testState == 0) {
            writeResistancePlaceholder();
            return true;
        }
        const double v = value(al::kResistance);
        const std::optional<QString> unit = unitOrNone(ft::resistanceUnit(unitCode), unitCode);
        if (!resistanceAcceptable(v) || !unit)
            return false;
        r.testedResistance = unitCode == 0 ? fixed(v, 1) : ReceiveThread::formatSixChars(float(v));
        r.testedResistanceUnit = *unit;
        return true;
    }

    void writeResistancePlaceholder()
    {
        if (r.testType == 1)
            r.testedResistance = ReceiveThread::tr("------μΩ");
        else if (r.charging)
            r.testedResistance = ReceiveThread::tr("充电中······");
        else
            r.testedResistance = ReceiveThread::tr("等待测试···");
        r.testedResistanceUnit.clear();
    }

    void writeResistanceOverRange()
    {
        const bool lengthAuto = r.testType == 1 && r.currentSettingIndex == protocol::kAutoCode;
        const int row = lengthAuto ? 0 : r.currentSettingIndex;
        // The row always exists: the current code was range-checked first.
        const ft::RangeLimit limit = ft::rangeLimit(row, r.highLimitTable).value_or(ft::RangeLimit{});
        r.resistanceLimit = limit.limit;
        r.testedResistance = QStringLiteral(">") + limit.limit;
        r.testedResistanceUnit = limit.unit;
    }

    bool decodeConvertedResistance()
    {
        const std::uint32_t pattern = raw(al::kConverted);
        const int unitCode = a[al::kConvertedUnit];
        // A missing converted value with no unit code still reads "μΩ".
        const std::optional<QString> unit =
            unitCode == al::kNoUnit ? ft::resistanceUnit(0) : ft::resistanceUnit(unitCode);
        if (!unit)
            return false;
        if (pattern == al::kNoValue || (pattern == al::kZero && r.testState == 0)) {
            r.convertedResistance = kNoReading;
        } else {
            const double v = value(al::kConverted);
            if (!resistanceAcceptable(v))
                return false;
            r.convertedResistance = unitCode == 0 ? fixed(v, 1) : ReceiveThread::formatSixChars(float(v));
        }
        r.convertedResistanceUnit = *unit;
        return true;
    }

    bool decodeConductorLength()
    {
        const std::uint32_t pattern = raw(al::kLength);
        const int unitCode = a[al::kLengthUnit];
        if (pattern == al::kNoValue && unitCode == al::kNoUnit) {
            r.conductorLength = r.lengthOverRange ? QStringLiteral(">999.99KM") : QStringLiteral("------M");
            r.conductorLengthUnit.clear();
            return true;
        }
        if (pattern == al::kZero && r.testState == 0) {
            r.conductorLength = QStringLiteral("------M");
            r.conductorLengthUnit.clear();
            return true;
        }
        const double v = value(al::kLength);
        const std::optional<QString> unit = unitOrNone(ft::lengthUnit(unitCode), unitCode);
        if (!std::isfinite(v) || !unit)
            return false;
        r.conductorLength = ReceiveThread::formatSixChars(float(v));
        r.conductorLengthUnit = *unit;
        return true;
    }

    bool decodeCurrent()
    {
        const std::uint32_t pattern = raw(al::kCurrent);
        const int unitCode = a[al::kCurrentUnit];
        const std::optional<QString> unit =
            unitCode == al::kNoUnit ? ft::currentUnit(0) : ft::currentUnit(unitCode);
        if (!unit)
            return false;
        r.testedCurrent = pattern == al::kZero || pattern == al::kNoValue ? kNoReading : fixed(value(al::kCurrent), 2);
        r.testedCurrentUnit = *unit;
        return true;
    }

    bool decodeAmbientAndTime()
    {
        r.environmentTemp = raw(al::kAmbientTemp) == al::kNoValue ? kNoReading + kDegrees
                                                                   : fixed(value(al::kAmbientTemp), 1) + kDegrees;
        const unsigned char* t = a + al::kYear;
        r.testTime = QStringLiteral("%1-%2-%3 %4:%5:%6")
                         .arg(2000 + t[0])
                         .arg(t[1], 2, 10, QLatin1Char('0'))
                         .arg(t[2], 2, 10, QLatin1Char('0'))
                         .arg(t[3], 2, 10, QLatin1Char('0'))
                         .arg(t[4], 2, 10, QLatin1Char('0'))
                         .arg(t[5], 2, 10, QLatin1Char('0'));
        return true;
    }

    const unsigned char* a;
    ReceiveData& r;
    const bool realTime;
};

bool answerComplete(const std::vector<unsigned char>& data)
{
    return protocol::recordChecksumValid(data.data(), data.size());
}

bool answerOfType(const std::vector<unsigned char>& data, unsigned char type)
{
    return data[al::kAnswerType] == type;
}

}  // namespace

ReceiveThread::ReceiveThread(QObject* parent) : QObject(parent) {}

QString ReceiveThread::formatSixChars(float value)
{
    const double v = value;
    const QString six = QString::number(v, 'g', 6);
    if (six.size() > 6) {
        const QString five = QString::number(v, 'g', 5);
        if (five.size() > 5 || isExponentForm(five))
            return five;
        if (five.contains(QLatin1Char('.')))
            return five.leftJustified(6, QLatin1Char('0'));
        // Whole number of up to five digits ("2" of 2.00001): five significant
        // digits in fixed notation keep the value ("2.0000", "12346").
        return fixed(v, 5 - digitCount(five));
    }
    if (six.size() == 6 || isExponentForm(six))
        return six;
    return fixed(v, 4).left(6);
}

bool ReceiveThread::parseAnswer(const std::vector<unsigned char>& data)
{
    // Decode into a copy so that a rejected answer leaves no trace in the held record.
    ReceiveData record = m_record;
    if (!AnswerDecoder(data.data(), record).decode())
        return false;
    std::swap(m_record, record);
    return true;
}

void ReceiveThread::parseRealTimeData(const std::vector<unsigned char>& data)
{
    if (!answerComplete(data)) {
        emit stateProcessing(tr("读取到的数据校验和错误"), linkstatus::ReadingFailed);
        return;
    }
    if (!answerOfType(data, al::kRealTimeAnswer) || !parseAnswer(data)) {
        emit stateProcessing(tr("读取实时数据失败"), linkstatus::ReadingFailed);
        return;
    }
    emit finishReadRealTimeData(m_record);
}

void ReceiveThread::parseReadBackData(const std::vector<unsigned char>& data, int readedNum)
{
    if (!answerComplete(data)) {
        emit stateProcessing(tr("读取第%1组数据校验和错误").arg(readedNum), linkstatus::RecordFailed);
        return;
    }
    if (!answerOfType(data, al::kStoredAnswer) || !parseAnswer(data)) {
        emit stateProcessing(tr("读取第%1组数据失败").arg(readedNum), linkstatus::RecordFailed);
        return;
    }
    emit finishReadReadBackData(m_record, readedNum);
}

void ReceiveThread::endReadBack(int readedNum)
{
    emit readBackEnded(readedNum);
}
