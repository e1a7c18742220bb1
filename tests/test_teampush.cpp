// The team pusher against a real PostgreSQL server in a temporary folder: the
// server's rights, the push of every kind of change, and the faults after
// which the server must hold exactly the local rows.

#include "store/outbox.h"
#include "store/resultstore.h"
#include "store/teampusher.h"
#include "store/teamserver.h"
#include "testsupport/socketproxy.h"
#include "testsupport/testpostgres.h"

#include <QtTest>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <memory>

using store::ResultStore;
using store::TableKind;
using store::TeamPusher;
using testsupport::TestPostgres;

namespace {

constexpr int kWait = 30000;

QStringList cells(int number)
{
    return {QString::number(number), QStringLiteral("1.234mΩ"), QStringLiteral("引号\"与\\反斜杠 %1 {,}"),
            QString()};
}

// Rows and sessions as "key → what it holds", the same text on both sides.
using Holdings = QMap<QString, QString>;

Holdings holdings(QSqlDatabase db, const QString& statement)
{
    Holdings found;
    QSqlQuery query(db);
    if (!query.exec(statement))
        qWarning() << query.lastError().text();
    while (query.next())
        found.insert(query.value(0).toString(), query.value(1).toString());
    return found;
}

const char* const kLocalRows =
    "SELECT rows.uuid, (SELECT group_concat(text, char(31)) FROM (SELECT text FROM cells WHERE row = rows.id"
    " ORDER BY col)) || '|' || COALESCE(settled, '') || '|' || COALESCE(lower(hex(traces.points)), '')"
    " || '|' || sessions.uuid FROM rows JOIN sessions ON sessions.id = rows.session"
    " LEFT JOIN traces ON traces.row = rows.id WHERE sessions.closed IS NULL OR sessions.closed <> 0";
const char* const kServerRows =
    "SELECT replace(uuid::text, '-', ''), array_to_string(cells, chr(31)) || '|' || COALESCE(settled::int::text, '')"
    " || '|' || COALESCE(encode(trace, 'hex'), '') || '|' || replace(session::text, '-', '')"
    " FROM team_results.live_rows";
const char* const kLocalSessions =
    "SELECT uuid, CASE WHEN closed IS NULL THEN 'open' ELSE 'closed' END || '|' || kind FROM sessions"
    " WHERE (closed IS NULL OR closed <> 0) AND EXISTS (SELECT 1 FROM rows WHERE rows.session = sessions.id)";
const char* const kServerSessions =
    "SELECT replace(uuid::text, '-', ''), CASE WHEN closed IS NULL THEN 'open' ELSE 'closed' END || '|' || kind"
    " FROM team_results.session_states WHERE row_count > 0";

}  // namespace

class TeamPushTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestPostgres> server;
    QTemporaryDir folder;
    int connections = 0;

    QString storePath() const { return folder.filePath(QStringLiteral("results.sqlite")); }

    // A connection of the test's own, as `service`.
    QSqlDatabase connectAs(const QString& service)
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("test-%1").arg(++connections));
        db.setConnectOptions(QStringLiteral("service=") + service);
        if (!db.open())
            qWarning() << db.lastError().text();
        return db;
    }

    QSqlDatabase local()
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("local-%1").arg(++connections));
        db.setDatabaseName(storePath());
        db.open();
        return db;
    }

    int count(QSqlDatabase db, const QString& statement)
    {
        QSqlQuery query(db);
        return query.exec(statement) && query.next() ? query.value(0).toInt() : -1;
    }

    // The server holds exactly what the local store keeps: each row with its
    // cells, settled flag, trace and session, each session open or closed.
    void compareWithServer()
    {
        QSqlDatabase admin = connectAs(TestPostgres::administrator());
        QSqlDatabase store = local();
        QCOMPARE(holdings(admin, QLatin1String(kServerRows)), holdings(store, QLatin1String(kLocalRows)));
        QCOMPARE(holdings(admin, QLatin1String(kServerSessions)), holdings(store, QLatin1String(kLocalSessions)));
    }

    // Starts a pusher and waits until the outbox is empty.
    bool pushAll(const QString& service, const store::PushTiming& timing = fastTiming())
    {
        TeamPusher pusher(storePath(), service, timing);
        QSignalSpy waiting(&pusher, &TeamPusher::waitingChanged);
        QSignalSpy problems(&pusher, &TeamPusher::problemChanged);
        pusher.start();
        if (QTest::qWaitFor([&] { return !waiting.isEmpty() && waiting.last().value(0).toInt() == 0; }, kWait))
            return true;
        qWarning() << "not pushed:" << problems;
        return false;
    }

    static store::PushTiming fastTiming()
    {
        store::PushTiming timing;
        timing.pollMs = 20;
        timing.firstRetryMs = 20;
        timing.maxRetryMs = 200;
        timing.connectTimeoutS = 5;
        return timing;
    }

    // Every kind of change: rows with traces and settled flags, an object
    // and its reference values, a deletion, a clear, an import, a reopen.
    void keepEveryKindOfChange(ResultStore& store, int firstNumber)
    {
        const qint64 object = store.objectId({0, QStringLiteral("主变 1"), QStringLiteral("S-7"), QString(), });
        store.setBaseline(object, {{0, QStringLiteral("03"), QStringLiteral("AB"), 1.2, 20.0, 0}});
        const qint64 first = store.appendRow(TableKind::DcResults, cells(firstNumber), QByteArray("\x00\x01\xff", 3),
                                             true, object);
        store.appendRow(TableKind::DcResults, cells(firstNumber + 1), {}, false, object);
        store.deleteRows({first});
        store.clearTable(TableKind::DcResults);
        const qint64 cleared = store.earlierSessions().value(0).id;
        store.appendRow(TableKind::LengthResults, cells(firstNumber + 2));
        const qint64 import = store.beginHiddenSession(TableKind::StoredRecords);
        store.appendRows(import, {cells(firstNumber + 3), cells(firstNumber + 4)});
        store.makeCurrent(import);
        store.reopenSession(cleared);
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(folder.isValid());
        server = std::make_unique<TestPostgres>();
        QVERIFY2(server->isRunning(), qPrintable(server->failure()));
        QVERIFY2(server->psqlFile(QStringLiteral(TEAM_SERVER_SQL)), qPrintable(server->lastError()));
    }

    void cleanupTestCase() { server.reset(); }

    void cleanup()
    {
        ResultStore::removeFiles(storePath());
        if (server->isRunning())
            server->psql(QStringLiteral("TRUNCATE team_results.objects, team_results.sessions, team_results.rows,"
                                        " team_results.session_events, team_results.row_deletions,"
                                        " team_results.baseline_sets, team_results.baseline_entries"));
    }

    // A change and its outbox entry are one transaction: a disk that fills
    // up mid-way leaves neither a row without its entry nor an entry without its row.
    void outboxHoldsExactlyTheKeptRows()
    {
        store::StoreOptions options;
        options.maxPageCount = 40;
        {
            ResultStore store(storePath(), options);
            const QString bulky(400, QLatin1Char('x'));
            for (int number = 0; store.isKeeping() && number < 10000; ++number)
                store.appendRow(TableKind::DcResults, cells(number) << bulky);
            QVERIFY(!store.isKeeping());
        }
        QSqlDatabase db = local();
        const int rows = count(db, QStringLiteral("SELECT count(*) FROM rows"));
        QVERIFY(rows > 0);
        QCOMPARE(count(db, QStringLiteral("SELECT count(*) FROM outbox JOIN rows ON rows.uuid = outbox.subject"
                                          " WHERE what = %1").arg(int(store::OutboxEntry::Row))),
                 rows);
        QCOMPARE(count(db, QStringLiteral("SELECT count(*) FROM outbox")), rows);
    }

    void schemaIsCreatedOnlyByALoginWithTheRight()
    {
        QVERIFY(server->psql(QStringLiteral("DROP SCHEMA team_results CASCADE")));
        const QString before = TeamPusher::testConnection(TestPostgres::firstOperator());
        QVERIFY2(before.contains(QStringLiteral("team-server.sql")), qPrintable(before));
        store::TeamServer smuggled(TestPostgres::administrator() + QStringLiteral(";host=elsewhere"), 5);
        QCOMPARE(smuggled.connect(true), store::TeamServer::State::Failed);  // refused before any connection
        store::TeamServer owner(TestPostgres::administrator(), 5);
        QVERIFY2(owner.connect(true) == store::TeamServer::State::Ready, qPrintable(owner.message()));
        QVERIFY(server->psqlFile(QStringLiteral(TEAM_SERVER_SQL)));  // the administrator's run, once more
        QString versions;
        QVERIFY(server->psql(QStringLiteral("SELECT count(*) FROM team_results.migrations"), &versions));
        QCOMPARE(versions, QStringLiteral("1"));
        const QString after = TeamPusher::testConnection(TestPostgres::firstOperator());
        QVERIFY2(after.contains(QStringLiteral("已连接")), qPrintable(after));
    }

    void operatorsReadTheTeamButChangeOnlyTheirOwn()
    {
        QVERIFY(server->psql(QStringLiteral("DO $$ BEGIN IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'viewer')"
                                            " THEN CREATE ROLE viewer LOGIN PASSWORD 'viewer-secret'"
                                            " IN ROLE tester_reporting; END IF; END $$")));
        server->addService(QStringLiteral("viewer"), QStringLiteral("viewer"), server->socketFolder());
        QSqlDatabase first = connectAs(TestPostgres::firstOperator());
        QSqlDatabase second = connectAs(TestPostgres::secondOperator());
        QSqlDatabase viewer = connectAs(QStringLiteral("viewer"));
        const QString session = QStringLiteral("'6f1c2d3e-0000-4000-8000-000000000001'");
        QSqlQuery insert(first);
        QVERIFY(insert.exec(QStringLiteral("INSERT INTO team_results.sessions (uuid, kind, started) VALUES (%1, 0, now())")
                                .arg(session)));
        QVERIFY(insert.exec(QStringLiteral("INSERT INTO team_results.rows (uuid, session, position, cells)"
                                           " VALUES (gen_random_uuid(), %1, 1, '{a}')").arg(session)));

        QSqlQuery other(second);
        QCOMPARE(count(second, QStringLiteral("SELECT count(*) FROM team_results.rows")), 1);
        QVERIFY(other.exec(QStringLiteral("DELETE FROM team_results.rows")));
        QCOMPARE(other.numRowsAffected(), 0);
        QVERIFY(!other.exec(QStringLiteral("UPDATE team_results.rows SET cells = '{b}'")));
        // Nobody writes in another's name.
        QVERIFY(!other.exec(QStringLiteral("INSERT INTO team_results.sessions (uuid, kind, started, operator)"
                                           " VALUES (gen_random_uuid(), 0, now(), '%1')")
                                .arg(TestPostgres::firstOperator())));
        QSqlQuery report(viewer);
        QCOMPARE(count(viewer, QStringLiteral("SELECT count(*) FROM team_results.live_rows")), 1);
        QVERIFY(!report.exec(QStringLiteral("INSERT INTO team_results.sessions (uuid, kind, started)"
                                            " VALUES (gen_random_uuid(), 0, now())")));
        QVERIFY(!report.exec(QStringLiteral("DELETE FROM team_results.rows")));
        QCOMPARE(count(first, QStringLiteral("SELECT count(*) FROM team_results.rows")), 1);
    }

    void everyChangeReachesTheServerOnce()
    {
        {
            ResultStore store(storePath());
            keepEveryKindOfChange(store, 1);
        }
        QVERIFY(pushAll(TestPostgres::firstOperator()));
        compareWithServer();
        QSqlDatabase admin = connectAs(TestPostgres::administrator());
        QCOMPARE(count(admin, QStringLiteral("SELECT count(*) FROM team_results.row_deletions")), 1);
        QCOMPARE(count(admin, QStringLiteral("SELECT count(*) FROM team_results.baseline_entries e JOIN"
                                             " team_results.objects o ON o.uuid = (SELECT object FROM"
                                             " team_results.baseline_sets WHERE uuid = e.baseline_set)"
                                             " WHERE o.name = '主变 1' AND e.ohms = 1.2")),
                 1);
        QCOMPARE(count(admin, QStringLiteral("SELECT count(DISTINCT operator) FROM team_results.sessions")), 1);

        // The same store on a second laptop, pushed by another operator, and
        // the whole history pushed again: one copy of everything.
        const Holdings before = holdings(admin, QLatin1String(kServerRows));
        QSqlQuery refill(local());
        QVERIFY(refill.exec(QStringLiteral("INSERT INTO outbox (what, subject, uuid, at)"
                                           " SELECT 2, uuid, " STORE_NEW_UUID ", 0 FROM sessions")));
        QVERIFY(pushAll(TestPostgres::secondOperator()));
        QVERIFY(refill.exec(QStringLiteral("INSERT INTO outbox (what, subject, uuid, at)"
                                           " SELECT 1, uuid, " STORE_NEW_UUID ", 0 FROM rows")));
        QVERIFY(pushAll(TestPostgres::firstOperator()));
        QCOMPARE(holdings(admin, QLatin1String(kServerRows)), before);
        // The row deleted before the first push never went: only the fact of its deletion did.
        QCOMPARE(count(admin, QStringLiteral("SELECT count(*) FROM team_results.rows")), before.size());
    }

    void migratedStoreIsPushedWhole()
    {
        {
            ResultStore store(storePath());
            keepEveryKindOfChange(store, 1);
        }
        // As version 4 left it: no UUIDs, no outbox.
        {
            QSqlDatabase db = local();
            QSqlQuery query(db);
            for (const char* statement :
                 {"DROP TABLE outbox", "DROP INDEX rows_by_uuid", "DROP INDEX sessions_by_uuid",
                  "DROP INDEX objects_by_uuid", "ALTER TABLE rows DROP COLUMN uuid", "ALTER TABLE sessions DROP COLUMN uuid",
                  "ALTER TABLE sessions DROP COLUMN instrument", "ALTER TABLE objects DROP COLUMN uuid",
                  "PRAGMA user_version = 4"})
                QVERIFY2(query.exec(QLatin1String(statement)), statement);
        }
        {
            ResultStore store(storePath());
            QVERIFY(store.isKeeping());
        }
        QVERIFY(pushAll(TestPostgres::firstOperator()));
        compareWithServer();
    }

    void faultsLoseNothing_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("server stopped mid-push") << "stop";
        QTest::newRow("connection cut") << "cut";
        QTest::newRow("slow server") << "slow";
    }
    void faultsLoseNothing()
    {
        QFETCH(QString, fault);
        const QString service = QStringLiteral("through-proxy");
        QTemporaryDir proxyFolder;
        testsupport::SocketProxy proxy(proxyFolder.filePath(QStringLiteral(".s.PGSQL.5432")), server->socketPath());
        QVERIFY(proxy.isListening());
        server->addService(service, TestPostgres::firstOperator(), proxyFolder.path());

        ResultStore store(storePath());
        for (int number = 0; number < 300; ++number)
            store.appendRow(TableKind::DcResults, cells(number), QByteArray(number % 7, 'x'), number % 2 == 0);
        store::PushTiming timing = fastTiming();
        timing.batchEntries = 20;
        TeamPusher pusher(storePath(), service, timing);
        QSignalSpy pushed(&pusher, &TeamPusher::pushed);
        QSignalSpy problems(&pusher, &TeamPusher::problemChanged);
        QSignalSpy waiting(&pusher, &TeamPusher::waitingChanged);
        if (fault == QLatin1String("slow"))
            proxy.setAnswerDelay(30);
        pusher.start();
        QVERIFY2(pushed.wait(kWait), qPrintable(problems.isEmpty() ? QString() : problems.last().value(0).toString()));

        if (fault == QLatin1String("stop")) {
            QVERIFY(server->stop());
        } else if (fault == QLatin1String("cut")) {
            proxy.cut();
        }
        if (fault != QLatin1String("slow")) {
            QTRY_VERIFY_WITH_TIMEOUT(!problems.isEmpty() && !problems.last().value(0).toString().isEmpty(), kWait);
            // Work goes on offline and waits.
            store.clearTable(TableKind::DcResults);
            store.appendRow(TableKind::DcResults, cells(1000));
            QVERIFY(server->isRunning() || server->start());
        }
        QTRY_VERIFY_WITH_TIMEOUT(!waiting.isEmpty() && waiting.last().value(0).toInt() == 0, kWait);
        QVERIFY(problems.isEmpty() || problems.last().value(0).toString().isEmpty());
        compareWithServer();
    }

    void newerServerStopsThePushAndKeepsEverything()
    {
        QVERIFY(server->psql(QStringLiteral("INSERT INTO team_results.migrations (version) VALUES (%1)")
                                 .arg(store::TeamServer::kSchemaVersion + 1)));
        ResultStore store(storePath());
        store.appendRow(TableKind::DcResults, cells(1));
        TeamPusher pusher(storePath(), TestPostgres::firstOperator(), fastTiming());
        QSignalSpy problems(&pusher, &TeamPusher::problemChanged);
        QSignalSpy retries(&pusher, &TeamPusher::retryScheduled);
        pusher.start();
        QVERIFY(problems.wait(kWait));
        QVERIFY(problems.last().value(0).toString().contains(QStringLiteral("更新程序")));
        QTRY_VERIFY_WITH_TIMEOUT(retries.size() >= 2, kWait);
        QCOMPARE(count(local(), QStringLiteral("SELECT count(*) FROM outbox")), 1);
        QCOMPARE(store.currentRows(TableKind::DcResults).size(), 1);

        QVERIFY(server->psql(QStringLiteral("DELETE FROM team_results.migrations WHERE version > 1")));
        QTRY_VERIFY_WITH_TIMEOUT(problems.last().value(0).toString().isEmpty(), kWait);
        compareWithServer();
    }

    void wrongPasswordBacksOffUpToTheLongestWait()
    {
        server->setWrongPassword(TestPostgres::firstOperator(), true);
        {
            ResultStore store(storePath());
            store.appendRow(TableKind::DcResults, cells(1));
        }
        store::PushTiming timing = fastTiming();
        timing.firstRetryMs = 10;
        timing.maxRetryMs = 80;
        TeamPusher pusher(storePath(), TestPostgres::firstOperator(), timing);
        QSignalSpy problems(&pusher, &TeamPusher::problemChanged);
        QSignalSpy retries(&pusher, &TeamPusher::retryScheduled);
        pusher.start();
        QTRY_VERIFY_WITH_TIMEOUT(retries.size() >= 6, kWait);
        pusher.stop();
        server->setWrongPassword(TestPostgres::firstOperator(), false);
        QList<int> waits;
        for (const QList<QVariant>& retry : retries.mid(0, 6))
            waits << retry.value(0).toInt();
        QCOMPARE(waits, (QList<int>{10, 20, 40, 80, 80, 80}));
        QCOMPARE(problems.size(), 1);  // said once, not at each attempt
        QVERIFY(problems.first().value(0).toString().contains(QStringLiteral(".pgpass")));
    }
};

QTEST_GUILESS_MAIN(TeamPushTest)
#include "test_teampush.moc"
