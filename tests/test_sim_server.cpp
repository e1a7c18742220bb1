// The simulator's socket server: one seqpacket message per transfer, the
// socket file's life, one client after another, drop and stop; and the
// program itself started as a process.

#include "protocol.h"
#include "simserver.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <thread>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using protocol::Bytes;

namespace {

int connectTo(const std::string& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool sendMessage(int fd, const Bytes& message)
{
    return ::send(fd, message.data(), message.size(), MSG_NOSIGNAL) == ssize_t(message.size());
}

// One message, or empty after the timeout or when the peer has gone.
Bytes receiveMessage(int fd, int timeoutMs, bool* closed = nullptr)
{
    pollfd p = {fd, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) <= 0)
        return {};
    std::uint8_t buffer[256];
    const ssize_t size = ::recv(fd, buffer, sizeof buffer, 0);
    if (closed)
        *closed = size <= 0;
    return size > 0 ? Bytes(buffer, buffer + size) : Bytes();
}

bool exists(const std::string& path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

// A server on a temporary socket, served from a thread of its own.
struct RunningServer {
    std::shared_ptr<sim::Instrument> instrument;
    std::unique_ptr<sim::SimServer> server;
    std::thread thread;

    RunningServer(const std::string& path, sim::InstrumentOptions options = {})
        : instrument(std::make_shared<sim::Instrument>(options)),
          server(std::make_unique<sim::SimServer>(instrument, path))
    {
    }
    bool start()
    {
        std::string error;
        if (!server->listen(&error))
            return false;
        thread = std::thread([this] { server->serve(); });
        return true;
    }
    ~RunningServer()
    {
        server->stop();
        if (thread.joinable())
            thread.join();
    }
};

}  // namespace

class TestSimServer : public QObject {
    Q_OBJECT

private slots:
    void init();
    void realTimeRoundTrip();
    void requestsWithoutAnswerGetNone();
    void nextClientAfterADisconnect();
    void dropClosesTheConnectionAfterNRequests();
    void staleSocketFileIsReplaced();
    void liveServerOrForeignFileIsLeftAlone();
    void stopEndsServingAndRemovesTheFile();
    void programServesAndEndsOnSigterm();

private:
    std::unique_ptr<QTemporaryDir> folder_;
    std::string path_;
};

void TestSimServer::init()
{
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(folder_->isValid());
    path_ = QFile::encodeName(folder_->filePath(QStringLiteral("sim.sock"))).toStdString();
}

void TestSimServer::realTimeRoundTrip()
{
    RunningServer running(path_);
    QVERIFY(running.start());
    const int fd = connectTo(path_);
    QVERIFY(fd >= 0);
    QVERIFY(sendMessage(fd, protocol::buildRealTimeRequest(0xFF)));
    const Bytes r = receiveMessage(fd, 2000);
    QCOMPARE(int(r.size()), 63);
    QVERIFY(protocol::isRealTimeRecord(r.data(), r.size()));
    QVERIFY(protocol::recordChecksumValid(r.data(), r.size()));
    QVERIFY(sendMessage(fd, protocol::buildKeyLockRequest()));
    const Bytes ack = receiveMessage(fd, 2000);
    QVERIFY(protocol::acknowledgeAccepts(ack.data(), ack.size()));
    ::close(fd);
}

void TestSimServer::requestsWithoutAnswerGetNone()
{
    RunningServer running(path_);
    QVERIFY(running.start());
    const int fd = connectTo(path_);
    QVERIFY(sendMessage(fd, protocol::wakeUpBytes()));
    QVERIFY(sendMessage(fd, protocol::buildUpperOpenRequest()));
    QVERIFY(receiveMessage(fd, 150).empty());
    // Both arrived as separate transfers, the wake-up bytes as one message.
    QVERIFY(sendMessage(fd, protocol::buildStoredCountRequest()));
    QCOMPARE(int(receiveMessage(fd, 2000).size()), 10);
    const std::vector<Bytes> log = running.instrument->requestLog();
    QCOMPARE(int(log.size()), 3);
    QCOMPARE(log[0], protocol::wakeUpBytes());
    QVERIFY(running.instrument->upperOpen());
    ::close(fd);
}

void TestSimServer::nextClientAfterADisconnect()
{
    RunningServer running(path_);
    QVERIFY(running.start());
    for (int round = 0; round < 3; ++round) {
        const int fd = connectTo(path_);
        QVERIFY(fd >= 0);
        QVERIFY(sendMessage(fd, protocol::buildRealTimeRequest(0x00)));
        QCOMPARE(int(receiveMessage(fd, 2000).size()), 63);
        ::close(fd);
    }
    QTRY_COMPARE(running.server->clientsServed(), 3);
}

void TestSimServer::dropClosesTheConnectionAfterNRequests()
{
    sim::InstrumentOptions options;
    options.faults.dropAfterRequests = 2;
    RunningServer running(path_, options);
    QVERIFY(running.start());
    const int fd = connectTo(path_);
    for (int i = 0; i < 2; ++i) {
        QVERIFY(sendMessage(fd, protocol::buildRealTimeRequest(0xFF)));
        QCOMPARE(int(receiveMessage(fd, 2000).size()), 63);
    }
    bool closed = false;
    receiveMessage(fd, 2000, &closed);
    QVERIFY(closed);
    QVERIFY(!sendMessage(fd, protocol::buildRealTimeRequest(0xFF)));
    ::close(fd);
    // The next client is served again.
    const int next = connectTo(path_);
    QVERIFY(sendMessage(next, protocol::buildRealTimeRequest(0xFF)));
    QCOMPARE(int(receiveMessage(next, 2000).size()), 63);
    ::close(next);
}

void TestSimServer::staleSocketFileIsReplaced()
{
    {
        // A socket file whose server has gone.
        const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path_.c_str());
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
    }
    QVERIFY(exists(path_));
    RunningServer running(path_);
    QVERIFY(running.start());
    const int fd = connectTo(path_);
    QVERIFY(fd >= 0);
    ::close(fd);
}

