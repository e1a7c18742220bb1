#include "store/resultstore.h"

#include "store/outbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>

#include <atomic>

namespace store {

namespace {

const char* const kFileName = "results.sqlite";

// The tables as version 2 left them. A later program that changes the tables
// raises user_version and migrates from the number it finds; this one refuses
// anything newer. Every statement is safe to run on an older database: version
// 1 lacked only the traces, so opening it adds their table and leaves its rows
// as they are.
const char* const kSchema[] = {
    "CREATE TABLE IF NOT EXISTS sessions ("
    " id INTEGER PRIMARY KEY,"
    " kind INTEGER NOT NULL,"     // TableKind
    " started INTEGER NOT NULL,"  // ms since the epoch, UTC
    " closed INTEGER)",           // NULL while the session is its table's current one
    "CREATE TABLE IF NOT EXISTS rows ("
    " id INTEGER PRIMARY KEY,"
    " session INTEGER NOT NULL REFERENCES sessions(id) ON DELETE CASCADE)",
    "CREATE INDEX IF NOT EXISTS rows_by_session ON rows(session)",
    "CREATE TABLE IF NOT EXISTS cells ("
    " row INTEGER NOT NULL REFERENCES rows(id) ON DELETE CASCADE,"
    " col INTEGER NOT NULL,"
    " text TEXT NOT NULL,"
    " PRIMARY KEY (row, col)) WITHOUT ROWID",
    // Since version 2: the readings of the test that gave a result row.
    "CREATE TABLE IF NOT EXISTS traces ("
    " row INTEGER PRIMARY KEY REFERENCES rows(id) ON DELETE CASCADE,"
    " points BLOB NOT NULL)",
};

// The steps after version 2, each run once on a database older than its version.
struct SchemaStep {
    int version;
    const char* statement;
};
const SchemaStep kSteps[] = {
    // Version 3: whether the reading had settled when the test ended; NULL
    // for rows kept before (not known) and for imported records.
    {3, "ALTER TABLE rows ADD COLUMN settled INTEGER"},
    // Version 4: the objects under test (a transformer, a cable drum), which
    // rows and sessions carry, and the reference values kept for each.
    {4, "CREATE TABLE objects ("
        " id INTEGER PRIMARY KEY,"
        " name TEXT NOT NULL,"
        " serial TEXT NOT NULL,"
        " location TEXT NOT NULL,"
        " used INTEGER NOT NULL,"  // counts up: the object named last has the highest
        " UNIQUE (name, serial, location))"},
    {4, "ALTER TABLE sessions ADD COLUMN object INTEGER REFERENCES objects(id)"},
    {4, "ALTER TABLE rows ADD COLUMN object INTEGER REFERENCES objects(id)"},
    {4, "CREATE TABLE baselines ("
        " object INTEGER NOT NULL REFERENCES objects(id) ON DELETE CASCADE,"
        " winding INTEGER NOT NULL,"
        " tapping TEXT NOT NULL,"
        " phase TEXT NOT NULL,"
        " ohms REAL NOT NULL,"
        " celsius REAL NOT NULL,"
        " material INTEGER NOT NULL,"
        " PRIMARY KEY (object, winding, tapping, phase)) WITHOUT ROWID"},
    // Version 5: a UUID for every object, session and row, the instrument a
    // session was measured with, and the outbox of changes for the team's
    // server (outbox.h), which starts with everything kept before.
    {5, "ALTER TABLE objects ADD COLUMN uuid TEXT"},
    {5, "ALTER TABLE sessions ADD COLUMN uuid TEXT"},
    {5, "ALTER TABLE sessions ADD COLUMN instrument TEXT"},
    {5, "ALTER TABLE rows ADD COLUMN uuid TEXT"},
    {5, "UPDATE objects SET uuid = " STORE_NEW_UUID},
    {5, "UPDATE sessions SET uuid = " STORE_NEW_UUID},
    {5, "UPDATE rows SET uuid = " STORE_NEW_UUID},
    {5, "CREATE UNIQUE INDEX objects_by_uuid ON objects(uuid)"},
    {5, "CREATE UNIQUE INDEX sessions_by_uuid ON sessions(uuid)"},
    {5, "CREATE UNIQUE INDEX rows_by_uuid ON rows(uuid)"},
    {5, "CREATE TABLE outbox ("
        " seq INTEGER PRIMARY KEY,"
        " what INTEGER NOT NULL,"  // OutboxEntry
        " subject TEXT NOT NULL,"
        " uuid TEXT NOT NULL,"
        " at INTEGER NOT NULL)"},  // ms since the epoch, UTC
    {5, "INSERT INTO outbox (what, subject, uuid, at) SELECT 0, uuid, " STORE_NEW_UUID ", 0 FROM objects ORDER BY id"},
    {5, "INSERT INTO outbox (what, subject, uuid, at) SELECT 2, uuid, " STORE_NEW_UUID ", started FROM sessions"
        " WHERE closed IS NULL OR closed <> 0 ORDER BY id"},
    {5, "INSERT INTO outbox (what, subject, uuid, at) SELECT 4, uuid, " STORE_NEW_UUID ", closed FROM sessions"
        " WHERE closed <> 0 ORDER BY closed, id"},
    {5, "INSERT INTO outbox (what, subject, uuid, at) SELECT 6, uuid, " STORE_NEW_UUID ", used FROM objects"
        " WHERE EXISTS (SELECT 1 FROM baselines WHERE baselines.object = objects.id) ORDER BY id"},
};

// A commit appends the transaction to the write-ahead log and flushes the log
// to the disk before it returns (synchronous = FULL): a finished test took
// minutes of current through a winding, and a power cut must not take it. The
// parts of a hidden import are only written (synchronous = NORMAL): nobody
// reads them before the commit that makes the import current, whose flush
// takes them to the disk as well.
const char* const kConnectionPragmas[] = {
    "PRAGMA foreign_keys = ON",
};

QString uniqueConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("resultstore-%1").arg(++counter);
}

// The "closed" time of a session still being filled: before any real one.
constexpr qint64 kHidden = 0;

qint64 nowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}

