// The link against the in-process simulated instrument: discovery,
// connection, acknowledged requests, polls, the stored-data read-out and the
// calls the window makes from its own thread during a read-out; then against
// a scripted transport, for the faults the simulator does not play.

#include "tests/linkfakes.h"
#include "sim/simtransport.h"

#include <QTest>

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>

using linktest::Bytes;
using linktest::failures;
using linktest::Link;
using linktest::Report;
using linktest::settingsFrame;
using linktest::text;

namespace {

const char* const kStoredFailed = "读取存储数据失败";

std::vector<std::shared_ptr<sim::Instrument>> instruments(int count, int storedRecords)
{
    sim::InstrumentOptions options;
    options.storedRecords = storedRecords;
    std::vector<std::shared_ptr<sim::Instrument>> out;
    for (int i = 0; i < count; ++i)
        out.push_back(std::make_shared<sim::Instrument>(options));
    return out;
}

// The simulator, noting whether two transfer waits ever overlapped.
struct WaitWatchingTransport : sim::SimulatorTransport {
    using SimulatorTransport::SimulatorTransport;
    std::mutex waiting;  // held during every wait
    std::atomic<bool> overlapped{false};
    transport::WaitResult waitTransfer(transport::Transfer* transfer, std::uint32_t timeoutMs) override
    {
        std::unique_lock<std::mutex> lock(waiting, std::try_to_lock);
        overlapped = overlapped || !lock.owns_lock();
        return SimulatorTransport::waitTransfer(transfer, timeoutMs);
    }
};

struct SimLink : Link<WaitWatchingTransport> {
    explicit SimLink(int storedRecords = 0, int count = 1, LinkTiming timing = LinkTiming::scaled(0.01))
        : Link(std::make_unique<WaitWatchingTransport>(instruments(count, storedRecords)), timing)
    {
    }
    // Connects to the first instrument and forgets what that took.
    void connect()
    {
        manager.connectUsb("sim:0");
        instrument().clearRequestLog();
    }
    sim::Instrument& instrument(int index = 0) { return *transport->instrument(index); }
    void setFaults(bool silent, bool refuse = false)
    {
        sim::Faults faults;
        faults.silent = silent;
        faults.refuseAcknowledges = refuse;
        instrument().setFaults(faults);
    }
};

// The simulator with its answers replaced by a script: read n gets script(n),
// or times out when the script gives nothing. Counts the reads finished
// after a cancel.
class ScriptedTransport : public sim::SimulatorTransport {
public:
    using Script = std::function<std::optional<Bytes>(int readIndex)>;
    explicit ScriptedTransport(Script script)
        : SimulatorTransport(std::make_shared<sim::Instrument>()), script(std::move(script))
    {
    }
    struct Read : transport::Transfer {
        std::uint8_t* buffer = nullptr;
        std::optional<Bytes> answer;
        bool cancelled = false;
    };
    Script script;
    int reads = 0;
    int finishedAfterCancel = 0;

    transport::Transfer* startTransfer(std::uint8_t pipe, std::uint8_t* buffer, std::uint32_t length) override
    {
        if (!(pipe & 0x80))
            return SimulatorTransport::startTransfer(pipe, buffer, length);
        auto* read = new Read;
        read->buffer = buffer;
        read->answer = script(reads++);
        return read;
    }
    transport::WaitResult waitTransfer(transport::Transfer* transfer, std::uint32_t timeoutMs) override
    {
        if (auto* read = dynamic_cast<Read*>(transfer))
            return read->answer ? transport::WaitResult::Completed : transport::WaitResult::TimedOut;
        return SimulatorTransport::waitTransfer(transfer, timeoutMs);
    }
    bool transferResult(transport::Transfer* transfer, std::uint32_t* transferred) override
    {
        auto* read = dynamic_cast<Read*>(transfer);
        if (!read)
            return SimulatorTransport::transferResult(transfer, transferred);
        std::copy(read->answer->begin(), read->answer->end(), read->buffer);
        *transferred = std::uint32_t(read->answer->size());
        return true;
    }
    void cancelTransfer(transport::Transfer* transfer) override
    {
        if (auto* read = dynamic_cast<Read*>(transfer))
            read->cancelled = true;
        else
            SimulatorTransport::cancelTransfer(transfer);
    }
    void finishTransfer(transport::Transfer* transfer) override
    {
        auto* read = dynamic_cast<Read*>(transfer);
        if (!read)
            return SimulatorTransport::finishTransfer(transfer);
        finishedAfterCancel += read->cancelled;
        delete read;
    }
};

Bytes countAnswer(int count)
{
    Bytes answer = protocol::buildFrame(std::uint8_t(protocol::AnswerType::StoredCount),
                                        {0x00, std::uint8_t(count >> 8), std::uint8_t(count)});
    answer.resize(protocol::kCountAnswerSize);
    return answer;
}

}  // namespace

