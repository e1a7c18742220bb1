// Every 63-byte answer the simulator gives, in every phase of a test cycle
// and for every kind of setting and reading, is one the application's
// decoder accepts: it yields a record and never a failure report.

#include "instrument.h"
#include "protocol.h"
#include "receivethread.h"
#include "settingsframes.h"
#include "simrecordrules.h"

#include <QtTest>

#include <functional>
#include <memory>

using protocol::Bytes;

namespace {

struct Scenario {
    bool lengthTest = false;
    int currentIndex = 19;     // list index as the page sends it
    int material = 0;
    float conductorTemp = 20.0f;
    int convertedTemp = 75;
    int standardMode = 0;
    double sampleOhms = 0.012345;   // DC
    double sampleMetres = 250.0;    // length
    float standardValue = 6.8964f;
    int standardUnit = 1;
    int batteryCells = 3;
    bool highLimitTable = false;
    bool danger = false;
};

// Counts what the decoder emits for one answer.
struct DecoderProbe {
    ReceiveThread decoder;
    int records = 0;
    int failures = 0;
    QString lastFailure;
    int lastTestType = -1;
    QString lastRecordNo;

    DecoderProbe()
    {
        QObject::connect(&decoder, &ReceiveThread::finishReadRealTimeData, [this](const ReceiveData& rd) {
            ++records;
            lastTestType = rd.testType;
        });
        QObject::connect(&decoder, &ReceiveThread::finishReadReadBackData, [this](const ReceiveData& rd, int) {
            ++records;
            lastTestType = rd.testType;
            lastRecordNo = rd.recordNo;
        });
        QObject::connect(&decoder, &ReceiveThread::stateProcessing, [this](const QString& message, int) {
            ++failures;
            lastFailure = message;
        });
    }
};

QString describe(const Bytes& bytes)
{
    QString text;
    for (std::uint8_t b : bytes)
        text += QString::asprintf("%02X ", b);
    return text.trimmed();
}

// The real-time answers of one whole cycle: idle, charging, testing,
// discharging and complete, a few moments of each.
std::vector<Bytes> cycleAnswers(const Scenario& s, std::uint32_t seed)
{
    auto clock = std::make_shared<sim::ManualClock>();
    sim::InstrumentOptions options;
    options.seed = seed;
    options.batteryCells = s.batteryCells;
    options.highLimitTable = s.highLimitTable;
    options.dangerWhileDischarging = s.danger;
    options.dcSampleOhms = s.sampleOhms;
    options.lengthSampleMetres = s.sampleMetres;
    sim::Instrument instrument(options, clock);
    std::vector<Bytes> answers;
    const std::uint8_t readType = s.lengthTest ? protocol::kReadTypeLength : protocol::kReadTypeDc;
    auto take = [&] {
        for (Bytes& a : instrument.handle(protocol::buildRealTimeRequest(readType)))
            answers.push_back(std::move(a));
    };
    take();  // before any setting
    Bytes frame;
    if (s.lengthTest) {
        protocol::LengthSettings l;
        l.sampleNo = 199;
        l.currentIndex = s.currentIndex;
        l.conductorNo = 9999;
        l.wireSquare = 2.5f;
        l.standardModeIndex = s.standardMode;
        l.standardValue = s.standardMode ? 0.0f : s.standardValue;
        l.standardUnitIndex = s.standardMode ? 0 : s.standardUnit;
        frame = protocol::buildLengthSettingsFrame(l);
    } else {
        protocol::DcSettings d;
        d.materialIndex = s.material;
        d.currentIndex = s.currentIndex;
        d.convertedTemp = s.convertedTemp;
        d.tapping = 99;
        d.phaseIndex = 5;
        d.windingIndex = 1;
        d.conductorNo = 0;
        d.conductorTemp = s.conductorTemp;
        frame = protocol::buildDcSettingsFrame(d);
    }
    const Bytes ack = instrument.handle(frame).front();
    if (!protocol::acknowledgeAccepts(ack.data(), ack.size()))
        return {};
    take();
    instrument.handle(protocol::buildStartTestRequest(s.lengthTest));
    const auto step = [&](double seconds) {
        clock->advanceMs(static_cast<std::int64_t>(seconds * 1000));
        take();
    };
    take();
    step(instrument.chargingSeconds() / 2);
    step(instrument.chargingSeconds() / 2 + 0.001);
    for (int i = 0; i < 6; ++i)
        step(0.5);
    instrument.handle(protocol::buildStopTestRequest(s.lengthTest));
    take();
    step(instrument.dischargingSeconds() / 2);
    step(instrument.dischargingSeconds() / 2 + 0.001);
    step(10);
    return answers;
}

}  // namespace

Q_DECLARE_METATYPE(Scenario)

class TestSimDecoder : public QObject {
    Q_OBJECT

private slots:
    void everyRealTimeAnswerDecodes_data();
    void everyRealTimeAnswerDecodes();
    void everyStoredAnswerDecodes_data();
    void everyStoredAnswerDecodes();
};

