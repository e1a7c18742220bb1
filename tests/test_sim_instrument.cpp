// The simulated instrument: test cycle on a manual clock, settings, battery,
// screens, keys, stored records and every fault it can be asked for.

#include "instrument.h"
#include "protocol.h"
#include "settingsframes.h"
#include "simrecordrules.h"

#include <QtTest>

#include <cmath>
#include <memory>

using protocol::Bytes;

namespace {

constexpr std::int64_t kStartEpoch = 1709626029;  // 2024-03-05 08:07:09 UTC

struct Rig {
    std::shared_ptr<sim::ManualClock> clock = std::make_shared<sim::ManualClock>();
    std::unique_ptr<sim::Instrument> instrument;

    explicit Rig(sim::InstrumentOptions options = {})
    {
        options.startEpochSeconds = kStartEpoch;
        instrument = std::make_unique<sim::Instrument>(options, clock);
    }

    std::vector<Bytes> send(const Bytes& request) { return instrument->handle(request); }

    // The single answer of a request that gets exactly one.
    Bytes one(const Bytes& request)
    {
        const std::vector<Bytes> answers = send(request);
        if (answers.size() != 1)
            return {};
        return answers.front();
    }

    Bytes record(std::uint8_t readType = protocol::kReadTypeAny)
    {
        return one(protocol::buildRealTimeRequest(readType));
    }

    bool accepted(const Bytes& request)
    {
        const Bytes answer = one(request);
        return protocol::acknowledgeAccepts(answer.data(), answer.size());
    }

    void advanceSeconds(double seconds) { clock->advanceMs(static_cast<std::int64_t>(std::llround(seconds * 1000))); }
};

int stateOf(const Bytes& r) { return (r[59] >> 4) & 3; }
int cycleCode(const Bytes& r) { return r[34]; }
bool resistanceNone(const Bytes& r) { return protocol::readU32(&r[18]) == 0xFFFFFFFFu && r[22] == 0xFF; }
float resistanceValue(const Bytes& r) { return protocol::readFloat(&r[18]); }

double inOhms(float value, int unit)
{
    static const double kFactor[] = {1e-6, 1e-3, 1.0, 1e3, 1e6};
    return value * kFactor[unit];
}

bool refusingAcknowledge(const Bytes& a) { return protocol::isAcknowledge(a.data(), a.size()) && a[5] == 0x00; }

protocol::DcSettings dcSettings(int currentIndex)
{
    protocol::DcSettings s;
    s.materialIndex = 0;
    s.currentIndex = currentIndex;
    s.convertedTemp = 75;
    s.tapping = 5;
    s.phaseIndex = 2;
    s.windingIndex = 1;
    s.conductorNo = 321;
    s.conductorTemp = 23.5f;
    return s;
}

protocol::LengthSettings lengthSettings(int currentIndex)
{
    protocol::LengthSettings s;
    s.sampleNo = 12;
    s.currentIndex = currentIndex;
    s.conductorNo = 77;
    s.wireSquare = 2.5f;
    s.standardModeIndex = 0;
    s.standardValue = 6.8964f;
    s.standardUnitIndex = 1;
    return s;
}

Bytes withChecksum(Bytes frame)
{
    const std::uint16_t sum = protocol::checksum(frame.data(), 4, frame.size() - 3);
    frame[frame.size() - 2] = std::uint8_t(sum >> 8);
    frame[frame.size() - 1] = std::uint8_t(sum & 0xFF);
    return frame;
}

}  // namespace