QDateTime timeOf(const QVariant& ms)
{
    return ms.isNull() ? QDateTime() : QDateTime::fromMSecsSinceEpoch(ms.toLongLong());
}

// SQLite's primary result codes, as the driver reports them.
store::Problem problemOf(const QSqlError& error)
{
    const int code = error.nativeErrorCode().toInt();
    if (code == 5 || code == 6)  // SQLITE_BUSY, SQLITE_LOCKED
        return store::Problem::Locked;
    if (code == 11 || code == 26)  // SQLITE_CORRUPT, SQLITE_NOTADB
        return store::Problem::Damaged;
    return store::Problem::Unwritable;
}

QVariant objectValue(qint64 object)
{
    return object > 0 ? QVariant(object) : QVariant(QVariant::LongLong);
}

bool knownKind(int kind)
{
    return kind >= int(TableKind::DcResults) && kind <= int(TableKind::StoredRecords);
}

}  // namespace

QString ResultStore::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QLatin1Char('/')
           + QLatin1String(kFileName);
}

void ResultStore::removeFiles(const QString& path)
{
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1String(suffix));
}

ResultStore::ResultStore(const QString& path, const StoreOptions& options)
    : databasePath(path), connectionName(uniqueConnectionName()), storeOptions(options)
{
    keeping = open(options);
    if (!keeping) {
        closeDatabase();
        writerLock.reset();
    }
}

ResultStore::~ResultStore()
{
    closeDatabase();
    QSqlDatabase::removeDatabase(connectionName);
}

bool ResultStore::retry()
{
    if (keeping || readOnly)
        return keeping;
    closeDatabase();
    QSqlDatabase::removeDatabase(connectionName);
    failureText.clear();
    trouble = Problem::None;
    flushed = Flush::EachCommit;
    StoreOptions again = storeOptions;
    again.busyTimeoutMs = 0;  // tried again later anyway: the window does not wait for a lock
    keeping = open(again);
    if (!keeping)
        closeDatabase();
    return keeping;
}