void TestSimServer::liveServerOrForeignFileIsLeftAlone()
{
    RunningServer first(path_);
    QVERIFY(first.start());
    sim::SimServer second(std::make_shared<sim::Instrument>(), path_);
    std::string error;
    QVERIFY(!second.listen(&error));
    QVERIFY(!error.empty());
    const int fd = connectTo(path_);  // the first one still serves
    QVERIFY(fd >= 0);
    ::close(fd);

    const std::string plain = QFile::encodeName(folder_->filePath(QStringLiteral("notes.txt"))).toStdString();
    QFile file(QFile::decodeName(plain.c_str()));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("keep me");
    file.close();
    sim::SimServer third(std::make_shared<sim::Instrument>(), plain);
    QVERIFY(!third.listen(&error));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("keep me"));
}

void TestSimServer::stopEndsServingAndRemovesTheFile()
{
    {
        RunningServer running(path_);
        QVERIFY(running.start());
        const int fd = connectTo(path_);  // a client still connected does not hold up the stop
        QVERIFY(fd >= 0);
        QVERIFY(sendMessage(fd, protocol::buildRealTimeRequest(0xFF)));
        QCOMPARE(int(receiveMessage(fd, 2000).size()), 63);
        running.server->stop();
        running.thread.join();
        ::close(fd);
    }
    QVERIFY(!exists(path_));
}

void TestSimServer::programServesAndEndsOnSigterm()
{
    QProcess program;
    program.start(QStringLiteral(SIM_PROGRAM),
                  {QStringLiteral("--socket"), QFile::decodeName(path_.c_str()), QStringLiteral("--records"),
                   QStringLiteral("45"), QStringLiteral("--misnumber-record"), QStringLiteral("6")});
    QVERIFY(program.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(exists(path_), 5000);
    const int fd = connectTo(path_);
    QVERIFY(fd >= 0);
    QVERIFY(sendMessage(fd, protocol::buildStoredCountRequest()));
    const Bytes count = receiveMessage(fd, 2000);
    QVERIFY(protocol::storedCountValid(count.data(), count.size()));
    QCOMPARE(protocol::storedCount(count.data()), 45);
    QVERIFY(sendMessage(fd, protocol::buildReadBackRequest(5, 2)));
    QCOMPARE(protocol::storedRecordNumber(receiveMessage(fd, 2000).data()), 5);
    QCOMPARE(protocol::storedRecordNumber(receiveMessage(fd, 2000).data()), 7);  // record 6 misnumbered
    ::close(fd);
    program.terminate();  // SIGTERM
    QVERIFY(program.waitForFinished(5000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY(!exists(path_));

    QProcess help;
    help.start(QStringLiteral(SIM_PROGRAM), {QStringLiteral("--help")});
    QVERIFY(help.waitForFinished(5000));
    const QByteArray text = help.readAllStandardOutput();
    for (const char* option : {"--socket", "--records", "--screen", "--time-scale", "--battery", "--danger",
                               "--refuse", "--silent", "--corrupt-record", "--misnumber-record", "--ack-realtime",
                               "--drop-after", "--delay", "--seed", "--verbose"})
        QVERIFY2(text.contains(option), option);

    QProcess refused;
    refused.start(QStringLiteral(SIM_PROGRAM), {QStringLiteral("--socket"), QFile::decodeName(path_.c_str()),
                                                QStringLiteral("--records"), QStringLiteral("10000")});
    QVERIFY(refused.waitForFinished(5000));
    QVERIFY(refused.exitCode() != 0);
}

QTEST_GUILESS_MAIN(TestSimServer)
#include "test_sim_server.moc"
