// The in-process simulator transport: device handling, one answer per read,
// bounded waits, cancelling from another thread and the link faults.

#include "protocol.h"
#include "simtransport.h"

#include <QtTest>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

using protocol::Bytes;
using sim::SimulatorTransport;
using transport::WaitResult;

namespace {

using Clock = std::chrono::steady_clock;

long long msSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

struct Connected {
    std::shared_ptr<sim::Instrument> instrument;
    std::unique_ptr<SimulatorTransport> transport;

    explicit Connected(sim::InstrumentOptions options = {})
        : instrument(std::make_shared<sim::Instrument>(options)),
          transport(std::make_unique<SimulatorTransport>(instrument))
    {
        transport->openDevice("sim:0");
        transport->bindInterface();
    }

    bool write(const Bytes& request)
    {
        Bytes copy = request;
        transport::Transfer* t = transport->startTransfer(SimulatorTransport::kBulkOut, copy.data(),
                                                          static_cast<std::uint32_t>(copy.size()));
        if (!t)
            return false;
        const bool ok = transport->waitTransfer(t, 100) == WaitResult::Completed && transport->transferResult(t, nullptr);
        transport->finishTransfer(t);
        return ok;
    }

    // One read; empty when it did not complete successfully.
    Bytes read(std::uint32_t timeoutMs, WaitResult* result = nullptr)
    {
        std::uint8_t buffer[protocol::kReadLength];
        transport::Transfer* t = transport->startTransfer(SimulatorTransport::kBulkIn, buffer, sizeof buffer);
        if (!t)
            return {};
        const WaitResult r = transport->waitTransfer(t, timeoutMs);
        if (result)
            *result = r;
        std::uint32_t size = 0;
        const bool ok = r == WaitResult::Completed && transport->transferResult(t, &size);
        if (r != WaitResult::Completed)
            transport->cancelTransfer(t);
        transport->finishTransfer(t);
        return ok ? Bytes(buffer, buffer + size) : Bytes();
    }
};

}  // namespace

class TestSimTransport : public QObject {
    Q_OBJECT

private slots:
    void listsAndOpensItsInstruments();
    void openAndBindFailuresOnRequest();
    void interfaceHasOneBulkPipeEachWay();
    void oneAnswerPerRead();
    void readWithNothingQueuedTimesOut();
    void cancelFromAnotherThreadEndsTheWait();
    void delayedAnswerArrivesLate();
    void silentInstrumentLeavesReadsToTimeOut();
    void dropFailsEveryLaterTransfer();
    void flushDiscardsArrivedAnswers();
    void transfersFromTwoThreads();
};

void TestSimTransport::listsAndOpensItsInstruments()
{
    SimulatorTransport transport({std::make_shared<sim::Instrument>(), std::make_shared<sim::Instrument>()});
    QCOMPARE(transport.devicePaths(), (std::vector<std::string>{"sim:0", "sim:1"}));
    QVERIFY(transport.handles("sim:1"));
    QVERIFY(!transport.handles("/dev/bus/usb/001/002"));
    for (const char* bad : {"sim:2", "sim:", "sim:x", "sim:-1", "usb:0"})
        QVERIFY2(!transport.openDevice(bad), bad);
    QVERIFY(transport.openDevice("sim:1"));
    QVERIFY(!transport.openDevice("sim:0"));  // one device at a time
    QVERIFY(transport.closeDevice());
    QVERIFY(!transport.closeDevice());
    QVERIFY(transport.openDevice("sim:0"));
}

void TestSimTransport::openAndBindFailuresOnRequest()
{
    auto instrument = std::make_shared<sim::Instrument>();
    sim::SimTransportOptions options;
    options.failOpen = true;
    SimulatorTransport transport(instrument, options);
    QVERIFY(!transport.openDevice("sim:0"));
    options.failOpen = false;
    options.failBind = true;
    transport.setOptions(options);
    QVERIFY(transport.openDevice("sim:0"));
    QVERIFY(!transport.bindInterface());
    std::uint8_t byte = 0;
    QVERIFY(transport.startTransfer(SimulatorTransport::kBulkIn, &byte, 1) == nullptr);
    QCOMPARE(transport.lastError(), SimulatorTransport::kErrorNotOpen);
}

