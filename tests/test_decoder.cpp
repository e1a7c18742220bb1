#include "answerbuilder.h"
#include "receivethread.h"

#include <QSignalSpy>
#include <QtTest>

namespace al = answerlayout;
using protocol::Bytes;

Q_DECLARE_METATYPE(Bytes)

namespace {

// What one call of a parse slot produced.
struct Outcome {
    bool emitted = false;
    ReceiveData record;
    QString message;
    int errorType = -1;
    int readedNum = -1;  // as echoed by a stored record
};

Outcome parse(ReceiveThread& parser, const Bytes& answer, int readedNum = 0)
{
    QSignalSpy live(&parser, &ReceiveThread::finishReadRealTimeData);
    QSignalSpy stored(&parser, &ReceiveThread::finishReadReadBackData);
    QSignalSpy failed(&parser, &ReceiveThread::stateProcessing);
    if (readedNum > 0)
        parser.parseReadBackData(answer, readedNum);
    else
        parser.parseRealTimeData(answer);
    Outcome out;
    if (!live.isEmpty()) {
        out.emitted = true;
        out.record = live.takeFirst().at(0).value<ReceiveData>();
    }
    if (!stored.isEmpty()) {
        out.emitted = true;
        const QList<QVariant> args = stored.takeFirst();
        out.record = args.at(0).value<ReceiveData>();
        out.readedNum = args.at(1).toInt();
    }
    if (!failed.isEmpty()) {
        out.message = failed.first().at(0).toString();
        out.errorType = failed.first().at(1).toInt();
    }
    return out;
}

const QString kFailedRealTime = QStringLiteral("读取实时数据失败");
const QString kChecksumRealTime = QStringLiteral("读取到的数据校验和错误");

}  // namespace

class TestDecoder : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<ReceiveData>("ReceiveData"); }

    void workedDcAnswer();
    void workedLengthAnswer();
    void dcFieldTexts();
    void answerSizeAndChecksum();
    void rangeChecks_data();
    void rangeChecks();
    void formatSixChars_data();
    void formatSixChars();
    void testedResistance_data();
    void testedResistance();
    void convertedResistance_data();
    void convertedResistance();
    void conductorLength_data();
    void conductorLength();
    void heldRecordCarriesOver();
    void rejectedAnswerLeavesHeldRecord();
    void storedRecords();
    void singleBitMutations_data();
    void singleBitMutations();
};

void TestDecoder::workedDcAnswer()
{
    const Bytes answer = AnswerBuilder::dcExample().bytes();
    QCOMPARE(int(answer[61]), 0x05);
    QCOMPARE(int(answer[62]), 0x50);

    ReceiveThread parser;
    const Outcome out = parse(parser, answer);
    QVERIFY(out.emitted);
    QCOMPARE(out.errorType, -1);
    const ReceiveData& r = out.record;
    QCOMPARE(r.testType, 0);
    QCOMPARE(r.conductorMaterial, QStringLiteral("铜"));
    QCOMPARE(r.conductorMaterialIndex, 0);
    QCOMPARE(r.currentSetting, QStringLiteral("1A"));
    QCOMPARE(r.currentSettingIndex, 10);
    QCOMPARE(r.convertedTemp, QStringLiteral("75℃"));
    QCOMPARE(r.tapping, QStringLiteral("05"));
    QCOMPARE(r.phaseType, QStringLiteral("A0"));
    QCOMPARE(r.phaseTypeIndex, 0);
    QCOMPARE(r.winding, QStringLiteral("高压"));
    QCOMPARE(r.windingIndex, 1);
    QCOMPARE(r.conductorNo, QStringLiteral("12"));
    QCOMPARE(r.conductorTempValue, QStringLiteral("23.00"));
    QCOMPARE(r.conductorTemp, QStringLiteral("+23.00℃"));
    QCOMPARE(r.testedResistance, QStringLiteral("12.345"));
    QCOMPARE(r.testedResistanceUnit, QStringLiteral("mΩ"));
    QCOMPARE(r.testedResistanceUnitIndex, 1);
    QCOMPARE(r.testedCurrent, QStringLiteral("1.00"));
    QCOMPARE(r.testedCurrentUnit, QStringLiteral("A"));
    QCOMPARE(r.convertedResistance, QStringLiteral("14.500"));
    QCOMPARE(r.convertedResistanceUnit, QStringLiteral("mΩ"));
    QCOMPARE(r.environmentTemp, QStringLiteral("25.5℃"));
    QCOMPARE(r.testTime, QStringLiteral("2024-03-05 08:07:09"));
    QVERIFY(r.charging);
    QCOMPARE(r.testState, 1);
    QCOMPARE(r.testStatus, QStringLiteral("测试中..."));
    QVERIFY(!r.danger && !r.highLimitTable && !r.resistanceOverRange);
    for (const QString& text : {r.sampleNo, r.wireSquare, r.standardSetting, r.standardValue, r.standardUnit,
                                r.conductorLength, r.conductorLengthUnit, r.recordNo})
        QVERIFY(text.isEmpty());
}