bool ResultStore::open(const StoreOptions& options)
{
    const QString folder = QFileInfo(databasePath).absolutePath();
    if (options.readOnly && !QFileInfo::exists(databasePath))
        return fail(QStringLiteral("no results kept yet"), databasePath);
    if (!options.readOnly && !QDir().mkpath(folder))
        return fail(QStringLiteral("cannot create the folder"), folder);
    if (!options.readOnly && !lockForWriting(options.busyTimeoutMs))
        return false;

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    if (!db.isValid())
        return fail(QStringLiteral("no SQLite driver"), db.lastError().text());
    db.setDatabaseName(databasePath);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1%2")
                             .arg(options.busyTimeoutMs)
                             .arg(options.readOnly ? QStringLiteral(";QSQLITE_OPEN_READONLY") : QString()));
    if (!db.open())
        return fail(QStringLiteral("cannot open"), db.lastError().text());

    // The first read tells a locked, a corrupt and a newer database apart
    // before anything is written to it.
    QSqlQuery version(db);
    if (!version.exec(QStringLiteral("PRAGMA user_version")) || !version.next())
        return fail(QStringLiteral("cannot read"), version.lastError().text(), problemOf(version.lastError()));
    const int found = version.value(0).toInt();
    version.finish();
    if (found > kSchemaVersion)
        return fail(QStringLiteral("written by a newer program"),
                    QStringLiteral("schema %1, this program knows %2").arg(found).arg(kSchemaVersion), Problem::Newer);
    if (options.readOnly) {
        // An older schema would need the upgrade that only writing does.
        if (found != kSchemaVersion)
            return fail(QStringLiteral("written by an older program"), QStringLiteral("schema %1").arg(found));
        readOnly = true;
        return true;  // nothing is written: the checks before writing are not needed
    }
    if (!readsBack())
        return false;

    for (const char* pragma : kConnectionPragmas) {
        if (!exec(QLatin1String(pragma)))
            return false;
    }
    QSqlQuery journal(db);
    if (!journal.exec(QStringLiteral("PRAGMA journal_mode = WAL")) || !journal.next())
        return fail(journal.lastQuery(), journal.lastError().text());
    journal.finish();
    if (!exec(QStringLiteral("PRAGMA synchronous = FULL")))
        return false;
    if (options.maxPageCount > 0 && !exec(QStringLiteral("PRAGMA max_page_count = %1").arg(options.maxPageCount)))
        return false;

    keeping = true;  // transact() runs only on a usable database
    return transact([this, found] {
        for (const char* statement : kSchema) {
            if (!exec(QLatin1String(statement)))
                return false;
        }
        for (const SchemaStep& step : kSteps) {
            if (found < step.version && !exec(QLatin1String(step.statement)))
                return false;
        }
        // Sessions an earlier run never finished filling.
        return exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion))
               && exec(QStringLiteral("DELETE FROM sessions WHERE closed = %1").arg(kHidden));
    });
}

// One copy of the program writes to the store: a second would add its rows to
// the first one's current sessions and, opening, drop the import the first is
// still keeping. The database itself stays shared, so that readers (the
// command-line history) can read while the window runs.
bool ResultStore::lockForWriting(int timeoutMs)
{
    const QString lockPath = databasePath + QLatin1String(".lock");
    writerLock = std::make_unique<QLockFile>(lockPath);
    writerLock->setStaleLockTime(0);  // taken over only when the program holding it has ended
    if (writerLock->tryLock(timeoutMs))
        return true;
    if (writerLock->error() == QLockFile::LockFailedError)
        return fail(QStringLiteral("locked by another copy of the program"), lockPath, Problem::Locked);
    return fail(QStringLiteral("cannot create the lock file"), lockPath);
}

