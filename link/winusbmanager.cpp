#include "link/winusbmanager.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QMutexLocker>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <array>

#include "link/protocol.h"
#if !defined(_WIN32)
#include "link/sockettransport.h"
#endif

namespace {

constexpr int kBadPollsBeforeReport = 3;

// A whole read buffer; the largest answer is 63 bytes.
using ReadBuffer = std::array<unsigned char, protocol::kReadLength>;

std::vector<unsigned char> toVector(const unsigned char* data, std::size_t size)
{
    return std::vector<unsigned char>(data, data + size);
}

}  // namespace

QString WinUSBManager::simulatorSocketFolder()
{
#if defined(_WIN32)
    return QString();
#else
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        return QString();
    return runtime + QLatin1Char('/') + QLatin1String(SocketTransport::kRuntimeFolderName);
#endif
}

WinUSBManager::WinUSBManager(QObject* parent)
    : WinUSBManager(transport::createPlatformTransport(simulatorSocketFolder().toStdString()), LinkTiming{},
                    parent)
{
}

WinUSBManager::WinUSBManager(std::unique_ptr<transport::Transport> transport_,
                             const LinkTiming& timing_, QObject* parent)
    : QObject(parent), transport(std::move(transport_)), timing(timing_), connectionWatch(new QTimer(this))
{
    static_assert(protocol::kReadLength >= protocol::kRecordSize, "a read must hold a record");
    connectionWatch->setInterval(int(timing.watchPeriodMs));
    connect(connectionWatch, &QTimer::timeout, this, &WinUSBManager::watchConnection);
}

WinUSBManager::~WinUSBManager() = default;

// ---------------------------------------------------------------- discovery

QStringList WinUSBManager::getDevicePaths()
{
    QStringList paths;
    for (const std::string& path : transport->devicePaths()) {
        // A path is handed back to connectUsb as text: a name that is not
        // valid UTF-8 would come back as other bytes and could not be opened.
        const QString text = QString::fromStdString(path);
        if (text.toStdString() == path)
            paths << text;
        else
            qWarning().noquote() << "Device path is not valid UTF-8, not offered:" << text;
    }
    return paths;
}

void WinUSBManager::detectDevice()
{
    const QStringList paths = getDevicePaths();
    if (!paths.isEmpty()) {
        reportNotice();
        emit detectedDeviceSignal(paths);
        return;
    }
    // With nothing found, the notice says why an instrument may be missing.
    QString message = tr("未检测到任何设备");
    const QString notice = QString::fromStdString(transport->notice());
    if (!notice.isEmpty()) {
        qWarning().noquote() << notice;
        message += QLatin1Char(' ') + notice;
    }
    emit stateProcessing(message, linkstatus::Information);
}

// ---------------------------------------------------------------- connection

void WinUSBManager::connectUsb(QString path)
{
    disConnect();

    if (!transport->openDevice(path.toStdString())) {
        reportNotice();
        emit finishUsbDetection(false);
        return;
    }
    if (!initializeWinUsb()) {
        qWarning().noquote().nospace() << "WinUsb_Initialize failed: " << transport->lastError();
        transport->closeDevice();
        emit finishUsbDetection(false);
        return;
    }
    deviceOpen = true;
    interfaceBound = true;

    if (queryDeviceEndpoints()) {
        connectionWatch->start();
        emit finishUsbDetection(true);
    } else {
        disConnect();
    }
}

void WinUSBManager::reportNotice()
{
    const QString notice = QString::fromStdString(transport->notice());
    if (notice.isEmpty())
        return;
    qWarning().noquote() << notice;
    emit stateProcessing(notice, linkstatus::Information);
}

bool WinUSBManager::initializeWinUsb()
{
    return transport->bindInterface();
}

