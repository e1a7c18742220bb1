// Which USB devices count as instruments: the Microsoft OS descriptors that
// declare the instrument's device-interface GUID, read from raw bytes. The
// tests overwrite the builders' length fields to make them lie.
#include <QtTest>

#include "link/usbdescriptors.h"
#include "testsupport/descriptorbytes.h"

using namespace usbemu;
namespace ud = usbdescriptors;

namespace {

const std::string kOurs = "{DEE824EF-729B-4A0E-9C14-B7117D33A817}";
const std::string kOther = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
constexpr int kNone = -1;

enum Kind { Set, Bos, String, Properties };

// What a descriptor declares: the instrument's interface (MS OS 2.0 set), the
// vendor code (BOS, MS OS 1.0 string), 1 for the instrument's GUID (extended
// properties); kNone for nothing. Parsed from a heap copy of exactly the
// given size, so that the sanitizer build sees any read past the end.
template <typename T>
int orNone(const std::optional<T>& value) { return value ? int(*value) : kNone; }

int declared(int kind, Bytes exact)
{
    if (kind == Set)
        return orNone(ud::instrumentInterface(ud::parseMsOs20Set(exact.data(), exact.size())));
    if (kind == String)
        return orNone(ud::parseMsOs10String(exact.data(), exact.size()));
    if (kind == Bos) {
        const auto location = ud::parseBos(exact.data(), exact.size());
        return location && location->setLength == 0xB2 ? location->vendorCode : kNone;
    }
    const std::vector<std::string> guids = ud::parseExtendedProperties(exact.data(), exact.size());
    return std::any_of(guids.begin(), guids.end(), ud::isInstrumentGuid) ? 1 : kNone;
}

void row(const char* name, Kind kind, const Bytes& bytes, int value) { QTest::newRow(name) << int(kind) << bytes << value; }

}  // namespace

class TestUsbDescriptors : public QObject {
    Q_OBJECT

private slots:
    void descriptorsDeclare_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<Bytes>("bytes");
        QTest::addColumn<int>("declared");
        const Bytes ours = guidsProperty({kOurs});
        const Bytes twoFunctions = concat({functionSubset(0, guidsProperty({kOther})), functionSubset(3, ours)});
        const std::string lower = QString::fromStdString(kOurs).toLower().toStdString();
        row("set: whole device", Set, descriptorSet(ours), 0);
        row("set: function of interface 2", Set, descriptorSet(configurationSubset(functionSubset(2, ours))), 2);
        row("set: second function", Set, descriptorSet(configurationSubset(twoFunctions)), 3);
        row("set: REG_SZ, lower case", Set, descriptorSet(registryProperty(kRegSz, "DeviceInterfaceGUID", utf16z(lower))), 0);
        row("set: other GUID only", Set, descriptorSet(guidsProperty({kOther})), kNone);
        // Lengths that lie inside the bytes: of the set (8), subset (16), feature (18), name (24).
        const Bytes set = descriptorSet(functionSubset(1, ours));
        row("set: total cuts the subset", Set, with16(set, 8, set.size() - 1), kNone);
        row("set: subset beyond the set", Set, with16(set, 16, 0xFFFF), kNone);
        row("set: feature of length zero", Set, with16(set, 18, 0), kNone);
        row("set: name beyond the feature", Set, with16(set, 24, 0xFFFE), kNone);

        const Bytes good = bos({kUsb2Extension, platformCapability(true, 0x21)});
        row("BOS: after a USB 2.0 extension", Bos, good, 0x21);
        row("BOS: other platform only", Bos, bos({platformCapability(false, 5)}), kNone);
        row("BOS: capability of length zero", Bos, with16(good, 5, 0x1000), kNone);

        const Bytes string = msOs10String("MSFT100", 0x42);
        row("string: instrument", String, string, 0x42);
        row("string: other signature", String, msOs10String("MSFT200", 0x42), kNone);
        row("string: length too short", String, with16(string, 0, 0x0310), kNone);

        const Bytes label = extendedSection(kRegSz, "Label", utf16z("Tester"));
        const Bytes guids = extendedSection(kRegMultiSz, "DeviceInterfaceGUIDs", multiSz({kOther, kOurs}));
        const Bytes properties = extendedProperties({label, guids});
        row("properties: ours among others", Properties, properties, 1);
        row("properties: no GUID", Properties, extendedProperties({label}), kNone);
        row("properties: more sections counted", Properties, with16(properties, 8, 3), kNone);
        row("properties: section beyond the total", Properties, with16(properties, 10 + label.size(), 0xFFFF), kNone);
    }
    // Besides: when a row declares something, every truncation of it
    // declares nothing; and no corrupted byte makes a parser read outside its
    // bytes (the sanitizer build turns such a read into a failure).
    void descriptorsDeclare()
    {
        QFETCH(int, kind);
        QFETCH(Bytes, bytes);
        QTEST(declared(kind, bytes), "declared");
        for (std::size_t size = 0; size < bytes.size() && declared(kind, bytes) != kNone; ++size)
            QCOMPARE(declared(kind, Bytes(bytes.begin(), bytes.begin() + std::ptrdiff_t(size))), kNone);
        for (std::size_t at = 0; at < bytes.size(); ++at)
            for (int value : {0x00, 0x01, 0x7F, 0xFF, bytes[at] + 1, bytes[at] - 1}) {
                Bytes corrupted = bytes;
                corrupted[at] = std::uint8_t(value);
                declared(kind, corrupted);
            }
    }

    void guidTextGivesItsFields()
    {
        const auto guid = ud::parseGuid("{dee824ef-729B-4A0E-9C14-B7117D33A817}");
        QVERIFY(guid && guid->data1 == 0xDEE824EFu && guid->data2 == 0x729B && guid->data3 == 0x4A0E);
        QCOMPARE(Bytes(guid->data4, guid->data4 + 8), (Bytes{0x9C, 0x14, 0xB7, 0x11, 0x7D, 0x33, 0xA8, 0x17}));
        QVERIFY(!ud::parseGuid("{DEE824E-F729B-4A0E-9C14-B7117D33A81G}"));
    }
};

QTEST_APPLESS_MAIN(TestUsbDescriptors)
#include "test_usbdescriptors.moc"
