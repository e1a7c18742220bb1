// How a USB device is asked whether it is the instrument, by the program and
// by the udev probe: which requests go out, how lying, truncated and stalling
// devices end the reading, and how the probe keeps to its time budget.
#include <QProcess>
#include <QtTest>

#include <map>
#include <tuple>

#include "link/usbdescriptorreader.h"
#include "testsupport/descriptorbytes.h"

using namespace usbemu;
namespace ud = usbdescriptors;

namespace {

const std::string kOurs = "{DEE824EF-729B-4A0E-9C14-B7117D33A817}";
const std::string kOther = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
constexpr int kNone = -1;
constexpr std::uint8_t kCode20 = 0x21;
constexpr std::uint8_t kCode10 = 0x42;
constexpr std::uint16_t kUsb20 = 0x0200;
constexpr std::uint16_t kUsb21 = 0x0210;

// What a scripted device answers, by request type, request, value and index;
// every other request stalls.
using Key = std::tuple<int, int, int, int>;
using Answers = std::map<Key, Bytes>;

const Key kBosRequest{0x80, 0x06, 0x0F00, 0};
const Key kStringRequest{0x80, 0x06, 0x03EE, 0};
const Key kSetRequest{0xC0, kCode20, 0, 7};
const Key kInterfacePropertiesRequest{0xC1, kCode10, 0, 5};
const Key kDevicePropertiesRequest{0xC0, kCode10, 0, 5};

Answers msOs20(const Bytes& set, std::size_t announcedLength)
{
    return {{kBosRequest, bos({kUsb2Extension, platformCapability(true, kCode20, announcedLength)})},
            {kSetRequest, set}};
}
Answers msOs20(const Bytes& set) { return msOs20(set, set.size()); }

Answers msOs10(const Bytes& properties, const Key& propertiesRequest = kInterfacePropertiesRequest)
{
    return {{kStringRequest, msOs10String("MSFT100", kCode10)}, {propertiesRequest, properties}};
}

Answers both(Answers a, const Answers& b)
{
    a.insert(b.begin(), b.end());
    return a;
}

// Serves the answers, at most as many bytes as asked for, and keeps the requests.
struct ScriptedDevice {
    Answers answers;
    std::vector<ud::ControlRequest> asked;

    ud::ControlIn controlIn()
    {
        return [this](const ud::ControlRequest& r) -> std::optional<Bytes> {
            asked.push_back(r);
            const auto it = answers.find(Key{r.requestType, r.request, r.value, r.index});
            if (it == answers.end()) return std::nullopt;
            Bytes bytes = it->second;
            if (bytes.size() > r.length) bytes.resize(r.length);
            return bytes;
        };
    }
};

QString probeProgram() { return QStringLiteral(USBPROBE_PROGRAM); }

}  // namespace

Q_DECLARE_METATYPE(Answers)

class TestUsbProbe : public QObject {
    Q_OBJECT

private slots:
    void deviceDeclares_data()
    {
        QTest::addColumn<int>("usbVersion");
        QTest::addColumn<Answers>("answers");
        QTest::addColumn<int>("requests");
        QTest::addColumn<int>("instrumentInterface");
        const Bytes ourSet = descriptorSet(configurationSubset(functionSubset(2, guidsProperty({kOurs}))));
        const Bytes otherSet = descriptorSet(guidsProperty({kOther}));
        const Bytes ourProperties =
            extendedProperties({extendedSection(kRegMultiSz, "DeviceInterfaceGUIDs", multiSz({kOurs}))});
        const Bytes otherProperties =
            extendedProperties({extendedSection(kRegMultiSz, "DeviceInterfaceGUIDs", multiSz({kOther}))});

        // requests: BOS header and whole, set; or string, properties header and whole.
        QTest::newRow("2.0 set names ours") << int(kUsb21) << msOs20(ourSet) << 3 << 2;
        QTest::newRow("1.0 properties name ours") << int(kUsb20) << msOs10(ourProperties) << 3 << 0;
        QTest::newRow("1.0 as a device request") << int(kUsb20) << msOs10(ourProperties, kDevicePropertiesRequest)
                                                 << 4 << 0;
        QTest::newRow("2.0 names another, 1.0 ours")
            << int(kUsb21) << both(msOs20(otherSet), msOs10(ourProperties)) << 6 << 0;
        QTest::newRow("another class only")
            << int(kUsb21) << both(msOs20(otherSet), msOs10(otherProperties)) << 6 << kNone;
        QTest::newRow("USB 2.0 device is not asked for its BOS") << int(kUsb20) << msOs20(ourSet) << 1 << kNone;
        QTest::newRow("stalls every request") << int(kUsb21) << Answers{} << 2 << kNone;

        Answers cut = msOs20(ourSet);
        cut[kSetRequest].resize(ourSet.size() - 6);
        QTest::newRow("set shorter than the BOS announces") << int(kUsb21) << cut << 4 << kNone;
        Answers shortBos = msOs20(ourSet);
        shortBos[kBosRequest] = with16(shortBos[kBosRequest], 2, shortBos[kBosRequest].size() + 40);
        QTest::newRow("BOS total beyond its bytes") << int(kUsb21) << shortBos << 3 << kNone;
        Answers hugeBos = msOs20(ourSet);
        hugeBos[kBosRequest] = with16(hugeBos[kBosRequest], 2, 0xFFFF);
        QTest::newRow("BOS total past the cap") << int(kUsb21) << hugeBos << 2 << kNone;
        QTest::newRow("set length past the cap") << int(kUsb21) << msOs20(ourSet, ud::kMaxDescriptorRead + 1) << 3
                                                 << kNone;
        Bytes lyingProperties = ourProperties;
        lyingProperties[2] = lyingProperties[3] = 0xFF;  // dwLength 0xFFFFxxxx
        QTest::newRow("properties length past the cap") << int(kUsb20) << msOs10(lyingProperties) << 2 << kNone;
        QTest::newRow("properties shorter than announced")
            << int(kUsb20) << msOs10(with16(ourProperties, 0, ourProperties.size() + 2)) << 3 << kNone;
    }
    // Besides: every request is an IN request of a capped length.
    void deviceDeclares()
    {
        QFETCH(int, usbVersion);
        QFETCH(Answers, answers);
        ScriptedDevice device{answers, {}};
        const auto interface = ud::readInstrumentInterface(std::uint16_t(usbVersion), device.controlIn());
        QTEST(interface ? *interface : kNone, "instrumentInterface");
        QTEST(int(device.asked.size()), "requests");
        for (const ud::ControlRequest& r : device.asked) {
            QVERIFY(r.requestType & ud::kDirectionIn);
            QVERIFY(r.length > 0 && r.length <= ud::kMaxDescriptorRead);
        }
    }

