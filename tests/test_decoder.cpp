// The answer decoder: 63-byte record answers into display records.

#include "tests/answerbuilder.h"
#include "tests/decodedanswer.h"

#include <QtTest>

#include <functional>
#include <map>

namespace al = answerlayout;
using protocol::Bytes;

Q_DECLARE_METATYPE(Bytes)

namespace {

#define FIELD(f) {#f, [](const ReceiveData& r) { return QVariant(r.f).toString(); }}
const std::map<QString, std::function<QString(const ReceiveData&)>> kFields = {
    FIELD(testType), FIELD(conductorMaterial), FIELD(conductorMaterialIndex), FIELD(currentSetting),
    FIELD(currentSettingIndex), FIELD(convertedTemp), FIELD(tapping), FIELD(phaseType), FIELD(phaseTypeIndex),
    FIELD(winding), FIELD(windingIndex), FIELD(conductorNo), FIELD(conductorTempValue), FIELD(conductorTemp),
    FIELD(testedResistance), FIELD(resistanceLimit), FIELD(testedResistanceUnit), FIELD(testedResistanceUnitIndex),
    FIELD(testedCurrent), FIELD(testedCurrentUnit), FIELD(convertedResistance), FIELD(convertedResistanceUnit),
    FIELD(environmentTemp), FIELD(sampleNo), FIELD(wireSquare), FIELD(standardSetting), FIELD(standardSettingIndex),
    FIELD(standardValue), FIELD(standardUnit), FIELD(standardUnitIndex), FIELD(conductorLength), FIELD(recordNo),
    FIELD(testTime), FIELD(charging), FIELD(highLimitTable), FIELD(resistanceOverRange), FIELD(testState),
    FIELD(testStatus), FIELD(danger), FIELD(conductorLengthUnit)};
#undef FIELD

// Each entry reads "field=text".
void checkFields(const ReceiveData& r, const QStringList& expected)
{
    for (const QString& entry : expected) {
        const QString name = entry.section(QLatin1Char('='), 0, 0);
        QCOMPARE(name + QLatin1Char('=') + (kFields.count(name) ? kFields.at(name)(r) : "<no such field>"), entry);
    }
}

AnswerBuilder dc() { return AnswerBuilder::dcExample(); }
AnswerBuilder length() { return AnswerBuilder::lengthExample(); }

// An answer with the given status, current code, cycle code, resistance bits and unit code.
AnswerBuilder reading(AnswerBuilder b, int status, int current, int cycle, quint32 bits, int unit)
{
    b.set(al::kStatus, std::uint8_t(status)).set(al::kCurrentCode, std::uint8_t(current));
    return b.set(al::kCycleCode, std::uint8_t(cycle)).setRaw32(al::kResistance, bits).set(al::kResistanceUnit, std::uint8_t(unit));
}

const QString kFailedRealTime = QStringLiteral("读取实时数据失败");
const QString kChecksumRealTime = QStringLiteral("读取到的数据校验和错误");

}  // namespace

