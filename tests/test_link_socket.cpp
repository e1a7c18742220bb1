// The simulator socket client: discovery, one message per read, bounded and
// cancellable waits; then the whole link against the real simulator program
// (the one place a link reaches the program).

#include "tests/linkfakes.h"
#include "link/sockettransport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using linktest::Bytes;
using linktest::Report;
using linktest::text;

namespace {

// A seqpacket socket bound at path, never accepting; with a negative backlog
// not even listening, so that connecting to it is refused like connecting to
// a stale socket file.
int serverSocket(const std::string& path, int backlog = 4)
{
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof(address.sun_path), "%s", path.c_str());
    const bool ok = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    return ok && (backlog < 0 || ::listen(fd, backlog) == 0) ? fd : -1;
}

// A test server with one client connected through the transport.
struct Connection {
    QTemporaryDir dir;
    const int listener = serverSocket(dir.filePath("dev.sock").toStdString());
    SocketTransport client{dir.path().toStdString()};
    const bool opened = client.openDevice(dir.filePath("dev.sock").toStdString()) && client.bindInterface();
    const int peer = opened ? ::accept(listener, nullptr, nullptr) : -1;  // the server's side
    std::uint8_t buffer[protocol::kReadLength] = {};

    ~Connection()
    {
        ::close(peer);
        ::close(listener);
    }
    transport::Transfer* startRead() { return client.startTransfer(SocketTransport::kBulkIn, buffer, sizeof buffer); }
    // One read transfer: the bytes received, empty when it timed out or failed.
    Bytes read(std::uint32_t timeoutMs)
    {
        transport::Transfer* transfer = startRead();
        std::uint32_t count = 0;
        const bool ok = client.waitTransfer(transfer, timeoutMs) == transport::WaitResult::Completed
                        && client.transferResult(transfer, &count);
        client.finishTransfer(transfer);
        return ok ? Bytes(buffer, buffer + count) : Bytes();
    }
    void send(const Bytes& message) { ::send(peer, message.data(), message.size(), MSG_NOSIGNAL); }
};

}  // namespace

class LinkSocketTest : public QObject {
    Q_OBJECT

private slots:
    // Paths travel as text to the window and back: one whose name is not
    // valid UTF-8 is not offered by the link, since it could not be opened again.
    void discoveryListsConnectableSocketsInNameOrder()
    {
        QTemporaryDir dir;
        const auto at = [&dir](const char* name) { return dir.filePath(name).toStdString(); };
        const int fds[] = {serverSocket(at("b.sock")), serverSocket(at("a.sock")), serverSocket(at("c.sock"), -1),
                           serverSocket(at("e.sock"), 0), serverSocket(at("\xe6\xb5\x8b.sock")),
                           serverSocket(dir.path().toStdString() + "/\xff\xfe.sock")};
        QFile plainFile(dir.filePath("d.sock"));
        QVERIFY(plainFile.open(QIODevice::WriteOnly));
        // e.sock holds one connection it never accepts: the first search fills
        // it, and a later one passes it by instead of waiting for it.
        QCOMPARE(SocketTransport(dir.path().toStdString()).devicePaths().size(), std::size_t(5));
        const std::vector<std::string> expected{at("a.sock"), at("b.sock"), at("\xe6\xb5\x8b.sock"),
                                                dir.path().toStdString() + "/\xff\xfe.sock"};
        QCOMPARE(SocketTransport(dir.path().toStdString()).devicePaths(), expected);
        // The platform's backends end with the same sockets (no USB instrument is plugged in here).
        const auto all = transport::createPlatformTransport(dir.path().toStdString())->devicePaths();
        QVERIFY(all.size() >= 4 && std::equal(expected.begin(), expected.end(), all.end() - 4));

        linktest::Link<SocketTransport> rig(std::make_unique<SocketTransport>(dir.path().toStdString()));
        const QStringList paths = rig.manager.getDevicePaths();
        QCOMPARE(paths, (QStringList{dir.filePath("a.sock"), dir.filePath("b.sock"), dir.filePath(QStringLiteral("测.sock"))}));
        rig.manager.connectUsb(paths.last());
        QCOMPARE(rig.column<bool>(rig.connected, 0), QList<bool>{true});
        for (int fd : fds)
            ::close(fd);
    }

