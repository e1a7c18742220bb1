// The libusb backend's device paths, and what it does on a machine without instruments.
#include <QtTest>

#include "libusbtransport.h"
#include "usbdevicepath.h"

class TestLibusbTransport : public QObject {
    Q_OBJECT

private slots:
    void pathsRoundTrip_data();
    void pathsRoundTrip();
    void malformedPathsAreRefused_data();
    void malformedPathsAreRefused();
    void pathsAreOrderedByBusThenPort();
    void devicesThatMayNotBeOpenedAreNamed();
    void noInstrumentsListsNothing();
    void unknownPathsDoNotOpen();
    void transfersNeedABoundInterface();
};

void TestLibusbTransport::pathsRoundTrip_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("bus");
    QTest::addColumn<QList<int>>("ports");

    QTest::newRow("on the root hub") << "usb:1-4" << 1 << QList<int>{4};
    QTest::newRow("behind a hub") << "usb:1-2.3" << 1 << QList<int>{2, 3};
    QTest::newRow("two-digit numbers") << "usb:12-10.11" << 12 << QList<int>{10, 11};
    QTest::newRow("deepest tier") << "usb:3-1.2.3.4.5.6.7" << 3 << QList<int>{1, 2, 3, 4, 5, 6, 7};
    QTest::newRow("largest numbers") << "usb:255-255" << 255 << QList<int>{255};
}

void TestLibusbTransport::pathsRoundTrip()
{
    QFETCH(QString, path);
    QFETCH(int, bus);
    QFETCH(QList<int>, ports);

    usbdevicepath::Location parsed;
    QVERIFY(usbdevicepath::parse(path.toStdString(), &parsed));
    QCOMPARE(parsed.bus, bus);
    QCOMPARE(QList<int>(parsed.ports.begin(), parsed.ports.end()), ports);
    QCOMPARE(QString::fromStdString(usbdevicepath::format(parsed)), path);
}

void TestLibusbTransport::malformedPathsAreRefused_data()
{
    QTest::addColumn<QString>("path");
    const char* const paths[] = {"", "usb:", "usb:1", "usb:1-", "usb:-2", "usb:1-2.", "usb:1-.2", "usb:1-2..3",
                                 "usb:1-0", "usb:01-2", "usb:1-02", "usb:256-1", "usb:1-256", "usb:1-2x",
                                 "usb:1-1.2.3.4.5.6.7.8", "USB:1-2", "sim:1-2", "usb:+1-2", "usb:1-99999999999"};
    for (const char* path : paths) QTest::newRow(*path ? path : "(empty)") << QString::fromLatin1(path);
}

void TestLibusbTransport::malformedPathsAreRefused()
{
    QFETCH(QString, path);
    usbdevicepath::Location parsed;
    parsed.bus = 77;
    QVERIFY(!usbdevicepath::parse(path.toStdString(), &parsed));
    QCOMPARE(parsed.bus, 77);  // left alone
}

void TestLibusbTransport::pathsAreOrderedByBusThenPort()
{
    std::vector<usbdevicepath::Location> found{{2, {1}}, {1, {10}}, {1, {2, 1}}, {1, {2}}, {1, {9, 4}}, {10, {1}}};
    const std::vector<std::string> expected{"usb:1-2", "usb:1-2.1", "usb:1-9.4", "usb:1-10", "usb:2-1", "usb:10-1"};
    QCOMPARE(usbdevicepath::orderedPaths(found), expected);
}

void TestLibusbTransport::devicesThatMayNotBeOpenedAreNamed()
{
    QVERIFY(usbdevicepath::accessNotice({}).empty());

    const QString one = QString::fromStdString(usbdevicepath::accessNotice({{{1, {2, 3}}, 0x1A2B, 0x00FF}}));
    QVERIFY2(one.contains("usb:1-2.3 (1a2b:00ff)"), qPrintable(one));
    QVERIFY2(one.contains(usbdevicepath::kUdevRule), qPrintable(one));

    const QString two = QString::fromStdString(
        usbdevicepath::accessNotice({{{1, {4}}, 0x0001, 0x0002}, {{3, {1, 1}}, 0xFFFF, 0xABCD}}));
    QVERIFY2(two.contains("usb:1-4 (0001:0002), usb:3-1.1 (ffff:abcd)"), qPrintable(two));
    QCOMPARE(two.count(usbdevicepath::kUdevRule), 1);
}

void TestLibusbTransport::noInstrumentsListsNothing()
{
    // This machine has no instrument attached; devices it may not open are
    // named in the notice, never listed.
    LibusbTransport transport;
    const std::vector<std::string> paths = transport.devicePaths();
    QVERIFY2(paths.empty(), paths.empty() ? "" : paths.front().c_str());
    QVERIFY(transport.handles("usb:1-2"));
    QVERIFY(!transport.handles("sim:/tmp/x"));
    if (!transport.notice().empty()) qInfo("notice: %s", transport.notice().c_str());
}

void TestLibusbTransport::unknownPathsDoNotOpen()
{
    LibusbTransport transport;
    QVERIFY(!transport.openDevice("usb:255-7.7.7"));
    QVERIFY(transport.lastError() != 0);
    QVERIFY(!transport.openDevice("not a path"));
    QVERIFY(!transport.bindInterface());
    QVERIFY(transport.closeDevice());
    QVERIFY(transport.releaseInterface());
}

void TestLibusbTransport::transfersNeedABoundInterface()
{
    LibusbTransport transport;
    std::uint8_t buffer[64] = {};
    QVERIFY(transport.startTransfer(0x81, buffer, sizeof buffer) == nullptr);
    QVERIFY(!transport.writeSync(0x01, buffer, 5, 10));
    QVERIFY(!transport.flushPipe(0x81));
    int count = -1;
    QVERIFY(!transport.queryEndpointCount(&count));
    transport::PipeInfo pipe;
    QVERIFY(!transport.queryPipe(0, &pipe));
    QCOMPARE(transport.waitTransfer(nullptr, 10), transport::WaitResult::Failed);
    transport.finishTransfer(nullptr);
}

QTEST_APPLESS_MAIN(TestLibusbTransport)
#include "test_libusbtransport.moc"