class TestSimInstrument : public QObject {
    Q_OBJECT

private slots:
    void cycleRunsThroughItsPhases();
    void cycleEndsByItselfAfterTheMaximum();
    void timeScaleShortensTheCycle();
    void startIsRefusedWhileACycleRuns();
    void dcSettingsReachTheNextRecord();
    void lengthSettingsReachTheNextRecord();
    void malformedSettingsAreRefused_data();
    void malformedSettingsAreRefused();
    void weakBatteryRefusesHighRanges_data();
    void weakBatteryRefusesHighRanges();
    void startRefusedOnceTheBatteryWeakened();
    void convertedResistanceFollowsMaterial_data();
    void convertedResistanceFollowsMaterial();
    void unitsFollowTheReading_data();
    void unitsFollowTheReading();
    void overRangeUsesTheLimitOfThePresentRange();
    void conductorLengthComesFromTheStandardValue();
    void dangerBitOnlyWhileDischargingAHighCurrent();
    void readTypeMovesBetweenTestScreens();
    void menuScreenRefusesRealTimeReads();
    void keysUpperAndWakeUp();
    void storedRecordsCarryTheirNumbers();
    void storedRecordRequestsOutsideTheMemory();
    void faultRefuseAcknowledges();
    void faultSilent();
    void faultCorruptAndMisnumberedRecord();
    void faultAcknowledgeRealTime();
    void requestLogKeepsEveryTransfer();
    void recordTimeFollowsTheClock();
};

void TestSimInstrument::cycleRunsThroughItsPhases()
{
    Rig rig;
    Bytes r = rig.record();
    QCOMPARE(stateOf(r), 0);
    QCOMPARE(protocol::readU32(&r[18]), 0u);  // nothing measured yet
    QVERIFY(rig.accepted(protocol::buildStartTestRequest(false)));
    QCOMPARE(rig.instrument->phase(), sim::Phase::Charging);
    r = rig.record();
    QCOMPARE(stateOf(r), 0);
    QCOMPARE(cycleCode(r), 3);
    QVERIFY(resistanceNone(r));

    rig.advanceSeconds(rig.instrument->chargingSeconds() + 0.01);
    r = rig.record();
    QCOMPARE(stateOf(r), 1);
    QCOMPARE(cycleCode(r), 3);
    QVERIFY(!resistanceNone(r));
    QVERIFY(std::fabs(inOhms(resistanceValue(r), r[22]) - 0.012345) < 0.0005);

    rig.advanceSeconds(3);
    QVERIFY(rig.accepted(protocol::buildStopTestRequest(false)));
    r = rig.record();
    QCOMPARE(stateOf(r), 2);
    QCOMPARE(cycleCode(r), 3);
    const float held = resistanceValue(r);

    rig.advanceSeconds(rig.instrument->dischargingSeconds() + 0.01);
    r = rig.record();
    QCOMPARE(stateOf(r), 3);
    QCOMPARE(cycleCode(r), 4);
    QCOMPARE(resistanceValue(r), held);  // the result is kept
    QCOMPARE(simtest::recordRuleBroken(r), std::string());

    QVERIFY(rig.accepted(protocol::buildStartTestRequest(false)));  // a new cycle from the result
    QCOMPARE(rig.instrument->phase(), sim::Phase::Charging);
}

void TestSimInstrument::cycleEndsByItselfAfterTheMaximum()
{
    Rig rig;
    QVERIFY(rig.accepted(protocol::buildStartTestRequest(false)));
    rig.advanceSeconds(rig.instrument->chargingSeconds() + rig.instrument->maximumTestingSeconds() - 1);
    QCOMPARE(rig.instrument->phase(), sim::Phase::Testing);
    rig.advanceSeconds(1.01);
    QCOMPARE(rig.instrument->phase(), sim::Phase::Discharging);
    // One large step passes every remaining phase at once.
    rig.advanceSeconds(3600);
    const Bytes r = rig.record();
    QCOMPARE(stateOf(r), 3);
    QVERIFY(!resistanceNone(r));
}