bool WinUSBManager::queryDeviceEndpoints()
{
    if (!interfaceBound)
        return false;

    int count = 0;
    if (!transport->queryEndpointCount(&count)) {
        qWarning().noquote().nospace() << "WinUsb_QueryInterfaceSettings failed: "
                                       << transport->lastError();
        return false;
    }
    for (int index = 0; index < count; ++index) {
        transport::PipeInfo pipe;
        if (!transport->queryPipe(index, &pipe))
            continue;
        const int id = pipe.id;
        switch (pipe.type) {
        case transport::PipeType::Control:
            qDebug().noquote().nospace() << "Control Pipe ID: " << id;
            break;
        case transport::PipeType::Isochronous:
            qDebug().noquote().nospace() << "Isochronous Pipe ID: " << id;
            break;
        case transport::PipeType::Bulk:
            if (pipe.id & 0x80) {
                qDebug().noquote().nospace() << "Bulk In Pipe ID: " << id;
                bulkInPipe = pipe.id;
            } else {
                qDebug().noquote().nospace() << "Bulk Out Pipe ID: " << id;
                bulkOutPipe = pipe.id;
            }
            break;
        case transport::PipeType::Interrupt:
            qDebug().noquote().nospace() << "Interrupt Pipe ID: " << id;
            break;
        }
    }
    return true;
}

void WinUSBManager::disConnect()
{
    bool closed = false;
    {
        // Never release or close under a transfer that another thread is waiting for.
        QMutexLocker locker(&transferLock);
        releaseInterfaceLocked();
        if (deviceOpen) {
            if (!transport->closeDevice())
                qDebug() << transport->lastError();
            deviceOpen = false;
            closed = true;
        }
    }
    if (closed)
        emit finishUsbDetection(false);
}

void WinUSBManager::releaseInterfaceLocked()
{
    if (!interfaceBound)
        return;
    if (!transport->releaseInterface())
        qDebug() << transport->lastError();
    interfaceBound = false;
}

void WinUSBManager::dropLink()
{
    // The file stays open until the next disConnect or connectUsb: half-open.
    QMutexLocker locker(&transferLock);
    releaseInterfaceLocked();
}

void WinUSBManager::stopWatchingConnection()
{
    connectionWatch->stop();
}

// Between two commands of the link's thread: the transport looks without a
// request, so the instrument is not asked for anything more (a page without
// polling, the stored-data page, learns of a vanished instrument too).
void WinUSBManager::watchConnection()
{
    if (!interfaceBound) {
        connectionWatch->stop();
        return;
    }
    if (!transport->deviceGone())
        return;
    qWarning() << "The instrument has gone";
    connectionWatch->stop();
    dropLink();
    emit connectionLost();
}

// ---------------------------------------------------------------- transfers

bool WinUSBManager::writeData(const unsigned char* data, std::uint32_t length,
                              const QString& errorMessage, std::uint32_t timeout)
{
    // The transfer owns a copy until it is finished, so a cancelled write can
    // never read from a caller's buffer that has gone.
    std::vector<std::uint8_t> buffer(data, data + length);
    transport::Transfer* transfer = transport->startTransfer(bulkOutPipe, buffer.data(), length);
    if (!transfer) {
        emit stateProcessing(errorMessage, linkstatus::LinkFailed);
        return false;
    }
    std::uint32_t transferred = 0;
    return waitForTransfer(transfer, &transferred, errorMessage, timeout, false);
}

bool WinUSBManager::readData(unsigned char* buffer, std::uint32_t* received,
                             const QString& errorMessage, std::uint32_t timeout)
{
    *received = 0;
    transport::Transfer* transfer =
        transport->startTransfer(bulkInPipe, buffer, static_cast<std::uint32_t>(readLength));
    if (!transfer) {
        emit stateProcessing(errorMessage, linkstatus::LinkFailed);
        return false;
    }
    return waitForTransfer(transfer, received, errorMessage, timeout, true);
}

bool WinUSBManager::waitForTransfer(transport::Transfer* transfer, std::uint32_t* transferred,
                                    const QString& errorMessage, std::uint32_t timeout, bool isRead)
{
    bool ok = false;
    {
        QMutexLocker locker(&transferLock);
        pendingTransfers.push_back(transfer);
        setInFlight(transfer);
        if (transport->waitTransfer(transfer, timeout) == transport::WaitResult::Completed)
            ok = transport->transferResult(transfer, transferred);
        else
            transport->cancelTransfer(transfer);
        setInFlight(nullptr);
        pendingTransfers.erase(std::remove(pendingTransfers.begin(), pendingTransfers.end(), transfer),
                               pendingTransfers.end());
        // Returns only once the platform has let go of the buffer, cancelled or not.
        transport->finishTransfer(transfer);
    }
    // Told after the lock is released: a caller in the window's thread runs
    // its receivers directly, and they must not run under the transfer lock.
    if (!ok)
        emit stateProcessing(errorMessage, linkstatus::LinkFailed);
    else if (isRead && !readingOut)
        emit upperSwitchOnSignal();
    return ok;
}

