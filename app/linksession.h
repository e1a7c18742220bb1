#pragma once
// The link to the instrument as the window uses it: the link worker
// (WinUSBManager) in its own thread, the decoder (ReceiveThread) in another,
// and the polling of the live reading. It owns both workers and their threads
// and ends them in order.

#include <QObject>

#include <atomic>

class QThread;
class QTimer;
class ReceiveThread;
class WinUSBManager;

class LinkSession : public QObject
{
    Q_OBJECT

public:
    // Takes the manager. The poll timer stays its parent's; each of its ticks
    // queues a poll of the live reading every pollIntervalMs.
    LinkSession(WinUSBManager* manager, QTimer* pollTimer, int pollIntervalMs, QObject* parent = nullptr);
    // The link's thread ends after the requests already queued to it, which
    // get the link's close grace; then a transfer still waiting is given up,
    // so that the close is not held by a stalled instrument.
    ~LinkSession() override;

    WinUSBManager* manager() const { return link; }
    ReceiveThread* decoder() const { return parser; }

    void startLinkThread();
    void startDecoderThread();
    void startPolling();  // both threads and the timer
    void stopPolling();
    bool isPolling() const;
    void setPollInterval(int ms);

    // Lets the instrument go after a read-out: the stop flag is set at once
    // (the read-out loop sees it between two records), the upper close and
    // the key unlock queue behind whatever the link is doing.
    void releaseInstrument();

private:
    void queuePoll();

    WinUSBManager* link;
    ReceiveThread* parser;
    QThread* linkThread;
    QThread* parserThread;
    QTimer* pollTimer;
    int pollIntervalMs;
    // A poll queued to the link and not yet started; ticks meanwhile queue nothing.
    std::atomic<bool> pollQueued{false};
};
