// Which USB devices count as instruments: the Microsoft OS descriptors that
// declare the instrument's device-interface GUID, read from raw bytes.
#include <QtTest>

#include "usbdescriptorbuilders.h"
#include "usbdescriptors.h"

using namespace usbfixtures;

Q_DECLARE_METATYPE(usbfixtures::Bytes)

namespace {

constexpr int kNone = -1;
// Offsets inside descriptorSet(functionSubset(n, property)).
constexpr std::size_t kSetTotal = 8;
constexpr std::size_t kSubsetLength = 10 + 6;
constexpr std::size_t kProperty = 10 + 8;
constexpr std::size_t kPropertyNameLength = kProperty + 6;

// Parsed from a heap copy of exactly the given size, so that a sanitizer sees
// any read past the end.
int declaredInterface(const Bytes& bytes)
{
    const Bytes exact(bytes.begin(), bytes.end());
    const auto interface = usbdescriptors::instrumentInterface(
        usbdescriptors::parseMsOs20Set(exact.empty() ? nullptr : exact.data(), exact.size()));
    return interface ? *interface : kNone;
}

bool extendedPropertiesDeclare(const Bytes& bytes)
{
    const Bytes exact(bytes.begin(), bytes.end());
    for (const std::string& guid : usbdescriptors::parseExtendedProperties(exact.data(), exact.size()))
        if (usbdescriptors::isInstrumentGuid(guid)) return true;
    return false;
}

Bytes functionSet(std::uint8_t interface = 1)
{
    return descriptorSet(functionSubset(interface, guidsProperty({kInstrumentGuid})));
}

Bytes withSet16(Bytes b, std::size_t at, std::uint32_t value)
{
    set16(b, at, value);
    return b;
}

Bytes withSet32(Bytes b, std::size_t at, std::uint32_t value)
{
    set32(b, at, value);
    return b;
}

Bytes withoutLast(Bytes b)
{
    b.pop_back();
    return b;
}

// Feeds every truncation and many single-byte corruptions of a valid
// descriptor to a parser. Under a sanitizer this shows that no length field,
// however wrong, makes a parser read outside the bytes it was given.
template <typename Parse>
void sweepCorruptions(const Bytes& valid, Parse parse)
{
    for (std::size_t size = 0; size < valid.size(); ++size)
        parse(Bytes(valid.begin(), valid.begin() + std::ptrdiff_t(size)));
    for (std::size_t at = 0; at < valid.size(); ++at) {
        const std::uint8_t original = valid[at];
        for (const std::uint8_t value : {std::uint8_t(0x00), std::uint8_t(0x01), std::uint8_t(0x7F),
                                         std::uint8_t(0xFF), std::uint8_t(original + 1),
                                         std::uint8_t(original - 1)}) {
            Bytes corrupted = valid;
            corrupted[at] = value;
            parse(corrupted);
        }
    }
}

}  // namespace

class TestUsbDescriptors : public QObject {
    Q_OBJECT

private slots:
    void bosLocatesTheDescriptorSet_data();
    void bosLocatesTheDescriptorSet();
    void msOs20SetDeclaresTheInstrument_data();
    void msOs20SetDeclaresTheInstrument();
    void msOs20SetRejectsLyingLengths_data();
    void msOs20SetRejectsLyingLengths();
    void msOs20SetListsEveryGuidWithItsInterface();
    void msOs10StringGivesTheVendorCode_data();
    void msOs10StringGivesTheVendorCode();
    void extendedPropertiesDeclareTheInstrument_data();
    void extendedPropertiesDeclareTheInstrument();
    void extendedPropertiesLengthFromTheHeader();
    void corruptedDescriptorsNeverReadOutOfBounds();
    void guidTextGivesItsFields_data();
    void guidTextGivesItsFields();
};

