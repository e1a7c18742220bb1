#pragma once
// The local results store: every row of the result tables and every completed
// stored-data import, kept in an SQLite database so that a flat battery, a
// crash or a closed laptop loses nothing.
//
// The rows of one table between two clears form a session. The table's current
// session is the one still open; it is what the table shows again after a
// restart. Clearing the table closes the session: its rows leave the table for
// good but stay in the store as an earlier session that the history can load
// back. A completed import of the instrument's stored records is a session of
// its own and closes the previous one.
//
// Every change is one transaction, committed before the call returns: a
// program killed the moment after loses none of it (how: resultstore.cpp).
// Result rows are flushed to the disk at their commit, so that a power cut
// takes none of them; the parts of a hidden import are not, its last commit
// flushes them all.
//
// At open everything kept is read once before anything is written: a damaged
// database is found then and left as it was. When the database cannot be used
// (locked by another copy of the program, damaged, written by a newer program,
// on a read-only or full disk) the store stops keeping results: every call
// becomes a no-op, isKeeping() turns false, problem() and failure() say why,
// and retry() tries the database again. It never throws and never blocks for
// long.

#include "analysis/baselineentry.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QLockFile;
class QSqlDatabase;
class QSqlQuery;

namespace store {

enum class OutboxEntry;

// The tables whose rows are kept; the numbers are written to the database.
enum class TableKind { DcResults = 0, LengthResults = 1, StoredRecords = 2 };

// The object under test: a transformer, a cable drum. Free texts; the three
// together name it. An empty name names none.
struct TestObject {
    qint64 id = 0;  // 0: not kept
    QString name;
    QString serial;
    QString location;

    bool isEmpty() const { return name.trimmed().isEmpty(); }
    // How lists name it: "name / serial number", or the name alone.
    QString label() const { return serial.isEmpty() ? name : name + QLatin1String(" / ") + serial; }
};

// A reference value of one winding, tapping and phase of an object (its own
// header, so that the analysis reads and judges them below the store).
using BaselineEntry = analysis::BaselineEntry;

struct Row {
    qint64 id = 0;  // 0: not kept
    QStringList cells;
    QByteArray trace;  // the finished test's readings, as the window encoded them; empty: none
    std::optional<bool> settled;  // whether the reading had settled when the test ended; none: not known
    qint64 object = 0;  // the object under test; 0: none named
};

struct SessionSummary {
    qint64 id = 0;
    TableKind kind = TableKind::DcResults;
    QDateTime started;  // local time of its first row
    QDateTime closed;   // invalid while the session is current
    int rowCount = 0;
    TestObject object;  // the object its first row was measured on; empty: none named
};

struct StoreOptions {
    int busyTimeoutMs = 250;  // how long to wait for a database another program has locked
    int maxPageCount = 0;     // 0: no limit; tests set one to fill the "disk"
    // Only reads an existing database of this program's schema, never writes
    // to it (the command-line program's history); every change is a no-op.
    // It reads while the window writes: each read sees the rows committed before it.
    bool readOnly = false;
};

// Why results are not being kept.
enum class Problem { None, Locked, Damaged, Newer, Unwritable };

class ResultStore
{
public:
    // results.sqlite in the application's data folder.
    static QString defaultPath();
    // Deletes a database with its journal files; for tests and demonstrations.
    static void removeFiles(const QString& path);

    explicit ResultStore(const QString& path, const StoreOptions& options = StoreOptions());
    ~ResultStore();
    ResultStore(const ResultStore&) = delete;
    ResultStore& operator=(const ResultStore&) = delete;

    bool isKeeping() const { return keeping; }
    QString failure() const { return failureText; }  // for the log; empty while keeping
    Problem problem() const { return trouble; }
    // A store that stopped keeping opens its database afresh; true when it keeps again.
    bool retry();
    QString path() const { return databasePath; }

