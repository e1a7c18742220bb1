// The link driven against the in-process simulated instrument: discovery,
// connection, acknowledged requests, polls, the stored-data read-out and the
// calls made from the window's thread during a read-out.

#include "linkfakes.h"
#include "protocol.h"
#include "settingsframes.h"
#include "simtransport.h"
#include "winusbmanager.h"

#include <QRegularExpression>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <algorithm>

namespace {

using Report = QPair<QString, int>;
using Bytes = protocol::Bytes;

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

const char* const kNotConnected = "设备未连接";
const char* const kRealTimeFailed = "读取实时数据失败";
const char* const kStoredFailed = "读取存储数据失败";
const char* const kStartFailed = "请求开始测试失败";

LinkTiming fastTiming() { return LinkTiming::scaled(0.01); }

QList<Report> reports(const QSignalSpy& spy)
{
    QList<Report> out;
    for (const QList<QVariant>& args : spy)
        out << Report(args.at(0).toString(), args.at(1).toInt());
    return out;
}

QList<bool> bools(const QSignalSpy& spy)
{
    QList<bool> out;
    for (const QList<QVariant>& args : spy)
        out << args.at(0).toBool();
    return out;
}

Bytes bytesOf(const QVariant& value) { return value.value<std::vector<unsigned char>>(); }

// Requests the instrument received that start with the given bytes.
std::vector<Bytes> received(const sim::Instrument& instrument, const Bytes& prefix)
{
    std::vector<Bytes> out;
    for (const Bytes& request : instrument.requestLog())
        if (request.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), request.begin()))
            out.push_back(request);
    return out;
}

// A manager over simulated instruments, with spies on its signals.
struct Rig {
    explicit Rig(int count = 1, sim::InstrumentOptions options = {}, sim::SimTransportOptions transportOptions = {})
    {
        for (int i = 0; i < count; ++i)
            instruments.push_back(std::make_shared<sim::Instrument>(options));
        auto transport = std::make_unique<sim::SimulatorTransport>(instruments, transportOptions);
        sim = transport.get();
        manager = std::make_unique<WinUSBManager>(std::move(transport), fastTiming());
        states = std::make_unique<QSignalSpy>(manager.get(), &WinUSBManager::stateProcessing);
        detections = std::make_unique<QSignalSpy>(manager.get(), &WinUSBManager::finishUsbDetection);
        realTime = std::make_unique<QSignalSpy>(manager.get(), &WinUSBManager::finishReadRealTime);
        counts = std::make_unique<QSignalSpy>(manager.get(), &WinUSBManager::finishReadStorageNumSignal);
        records = std::make_unique<QSignalSpy>(manager.get(), &WinUSBManager::finishReadReadBack);
    }

    void connectFirst()
    {
        manager->connectUsb(QString::fromStdString(sim::SimulatorTransport::pathFor(0)));
        QCOMPARE(bools(*detections), QList<bool>{true});
        detections->clear();
        instrument().clearRequestLog();
    }

    sim::Instrument& instrument(int i = 0) { return *instruments.at(i); }
    void setFaults(const sim::Faults& faults) { instrument().setFaults(faults); }

    std::vector<std::shared_ptr<sim::Instrument>> instruments;
    sim::SimulatorTransport* sim = nullptr;  // owned by the manager
    std::unique_ptr<WinUSBManager> manager;
    std::unique_ptr<QSignalSpy> states, detections, realTime, counts, records;
};

enum Operation { Start, Stop, Settings, KeyLock, KeyUnlock, UpperOpen, UpperClose, StoredCount, ReadOut, OnDemand, Poll };

Bytes dcSettingsFrame()
{
    protocol::DcSettings settings;
    settings.currentIndex = 5;
    settings.convertedTemp = 75;
    settings.phaseIndex = 1;
    settings.conductorTemp = 21.5f;
    return protocol::buildDcSettingsFrame(settings);
}

void run(WinUSBManager& manager, Operation operation)
{
    switch (operation) {
    case Start: manager.startTesting(false); break;
    case Stop: manager.stopTesting(true); break;
    case Settings: {
        const Bytes frame = dcSettingsFrame();
        manager.updateTestSetting(QByteArray(reinterpret_cast<const char*>(frame.data()), int(frame.size())));
        break;
    }
    case KeyLock: manager.keyLock(); break;
    case KeyUnlock: manager.keyUnlock(); break;
    case UpperOpen: manager.informUpperOpen(); break;
    case UpperClose: manager.informUpperClose(); break;
    case StoredCount: manager.readStoreTotalNum(); break;
    case ReadOut: manager.readReadBackData(); break;
    case OnDemand: manager.cancelUiUpdate(); break;
    case Poll: manager.readRealTimeData(); break;
    }
}

}  // namespace

class LinkManagerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<std::vector<unsigned char>>("std::vector<unsigned char>");
    }

    // ------------------------------------------------------------ discovery
    void discovery_data()
    {
        QTest::addColumn<int>("instruments");
        QTest::newRow("none") << 0;
        QTest::newRow("one") << 1;
        QTest::newRow("several") << 3;
    }
    void discovery()
    {
        QFETCH(int, instruments);
        Rig rig(instruments);
        QSignalSpy detected(rig.manager.get(), &WinUSBManager::detectedDeviceSignal);
        rig.manager->detectDevice();
        if (instruments == 0) {
            QCOMPARE(detected.count(), 0);
            QCOMPARE(reports(*rig.states), QList<Report>{Report(text("未检测到任何设备"), 0)});
            return;
        }
        QCOMPARE(rig.states->count(), 0);
        QCOMPARE(detected.count(), 1);
        QStringList expected;
        for (int i = 0; i < instruments; ++i)
            expected << QString::fromStdString(sim::SimulatorTransport::pathFor(i));
        QCOMPARE(detected.at(0).at(0).toStringList(), expected);
    }

    // ------------------------------------------------------------ connection
    void connectOutcome_data()
    {
        QTest::addColumn<bool>("failOpen");
        QTest::addColumn<bool>("failBind");
        QTest::addColumn<bool>("zeroEndpoints");
        QTest::addColumn<bool>("usable");
        QTest::newRow("opens") << false << false << false << true;
        QTest::newRow("cannot open") << true << false << false << false;
        QTest::newRow("cannot bind") << false << true << false << false;
        QTest::newRow("no endpoints") << false << false << true << true;
    }
    void connectOutcome()
    {
        QFETCH(bool, failOpen);
        QFETCH(bool, failBind);
        QFETCH(bool, zeroEndpoints);
        QFETCH(bool, usable);
        sim::SimTransportOptions options;
        options.failOpen = failOpen;
        options.failBind = failBind;
        options.zeroEndpoints = zeroEndpoints;
        Rig rig(1, {}, options);
        if (failBind)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^WinUsb_Initialize failed: \\d+$"));
        rig.manager->connectUsb("sim:0");
        QCOMPARE(bools(*rig.detections), QList<bool>{usable});
        QCOMPARE(rig.states->count(), 0);
        QCOMPARE(rig.sim->deviceOpen(), usable);

        // A failed connect leaves nothing open: disconnecting reports nothing.
        rig.detections->clear();
        rig.manager->disConnect();
        QCOMPARE(bools(*rig.detections), usable ? QList<bool>{false} : QList<bool>{});
        rig.manager->disConnect();
        QCOMPARE(rig.detections->count(), usable ? 1 : 0);
    }

    void connectWhileConnected()
    {
        Rig rig(2);
        rig.manager->connectUsb("sim:0");
        rig.manager->connectUsb("sim:1");
        QCOMPARE(bools(*rig.detections), (QList<bool>{true, false, true}));
        rig.manager->keyLock();
        QCOMPARE(rig.instrument(0).keysLocked(), false);
        QCOMPARE(rig.instrument(1).keysLocked(), true);
    }

    void commandsNeedConnection_data()
    {
        QTest::addColumn<int>("operation");
        for (Operation op : {Start, Stop, Settings, KeyLock, KeyUnlock, UpperOpen, UpperClose, StoredCount, ReadOut,
                             OnDemand, Poll})
            QTest::newRow(QByteArray::number(op).constData()) << int(op);
    }
    void commandsNeedConnection()
    {
        QFETCH(int, operation);
        Rig rig;
        run(*rig.manager, Operation(operation));
        QCOMPARE(reports(*rig.states), QList<Report>{Report(text(kNotConnected), 4)});
        QCOMPARE(rig.instrument().requestLog().size(), std::size_t(0));
    }

    // ------------------------------------------------------------ acknowledged requests
    void acknowledged_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<bool>("refuse");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("code");
        QTest::addColumn<Bytes>("request");
        const QString refusedSettings =
            text("更新测量设置失败。电量为两格时不能设置2A以上挡位，为1格时不能设置400mA以上挡位。");
        QTest::newRow("start accepted") << int(Start) << false << text("请求开始测试成功") << 0
                                        << protocol::buildStartTestRequest(false);
        QTest::newRow("start refused") << int(Start) << true << text(kStartFailed) << 3
                                       << protocol::buildStartTestRequest(false);
        QTest::newRow("stop accepted") << int(Stop) << false << text("请求停止测试成功") << 0
                                       << protocol::buildStopTestRequest(true);
        QTest::newRow("stop refused") << int(Stop) << true << text("请求停止测试失败") << 3
                                      << protocol::buildStopTestRequest(true);
        QTest::newRow("settings accepted") << int(Settings) << false << text("更新测量设置成功") << 0
                                           << dcSettingsFrame();
        QTest::newRow("settings refused") << int(Settings) << true << refusedSettings << 3 << dcSettingsFrame();
        QTest::newRow("key lock accepted") << int(KeyLock) << false << text("请求按键锁成功") << 0
                                           << protocol::buildKeyLockRequest();
        QTest::newRow("key lock refused") << int(KeyLock) << true << text("请求按键锁失败") << 2
                                          << protocol::buildKeyLockRequest();
    }
    void acknowledged()
    {
        QFETCH(int, operation);
        QFETCH(bool, refuse);
        QFETCH(QString, message);
        QFETCH(int, code);
        QFETCH(Bytes, request);
        Rig rig;
        rig.connectFirst();
        sim::Faults faults;
        faults.refuseAcknowledges = refuse;
        rig.setFaults(faults);
        run(*rig.manager, Operation(operation));
        QCOMPARE(reports(*rig.states), QList<Report>{Report(message, code)});
        QCOMPARE(rig.instrument().requestLog(), std::vector<Bytes>{request});
    }

    void unansweredRequestIsALinkFailureNotARefusal()
    {
        Rig rig;
        rig.connectFirst();
        sim::Faults faults;
        faults.silent = true;
        rig.setFaults(faults);
        rig.manager->startTesting(false);
        // Six failed reads, each told by its transfer, then the operation's own report.
        QList<Report> expected;
        for (int i = 0; i < 7; ++i)
            expected << Report(text(kStartFailed), 4);
        QCOMPARE(reports(*rig.states), expected);

        // The link stays up after a failed command.
        rig.setFaults({});
        rig.states->clear();
        rig.manager->startTesting(false);
        QCOMPARE(reports(*rig.states), QList<Report>{Report(text("请求开始测试成功"), 0)});
    }

    void emptySettingsFrameDoesNothing()
    {
        Rig rig;
        rig.connectFirst();
        rig.manager->updateTestSetting(QByteArray());
        QCOMPARE(rig.states->count(), 0);
        QCOMPARE(rig.instrument().requestLog().size(), std::size_t(0));
    }

    void upperOpenSendsWakeUpFirst()
    {
        Rig rig;
        rig.connectFirst();
        rig.manager->informUpperOpen();
        QCOMPARE(rig.instrument().requestLog(),
                 (std::vector<Bytes>{protocol::wakeUpBytes(), protocol::buildUpperOpenRequest()}));
        QVERIFY(rig.instrument().upperOpen());
        QCOMPARE(rig.states->count(), 0);
    }

    // ------------------------------------------------------------ real-time reads
    void onDemandReadCarriesReadType()
    {
        Rig rig;
        rig.connectFirst();
        rig.manager->changeReadType(1);
        rig.manager->changeReadType(7);  // ignored
        rig.manager->cancelUiUpdate();
        QCOMPARE(rig.instrument().requestLog(), std::vector<Bytes>{protocol::buildRealTimeRequest(0x01)});
        QCOMPARE(rig.realTime->count(), 1);
        const Bytes record = bytesOf(rig.realTime->at(0).at(0));
        QVERIFY(protocol::isRealTimeRecord(record.data(), record.size()));
        QCOMPARE(rig.states->count(), 0);
    }

    void badPolls_data()
    {
        QTest::addColumn<bool>("acceptingAcknowledge");
        QTest::addColumn<QString>("message");
        QTest::newRow("non-test screen") << false << text("设备处在非测试界面，读取实时数据失败！");
        QTest::newRow("accepting acknowledge") << true << text(kRealTimeFailed);
    }
    void badPolls()
    {
        QFETCH(bool, acceptingAcknowledge);
        QFETCH(QString, message);
        Rig rig;
        rig.connectFirst();
        rig.manager->changeReadType(2);
        if (acceptingAcknowledge) {
            sim::Faults faults;
            faults.acknowledgeRealTime = true;
            rig.setFaults(faults);
        } else {
            rig.instrument().setScreen(sim::Screen::Other);
        }
        QList<QList<Report>> perPoll;
        auto poll = [&] {
            rig.states->clear();
            rig.manager->readRealTimeData();
            perPoll << reports(*rig.states);
        };
        for (int i = 0; i < 4; ++i)
            poll();
        rig.setFaults({});
        rig.instrument().setScreen(sim::Screen::DcTest);
        poll();
        poll();
        const QList<Report> none;
        const QList<Report> bad{Report(message, 1)};
        QCOMPARE(perPoll, (QList<QList<Report>>{none, none, bad, bad, {Report(QString(), 0)}, none}));
        QCOMPARE(rig.realTime->count(), 2);
    }

    void polledTimeoutDropsTheLink()
    {
        Rig rig;
        rig.connectFirst();
        sim::Faults faults;
        faults.silent = true;
        rig.setFaults(faults);
        rig.manager->readRealTimeData();
        QCOMPARE(reports(*rig.states), (QList<Report>{Report(text(kRealTimeFailed), 4), Report(text(kRealTimeFailed), 4)}));

        rig.setFaults({});
        rig.instrument().clearRequestLog();
        rig.states->clear();
        rig.manager->startTesting(false);
        QCOMPARE(reports(*rig.states), QList<Report>{Report(text(kNotConnected), 4)});
        QCOMPARE(rig.instrument().requestLog().size(), std::size_t(0));

        // Half-open: the device is still open until the next disconnect.
        QVERIFY(rig.sim->deviceOpen());
        rig.manager->disConnect();
        QCOMPARE(bools(*rig.detections), QList<bool>{false});
        QVERIFY(!rig.sim->deviceOpen());
    }

    // ------------------------------------------------------------ stored data
    void storedCount_data()
    {
        QTest::addColumn<int>("stored");
        QTest::newRow("none stored") << 0;
        QTest::newRow("one") << 1;
        QTest::newRow("largest") << 9999;
    }
    void storedCount()
    {
        QFETCH(int, stored);
        sim::InstrumentOptions options;
        options.storedRecords = stored;
        Rig rig(1, options);
        rig.connectFirst();
        rig.manager->readStoreTotalNum();
        if (stored == 0) {
            QCOMPARE(reports(*rig.states), QList<Report>{Report(text("无存储数据"), 2)});
            QCOMPARE(rig.counts->count(), 0);
        } else {
            QCOMPARE(rig.states->count(), 0);
            QCOMPARE(rig.counts->count(), 1);
            QCOMPARE(rig.counts->at(0).at(0).toInt(), stored);
        }
        QCOMPARE(rig.instrument().requestLog(), std::vector<Bytes>{protocol::buildStoredCountRequest()});
    }

    void readOutInBatches()
    {
        sim::InstrumentOptions options;
        options.storedRecords = 45;
        Rig rig(1, options);
        rig.connectFirst();
        rig.manager->readStoreTotalNum();
        rig.instrument().clearRequestLog();
        rig.manager->readReadBackData();

        QCOMPARE(rig.instrument().requestLog(),
                 (std::vector<Bytes>{protocol::buildReadBackRequest(1, 30), protocol::buildReadBackRequest(31, 15)}));
        QCOMPARE(rig.states->count(), 0);
        QCOMPARE(rig.records->count(), 45);
        for (int i = 0; i < 45; ++i) {
            QCOMPARE(rig.records->at(i).at(1).toInt(), i + 1);
            QCOMPARE(bytesOf(rig.records->at(i).at(0)), rig.instrument().storedRecordAnswer(i + 1));
        }
    }

    void wrongRecordNumberIsSkipped()
    {
        sim::InstrumentOptions options;
        options.storedRecords = 10;
        options.faults.misnumberRecord = 6;
        Rig rig(1, options);
        rig.connectFirst();
        rig.manager->readStoreTotalNum();
        rig.manager->readReadBackData();
        QCOMPARE(reports(*rig.states), QList<Report>{Report(text("读取第6组数据失败"), 0)});
        QList<int> numbers;
        for (const QList<QVariant>& args : *rig.records)
            numbers << args.at(1).toInt();
        QCOMPARE(numbers, (QList<int>{1, 2, 3, 4, 5, 7, 8, 9, 10}));
    }

    void stopFlagEndsReadOutBetweenRecords()
    {
        sim::InstrumentOptions options;
        options.storedRecords = 45;
        Rig rig(1, options);
        rig.connectFirst();
        rig.manager->readStoreTotalNum();
        rig.instrument().clearRequestLog();
        WinUSBManager* manager = rig.manager.get();
        const QMetaObject::Connection stopAtTen =
            connect(manager, &WinUSBManager::finishReadReadBack, manager,
                    [manager](std::vector<unsigned char>, int readedNum) {
                        if (readedNum == 10)
                            manager->stopCirculation(true);
                    });
        rig.manager->readReadBackData();
        QCOMPARE(rig.records->count(), 10);
        QCOMPARE(rig.instrument().requestLog(), std::vector<Bytes>{protocol::buildReadBackRequest(1, 30)});

        // The flag stays set until the window clears it.
        rig.manager->readReadBackData();
        QCOMPARE(rig.records->count(), 10);
        disconnect(stopAtTen);
        // Started again as the window does: the count read skips the records
        // left over from the abandoned batch.
        rig.manager->stopCirculation(false);
        rig.manager->readStoreTotalNum();
        rig.manager->readReadBackData();
        QCOMPARE(rig.records->count(), 10 + 45);
        QCOMPARE(rig.states->count(), 0);
    }

    void silentInstrumentEndsReadOut()
    {
        sim::InstrumentOptions options;
        options.storedRecords = 45;
        Rig rig(1, options);
        rig.connectFirst();
        rig.manager->readStoreTotalNum();
        sim::Faults faults;
        faults.silent = true;
        rig.setFaults(faults);
        rig.manager->readReadBackData();
        QCOMPARE(reports(*rig.states), (QList<Report>{Report(text(kStoredFailed), 4), Report(text(kStoredFailed), 4)}));
        QCOMPARE(rig.records->count(), 0);
    }

    // ------------------------------------------------------------ threads
    void windowCallsDuringReadOut()
    {
        sim::InstrumentOptions options;
        options.storedRecords = 200;
        auto instrument = std::make_shared<sim::Instrument>(options);
        sim::SimulatorTransport sim(instrument);
        auto paced = std::make_unique<linktest::PacedTransport>(&sim, 3);
        linktest::PacedTransport* pacedRaw = paced.get();
        LinkTiming timing = fastTiming();
        timing.transferTimeoutMs = 1000;
        WinUSBManager manager(std::move(paced), timing);
        QSignalSpy records(&manager, &WinUSBManager::finishReadReadBack);
        QSignalSpy states(&manager, &WinUSBManager::stateProcessing);
        QSemaphore started;
        connect(&manager, &WinUSBManager::finishReadReadBack, &manager,
                [&started](std::vector<unsigned char>, int readedNum) {
                    if (readedNum == 3)
                        started.release();
                },
                Qt::DirectConnection);

        QThread thread;
        manager.moveToThread(&thread);
        thread.start();
        QMetaObject::invokeMethod(&manager, [&manager] {
            manager.connectUsb("sim:0");
            manager.readStoreTotalNum();
            manager.readReadBackData();
        });

        QVERIFY(started.tryAcquire(1, 5000));
        manager.informUpperClose();
        manager.stopCirculation(true);
        manager.keyUnlock();

        QSemaphore done;
        QThread* testThread = QThread::currentThread();
        QMetaObject::invokeMethod(&manager, [&done, &manager, testThread] {
            manager.moveToThread(testThread);
            done.release();
        });
        QVERIFY(done.tryAcquire(1, 10000));
        thread.quit();
        QVERIFY(thread.wait(5000));

        QVERIFY(records.count() >= 3);
        QVERIFY(records.count() < 200);
        QCOMPARE(states.count(), 0);
        QCOMPARE(pacedRaw->maxConcurrentWaits.load(), 1);
        QCOMPARE(received(*instrument, protocol::buildUpperCloseRequest()).size(), std::size_t(1));
        QCOMPARE(received(*instrument, protocol::buildKeyUnlockRequest()).size(), std::size_t(1));
    }
};


QTEST_GUILESS_MAIN(LinkManagerTest)
#include "test_link_manager.moc"