void TestDecoder::workedLengthAnswer()
{
    ReceiveThread parser;
    const Outcome out = parse(parser, AnswerBuilder::lengthExample().bytes());
    QVERIFY(out.emitted);
    const ReceiveData& r = out.record;
    QCOMPARE(r.testType, 1);
    QCOMPARE(r.sampleNo, QStringLiteral("5"));
    QCOMPARE(r.currentSetting, QStringLiteral("AUTO"));
    QCOMPARE(r.currentSettingIndex, 21);
    QCOMPARE(r.wireSquare, QStringLiteral("2.5"));
    QCOMPARE(r.standardSetting, QStringLiteral("设定值"));
    QCOMPARE(r.standardValue, QStringLiteral("1.234"));
    QCOMPARE(r.standardUnit, QStringLiteral("mΩ"));
    QCOMPARE(r.conductorLength, QStringLiteral("123.45"));
    QCOMPARE(r.conductorLengthUnit, QStringLiteral("M"));
    QCOMPARE(r.testedResistance, QStringLiteral("1.2345"));
    QCOMPARE(r.testedCurrent, QStringLiteral("10.00"));
    for (const QString& text : {r.conductorMaterial, r.convertedTemp, r.tapping, r.phaseType, r.winding,
                                r.conductorTemp, r.conductorTempValue, r.convertedResistance,
                                r.convertedResistanceUnit})
        QVERIFY(text.isEmpty());
}

void TestDecoder::dcFieldTexts()
{
    ReceiveThread parser;
    auto decoded = [&parser](const AnswerBuilder& b) { return parse(parser, b.bytes()).record; };
    const AnswerBuilder dc = AnswerBuilder::dcExample();

    QCOMPARE(decoded(AnswerBuilder(dc).set(al::kYear + 1, 13)).testTime, QStringLiteral("2024-13-05 08:07:09"));
    QCOMPARE(decoded(AnswerBuilder(dc).set(al::kYear, 0)).testTime, QStringLiteral("2000-03-05 08:07:09"));
    QCOMPARE(decoded(AnswerBuilder(dc).setFloat(al::kConductorTemp, -0.5f)).conductorTemp, QStringLiteral("-0.50℃"));
    QCOMPARE(decoded(AnswerBuilder(dc).setFloat(al::kConductorTemp, 0.0f)).conductorTemp, QStringLiteral("+0.00℃"));
    QCOMPARE(decoded(AnswerBuilder(dc).set(al::kTapping, 10)).tapping, QStringLiteral("10"));
    QCOMPARE(decoded(AnswerBuilder(dc).set(al::kCurrentCode, 20)).currentSetting, QStringLiteral("12V/<5mA"));
    QCOMPARE(decoded(AnswerBuilder(dc).setRaw32(al::kCurrent, 0)).testedCurrent, QStringLiteral("------"));
    QCOMPARE(decoded(AnswerBuilder(dc).set(al::kCurrentUnit, 0xFF)).testedCurrentUnit, QStringLiteral("mA"));
    QCOMPARE(decoded(AnswerBuilder(dc).setRaw32(al::kAmbientTemp, al::kNoValue)).environmentTemp,
             QStringLiteral("------℃"));

    const ReceiveData aluminiumLow = decoded(AnswerBuilder(dc).set(al::kMaterialOrSample, 1).set(al::kWinding, 0));
    QCOMPARE(aluminiumLow.conductorMaterial, QStringLiteral("铝"));
    QCOMPARE(aluminiumLow.winding, QStringLiteral("低压"));
    QCOMPARE(aluminiumLow.windingIndex, 0);

    const ReceiveData lastPhase = decoded(AnswerBuilder(dc).set(al::kPhase, 6));
    QCOMPARE(lastPhase.phaseType, QStringLiteral("BC"));
    QCOMPARE(lastPhase.phaseTypeIndex, 5);
    // Phase byte 0 names no phase: empty text, and an index that selects nothing.
    const ReceiveData noPhase = decoded(AnswerBuilder(dc).set(al::kPhase, 0));
    QVERIFY(noPhase.phaseType.isEmpty());
    QCOMPARE(noPhase.phaseTypeIndex, -1);
}

