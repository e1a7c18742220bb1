#pragma once
// A link manager with spies on its signals, for the link's tests.

#include "link/settingsframes.h"
#include "link/winusbmanager.h"

#include <QCoreApplication>
#include <QSemaphore>
#include <QSignalSpy>
#include <QThread>

#include <functional>

namespace linktest {

using Bytes = protocol::Bytes;
using Report = QPair<QString, int>;

inline QString text(const char* utf8) { return QString::fromUtf8(utf8); }

// n link failures told with message
inline QList<Report> failures(int n, const char* message) { return QVector<Report>(n, Report(text(message), 4)).toList(); }

// The DC settings frame of a page left at its defaults, as the window sends it.
inline QByteArray settingsFrame()
{
    const Bytes frame = protocol::buildDcSettingsFrame(protocol::DcSettings{});
    return QByteArray(reinterpret_cast<const char*>(frame.data()), int(frame.size()));
}

// A manager over the given transport, with its waits shrunk, and spies.
template <typename T>
struct Link {
    explicit Link(std::unique_ptr<T> owned, LinkTiming timing = LinkTiming::scaled(0.01))
        : transport(owned.get()), manager(std::move(owned), timing)
    {
        qRegisterMetaType<std::vector<unsigned char>>("std::vector<unsigned char>");
    }
    // (message, code) of every status report since the last call.
    QList<Report> reports()
    {
        QList<Report> out;
        for (const QList<QVariant>& args : states)
            out << Report(args.at(0).toString(), args.at(1).toInt());
        states.clear();
        return out;
    }
    template <typename Value>
    static QList<Value> column(const QSignalSpy& spy, int index)
    {
        QList<Value> out;
        for (const QList<QVariant>& args : spy)
            out << args.at(index).value<Value>();
        return out;
    }

    // As during a read-out the window ends: the link's own thread runs
    // connect and reads the stored records out, and once three have arrived
    // this thread calls informUpperClose, stopCirculation and keyUnlock
    // directly. False when the read-out did not begin, or not end, in time.
    bool callDuringReadOut(const std::function<void()>& connect, int waitMs)
    {
        QSemaphore begun;
        const auto third = QObject::connect(&manager, &WinUSBManager::finishReadReadBack, &manager,
                                            [&begun](std::vector<unsigned char>, int readedNum) {
                                                if (readedNum == 3)
                                                    begun.release();
                                            }, Qt::DirectConnection);
        QThread thread;
        manager.moveToThread(&thread);
        thread.start();
        QMetaObject::invokeMethod(&manager, [this, connect] {
            connect();
            manager.readStoreTotalNum();
            manager.readReadBackData();
            manager.stopWatchingConnection();  // as the window's link session does before it lets the link go
            manager.moveToThread(QCoreApplication::instance()->thread());
        });
        const bool inTime = begun.tryAcquire(1, waitMs);
        // In the window's order: the stop first, then the two writes.
        manager.stopCirculation(true);
        manager.informUpperClose();
        manager.keyUnlock();
        thread.quit();
        const bool ended = thread.wait(2 * waitMs);
        QObject::disconnect(third);
        return inTime && ended;
    }

    T* transport;  // owned by the manager
    WinUSBManager manager;
    QSignalSpy states{&manager, &WinUSBManager::stateProcessing};
    QSignalSpy connected{&manager, &WinUSBManager::finishUsbDetection};
    QSignalSpy counts{&manager, &WinUSBManager::finishReadStorageNumSignal};
    QSignalSpy records{&manager, &WinUSBManager::finishReadReadBack};
};

}  // namespace linktest
