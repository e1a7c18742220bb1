// Several backends behind one transport: which backend each call reaches.

#include "link/transportset.h"

#include <QTest>

#include <set>

namespace {

// A backend that claims paths beginning with its prefix and notes every
// transfer handed to it that it did not start.
class FakeBackend : public transport::Transport {
public:
    explicit FakeBackend(std::string prefix) : prefix(std::move(prefix)) {}
    struct FakeTransfer : transport::Transfer {};

    std::vector<std::string> devicePaths() override { return {prefix + "0"}; }
    bool handles(const std::string& path) const override { return path.rfind(prefix, 0) == 0; }
    bool openDevice(const std::string&) override { return open = true; }
    bool bindInterface() override { return true; }
    bool queryEndpointCount(int* count) override { return *count = 0, true; }
    bool queryPipe(int, transport::PipeInfo*) override { return false; }
    bool releaseInterface() override { return true; }
    bool closeDevice() override { return !(open = false); }
    transport::Transfer* startTransfer(std::uint8_t, std::uint8_t*, std::uint32_t) override
    {
        auto* transfer = new FakeTransfer;
        mine.insert(transfer);
        return transfer;
    }
    transport::WaitResult waitTransfer(transport::Transfer* transfer, std::uint32_t) override
    {
        check(transfer);
        return transport::WaitResult::Completed;
    }
    bool transferResult(transport::Transfer* transfer, std::uint32_t* transferred) override
    {
        check(transfer);
        *transferred = 1;
        return true;
    }
    void cancelTransfer(transport::Transfer* transfer) override { check(transfer); }
    void finishTransfer(transport::Transfer* transfer) override
    {
        if (check(transfer)) {
            mine.erase(transfer);
            delete static_cast<FakeTransfer*>(transfer);
        }
    }
    bool writeSync(std::uint8_t, const std::uint8_t*, std::uint32_t, std::uint32_t) override { return true; }
    bool flushPipe(std::uint8_t) override { return true; }
    int lastError() const override { return 0; }

    bool check(transport::Transfer* transfer)
    {
        const bool own = mine.count(transfer) != 0;
        foreign += own ? 0 : 1;
        return own;
    }

    const std::string prefix;
    bool open = false;
    std::set<transport::Transfer*> mine;
    int foreign = 0;
};

}  // namespace

class TransportSetTest : public QObject {
    Q_OBJECT

private slots:
    // A transfer started on one backend (a write from the window's thread)
    // outlives an open of the other backend's path (a connect in the link's
    // thread): waiting, collecting, cancelling and finishing it still reach
    // the backend that started it.
    void transferStaysWithItsBackendAcrossAnOpen()
    {
        auto usbOwned = std::make_unique<FakeBackend>("usb:");
        auto socketOwned = std::make_unique<FakeBackend>("/");
        FakeBackend* usb = usbOwned.get();
        FakeBackend* socket = socketOwned.get();
        TransportSet set;
        set.add(std::move(usbOwned));
        set.add(std::move(socketOwned));
        QCOMPARE(set.devicePaths(), (std::vector<std::string>{"usb:0", "/0"}));

        QVERIFY(set.openDevice("usb:0"));
        std::uint8_t byte = 0;
        transport::Transfer* early = set.startTransfer(0x01, &byte, 1);
        QVERIFY(set.openDevice("/0"));
        QVERIFY(!usb->open && socket->open);  // the previous backend's device was closed
        transport::Transfer* late = set.startTransfer(0x81, &byte, 1);

        std::uint32_t transferred = 0;
        for (transport::Transfer* transfer : {early, late}) {
            QCOMPARE(set.waitTransfer(transfer, 10), transport::WaitResult::Completed);
            QVERIFY(set.transferResult(transfer, &transferred));
            set.cancelTransfer(transfer);
            set.finishTransfer(transfer);
        }
        QCOMPARE(usb->foreign, 0);
        QCOMPARE(socket->foreign, 0);
        QVERIFY(usb->mine.empty() && socket->mine.empty());  // each freed by its own backend
    }

    void nothingOpenStartsNothing()
    {
        TransportSet set;
        set.add(std::make_unique<FakeBackend>("usb:"));
        std::uint8_t byte = 0;
        QVERIFY(!set.startTransfer(0x01, &byte, 1));
        QVERIFY(!set.openDevice("elsewhere"));
        QVERIFY(!set.startTransfer(0x01, &byte, 1));
    }
};

QTEST_GUILESS_MAIN(TransportSetTest)
#include "test_transportset.moc"