void TestDecoder::answerSizeAndChecksum()
{
    ReceiveThread parser;
    Bytes answer = AnswerBuilder::dcExample().bytes();

    Bytes shortAnswer(answer.begin(), answer.end() - 1);
    Outcome out = parse(parser, shortAnswer);
    QVERIFY(!out.emitted);
    QCOMPARE(out.message, kChecksumRealTime);
    QCOMPARE(out.errorType, 1);

    Bytes badSum = answer;
    badSum[62] ^= 0x01;
    out = parse(parser, badSum);
    QVERIFY(!out.emitted);
    QCOMPARE(out.message, kChecksumRealTime);

    Bytes longAnswer = answer;
    longAnswer.push_back(0x77);
    QVERIFY(parse(parser, longAnswer).emitted);

    QVERIFY(!parse(parser, Bytes{}).emitted);
}

// Each row changes one field of a valid answer and re-computes the checksum.
void TestDecoder::rangeChecks_data()
{
    QTest::addColumn<bool>("lengthTest");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("value");  // above 0xFF: a u16 field
    QTest::addColumn<bool>("accepted");

    const struct { const char* name; bool length; std::size_t offset; int value; bool accepted; } rows[] = {
        {"test type 2", false, al::kTestType, 2, false},
        {"current code 22", false, al::kCurrentCode, 22, false},
        {"DC current code 20", false, al::kCurrentCode, 20, true},
        {"length current code 20 names no setting", true, al::kCurrentCode, 20, false},
        {"conductor number 10000", false, al::kConductorNo, 10000, false},
        {"conductor number 9999", false, al::kConductorNo, 9999, true},
        {"record number 10000", false, al::kRecordNo, 10000, false},
        {"year 0xFF", false, al::kYear, 0xFF, false},
        {"second 0xFF", false, al::kYear + 5, 0xFF, false},
        {"month 13", false, al::kYear + 1, 13, true},
        {"DC material 2", false, al::kMaterialOrSample, 2, false},
        {"DC tap 100", false, al::kTapping, 100, false},
        {"DC tap 99", false, al::kTapping, 99, true},
        {"DC phase 7", false, al::kPhase, 7, false},
        {"DC phase 0", false, al::kPhase, 0, true},
        {"DC winding 2", false, al::kWinding, 2, false},
        {"DC standard setting 1", false, al::kStandardSetting, 1, false},
        {"DC cross-section bits", false, al::kCrossSection + 3, 1, false},
        {"DC negative zero standard value", false, al::kStandardValue, 0x80, false},
        {"DC standard unit 1", false, al::kStandardUnit, 1, false},
        {"DC length bits", false, al::kLength + 2, 1, false},
        {"DC length unit 1", false, al::kLengthUnit, 1, false},
        {"DC resistance unit 5", false, al::kResistanceUnit, 5, false},
        {"DC converted unit 5", false, al::kConvertedUnit, 5, false},
        {"current unit 2", false, al::kCurrentUnit, 2, false},
        {"length converted temperature 1", true, al::kConvertedTemp, 1, false},
        {"length tap 1", true, al::kTapping, 1, false},
        {"length phase 1", true, al::kPhase, 1, false},
        {"length winding 1", true, al::kWinding, 1, false},
        {"length conductor temperature bits", true, al::kConductorTemp, 0x80, false},
        {"length converted bits", true, al::kConverted + 3, 1, false},
        {"length converted unit 1", true, al::kConvertedUnit, 1, false},
        {"length standard setting 2", true, al::kStandardSetting, 2, false},
        {"length standard unit 3", true, al::kStandardUnit, 3, false},
        {"length sample 200", true, al::kMaterialOrSample, 200, false},
        {"length sample 199", true, al::kMaterialOrSample, 199, true},
        {"length unit 2", true, al::kLengthUnit, 2, false},
    };
    for (const auto& row : rows)
        QTest::newRow(row.name) << row.length << int(row.offset) << row.value << row.accepted;
}

