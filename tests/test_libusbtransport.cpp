// The libusb backend's device paths, and what it does without an open instrument.
#include <QtTest>

#include "link/libusbtransport.h"
#include "link/usbdevicepath.h"

class TestLibusbTransport : public QObject {
    Q_OBJECT

private slots:
    void pathsRoundTrip_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QList<int>>("busAndPorts");
        QTest::newRow("on the root hub") << "usb:1-4" << QList<int>{1, 4};
        QTest::newRow("behind hubs, deepest tier") << "usb:3-1.2.3.4.5.6.7" << QList<int>{3, 1, 2, 3, 4, 5, 6, 7};
        QTest::newRow("largest numbers") << "usb:255-10.255" << QList<int>{255, 10, 255};
    }
    void pathsRoundTrip()
    {
        QFETCH(QString, path);
        usbdevicepath::Location parsed;
        QVERIFY(usbdevicepath::parse(path.toStdString(), &parsed));
        QTEST(QList<int>{parsed.bus} + QList<int>(parsed.ports.begin(), parsed.ports.end()), "busAndPorts");
        QCOMPARE(QString::fromStdString(usbdevicepath::format(parsed)), path);
    }

    void malformedPathsAreRefused()
    {
        usbdevicepath::Location parsed;
        for (const char* path : {"", "usb:1", "usb:1-", "usb:1-2.", "usb:1-2..3", "usb:1-0", "usb:01-2", "usb:256-1",
                                 "usb:1-256", "usb:1-2x", "usb:1-1.2.3.4.5.6.7.8", "USB:1-2", "usb:1-99999999999"})
            QVERIFY2(!usbdevicepath::parse(path, &parsed), path);
    }

    void pathsAreOrderedByBusThenPort()
    {
        const std::vector<usbdevicepath::Location> found{{2, {1}}, {1, {10}}, {1, {2, 1}}, {1, {2}}, {10, {1}}};
        const std::vector<std::string> ordered{"usb:1-2", "usb:1-2.1", "usb:1-10", "usb:2-1", "usb:10-1"};
        QCOMPARE(usbdevicepath::orderedPaths(found), ordered);
    }

    void devicesThatMayNotBeOpenedAreNamedOnce()
    {
        QVERIFY(usbdevicepath::accessNotice({}).empty());
        const QString notice = QString::fromStdString(
            usbdevicepath::accessNotice({{{1, {4}}, 0x0001, 0x0002}, {{3, {1, 1}}, 0xFFFF, 0xABCD}}));
        QVERIFY2(notice.contains("usb:1-4 (0001:0002), usb:3-1.1 (ffff:abcd)"), qPrintable(notice));
        QCOMPARE(notice.count(usbdevicepath::kUdevRule), 1);
    }

    void callsWithoutAnOpenInstrumentFail()
    {
        LibusbTransport transport;
        std::uint8_t buffer[64] = {};
        QVERIFY(!transport.openDevice("usb:255-7.7.7") && !transport.bindInterface());
        QVERIFY(!transport.startTransfer(0x81, buffer, sizeof buffer) && !transport.writeSync(0x01, buffer, 5, 10));
        QCOMPARE(transport.waitTransfer(nullptr, 10), transport::WaitResult::Failed);
    }
};

QTEST_APPLESS_MAIN(TestLibusbTransport)
#include "test_libusbtransport.moc"
