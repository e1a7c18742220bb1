// The link session without the window: polls reach the instrument only while
// polling runs, the instrument is let go in order, and the session ends its
// threads however much work is still queued to them.

#include "app/linksession.h"
#include "data/receivethread.h"
#include "link/winusbmanager.h"
#include "resources/programresources.h"
#include "sim/instrument.h"
#include "sim/simtransport.h"

#include <QTimer>
#include <QtTest>

namespace {

constexpr int kWait = 5000;

struct Session {
    std::shared_ptr<sim::Instrument> instrument = std::make_shared<sim::Instrument>();
    QTimer pollTimer;
    LinkSession session{new WinUSBManager(std::make_unique<sim::SimulatorTransport>(instrument), LinkTiming::scaled(0.01)),
                        &pollTimer, 5};

    bool connect()
    {
        QSignalSpy connected(session.manager(), &WinUSBManager::finishUsbDetection);
        session.startLinkThread();
        QMetaObject::invokeMethod(session.manager(), [this] {
            session.manager()->connectUsb("sim:0");
            session.manager()->changeReadType(2);  // the live reading
        });
        // The link's thread may have answered before the wait begins.
        return (!connected.isEmpty() || connected.wait(kWait)) && connected.first().first().toBool();
    }
};

}  // namespace

class TestLinkSession : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { registerProgramResources(); }

    void pollsRunOnlyWhilePolling()
    {
        Session s;
        QVERIFY(s.connect());
        QSignalSpy readings(s.session.decoder(), &ReceiveThread::finishReadRealTimeData);
        s.session.startPolling();
        QVERIFY(s.session.isPolling());
        QVERIFY(QTest::qWaitFor([&] { return readings.count() >= 3; }, kWait));

        s.session.stopPolling();
        QVERIFY(!s.session.isPolling());
        QTest::qWait(100);  // a poll queued before the stop may still run
        const std::size_t afterStop = s.instrument->requestCount();
        QTest::qWait(100);
        QCOMPARE(s.instrument->requestCount(), afterStop);

        s.session.setPollInterval(7);
        QCOMPARE(s.pollTimer.interval(), 7);
        QVERIFY(!s.session.isPolling());  // a new interval starts nothing
    }

    // Closing the window while polls and a release wait in the link's queue
    // must neither hang nor touch a deleted worker.
    void endsWithWorkQueued()
    {
        auto s = std::make_unique<Session>();
        QVERIFY(s->connect());
        s->session.startPolling();
        s->session.releaseInstrument();
        s.reset();
    }
};

QTEST_MAIN(TestLinkSession)
#include "test_linksession.moc"