void TestSimDecoder::everyRealTimeAnswerDecodes_data()
{
    QTest::addColumn<Scenario>("scenario");
    auto row = [](const char* name, std::function<void(Scenario&)> change) {
        Scenario s;
        change(s);
        QTest::newRow(name) << s;
    };
    row("DC 10 A", [](Scenario&) {});
    row("DC aluminium 40 mA 150 Ω", [](Scenario& s) { s.material = 1; s.currentIndex = 0; s.sampleOhms = 150; });
    row("DC over range", [](Scenario& s) { s.sampleOhms = 1.0; });
    row("DC AUTO", [](Scenario& s) { s.currentIndex = 21; s.sampleOhms = 0.5; });
    row("DC AUTO over range", [](Scenario& s) { s.currentIndex = 21; s.sampleOhms = 2.0e6; });
    row("DC 12 V kΩ", [](Scenario& s) { s.currentIndex = 20; s.sampleOhms = 47000; });
    row("DC 12 V MΩ", [](Scenario& s) { s.currentIndex = 20; s.sampleOhms = 900000; });
    row("DC μΩ", [](Scenario& s) { s.sampleOhms = 0.0002; });
    row("DC near the limit", [](Scenario& s) { s.currentIndex = 0; s.sampleOhms = 299.0; });
    row("DC higher table, danger", [](Scenario& s) { s.highLimitTable = true; s.danger = true; s.sampleOhms = 1.2; });
    row("DC cold conductor, hot reference", [](Scenario& s) { s.conductorTemp = -40.0f; s.convertedTemp = 255; });
    row("DC one cell AUTO", [](Scenario& s) { s.batteryCells = 1; s.currentIndex = 21; });
    row("length 1 A", [](Scenario& s) { s.lengthTest = true; s.currentIndex = 10; });
    row("length test value", [](Scenario& s) { s.lengthTest = true; s.currentIndex = 10; s.standardMode = 1; });
    row("length AUTO", [](Scenario& s) { s.lengthTest = true; s.currentIndex = 20; });
    row("length AUTO over range", [](Scenario& s) { s.lengthTest = true; s.currentIndex = 20; s.sampleMetres = 1.0e6; });
    row("length over range", [](Scenario& s) { s.lengthTest = true; s.currentIndex = 19; });
    row("length in km", [](Scenario& s) { s.lengthTest = true; s.currentIndex = 0; s.sampleMetres = 12000; });
    row("length beyond 999.99 km", [](Scenario& s) {
        s.lengthTest = true; s.currentIndex = 0; s.sampleMetres = 5000; s.standardUnit = 0;
    });
    row("length standard in Ω", [](Scenario& s) {
        s.lengthTest = true; s.currentIndex = 0; s.standardValue = 0.0069f; s.standardUnit = 2;
    });
}

void TestSimDecoder::everyRealTimeAnswerDecodes()
{
    QFETCH(Scenario, scenario);
    for (std::uint32_t seed = 1; seed <= 5; ++seed) {
        const std::vector<Bytes> answers = cycleAnswers(scenario, seed);
        QVERIFY2(answers.size() > 10, "the settings were refused");
        DecoderProbe probe;
        for (const Bytes& answer : answers) {
            QVERIFY(protocol::isRealTimeRecord(answer.data(), answer.size()));
            QCOMPARE(simtest::recordRuleBroken(answer), std::string());
            const int before = probe.records;
            probe.decoder.parseRealTimeData(answer);
            QVERIFY2(probe.failures == 0, qPrintable(probe.lastFailure + QLatin1String(": ") + describe(answer)));
            QCOMPARE(probe.records, before + 1);
            QCOMPARE(probe.lastTestType, int(answer[5]));
        }
    }
}

void TestSimDecoder::everyStoredAnswerDecodes_data()
{
    QTest::addColumn<std::uint32_t>("seed");
    QTest::addColumn<bool>("highLimitTable");
    for (std::uint32_t seed : {1u, 2u, 3u})
        for (bool high : {false, true})
            QTest::addRow("seed %u%s", seed, high ? ", higher table" : "") << seed << high;
}

void TestSimDecoder::everyStoredAnswerDecodes()
{
    QFETCH(std::uint32_t, seed);
    QFETCH(bool, highLimitTable);
    sim::InstrumentOptions options;
    options.seed = seed;
    options.highLimitTable = highLimitTable;
    options.storedRecords = 600;
    sim::Instrument instrument(options);
    DecoderProbe probe;
    for (int first = 1; first <= options.storedRecords; first += protocol::kReadBackBatch) {
        const std::vector<Bytes> answers =
            instrument.handle(protocol::buildReadBackRequest(first, protocol::kReadBackBatch));
        QCOMPARE(int(answers.size()), protocol::kReadBackBatch);
        int number = first;
        for (const Bytes& answer : answers) {
            QCOMPARE(simtest::recordRuleBroken(answer), std::string());
            probe.decoder.parseReadBackData(answer, number);
            QVERIFY2(probe.failures == 0, qPrintable(probe.lastFailure + QLatin1String(": ") + describe(answer)));
            QCOMPARE(probe.lastRecordNo, QString::number(number));
            ++number;
        }
    }
    QCOMPARE(probe.records, options.storedRecords);
}

QTEST_GUILESS_MAIN(TestSimDecoder)
#include "test_sim_decoder.moc"