void TestDecoder::rangeChecks()
{
    QFETCH(bool, lengthTest);
    QFETCH(int, offset);
    QFETCH(int, value);
    QFETCH(bool, accepted);
    AnswerBuilder b = lengthTest ? AnswerBuilder::lengthExample() : AnswerBuilder::dcExample();
    if (value > 0xFF)
        b.setU16(std::size_t(offset), std::uint16_t(value));
    else
        b.set(std::size_t(offset), std::uint8_t(value));
    ReceiveThread parser;
    const Outcome out = parse(parser, b.bytes());
    QCOMPARE(out.emitted, accepted);
    if (!accepted) {
        QCOMPARE(out.message, kFailedRealTime);
        QCOMPARE(out.errorType, 1);
    }
}

void TestDecoder::formatSixChars_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("1.5") << 1.5f << "1.5000";
    QTest::newRow("12.5") << 12.5f << "12.500";
    QTest::newRow("100") << 100.0f << "100.00";
    QTest::newRow("0.25") << 0.25f << "0.2500";
    QTest::newRow("80") << 80.0f << "80.000";
    QTest::newRow("123.456") << 123.456f << "123.46";
    QTest::newRow("3.14159") << 3.14159f << "3.1416";
    QTest::newRow("1234.5") << 1234.5f << "1234.5";
    QTest::newRow("1.20001 padded") << 1.20001f << "1.2000";
    QTest::newRow("0.001234 not cut") << 0.001234f << "0.001234";
    QTest::newRow("2.00001 whole five-digit text") << 2.00001f << "2.0000";
    QTest::newRow("12345.6 five digits") << 12345.6f << "12346";
    QTest::newRow("99999.6 exponent") << 99999.6f << "1e+05";
    QTest::newRow("1e6 keeps its value") << 1.0e6f << "1e+06";
    QTest::newRow("1e-5 keeps its value") << 1.0e-5f << "1e-05";
    QTest::newRow("negative") << -1.5f << "-1.500";
}

void TestDecoder::formatSixChars()
{
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(ReceiveThread::formatSixChars(value), text);
}