void TestSimInstrument::timeScaleShortensTheCycle()
{
    Rig full;
    sim::InstrumentOptions fast;
    fast.timeScale = 0.1;
    Rig quick(fast);
    QVERIFY(quick.instrument->chargingSeconds() > 0);
    QCOMPARE(quick.instrument->chargingSeconds(), full.instrument->chargingSeconds() * 0.1);
    QVERIFY(quick.accepted(protocol::buildStartTestRequest(false)));
    quick.advanceSeconds(quick.instrument->chargingSeconds() * 0.9);
    QCOMPARE(quick.instrument->phase(), sim::Phase::Charging);
    quick.advanceSeconds(quick.instrument->chargingSeconds() * 0.2);
    QCOMPARE(quick.instrument->phase(), sim::Phase::Testing);
}

void TestSimInstrument::startIsRefusedWhileACycleRuns()
{
    Rig rig;
    QVERIFY(rig.accepted(protocol::buildStartTestRequest(false)));
    QVERIFY(!rig.accepted(protocol::buildStartTestRequest(false)));
    QVERIFY(!rig.accepted(protocol::buildStartTestRequest(true)));
    QVERIFY(!rig.accepted(protocol::buildDcSettingsFrame(dcSettings(10))));
    QCOMPARE(rig.instrument->screen(), sim::Screen::DcTest);
    QVERIFY(rig.accepted(protocol::buildStopTestRequest(false)));
    QVERIFY(rig.accepted(protocol::buildStopTestRequest(false)));  // stopping twice is harmless
}

void TestSimInstrument::dcSettingsReachTheNextRecord()
{
    Rig rig;
    QVERIFY(rig.accepted(protocol::buildDcSettingsFrame(dcSettings(12))));
    const Bytes r = rig.record();
    QCOMPARE(simtest::recordRuleBroken(r), std::string());
    QCOMPARE(r[5], 0);
    QCOMPARE(r[6], 0);     // copper
    QCOMPARE(r[7], 12);    // 3 A
    QCOMPARE(r[8], 75);
    QCOMPARE(r[9], 5);
    QCOMPARE(r[10], 3);    // list index 2 is phase code 3
    QCOMPARE(r[11], 1);
    QCOMPARE(protocol::readU16(&r[12]), 321);
    QCOMPARE(protocol::readFloat(&r[14]), 23.5f);
    QCOMPARE(rig.instrument->dcSetup().currentIndex, 12);
}

void TestSimInstrument::lengthSettingsReachTheNextRecord()
{
    Rig rig;
    QVERIFY(rig.accepted(protocol::buildLengthSettingsFrame(lengthSettings(protocol::kLengthAutoIndex))));
    const Bytes r = rig.record(protocol::kReadTypeLength);
    QCOMPARE(simtest::recordRuleBroken(r), std::string());
    QCOMPARE(r[5], 1);
    QCOMPARE(r[6], 12);
    QCOMPARE(r[7], protocol::kAutoCode);
    QCOMPARE(protocol::readU16(&r[12]), 77);
    QCOMPARE(protocol::readFloat(&r[35]), 2.5f);
    QCOMPARE(r[39], 0);
    QCOMPARE(protocol::readFloat(&r[40]), 6.8964f);
    QCOMPARE(r[44], 1);
}