void TestSimTransport::interfaceHasOneBulkPipeEachWay()
{
    Connected c;
    int count = -1;
    QVERIFY(c.transport->queryEndpointCount(&count));
    QCOMPARE(count, 2);
    transport::PipeInfo in, out;
    QVERIFY(c.transport->queryPipe(0, &in));
    QVERIFY(c.transport->queryPipe(1, &out));
    QCOMPARE(in.type, transport::PipeType::Bulk);
    QCOMPARE(in.id, std::uint8_t(0x81));
    QCOMPARE(out.type, transport::PipeType::Bulk);
    QCOMPARE(out.id, std::uint8_t(0x01));
    QVERIFY(!c.transport->queryPipe(2, &in));

    sim::SimTransportOptions none;
    none.zeroEndpoints = true;
    c.transport->setOptions(none);
    QVERIFY(c.transport->queryEndpointCount(&count));
    QCOMPARE(count, 0);
    QVERIFY(!c.transport->queryPipe(0, &in));
}

void TestSimTransport::oneAnswerPerRead()
{
    sim::InstrumentOptions options;
    options.storedRecords = 3;
    Connected c(options);
    QVERIFY(c.write(protocol::buildReadBackRequest(1, 3)));
    QCOMPARE(c.transport->queuedAnswers(), std::size_t(3));
    for (int number = 1; number <= 3; ++number) {
        const Bytes r = c.read(100);
        QVERIFY(protocol::isStoredRecord(r.data(), r.size()));
        QCOMPARE(protocol::storedRecordNumber(r.data()), number);
    }
    QVERIFY(c.write(protocol::buildRealTimeRequest(0xFF)));
    const Bytes r = c.read(100);
    QVERIFY(protocol::isRealTimeRecord(r.data(), r.size()));
    QCOMPARE(c.instrument->requestLog().back(), protocol::buildRealTimeRequest(0xFF));
}

void TestSimTransport::readWithNothingQueuedTimesOut()
{
    Connected c;
    WaitResult result = WaitResult::Completed;
    const auto start = Clock::now();
    QVERIFY(c.read(120, &result).empty());
    const long long elapsed = msSince(start);
    QCOMPARE(result, WaitResult::TimedOut);
    QVERIFY2(elapsed >= 115 && elapsed < 1000, qPrintable(QString::number(elapsed)));
    // The next read starts clean.
    QVERIFY(c.write(protocol::buildKeyLockRequest()));
    const Bytes ack = c.read(100);
    QVERIFY(protocol::acknowledgeAccepts(ack.data(), ack.size()));
}

void TestSimTransport::cancelFromAnotherThreadEndsTheWait()
{
    Connected c;
    std::uint8_t buffer[protocol::kReadLength];
    transport::Transfer* t = c.transport->startTransfer(SimulatorTransport::kBulkIn, buffer, sizeof buffer);
    QVERIFY(t);
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        c.transport->cancelTransfer(t);
    });
    const auto start = Clock::now();
    const WaitResult result = c.transport->waitTransfer(t, 5000);
    const long long elapsed = msSince(start);
    canceller.join();
    QCOMPARE(result, WaitResult::Completed);
    QVERIFY2(elapsed < 2000, qPrintable(QString::number(elapsed)));
    std::uint32_t size = 0;
    QVERIFY(!c.transport->transferResult(t, &size));
    QCOMPARE(c.transport->lastError(), SimulatorTransport::kErrorCancelled);
    c.transport->finishTransfer(t);
    // A cancelled read takes no answer: the next one gets it.
    QVERIFY(c.write(protocol::buildRealTimeRequest(0x00)));
    QCOMPARE(int(c.read(100).size()), 63);
}

void TestSimTransport::delayedAnswerArrivesLate()
{
    sim::InstrumentOptions options;
    options.faults.answerDelayMs = 150;
    Connected c(options);
    QVERIFY(c.write(protocol::buildRealTimeRequest(0xFF)));
    WaitResult result = WaitResult::Completed;
    QVERIFY(c.read(40, &result).empty());
    QCOMPARE(result, WaitResult::TimedOut);
    const Bytes r = c.read(1000, &result);
    QCOMPARE(result, WaitResult::Completed);
    QCOMPARE(int(r.size()), 63);
}

