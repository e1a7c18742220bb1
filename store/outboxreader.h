#pragma once
// The team pusher's own connection to the local results store: it reads the
// outbox (outbox.h) into batches and removes what the server has committed.
// It opens the database only when it exists at this program's schema and
// never takes the store's writer lock: the window keeps writing meanwhile.

#include "store/resultstore.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace store {

struct PushObject {
    QString uuid, name, serial, location;
};
struct PushSession {
    QString uuid;
    int kind = 0;
    qint64 startedMs = 0;
    QString instrument;
    QString object;  // uuid; empty: none
};
struct PushRow {
    QString uuid, session;
    qint64 position = 0;  // orders the rows of a session
    QStringList cells;
    std::optional<bool> settled;
    QString object;
    QByteArray trace;
};
struct PushEvent {
    QString uuid, session;
    bool closed = true;  // false: reopened
    qint64 atMs = 0;
};
struct PushDeletion {
    QString row;
    qint64 atMs = 0;
};
struct PushBaseline {
    QString uuid, object;
    qint64 atMs = 0;
    QList<BaselineEntry> entries;
};

// What a run of outbox entries puts on the server. The objects and sessions
// that rows refer to are included; nothing is listed twice.
struct PushBatch {
    qint64 lastSeq = 0;  // the last entry read
    int entries = 0;
    QList<PushObject> objects;
    QList<PushSession> sessions;
    QList<PushRow> rows;
    QList<PushEvent> events;
    QList<PushDeletion> deletions;
    QList<PushBaseline> baselines;
};

class OutboxReader
{
public:
    explicit OutboxReader(const QString& storePath);
    ~OutboxReader();
    OutboxReader(const OutboxReader&) = delete;
    OutboxReader& operator=(const OutboxReader&) = delete;

    // Entries waiting; -1 while the store cannot be read.
    int count();
    // Up to `maxEntries` entries, oldest first; false when the store cannot be read.
    bool read(int maxEntries, PushBatch* batch);
    // The entries up to `lastSeq` are on the server.
    bool remove(qint64 lastSeq);

private:
    class Reading;
    bool ensureOpen();
    void close();

    const QString path;
    const QString connectionName;
};

}  // namespace store