void TestSimInstrument::malformedSettingsAreRefused_data()
{
    QTest::addColumn<Bytes>("frame");
    const Bytes dc = protocol::buildDcSettingsFrame(dcSettings(10));
    const Bytes length = protocol::buildLengthSettingsFrame(lengthSettings(10));
    auto patched = [](Bytes frame, std::size_t offset, std::vector<std::uint8_t> bytes) {
        std::copy(bytes.begin(), bytes.end(), frame.begin() + offset);
        return withChecksum(frame);
    };
    Bytes badSum = dc;
    badSum.back() ^= 1;
    QTest::newRow("checksum") << badSum;
    QTest::newRow("short") << withChecksum(Bytes(dc.begin(), dc.end() - 1));
    QTest::newRow("material 2") << patched(dc, 6, {2});
    QTest::newRow("current 22") << patched(dc, 7, {22});
    QTest::newRow("tapping 100") << patched(dc, 9, {100});
    QTest::newRow("phase 0 (unselected)") << patched(dc, 10, {0});
    QTest::newRow("phase 7") << patched(dc, 10, {7});
    QTest::newRow("winding 2") << patched(dc, 11, {2});
    QTest::newRow("conductor 10000") << patched(dc, 12, {0x27, 0x10});
    QTest::newRow("temperature NaN") << patched(dc, 14, {0x7F, 0xC0, 0, 0});
    QTest::newRow("temperature -50") << patched(dc, 14, {0xC2, 0x48, 0, 0});
    QTest::newRow("reserved set") << patched(dc, 18, {0, 1});
    QTest::newRow("length sample 200") << patched(length, 6, {200});
    QTest::newRow("length 12V range") << patched(length, 7, {20});
    QTest::newRow("cross-section 0") << patched(length, 10, {0, 0, 0, 0});
    QTest::newRow("set value 0") << patched(length, 15, {0, 0, 0, 0});
    QTest::newRow("standard unit 3") << patched(length, 19, {3});
}

void TestSimInstrument::malformedSettingsAreRefused()
{
    QFETCH(Bytes, frame);
    Rig rig;
    const sim::DcSetup dcBefore = rig.instrument->dcSetup();
    const sim::LengthSetup lengthBefore = rig.instrument->lengthSetup();
    QVERIFY(refusingAcknowledge(rig.one(frame)));
    QCOMPARE(rig.instrument->dcSetup().currentIndex, dcBefore.currentIndex);
    QCOMPARE(rig.instrument->dcSetup().conductorNo, dcBefore.conductorNo);
    QCOMPARE(rig.instrument->lengthSetup().sampleNo, lengthBefore.sampleNo);
    QCOMPARE(rig.instrument->lengthSetup().wireSquare, lengthBefore.wireSquare);
}

void TestSimInstrument::weakBatteryRefusesHighRanges_data()
{
    QTest::addColumn<int>("cells");
    QTest::addColumn<int>("currentIndex");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("full, 10 A") << 3 << 19 << true;
    QTest::newRow("two cells, 2 A") << 2 << 11 << true;
    QTest::newRow("two cells, 3 A") << 2 << 12 << false;
    QTest::newRow("two cells, 10 A") << 2 << 19 << false;
    QTest::newRow("one cell, 400 mA") << 1 << 9 << true;
    QTest::newRow("one cell, 1 A") << 1 << 10 << false;
    QTest::newRow("one cell, 12 V") << 1 << 20 << true;
    QTest::newRow("one cell, AUTO") << 1 << 21 << true;
}

void TestSimInstrument::weakBatteryRefusesHighRanges()
{
    QFETCH(int, cells);
    QFETCH(int, currentIndex);
    QFETCH(bool, accepted);
    sim::InstrumentOptions options;
    options.batteryCells = cells;
    Rig rig(options);
    QCOMPARE(rig.accepted(protocol::buildDcSettingsFrame(dcSettings(currentIndex))), accepted);
}

void TestSimInstrument::startRefusedOnceTheBatteryWeakened()
{
    Rig rig;
    QVERIFY(rig.accepted(protocol::buildDcSettingsFrame(dcSettings(19))));
    rig.instrument->setBatteryCells(2);
    QVERIFY(!rig.accepted(protocol::buildStartTestRequest(false)));
    QCOMPARE(rig.instrument->phase(), sim::Phase::Idle);
    QVERIFY(rig.accepted(protocol::buildDcSettingsFrame(dcSettings(11))));
    QVERIFY(rig.accepted(protocol::buildStartTestRequest(false)));
}

void TestSimInstrument::convertedResistanceFollowsMaterial_data()
{
    QTest::addColumn<int>("material");
    QTest::addColumn<double>("constant");
    QTest::newRow("copper") << 0 << 235.0;
    QTest::newRow("aluminium") << 1 << 225.0;
}