    // The id of the kept row, 0 when results are not being kept. The row, its
    // trace and whether its reading had settled are kept in one transaction.
    // A row appended to a table whose current session is new opens that
    // session for its object.
    qint64 appendRow(TableKind kind, const QStringList& cells, const QByteArray& trace = QByteArray(),
                     std::optional<bool> settled = std::nullopt, qint64 object = 0);
    void deleteRows(const QList<qint64>& rowIds);
    void clearTable(TableKind kind);
    // Closes the current session of the kind and opens one holding these rows.
    QList<qint64> replaceCurrentSession(TableKind kind, const QList<QStringList>& rows);
    // The same in parts, for an import too long to keep in one call: the new
    // session is out of sight (neither current nor in the history) while its
    // rows are added, one transaction per call, and replaces the current one
    // at the end. A session never made current is dropped, at the latest when
    // the store is opened next.
    qint64 beginHiddenSession(TableKind kind);
    bool appendRows(qint64 hiddenSession, const QList<QStringList>& rows);
    void makeCurrent(qint64 hiddenSession);
    void dropHiddenSession(qint64 hiddenSession);

    QList<Row> currentRows(TableKind kind) const;
    // Closed sessions that hold rows, newest first.
    QList<SessionSummary> earlierSessions() const;
    // The UUIDs of every session kept, current, earlier or hidden: those the
    // team's server holds of this computer.
    QSet<QString> sessionUuids() const;
    // The rows of any session, current or earlier.
    QList<Row> sessionRows(qint64 sessionId) const { return keeping ? rowsOf(sessionId) : QList<Row>(); }
    // Makes an earlier session its table's current one again; the session it
    // replaces is closed. Returns the rows now current, empty when unknown.
    QList<Row> reopenSession(qint64 sessionId, TableKind* kind = nullptr);

    // --- objects under test and their reference values (resultstore_objects.cpp)

    // The id of the object with these texts (trimmed), kept now when new;
    // marks it as the one used last. 0 for an empty name or when not keeping.
    qint64 objectId(const TestObject& object);
    // Every object kept, the one used last first.
    QList<TestObject> testObjects() const;
    TestObject testObject(qint64 id) const;
    QList<BaselineEntry> baseline(qint64 object) const;
    // Replaces the object's reference values with these, in one transaction;
    // a later entry of the same winding, tapping and phase replaces an earlier.
    bool setBaseline(qint64 object, const QList<BaselineEntry>& entries);

    // The instrument (its serial number) that sessions opened from now on were measured with.
    void setInstrument(const QString& instrument) { instrumentName = instrument; }

    static constexpr int kSchemaVersion = 5;

private:
    struct RowStatements;

    // Result rows flush each commit; the parts of a hidden import leave it to its last.
    enum class Flush { EachCommit, Batched };

    bool open(const StoreOptions& options);
    bool lockForWriting(int timeoutMs);
    bool readsBack();
    void closeDatabase();
    QSqlDatabase database() const;
    bool exec(const QString& statement) const;
    bool run(QSqlQuery& query) const;
    bool flushing(Flush flush);
    bool transact(const std::function<bool()>& work, Flush flush = Flush::EachCommit);
    qint64 currentSession(TableKind kind, bool create, qint64 object = 0);
    qint64 insertRow(RowStatements& statements, qint64 session, const QStringList& cells,
                     std::optional<bool> settled = std::nullopt, qint64 object = 0);
    bool insertTrace(qint64 row, const QByteArray& trace);
    void readTraces(qint64 session, QList<Row>& rows) const;
    bool closeSession(qint64 session);
    bool makeSessionCurrent(qint64 session, bool hidden, int* found);
    QList<Row> rowsOf(qint64 session) const;
    bool enqueue(OutboxEntry what, qint64 id);
    bool fail(const QString& what, const QString& detail, Problem problem = Problem::Unwritable) const;
    bool failQuery(const QSqlQuery& query) const;

    QString databasePath;
    QString connectionName;
    std::unique_ptr<QLockFile> writerLock;  // held while this store may write
    const StoreOptions storeOptions;
    mutable bool keeping = false;
    bool readOnly = false;  // opened with StoreOptions::readOnly: nothing is written
    mutable QString failureText;
    mutable Problem trouble = Problem::None;
    Flush flushed = Flush::EachCommit;  // the connection's setting now
    QString instrumentName;
};

}  // namespace store