    // A device that takes its time gets shorter time-outs as the budget runs
    // out, then nothing; a request that is not IN never reaches it.
    void budgetBoundsEveryRequest()
    {
        std::uint64_t now = 5000;
        std::vector<std::uint32_t> timeouts;
        const auto slowDevice = [&](const ud::ControlRequest&, std::uint32_t timeoutMs) -> std::optional<Bytes> {
            timeouts.push_back(timeoutMs);
            now += 300;
            return std::nullopt;
        };
        const ud::ControlIn bounded = ud::boundedControlIn(slowDevice, 400, 1000, [&] { return now; });
        QVERIFY(!bounded({0x00, 0x09, 1, 0, 0}));  // SET_CONFIGURATION
        QVERIFY(!bounded({0x40, 0x01, 0, 0, 8}));  // a vendor OUT request
        QVERIFY(timeouts.empty());
        QVERIFY(!ud::readInstrumentInterface(kUsb21, bounded));
        for (int i = 0; i < 3; ++i) bounded({0x80, 0x06, 0x0100, 0, 18});
        QCOMPARE(timeouts, (std::vector<std::uint32_t>{400, 400, 400, 100}));

        timeouts.clear();
        ud::boundedControlIn(slowDevice, 0, 1000, [&] { return now; })({0x80, 0x06, 0x0100, 0, 18});
        QCOMPARE(timeouts, std::vector<std::uint32_t>{1});  // 0 would mean no time-out
    }

    void probeProgramRefusesWhatIsNoUsbDevice_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("no argument") << QStringList{} << 2;
        QTest::newRow("not a USB device node") << QStringList{"/etc/passwd"} << 2;
        QTest::newRow("two devices") << QStringList{"/dev/bus/usb/001/001", "/dev/bus/usb/001/002"} << 2;
        QTest::newRow("climbs out of the folder") << QStringList{"/dev/bus/usb/../.."} << 2;
        QTest::newRow("climbs out below a bus") << QStringList{"/dev/bus/usb/001/../../../../etc/passwd"} << 2;
        QTest::newRow("a bus, no device") << QStringList{"/dev/bus/usb/001"} << 2;
        QTest::newRow("names, not numbers") << QStringList{"/dev/bus/usb/abc/def"} << 2;
        QTest::newRow("no such device") << QStringList{"/dev/bus/usb/999/999"} << 1;
    }
    void probeProgramRefusesWhatIsNoUsbDevice()
    {
        QFETCH(QStringList, arguments);
        QProcess probe;
        probe.start(probeProgram(), arguments);
        QVERIFY(probe.waitForFinished(10000));
        QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
        QTEST(probe.exitCode(), "exitCode");
        QVERIFY(probe.readAllStandardOutput().isEmpty());  // udev imports nothing
        QVERIFY(!probe.readAllStandardError().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestUsbProbe)
#include "test_usbprobe.moc"