void TestUsbDescriptors::bosLocatesTheDescriptorSet_data()
{
    QTest::addColumn<Bytes>("bytes");
    QTest::addColumn<bool>("found");
    QTest::addColumn<int>("vendorCode");
    QTest::addColumn<int>("setLength");

    const Bytes msOs20 = platformCapability(kMsOs20Uuid, 0x21, 0x00B2);
    const Bytes good = bos({usb2ExtensionCapability(), msOs20});
    QTest::newRow("only capability") << bos({msOs20}) << true << 0x21 << 0xB2;
    QTest::newRow("after a USB 2.0 extension") << good << true << 0x21 << 0xB2;
    QTest::newRow("other platform first")
        << bos({platformCapability(kOtherUuid, 0x05, 0x40), msOs20}) << true << 0x21 << 0xB2;
    QTest::newRow("other platform only") << bos({platformCapability(kOtherUuid, 0x05, 0x40)}) << false << 0 << 0;
    QTest::newRow("no capabilities") << bos({}) << false << 0 << 0;
    QTest::newRow("set too short for its header") << bos({platformCapability(kMsOs20Uuid, 0x21, 9)}) << false
                                                  << 0 << 0;
    QTest::newRow("not a BOS descriptor") << withSet16(good, 0, 0x0205) << false << 0 << 0;
    QTest::newRow("total longer than the bytes") << withSet16(good, 2, std::uint32_t(good.size() + 1)) << false
                                                 << 0 << 0;
    QTest::newRow("truncated") << withoutLast(good) << false << 0 << 0;
    Bytes zeroLength = good;
    zeroLength[5] = 0;
    QTest::newRow("capability of length zero") << zeroLength << false << 0 << 0;
    Bytes tooLong = good;
    tooLong[5] = 0xFF;
    QTest::newRow("capability longer than the total") << tooLong << false << 0 << 0;
    Bytes shortPlatform = bos({msOs20});
    shortPlatform[5] = 20;  // claims to end right after the UUID
    QTest::newRow("platform capability without its data") << shortPlatform << false << 0 << 0;
    Bytes cutPlatform = bos({msOs20});
    cutPlatform.resize(25);  // the capability's data is missing, its length still says 28
    set16(cutPlatform, 2, 25);
    QTest::newRow("platform capability beyond the total") << cutPlatform << false << 0 << 0;
    QTest::newRow("empty") << Bytes{} << false << 0 << 0;
}

void TestUsbDescriptors::bosLocatesTheDescriptorSet()
{
    QFETCH(Bytes, bytes);
    QFETCH(bool, found);
    const Bytes exact(bytes.begin(), bytes.end());
    const auto location = usbdescriptors::parseBos(exact.empty() ? nullptr : exact.data(), exact.size());
    QCOMPARE(location.has_value(), found);
    if (found) {
        QTEST(int(location->vendorCode), "vendorCode");
        QTEST(int(location->setLength), "setLength");
    }
}

void TestUsbDescriptors::msOs20SetDeclaresTheInstrument_data()
{
    QTest::addColumn<Bytes>("set");
    QTest::addColumn<int>("interface");

    const Bytes ours = guidsProperty({kInstrumentGuid});
    QTest::newRow("whole device") << descriptorSet(ours) << 0;
    QTest::newRow("configuration without functions") << descriptorSet(configurationSubset(ours)) << 0;
    QTest::newRow("function of interface 2")
        << descriptorSet(configurationSubset(functionSubset(2, ours))) << 2;
    QTest::newRow("second function")
        << descriptorSet(configurationSubset(functionSubset(0, guidsProperty({kOtherGuid})) +
                                             functionSubset(3, ours)))
        << 3;
    QTest::newRow("after a compatible ID") << descriptorSet(compatibleIdFeature() + ours) << 0;
    QTest::newRow("REG_SZ DeviceInterfaceGUID")
        << descriptorSet(registryProperty(kRegSz, "DeviceInterfaceGUID", utf16z(kInstrumentGuid))) << 0;
    QTest::newRow("lower case GUID") << descriptorSet(guidsProperty({QString::fromStdString(kInstrumentGuid)
                                                                         .toLower()
                                                                         .toStdString()}))
                                     << 0;
    QTest::newRow("lower case property name")
        << descriptorSet(registryProperty(kRegMultiSz, "deviceinterfaceguids", multiSz({kInstrumentGuid}))) << 0;
    QTest::newRow("several GUIDs, ours last") << descriptorSet(guidsProperty({kOtherGuid, kInstrumentGuid})) << 0;

    QTest::newRow("other GUID only") << descriptorSet(guidsProperty({kOtherGuid})) << kNone;
    QTest::newRow("other property name")
        << descriptorSet(registryProperty(kRegMultiSz, "LabelGUIDs", multiSz({kInstrumentGuid}))) << kNone;
    QTest::newRow("binary value")
        << descriptorSet(registryProperty(kRegBinary, "DeviceInterfaceGUIDs", multiSz({kInstrumentGuid})))
        << kNone;
    QTest::newRow("GUID without braces")
        << descriptorSet(guidsProperty({kInstrumentGuid.substr(1, kInstrumentGuid.size() - 2)})) << kNone;
    QTest::newRow("REG_SZ ends at its first NUL")
        << descriptorSet(registryProperty(kRegSz, "DeviceInterfaceGUID", multiSz({kOtherGuid, kInstrumentGuid})))
        << kNone;
    QTest::newRow("empty set") << descriptorSet({}) << kNone;
    QTest::newRow("compatible ID only") << descriptorSet(compatibleIdFeature()) << kNone;
}