using Command = void (*)(WinUSBManager&);
Q_DECLARE_METATYPE(Command)

class LinkManagerTest : public QObject {
    Q_OBJECT

private slots:
    // ------------------------------------------------------------ discovery and connection
    void discoveryAndConnectOutcomes()
    {
        SimLink none(0, 0);
        QSignalSpy nothingFound(&none.manager, &WinUSBManager::detectedDeviceSignal);
        none.manager.detectDevice();
        QVERIFY(nothingFound.isEmpty());
        QCOMPARE(none.reports(), QList<Report>{Report(text("未检测到任何设备"), 0)});

        SimLink rig(0, 2);
        QSignalSpy found(&rig.manager, &WinUSBManager::detectedDeviceSignal);
        rig.manager.detectDevice();
        QCOMPARE(rig.column<QStringList>(found, 0), (QList<QStringList>{{"sim:0", "sim:1"}}));
        rig.manager.connectUsb("sim:7");  // a path that cannot be opened
        rig.manager.disConnect();         // nothing open: nothing to report
        rig.manager.connectUsb("sim:0");
        rig.manager.connectUsb("sim:1");  // closes the first link first
        QCOMPARE(rig.column<bool>(rig.connected, 0), (QList<bool>{false, true, false, true}));
        QVERIFY(rig.reports().isEmpty());
        rig.manager.keyLock();
        QVERIFY(!rig.instrument(0).keysLocked());
        QVERIFY(rig.instrument(1).keysLocked());
    }

