#include "store/teampusher.h"

#include "store/outboxreader.h"
#include "store/teamserver.h"

#include <QThread>
#include <QTimer>

namespace store {

// The pusher's work on its own thread: a single-shot timer drives it, so a
// push never overlaps another.
class PushWorker : public QObject
{
    Q_OBJECT
public:
    PushWorker(const QString& storePath, const QString& service, const PushTiming& timing)
        : storePath(storePath), service(service), timing(timing)
    {
    }

    void begin()
    {
        outbox = std::make_unique<OutboxReader>(storePath);
        server = std::make_unique<TeamServer>(service, timing.connectTimeoutS);
        timer = new QTimer(this);
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, this, &PushWorker::tick);
        timer->start(0);
    }

    void finish()
    {
        delete timer;
        timer = nullptr;
        server.reset();
        outbox.reset();
    }

signals:
    void waitingChanged(int count);
    void pushed();
    void problemChanged(const QString& message);
    void retryScheduled(int ms);

private:
    void tick()
    {
        const int waiting = outbox->count();
        report(waiting);
        if (waiting <= 0)
            return timer->start(timing.pollMs);
        if (server->connect() != TeamServer::State::Ready)
            return failed(server->message());
        PushBatch batch;
        if (!outbox->read(timing.batchEntries, &batch))
            return timer->start(timing.pollMs);  // the store is busy or gone: look again later
        if (!server->push(batch)) {
            server->close();
            return failed(server->message());
        }
        // Entries the server holds but the outbox keeps are sent again later, adding nothing.
        outbox->remove(batch.lastSeq);
        retryMs = 0;
        setProblem(QString());
        emit pushed();
        timer->start(0);
    }

    void failed(const QString& message)
    {
        setProblem(message);
        retryMs = retryMs == 0 ? timing.firstRetryMs : qMin(2 * retryMs, timing.maxRetryMs);
        emit retryScheduled(retryMs);
        timer->start(retryMs);
    }

    void report(int waiting)
    {
        if (waiting >= 0 && waiting != lastWaiting) {
            lastWaiting = waiting;
            emit waitingChanged(waiting);
        }
    }

    void setProblem(const QString& message)
    {
        if (message != problem) {
            problem = message;
            emit problemChanged(message);
        }
    }

    const QString storePath;
    const QString service;
    const PushTiming timing;
    std::unique_ptr<OutboxReader> outbox;
    std::unique_ptr<TeamServer> server;
    QTimer* timer = nullptr;
    int retryMs = 0;  // 0: not backing off
    int lastWaiting = -1;
    QString problem;
};

TeamPusher::TeamPusher(const QString& storePath, const QString& service, const PushTiming& timing, QObject* parent)
    : QObject(parent), storePath(storePath), serviceName(service), timing(timing)
{
}

TeamPusher::~TeamPusher()
{
    stop();
}

bool TeamPusher::isRunning() const
{
    return worker != nullptr;
}

void TeamPusher::start()
{
    if (worker || serviceName.isEmpty())
        return;
    thread = std::make_unique<QThread>();
    worker = new PushWorker(storePath, serviceName, timing);
    worker->moveToThread(thread.get());
    connect(worker, &PushWorker::waitingChanged, this, &TeamPusher::waitingChanged);
    connect(worker, &PushWorker::pushed, this, &TeamPusher::pushed);
    connect(worker, &PushWorker::problemChanged, this, &TeamPusher::problemChanged);
    connect(worker, &PushWorker::retryScheduled, this, &TeamPusher::retryScheduled);
    connect(thread.get(), &QThread::started, worker, &PushWorker::begin);
    thread->start();
}

void TeamPusher::stop()
{
    if (!worker)
        return;
    QMetaObject::invokeMethod(worker, &PushWorker::finish, Qt::BlockingQueuedConnection);
    thread->quit();
    thread->wait();
    delete worker;
    worker = nullptr;
    thread.reset();
}

QString TeamPusher::testConnection(const QString& service, int connectTimeoutS)
{
    TeamServer server(service, connectTimeoutS);
    server.connect(false);
    return server.message();
}

}  // namespace store

#include "teampusher.moc"
