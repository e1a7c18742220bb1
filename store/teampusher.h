#pragma once
// Pushes what the local results store keeps to the team's PostgreSQL server,
// in the background. The local store stays the source of truth: each change it
// keeps leaves an entry in its outbox in the same transaction, and the pusher
// sends the entries in order, a batch per server transaction, and removes them
// from the outbox only after the server has committed them. Every object,
// session, row and fact carries a UUID and the server ignores one it holds
// already, so a batch sent again after a failure adds nothing twice.
//
// The pusher works on a thread of its own with its own connections to the
// local store and to the server (the service is resolved by libpq through
// pg_service.conf or PGSERVICEFILE; passwords come from ~/.pgpass or
// PGPASSFILE, never from us). While the server cannot be reached or refuses
// the push it waits, twice as long after each failure, up to a minute.

#include <QObject>
#include <QString>

#include <memory>

class QThread;

namespace store {

class PushWorker;

// The pusher's waits; tests shrink them.
struct PushTiming {
    int pollMs = 1000;            // how often the outbox is looked at
    int firstRetryMs = 1000;      // the wait after a first failure
    int maxRetryMs = 60000;       // the longest wait
    int connectTimeoutS = 10;     // libpq's connect_timeout
    int batchEntries = 2000;      // outbox entries per server transaction
};

class TeamPusher : public QObject
{
    Q_OBJECT
public:
    TeamPusher(const QString& storePath, const QString& service, const PushTiming& timing = PushTiming(),
               QObject* parent = nullptr);
    ~TeamPusher() override;  // stops

    void start();
    // Waits for the push under way to end.
    void stop();
    bool isRunning() const;
    QString service() const { return serviceName; }

    // Tries the service once and says what it found, in the user's language:
    // whether it answered, logged in and holds a schema this program can use.
    // Blocks for at most the connect timeout; call it from a dialog.
    static QString testConnection(const QString& service, int connectTimeoutS = 10);

signals:
    // Entries left in the outbox, each time the number changes.
    void waitingChanged(int count);
    // A batch is on the server.
    void pushed();
    // Why pushing stopped, in the user's language; empty once it works again.
    void problemChanged(const QString& message);
    // A failure: the next attempt comes after this wait.
    void retryScheduled(int ms);

private:
    const QString storePath;
    const QString serviceName;
    const PushTiming timing;
    std::unique_ptr<QThread> thread;
    PushWorker* worker = nullptr;  // lives on the thread
};

}  // namespace store