void TestUsbDescriptors::msOs20SetDeclaresTheInstrument()
{
    QFETCH(Bytes, set);
    QTEST(declaredInterface(set), "interface");
}

void TestUsbDescriptors::msOs20SetRejectsLyingLengths_data()
{
    QTest::addColumn<Bytes>("set");

    const Bytes good = functionSet();
    QVERIFY(declaredInterface(good) == 1);  // the fixture every row spoils
    const Bytes property = guidsProperty({kInstrumentGuid});
    const std::size_t nameLength = 2 * (std::string("DeviceInterfaceGUIDs").size() + 1);
    const std::size_t valueLengthAt = kPropertyNameLength + 2 + nameLength;

    QTest::newRow("truncated") << withoutLast(good);
    QTest::newRow("set total beyond the bytes") << withSet16(good, kSetTotal, std::uint32_t(good.size() + 1));
    QTest::newRow("set total cuts the subset") << withSet16(good, kSetTotal, std::uint32_t(good.size() - 1));
    QTest::newRow("set total below its header") << withSet16(good, kSetTotal, 4);
    QTest::newRow("set header length wrong") << withSet16(good, 0, 12);
    QTest::newRow("set header type wrong") << withSet16(good, 2, 1);
    QTest::newRow("subset beyond the set") << withSet16(good, kSubsetLength, 0xFFFF);
    QTest::newRow("subset shorter than its header") << withSet16(good, kSubsetLength, 4);
    QTest::newRow("subset header length wrong") << withSet16(good, 10, 10);
    QTest::newRow("feature of length zero") << withSet16(good, kProperty, 0);
    QTest::newRow("feature beyond the subset") << withSet16(good, kProperty, std::uint32_t(property.size() + 2));
    QTest::newRow("feature cut short") << withSet16(good, kProperty, std::uint32_t(property.size() - 2));
    QTest::newRow("name beyond the feature") << withSet16(good, kPropertyNameLength, 0xFFFE);
    QTest::newRow("odd name length") << withSet16(good, kPropertyNameLength, std::uint32_t(nameLength - 1));
    QTest::newRow("value beyond the feature") << withSet16(good, valueLengthAt, 0xFFFE);
    QTest::newRow("odd value length")
        << withSet16(good, valueLengthAt, std::uint32_t(2 * (kInstrumentGuid.size() + 2) - 1));
    QTest::newRow("function inside a function") << descriptorSet(functionSubset(0, functionSubset(1, property)));
    QTest::newRow("configuration inside a configuration")
        << descriptorSet(configurationSubset(configurationSubset(property)));
    QTest::newRow("second set header inside") << descriptorSet(descriptorSet(property));
}

void TestUsbDescriptors::msOs20SetRejectsLyingLengths()
{
    QFETCH(Bytes, set);
    QCOMPARE(declaredInterface(set), kNone);
}

void TestUsbDescriptors::msOs20SetListsEveryGuidWithItsInterface()
{
    const Bytes set = descriptorSet(configurationSubset(functionSubset(0, guidsProperty({kOtherGuid})) +
                                                        functionSubset(4, guidsProperty({kOtherGuid, kInstrumentGuid}))));
    const auto declarations = usbdescriptors::parseMsOs20Set(set.data(), set.size());
    QCOMPARE(int(declarations.size()), 3);
    QCOMPARE(declarations[0].interfaceNumber, 0);
    QCOMPARE(declarations[0].guid, kOtherGuid);
    QCOMPARE(declarations[1].interfaceNumber, 4);
    QCOMPARE(declarations[2].interfaceNumber, 4);
    QCOMPARE(declarations[2].guid, kInstrumentGuid);
}