// A transfer registered after the transfers were abandoned is cancelled at
// once; one registered before is cancelled by abandonTransfers.
void WinUSBManager::setInFlight(transport::Transfer* transfer)
{
    QMutexLocker locker(&closeLock);
    inFlight = transfer;
    if (transfer && abandoned)
        transport->cancelTransfer(transfer);
}

void WinUSBManager::abandonTransfers()
{
    QMutexLocker locker(&closeLock);
    abandoned = true;
    if (inFlight)
        transport->cancelTransfer(inFlight);
}

void WinUSBManager::beginClose()
{
    QMutexLocker locker(&closeLock);
    closing = true;
    closeBegun.wakeAll();
}

void WinUSBManager::pause(std::uint32_t ms)
{
    QDeadlineTimer deadline(ms);
    QMutexLocker locker(&closeLock);
    while (!closing && closeBegun.wait(&closeLock, deadline)) {
        // woken without a close: wait on until the deadline
    }
}

bool WinUSBManager::flushInPipe()
{
    if (!transport->flushPipe(bulkInPipe)) {
        qDebug() << "1";
        return false;
    }
    pause(timing.flushPauseMs);
    return true;
}

void WinUSBManager::cancelPendingIo()
{
    QMutexLocker locker(&transferLock);
    if (!interfaceBound) {
        emit stateProcessing(tr("设备未连接"), linkstatus::LinkFailed);
        return;
    }
    // Every transfer unregisters itself before it lets go of the lock, so this
    // normally finds nothing. A transfer found here is only cancelled: its
    // owner still finishes it, so the block is never freed twice.
    for (transport::Transfer* transfer : pendingTransfers)
        transport->cancelTransfer(transfer);
    pendingTransfers.clear();
}

void WinUSBManager::sendWakeUpFrame()
{
    if (!interfaceBound) {
        emit stateProcessing(tr("设备未连接"), linkstatus::LinkFailed);
        return;
    }
    const protocol::Bytes wakeUp = protocol::wakeUpBytes();
    transport->writeSync(bulkOutPipe, wakeUp.data(), static_cast<std::uint32_t>(wakeUp.size()),
                         timing.transferTimeoutMs);
}

// ---------------------------------------------------------------- command helpers

bool WinUSBManager::checkConnected()
{
    if (interfaceBound)
        return true;
    emit stateProcessing(tr("设备未连接"), linkstatus::LinkFailed);
    return false;
}

bool WinUSBManager::writeRequest(const std::vector<std::uint8_t>& request, const QString& m)
{
    return writeData(request.data(), static_cast<std::uint32_t>(request.size()), m,
                     timing.transferTimeoutMs);
}

// A failed write has been told by its transfer; the operation tells it once more.
bool WinUSBManager::sendRequest(const std::vector<std::uint8_t>& request, const QString& m)
{
    if (writeRequest(request, m))
        return true;
    emit stateProcessing(m, linkstatus::LinkFailed);
    return false;
}

// Reads until an answer passes accept. A failed read is retried up to the
// retry limit, each failure reported by its transfer, then (m, 4) once more.
// Answers of another kind are skipped without counting an attempt, but only
// so many of them.
bool WinUSBManager::readAnswer(AnswerTest accept, const QString& m, std::vector<std::uint8_t>* answer)
{
    int attempts = 0;
    int discarded = 0;
    ReadBuffer buffer;
    for (;;) {
        std::uint32_t received = 0;
        if (readData(buffer.data(), &received, m, timing.transferTimeoutMs)) {
            if (accept(buffer.data(), received)) {
                *answer = toVector(buffer.data(), received);
                return true;
            }
            if (!skipAnswer(&discarded, m))
                return false;
            continue;
        }
        if (attempts < retryLimit && !abandoned) {
            ++attempts;
            pause(timing.retryPauseMs);
            continue;
        }
        emit stateProcessing(m, linkstatus::LinkFailed);
        return false;
    }
}

// Counts one answer of another kind; past the limit the read is given up as a
// link failure (m, 4).
bool WinUSBManager::skipAnswer(int* discarded, const QString& m)
{
    if (++*discarded <= kMaxDiscardedAnswers)
        return true;
    qWarning() << "too many answers of another kind; giving up the read";
    emit stateProcessing(m, linkstatus::LinkFailed);
    return false;
}

