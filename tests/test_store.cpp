// The results store on its own: what comes back after a reopen, sessions and
// the history, databases it must not use and a disk that fills up. A process
// killed right after it kept a row: see test_window_store.
//
// The same executable is also the child process of the read-only test (see
// main at the end).

#include "store/resultstore.h"

#include <QtTest>

#include <QSqlDatabase>
#include <QSqlQuery>

#include <unistd.h>

using store::ResultStore;
using store::Row;
using store::TableKind;

Q_DECLARE_METATYPE(TableKind)
Q_DECLARE_METATYPE(store::Problem)

namespace {

const char* const kChildModeVariable = "RESULTSTORE_TEST_CHILD";
constexpr int kWait = 10000;

QStringList dcRow(const QString& number, const QString& remark = QString())
{
    return {number, QStringLiteral("2026-12-06 08:15:0") + number, QStringLiteral(" "), QStringLiteral("铜"),
            QStringLiteral("+20.5℃"), QStringLiteral("75℃"), QStringLiteral("21.3℃"), QStringLiteral("03"),
            QStringLiteral("AB"), QStringLiteral("高压"), QStringLiteral("10A"), QStringLiteral("10.00A"),
            QStringLiteral("1.234mΩ"), QStringLiteral(">20.00kΩ"), remark};
}

QList<QStringList> cellsOf(const QList<Row>& rows)
{
    QList<QStringList> cells;
    for (const Row& row : rows)
        cells << row.cells;
    return cells;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs the statements on the database file through a connection of its own:
// the first value the last one gives, invalid when any of them fails.
QVariant sql(const QString& path, const QStringList& statements)
{
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("test"));
        db.setDatabaseName(path);
        QSqlQuery query(db);
        bool ok = db.open();
        for (const QString& statement : statements)
            ok = ok && query.exec(statement);
        if (ok && query.next())
            value = query.value(0);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("test"));
    return value;
}

// A database of the given number of result rows whose last page, a page of
// rows, is overwritten: its first page still reads well.
void damageLastPage(const QString& path, int rows)
{
    {
        ResultStore store(path);
        for (int i = 1; i <= rows; ++i)
            store.appendRow(TableKind::DcResults, dcRow(QString::number(i)));
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    constexpr int kPageSize = 4096;
    QVERIFY(file.size() > 4 * kPageSize);
    QVERIFY(file.seek(file.size() - kPageSize));
    file.write(QByteArray(kPageSize, '\x5a'));
}

bool runningAsRoot()
{
    return ::geteuid() == 0;
}

// Starts this executable as a child in the given mode; as root the child runs
// as "nobody", for whom permissions hold.
void startChild(QProcess& child, const QStringList& arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QLatin1String(kChildModeVariable), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    const QString self = QCoreApplication::applicationFilePath();
    if (runningAsRoot())
        child.start(QStringLiteral("setpriv"),
                    QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                QStringLiteral("--clear-groups"), self}
                        + arguments);
    else
        child.start(self, arguments);
}

}  // namespace