void TestUsbDescriptors::msOs10StringGivesTheVendorCode_data()
{
    QTest::addColumn<Bytes>("bytes");
    QTest::addColumn<int>("vendorCode");  // -1: not an MS OS 1.0 string

    const Bytes good = msOs10String("MSFT100", 0x42);
    QTest::newRow("valid") << good << 0x42;
    QTest::newRow("longer buffer than needed") << good + Bytes{0xAA, 0xBB} << 0x42;
    QTest::newRow("other signature") << msOs10String("MSFT200", 0x42) << -1;
    QTest::newRow("wrong descriptor type") << withSet16(good, 0, 0x0212) << -1;
    QTest::newRow("length beyond the bytes") << withSet16(good, 0, 0x0314) << -1;
    QTest::newRow("length too short") << withSet16(good, 0, 0x0310) << -1;
    QTest::newRow("truncated") << withoutLast(good) << -1;
    QTest::newRow("empty") << Bytes{} << -1;
}

void TestUsbDescriptors::msOs10StringGivesTheVendorCode()
{
    QFETCH(Bytes, bytes);
    const Bytes exact(bytes.begin(), bytes.end());
    const auto code = usbdescriptors::parseMsOs10String(exact.empty() ? nullptr : exact.data(), exact.size());
    QTEST(code ? int(*code) : -1, "vendorCode");
}

void TestUsbDescriptors::extendedPropertiesDeclareTheInstrument_data()
{
    QTest::addColumn<Bytes>("bytes");
    QTest::addColumn<bool>("declared");

    const Bytes ours = extendedSection(kRegMultiSz, "DeviceInterfaceGUIDs", multiSz({kInstrumentGuid}));
    const Bytes label = extendedSection(kRegSz, "Label", utf16z("Tester"));
    const Bytes good = extendedProperties({label, ours});
    const std::size_t oursAt = 10 + label.size();

    QTest::newRow("REG_MULTI_SZ after another property") << good << true;
    QTest::newRow("REG_SZ DeviceInterfaceGUID")
        << extendedProperties({extendedSection(kRegSz, "DeviceInterfaceGUID", utf16z(kInstrumentGuid))}) << true;
    QTest::newRow("several GUIDs")
        << extendedProperties({extendedSection(kRegMultiSz, "DeviceInterfaceGUIDs",
                                               multiSz({kOtherGuid, kInstrumentGuid}))})
        << true;
    QTest::newRow("lower case GUID")
        << extendedProperties({extendedSection(kRegMultiSz, "DeviceInterfaceGUIDs",
                                               multiSz({"{dee824ef-729b-4a0e-9c14-b7117d33a817}"}))})
        << true;
    QTest::newRow("other GUID only")
        << extendedProperties({extendedSection(kRegMultiSz, "DeviceInterfaceGUIDs", multiSz({kOtherGuid}))})
        << false;
    QTest::newRow("no sections") << extendedProperties({}) << false;
    QTest::newRow("wrong feature index") << withSet16(good, 6, 4) << false;
    QTest::newRow("truncated") << withoutLast(good) << false;
    QTest::newRow("total beyond the bytes") << withSet32(good, 0, std::uint32_t(good.size() + 1)) << false;
    QTest::newRow("more sections counted than present") << withSet16(good, 8, 3) << false;
    QTest::newRow("section of size zero") << withSet32(good, 10, 0) << false;
    QTest::newRow("section beyond the total") << withSet32(good, oursAt, 0x10000) << false;
    QTest::newRow("name beyond the section") << withSet16(good, oursAt + 8, 0xFFFE) << false;
    const std::size_t valueLengthAt = oursAt + ours.size() - multiSz({kInstrumentGuid}).size() - 4;
    QTest::newRow("value beyond the section") << withSet32(good, valueLengthAt, 0xFFFE) << false;
    QTest::newRow("odd value length") << withSet32(good, valueLengthAt, 2 * kInstrumentGuid.size() + 1)
                                      << false;
}