void TestSimInstrument::convertedResistanceFollowsMaterial()
{
    QFETCH(int, material);
    QFETCH(double, constant);
    Rig rig;
    protocol::DcSettings s = dcSettings(19);
    s.materialIndex = material;
    s.convertedTemp = 75;
    s.conductorTemp = 10.0f;
    QVERIFY(rig.accepted(protocol::buildDcSettingsFrame(s)));
    QVERIFY(rig.accepted(protocol::buildStartTestRequest(false)));
    rig.advanceSeconds(rig.instrument->chargingSeconds() + 5);
    const Bytes r = rig.record();
    const double measured = inOhms(resistanceValue(r), r[22]);
    const double converted = inOhms(protocol::readFloat(&r[28]), r[32]);
    QVERIFY(std::fabs(converted / measured - (constant + 75) / (constant + 10)) < 1e-5);
}

void TestSimInstrument::unitsFollowTheReading_data()
{
    QTest::addColumn<double>("ohms");
    QTest::addColumn<int>("currentIndex");
    QTest::addColumn<int>("unit");
    QTest::addColumn<int>("currentUnit");
    QTest::newRow("μΩ at 10 A") << 0.0004 << 19 << 0 << 1;
    QTest::newRow("mΩ at 10 A") << 0.05 << 19 << 1 << 1;
    QTest::newRow("Ω at 40 mA") << 150.0 << 0 << 2 << 0;
    QTest::newRow("kΩ at 12 V") << 47000.0 << 20 << 3 << 0;
}

void TestSimInstrument::unitsFollowTheReading()
{
    QFETCH(double, ohms);
    QFETCH(int, currentIndex);
    QFETCH(int, unit);
    QFETCH(int, currentUnit);
    Rig rig;
    rig.instrument->setDcSampleOhms(ohms);
    QVERIFY(rig.accepted(protocol::buildDcSettingsFrame(dcSettings(currentIndex))));
    QVERIFY(rig.accepted(protocol::buildStartTestRequest(false)));
    rig.advanceSeconds(rig.instrument->chargingSeconds() + 5);
    const Bytes r = rig.record();
    QCOMPARE(simtest::recordRuleBroken(r), std::string());
    QCOMPARE(int(r[22]), unit);
    QCOMPARE(int(r[27]), currentUnit);
    QVERIFY(std::fabs(inOhms(resistanceValue(r), r[22]) / ohms - 1.0) < 0.005);
}

void TestSimInstrument::overRangeUsesTheLimitOfThePresentRange()
{
    Rig rig;
    rig.instrument->setDcSampleOhms(0.3);  // above 200 mΩ (10 A, lower table), below 1.5 Ω (higher table)
    QVERIFY(rig.accepted(protocol::buildStartTestRequest(false)));
    rig.advanceSeconds(rig.instrument->chargingSeconds() + 5);
    Bytes r = rig.record();
    QCOMPARE(simtest::recordRuleBroken(r), std::string());
    QVERIFY(r[59] & 0x04);
    QVERIFY(resistanceNone(r));
    QCOMPARE(protocol::readU32(&r[28]), 0xFFFFFFFFu);

    QVERIFY(rig.accepted(protocol::buildStopTestRequest(false)));
    rig.advanceSeconds(60);
    rig.instrument->setHighLimitTable(true);
    QVERIFY(rig.accepted(protocol::buildStartTestRequest(false)));
    rig.advanceSeconds(rig.instrument->chargingSeconds() + 5);
    r = rig.record();
    QCOMPARE(r[59] & 0x05, 0x01);  // higher table, in range
    QVERIFY(!resistanceNone(r));
}

