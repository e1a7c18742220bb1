// How the window waits on the link: never for longer than one transfer, polls
// that never pile up behind a slow instrument, and the commands sent meanwhile.

#include "testsupport/windowrig.h"

#include <QElapsedTimer>

using namespace windowtest;
using protocol::Bytes;

namespace {

LinkTiming shortWaits(std::uint32_t transferTimeoutMs, std::uint32_t pollPauseMs)
{
    LinkTiming timing;
    timing.transferTimeoutMs = transferTimeoutMs;
    timing.pollPauseMs = pollPauseMs;
    timing.retryPauseMs = timing.wakeUpPauseMs = timing.flushPauseMs = 2;
    return timing;
}

bool isRealTimeRequest(const Bytes& request)
{
    return request.size() > 4 && request[4] == std::uint8_t(protocol::Command::RealTime);
}

bool waitForRequest(const sim::Instrument& instrument, const Bytes& request, int timeoutMs)
{
    return QTest::qWaitFor([&] {
        const std::vector<Bytes> log = instrument.requestLog();
        return std::find(log.begin(), log.end(), request) != log.end();
    }, timeoutMs);
}

// Real-time requests the instrument took from index `from` of its log up to the first `until`.
int realTimeRequestsBefore(const sim::Instrument& instrument, std::size_t from, const Bytes& until)
{
    const std::vector<Bytes> log = instrument.requestLog();
    int polls = 0;
    for (std::size_t i = from; i < log.size() && log[i] != until; ++i)
        polls += isRealTimeRequest(log[i]) ? 1 : 0;
    return polls;
}

}  // namespace

class TestWindowLink : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initWindowTests(); }

    // The instrument stops answering while the stored count is read; leaving
    // the stored page then ends the import. The link keeps retrying for six
    // transfer time-outs, but the window is not held for even one of them.
    void leavingAnImportNeverWaitsForTheLink_data()
    {
        QTest::addColumn<QString>("leaveBy");
        QTest::newRow("page switch") << QStringLiteral("actionDc_resistance_test");
        QTest::newRow("disconnect") << QStringLiteral("actionConnect");
    }
    void leavingAnImportNeverWaitsForTheLink()
    {
        QFETCH(QString, leaveBy);
        constexpr std::uint32_t kTransferBoundMs = 1000;
        Rig rig(1, WindowTiming{5, 30, 5}, shortWaits(kTransferBoundMs, 2));
        rig.instruments[0]->setStoredRecordCount(10);
        QVERIFY(rig.connect());
        sim::Faults silent;
        silent.silent = true;
        rig.instruments[0]->setFaults(silent);
        rig.action("actionImport_storage")->trigger();
        QVERIFY(waitForRequest(*rig.instruments[0], protocol::buildStoredCountRequest(), kWait));
        QTest::qWait(50);  // its reads wait in vain

        QElapsedTimer held;
        held.start();
        rig.action(qPrintable(leaveBy))->trigger();
        QVERIFY2(held.elapsed() < kTransferBoundMs, qPrintable(QString::number(held.elapsed())));

        // The upper close and key unlock follow once the link is free again.
        rig.instruments[0]->setFaults({});
        QVERIFY(waitForRequest(*rig.instruments[0], protocol::buildKeyUnlockRequest(), 6 * kTransferBoundMs + kWait));
    }

    // A poll takes longer than the polling interval: the ticks in between
    // queue nothing, so a command chosen meanwhile waits for one poll at most
    // (the one running and the one queued reach the instrument before it).
    void ticksNeverPileUpBehindASlowPoll_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("import") << QStringLiteral("actionImport_storage");
        QTest::newRow("disconnect") << QStringLiteral("actionConnect");
    }
    void ticksNeverPileUpBehindASlowPoll()
    {
        QFETCH(QString, command);
        Rig rig(1, WindowTiming{5, 2, 5}, shortWaits(2000, 40));  // a tick every 2 ms, a poll 40+ ms
        rig.instruments[0]->setStoredRecordCount(3);
        QVERIFY(rig.connect());
        QVERIFY(rig.waitForPolls(15));  // time for hundreds of ticks

        const std::size_t before = rig.instruments[0]->requestCount();
        QElapsedTimer waited;
        waited.start();
        rig.action(qPrintable(command))->trigger();
        const bool importing = command == QLatin1String("actionImport_storage");
        const Bytes expected = importing ? protocol::buildStoredCountRequest() : Bytes();
        if (importing)
            QVERIFY(QTest::qWaitFor([&] { return rig.action("actionImport_storage")->isEnabled(); }, kWait));
        else
            QVERIFY(rig.waitForConnectText(disconnectedText()));
        QVERIFY(realTimeRequestsBefore(*rig.instruments[0], before, expected) <= 2);
        QVERIFY2(waited.elapsed() < kWait / 2, qPrintable(QString::number(waited.elapsed())));
    }
};

QTEST_MAIN(TestWindowLink)
#include "test_window_link.moc"