class TestDecoder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<ReceiveData>("ReceiveData"); }

    void workedAnswers()
    {
        ReceiveThread parser;
        const Bytes answer = dc().bytes();
        QCOMPARE(std::make_pair(int(answer[61]), int(answer[62])), std::make_pair(0x05, 0x50));
        Outcome out = parse(parser, answer);
        QCOMPARE(std::make_pair(out.emitted, out.errorType), std::make_pair(true, -1));
        checkFields(out.record, {"testType=0", "conductorMaterial=铜", "conductorMaterialIndex=0", "currentSetting=1A",
            "currentSettingIndex=10", "convertedTemp=75℃", "tapping=05", "phaseType=A0", "phaseTypeIndex=0",
            "winding=高压", "windingIndex=1", "conductorNo=12", "conductorTempValue=23.00", "conductorTemp=+23.00℃",
            "testedResistance=12.345", "testedResistanceUnit=mΩ", "testedResistanceUnitIndex=1", "testedCurrent=1.00",
            "testedCurrentUnit=A", "convertedResistance=14.500", "convertedResistanceUnit=mΩ",
            "environmentTemp=25.5℃", "testTime=2024-03-05 08:07:09", "charging=true", "testState=1",
            "testStatus=测试中...", "danger=false", "highLimitTable=false", "resistanceOverRange=false", "sampleNo=",
            "wireSquare=", "standardSetting=", "standardValue=", "standardUnit=", "conductorLength=",
            "conductorLengthUnit=", "recordNo="});
        out = parse(parser, length().bytes());
        checkFields(out.record, {"testType=1", "sampleNo=5", "currentSetting=AUTO", "currentSettingIndex=21",
            "wireSquare=2.5", "standardSetting=设定值", "standardValue=1.234", "standardUnit=mΩ",
            "conductorLength=123.45", "conductorLengthUnit=M", "testedResistance=1.2345", "testedCurrent=10.00",
            "conductorMaterial=", "convertedTemp=", "tapping=", "phaseType=", "winding=", "conductorTemp=",
            "conductorTempValue=", "convertedResistance=", "convertedResistanceUnit="});
    }

    void answerSizeAndChecksum()
    {
        ReceiveThread parser;
        const Bytes answer = dc().bytes();
        Bytes badSum = answer;
        badSum[62] ^= 0x01;
        for (const Bytes& bad : {Bytes(answer.begin(), answer.end() - 1), badSum}) {
            const Outcome out = parse(parser, bad);
            QVERIFY(!out.emitted);
            QCOMPARE(std::make_pair(out.message, out.errorType), std::make_pair(kChecksumRealTime, 1));
        }
        Bytes longAnswer = answer;
        longAnswer.push_back(0x77);
        QVERIFY(parse(parser, longAnswer).emitted);
        QVERIFY(!parse(parser, Bytes{}).emitted);
    }

    // Each row changes fields of a valid answer; the checksum is made to match.
    void fieldTexts_data()
    {
        QTest::addColumn<Bytes>("answer");
        QTest::addColumn<QStringList>("expected");
        const auto row = [](const char* name, const AnswerBuilder& b, const QStringList& expected) {
            QTest::newRow(name) << b.bytes() << expected;
        };
        const quint32 none = al::kNoValue;
        // Range checks: an empty list means the answer is rejected.
        row("test type 2", dc().set(al::kTestType, 2), {});
        row("current code 22", dc().set(al::kCurrentCode, 22), {});
        row("DC current code 20", dc().set(al::kCurrentCode, 20), {"currentSetting=12V/<5mA"});
        row("length current code 20 names no setting", length().set(al::kCurrentCode, 20), {});
        row("conductor number 10000", dc().setU16(al::kConductorNo, 10000), {});
        row("conductor number 9999", dc().setU16(al::kConductorNo, 9999), {"conductorNo=9999"});
        row("record number 10000", dc().setU16(al::kRecordNo, 10000), {});
        row("year 0xFF", dc().set(al::kYear, 0xFF), {});
        row("second 0xFF", dc().set(al::kYear + 5, 0xFF), {});
        row("DC material 2", dc().set(al::kMaterialOrSample, 2), {});
        row("DC tap 100", dc().set(al::kTapping, 100), {});
        row("DC tap 99", dc().set(al::kTapping, 99), {"tapping=99"});
        row("DC phase 7", dc().set(al::kPhase, 7), {});
        row("DC winding 2", dc().set(al::kWinding, 2), {});
        row("DC standard setting 1", dc().set(al::kStandardSetting, 1), {});
        row("DC negative zero standard value", dc().set(al::kStandardValue, 0x80), {});
        row("DC length unit 1", dc().set(al::kLengthUnit, 1), {});
        row("DC resistance unit 5", dc().set(al::kResistanceUnit, 5), {});
        row("DC converted unit 5", dc().set(al::kConvertedUnit, 5), {});
        row("current unit 2", dc().set(al::kCurrentUnit, 2), {});
        row("length converted temperature 1", length().set(al::kConvertedTemp, 1), {});
        row("length phase 1", length().set(al::kPhase, 1), {});
        row("length conductor temperature bits", length().set(al::kConductorTemp, 0x80), {});
        row("length converted bits", length().set(al::kConverted + 3, 1), {});
        row("length standard setting 2", length().set(al::kStandardSetting, 2), {});
        row("length standard unit 3", length().set(al::kStandardUnit, 3), {});
        row("length sample 200", length().set(al::kMaterialOrSample, 200), {});
        row("length sample 199", length().set(al::kMaterialOrSample, 199), {"sampleNo=199"});
        row("length unit 2", length().set(al::kLengthUnit, 2), {});
        row("resistance 9999.9004", dc().setRaw32(al::kResistance, 0x461C3F9Au), {});
        row("converted 9999.9004", dc().setRaw32(al::kConverted, 0x461C3F9Au).set(al::kConvertedUnit, 2), {});
        row("no-value resistance with a unit", dc().setRaw32(al::kResistance, al::kNoValue).set(al::kResistanceUnit, 2), {});
        row("month 13 kept", dc().set(al::kYear + 1, 13), {"testTime=2024-13-05 08:07:09"});
        row("conductor below zero", dc().setFloat(al::kConductorTemp, -0.5f), {"conductorTemp=-0.50℃"});
        row("conductor at zero", dc().setFloat(al::kConductorTemp, 0.0f), {"conductorTemp=+0.00℃"});
        row("no current", dc().setRaw32(al::kCurrent, 0).set(al::kCurrentUnit, 0xFF),
            {"testedCurrent=------", "testedCurrentUnit=mA"});
        row("no ambient", dc().setRaw32(al::kAmbientTemp, none), {"environmentTemp=------℃"});
        row("aluminium, low side", dc().set(al::kMaterialOrSample, 1).set(al::kWinding, 0),
            {"conductorMaterial=铝", "winding=低压", "windingIndex=0"});
        row("last phase", dc().set(al::kPhase, 6), {"phaseType=BC", "phaseTypeIndex=5"});
        row("no phase", dc().set(al::kPhase, 0), {"phaseType=", "phaseTypeIndex=-1"});
        // Placeholders by test type and charging.
        row("zero while idle waits", reading(dc(), 0x00, 10, 0, 0, 0), {"testedResistance=等待测试···", "testedResistanceUnit="});
        row("zero while idle charging", reading(dc(), 0x00, 10, 3, 0, 0), {"testedResistance=充电中······", "testedResistanceUnit="});
        row("zero while testing", reading(dc(), 0x10, 10, 0, 0, 0), {"testedResistance=0.0", "testedResistanceUnit=μΩ"});
        row("no value, length test", reading(length(), 0x10, 21, 0, none, 0xFF),
            {"testedResistance=------μΩ", "testedResistanceUnit="});
        // Over range: the limit of the range and table in force.
        row("over range 5A table B", reading(dc(), 0x14, 14, 0, none, 0xFF),
            {"testedResistance=>800.00", "testedResistanceUnit=mΩ", "resistanceLimit=800.00"});
        row("over range 5A table A", reading(dc(), 0x15, 14, 0, none, 0xFF),
            {"testedResistance=>4.0000", "testedResistanceUnit=Ω", "resistanceLimit=4.0000"});
        row("over range 12V", reading(dc(), 0x14, 20, 0, none, 0xFF), {"testedResistance=>1.0000", "testedResistanceUnit=MΩ"});
        row("over range DC AUTO", reading(dc(), 0x15, 21, 0, none, 0xFF), {"testedResistance=>1.0000", "testedResistanceUnit=MΩ"});
        row("over range length AUTO B", reading(length(), 0x14, 21, 0, none, 0xFF), {"testedResistance=>300.00", "testedResistanceUnit=Ω"});
        row("over range length AUTO A", reading(length(), 0x15, 21, 0, none, 0xFF), {"testedResistance=>500.00", "testedResistanceUnit=Ω"});
        // Values: six characters, micro-ohms with one decimal, up to 9999.9.
        row("micro-ohm one decimal", reading(dc(), 0x10, 10, 0, 0x42F6EB85u, 0), {"testedResistance=123.5"});
        row("milli-ohm six chars", reading(dc(), 0x10, 10, 0, 0x42F6EB85u, 1), {"testedResistance=123.46"});
        row("kilo-ohm", reading(dc(), 0x10, 10, 0, 0x3FC00000u, 3), {"testedResistance=1.5000", "testedResistanceUnit=KΩ"});
        row("9999.8994 shown", reading(dc(), 0x10, 10, 0, 0x461C3F99u, 1), {"testedResistance=9999.9"});
        row("value without unit", reading(dc(), 0x10, 10, 0, 0x3FC00000u, 0xFF), {"testedResistance=1.5000", "testedResistanceUnit="});
        row("converted, no value", dc().setRaw32(al::kConverted, none).set(al::kConvertedUnit, 0xFF),
            {"convertedResistance=------", "convertedResistanceUnit=μΩ"});
        row("converted zero while idle", dc().set(al::kStatus, 0).setRaw32(al::kConverted, 0), {"convertedResistance=------"});
        row("converted zero while testing", dc().setRaw32(al::kConverted, 0), {"convertedResistance=0.0000"});
        row("converted 9999.8994 shown", dc().setRaw32(al::kConverted, 0x461C3F99u).set(al::kConvertedUnit, 2),
            {"convertedResistance=9999.9", "convertedResistanceUnit=Ω"});
        row("length over range", length().set(al::kStatus, 0x18).setRaw32(al::kLength, none).set(al::kLengthUnit, 0xFF),
            {"conductorLength=>999.99KM", "conductorLengthUnit="});
        row("length, no value", length().setRaw32(al::kLength, none).set(al::kLengthUnit, 0xFF), {"conductorLength=------M"});
        row("length zero while idle", length().set(al::kStatus, 0).setRaw32(al::kLength, 0), {"conductorLength=------M"});
        row("kilometres", length().setRaw32(al::kLength, 0x3FC00000u).set(al::kLengthUnit, 1),
            {"conductorLength=1.5000", "conductorLengthUnit=KM"});
    }

    void fieldTexts()
    {
        QFETCH(Bytes, answer);
        QFETCH(QStringList, expected);
        ReceiveThread parser;
        const Outcome out = parse(parser, answer);
        QCOMPARE(out.emitted, !expected.isEmpty());
        if (expected.isEmpty())
            QCOMPARE(std::make_pair(out.message, out.errorType), std::make_pair(kFailedRealTime, 1));
        checkFields(out.record, expected);
    }

    void formatSixChars_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("123.456") << 123.456f << "123.46";
        QTest::newRow("1234.5") << 1234.5f << "1234.5";
        QTest::newRow("1.20001 padded") << 1.20001f << "1.2000";
        QTest::newRow("0.001234 not cut") << 0.001234f << "0.001234";
        QTest::newRow("2.00001 whole five-digit text") << 2.00001f << "2.0000";
        QTest::newRow("12345.6 five digits") << 12345.6f << "12346";
        QTest::newRow("99999.6 exponent") << 99999.6f << "1e+05";
        QTest::newRow("negative") << -1.5f << "-1.500";
    }

    void formatSixChars()
    {
        QFETCH(float, value);
        QTEST(ReceiveThread::formatSixChars(value), "text");
    }

    void heldRecordCarriesOver()
    {
        ReceiveThread parser;
        // Cycle code 3 starts charging; idle answers with other codes keep it, code 4 ends it.
        AnswerBuilder idle = reading(dc(), 0x00, 10, 3, 0, 0);
        checkFields(parse(parser, idle.bytes()).record, {"testStatus=充电中...", "charging=true"});
        checkFields(parse(parser, idle.set(al::kCycleCode, 7).bytes()).record,
                    {"charging=true", "testStatus=充电中...", "testedResistance=充电中······"});
        checkFields(parse(parser, idle.set(al::kCycleCode, 4).bytes()).record, {"charging=false", "testStatus="});
        // The limit stays from the last over-range answer.
        parse(parser, reading(dc(), 0x14, 14, 0, al::kNoValue, 0xFF).bytes());
        checkFields(parse(parser, dc().bytes()).record, {"testedResistance=12.345", "resistanceLimit=800.00"});
        // A stored record's number rides along in later real-time records.
        parse(parser, dc().asStoredRecord(42).bytes(), 42);
        checkFields(parse(parser, dc().bytes()).record, {"recordNo=42"});
        // The other test type's indexes survive while its texts are emptied.
        checkFields(parse(parser, length().bytes()).record, {"windingIndex=1", "winding=", "phaseTypeIndex=0"});
        checkFields(parse(parser, dc().bytes()).record, {"standardUnitIndex=1", "standardUnit="});
        // A rejected answer leaves the held record: one that starts a cycle but
        // fails its range checks does not leave the charging state behind.
        parse(parser, idle.set(al::kCycleCode, 4).bytes());
        QVERIFY(!parse(parser, AnswerBuilder(idle).set(al::kCycleCode, 3).set(al::kWinding, 9).bytes()).emitted);
        checkFields(parse(parser, idle.set(al::kCycleCode, 0).bytes()).record,
                    {"charging=false", "testedResistance=等待测试···"});
    }

    void storedRecords()
    {
        ReceiveThread parser;
        Outcome out = parse(parser, length().asStoredRecord(9).bytes(), 9);
        QCOMPARE(out.readedNum, 9);
        checkFields(out.record, {"recordNo=9", "wireSquare=2.5平方", "standardSetting=", "standardSettingIndex=0"});

        Bytes broken = dc().asStoredRecord(7).bytes();
        broken[40] = 1;
        out = parse(parser, broken, 7);
        QVERIFY(!out.emitted);
        QCOMPARE(std::make_pair(out.message, out.errorType), std::make_pair(QStringLiteral("读取第7组数据校验和错误"), 5));
        out = parse(parser, dc().asStoredRecord(7).set(al::kYear, 0xFF).bytes(), 7);
        QCOMPARE(std::make_pair(out.message, out.errorType), std::make_pair(QStringLiteral("读取第7组数据失败"), 5));
        // Each slot takes only its own kind of answer.
        QVERIFY(!parse(parser, dc().bytes(), 3).emitted);
        QCOMPARE(parse(parser, dc().asStoredRecord(3).bytes()).message, kFailedRealTime);
    }

    // No single flipped bit may crash the decoder or yield a record from an
    // answer whose checksum no longer matches.
    void singleBitMutations()
    {
        ReceiveThread parser;
        for (const Bytes& answer : {dc().bytes(), length().bytes(), length().asStoredRecord(1).bytes()}) {
            for (std::size_t bit = 0; bit < answer.size() * 8; ++bit) {
                Bytes mutated = answer;
                mutated[bit / 8] ^= std::uint8_t(1u << (bit % 8));
                const bool sumValid = protocol::recordChecksumValid(mutated.data(), mutated.size());
                QCOMPARE(sumValid, bit / 8 < protocol::kChecksumFirst);
                for (int readedNum : {0, 1}) {
                    const Outcome out = parse(parser, mutated, readedNum);
                    QVERIFY2(!out.emitted || sumValid, qPrintable(QStringLiteral("record from bad checksum, bit %1").arg(bit)));
                    QVERIFY(out.emitted || !out.message.isEmpty());
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestDecoder)
#include "test_decoder.moc"
