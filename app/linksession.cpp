#include "app/linksession.h"

#include "data/receivethread.h"
#include "link/winusbmanager.h"

#include <QThread>
#include <QTimer>

LinkSession::LinkSession(WinUSBManager* manager, QTimer* pollTimer, int pollIntervalMs, QObject* parent)
    : QObject(parent),
      link(manager),
      parser(new ReceiveThread),
      linkThread(new QThread),
      parserThread(new QThread),
      pollTimer(pollTimer),
      pollIntervalMs(pollIntervalMs)
{
    link->moveToThread(linkThread);
    parser->moveToThread(parserThread);
    // In the link's thread, which owns the watch's timer, as it ends.
    connect(linkThread, &QThread::finished, link, &WinUSBManager::stopWatchingConnection, Qt::DirectConnection);
    connect(pollTimer, &QTimer::timeout, this, &LinkSession::queuePoll);
    // The link's answers go to the decoder, thread to thread.
    connect(link, &WinUSBManager::finishReadRealTime, parser, &ReceiveThread::parseRealTimeData);
    connect(link, &WinUSBManager::finishReadReadBack, parser, &ReceiveThread::parseReadBackData);
    connect(link, &WinUSBManager::readBackEnded, parser, &ReceiveThread::endReadBack);
}

LinkSession::~LinkSession()
{
    pollTimer->stop();
    if (linkThread->isRunning()) {
        link->beginClose();
        QMetaObject::invokeMethod(link, [thread = linkThread] { thread->quit(); }, Qt::QueuedConnection);
        // What is queued gets a moment to reach the instrument; a stalled
        // instrument would otherwise hold the close for its transfers' time-outs.
        if (!linkThread->wait(link->closeGraceMs()))
            link->abandonTransfers();
    }
    parserThread->quit();
    linkThread->wait();
    parserThread->wait();
    delete linkThread;
    delete parserThread;
    delete link;
    delete parser;
}

void LinkSession::startLinkThread()
{
    if (!linkThread->isRunning())
        linkThread->start();
}

void LinkSession::startDecoderThread()
{
    if (!parserThread->isRunning())
        parserThread->start();
}

void LinkSession::startPolling()
{
    startLinkThread();
    if (!pollTimer->isActive())
        pollTimer->start(pollIntervalMs);
    startDecoderThread();
}

void LinkSession::stopPolling()
{
    pollTimer->stop();
}

bool LinkSession::isPolling() const
{
    return pollTimer->isActive();
}

void LinkSession::setPollInterval(int ms)
{
    pollIntervalMs = ms;
    pollTimer->setInterval(ms);
}

// A tick while a poll still waits in the link's queue adds nothing: at most
// one poll waits there, so a poll slower than the interval runs as often as
// its own waits allow and a command sent meanwhile queues behind one poll at
// most.
void LinkSession::queuePoll()
{
    if (pollQueued.exchange(true))
        return;
    QMetaObject::invokeMethod(link, [this] {
        pollQueued = false;
        link->readRealTimeData();
    }, Qt::QueuedConnection);
}

void LinkSession::releaseInstrument()
{
    link->stopCirculation(true);
    QMetaObject::invokeMethod(link, &WinUSBManager::informUpperClose, Qt::QueuedConnection);
    QMetaObject::invokeMethod(link, &WinUSBManager::keyUnlock, Qt::QueuedConnection);
}
