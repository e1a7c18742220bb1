// How the link reaches the simulator: the in-process transport (one answer
// per read, bounded waits, cancelling from another thread, every fault as the
// link sees it), the socket server and the program started as a process.

#include "link/protocol.h"
#include "sim/simserver.h"
#include "sim/simtransport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <chrono>
#include <memory>
#include <thread>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using protocol::Bytes;
using sim::SimulatorTransport;
using transport::WaitResult;

Q_DECLARE_METATYPE(sim::Faults)

namespace {

using Clock = std::chrono::steady_clock;

long long msSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

struct Connected {
    std::shared_ptr<sim::Instrument> instrument;
    SimulatorTransport transport;

    explicit Connected(sim::InstrumentOptions options = {})
        : instrument(std::make_shared<sim::Instrument>(options)), transport(instrument)
    {
        transport.openDevice("sim:0");
        transport.bindInterface();
    }
    bool write(const Bytes& request)
    {
        return transport.writeSync(SimulatorTransport::kBulkOut, request.data(), std::uint32_t(request.size()), 100);
    }
    // One read; empty when it did not complete successfully.
    Bytes read(std::uint32_t timeoutMs)
    {
        std::uint8_t buffer[protocol::kReadLength];
        std::uint32_t size = 0;
        transport::Transfer* t = transport.startTransfer(SimulatorTransport::kBulkIn, buffer, sizeof buffer);
        const bool ok = t && transport.waitTransfer(t, timeoutMs) == WaitResult::Completed && transport.transferResult(t, &size);
        if (t && !ok)
            transport.cancelTransfer(t);  // a transfer is finished only when no longer pending
        if (t)
            transport.finishTransfer(t);
        return Bytes(buffer, buffer + (ok ? size : 0));
    }
};

// One letter per answer: A/R accepting/refusing acknowledge, r real-time
// record, s stored record of the expected number, n of another, x a record
// with a bad checksum, - nothing within the wait.
char kindOf(const Bytes& a, int expectedNumber)
{
    if (a.empty())
        return '-';
    if (protocol::isAcknowledge(a.data(), a.size()))
        return protocol::acknowledgeAccepts(a.data(), a.size()) ? 'A' : 'R';
    if (!protocol::recordChecksumValid(a.data(), a.size()))
        return 'x';
    if (protocol::isRealTimeRecord(a.data(), a.size()))
        return 'r';
    return protocol::storedRecordNumber(a.data()) == expectedNumber ? 's' : 'n';
}

int connectTo(const QString& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", QFile::encodeName(path).constData());
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        return fd;
    ::close(fd);
    return -1;
}

// Sends one request and takes one answer: empty after 2 s or when the peer has gone.
Bytes roundTrip(int fd, const Bytes& request, int timeoutMs = 2000)
{
    if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) != ssize_t(request.size()))
        return {};
    pollfd p = {fd, POLLIN, 0};
    std::uint8_t buffer[256];
    const ssize_t size = ::poll(&p, 1, timeoutMs) > 0 ? ::recv(fd, buffer, sizeof buffer, 0) : 0;
    return Bytes(buffer, buffer + std::max<ssize_t>(size, 0));
}

}  // namespace

class TestSimTransport : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;
    const QString path_ = folder_.filePath(QStringLiteral("sim.sock"));

