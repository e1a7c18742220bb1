// The libusb backend through the real libusb library against emulated USB
// devices: which devices it takes for instruments and in which order, the
// link's commands over it with the bytes checked on the device's side, and
// what a disconnect or an unplug leaves behind.

#include "testsupport/emulatedusb.h"
#include "sim/instrument.h"
#include "link/libusbtransport.h"
#include "tests/linkfakes.h"
#include "link/usbdescriptors.h"

#include <QtTest>

using linktest::failures;
using linktest::Report;
using linktest::settingsFrame;
using linktest::text;
using usbemu::Bus;
using usbemu::DeviceModel;

Q_DECLARE_METATYPE(usbemu::DeviceModel)

namespace {

const std::string kOurs = usbdescriptors::kInstrumentInterfaceGuid;
const std::string kOther = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
constexpr int kNoInstrument = -1;

// Nothing here may time out, so the transfer bound is long; the pauses are
// short. The flush pause is also the libusb time-out that ends each flush of
// an empty pipe.
LinkTiming timing()
{
    LinkTiming t;
    t.transferTimeoutMs = 10000;
    t.pollPauseMs = 1;
    t.retryPauseMs = 1;
    t.wakeUpPauseMs = 1;
    t.flushPauseMs = 2;
    return t;
}

std::shared_ptr<sim::Instrument> instrument(int storedRecords)
{
    sim::InstrumentOptions options;
    options.storedRecords = storedRecords;
    return std::make_shared<sim::Instrument>(options);
}

// The link over the libusb backend, with spies.
struct UsbLink : linktest::Link<LibusbTransport> {
    UsbLink() : Link(std::make_unique<LibusbTransport>(timing()), timing()) {}
    QSignalSpy readings{&manager, &WinUSBManager::finishReadRealTime};
};

}  // namespace