class TestStore : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir folder;
    QString path() const { return folder.filePath(QStringLiteral("results.sqlite")); }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { ResultStore::removeFiles(path()); }

    // --- what comes back ------------------------------------------------------

    void rowsComeBackAsRecorded()
    {
        const QStringList first = dcRow(QStringLiteral("1"), QStringLiteral("主变 A 相\n第二行"));
        const QStringList third = dcRow(QStringLiteral("3"));
        const QStringList length{QStringLiteral("1"), QStringLiteral("2026-12-06 09:00:00"), QStringLiteral("7"),
                                 QStringLiteral(" "), QStringLiteral("2.5mm²"), QStringLiteral("Set value"),
                                 QStringLiteral("100.0μΩ"), QStringLiteral("------"), QStringLiteral("AUTO"),
                                 QStringLiteral("1.00A"), QStringLiteral("7.4mΩ"), QStringLiteral("12.3m"), QString()};
        {
            ResultStore store(path());
            QVERIFY2(store.isKeeping(), qPrintable(store.failure()));
            const qint64 a = store.appendRow(TableKind::DcResults, first);
            const qint64 b = store.appendRow(TableKind::DcResults, dcRow(QStringLiteral("2")));
            const qint64 c = store.appendRow(TableKind::DcResults, third);
            QVERIFY2(a > 0 && b > a && c > b, qPrintable(store.failure()));
            store.appendRow(TableKind::LengthResults, length);
            store.deleteRows({b});
        }
        ResultStore reopened(path());
        QVERIFY(reopened.isKeeping());
        QCOMPARE(cellsOf(reopened.currentRows(TableKind::DcResults)), (QList<QStringList>{first, third}));
        QCOMPARE(cellsOf(reopened.currentRows(TableKind::LengthResults)), QList<QStringList>{length});
        QVERIFY(reopened.currentRows(TableKind::StoredRecords).isEmpty());
        QVERIFY(reopened.earlierSessions().isEmpty());
        // The ids handed out are the ones that come back, so later deletes find their rows.
        const QList<Row> rows = reopened.currentRows(TableKind::DcResults);
        reopened.deleteRows({rows[0].id});
        QCOMPARE(cellsOf(reopened.currentRows(TableKind::DcResults)), QList<QStringList>{third});
    }

    // A row's trace is kept with it and goes with it; a row without one reads
    // back without one, in the current session and in the history.
    void tracesGoWithTheirRows()
    {
        const char bytes[] = "\x01\x02\x00\xff trace";  // a zero byte inside
        const QByteArray trace(bytes, sizeof bytes - 1);
        qint64 withTrace = 0;
        {
            ResultStore store(path());
            withTrace = store.appendRow(TableKind::DcResults, dcRow(QStringLiteral("1")), trace);
            store.appendRow(TableKind::DcResults, dcRow(QStringLiteral("2")));
            store.appendRow(TableKind::LengthResults, QStringList{QStringLiteral("1")}, QByteArray("length"));
        }
        {
            ResultStore reopened(path());
            QList<Row> rows = reopened.currentRows(TableKind::DcResults);
            QCOMPARE(rows.size(), 2);
            QCOMPARE(rows[0].trace, trace);
            QVERIFY(rows[1].trace.isEmpty());
            QCOMPARE(reopened.currentRows(TableKind::LengthResults).value(0).trace, QByteArray("length"));
            reopened.clearTable(TableKind::DcResults);
            QCOMPARE(reopened.sessionRows(reopened.earlierSessions().value(0).id).value(0).trace, trace);
            reopened.deleteRows({withTrace});
        }
        // Read with the store closed: it holds its file for itself.
        QCOMPARE(sql(path(), {QStringLiteral("SELECT COUNT(*) FROM traces WHERE row = %1").arg(withTrace)}).toString(),
                 QStringLiteral("0"));
    }

    // An older database (version 1: no traces; version 2: no settled flag)
    // opens with its rows as they were, their settling not known, is raised to
    // the present version and then keeps traces and the settled flag too.
    void olderDatabaseIsMigrated_data()
    {
        QTest::addColumn<int>("version");
        QTest::newRow("version 1") << 1;
        QTest::newRow("version 2") << 2;
        QTest::newRow("version 3") << 3;
    }
    void olderDatabaseIsMigrated()
    {
        QFETCH(int, version);
        QStringList statements{
            "CREATE TABLE sessions (id INTEGER PRIMARY KEY, kind INTEGER NOT NULL,"
            " started INTEGER NOT NULL, closed INTEGER)",
            "CREATE TABLE rows (id INTEGER PRIMARY KEY,"
            " session INTEGER NOT NULL REFERENCES sessions(id) ON DELETE CASCADE)",
            "CREATE INDEX rows_by_session ON rows(session)",
            "CREATE TABLE cells (row INTEGER NOT NULL REFERENCES rows(id) ON DELETE CASCADE,"
            " col INTEGER NOT NULL, text TEXT NOT NULL, PRIMARY KEY (row, col)) WITHOUT ROWID",
            "INSERT INTO sessions (id, kind, started) VALUES (1, 0, 0)",
            "INSERT INTO rows (id, session) VALUES (1, 1)",
            "INSERT INTO cells (row, col, text) VALUES (1, 0, '1'), (1, 1, 'kept before')"};
        if (version >= 2)
            statements << "CREATE TABLE traces (row INTEGER PRIMARY KEY REFERENCES rows(id) ON DELETE CASCADE,"
                          " points BLOB NOT NULL)"
                       << "INSERT INTO traces (row, points) VALUES (1, x'0102')";
        if (version >= 3)
            statements << "ALTER TABLE rows ADD COLUMN settled INTEGER";
        statements << QStringLiteral("PRAGMA user_version = %1").arg(version) << "PRAGMA user_version";
        QCOMPARE(sql(path(), statements).toInt(), version);

        {
            ResultStore store(path());
            QVERIFY2(store.isKeeping(), qPrintable(store.failure()));
            const QList<Row> before = store.currentRows(TableKind::DcResults);
            QCOMPARE(cellsOf(before), (QList<QStringList>{{QStringLiteral("1"), QStringLiteral("kept before")}}));
            QCOMPARE(before.value(0).trace, version >= 2 ? QByteArray("\x01\x02") : QByteArray());
            QCOMPARE(before.value(0).settled, std::optional<bool>());
            QVERIFY(store.appendRow(TableKind::DcResults, dcRow(QStringLiteral("2")), QByteArray("new"), true) > 0);
            const qint64 object = store.objectId({0, QStringLiteral("T1"), QString(), QString()});
            QVERIFY(object > 0);
            QVERIFY(store.appendRow(TableKind::DcResults, dcRow(QStringLiteral("3")), QByteArray(), false, object) > 0);
        }
        const QList<Row> rows = ResultStore(path()).currentRows(TableKind::DcResults);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[1].trace, QByteArray("new"));
        QCOMPARE(rows[1].settled, std::optional<bool>(true));
        QCOMPARE(rows[2].settled, std::optional<bool>(false));
        QCOMPARE(rows[0].object, 0);
        QVERIFY(rows[2].object > 0);
        QCOMPARE(sql(path(), {"PRAGMA user_version"}).toInt(), ResultStore::kSchemaVersion);
    }

    // Rows and the session they open carry their object; the same texts name
    // the same object; its reference values are replaced as a whole.
    void objectsAndTheirBaselinesAreKept()
    {
        using store::BaselineEntry;
        using store::TestObject;
        const QList<BaselineEntry> entries{{1, QStringLiteral("05"), QStringLiteral("AB"), 1.5, 20.0, 0},
                                           {1, QStringLiteral("05"), QStringLiteral("BC"), 1.6, 20.0, 0},
                                           {1, QStringLiteral("05"), QStringLiteral("AB"), 1.25, 18.0, 1}};
        qint64 first = 0;
        {
            ResultStore store(path());
            first = store.objectId({0, QStringLiteral(" T1 "), QStringLiteral("S-9"), QString()});
            const qint64 second = store.objectId({0, QStringLiteral("T1"), QString(), QString()});
            QVERIFY2(first > 0 && second > 0 && second != first, qPrintable(store.failure()));
            QCOMPARE(store.objectId({0, QStringLiteral("T1"), QStringLiteral("S-9 "), QString()}), first);
            QCOMPARE(store.objectId({0, QStringLiteral("  "), QStringLiteral("S-9"), QString()}), 0);
            QCOMPARE(store.testObjects().value(0).id, first);  // used last

            store.appendRow(TableKind::DcResults, dcRow(QStringLiteral("1")), QByteArray(), std::nullopt, first);
            store.appendRow(TableKind::DcResults, dcRow(QStringLiteral("2")), QByteArray(), std::nullopt, second);
            store.clearTable(TableKind::DcResults);
            QVERIFY(store.setBaseline(first, entries.mid(0, 1)));
            QVERIFY(store.setBaseline(first, entries));
        }
        ResultStore store(path());
        const store::SessionSummary session = store.earlierSessions().value(0);
        QCOMPARE(session.object.id, first);
        QCOMPARE(session.object.serial, QStringLiteral("S-9"));
        const QList<Row> rows = store.sessionRows(session.id);
        QCOMPARE(rows.value(0).object, first);
        QVERIFY(rows.value(1).object != first);
        QCOMPARE(store.baseline(first), (QList<BaselineEntry>{entries[2], entries[1]}));
        QCOMPARE(store.baseline(first + 100), QList<BaselineEntry>());
    }

    // Clearing empties the table for good; its rows stay in the history. A
    // table that was empty, or whose rows were all deleted, leaves no session.
    void clearingClosesTheSessionAndReopeningBringsItBack()
    {
        ResultStore store(path());
        store.clearTable(TableKind::LengthResults);
        const qint64 deleted = store.appendRow(TableKind::DcResults, dcRow(QStringLiteral("0")));
        store.deleteRows({deleted});
        store.clearTable(TableKind::DcResults);
        store.appendRow(TableKind::DcResults, dcRow(QStringLiteral("1")));
        store.appendRow(TableKind::DcResults, dcRow(QStringLiteral("2")));
        store.appendRow(TableKind::LengthResults, QStringList{QStringLiteral("1")});
        store.clearTable(TableKind::DcResults);
        store.appendRow(TableKind::DcResults, dcRow(QStringLiteral("1"), QStringLiteral("new series")));

        QCOMPARE(store.currentRows(TableKind::DcResults).size(), 1);
        QCOMPARE(store.currentRows(TableKind::LengthResults).size(), 1);  // the other table is untouched
        const auto sessions = store.earlierSessions();
        QCOMPARE(sessions.size(), 1);
        QCOMPARE(sessions[0].kind, TableKind::DcResults);
        QCOMPARE(sessions[0].rowCount, 2);
        QVERIFY(sessions[0].closed.isValid());
        QVERIFY(qAbs(sessions[0].started.secsTo(QDateTime::currentDateTime())) < 60);

        // Loading it from the history makes it current again and puts the one it replaces there.
        TableKind kind = TableKind::LengthResults;
        const QList<Row> rows = store.reopenSession(sessions[0].id, &kind);
        QCOMPARE(kind, TableKind::DcResults);
        QCOMPARE(cellsOf(rows), (QList<QStringList>{dcRow(QStringLiteral("1")), dcRow(QStringLiteral("2"))}));
        QCOMPARE(cellsOf(store.currentRows(TableKind::DcResults)), cellsOf(rows));
        QCOMPARE(store.earlierSessions().size(), 1);
        QVERIFY(store.earlierSessions()[0].id != sessions[0].id && store.earlierSessions()[0].rowCount == 1);
        // A session that is current already, or unknown, loads nothing and changes nothing.
        QVERIFY(store.reopenSession(sessions[0].id).isEmpty());
        QVERIFY(store.reopenSession(9999).isEmpty());
        QCOMPARE(store.earlierSessions().size(), 1);
        QVERIFY(store.isKeeping());
    }

    // An import kept in parts is out of sight until made current; one never
    // made current is gone, dropped or left by a run that ended.
    void importInPartsIsHiddenUntilMadeCurrent()
    {
        const QList<QStringList> kept{{QStringLiteral("1"), QStringLiteral("a")}};
        const QList<QStringList> parts{{QStringLiteral("1"), QStringLiteral("x")}, {QStringLiteral("2"), QString()},
                                       {QStringLiteral("3"), QStringLiteral("z")}};
        qint64 shown = 0;
        {
            ResultStore store(path());
            store.replaceCurrentSession(TableKind::StoredRecords, kept);
            shown = store.beginHiddenSession(TableKind::StoredRecords);
            QVERIFY(shown > 0);
            QVERIFY(store.appendRows(shown, parts.mid(0, 1)));
            QVERIFY(store.appendRows(shown, parts.mid(1)));
            QCOMPARE(cellsOf(store.currentRows(TableKind::StoredRecords)), kept);
            QVERIFY(store.earlierSessions().isEmpty());
            QVERIFY(store.reopenSession(shown).isEmpty());

            store.makeCurrent(shown);
            QCOMPARE(cellsOf(store.currentRows(TableKind::StoredRecords)), parts);
            QCOMPARE(store.earlierSessions().size(), 1);
            QCOMPARE(store.earlierSessions()[0].rowCount, 1);
            store.dropHiddenSession(shown);  // current now: not dropped
            QCOMPARE(cellsOf(store.currentRows(TableKind::StoredRecords)), parts);

            const qint64 dropped = store.beginHiddenSession(TableKind::StoredRecords);
            QVERIFY(store.appendRows(dropped, kept));
            store.dropHiddenSession(dropped);
            store.makeCurrent(dropped);
            const qint64 left = store.beginHiddenSession(TableKind::StoredRecords);
            QVERIFY(store.appendRows(left, kept));
        }
        {
            ResultStore reopened(path());
            QCOMPARE(cellsOf(reopened.currentRows(TableKind::StoredRecords)), parts);
            QCOMPARE(reopened.earlierSessions().size(), 1);
            QVERIFY(reopened.isKeeping());
        }
        QCOMPARE(sql(path(), {"SELECT COUNT(*) FROM rows"}).toInt(), kept.size() + parts.size());  // of any session
    }

    // --- databases it must not use ---------------------------------------------

    // Each is reported once through failure(), then nothing is read or written,
    // and the file found is left exactly as it was.
    void unusableDatabaseIsLeftAlone_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<store::Problem>("problem");
        QTest::newRow("corrupt file") << QStringLiteral("corrupt") << QStringLiteral("not a database")
                                      << store::Problem::Damaged;
        QTest::newRow("damaged data page") << QStringLiteral("damaged") << QStringLiteral("damaged")
                                           << store::Problem::Damaged;
        QTest::newRow("newer schema") << QStringLiteral("newer") << QStringLiteral("newer program")
                                      << store::Problem::Newer;
        QTest::newRow("locked by another copy") << QStringLiteral("locked") << QStringLiteral("locked")
                                                << store::Problem::Locked;
    }
    void unusableDatabaseIsLeftAlone()
    {
        QFETCH(QString, situation);
        QFETCH(QString, reason);
        const QString target = path();
        std::unique_ptr<ResultStore> owner;
        if (situation == QLatin1String("corrupt")) {
            QFile file(target);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray("results of 6 December\n").repeated(300));
        } else if (situation == QLatin1String("damaged")) {
            damageLastPage(target, 202);
        } else if (situation == QLatin1String("newer")) {
            const int newer = ResultStore::kSchemaVersion + 1;
            QCOMPARE(sql(target, {"CREATE TABLE future (x)", QStringLiteral("PRAGMA user_version = %1").arg(newer),
                                  "PRAGMA user_version"})
                         .toInt(),
                     newer);
        } else {
            owner = std::make_unique<ResultStore>(target);
            QVERIFY(owner->isKeeping());
            owner->appendRow(TableKind::DcResults, dcRow(QStringLiteral("1")));
        }
        const QByteArray before = fileBytes(target);

        QElapsedTimer timer;
        timer.start();
        ResultStore store(target, store::StoreOptions{100, 0});
        QVERIFY(timer.elapsed() < 2000);  // a locked database is not waited for long
        QVERIFY(!store.isKeeping());
        QVERIFY2(store.failure().contains(reason, Qt::CaseInsensitive), qPrintable(store.failure()));
        QTEST(store.problem(), "problem");
        QVERIFY(!store.retry());
        QCOMPARE(store.appendRow(TableKind::DcResults, dcRow(QStringLiteral("2"))), qint64(0));
        QVERIFY(store.replaceCurrentSession(TableKind::StoredRecords, {{QStringLiteral("1")}}).isEmpty());
        store.clearTable(TableKind::DcResults);
        QVERIFY(store.currentRows(TableKind::DcResults).isEmpty());
        QVERIFY(store.earlierSessions().isEmpty());
        QCOMPARE(fileBytes(target), before);
        if (!owner)
            return;
        // The owner keeps its rows and goes on; once it lets go, the store keeps again.
        QCOMPARE(owner->appendRow(TableKind::DcResults, dcRow(QStringLiteral("2"))) > 0, true);
        owner.reset();
        QVERIFY(store.retry());
        QCOMPARE(store.problem(), store::Problem::None);
        QCOMPARE(store.currentRows(TableKind::DcResults).size(), 2);
    }

    // The command-line history reads while the window keeps rows: each read
    // sees what the window committed before it, and neither waits for the other.
    void readerReadsWhileTheOwnerWrites()
    {
        ResultStore owner(path());
        owner.appendRow(TableKind::DcResults, dcRow(QStringLiteral("1")));
        owner.clearTable(TableKind::DcResults);
        ResultStore reader(path(), store::StoreOptions{100, 0, true});
        QVERIFY2(reader.isKeeping(), qPrintable(reader.failure()));
        QCOMPARE(reader.earlierSessions().size(), 1);

        QVERIFY(owner.appendRow(TableKind::DcResults, dcRow(QStringLiteral("2"))) > 0);
        owner.clearTable(TableKind::DcResults);
        const QList<store::SessionSummary> sessions = reader.earlierSessions();
        QCOMPARE(sessions.size(), 2);
        QCOMPARE(cellsOf(reader.sessionRows(sessions.first().id)), QList<QStringList>{dcRow(QStringLiteral("2"))});
        QVERIFY(owner.isKeeping());
    }

    // A read-only folder holding the database of an earlier run. Permissions
    // only bind a normal user: as root the probe runs as "nobody".
    void readOnlyFolderIsReported()
    {
        QTemporaryDir place;
        QFile::setPermissions(place.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                                | QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
        const QString target = place.filePath(QStringLiteral("results.sqlite"));
        ResultStore(target).appendRow(TableKind::DcResults, dcRow(QStringLiteral("1")));
        QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadOther | QFile::ReadGroup);
        if (!runningAsRoot())
            QFile::setPermissions(place.path(), QFile::ReadOwner | QFile::ExeOwner);
        const QByteArray before = fileBytes(target);

        QProcess child;
        startChild(child, {QStringLiteral("probe"), target});
        QVERIFY(child.waitForFinished(kWait));
        const QString answer = QString::fromUtf8(child.readAllStandardOutput());
        QVERIFY2(answer.startsWith(QLatin1String("not keeping:")), qPrintable(answer + child.readAllStandardError()));
        QCOMPARE(fileBytes(target), before);
        QFile::setPermissions(place.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // A disk that fills up in the middle of a run: the failing write is
    // reported, the rows kept before it stay intact.
    void fullDiskStopsKeepingMidRun()
    {
        int kept = 0;
        {
            ResultStore store(path(), store::StoreOptions{250, 20});
            QVERIFY(store.isKeeping());
            while (store.appendRow(TableKind::DcResults, dcRow(QString::number(kept + 1), QString(200, QLatin1Char('x')))) > 0)
                ++kept;
            QVERIFY(kept > 0);
            QVERIFY(!store.isKeeping());
            QVERIFY2(store.failure().contains(QLatin1String("full")), qPrintable(store.failure()));
            QCOMPARE(store.appendRow(TableKind::DcResults, dcRow(QStringLiteral("1"))), qint64(0));
        }
        ResultStore reopened(path());
        QVERIFY(reopened.isKeeping());
        const QList<Row> rows = reopened.currentRows(TableKind::DcResults);
        QCOMPARE(rows.size(), kept);
        QCOMPARE(rows.last().cells.value(0), QString::number(kept));
    }
};

// Child mode "probe <path>": prints whether a store at path keeps results.
static int runChild(const QStringList& arguments)
{
    ResultStore store(arguments.value(2));
    if (store.isKeeping())
        store.appendRow(TableKind::DcResults, dcRow(QStringLiteral("9")));
    QTextStream(stdout) << (store.isKeeping() ? QStringLiteral("keeping") : QStringLiteral("not keeping: ") + store.failure())
                        << '\n';
    return 0;
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kChildModeVariable))
        return runChild(app.arguments());
    TestStore test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_store.moc"