private slots:
    void listsOpensAndDescribesItsInstruments()
    {
        SimulatorTransport transport({std::make_shared<sim::Instrument>(), std::make_shared<sim::Instrument>()});
        QCOMPARE(transport.devicePaths(), (std::vector<std::string>{"sim:0", "sim:1"}));
        QVERIFY(!transport.openDevice("sim:2") && !transport.openDevice("sim:x"));
        QVERIFY(transport.openDevice("sim:1"));
        QVERIFY(!transport.openDevice("sim:0"));  // one device at a time
        QVERIFY(transport.bindInterface());
        transport::PipeInfo in;
        QVERIFY(transport.queryPipe(0, &in) && !transport.queryPipe(2, &in));
        QCOMPARE(std::make_pair(in.type, in.id), std::make_pair(transport::PipeType::Bulk, std::uint8_t(0x81)));
    }

    void waitsTimeOutAndEndOnACancelFromAnotherThread()
    {
        Connected c;
        std::uint8_t buffer[protocol::kReadLength];
        transport::Transfer* t = c.transport.startTransfer(SimulatorTransport::kBulkIn, buffer, sizeof buffer);
        auto start = Clock::now();
        QCOMPARE(c.transport.waitTransfer(t, 120), WaitResult::TimedOut);
        QVERIFY2(msSince(start) >= 115 && msSince(start) < 1000, qPrintable(QString::number(msSince(start))));
        std::thread canceller([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            c.transport.cancelTransfer(t);
        });
        start = Clock::now();
        const WaitResult result = c.transport.waitTransfer(t, 5000);
        canceller.join();
        QCOMPARE(result, WaitResult::Completed);
        QVERIFY2(msSince(start) < 2000, "the cancel did not end the wait");
        QVERIFY(!c.transport.transferResult(t, nullptr));
        QCOMPARE(c.transport.lastError(), SimulatorTransport::kErrorCancelled);
        c.transport.finishTransfer(t);
        QVERIFY(c.write(protocol::buildRealTimeRequest(0x00)));  // the cancelled read took no answer
        QCOMPARE(kindOf(c.read(100), 0), 'r');
    }

    // Refusals, silence, misnumbered records and acknowledged polls are
    // played through this same transport by test_link_manager's cases.
    void faultsAsTheLinkSeesThem_data()
    {
        QTest::addColumn<sim::Faults>("faults");
        QTest::addColumn<Bytes>("request");
        QTest::addColumn<int>("sends");
        QTest::addColumn<QString>("answers");  // W: the write failed
        QTest::addColumn<int>("lateMs");       // the first answer comes no earlier
        sim::Faults none, f;
        const Bytes realTime = protocol::buildRealTimeRequest(0xFF), readBack = protocol::buildReadBackRequest(1, 3);
        QTest::newRow("none") << none << readBack << 1 << "sss" << 0;
        (f = none).corruptRecord = 2;
        QTest::newRow("corrupt record 2") << f << readBack << 1 << "sxs" << 0;
        (f = none).dropAfterRequests = 2;
        QTest::newRow("drop after 2") << f << realTime << 3 << "rrW" << 0;
        (f = none).answerDelayMs = 150;
        QTest::newRow("delay 150 ms") << f << realTime << 1 << "r" << 150;
    }

    void faultsAsTheLinkSeesThem()
    {
        QFETCH(sim::Faults, faults);
        QFETCH(Bytes, request);
        QFETCH(int, sends);
        QFETCH(QString, answers);
        QFETCH(int, lateMs);
        sim::InstrumentOptions options;
        options.storedRecords = 3;
        options.faults = faults;
        Connected c(options);
        QString seen;
        const auto start = Clock::now();
        for (int i = 0; i < sends; ++i) {
            if (!c.write(request)) {
                seen += 'W';
                continue;
            }
            for (int number = 1; number == 1 || c.transport.queuedAnswers() > 0; ++number)
                seen += kindOf(c.read(lateMs + 100), number);
            QVERIFY(i > 0 || msSince(start) >= lateMs);
        }
        QCOMPARE(seen, answers);
        QCOMPARE(c.transport.connectionDropped(), answers.endsWith('W'));
    }

    void serverServesClientsOneAfterAnotherAndStops()
    {
        auto instrument = std::make_shared<sim::Instrument>();
        auto server = std::make_unique<sim::SimServer>(instrument, QFile::encodeName(path_).toStdString());
        std::string error;
        QVERIFY(server->listen(&error));
        sim::SimServer second(instrument, QFile::encodeName(path_).toStdString());
        QVERIFY(!second.listen(&error));  // a live server's socket is left alone
        std::thread serving([&server] { server->serve(); });
        for (int client = 0; client < 2; ++client) {
            const int fd = connectTo(path_);
            const Bytes r = roundTrip(fd, protocol::buildRealTimeRequest(0xFF));
            QVERIFY(protocol::isRealTimeRecord(r.data(), r.size()) && protocol::recordChecksumValid(r.data(), 63));
            QVERIFY(roundTrip(fd, protocol::wakeUpBytes(), 100).empty());  // no answer, one message
            QCOMPARE(kindOf(roundTrip(fd, protocol::buildKeyLockRequest()), 0), 'A');
            if (client == 1) {
                server->stop();  // a client still connected does not hold up the stop
                serving.join();
            }
            ::close(fd);
        }
        QCOMPARE(instrument->wakeUpCount(), 2);
        server.reset();
        QVERIFY(!QFile::exists(path_));
    }

    // Under umask 000 the socket is the user's alone, and so is the socket
    // folder the program makes in the runtime folder.
    void programKeepsItsSocketPrivate_data()
    {
        QTest::addColumn<bool>("defaultPath");
        QTest::newRow("socket path given") << false;
        QTest::newRow("default path in a folder it makes") << true;
    }

    void programKeepsItsSocketPrivate()
    {
        QFETCH(bool, defaultPath);
        QTemporaryDir runtime;  // 0700, as a runtime folder must be
        const QString folder = runtime.filePath(QStringLiteral("resistance-tester"));
        const QString socket = defaultPath ? folder + QStringLiteral("/private.sock") : path_;
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        program.setProcessEnvironment(environment);
        const QStringList where = defaultPath ? QStringList{QStringLiteral("--name"), QStringLiteral("private")}
                                              : QStringList{QStringLiteral("--socket"), path_};
        program.start(QStringLiteral("/bin/sh"),
                      QStringList{QStringLiteral("-c"), QStringLiteral("umask 000; exec \"$0\" \"$@\""),
                                  QStringLiteral(SIM_PROGRAM)} + where);
        int fd = -1;
        for (int wait = 0; (fd = connectTo(socket)) < 0 && wait < 500; ++wait)
            QTest::qWait(10);
        ::close(fd);
        const auto mode = [](const QString& path) {
            struct stat info {};
            return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
        };
        const int socketMode = mode(socket);
        const int folderMode = mode(folder);
        program.terminate();
        QVERIFY(program.waitForFinished(5000));
        QVERIFY(fd >= 0);
        QCOMPARE(socketMode, 0600);
        if (defaultPath)
            QCOMPARE(folderMode, 0700);
    }

    // The program's stored records and the whole link over its socket: test_link_socket.
    void programDropsAsToldAndEndsOnSigterm()
    {
        QProcess program;
        program.start(QStringLiteral(SIM_PROGRAM), {QStringLiteral("--socket"), path_, QStringLiteral("--drop-after"),
                                                    QStringLiteral("1")});
        for (int client = 0; client < 2; ++client) {  // each dropped after one request, the next served again
            int fd = -1;  // the socket file appears before the program listens on it
            for (int wait = 0; (fd = connectTo(path_)) < 0 && wait < 500; ++wait)
                QTest::qWait(10);
            QCOMPARE(kindOf(roundTrip(fd, protocol::buildKeyLockRequest()), 0), 'A');
            QVERIFY(roundTrip(fd, protocol::buildKeyLockRequest()).empty());
            ::close(fd);
        }
        program.terminate();  // SIGTERM
        QVERIFY(program.waitForFinished(5000));
        QCOMPARE(std::make_pair(program.exitStatus(), program.exitCode()), std::make_pair(QProcess::NormalExit, 0));
        QVERIFY(!QFile::exists(path_));
    }
};

QTEST_GUILESS_MAIN(TestSimTransport)
#include "test_sim_transport.moc"