WinUSBManager::AckOutcome WinUSBManager::readAcknowledge(const QString& m)
{
    std::vector<std::uint8_t> answer;
    if (!readAnswer(protocol::isAcknowledge, m, &answer))
        return AckOutcome::NoAnswer;
    return protocol::acknowledgeAccepts(answer.data(), answer.size()) ? AckOutcome::Accepted
                                                                      : AckOutcome::Refused;
}

void WinUSBManager::acknowledgedRequest(const std::vector<std::uint8_t>& request, const QString& m,
                                        const QString& acceptedText, const QString& refusedText,
                                        linkstatus::Code refusedCode)
{
    if (!checkConnected() || !sendRequest(request, m))
        return;
    switch (readAcknowledge(m)) {
    case AckOutcome::Accepted:
        emit stateProcessing(acceptedText, linkstatus::Information);
        break;
    case AckOutcome::Refused:
        emit stateProcessing(refusedText, refusedCode);
        break;
    case AckOutcome::NoAnswer:
        // Already told as a link failure; an unanswered request is no refusal.
        break;
    }
}

// ---------------------------------------------------------------- commands

void WinUSBManager::changeReadType(int type)
{
    protocol::readTypeByte(type, &readType);
}

void WinUSBManager::stopCirculation(bool stop)
{
    stopFlag = stop;
}

void WinUSBManager::startTesting(bool isLengthTest)
{
    QMutexLocker locker(&commandLock);
    const QString m = tr("请求开始测试失败");
    acknowledgedRequest(protocol::buildStartTestRequest(isLengthTest), m, tr("请求开始测试成功"), m,
                        linkstatus::RequestRefused);
}

void WinUSBManager::stopTesting(bool isLengthTest)
{
    QMutexLocker locker(&commandLock);
    const QString m = tr("请求停止测试失败");
    acknowledgedRequest(protocol::buildStopTestRequest(isLengthTest), m, tr("请求停止测试成功"), m,
                        linkstatus::RequestRefused);
}

void WinUSBManager::updateTestSetting(QByteArray data)
{
    if (data.isEmpty())
        return;
    QMutexLocker locker(&commandLock);
    const std::vector<std::uint8_t> request(data.begin(), data.end());
    acknowledgedRequest(request, tr("更新测量设置失败。"), tr("更新测量设置成功"),
                        tr("更新测量设置失败。电量为两格时不能设置2A以上挡位，为1格时不能设置400mA以上挡位。"),
                        linkstatus::RequestRefused);
}

void WinUSBManager::keyLock()
{
    const QString m = tr("请求按键锁失败");
    acknowledgedRequest(protocol::buildKeyLockRequest(), m, tr("请求按键锁成功"), m, linkstatus::StoredDataFailed);
}

void WinUSBManager::keyUnlock()
{
    if (checkConnected())
        writeRequest(protocol::buildKeyUnlockRequest(), QString());
}

void WinUSBManager::informUpperOpen()
{
    if (!checkConnected())
        return;
    sendWakeUpFrame();
    pause(timing.wakeUpPauseMs);
    writeRequest(protocol::buildUpperOpenRequest(), QString());
}

void WinUSBManager::informUpperClose()
{
    if (checkConnected())
        writeRequest(protocol::buildUpperCloseRequest(), QString());
}

void WinUSBManager::readStoreTotalNum()
{
    QMutexLocker locker(&commandLock);
    if (!checkConnected())
        return;
    const QString m = tr("读取存储数据失败");
    if (!sendRequest(protocol::buildStoredCountRequest(), m))
        return;
    std::vector<std::uint8_t> answer;
    if (!readAnswer(protocol::isStoredCountAnswer, m, &answer))
        return;
    if (!protocol::storedCountValid(answer.data(), answer.size())) {
        emit stateProcessing(m, linkstatus::StoredDataFailed);
        return;
    }
    storedCount = protocol::storedCount(answer.data());
    if (storedCount == 0)
        emit stateProcessing(tr("无存储数据"), linkstatus::StoredDataFailed);
    else if (storedCount <= protocol::kMaxStoredRecords)
        emit finishReadStorageNumSignal(storedCount);
    else
        emit stateProcessing(m, linkstatus::StoredDataFailed);  // more than the instrument can hold: not a usable count
}