void TestSimInstrument::conductorLengthComesFromTheStandardValue()
{
    Rig rig;
    protocol::LengthSettings s = lengthSettings(10);
    QVERIFY(rig.accepted(protocol::buildLengthSettingsFrame(s)));
    QVERIFY(rig.accepted(protocol::buildStartTestRequest(true)));
    rig.advanceSeconds(rig.instrument->chargingSeconds() + 5);
    Bytes r = rig.record();
    QCOMPARE(simtest::recordRuleBroken(r), std::string());
    const double ohms = inOhms(resistanceValue(r), r[22]);
    const double metres = protocol::readFloat(&r[45]) * (r[60] == 1 ? 1000.0 : 1.0);
    QVERIFY(std::fabs(metres - ohms / 6.8964e-3) < 0.01 * metres);
    QVERIFY(std::fabs(metres - 250.0) < 5.0);  // the set value matches the wire

    // A standard value a thousand times too small makes the length over range.
    QVERIFY(rig.accepted(protocol::buildStopTestRequest(true)));
    rig.advanceSeconds(60);
    s.standardValue = 6.8964f;
    s.standardUnitIndex = 0;  // μΩ instead of mΩ
    s.currentIndex = 0;
    rig.instrument->setLengthSampleMetres(5000.0);
    QVERIFY(rig.accepted(protocol::buildLengthSettingsFrame(s)));
    QVERIFY(rig.accepted(protocol::buildStartTestRequest(true)));
    rig.advanceSeconds(rig.instrument->chargingSeconds() + 5);
    r = rig.record();
    QCOMPARE(simtest::recordRuleBroken(r), std::string());
    QCOMPARE(r[59] & 0x0C, 0x08);
    QCOMPARE(protocol::readU32(&r[45]), 0xFFFFFFFFu);
    QCOMPARE(r[60], 0xFF);
}

void TestSimInstrument::dangerBitOnlyWhileDischargingAHighCurrent()
{
    for (const bool option : {false, true}) {
        for (const int currentIndex : {10, 19}) {
            sim::InstrumentOptions options;
            options.dangerWhileDischarging = option;
            Rig rig(options);
            QVERIFY(rig.accepted(protocol::buildDcSettingsFrame(dcSettings(currentIndex))));
            QVERIFY(rig.accepted(protocol::buildStartTestRequest(false)));
            rig.advanceSeconds(rig.instrument->chargingSeconds() + 1);
            QCOMPARE(rig.record()[59] & 0x40, 0);
            QVERIFY(rig.accepted(protocol::buildStopTestRequest(false)));
            const bool expected = option && currentIndex == 19;
            QCOMPARE(bool(rig.record()[59] & 0x40), expected);
            rig.advanceSeconds(rig.instrument->dischargingSeconds() + 0.01);
            QCOMPARE(rig.record()[59] & 0x40, 0);
        }
    }
}

void TestSimInstrument::readTypeMovesBetweenTestScreens()
{
    Rig rig;
    QCOMPARE(rig.record(protocol::kReadTypeLength)[5], 1);
    QCOMPARE(rig.record(protocol::kReadTypeAny)[5], 1);  // 0xFF stays
    QCOMPARE(rig.record(protocol::kReadTypeDc)[5], 0);
    QVERIFY(rig.accepted(protocol::buildStartTestRequest(false)));
    QCOMPARE(rig.record(protocol::kReadTypeLength)[5], 0);  // not while a cycle runs
}

void TestSimInstrument::menuScreenRefusesRealTimeReads()
{
    sim::InstrumentOptions options;
    options.screen = sim::Screen::Other;
    Rig rig(options);
    for (const std::uint8_t readType : {protocol::kReadTypeAny, protocol::kReadTypeDc, protocol::kReadTypeLength})
        QVERIFY(refusingAcknowledge(rig.one(protocol::buildRealTimeRequest(readType))));
    QVERIFY(!rig.accepted(protocol::buildStartTestRequest(false)));
    rig.instrument->setScreen(sim::Screen::LengthTest);
    QCOMPARE(rig.record()[5], 1);
}

