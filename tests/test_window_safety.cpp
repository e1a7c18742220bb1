// The window's care for the operator and the results: a link lost during a
// test warns that the winding may still hold energy, a vanished instrument is
// noticed on every page without asking it for anything, and each row of an
// automatic series keeps whether its reading had settled, across a restart.

#include "analysis/quantities.h"
#include "app/settledmark.h"
#include "store/settingsfiles.h"
#include "testsupport/windowrig.h"

#include <QSqlDatabase>
#include <QSqlQuery>

using namespace windowtest;

namespace {

const char kDcTable[] = "tableView_resTest";
constexpr int kMeasuredColumn = 13;
constexpr double kSampleOhms = 0.012345;
const QString kLostDuringTest = QStringLiteral(
    "测试中断：与仪器的连接已断开。绕组可能仍储有能量，请等待仪器放电完成后再拆除测试线。");

void unplug(Rig& rig)
{
    sim::Faults faults = rig.instrument().faults();
    faults.unplugged = true;
    rig.instrument().setFaults(faults);
}

template <class Setting, class Value> void keepSetting(const char* file, const Setting& setting, Value value)
{
    const auto settings = settingsfiles::open(QLatin1String(file));
    settingsfiles::write(*settings, setting, value);
}

// A results store as the program before the settled flag left it (schema 2),
// holding one DC row.
bool writeSchemaTwoStore(const QString& path)
{
    store::ResultStore::removeFiles(path);
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("older"));
        db.setDatabaseName(path);
        ok = db.open();
        QSqlQuery query(db);
        for (const char* statement :
             {"CREATE TABLE sessions (id INTEGER PRIMARY KEY, kind INTEGER NOT NULL, started INTEGER NOT NULL,"
              " closed INTEGER)",
              "CREATE TABLE rows (id INTEGER PRIMARY KEY, session INTEGER NOT NULL REFERENCES sessions(id))",
              "CREATE TABLE cells (row INTEGER NOT NULL, col INTEGER NOT NULL, text TEXT NOT NULL,"
              " PRIMARY KEY (row, col)) WITHOUT ROWID",
              "CREATE TABLE traces (row INTEGER PRIMARY KEY, points BLOB NOT NULL)",
              "INSERT INTO sessions (id, kind, started) VALUES (1, 0, 0)", "INSERT INTO rows (id, session) VALUES (1, 1)",
              "INSERT INTO cells (row, col, text) VALUES (1, 0, '1'), (1, 1, 'kept before')",
              "PRAGMA user_version = 2"})
            ok = ok && query.exec(QLatin1String(statement));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("older"));
    return ok;
}

}  // namespace

