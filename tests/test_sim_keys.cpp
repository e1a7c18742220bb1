// The simulated instrument's keys typed as lines: what each does to the
// instrument, what it answers when the key does nothing, and the simulator
// program taking them on its standard input while it serves.

#include "sim/instrument.h"
#include "sim/keycommands.h"
#include "link/protocol.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

struct Step {
    const char* line;
    const char* replyStart;
};

}  // namespace

Q_DECLARE_METATYPE(std::vector<Step>)

class TestSimKeys : public QObject {
    Q_OBJECT

private slots:
    void linesPressKeys_data()
    {
        QTest::addColumn<std::vector<Step>>("steps");
        QTest::addColumn<int>("phase");
        QTest::addColumn<int>("screen");
        using P = sim::Phase;
        using S = sim::Screen;
        QTest::newRow("start on the DC screen") << std::vector<Step>{{"start", "test started"}} << int(P::Charging)
                                                << int(S::DcTest);
        QTest::newRow("start twice") << std::vector<Step>{{"start", "test started"}, {"start", "start refused: a test"}}
                                     << int(P::Charging) << int(S::DcTest);
        QTest::newRow("stop ends the test")
            << std::vector<Step>{{"start", "test started"}, {"stop", "test stopped"}} << int(P::Discharging)
            << int(S::DcTest);
        QTest::newRow("length screen, blanks around the words")
            << std::vector<Step>{{"  screen   length ", "screen length"}, {"start", "test started"}}
            << int(P::Charging) << int(S::LengthTest);
        QTest::newRow("no test from a menu")
            << std::vector<Step>{{"screen menu", "screen menu"}, {"start", "start refused: a menu"}} << int(P::Idle)
            << int(S::Other);
        // The DC screen starts on a range above 400 mA.
        QTest::newRow("empty battery refuses the range")
            << std::vector<Step>{{"battery empty", "battery nearly"}, {"start", "start refused: the battery"}}
            << int(P::Idle) << int(S::DcTest);
        QTest::newRow("unknown line") << std::vector<Step>{{"begin", "unknown command \"begin\""}} << int(P::Idle)
                                      << int(S::DcTest);
    }
    void linesPressKeys()
    {
        QFETCH(std::vector<Step>, steps);
        auto clock = std::make_shared<sim::ManualClock>();
        sim::Instrument instrument({}, clock);
        for (const Step& step : steps) {
            const std::string reply = sim::runKeyCommand(instrument, step.line);
            QVERIFY2(reply.rfind(step.replyStart, 0) == 0, reply.c_str());
        }
        QTEST(int(instrument.phase()), "phase");
        QTEST(int(instrument.screen()), "screen");
    }

    void keysLockedByThePcDoNothing()
    {
        auto clock = std::make_shared<sim::ManualClock>();
        sim::Instrument instrument({}, clock);
        instrument.handle(protocol::buildKeyLockRequest());
        QVERIFY(sim::runKeyCommand(instrument, "start").rfind("start refused: the keys are locked", 0) == 0);
        QCOMPARE(instrument.phase(), sim::Phase::Idle);
    }

    void helpListsEveryCommand()
    {
        auto clock = std::make_shared<sim::ManualClock>();
        sim::Instrument instrument({}, clock);
        const QString help = QString::fromStdString(sim::runKeyCommand(instrument, "help"));
        for (const char* command : {"start", "stop", "screen dc", "screen length", "screen menu", "danger on",
                                    "danger off", "battery low", "state"})
            QVERIFY2(help.contains(QLatin1String(command)), command);
    }

    // The program reads its keys while it serves; the end of its input does not end it.
    void programTakesKeysOnItsInput()
    {
        QTemporaryDir folder;
        QProcess simulator;
        simulator.start(QStringLiteral(SIM_PROGRAM), {"--socket", folder.filePath("sim.sock")});
        QVERIFY(simulator.waitForStarted());
        QByteArray messages;
        QTRY_VERIFY_WITH_TIMEOUT((messages += simulator.readAllStandardError()).contains("listening on"), 10000);
        simulator.write("state\nstart\n\nstate\n");
        simulator.closeWriteChannel();
        QByteArray replies;
        QTRY_VERIFY_WITH_TIMEOUT((replies += simulator.readAllStandardOutput()).count('\n') >= 3, 10000);
        QCOMPARE(replies.split('\n').mid(0, 3),
                 (QList<QByteArray>{"screen dc, waiting", "test started", "screen dc, charging"}));
        QCOMPARE(simulator.state(), QProcess::Running);
        simulator.terminate();
        QVERIFY(simulator.waitForFinished(10000));
        QCOMPARE(simulator.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSimKeys)
#include "test_sim_keys.moc"