void TestSimInstrument::keysUpperAndWakeUp()
{
    Rig rig;
    QVERIFY(rig.accepted(protocol::buildKeyLockRequest()));
    QVERIFY(rig.instrument->keysLocked());
    QVERIFY(rig.send(protocol::buildKeyUnlockRequest()).empty());
    QVERIFY(!rig.instrument->keysLocked());
    QVERIFY(rig.send(protocol::wakeUpBytes()).empty());
    QCOMPARE(rig.instrument->wakeUpCount(), 1);
    QVERIFY(rig.send(protocol::buildUpperOpenRequest()).empty());
    QVERIFY(rig.instrument->upperOpen());
    QVERIFY(rig.send(protocol::buildUpperCloseRequest()).empty());
    QVERIFY(!rig.instrument->upperOpen());
    QVERIFY(refusingAcknowledge(rig.one(protocol::buildFrame(0x19, {0x00}))));
    QVERIFY(refusingAcknowledge(rig.one(protocol::buildFrame(0x42, {0x00}))));  // unknown command
}

void TestSimInstrument::storedRecordsCarryTheirNumbers()
{
    sim::InstrumentOptions options;
    options.storedRecords = 45;
    Rig rig(options);
    const Bytes count = rig.one(protocol::buildStoredCountRequest());
    QVERIFY(protocol::storedCountValid(count.data(), count.size()));
    QCOMPARE(protocol::storedCount(count.data()), 45);

    int dc = 0, length = 0, number = 0;
    std::int64_t previousTime = 0;
    for (const auto& [first, batch] : {std::pair{1, 30}, std::pair{31, 15}}) {
        const std::vector<Bytes> answers = rig.send(protocol::buildReadBackRequest(first, batch));
        QCOMPARE(int(answers.size()), batch);
        for (const Bytes& r : answers) {
            ++number;
            QCOMPARE(simtest::recordRuleBroken(r), std::string());
            QVERIFY(protocol::isStoredRecord(r.data(), r.size()));
            QCOMPARE(protocol::storedRecordNumber(r.data()), number);
            (r[5] ? length : dc) += 1;
            const std::int64_t time = ((((r[53] * 13 + r[54]) * 32 + r[55]) * 24 + r[56]) * 60 + r[57]) * 60 + r[58];
            QVERIFY(time > previousTime);  // oldest first
            previousTime = time;
        }
    }
    QVERIFY(dc > 0 && length > 0);
}

void TestSimInstrument::storedRecordRequestsOutsideTheMemory()
{
    sim::InstrumentOptions options;
    options.storedRecords = 5;
    Rig rig(options);
    QCOMPARE(int(rig.send(protocol::buildReadBackRequest(4, 30)).size()), 2);
    QVERIFY(rig.send(protocol::buildReadBackRequest(6, 1)).empty());
    QVERIFY(refusingAcknowledge(rig.one(protocol::buildReadBackRequest(1, 0))));
    QVERIFY(refusingAcknowledge(rig.one(protocol::buildReadBackRequest(1, 31))));
    QVERIFY(refusingAcknowledge(rig.one(protocol::buildReadBackRequest(0, 1))));
    rig.instrument->setStoredRecordCount(0);
    const Bytes count = rig.one(protocol::buildStoredCountRequest());
    QCOMPARE(protocol::storedCount(count.data()), 0);
}

void TestSimInstrument::faultRefuseAcknowledges()
{
    sim::InstrumentOptions options;
    options.faults.refuseAcknowledges = true;
    Rig rig(options);
    QVERIFY(refusingAcknowledge(rig.one(protocol::buildStartTestRequest(false))));
    QCOMPARE(rig.instrument->phase(), sim::Phase::Idle);
    QVERIFY(refusingAcknowledge(rig.one(protocol::buildKeyLockRequest())));
    QVERIFY(!rig.instrument->keysLocked());
    QVERIFY(refusingAcknowledge(rig.one(protocol::buildDcSettingsFrame(dcSettings(10)))));
    QCOMPARE(rig.instrument->dcSetup().currentIndex, sim::DcSetup().currentIndex);
    QVERIFY(protocol::isRealTimeRecord(rig.record().data(), 63));  // data still flows
}