class TestLibusbDevice : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<std::vector<unsigned char>>("std::vector<unsigned char>"); }

    // ------------------------------------------------------------ discovery
    // Which devices are instruments, and which interface of theirs the link
    // claims. What each lying or cut descriptor declares is the reader's
    // (test_usbprobe) and the parsers' (test_usbdescriptors); here the libusb
    // side: each kind of request, a short transfer and a stall.
    void discovery_data()
    {
        using namespace usbemu;
        QTest::addColumn<DeviceModel>("model");
        QTest::addColumn<int>("interface");
        const DeviceModel v20 = msOs20Device(kOurs);
        const DeviceModel v10 = msOs10Device(kOurs);
        QTest::newRow("MS OS 2.0, whole device") << v20 << 0;
        QTest::newRow("MS OS 2.0, function of interface 2") << msOs20Device(kOurs, 2) << 2;
        QTest::newRow("MS OS 1.0, interface request") << v10 << 0;
        QTest::newRow("MS OS 1.0, device request") << msOs10Device(kOurs, kDeviceRequest) << 0;
        DeviceModel stalls = v20, shortSet = v20;
        stalls.controlAnswers.erase(msOs20SetRequest());
        DeviceModel both = stalls;
        both.controlAnswers.insert(v10.controlAnswers.begin(), v10.controlAnswers.end());
        shortSet.controlAnswers[msOs20SetRequest()].resize(shortSet.controlAnswers[msOs20SetRequest()].size() - 2);
        QTest::newRow("MS OS 2.0 set stalls, MS OS 1.0 declares") << both << 0;

        QTest::newRow("another GUID") << msOs20Device(kOther, 1) << kNoInstrument;
        QTest::newRow("set shorter than its total") << shortSet << kNoInstrument;
        QTest::newRow("vendor request stalls") << stalls << kNoInstrument;
        QTest::newRow("hub") << hubModel() << kNoInstrument;
    }
    void discovery()
    {
        QFETCH(DeviceModel, model);
        QFETCH(int, interface);
        Bus bus;
        const auto device = bus.plug("1-3", model, instrument(0));
        LibusbTransport transport(timing());
        const std::vector<std::string> expected =
            interface == kNoInstrument ? std::vector<std::string>{} : std::vector<std::string>{"usb:1-3"};
        QCOMPARE(transport.devicePaths(), expected);
        QTRY_COMPARE(device->openHandles(), 0);  // looked at, and closed again
        QVERIFY(transport.notice().empty());
        if (interface == kNoInstrument)
            return;
        QVERIFY(transport.openDevice("usb:1-3") && transport.bindInterface());
        QCOMPARE(device->claimedInterface(), interface);
    }

    void instrumentsInBusAndPortOrder()
    {
        using namespace usbemu;
        Bus bus;
        bus.plug("2-1", msOs20Device(kOurs));
        bus.plug("1-10", msOs10Device(kOurs));
        bus.plug("1-2", hubModel());
        bus.plug("1-2.4", msOs20Device(kOther));
        const auto behindHub = bus.plug("1-2.1", msOs20Device(kOurs, 1));
        bus.plug("1-3", msOs20Device(""));
        UsbLink rig;
        QSignalSpy found(&rig.manager, &WinUSBManager::detectedDeviceSignal);
        rig.manager.detectDevice();
        QCOMPARE(rig.column<QStringList>(found, 0), (QList<QStringList>{{"usb:1-2.1", "usb:1-10", "usb:2-1"}}));
        rig.manager.connectUsb("usb:1-2.1");
        QCOMPARE(rig.column<bool>(rig.connected, 0), QList<bool>{true});
        QCOMPARE(behindHub->claimedInterface(), 1);
        QVERIFY(rig.reports().isEmpty());
    }

    // ------------------------------------------------------------ the link over libusb
    // Every command of a session, the bytes of each request as the device
    // received them, and every answer passed on as the device gave it; the
    // read-out empties the largest memory the instrument has, to its last,
    // short batch (bench-usb-import times it).
    void sessionReachesTheInstrument()
    {
        constexpr int kRecords = protocol::kMaxStoredRecords;
        Bus bus;
        const auto device = bus.plug("1-4", usbemu::msOs20Device(kOurs), instrument(kRecords));
        UsbLink rig;
        rig.manager.connectUsb("usb:1-4");
        QCOMPARE(rig.column<bool>(rig.connected, 0), QList<bool>{true});
        QCOMPARE(device->claimedInterface(), 0);

        rig.manager.informUpperOpen();
        rig.manager.changeReadType(1);
        rig.manager.readRealTimeData();
        rig.manager.updateTestSetting(settingsFrame());
        rig.manager.startTesting(false);
        rig.manager.stopTesting(false);
        rig.manager.readStoreTotalNum();
        rig.manager.readReadBackData();
        QCOMPARE(rig.reports(), (QList<Report>{Report(text("更新测量设置成功"), 0), Report(text("请求开始测试成功"), 0),
                                               Report(text("请求停止测试成功"), 0)}));
        const QByteArray settings = settingsFrame();
        std::uint8_t readType = 0;
        protocol::readTypeByte(1, &readType);
        std::vector<protocol::Bytes> requests{
            protocol::wakeUpBytes(), protocol::buildUpperOpenRequest(), protocol::buildRealTimeRequest(readType),
            protocol::Bytes(settings.begin(), settings.end()), protocol::buildStartTestRequest(false),
            protocol::buildStopTestRequest(false), protocol::buildStoredCountRequest()};
        for (int first = 1; first <= kRecords; first += 30)  // the last batch is 9991, 9
            requests.push_back(protocol::buildReadBackRequest(first, std::min(30, kRecords + 1 - first)));
        QCOMPARE(device->bulkOut(), requests);

        const std::vector<protocol::Bytes> given = device->bulkIn();
        QCOMPARE(rig.readings.count(), 1);
        const auto reading = rig.readings.first().first().value<std::vector<unsigned char>>();
        QVERIFY(protocol::isRealTimeRecord(reading.data(), reading.size()));
        QVERIFY(std::find(given.begin(), given.end(), reading) != given.end());
        QCOMPARE(rig.column<int>(rig.counts, 0), QList<int>{kRecords});
        QCOMPARE(rig.records.count(), kRecords);
        for (int i = 0; i < kRecords; ++i) {
            const auto record = rig.records.at(i).at(0).value<std::vector<unsigned char>>();
            QCOMPARE(rig.records.at(i).at(1).toInt(), i + 1);
            QCOMPARE(record, device->instrument()->storedRecordAnswer(i + 1));
            QCOMPARE(record, given.at(given.size() - kRecords + std::size_t(i)));
        }

        rig.manager.disConnect();
        QCOMPARE(rig.column<bool>(rig.connected, 0), (QList<bool>{true, false}));
        QTRY_COMPARE(device->openHandles(), 0);
        QCOMPARE(device->claimedInterface(), -1);
        QCOMPARE(device->abandonedUrbs(), 0);
    }

    // The window calls three slots from its own thread while the link's
    // thread reads out: their transfers are started beside the link's read
    // and reach the device once each, and the read-out stops between records.
    void windowCallsDuringReadOut()
    {
        Bus bus;
        const auto device = bus.plug("1-1", usbemu::msOs20Device(kOurs), instrument(300));
        UsbLink rig;
        QVERIFY(rig.callDuringReadOut([&rig] { rig.manager.connectUsb("usb:1-1"); }, 30000));

        QVERIFY(rig.records.count() >= 3 && rig.records.count() < 300);
        QVERIFY(rig.reports().isEmpty());
        const std::vector<protocol::Bytes> requests = device->bulkOut();
        QCOMPARE(std::count(requests.begin(), requests.end(), protocol::buildUpperCloseRequest()), 1);
        QCOMPARE(std::count(requests.begin(), requests.end(), protocol::buildKeyUnlockRequest()), 1);
        rig.manager.disConnect();
        QTRY_COMPARE(device->openHandles(), 0);
        QCOMPARE(device->abandonedUrbs(), 0);
    }

    // ------------------------------------------------------------ disconnect and unplug
    // A read the instrument never answers (nothing was asked) times out, is
    // cancelled on the device before it is given back, and the next read
    // starts clean: it gets the answer to the next request, not a stale one.
    void timedOutReadIsCancelledAndTheNextStartsClean()
    {
        Bus bus;
        const auto device = bus.plug("1-1", usbemu::msOs20Device(kOurs), instrument(45));
        LibusbTransport transport(timing());
        QVERIFY(transport.openDevice("usb:1-1") && transport.bindInterface());
        std::vector<std::uint8_t> buffer(protocol::kReadLength);
        transport::Transfer* unanswered = transport.startTransfer(usbemu::kBulkIn, buffer.data(), buffer.size());
        QCOMPARE(transport.waitTransfer(unanswered, 20), transport::WaitResult::TimedOut);
        transport.cancelTransfer(unanswered);
        transport.finishTransfer(unanswered);
        QCOMPARE(device->discardedUrbs(), 1);
        QCOMPARE(device->pendingUrbs(), 0);

        protocol::Bytes request = protocol::buildStoredCountRequest();
        transport::Transfer* write = transport.startTransfer(usbemu::kBulkOut, request.data(), request.size());
        transport::Transfer* read = transport.startTransfer(usbemu::kBulkIn, buffer.data(), buffer.size());
        std::uint32_t written = 0, received = 0;
        QCOMPARE(transport.waitTransfer(write, timing().transferTimeoutMs), transport::WaitResult::Completed);
        QCOMPARE(transport.waitTransfer(read, timing().transferTimeoutMs), transport::WaitResult::Completed);
        QVERIFY(transport.transferResult(write, &written) && transport.transferResult(read, &received));
        transport.finishTransfer(write);
        transport.finishTransfer(read);
        QCOMPARE(written, std::uint32_t(request.size()));
        QCOMPARE(protocol::Bytes(buffer.begin(), buffer.begin() + received), device->bulkIn().back());
        QVERIFY(protocol::isStoredCountAnswer(buffer.data(), received));
    }

    // The device goes while the link waits for an answer: the link is told
    // lost, nothing hangs, and the instrument plugged in again connects.
    void unplugAndReplug_data()
    {
        QTest::addColumn<bool>("duringImport");
        QTest::addColumn<QList<Report>>("reports");
        QTest::newRow("mid-poll") << false << failures(2, "读取实时数据失败");
        // The failed read, then the next batch's request that cannot be sent.
        QTest::newRow("mid-import") << true << failures(4, "读取存储数据失败");
    }
    void unplugAndReplug()
    {
        QFETCH(bool, duringImport);
        Bus bus;
        const auto model = usbemu::msOs20Device(kOurs);
        const auto tester = instrument(45);
        const auto device = bus.plug("1-1", model, tester);
        UsbLink rig;
        rig.manager.connectUsb("usb:1-1");
        rig.manager.readRealTimeData();
        if (duringImport) {
            rig.manager.readStoreTotalNum();
            device->disconnectAtInUrb(20);  // the read of the 20th record
            rig.manager.readReadBackData();
            QCOMPARE(rig.records.count(), 19);
        } else {
            device->disconnectAtInUrb(2);  // the flush's read, then the poll's
            rig.manager.readRealTimeData();
            QCOMPARE(rig.readings.count(), 1);
        }
        QTEST(rig.reports(), "reports");

        bus.unplug("1-1");
        QTRY_VERIFY(rig.manager.getDevicePaths().isEmpty());
        const auto again = bus.plug("1-1", model, tester);
        QTRY_COMPARE(rig.manager.getDevicePaths(), QStringList{"usb:1-1"});
        rig.manager.connectUsb("usb:1-1");  // closes the vanished device's node first
        QTRY_COMPARE(device->openHandles(), 0);
        QCOMPARE(device->abandonedUrbs(), 0);
        rig.manager.readRealTimeData();
        QCOMPARE(rig.column<bool>(rig.connected, 0), (QList<bool>{true, false, true}));
        QCOMPARE(rig.readings.count(), 2);
        QVERIFY(rig.reports().isEmpty());
        QCOMPARE(again->claimedInterface(), 0);
    }
};

QTEST_GUILESS_MAIN(TestLibusbDevice)
#include "test_libusb_device.moc"