// Tested resistance on a DC or length answer: status byte, current code,
// cycle code (3 sets charging), raw pattern and unit code.
void TestDecoder::testedResistance_data()
{
    QTest::addColumn<bool>("lengthTest");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("currentCode");
    QTest::addColumn<int>("cycleCode");
    QTest::addColumn<quint32>("pattern");
    QTest::addColumn<int>("unit");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("unitText");

    const quint32 none = al::kNoValue;
    QTest::newRow("zero while idle waits") << false << 0x00 << 10 << 0 << 0u << 0 << true << "等待测试···" << "";
    QTest::newRow("zero while idle charging") << false << 0x00 << 10 << 3 << 0u << 0 << true << "充电中······" << "";
    QTest::newRow("zero while testing") << false << 0x10 << 10 << 0 << 0u << 0 << true << "0.0" << "μΩ";
    QTest::newRow("no value, length test") << true << 0x10 << 21 << 0 << none << 0xFF << true << "------μΩ" << "";
    QTest::newRow("over range 5A table B") << false << 0x14 << 14 << 0 << none << 0xFF << true << ">800.00" << "mΩ";
    QTest::newRow("over range 5A table A") << false << 0x15 << 14 << 0 << none << 0xFF << true << ">4.0000" << "Ω";
    QTest::newRow("over range 12V") << false << 0x14 << 20 << 0 << none << 0xFF << true << ">1.0000" << "MΩ";
    QTest::newRow("over range DC AUTO") << false << 0x15 << 21 << 0 << none << 0xFF << true << ">1.0000" << "MΩ";
    QTest::newRow("over range length AUTO B") << true << 0x14 << 21 << 0 << none << 0xFF << true << ">300.00" << "Ω";
    QTest::newRow("over range length AUTO A") << true << 0x15 << 21 << 0 << none << 0xFF << true << ">500.00" << "Ω";
    QTest::newRow("micro-ohm one decimal") << false << 0x10 << 10 << 0 << 0x42F6EB85u << 0 << true << "123.5" << "μΩ";
    QTest::newRow("milli-ohm six chars") << false << 0x10 << 10 << 0 << 0x42F6EB85u << 1 << true << "123.46" << "mΩ";
    QTest::newRow("kilo-ohm") << false << 0x10 << 10 << 0 << 0x3FC00000u << 3 << true << "1.5000" << "KΩ";
    QTest::newRow("9999.8994 shown") << false << 0x10 << 10 << 0 << 0x461C3F99u << 1 << true << "9999.9" << "mΩ";
    QTest::newRow("9999.9004 invalid") << false << 0x10 << 10 << 0 << 0x461C3F9Au << 1 << false << "" << "";
    QTest::newRow("NaN with a unit invalid") << false << 0x10 << 10 << 0 << none << 2 << false << "" << "";
    QTest::newRow("value without unit") << false << 0x10 << 10 << 0 << 0x3FC00000u << 0xFF << true << "1.5000" << "";
}

void TestDecoder::testedResistance()
{
    QFETCH(bool, lengthTest);
    QFETCH(int, status);
    QFETCH(int, currentCode);
    QFETCH(int, cycleCode);
    QFETCH(quint32, pattern);
    QFETCH(int, unit);
    QFETCH(bool, accepted);
    QFETCH(QString, text);
    QFETCH(QString, unitText);

    AnswerBuilder b = lengthTest ? AnswerBuilder::lengthExample() : AnswerBuilder::dcExample();
    b.set(al::kStatus, std::uint8_t(status)).set(al::kCurrentCode, std::uint8_t(currentCode));
    b.set(al::kCycleCode, std::uint8_t(cycleCode)).setRaw32(al::kResistance, pattern);
    b.set(al::kResistanceUnit, std::uint8_t(unit));
    ReceiveThread parser;
    const Outcome out = parse(parser, b.bytes());
    QCOMPARE(out.emitted, accepted);
    if (!accepted)
        return;
    QCOMPARE(out.record.testedResistance, text);
    QCOMPARE(out.record.testedResistanceUnit, unitText);
    if (text.startsWith(QLatin1Char('>')))
        QCOMPARE(QStringLiteral(">") + out.record.resistanceLimit, text);
}

void TestDecoder::convertedResistance_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<quint32>("pattern");
    QTest::addColumn<int>("unit");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("unitText");
    QTest::newRow("no value, no unit") << 0x10 << quint32(al::kNoValue) << 0xFF << true << "------" << "μΩ";
    QTest::newRow("no value, ohm") << 0x10 << quint32(al::kNoValue) << 2 << true << "------" << "Ω";
    QTest::newRow("zero while idle") << 0x00 << 0u << 1 << true << "------" << "mΩ";
    QTest::newRow("zero while testing") << 0x10 << 0u << 1 << true << "0.0000" << "mΩ";
    QTest::newRow("micro-ohm one decimal") << 0x10 << 0x42F6EB85u << 0 << true << "123.5" << "μΩ";
    QTest::newRow("9999.8994 shown") << 0x10 << 0x461C3F99u << 2 << true << "9999.9" << "Ω";
    QTest::newRow("9999.9004 invalid") << 0x10 << 0x461C3F9Au << 2 << false << "" << "";
}