void TestUsbDescriptors::extendedPropertiesDeclareTheInstrument()
{
    QFETCH(Bytes, bytes);
    QTEST(extendedPropertiesDeclare(bytes), "declared");
}

void TestUsbDescriptors::extendedPropertiesLengthFromTheHeader()
{
    const Bytes descriptor = extendedProperties({extendedSection(kRegSz, "Label", utf16z("x"))});
    const auto length = usbdescriptors::extendedPropertiesLength(descriptor.data(), 10);
    QVERIFY(length.has_value());
    QCOMPARE(std::size_t(*length), descriptor.size());
    QVERIFY(!usbdescriptors::extendedPropertiesLength(descriptor.data(), 9));
    QVERIFY(!usbdescriptors::extendedPropertiesLength(withSet32(descriptor, 0, 9).data(), 10));
}

void TestUsbDescriptors::corruptedDescriptorsNeverReadOutOfBounds()
{
    const Bytes set = descriptorSet(configurationSubset(
        functionSubset(0, compatibleIdFeature()) +
        functionSubset(1, guidsProperty({kOtherGuid, kInstrumentGuid}) +
                              registryProperty(kRegSz, "DeviceInterfaceGUID", utf16z(kInstrumentGuid)))));
    sweepCorruptions(set, [](const Bytes& b) { declaredInterface(b); });
    sweepCorruptions(bos({usb2ExtensionCapability(), platformCapability(kMsOs20Uuid, 1, 0x40)}),
                     [](const Bytes& b) { usbdescriptors::parseBos(b.empty() ? nullptr : b.data(), b.size()); });
    sweepCorruptions(msOs10String("MSFT100", 7), [](const Bytes& b) {
        usbdescriptors::parseMsOs10String(b.empty() ? nullptr : b.data(), b.size());
    });
    sweepCorruptions(extendedProperties({extendedSection(kRegSz, "Label", utf16z("x")),
                                         extendedSection(kRegMultiSz, "DeviceInterfaceGUIDs",
                                                         multiSz({kInstrumentGuid}))}),
                     [](const Bytes& b) { extendedPropertiesDeclare(b); });
    // Every proper prefix of a set is truncated and must declare nothing.
    for (std::size_t size = 0; size < set.size(); ++size)
        QCOMPARE(declaredInterface(Bytes(set.begin(), set.begin() + std::ptrdiff_t(size))), kNone);
}

void TestUsbDescriptors::guidTextGivesItsFields_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");

    QTest::newRow("instrument class") << QString(usbdescriptors::kInstrumentInterfaceGuid) << true;
    QTest::newRow("lower case") << QString(usbdescriptors::kInstrumentInterfaceGuid).toLower() << true;
    QTest::newRow("without braces") << "DEE824EF-729B-4A0E-9C14-B7117D33A817" << false;
    QTest::newRow("dash misplaced") << "{DEE824E-F729B-4A0E-9C14-B7117D33A817}" << false;
    QTest::newRow("not hex") << "{DEE824EF-729B-4A0E-9C14-B7117D33A81G}" << false;
    QTest::newRow("too long") << "{DEE824EF-729B-4A0E-9C14-B7117D33A8170}" << false;
}

void TestUsbDescriptors::guidTextGivesItsFields()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    const auto guid = usbdescriptors::parseGuid(text.toStdString());
    QCOMPARE(guid.has_value(), valid);
    if (!valid) return;
    // The fields in the platform's GUID layout: EF 24 E8 DE 9B 72 0E 4A 9C 14 B7 11 7D 33 A8 17.
    QCOMPARE(guid->data1, 0xDEE824EFu);
    QCOMPARE(int(guid->data2), 0x729B);
    QCOMPARE(int(guid->data3), 0x4A0E);
    const std::uint8_t tail[8] = {0x9C, 0x14, 0xB7, 0x11, 0x7D, 0x33, 0xA8, 0x17};
    QVERIFY(std::equal(std::begin(tail), std::end(tail), std::begin(guid->data4)));
}

QTEST_APPLESS_MAIN(TestUsbDescriptors)
#include "test_usbdescriptors.moc"