void WinUSBManager::readReadBackData()
{
    // The count's answer before the read-out has told that the instrument
    // answers; its thousands of records need not tell it again, each a call
    // into the window's thread.
    readingOut = true;
    const int taken = readOut();
    readingOut = false;
    emit readBackEnded(taken);
}

// The read-out itself; returns the number of records taken.
int WinUSBManager::readOut()
{
    if (!checkConnected())
        return 0;
    const QString m = tr("读取存储数据失败");
    int readedNum = 0;
    int nextFirst = 1;
    for (;;) {
        int count = 0;
        {
            QMutexLocker locker(&commandLock);
            if (readedNum >= storedCount || stopFlag)
                return readedNum;
            count = storedCount;
        }
        const int batch = std::min(count - readedNum, protocol::kReadBackBatch);
        if (!sendRequest(protocol::buildReadBackRequest(nextFirst, batch), m))
            return readedNum;
        const int before = readedNum;
        const bool batchRead = readBackBatch(&readedNum, readedNum + batch, m);
        // A batch that failed without a single record means the instrument has
        // stopped answering; asking again would repeat the failure for ever.
        if (!batchRead && readedNum == before)
            return readedNum;
        nextFirst = readedNum + 1;
    }
}

// Reads the records of one batch; false when a read failed (already reported).
bool WinUSBManager::readBackBatch(int* readedNum, int end, const QString& m)
{
    ReadBuffer buffer;
    int discarded = 0;
    for (;;) {
        if (*readedNum >= end || stopFlag)
            return true;
        std::uint32_t received = 0;
        if (!readData(buffer.data(), &received, m, timing.transferTimeoutMs)) {
            emit stateProcessing(m, linkstatus::LinkFailed);
            return false;
        }
        if (!protocol::isStoredRecord(buffer.data(), received)) {
            if (!skipAnswer(&discarded, m))
                return false;
            continue;
        }
        discarded = 0;
        ++*readedNum;
        if (protocol::storedRecordNumber(buffer.data()) == *readedNum)
            emit finishReadReadBack(toVector(buffer.data(), received), *readedNum);
        else
            emit stateProcessing(tr("读取第%1组数据失败").arg(*readedNum), linkstatus::Information);
    }
}

void WinUSBManager::cancelUiUpdate()
{
    QMutexLocker locker(&commandLock);
    if (!checkConnected())
        return;
    const QString m = tr("读取实时数据失败");
    if (!sendRequest(protocol::buildRealTimeRequest(readType), m))
        return;
    std::vector<std::uint8_t> answer;
    if (readAnswer(protocol::isRealTimeRecord, m, &answer))
        emit finishReadRealTime(answer);
}

void WinUSBManager::readRealTimeData()
{
    QMutexLocker locker(&commandLock);
    if (closing || !checkConnected())
        return;
    cancelPendingIo();
    flushInPipe();

    const QString m = tr("读取实时数据失败");
    if (!writeRequest(protocol::buildRealTimeRequest(readType), m)) {
        dropLink();
        emit stateProcessing(m, linkstatus::LinkFailed);
        return;
    }
    pause(timing.pollPauseMs);

    ReadBuffer buffer;
    std::uint32_t received = 0;
    if (!readData(buffer.data(), &received, m, timing.transferTimeoutMs)) {
        cancelPendingIo();
        dropLink();
        emit stateProcessing(m, linkstatus::LinkFailed);
        return;
    }
    judgePoll(buffer.data(), received, m);
}

void WinUSBManager::judgePoll(const unsigned char* answer, std::uint32_t size, const QString& m)
{
    if (protocol::isRealTimeRecord(answer, size)) {
        emit finishReadRealTime(toVector(answer, size));
        if (badPollCounter != 0) {
            emit stateProcessing(QString(), linkstatus::Information);
            badPollCounter = 0;
        }
        return;
    }
    ++badPollCounter;
    if (badPollCounter < kBadPollsBeforeReport)
        return;
    const bool refused = protocol::isAcknowledge(answer, size) && !protocol::acknowledgeAccepts(answer, size);
    emit stateProcessing(refused ? tr("设备处在非测试界面，读取实时数据失败！") : m, linkstatus::ReadingFailed);
}