void TestDecoder::convertedResistance()
{
    QFETCH(int, status);
    QFETCH(quint32, pattern);
    QFETCH(int, unit);
    QFETCH(bool, accepted);
    QFETCH(QString, text);
    QFETCH(QString, unitText);
    AnswerBuilder b = AnswerBuilder::dcExample();
    b.set(al::kStatus, std::uint8_t(status)).setRaw32(al::kConverted, pattern);
    b.set(al::kConvertedUnit, std::uint8_t(unit));
    ReceiveThread parser;
    const Outcome out = parse(parser, b.bytes());
    QCOMPARE(out.emitted, accepted);
    if (!accepted) {
        QCOMPARE(out.message, kFailedRealTime);
        return;
    }
    QCOMPARE(out.record.convertedResistance, text);
    QCOMPARE(out.record.convertedResistanceUnit, unitText);
}

void TestDecoder::conductorLength_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<quint32>("pattern");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("unitText");
    QTest::newRow("over range") << 0x18 << quint32(al::kNoValue) << 0xFF << ">999.99KM" << "";
    QTest::newRow("no value") << 0x10 << quint32(al::kNoValue) << 0xFF << "------M" << "";
    QTest::newRow("zero while idle") << 0x00 << 0u << 0 << "------M" << "";
    QTest::newRow("kilometres") << 0x10 << 0x3FC00000u << 1 << "1.5000" << "KM";
}

void TestDecoder::conductorLength()
{
    QFETCH(int, status);
    QFETCH(quint32, pattern);
    QFETCH(int, unit);
    QFETCH(QString, text);
    QFETCH(QString, unitText);
    AnswerBuilder b = AnswerBuilder::lengthExample();
    b.set(al::kStatus, std::uint8_t(status)).setRaw32(al::kLength, pattern).set(al::kLengthUnit, std::uint8_t(unit));
    ReceiveThread parser;
    const Outcome out = parse(parser, b.bytes());
    QVERIFY(out.emitted);
    QCOMPARE(out.record.conductorLength, text);
    QCOMPARE(out.record.conductorLengthUnit, unitText);
}

void TestDecoder::heldRecordCarriesOver()
{
    ReceiveThread parser;
    // Cycle code 3 starts charging; idle answers with other codes keep it.
    AnswerBuilder idle = AnswerBuilder::dcExample();
    idle.set(al::kStatus, 0x00).setRaw32(al::kResistance, 0);
    Outcome out = parse(parser, idle.set(al::kCycleCode, 3).bytes());
    QCOMPARE(out.record.testStatus, QStringLiteral("充电中..."));
    out = parse(parser, idle.set(al::kCycleCode, 7).bytes());
    QVERIFY(out.record.charging);
    QCOMPARE(out.record.testStatus, QStringLiteral("充电中..."));
    QCOMPARE(out.record.testedResistance, QStringLiteral("充电中······"));
    out = parse(parser, idle.set(al::kCycleCode, 4).bytes());
    QVERIFY(!out.record.charging);
    QVERIFY(out.record.testStatus.isEmpty());

    // The limit stays from the last over-range answer.
    AnswerBuilder over = AnswerBuilder::dcExample();
    over.set(al::kStatus, 0x14).set(al::kCurrentCode, 14).setRaw32(al::kResistance, al::kNoValue);
    parse(parser, over.set(al::kResistanceUnit, 0xFF).bytes());
    out = parse(parser, AnswerBuilder::dcExample().bytes());
    QCOMPARE(out.record.testedResistance, QStringLiteral("12.345"));
    QCOMPARE(out.record.resistanceLimit, QStringLiteral("800.00"));

    // A stored record's number rides along in later real-time records.
    parse(parser, AnswerBuilder::dcExample().asStoredRecord(42).bytes(), 42);
    out = parse(parser, AnswerBuilder::dcExample().bytes());
    QCOMPARE(out.record.recordNo, QStringLiteral("42"));

    // The DC indexes survive a length answer while the DC texts are emptied.
    out = parse(parser, AnswerBuilder::lengthExample().bytes());
    QCOMPARE(out.record.windingIndex, 1);
    QVERIFY(out.record.winding.isEmpty());
    QCOMPARE(out.record.phaseTypeIndex, 0);
    out = parse(parser, AnswerBuilder::dcExample().bytes());
    QCOMPARE(out.record.standardUnitIndex, 1);
    QVERIFY(out.record.standardUnit.isEmpty());
}

