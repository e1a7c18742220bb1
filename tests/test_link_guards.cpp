// The link against instruments that misbehave in ways the simulator does not
// offer: transfers that never finish, endless answers of the wrong kind, an
// impossible stored count; and the transport set's dispatch.

#include "linkfakes.h"
#include "protocol.h"
#include "transportset.h"
#include "winusbmanager.h"

#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>

#include <thread>

namespace {

using linktest::Bytes;
using linktest::ScriptedTransport;
using Report = QPair<QString, int>;

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

QList<Report> reports(const QSignalSpy& spy)
{
    QList<Report> out;
    for (const QList<QVariant>& args : spy)
        out << Report(args.at(0).toString(), args.at(1).toInt());
    return out;
}

Bytes acknowledge(bool accepted)
{
    return protocol::buildFrame(std::uint8_t(protocol::AnswerType::Acknowledge), {std::uint8_t(accepted ? protocol::kAccepted : 0)});
}

Bytes countAnswer(int count)
{
    Bytes answer = protocol::buildFrame(std::uint8_t(protocol::AnswerType::StoredCount),
                                        {0x00, std::uint8_t(count >> 8), std::uint8_t(count)});
    answer.resize(protocol::kCountAnswerSize);
    return answer;
}

Bytes record(protocol::AnswerType type, int number)
{
    Bytes answer(protocol::kRecordSize, 0);
    answer[0] = protocol::kStart1;
    answer[1] = protocol::kStart2;
    answer[4] = std::uint8_t(type);
    answer[33] = std::uint8_t(number >> 8);
    answer[34] = std::uint8_t(number);
    return answer;
}

struct Rig {
    Rig()
    {
        auto owned = std::make_unique<ScriptedTransport>();
        transport = owned.get();
        manager = std::make_unique<WinUSBManager>(std::move(owned), LinkTiming::scaled(0.01));
        states = std::make_unique<QSignalSpy>(manager.get(), &WinUSBManager::stateProcessing);
        manager->connectUsb("fake:0");
    }
    ScriptedTransport* transport = nullptr;  // owned by the manager
    std::unique_ptr<WinUSBManager> manager;
    std::unique_ptr<QSignalSpy> states;
};

enum Operation { Start, OnDemand, StoredCount, ReadOut };

}  // namespace

class LinkGuardsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<std::vector<unsigned char>>("std::vector<unsigned char>"); }

    // Every transfer is given back to the transport before the operation
    // returns, a timed-out one only after it was cancelled; nothing stays in flight.
    void timedOutTransfersAreCancelledThenFinished()
    {
        Rig rig;
        rig.manager->startTesting(false);  // never answered: six timed-out reads
        QCOMPARE(rig.transport->inFlight(), 0);
        QCOMPARE(rig.transport->finishedAfterCancel, 6);
        rig.manager->readRealTimeData();  // a timed-out poll
        QCOMPARE(rig.transport->inFlight(), 0);
        QCOMPARE(rig.transport->finishedAfterCancel, 7);
    }

    // The window calls the link directly and hears a failure directly; its
    // handler may call the link again without locking itself out.
    void directCallerMayCallAgainFromItsFailureReport()
    {
        Rig rig;
        rig.transport->writesTimeOut = true;
        WinUSBManager* manager = rig.manager.get();
        bool calledAgain = false;
        connect(manager, &WinUSBManager::stateProcessing, manager, [manager, &calledAgain](QString, int) {
            if (!calledAgain) {
                calledAgain = true;
                manager->keyUnlock();
            }
        }, Qt::DirectConnection);
        QSemaphore done;
        std::thread window([&] {
            manager->informUpperClose();
            done.release();
        });
        const bool finished = done.tryAcquire(1, 5000);
        if (!finished) {
            window.detach();
            QFAIL("the second call waited for the first call's lock");
        }
        window.join();
        QVERIFY(calledAgain);
        QCOMPARE(rig.states->count(), 2);
    }

    void wakeUpWriteIsBounded()
    {
        Rig rig;
        rig.manager->informUpperOpen();
        QCOMPARE(rig.transport->syncTimeouts, std::vector<std::uint32_t>{LinkTiming::scaled(0.01).transferTimeoutMs});
        QCOMPARE(rig.transport->written.front(), protocol::wakeUpBytes());
    }

    // An instrument that keeps sending answers of the wrong kind ends the
    // read after a bounded number of them, as a failed read.
    void endlessWrongAnswers_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<QString>("message");
        QTest::newRow("acknowledge awaited") << int(Start) << text("请求开始测试失败");
        QTest::newRow("real-time record awaited") << int(OnDemand) << text("读取实时数据失败");
        QTest::newRow("stored count awaited") << int(StoredCount) << text("读取存储数据失败");
        QTest::newRow("stored record awaited") << int(ReadOut) << text("读取存储数据失败");
    }
    void endlessWrongAnswers()
    {
        QFETCH(int, operation);
        QFETCH(QString, message);
        Rig rig;
        switch (operation) {
        case Start:
            rig.transport->answer = [](int) { return record(protocol::AnswerType::RealTimeRecord, 0); };
            rig.manager->startTesting(false);
            break;
        case OnDemand:
            rig.transport->answer = [](int) { return acknowledge(true); };
            rig.manager->cancelUiUpdate();
            break;
        case StoredCount:
            rig.transport->answer = [](int) { return acknowledge(true); };
            rig.manager->readStoreTotalNum();
            break;
        case ReadOut:
            rig.transport->answer = [](int read) {
                return read == 0 ? countAnswer(45) : acknowledge(true);
            };
            rig.manager->readStoreTotalNum();
            rig.manager->readReadBackData();
            break;
        }
        QCOMPARE(reports(*rig.states), QList<Report>{Report(message, 4)});
        const int countRead = operation == ReadOut ? 1 : 0;
        QCOMPARE(rig.transport->reads, countRead + WinUSBManager::kMaxDiscardedAnswers + 1);
    }

    void storedCountAnswers_data()
    {
        QTest::addColumn<Bytes>("answer");
        QTest::addColumn<int>("announced");
        QTest::addColumn<QString>("message");
        Bytes wrongStart = countAnswer(5);
        wrongStart[0] = 0x00;
        QTest::newRow("9999") << countAnswer(9999) << 9999 << QString();
        QTest::newRow("10000") << countAnswer(10000) << 0 << text("读取存储数据失败");
        QTest::newRow("65535") << countAnswer(65535) << 0 << text("读取存储数据失败");
        QTest::newRow("first byte not AB") << wrongStart << 0 << text("读取存储数据失败");
    }
    void storedCountAnswers()
    {
        QFETCH(Bytes, answer);
        QFETCH(int, announced);
        QFETCH(QString, message);
        Rig rig;
        QSignalSpy counts(rig.manager.get(), &WinUSBManager::finishReadStorageNumSignal);
        rig.transport->answer = [answer](int) { return answer; };
        rig.manager->readStoreTotalNum();
        QCOMPARE(counts.count(), announced ? 1 : 0);
        if (announced)
            QCOMPARE(counts.at(0).at(0).toInt(), announced);
        QCOMPARE(reports(*rig.states), message.isEmpty() ? QList<Report>{} : QList<Report>{Report(message, 2)});
    }

    // Late records of an abandoned batch and other answers in between are
    // skipped; the running number follows the accepted records only.
    void readOutSkipsOtherAnswers()
    {
        Rig rig;
        QSignalSpy records(rig.manager.get(), &WinUSBManager::finishReadReadBack);
        const std::vector<Bytes> script = {countAnswer(3), acknowledge(true), record(protocol::AnswerType::StoredRecord, 1),
                                           record(protocol::AnswerType::RealTimeRecord, 2),
                                           record(protocol::AnswerType::StoredRecord, 2),
                                           record(protocol::AnswerType::StoredRecord, 3)};
        rig.transport->answer = [script](int read) -> std::optional<Bytes> {
            if (read < int(script.size()))
                return script[read];
            return std::nullopt;
        };
        rig.manager->readStoreTotalNum();
        rig.manager->readReadBackData();
        QCOMPARE(rig.states->count(), 0);
        QCOMPARE(records.count(), 3);
        QCOMPARE(records.at(2).at(1).toInt(), 3);
    }

    // A notice of the backend (a device the user may not open) reaches the
    // log and the status text.
    void noticesReachTheUser_data()
    {
        QTest::addColumn<bool>("devicesFound");
        QTest::newRow("nothing found") << false;
        QTest::newRow("devices found") << true;
    }
    void noticesReachTheUser()
    {
        QFETCH(bool, devicesFound);
        auto owned = std::make_unique<ScriptedTransport>();
        owned->noticeText = "No permission to open usb:1-4.";
        if (!devicesFound)
            owned->paths.clear();
        WinUSBManager manager(std::move(owned), LinkTiming::scaled(0.01));
        QSignalSpy states(&manager, &WinUSBManager::stateProcessing);
        QSignalSpy detected(&manager, &WinUSBManager::detectedDeviceSignal);
        QTest::ignoreMessage(QtWarningMsg, "No permission to open usb:1-4.");
        manager.detectDevice();
        if (devicesFound) {
            QCOMPARE(reports(states), QList<Report>{Report("No permission to open usb:1-4.", 0)});
            QCOMPARE(detected.count(), 1);
        } else {
            QCOMPARE(reports(states),
                     QList<Report>{Report(text("未检测到任何设备") + " No permission to open usb:1-4.", 0)});
            QCOMPARE(detected.count(), 0);
        }
    }

    void failedOpenTellsTheNotice()
    {
        auto owned = std::make_unique<ScriptedTransport>();
        owned->noticeText = "No permission to open usb:1-4.";
        owned->openFails = true;
        WinUSBManager manager(std::move(owned), LinkTiming::scaled(0.01));
        QSignalSpy states(&manager, &WinUSBManager::stateProcessing);
        QSignalSpy connected(&manager, &WinUSBManager::finishUsbDetection);
        QTest::ignoreMessage(QtWarningMsg, "No permission to open usb:1-4.");
        manager.connectUsb("fake:0");
        QCOMPARE(reports(states), QList<Report>{Report("No permission to open usb:1-4.", 0)});
        QCOMPARE(connected.count(), 1);
        QCOMPARE(connected.at(0).at(0).toBool(), false);
    }

    // ------------------------------------------------------------ transport set
    void transportSetListsAndDispatches()
    {
        auto usb = std::make_unique<ScriptedTransport>();
        usb->paths = {"usb:1-2", "usb:1-3"};
        usb->prefix = "usb:";
        auto sockets = std::make_unique<ScriptedTransport>();
        sockets->paths = {"/run/a.sock"};
        sockets->prefix = "/";
        ScriptedTransport* usbRaw = usb.get();
        ScriptedTransport* socketsRaw = sockets.get();
        TransportSet set;
        set.add(std::move(usb));
        set.add(std::move(sockets));

        QCOMPARE(set.devicePaths(), (std::vector<std::string>{"usb:1-2", "usb:1-3", "/run/a.sock"}));
        QVERIFY(!set.handles("sim:0"));
        QVERIFY(!set.openDevice("sim:0"));

        auto writeOne = [&set] {
            std::uint8_t byte = 0x42;
            transport::Transfer* transfer = set.startTransfer(0x01, &byte, 1);
            QVERIFY(transfer);
            QCOMPARE(set.waitTransfer(transfer, 10), transport::WaitResult::Completed);
            set.finishTransfer(transfer);
        };
        QVERIFY(set.openDevice("/run/a.sock"));
        writeOne();
        QCOMPARE(socketsRaw->written.size(), std::size_t(1));
        QCOMPARE(usbRaw->written.size(), std::size_t(0));

        QVERIFY(set.openDevice("usb:1-3"));
        writeOne();
        QCOMPARE(usbRaw->written.size(), std::size_t(1));
        QCOMPARE(socketsRaw->inFlight(), 0);
        QCOMPARE(usbRaw->inFlight(), 0);
    }
};


QTEST_GUILESS_MAIN(LinkGuardsTest)
#include "test_link_guards.moc"