void TestSimTransport::silentInstrumentLeavesReadsToTimeOut()
{
    sim::InstrumentOptions options;
    options.faults.silent = true;
    Connected c(options);
    QVERIFY(c.write(protocol::buildStartTestRequest(false)));  // the write itself goes through
    WaitResult result = WaitResult::Completed;
    QVERIFY(c.read(30, &result).empty());
    QCOMPARE(result, WaitResult::TimedOut);
}

void TestSimTransport::dropFailsEveryLaterTransfer()
{
    sim::InstrumentOptions options;
    options.faults.dropAfterRequests = 2;
    Connected c(options);
    QVERIFY(c.write(protocol::buildRealTimeRequest(0xFF)));
    QCOMPARE(int(c.read(100).size()), 63);
    QVERIFY(c.write(protocol::buildRealTimeRequest(0xFF)));

    // A read waiting in another thread fails when the connection goes.
    std::uint8_t buffer[protocol::kReadLength];
    QCOMPARE(int(c.read(100).size()), 63);
    transport::Transfer* pending = c.transport->startTransfer(SimulatorTransport::kBulkIn, buffer, sizeof buffer);
    QVERIFY(pending);
    std::atomic<bool> waited{false};
    WaitResult pendingResult = WaitResult::TimedOut;
    std::thread reader([&] {
        pendingResult = c.transport->waitTransfer(pending, 5000);
        waited = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    QVERIFY(!c.write(protocol::buildRealTimeRequest(0xFF)));
    reader.join();
    QVERIFY(waited);
    QCOMPARE(pendingResult, WaitResult::Completed);
    QVERIFY(!c.transport->transferResult(pending, nullptr));
    c.transport->finishTransfer(pending);

    QVERIFY(c.transport->connectionDropped());
    QVERIFY(c.read(10).empty());
    QCOMPARE(c.transport->lastError(), SimulatorTransport::kErrorNoDevice);
    QVERIFY(!c.transport->flushPipe(SimulatorTransport::kBulkIn));
    const Bytes wake = protocol::wakeUpBytes();
    QVERIFY(!c.transport->writeSync(SimulatorTransport::kBulkOut, wake.data(), 5, 100));
    QCOMPARE(c.instrument->requestCount(), std::size_t(2));  // nothing reached the instrument

    // Gone until plugged in again.
    QVERIFY(c.transport->devicePaths().empty());
    c.transport->closeDevice();
    QVERIFY(!c.transport->openDevice("sim:0"));
    c.transport->restoreDevice(0);
    QVERIFY(c.transport->openDevice("sim:0"));
    QVERIFY(c.transport->bindInterface());
    QVERIFY(c.write(protocol::buildRealTimeRequest(0xFF)));
}

void TestSimTransport::flushDiscardsArrivedAnswers()
{
    sim::InstrumentOptions options;
    options.storedRecords = 5;
    Connected c(options);
    QVERIFY(c.write(protocol::buildReadBackRequest(1, 5)));
    QVERIFY(c.transport->flushPipe(SimulatorTransport::kBulkIn));
    QCOMPARE(c.transport->queuedAnswers(), std::size_t(0));
    QVERIFY(c.read(20).empty());
}

void TestSimTransport::transfersFromTwoThreads()
{
    Connected c;
    constexpr int kRounds = 200;
    std::atomic<int> records{0};
    std::thread poller([&] {
        for (int i = 0; i < kRounds; ++i) {
            if (c.write(protocol::buildRealTimeRequest(0xFF)) && c.read(1000).size() == protocol::kRecordSize)
                ++records;
        }
    });
    const Bytes close = protocol::buildUpperCloseRequest();
    int writes = 0;
    for (int i = 0; i < kRounds; ++i)
        writes += c.transport->writeSync(SimulatorTransport::kBulkOut, close.data(), 8, 100) ? 1 : 0;
    poller.join();
    QCOMPARE(records.load(), kRounds);
    QCOMPARE(writes, kRounds);
    QCOMPARE(c.instrument->requestCount(), std::size_t(2 * kRounds));
}

QTEST_GUILESS_MAIN(TestSimTransport)
#include "test_sim_transport.moc"
