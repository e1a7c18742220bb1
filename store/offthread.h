#pragma once
// Work that may wait on the network, done on a thread of its own: its result
// reaches `done` on the receiver's thread, or nowhere when the receiver is
// gone by then. Nobody waits for the thread; it ends by itself.

#include <QObject>
#include <QThread>

#include <functional>
#include <memory>

namespace store {

template <typename Result>
void runOffThread(QObject* receiver, std::function<Result()> work, std::function<void(const Result&)> done)
{
    auto result = std::make_shared<Result>();
    QThread* worker = QThread::create([result, work = std::move(work)] { *result = work(); });
    QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    QObject::connect(worker, &QThread::finished, receiver, [result, done = std::move(done)] { done(*result); });
    worker->start();
}

}  // namespace store