void TestDecoder::rejectedAnswerLeavesHeldRecord()
{
    ReceiveThread parser;
    AnswerBuilder idle = AnswerBuilder::dcExample();
    idle.set(al::kStatus, 0x00).set(al::kCycleCode, 4).setRaw32(al::kResistance, 0);
    parse(parser, idle.bytes());
    // Starts a cycle but fails its range checks: the charging state must not stick.
    AnswerBuilder bad = idle;
    QVERIFY(!parse(parser, bad.set(al::kCycleCode, 3).set(al::kWinding, 9).bytes()).emitted);
    const Outcome out = parse(parser, idle.set(al::kCycleCode, 0).bytes());
    QVERIFY(!out.record.charging);
    QCOMPARE(out.record.testedResistance, QStringLiteral("等待测试···"));
}

void TestDecoder::storedRecords()
{
    ReceiveThread parser;
    Outcome out = parse(parser, AnswerBuilder::lengthExample().asStoredRecord(9).bytes(), 9);
    QVERIFY(out.emitted);
    QCOMPARE(out.readedNum, 9);
    QCOMPARE(out.record.recordNo, QStringLiteral("9"));
    QCOMPARE(out.record.wireSquare, QStringLiteral("2.5平方"));
    QVERIFY(out.record.standardSetting.isEmpty());
    QCOMPARE(out.record.standardSettingIndex, 0);

    Bytes broken = AnswerBuilder::dcExample().asStoredRecord(7).bytes();
    broken[40] = 1;
    out = parse(parser, broken, 7);
    QVERIFY(!out.emitted);
    QCOMPARE(out.message, QStringLiteral("读取第7组数据校验和错误"));
    QCOMPARE(out.errorType, 5);

    out = parse(parser, AnswerBuilder::dcExample().asStoredRecord(7).set(al::kYear, 0xFF).bytes(), 7);
    QCOMPARE(out.message, QStringLiteral("读取第7组数据失败"));
    QCOMPARE(out.errorType, 5);

    // Each slot takes only its own kind of answer.
    QVERIFY(!parse(parser, AnswerBuilder::dcExample().bytes(), 3).emitted);
    QCOMPARE(parse(parser, AnswerBuilder::dcExample().asStoredRecord(3).bytes()).message, kFailedRealTime);
}

void TestDecoder::singleBitMutations_data()
{
    QTest::addColumn<Bytes>("answer");
    QTest::newRow("DC") << AnswerBuilder::dcExample().bytes();
    QTest::newRow("length") << AnswerBuilder::lengthExample().bytes();
    QTest::newRow("stored length") << AnswerBuilder::lengthExample().asStoredRecord(1).bytes();
}

// No single flipped bit may crash the decoder or yield a record from an
// answer whose checksum no longer matches.
void TestDecoder::singleBitMutations()
{
    QFETCH(Bytes, answer);
    ReceiveThread parser;
    for (std::size_t bit = 0; bit < answer.size() * 8; ++bit) {
        Bytes mutated = answer;
        mutated[bit / 8] ^= std::uint8_t(1u << (bit % 8));
        const bool sumValid = protocol::recordChecksumValid(mutated.data(), mutated.size());
        QCOMPARE(sumValid, bit / 8 < protocol::kChecksumFirst);
        for (int readedNum : {0, 1}) {
            const Outcome out = parse(parser, mutated, readedNum);
            if (out.emitted)
                QVERIFY2(sumValid, qPrintable(QStringLiteral("record from bad checksum, bit %1").arg(bit)));
            else
                QVERIFY(!out.message.isEmpty());
        }
    }
}

QTEST_GUILESS_MAIN(TestDecoder)
#include "test_decoder.moc"
