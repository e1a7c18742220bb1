// The simulator socket client: discovery, message-per-transfer, bounded and
// cancellable waits, flushing; then the whole link against the real simulator
// program.

#include "protocol.h"
#include "sockettransport.h"
#include "winusbmanager.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <thread>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using Bytes = protocol::Bytes;

// A listening seqpacket socket at path; with listening false only bound, so
// that connecting to it is refused like a stale socket file.
int serverSocket(const std::string& path, bool listening = true)
{
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof(address.sun_path), "%s", path.c_str());
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0)
        return -1;
    if (listening && ::listen(fd, 4) != 0)
        return -1;
    return fd;
}

Bytes receiveMessage(int fd)
{
    Bytes buffer(256);
    const ssize_t n = ::recv(fd, buffer.data(), buffer.size(), 0);
    buffer.resize(n > 0 ? std::size_t(n) : 0);
    return buffer;
}

void sendMessage(int fd, const Bytes& message) { ::send(fd, message.data(), message.size(), MSG_NOSIGNAL); }

// One client of a test server, connected through the transport.
struct Connection {
    QTemporaryDir dir;
    std::string path;
    int listener = -1;
    int peer = -1;  // the server's side of the connection
    SocketTransport transport;

    Connection() : path(dir.filePath("dev.sock").toStdString()), transport(dir.path().toStdString())
    {
        listener = serverSocket(path);
    }
    ~Connection()
    {
        for (int fd : {peer, listener})
            if (fd >= 0)
                ::close(fd);
    }
    bool open()
    {
        if (!transport.openDevice(path) || !transport.bindInterface())
            return false;
        peer = ::accept(listener, nullptr, nullptr);
        return peer >= 0;
    }
    // One read transfer: its outcome and the bytes received.
    transport::WaitResult read(std::uint32_t timeoutMs, Bytes* received, bool* ok)
    {
        std::uint8_t buffer[protocol::kReadLength] = {};
        transport::Transfer* transfer = transport.startTransfer(SocketTransport::kBulkIn, buffer, sizeof(buffer));
        const transport::WaitResult result = transport.waitTransfer(transfer, timeoutMs);
        std::uint32_t count = 0;
        *ok = result == transport::WaitResult::Completed && transport.transferResult(transfer, &count);
        transport.finishTransfer(transfer);
        received->assign(buffer, buffer + count);
        return result;
    }
};

}  // namespace

class LinkSocketTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<std::vector<unsigned char>>("std::vector<unsigned char>"); }

    void discoveryListsConnectableSocketsInNameOrder()
    {
        QTemporaryDir dir;
        const auto at = [&dir](const char* name) { return dir.filePath(name).toStdString(); };
        const int b = serverSocket(at("b.sock"));
        const int a = serverSocket(at("a.sock"));
        const int stale = serverSocket(at("c.sock"), false);
        QFile plain(dir.filePath("d.sock"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        QVERIFY(a >= 0 && b >= 0 && stale >= 0);

        SocketTransport transport(dir.path().toStdString() + "/");
        QCOMPARE(transport.devicePaths(), (std::vector<std::string>{at("a.sock"), at("b.sock")}));
        QVERIFY(transport.handles(at("a.sock")));
        QVERIFY(!transport.handles("usb:1-2"));
        QVERIFY(!transport.openDevice(at("c.sock")));
        QVERIFY(SocketTransport("/nonexistent-folder").devicePaths().empty());
        for (int fd : {a, b, stale})
            ::close(fd);
    }

    // The platform's backends end with the simulator sockets of the folder
    // (no USB instrument is plugged into a test machine).
    void platformTransportFindsSimulatorSockets()
    {
        QTemporaryDir dir;
        const std::string path = dir.filePath("sim.sock").toStdString();
        const int listener = serverSocket(path);
        QVERIFY(listener >= 0);
        std::unique_ptr<transport::Transport> platform = transport::createPlatformTransport(dir.path().toStdString());
        const std::vector<std::string> paths = platform->devicePaths();
        QVERIFY(!paths.empty());
        QCOMPARE(paths.back(), path);
        QVERIFY(platform->openDevice(path));
        QVERIFY(platform->bindInterface());
        QVERIFY(platform->closeDevice());
        ::close(listener);
    }

    void oneMessagePerTransfer()
    {
        Connection c;
        QVERIFY(c.open());
        int count = 0;
        QVERIFY(c.transport.queryEndpointCount(&count));
        QCOMPARE(count, 2);
        transport::PipeInfo in, out;
        QVERIFY(c.transport.queryPipe(0, &in) && c.transport.queryPipe(1, &out));
        QCOMPARE(int(in.id), 0x81);
        QCOMPARE(int(out.id), 0x01);
        QCOMPARE(in.type, transport::PipeType::Bulk);

        Bytes request = protocol::buildRealTimeRequest(0xFF);
        transport::Transfer* write = c.transport.startTransfer(SocketTransport::kBulkOut, request.data(),
                                                               std::uint32_t(request.size()));
        QCOMPARE(c.transport.waitTransfer(write, 1000), transport::WaitResult::Completed);
        std::uint32_t written = 0;
        QVERIFY(c.transport.transferResult(write, &written));
        c.transport.finishTransfer(write);
        QCOMPARE(written, std::uint32_t(request.size()));
        QCOMPARE(receiveMessage(c.peer), request);

        const Bytes wakeUp = protocol::wakeUpBytes();
        QVERIFY(c.transport.writeSync(SocketTransport::kBulkOut, wakeUp.data(), 5, 1000));
        QCOMPARE(receiveMessage(c.peer), wakeUp);

        // Two answers queued: each read takes exactly one.
        const Bytes first(63, 0x11), second(10, 0x22);
        sendMessage(c.peer, first);
        sendMessage(c.peer, second);
        Bytes got;
        bool ok = false;
        QCOMPARE(c.read(1000, &got, &ok), transport::WaitResult::Completed);
        QVERIFY(ok);
        QCOMPARE(got, first);
        c.read(1000, &got, &ok);
        QCOMPARE(got, second);
    }

    void readTimesOut()
    {
        Connection c;
        QVERIFY(c.open());
        QElapsedTimer timer;
        timer.start();
        Bytes got;
        bool ok = true;
        QCOMPARE(c.read(80, &got, &ok), transport::WaitResult::TimedOut);
        QVERIFY(timer.elapsed() >= 75);
        QVERIFY(timer.elapsed() < 2000);
    }

    void cancelFromAnotherThreadWakesTheWait()
    {
        Connection c;
        QVERIFY(c.open());
        std::uint8_t buffer[protocol::kReadLength];
        transport::Transfer* transfer = c.transport.startTransfer(SocketTransport::kBulkIn, buffer, sizeof(buffer));
        std::thread canceller([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            c.transport.cancelTransfer(transfer);
        });
        QElapsedTimer timer;
        timer.start();
        const transport::WaitResult result = c.transport.waitTransfer(transfer, 10000);
        canceller.join();
        QVERIFY(timer.elapsed() < 5000);
        QCOMPARE(result, transport::WaitResult::Completed);
        std::uint32_t count = 0;
        QVERIFY(!c.transport.transferResult(transfer, &count));
        c.transport.finishTransfer(transfer);

        // The next transfer starts clean.
        sendMessage(c.peer, Bytes(8, 0x33));
        Bytes got;
        bool ok = false;
        c.read(1000, &got, &ok);
        QVERIFY(ok);
        QCOMPARE(got, Bytes(8, 0x33));
    }

    void flushDrainsWithoutBlocking()
    {
        Connection c;
        QVERIFY(c.open());
        for (int i = 0; i < 3; ++i)
            sendMessage(c.peer, Bytes(63, std::uint8_t(i)));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(c.transport.flushPipe(SocketTransport::kBulkIn));
        QVERIFY(c.transport.flushPipe(SocketTransport::kBulkIn));  // nothing left: still at once
        QVERIFY(timer.elapsed() < 1000);
        Bytes got;
        bool ok = true;
        QCOMPARE(c.read(30, &got, &ok), transport::WaitResult::TimedOut);
    }

    void vanishedSimulatorFailsTransfers()
    {
        Connection c;
        QVERIFY(c.open());
        ::close(c.peer);
        c.peer = -1;
        Bytes got;
        bool ok = true;
        QCOMPARE(c.read(1000, &got, &ok), transport::WaitResult::Completed);
        QVERIFY(!ok);
        const Bytes request = protocol::buildKeyLockRequest();
        QVERIFY(!c.transport.writeSync(SocketTransport::kBulkOut, request.data(), 8, 100));  // and no SIGPIPE
        QVERIFY(c.transport.lastError() != 0);
    }

    // ------------------------------------------------------------ the real simulator program
    void linkAgainstSimulatorProgram()
    {
        QTemporaryDir dir;
        const QString socketPath = dir.filePath("x.sock");
        QProcess simulator;
        simulator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        simulator.start(QStringLiteral(TESTER_SIM_PROGRAM),
                        {"--socket", socketPath, "--records", "100", "--time-scale", "0.05"});
        QVERIFY(simulator.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(socketPath), 5000);

        WinUSBManager manager(std::make_unique<SocketTransport>(dir.path().toStdString()), LinkTiming{});
        QSignalSpy detected(&manager, &WinUSBManager::detectedDeviceSignal);
        QSignalSpy connected(&manager, &WinUSBManager::finishUsbDetection);
        QSignalSpy states(&manager, &WinUSBManager::stateProcessing);
        QSignalSpy realTime(&manager, &WinUSBManager::finishReadRealTime);
        QSignalSpy counts(&manager, &WinUSBManager::finishReadStorageNumSignal);
        QSignalSpy records(&manager, &WinUSBManager::finishReadReadBack);

        manager.detectDevice();
        QCOMPARE(detected.count(), 1);
        QCOMPARE(detected.at(0).at(0).toStringList(), QStringList{socketPath});
        manager.connectUsb(socketPath);
        QCOMPARE(connected.count(), 1);
        QCOMPARE(connected.at(0).at(0).toBool(), true);

        manager.informUpperOpen();
        manager.changeReadType(2);
        for (int i = 0; i < 3; ++i)
            manager.readRealTimeData();
        QCOMPARE(realTime.count(), 3);
        for (const QList<QVariant>& args : realTime) {
            const Bytes record = args.at(0).value<std::vector<unsigned char>>();
            QVERIFY(protocol::isRealTimeRecord(record.data(), record.size()));
            QVERIFY(protocol::recordChecksumValid(record.data(), record.size()));
        }

        manager.startTesting(false);
        manager.readRealTimeData();
        manager.stopTesting(false);
        QCOMPARE(states.count(), 2);
        QCOMPARE(states.at(0).at(0).toString(), QString::fromUtf8("请求开始测试成功"));
        QCOMPARE(states.at(1).at(0).toString(), QString::fromUtf8("请求停止测试成功"));

        manager.stopCirculation(false);
        manager.keyLock();
        manager.readStoreTotalNum();
        QCOMPARE(counts.count(), 1);
        QCOMPARE(counts.at(0).at(0).toInt(), 100);
        manager.readReadBackData();
        manager.informUpperClose();
        manager.keyUnlock();
        QCOMPARE(records.count(), 100);
        for (int i = 0; i < 100; ++i) {
            QCOMPARE(records.at(i).at(1).toInt(), i + 1);
            const Bytes record = records.at(i).at(0).value<std::vector<unsigned char>>();
            QCOMPARE(protocol::storedRecordNumber(record.data()), i + 1);
        }
        QCOMPARE(states.count(), 3);  // the key lock's success, nothing else

        manager.disConnect();
        QCOMPARE(connected.count(), 2);
        simulator.terminate();
        QVERIFY(simulator.waitForFinished(5000));
        QVERIFY(!QFile::exists(socketPath));
    }
};

QTEST_GUILESS_MAIN(LinkSocketTest)
#include "test_link_socket.moc"