// Every page checked and every row of every table read: a damaged database
// is found before anything is written to it.
bool ResultStore::readsBack()
{
    QSqlQuery check(database());
    if (!check.exec(QStringLiteral("PRAGMA quick_check")))
        return failQuery(check);
    QStringList findings;
    while (check.next())
        findings << check.value(0).toString();
    if (findings != QStringList{QStringLiteral("ok")})
        return fail(QStringLiteral("damaged"), findings.join(QStringLiteral("; ")), Problem::Damaged);

    QSqlQuery tables(database());
    if (!tables.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'")))
        return failQuery(tables);
    while (tables.next()) {
        QSqlQuery rows(database());
        rows.setForwardOnly(true);
        if (!rows.exec(QStringLiteral("SELECT * FROM \"%1\"").arg(tables.value(0).toString())))
            return failQuery(rows);
        while (rows.next()) {
        }
        if (rows.lastError().isValid())
            return failQuery(rows);
    }
    return true;
}

void ResultStore::closeDatabase()
{
    if (!QSqlDatabase::contains(connectionName))
        return;
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    if (db.isOpen())
        db.close();
}

QSqlDatabase ResultStore::database() const
{
    return QSqlDatabase::database(connectionName, false);
}

bool ResultStore::exec(const QString& statement) const
{
    QSqlQuery query(database());
    return query.exec(statement) || failQuery(query);
}

bool ResultStore::run(QSqlQuery& query) const
{
    return query.exec() || failQuery(query);
}

bool ResultStore::failQuery(const QSqlQuery& query) const
{
    return fail(query.lastQuery(), query.lastError().text(), problemOf(query.lastError()));
}

bool ResultStore::fail(const QString& what, const QString& detail, Problem problem) const
{
    if (failureText.isEmpty()) {
        failureText = databasePath + QStringLiteral(": ") + what + QStringLiteral(": ") + detail;
        trouble = problem;
    }
    keeping = false;
    return false;
}

bool ResultStore::flushing(Flush flush)
{
    if (flush == flushed)
        return true;
    flushed = flush;
    return exec(flush == Flush::EachCommit ? QStringLiteral("PRAGMA synchronous = FULL")
                                           : QStringLiteral("PRAGMA synchronous = NORMAL"));
}

// One write transaction. A failure rolls back what it began and ends the
// keeping until a retry: the tables go on in memory.
bool ResultStore::transact(const std::function<bool()>& work, Flush flush)
{
    if (!keeping || readOnly)
        return false;
    if (flushing(flush) && exec(QStringLiteral("BEGIN IMMEDIATE")) && work() && exec(QStringLiteral("COMMIT")))
        return true;
    QSqlQuery(database()).exec(QStringLiteral("ROLLBACK"));
    fail(QStringLiteral("write"), QStringLiteral("rolled back"));
    closeDatabase();
    return false;
}

qint64 ResultStore::currentSession(TableKind kind, bool create, qint64 object)
{
    QSqlQuery find(database());
    find.prepare(QStringLiteral("SELECT id FROM sessions WHERE kind = ? AND closed IS NULL ORDER BY id DESC LIMIT 1"));
    find.addBindValue(int(kind));
    if (!run(find))
        return -1;
    if (find.next())
        return find.value(0).toLongLong();
    if (!create)
        return 0;

    QSqlQuery insert(database());
    insert.prepare(QStringLiteral("INSERT INTO sessions (kind, started, object, instrument, uuid)"
                                  " VALUES (?, ?, ?, ?, " STORE_NEW_UUID ")"));
    insert.addBindValue(int(kind));
    insert.addBindValue(nowMs());
    insert.addBindValue(objectValue(object));
    insert.addBindValue(instrumentName);
    return run(insert) ? insert.lastInsertId().toLongLong() : -1;
}

// The statements that keep a row and its cells, prepared once for all the
// rows of one call: an import keeps thousands of rows in a few transactions.
// The cells of a row go in with one statement, prepared for their number.
struct ResultStore::RowStatements {
    QSqlQuery row;
    QSqlQuery cells;
    int cellsPrepared = -1;

    explicit RowStatements(const QSqlDatabase& db) : row(db), cells(db)
    {
        row.prepare(QStringLiteral("INSERT INTO rows (session, settled, object, uuid) VALUES (?, ?, ?, " STORE_NEW_UUID ")"));
    }
    QSqlQuery& cellsOf(int count)
    {
        if (count != cellsPrepared) {
            QStringList values;
            for (int column = 0; column < count; ++column)
                values << QStringLiteral("(?, ?, ?)");
            cells.prepare(QStringLiteral("INSERT INTO cells (row, col, text) VALUES ") + values.join(QLatin1Char(',')));
            cellsPrepared = count;
        }
        return cells;
    }
};

qint64 ResultStore::insertRow(RowStatements& statements, qint64 session, const QStringList& cells,
                              std::optional<bool> settled, qint64 object)
{
    QSqlQuery& row = statements.row;
    row.bindValue(0, session);
    row.bindValue(1, settled ? QVariant(int(*settled)) : QVariant(QVariant::Int));
    row.bindValue(2, objectValue(object));
    if (!run(row))
        return 0;
    const qint64 rowId = row.lastInsertId().toLongLong();
    if (cells.isEmpty())
        return rowId;

    QSqlQuery& insert = statements.cellsOf(cells.size());
    for (int column = 0; column < cells.size(); ++column) {
        insert.bindValue(3 * column, rowId);
        insert.bindValue(3 * column + 1, column);
        // An empty text is kept as empty, not as NULL.
        insert.bindValue(3 * column + 2, cells[column].isNull() ? QString(QLatin1String("")) : cells[column]);
    }
    return run(insert) ? rowId : 0;
}

// A session without rows is not worth a line in the history: it goes.
bool ResultStore::closeSession(qint64 session)
{
    QSqlQuery close(database());
    close.prepare(QStringLiteral(
        "UPDATE sessions SET closed = ? WHERE id = ? AND EXISTS (SELECT 1 FROM rows WHERE session = sessions.id)"));
    close.addBindValue(nowMs());
    close.addBindValue(session);
    QSqlQuery drop(database());
    drop.prepare(QStringLiteral("DELETE FROM sessions WHERE id = ? AND closed IS NULL"));
    drop.addBindValue(session);
    if (!run(close))
        return false;
    return (close.numRowsAffected() == 0 || enqueue(OutboxEntry::SessionClosed, session)) && run(drop);
}

bool ResultStore::insertTrace(qint64 row, const QByteArray& trace)
{
    if (trace.isEmpty())
        return true;
    QSqlQuery insert(database());
    insert.prepare(QStringLiteral("INSERT INTO traces (row, points) VALUES (?, ?)"));
    insert.addBindValue(row);
    insert.addBindValue(trace);
    return run(insert);
}

qint64 ResultStore::appendRow(TableKind kind, const QStringList& cells, const QByteArray& trace,
                              std::optional<bool> settled, qint64 object)
{
    qint64 rowId = 0;
    transact([&] {
        const qint64 session = currentSession(kind, true, object);
        RowStatements statements(database());
        rowId = session > 0 ? insertRow(statements, session, cells, settled, object) : 0;
        return rowId > 0 && insertTrace(rowId, trace) && enqueue(OutboxEntry::Row, rowId);
    });
    return keeping ? rowId : 0;
}

void ResultStore::deleteRows(const QList<qint64>& rowIds)
{
    if (rowIds.isEmpty())
        return;
    transact([&] {
        QSqlQuery remove(database());
        remove.prepare(QStringLiteral("DELETE FROM rows WHERE id = ?"));
        for (qint64 id : rowIds) {
            remove.bindValue(0, id);
            if (!enqueue(OutboxEntry::RowDeleted, id) || !run(remove))
                return false;
        }
        return true;
    });
}

void ResultStore::clearTable(TableKind kind)
{
    transact([&] {
        const qint64 session = currentSession(kind, false);
        return session == 0 || (session > 0 && closeSession(session));
    });
}

QList<qint64> ResultStore::replaceCurrentSession(TableKind kind, const QList<QStringList>& rows)
{
    QList<qint64> ids;
    transact([&] {
        const qint64 old = currentSession(kind, false);
        if (old < 0 || (old > 0 && !closeSession(old)))
            return false;
        const qint64 session = currentSession(kind, true);
        if (session <= 0)
            return false;
        RowStatements statements(database());
        for (const QStringList& cells : rows) {
            const qint64 id = insertRow(statements, session, cells);
            if (id == 0)
                return false;
            ids << id;
        }
        return enqueue(OutboxEntry::Session, session);
    });
    return keeping ? ids : QList<qint64>();
}

qint64 ResultStore::beginHiddenSession(TableKind kind)
{
    qint64 session = 0;
    transact([&] {
        QSqlQuery insert(database());
        insert.prepare(QStringLiteral("INSERT INTO sessions (kind, started, closed, instrument, uuid)"
                                      " VALUES (?, ?, ?, ?, " STORE_NEW_UUID ")"));
        insert.addBindValue(int(kind));
        insert.addBindValue(nowMs());
        insert.addBindValue(kHidden);
        insert.addBindValue(instrumentName);
        session = run(insert) ? insert.lastInsertId().toLongLong() : 0;
        return session > 0;
    });
    return keeping ? session : 0;
}

bool ResultStore::appendRows(qint64 hiddenSession, const QList<QStringList>& rows)
{
    return transact(
        [&] {
            RowStatements statements(database());
            for (const QStringList& cells : rows) {
                if (insertRow(statements, hiddenSession, cells) == 0)
                    return false;
            }
            return true;
        },
        Flush::Batched);
}

void ResultStore::makeCurrent(qint64 hiddenSession)
{
    int found = -1;
    transact([&] { return makeSessionCurrent(hiddenSession, true, &found); });
}

void ResultStore::dropHiddenSession(qint64 hiddenSession)
{
    transact([&] {
        QSqlQuery drop(database());
        drop.prepare(QStringLiteral("DELETE FROM sessions WHERE id = ? AND closed = ?"));
        drop.addBindValue(hiddenSession);
        drop.addBindValue(kHidden);
        return run(drop);
    });
}

QList<Row> ResultStore::currentRows(TableKind kind) const
{
    if (!keeping)
        return {};
    QSqlQuery find(database());
    find.prepare(QStringLiteral("SELECT id FROM sessions WHERE kind = ? AND closed IS NULL"));
    find.addBindValue(int(kind));
    if (!run(find))
        return {};
    QList<Row> rows;
    while (find.next())
        rows << rowsOf(find.value(0).toLongLong());
    return rows;
}

QList<Row> ResultStore::rowsOf(qint64 session) const
{
    QSqlQuery cells(database());
    cells.prepare(QStringLiteral("SELECT rows.id, cells.col, cells.text, rows.settled, rows.object FROM rows"
                                 " JOIN cells ON cells.row = rows.id WHERE rows.session = ? ORDER BY rows.id, cells.col"));
    cells.addBindValue(session);
    if (!run(cells))
        return {};
    QList<Row> rows;
    while (cells.next()) {
        const qint64 id = cells.value(0).toLongLong();
        if (rows.isEmpty() || rows.last().id != id) {
            const QVariant settled = cells.value(3);
            rows.append(Row{id, {}, {}, settled.isNull() ? std::nullopt : std::optional<bool>(settled.toBool()),
                            cells.value(4).toLongLong()});
        }
        QStringList& texts = rows.last().cells;
        const int column = cells.value(1).toInt();
        while (texts.size() < column)  // a missing cell reads as empty
            texts << QString();
        texts << cells.value(2).toString();
    }
    readTraces(session, rows);
    return rows;
}

void ResultStore::readTraces(qint64 session, QList<Row>& rows) const
{
    QSqlQuery traces(database());
    traces.prepare(QStringLiteral("SELECT traces.row, traces.points FROM traces JOIN rows ON rows.id = traces.row"
                                  " WHERE rows.session = ?"));
    traces.addBindValue(session);
    if (!run(traces))
        return;
    QHash<qint64, QByteArray> found;
    while (traces.next())
        found.insert(traces.value(0).toLongLong(), traces.value(1).toByteArray());
    for (Row& row : rows)
        row.trace = found.value(row.id);
}

QList<SessionSummary> ResultStore::earlierSessions() const
{
    if (!keeping)
        return {};
    QSqlQuery query(database());
    if (!query.exec(QStringLiteral(
            "SELECT sessions.id, kind, started, closed, COUNT(rows.id), objects.id, objects.name, objects.serial,"
            " objects.location FROM sessions JOIN rows ON rows.session = sessions.id"
            " LEFT JOIN objects ON objects.id = sessions.object WHERE closed IS NOT NULL AND closed <> %1"
            " GROUP BY sessions.id ORDER BY started DESC, sessions.id DESC").arg(kHidden))) {
        failQuery(query);
        return {};
    }
    QList<SessionSummary> sessions;
    while (query.next()) {
        if (!knownKind(query.value(1).toInt()))
            continue;
        sessions << SessionSummary{query.value(0).toLongLong(),
                                   TableKind(query.value(1).toInt()),
                                   timeOf(query.value(2)),
                                   timeOf(query.value(3)),
                                   query.value(4).toInt(),
                                   {query.value(5).toLongLong(), query.value(6).toString(), query.value(7).toString(),
                                    query.value(8).toString()}};
    }
    return sessions;
}

QSet<QString> ResultStore::sessionUuids() const
{
    QSet<QString> uuids;
    QSqlQuery query(database());
    if (!keeping || !query.exec(QStringLiteral("SELECT uuid FROM sessions"))) {
        if (keeping)
            failQuery(query);
        return uuids;
    }
    while (query.next())
        uuids.insert(query.value(0).toString());
    return uuids;
}

QList<Row> ResultStore::reopenSession(qint64 sessionId, TableKind* kind)
{
    int found = -1;
    const bool reopened = transact([&] { return makeSessionCurrent(sessionId, false, &found); });
    if (!reopened || found < 0)
        return {};
    if (kind)
        *kind = TableKind(found);
    return rowsOf(sessionId);
}

// Inside a transaction: a closed (or hidden) session becomes its table's
// current one and the one it replaces goes to the history. found: its kind,
// -1 when there is no such session, which is nothing wrong.
bool ResultStore::makeSessionCurrent(qint64 session, bool hidden, int* found)
{
    *found = -1;
    QSqlQuery find(database());
    find.prepare(hidden ? QStringLiteral("SELECT kind FROM sessions WHERE id = ? AND closed = %1").arg(kHidden)
                        : QStringLiteral("SELECT kind FROM sessions WHERE id = ? AND closed IS NOT NULL AND closed <> %1")
                              .arg(kHidden));
    find.addBindValue(session);
    if (!run(find))
        return false;
    if (!find.next() || !knownKind(find.value(0).toInt()))
        return true;
    const int kind = find.value(0).toInt();
    find.finish();

    const qint64 current = currentSession(TableKind(kind), false);
    if (current < 0 || (current > 0 && !closeSession(current)))
        return false;
    QSqlQuery reopen(database());
    reopen.prepare(QStringLiteral("UPDATE sessions SET closed = NULL WHERE id = ?"));
    reopen.addBindValue(session);
    if (!run(reopen) || !enqueue(hidden ? OutboxEntry::Session : OutboxEntry::SessionReopened, session))
        return false;
    *found = kind;
    return true;
}

// Inside a transaction: the change to the object, session or row `id` waits in the outbox.
bool ResultStore::enqueue(OutboxEntry what, qint64 id)
{
    const char* table = "rows";
    if (what == OutboxEntry::Object || what == OutboxEntry::Baseline)
        table = "objects";
    else if (what == OutboxEntry::Session || what == OutboxEntry::SessionClosed || what == OutboxEntry::SessionReopened)
        table = "sessions";
    QSqlQuery insert(database());
    insert.prepare(QStringLiteral("INSERT INTO outbox (what, subject, uuid, at) SELECT ?, uuid, " STORE_NEW_UUID ", ? FROM %1"
                                  " WHERE id = ?")
                       .arg(QLatin1String(table)));
    insert.addBindValue(int(what));
    insert.addBindValue(nowMs());
    insert.addBindValue(id);
    return run(insert);
}

}  // namespace store