class TestWindowSafety : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(initWindowTestsInOwnHome()); }

    // Only a link lost while a test runs warns about the stored energy; either
    // way the window ends up disconnected.
    void lostLinkWarnsDuringATest_data()
    {
        QTest::addColumn<bool>("testing");
        QTest::newRow("during a test") << true;
        QTest::newRow("no test running") << false;
    }
    void lostLinkWarnsDuringATest()
    {
        QFETCH(bool, testing);
        Rig rig;
        QVERIFY(rig.connect());
        if (testing) {
            emit rig.window->startTestingSignal(false);
            QVERIFY(rig.waitForPhase(sim::Phase::Charging));
            rig.clock->advanceMs(10'000);
            QTRY_COMPARE_WITH_TIMEOUT(rig.text("label_testStatus"), QStringLiteral("测试中..."), kWait);
        }
        unplug(rig);
        QVERIFY(rig.waitForConnectText(disconnectedText()));
        QCOMPARE(rig.boxTexts, testing ? QStringList{kLostDuringTest} : QStringList());
        QVERIFY(!rig.pollingTimerActive());
    }

    // The stored-data page does not poll: the link's watch finds the instrument
    // gone within 2 s, and asks it for nothing meanwhile.
    void storedPageNoticesAVanishedInstrument()
    {
        Rig rig;
        rig.instrument().setStoredRecordCount(3);
        QVERIFY(rig.connect());
        QVERIFY(rig.importAndWait());
        QCOMPARE(rig.get<QStackedWidget>("stackedWidget")->currentIndex(), 2);
        QVERIFY(!rig.pollingTimerActive());
        QCOMPARE(rig.action("actionConnect")->text(), connectedText());
        const std::size_t requests = rig.instrument().requestCount();

        unplug(rig);
        QTRY_COMPARE_WITH_TIMEOUT(rig.action("actionConnect")->text(), disconnectedText(), 2000);
        QCOMPARE(rig.instrument().requestCount(), requests);
        QVERIFY(rig.boxTexts.isEmpty());
        QCOMPARE(tableModel(rig, "tableView")->rowCount(), 3);  // the imported records stay
    }

    // A store an older program wrote opens in the window: its row shows
    // without a mark (not known), a new row gets one.
    void olderStoreShowsItsRowsWithoutAMark()
    {
        Rig rig;
        bool written = false;
        rig.reopenWindow([&] { written = writeSchemaTwoStore(store::ResultStore::defaultPath()); });
        QVERIFY(written);
        auto* rows = rig.model(kDcTable);
        QCOMPARE(rows->rowCount(), 1);
        QCOMPARE(rows->index(0, 1).data().toString(), QStringLiteral("kept before"));
        QVERIFY(!rows->index(0, 0).data(kSettledRole).isValid());
        QVERIFY(rows->index(0, 0).data(Qt::ToolTipRole).toString().isEmpty());
        QVERIFY(rig.connect());
        QVERIFY(rig.runTest(false));
        QVERIFY(rows->index(1, 0).data(kSettledRole).isValid());
    }

    // An inductive sample (a winding, time constant 4 s) in a series of two:
    // stopped once stable, each row is marked settled and its value lies within
    // 1 % of the sample; the fixed stop ends the tests while the reading still
    // falls, and the rows say so. The marks come back after a restart.
    void seriesRowsKeepWhetherTheyHadSettled_data()
    {
        QTest::addColumn<bool>("stopWhenSettled");
        QTest::newRow("stopped once stable") << true;
        QTest::newRow("fixed stop") << false;
    }
    void seriesRowsKeepWhetherTheyHadSettled()
    {
        QFETCH(bool, stopWhenSettled);
        keepSetting(settingsfiles::autotest::kFile, settingsfiles::autotest::kStopWhenSettled, stopWhenSettled);
        keepSetting(settingsfiles::insight::kFile, settingsfiles::insight::kStabilityThreshold, 0.1);
        keepSetting(settingsfiles::autotest::kFile, settingsfiles::autotest::kLongestWaitSeconds, 600);
        // A reading every 200 ms, each a second later on the instrument's clock;
        // a second of the series (its pause, its longest wait) lasts 100 ms.
        Rig rig(1, WindowTiming{5, 200, 5, 100});
        rig.instrument().setInductiveSeconds(4.0);
        QVERIFY(rig.connect());
        rig.window->startAutoTestSlot(2, 10000);
        auto* rows = rig.model(kDcTable);
        for (int step = 0; step < 400 && rows->rowCount() < 2; ++step) {
            rig.clock->advanceMs(1000);
            QVERIFY(rig.waitForPolls(1));
        }
        QCOMPARE(rows->rowCount(), 2);

        rig.reopenWindow();
        rows = rig.model(kDcTable);
        QCOMPARE(rows->rowCount(), 2);
        for (int row = 0; row < 2; ++row) {
            const QModelIndex first = rows->index(row, 0);
            QCOMPARE(first.data(kSettledRole), QVariant(stopWhenSettled));
            QVERIFY(!first.data(Qt::DecorationRole).value<QIcon>().isNull());
            QVERIFY(first.data(Qt::ToolTipRole).toString().startsWith(
                stopWhenSettled ? QStringLiteral("读数已稳定") : QStringLiteral("读数未稳定")));
            const auto measured = analysis::parseResistance(rows->index(row, kMeasuredColumn).data().toString());
            QVERIFY(measured);
            const double deviation = std::abs(measured->ohms / kSampleOhms - 1.0);
            QVERIFY2(stopWhenSettled ? deviation < 0.01 : deviation > 0.01, qPrintable(QString::number(deviation)));
        }
    }
};

QTEST_MAIN(TestWindowSafety)
#include "test_window_safety.moc"