void TestSimInstrument::faultSilent()
{
    sim::InstrumentOptions options;
    options.faults.silent = true;
    options.storedRecords = 3;
    Rig rig(options);
    QVERIFY(rig.send(protocol::buildRealTimeRequest(0xFF)).empty());
    QVERIFY(rig.send(protocol::buildStartTestRequest(false)).empty());
    QVERIFY(rig.send(protocol::buildReadBackRequest(1, 3)).empty());
    QCOMPARE(rig.instrument->requestCount(), std::size_t(3));
    sim::Faults healed;
    rig.instrument->setFaults(healed);
    QCOMPARE(int(rig.send(protocol::buildRealTimeRequest(0xFF)).size()), 1);
}

void TestSimInstrument::faultCorruptAndMisnumberedRecord()
{
    sim::InstrumentOptions options;
    options.storedRecords = 10;
    options.faults.corruptRecord = 7;
    options.faults.misnumberRecord = 4;
    Rig rig(options);
    const std::vector<Bytes> answers = rig.send(protocol::buildReadBackRequest(1, 10));
    QCOMPARE(int(answers.size()), 10);
    for (int number = 1; number <= 10; ++number) {
        const Bytes& r = answers[std::size_t(number - 1)];
        QCOMPARE(protocol::recordChecksumValid(r.data(), r.size()), number != 7);
        QCOMPARE(protocol::storedRecordNumber(r.data()) == number, number != 4);
    }
    QCOMPARE(rig.instrument->storedRecordAnswer(7), answers[6]);
}

void TestSimInstrument::faultAcknowledgeRealTime()
{
    sim::InstrumentOptions options;
    options.faults.acknowledgeRealTime = true;
    Rig rig(options);
    const Bytes a = rig.record();
    QVERIFY(protocol::acknowledgeAccepts(a.data(), a.size()));
    QVERIFY(!protocol::isRealTimeRecord(a.data(), a.size()));
}

void TestSimInstrument::requestLogKeepsEveryTransfer()
{
    Rig rig;
    const Bytes garbage{0x01, 0x02};
    rig.send(protocol::wakeUpBytes());
    rig.send(protocol::buildUpperOpenRequest());
    rig.send(garbage);
    const std::vector<Bytes> log = rig.instrument->requestLog();
    QCOMPARE(int(log.size()), 3);
    QCOMPARE(log[0], protocol::wakeUpBytes());
    QCOMPARE(log[1], protocol::buildUpperOpenRequest());
    QCOMPARE(log[2], garbage);
    rig.instrument->clearRequestLog();
    QVERIFY(rig.instrument->requestLog().empty());
    QCOMPARE(rig.instrument->requestCount(), std::size_t(3));

    // A long-running instrument keeps its newest requests, not all of them.
    for (int i = 0; i < 120000; ++i)
        rig.send(protocol::wakeUpBytes());
    rig.send(garbage);
    const std::vector<Bytes> longLog = rig.instrument->requestLog();
    QVERIFY(longLog.size() <= 100000);
    QCOMPARE(longLog.back(), garbage);
    QCOMPARE(rig.instrument->requestCount(), std::size_t(120004));
}

void TestSimInstrument::recordTimeFollowsTheClock()
{
    Rig rig;
    Bytes r = rig.record();
    QCOMPARE(Bytes(r.begin() + 53, r.begin() + 59), (Bytes{24, 3, 5, 8, 7, 9}));
    rig.advanceSeconds(86400.0 * 365 + 3600 + 61);  // 2024 is a leap year: 2025-03-05
    r = rig.record();
    QCOMPARE(Bytes(r.begin() + 53, r.begin() + 59), (Bytes{25, 3, 5, 9, 8, 10}));
}

QTEST_GUILESS_MAIN(TestSimInstrument)
#include "test_sim_instrument.moc"
