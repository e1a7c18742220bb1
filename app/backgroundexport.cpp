#include "app/backgroundexport.h"

#include <QThread>

#include <atomic>

// What the writer's thread shares with the window's: set there, read here
// once the thread has finished (the counters also while it runs).
struct BackgroundExport::Run {
    QString path;
    std::atomic<bool> cancelled{false};
    std::atomic<int> done{0};
    std::atomic<int> total{0};
    bool written = false;
    QString error;
};

BackgroundExport::BackgroundExport(QObject* parent)
    : QObject(parent)
{
}

BackgroundExport::~BackgroundExport()
{
    if (!thread)
        return;
    cancel();
    thread->wait();
    delete thread;
}

bool BackgroundExport::start(const QString& path, Writer writer)
{
    if (isBusy())
        return false;
    auto shared = std::make_shared<Run>();
    shared->path = path;
    run = shared;
    thread = QThread::create([shared, writer = std::move(writer)] {
        const reports::WriteProgress progress = [&shared](int done, int total) {
            shared->done = done;
            shared->total = total;
            return !shared->cancelled;
        };
        shared->written = writer(shared->path, progress, &shared->error);
    });
    connect(thread, &QThread::finished, this, &BackgroundExport::end);
    thread->start();
    emit started();
    return true;
}

void BackgroundExport::cancel()
{
    if (run)
        run->cancelled = true;
}

int BackgroundExport::percent() const
{
    if (!run || run->total <= 0)
        return 0;
    return int(qint64(run->done) * 100 / run->total);
}

void BackgroundExport::end()
{
    thread->deleteLater();
    thread = nullptr;
    const std::shared_ptr<Run> ended = std::move(run);
    const bool cancelled = ended->cancelled && !ended->written;
    emit finished(ended->path, ended->written, cancelled, ended->error);
}