    // Each read takes one message; with none left it ends at its time-out, or
    // at once when another thread cancels it; the next read starts clean.
    void reads()
    {
        Connection c;
        QVERIFY(c.peer >= 0);
        c.send(Bytes(63, 0x11));
        c.send(Bytes(10, 0x22));
        QCOMPARE(c.read(1000), Bytes(63, 0x11));
        QCOMPARE(c.read(1000), Bytes(10, 0x22));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(c.read(80).empty());
        QVERIFY(timer.elapsed() >= 75 && timer.elapsed() < 2000);

        transport::Transfer* transfer = c.startRead();
        std::thread canceller([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            c.client.cancelTransfer(transfer);
        });
        timer.restart();
        const transport::WaitResult result = c.client.waitTransfer(transfer, 10000);
        canceller.join();
        QVERIFY(timer.elapsed() < 5000);
        std::uint32_t count = 0;
        QVERIFY(result != transport::WaitResult::Completed || !c.client.transferResult(transfer, &count));
        c.client.finishTransfer(transfer);
        c.send(Bytes(8, 0x33));
        QCOMPARE(c.read(1000), Bytes(8, 0x33));
    }

    // The simulator's end closing is seen without a transfer, unread answers
    // or not; an open connection is not taken for a gone one.
    void closedPeerIsSeenAsGone_data()
    {
        QTest::addColumn<bool>("answerLeft");
        QTest::newRow("nothing unread") << false;
        QTest::newRow("an answer unread") << true;
    }
    void closedPeerIsSeenAsGone()
    {
        QFETCH(bool, answerLeft);
        Connection c;
        QVERIFY(c.peer >= 0);
        if (answerLeft)
            c.send(Bytes(63, 0x11));
        QVERIFY(!c.client.deviceGone());
        ::shutdown(c.peer, SHUT_RDWR);
        QVERIFY(c.client.deviceGone());
        c.client.closeDevice();
        QVERIFY(!c.client.deviceGone());  // nothing open
    }

    // ------------------------------------------------------------ the real simulator program
    void linkAgainstSimulatorProgram()
    {
        QTemporaryDir dir;
        const QString socketPath = dir.filePath("x.sock");
        QProcess simulator;
        simulator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        simulator.start(TESTER_SIM_PROGRAM, {"--socket", socketPath, "--records", "100", "--time-scale", "0.05"});
        // The socket file appears before the program listens on it; discovery lists only listening sockets.
        QTRY_VERIFY_WITH_TIMEOUT(SocketTransport(dir.path().toStdString()).devicePaths().size() == 1, 5000);

        linktest::Link<SocketTransport> rig(std::make_unique<SocketTransport>(dir.path().toStdString()), LinkTiming{});
        QSignalSpy realTime(&rig.manager, &WinUSBManager::finishReadRealTime);
        rig.manager.connectUsb(socketPath);
        rig.manager.informUpperOpen();
        rig.manager.changeReadType(2);
        for (int i = 0; i < 3; ++i)
            rig.manager.readRealTimeData();
        rig.manager.updateTestSetting(linktest::settingsFrame());
        rig.manager.startTesting(false);
        rig.manager.stopTesting(false);
        rig.manager.readStoreTotalNum();
        rig.manager.readReadBackData();
        rig.manager.disConnect();

        QCOMPARE(rig.column<bool>(rig.connected, 0), (QList<bool>{true, false}));
        QCOMPARE(realTime.count(), 3);
        QCOMPARE(rig.reports(), (QList<Report>{Report(text("更新测量设置成功"), 0), Report(text("请求开始测试成功"), 0),
                                               Report(text("请求停止测试成功"), 0)}));
        QCOMPARE(rig.column<int>(rig.counts, 0), QList<int>{100});
        QCOMPARE(rig.records.count(), 100);
        QCOMPARE(rig.records.last().at(1).toInt(), 100);
        simulator.terminate();
        QVERIFY(simulator.waitForFinished(5000));
    }
};

QTEST_GUILESS_MAIN(LinkSocketTest)
#include "test_link_socket.moc"