    // ------------------------------------------------------------ requests
    void acknowledged_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<Bytes>("request");
        QTest::addColumn<QString>("accepted");
        QTest::addColumn<QString>("refused");
        QTest::addColumn<int>("refusedCode");
        QTest::newRow("start") << Command([](WinUSBManager& m) { m.startTesting(false); })
                               << protocol::buildStartTestRequest(false) << text("请求开始测试成功")
                               << text("请求开始测试失败") << 3;
        const QByteArray settings = settingsFrame();
        QTest::newRow("settings") << Command([](WinUSBManager& m) { m.updateTestSetting(settingsFrame()); })
                                  << Bytes(settings.begin(), settings.end()) << text("更新测量设置成功")
                                  << text("更新测量设置失败。电量为两格时不能设置2A以上挡位，为1格时不能设置400mA以上挡位。") << 3;
        QTest::newRow("key lock") << Command([](WinUSBManager& m) { m.keyLock(); }) << protocol::buildKeyLockRequest()
                                  << text("请求按键锁成功") << text("请求按键锁失败") << 2;
    }
    void acknowledged()
    {
        QFETCH(Command, command);
        QFETCH(Bytes, request);
        QFETCH(QString, accepted);
        QFETCH(QString, refused);
        QFETCH(int, refusedCode);
        SimLink rig;
        rig.connect();
        command(rig.manager);
        QCOMPARE(rig.reports(), QList<Report>{Report(accepted, 0)});
        rig.setFaults(false, true);
        command(rig.manager);
        rig.manager.updateTestSetting(QByteArray());  // an empty settings frame does nothing
        QCOMPARE(rig.reports(), QList<Report>{Report(refused, refusedCode)});
        QCOMPARE(rig.instrument().requestLog(), (std::vector<Bytes>{request, request}));
    }

    // Each failed read is told, then the command's failure; no refusal, and
    // the link stays up. A receiver of the first report may call the link again.
    void unansweredRequestsAreLinkFailures()
    {
        SimLink rig(45);
        rig.connect();
        rig.manager.readStoreTotalNum();
        rig.setFaults(true);
        bool calledBack = false;
        QObject::connect(&rig.manager, &WinUSBManager::stateProcessing, &rig.manager, [&rig, &calledBack] {
            if (!std::exchange(calledBack, true))
                rig.manager.keyUnlock();
        });
        rig.manager.startTesting(false);
        QCOMPARE(rig.reports(), failures(1 + 5 + 1, "请求开始测试失败"));
        QCOMPARE(rig.instrument().requestLog().back(), protocol::buildKeyUnlockRequest());
        rig.manager.readReadBackData();  // a batch without a single record ends the read-out
        QCOMPARE(rig.reports(), failures(2, kStoredFailed));
        rig.setFaults(false);
        rig.manager.startTesting(false);
        QCOMPARE(rig.reports(), QList<Report>{Report(text("请求开始测试成功"), 0)});
    }

    // ------------------------------------------------------------ polls
    // Bad polls are told from the third on, every time; the first good one
    // after them clears the message.
    void badPolls_data()
    {
        QTest::addColumn<bool>("acceptingAcknowledge");
        QTest::addColumn<QString>("message");
        QTest::newRow("non-test screen") << false << text("设备处在非测试界面，读取实时数据失败！");
        QTest::newRow("accepting acknowledge") << true << text("读取实时数据失败");
    }
    void badPolls()
    {
        QFETCH(bool, acceptingAcknowledge);
        QFETCH(QString, message);
        SimLink rig;
        rig.connect();
        rig.manager.changeReadType(2);
        sim::Faults faults;
        faults.acknowledgeRealTime = acceptingAcknowledge;
        rig.instrument().setFaults(faults);
        rig.instrument().setScreen(acceptingAcknowledge ? sim::Screen::DcTest : sim::Screen::Other);
        QList<QList<Report>> perPoll;
        for (int i = 0; i < 6; ++i) {
            if (i == 4) {
                rig.instrument().setFaults({});
                rig.instrument().setScreen(sim::Screen::DcTest);
            }
            rig.manager.readRealTimeData();
            perPoll << rig.reports();
        }
        const QList<Report> none, bad{Report(message, 1)};
        QCOMPARE(perPoll, (QList<QList<Report>>{none, none, bad, bad, {Report(QString(), 0)}, none}));
        QCOMPARE(rig.instrument().requestLog().front(), protocol::buildRealTimeRequest(protocol::kReadTypeAny));
    }

    void polledTimeoutDropsTheLink()
    {
        SimLink rig;
        rig.connect();
        rig.setFaults(true);
        rig.manager.readRealTimeData();
        QCOMPARE(rig.reports(), failures(2, "读取实时数据失败"));
        rig.setFaults(false);
        rig.instrument().clearRequestLog();
        rig.manager.startTesting(false);
        QCOMPARE(rig.reports(), QList<Report>{Report(text("设备未连接"), 4)});
        QVERIFY(rig.instrument().requestLog().empty());
        rig.manager.disConnect();  // closes the half-open device
        QCOMPARE(rig.column<bool>(rig.connected, 0), (QList<bool>{true, false}));
        QVERIFY(!rig.transport->deviceOpen());
    }

    // ------------------------------------------------------------ stored data
    void readOutInBatchesOfThirty()
    {
        SimLink rig(45);
        rig.connect();
        rig.manager.readStoreTotalNum();
        rig.manager.readReadBackData();
        QCOMPARE(rig.instrument().requestLog(), (std::vector<Bytes>{protocol::buildStoredCountRequest(),
                                                                    protocol::buildReadBackRequest(1, 30),
                                                                    protocol::buildReadBackRequest(31, 15)}));
        QVERIFY(rig.reports().isEmpty());
        QCOMPARE(rig.records.count(), 45);
        QCOMPARE(rig.records.last().at(1).toInt(), 45);  // the running number
        for (int i = 0; i < 45; ++i)
            QCOMPARE(rig.records.at(i).at(0).value<Bytes>(), rig.instrument().storedRecordAnswer(i + 1));
    }

    void wrongRecordNumberIsToldAndSkipped()
    {
        SimLink rig(10);
        sim::Faults faults;
        faults.misnumberRecord = 6;
        rig.instrument().setFaults(faults);
        rig.connect();
        rig.manager.readStoreTotalNum();
        rig.manager.readReadBackData();
        QCOMPARE(rig.reports(), QList<Report>{Report(text("读取第6组数据失败"), 0)});
        QCOMPARE(rig.column<int>(rig.records, 1), (QList<int>{1, 2, 3, 4, 5, 7, 8, 9, 10}));
    }

    void stopFlagEndsReadOutBetweenRecords()
    {
        SimLink rig(45);
        rig.connect();
        rig.manager.readStoreTotalNum();
        const auto stopAtTen = QObject::connect(&rig.manager, &WinUSBManager::finishReadReadBack, &rig.manager,
                                                [&rig](std::vector<unsigned char>, int readedNum) {
                                                    if (readedNum == 10)
                                                        rig.manager.stopCirculation(true);
                                                });
        rig.manager.readReadBackData();
        rig.manager.readReadBackData();  // the flag stays until the window clears it
        QCOMPARE(rig.records.count(), 10);
        QCOMPARE(rig.instrument().requestLog(),
                 (std::vector<Bytes>{protocol::buildStoredCountRequest(), protocol::buildReadBackRequest(1, 30)}));
        // Started again as the window does: the leftovers of the abandoned batch are skipped.
        QObject::disconnect(stopAtTen);
        rig.manager.stopCirculation(false);
        rig.manager.readStoreTotalNum();
        rig.manager.readReadBackData();
        QCOMPARE(rig.records.count(), 10 + 45);
        QVERIFY(rig.reports().isEmpty());
    }

    // ------------------------------------------------------------ threads
    // The three slots the window may call from its own thread while the link's
    // thread reads out: the stop is seen between records, and the writes wait
    // their turn.
    void windowCallsDuringReadOut()
    {
        SimLink rig(200, 1, LinkTiming::scaled(0.4));  // transfer time-outs of a second, for a busy machine
        sim::Faults faults;
        faults.answerDelayMs = 3;
        rig.instrument().setFaults(faults);
        QVERIFY(rig.callDuringReadOut([&rig] { rig.connect(); }, 5000));

        QVERIFY(rig.records.count() >= 3 && rig.records.count() < 200);
        QVERIFY(rig.reports().isEmpty());
        QVERIFY(!rig.transport->overlapped);
        const std::vector<Bytes> log = rig.instrument().requestLog();
        QCOMPARE(int(std::count(log.begin(), log.end(), protocol::buildUpperCloseRequest())), 1);
        QCOMPARE(int(std::count(log.begin(), log.end(), protocol::buildKeyUnlockRequest())), 1);
    }

    // ------------------------------------------------------------ faults of a scripted instrument
    // A timed-out transfer is cancelled, and given back to the platform
    // before the command returns (its buffer lives until then).
    void timedOutTransfersAreFinishedBeforeReturn()
    {
        Link<ScriptedTransport> rig(std::make_unique<ScriptedTransport>([](int) { return std::nullopt; }));
        rig.manager.connectUsb("sim:0");
        rig.manager.startTesting(false);  // six timed-out reads
        QCOMPARE(rig.transport->finishedAfterCancel, 6);
        rig.manager.readRealTimeData();
        QCOMPARE(rig.transport->finishedAfterCancel, 7);
    }

    // An instrument repeating answers of the wrong kind cannot hold the link:
    // after so many the read fails.
    void endlessWrongAnswersAreBounded()
    {
        Link<ScriptedTransport> rig(std::make_unique<ScriptedTransport>([](int) { return countAnswer(45); }));
        rig.manager.connectUsb("sim:0");
        rig.manager.readStoreTotalNum();
        rig.manager.readReadBackData();    // awaits records
        rig.manager.startTesting(false);  // awaits an acknowledge
        QCOMPARE(rig.reports(), (QList<Report>{Report(text(kStoredFailed), 4), Report(text("请求开始测试失败"), 4)}));
        QCOMPARE(rig.transport->reads, 1 + 2 * (WinUSBManager::kMaxDiscardedAnswers + 1));
    }

    void storedCount_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("message");
        QTest::newRow("none") << 0 << text("无存储数据");
        QTest::newRow("largest") << 9999 << QString();
        QTest::newRow("more than the instrument holds") << 10000 << text(kStoredFailed);
    }
    void storedCount()
    {
        QFETCH(int, count);
        QFETCH(QString, message);
        Link<ScriptedTransport> rig(std::make_unique<ScriptedTransport>([count](int) { return countAnswer(count); }));
        rig.manager.connectUsb("sim:0");
        rig.manager.readStoreTotalNum();
        QCOMPARE(rig.column<int>(rig.counts, 0), message.isEmpty() ? QList<int>{count} : QList<int>{});
        QCOMPARE(rig.reports(), message.isEmpty() ? QList<Report>{} : QList<Report>{Report(message, 2)});
    }
};

QTEST_GUILESS_MAIN(LinkManagerTest)
#include "test_link_manager.moc"
