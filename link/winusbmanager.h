#pragma once
// The one link to the instrument: discovery, the connection with its bulk
// pipes, and every request the program sends. Lives in a thread of its own;
// the window drives it by queued signals. informUpperClose, stopCirculation
// and keyUnlock are also safe to call directly from another thread, and so are
// beginClose and abandonTransfers, which end a session without waiting out a
// stalled instrument.
//
// Two locks: the command lock serialises whole commands and guards the stored
// count (the stop flag is atomic, so stopping never waits for a command); the transfer lock is held for the whole wait of
// every transfer, so no two waits overlap. Order: command lock, then transfer
// lock, never the reverse.

#include <QByteArray>
#include <QMutex>
#include <QWaitCondition>
#include <QObject>
#include <QString>
#include <QStringList>

class QTimer;

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "link/linktiming.h"
#include "link/protocol.h"
#include "link/statuscodes.h"
#include "link/transport.h"

class WinUSBManager : public QObject {
    Q_OBJECT

public:
    // Uses this platform's backends; simulator sockets are looked for in
    // <runtime location>/resistance-tester.
    explicit WinUSBManager(QObject* parent = nullptr);
    // Where simulator sockets are looked for; empty (none) without a runtime
    // folder, and on Windows, which has no socket backend.
    static QString simulatorSocketFolder();
    WinUSBManager(std::unique_ptr<transport::Transport> transport, const LinkTiming& timing,
                  QObject* parent = nullptr);
    ~WinUSBManager() override;

    // Ends the watch of the connection; in the thread the link lives in.
    void stopWatchingConnection();

    // The enumeration itself; empty when nothing is found.
    QStringList getDevicePaths();

    // The session ends: polls are no longer taken, and the pauses of the link
    // end at once, so that what is queued (letting the instrument go) runs
    // without delay. Any thread.
    void beginClose();
    // Cancels the transfer in flight and every later one as it starts, and
    // gives up retries: the link's thread runs through its queue at once.
    // For the end of a session only. Any thread.
    void abandonTransfers();
    // How long a closing session waits for the link's queue before abandoning.
    std::uint32_t closeGraceMs() const { return timing.closeGraceMs; }

    // Wrong-kind answers one read may skip before it counts as failed, so that
    // an instrument repeating the wrong answer cannot hold the link for ever.
    static constexpr int kMaxDiscardedAnswers = 64;

signals:
    void detectedDeviceSignal(QStringList paths);
    void finishUsbDetection(bool usbResult);
    void upperSwitchOnSignal();
    void finishReadRealTime(const std::vector<unsigned char>& data);
    void finishReadStorageNumSignal(int totalNum);
    void finishReadReadBack(const std::vector<unsigned char>& data, int readedNum);
    void stateProcessing(QString logMessage, int errorType);  // errorType: a linkstatus::Code
    // A stored-record read-out has ended, however: all read, stopped or failed.
    // readedNum counts the records taken, the last one's fate aside.
    void readBackEnded(int readedNum);
    // The connected instrument has gone (unplugged, switched off, its simulator
    // ended), seen by watching the connection between requests; the link is
    // dropped as after a failed transfer.
    void connectionLost();

public slots:
    void detectDevice();
    void connectUsb(QString path);
    void disConnect();

    void changeReadType(int type);
    void stopCirculation(bool stop);
    void startTesting(bool isLengthTest);
    void stopTesting(bool isLengthTest);
    void updateTestSetting(QByteArray data);
    void keyLock();
    void keyUnlock();
    void informUpperOpen();
    void informUpperClose();
    void readStoreTotalNum();
    void readReadBackData();
    void cancelUiUpdate();
    void readRealTimeData();

private:
    enum class AckOutcome { Accepted, Refused, NoAnswer };
    using AnswerTest = bool (*)(const std::uint8_t* data, std::size_t size);

    // Connection steps and transfers.
    bool initializeWinUsb();
    bool queryDeviceEndpoints();
    bool writeData(const unsigned char* data, std::uint32_t length, const QString& errorMessage,
                   std::uint32_t timeout);
    bool readData(unsigned char* buffer, std::uint32_t* received, const QString& errorMessage,
                  std::uint32_t timeout);
    bool waitForTransfer(transport::Transfer* transfer, std::uint32_t* transferred,
                         const QString& errorMessage, std::uint32_t timeout, bool isRead);
    bool flushInPipe();
    void pause(std::uint32_t ms);  // ends early once the session closes
    void setInFlight(transport::Transfer* transfer);
    void cancelPendingIo();
    void sendWakeUpFrame();
    void releaseInterfaceLocked();  // under transferLock
    void dropLink();
    void watchConnection();

    // Command helpers.
    bool checkConnected();
    bool writeRequest(const std::vector<std::uint8_t>& request, const QString& m);
    bool sendRequest(const std::vector<std::uint8_t>& request, const QString& m);
    bool readAnswer(AnswerTest accept, const QString& m, std::vector<std::uint8_t>* answer);
    bool skipAnswer(int* discarded, const QString& m);
    AckOutcome readAcknowledge(const QString& m);
    void acknowledgedRequest(const std::vector<std::uint8_t>& request, const QString& m,
                             const QString& acceptedText, const QString& refusedText,
                             linkstatus::Code refusedCode);
    int readOut();
    bool readBackBatch(int* readedNum, int end, const QString& m);
    void judgePoll(const unsigned char* answer, std::uint32_t size, const QString& m);
    void reportNotice();

    std::uint8_t readType = 0x00;  // parameter of every real-time request
    bool readingOut = false;       // a read-out's reads do not signal upperSwitchOnSignal
    int storedCount = 0;          // guarded by commandLock
    QMutex commandLock;           // serialises whole commands; guards storedCount
    int badPollCounter = 0;
    // Set from any thread without a lock: a caller is never held by a command.
    std::atomic<bool> stopFlag{false};
    int retryLimit = 5;
    int readLength = int(protocol::kReadLength);  // offered to every read
    std::atomic<bool> deviceOpen{false};      // the device file handle is valid
    std::atomic<bool> interfaceBound{false};  // the interface handle is valid: connected
    std::atomic<std::uint8_t> bulkInPipe{0};
    std::atomic<std::uint8_t> bulkOutPipe{0};
    QMutex transferLock;  // held for the whole wait of a transfer; guards pendingTransfers
    std::vector<transport::Transfer*> pendingTransfers;
    // The end of the session; both only ever go from false to true.
    QMutex closeLock;  // guards inFlight and the wake-up of pauses; never held for a wait
    QWaitCondition closeBegun;
    std::atomic<bool> closing{false};
    std::atomic<bool> abandoned{false};
    transport::Transfer* inFlight = nullptr;  // the transfer being waited for

    std::unique_ptr<transport::Transport> transport;
    LinkTiming timing;
    QTimer* connectionWatch;  // runs in the link's thread while connected
};
