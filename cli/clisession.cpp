#include "cli/clisession.h"

#include "cli/clitexts.h"
#include "cli/stopsignals.h"
#include "link/statuscodes.h"

namespace cli {

CliSession::CliSession() : CliSession(std::make_unique<WinUSBManager>(), WinUSBManager::simulatorSocketFolder()) {}

CliSession::CliSession(std::unique_ptr<WinUSBManager> link_, QString socketFolder)
    : link(std::move(link_)), simulatorFolder(std::move(socketFolder))
{
    // The link's answers go straight to the decoder, in this thread.
    connect(link.get(), &WinUSBManager::finishReadRealTime, &decoder, &ReceiveThread::parseRealTimeData);
    connect(link.get(), &WinUSBManager::finishReadReadBack, &decoder, &ReceiveThread::parseReadBackData);
    connect(link.get(), &WinUSBManager::finishUsbDetection, this, [this](bool ok) { connected = ok; });
    connect(&decoder, &ReceiveThread::finishReadRealTimeData, this, [this](const ReceiveData& rd) { reading = rd; });
    connect(&decoder, &ReceiveThread::finishReadReadBackData, this, [this](const ReceiveData& rd, int number) {
        if (takeRecord)
            takeRecord(rd, number);
        if (stopRequested())
            link->stopCirculation(true);
    });
    const auto report = [this](const QString& message, int code) {
        if (code == linkstatus::LinkFailed)
            linkFailed = true;
        lastReport = {message, code};
    };
    connect(link.get(), &WinUSBManager::stateProcessing, this, report);
    connect(&decoder, &ReceiveThread::stateProcessing, this, report);
}

CliSession::~CliSession()
{
    close();
}

QList<Found> CliSession::instruments()
{
    QList<Found> found;
    const QString simulatorPrefix = simulatorFolder + QLatin1Char('/');
    for (const QString& path : link->getDevicePaths()) {
        const bool simulator = !simulatorFolder.isEmpty() && path.startsWith(simulatorPrefix);
        found.append({path, simulator ? QStringLiteral("simulator") : QStringLiteral("usb")});
    }
    return found;
}

ExitCode CliSession::open(const QString& device, QString* error)
{
    QString path = device;
    if (path.isEmpty()) {
        const QList<Found> found = instruments();
        if (found.isEmpty()) {
            *error = CommandLine::tr("未找到仪器");
            return NoInstrument;
        }
        path = found.first().path;
    }
    link->connectUsb(path);
    if (!connected) {
        *error = CommandLine::tr("无法打开仪器 %1").arg(path);
        return NoInstrument;
    }
    link->informUpperOpen();
    chooseReadings(2);
    return Success;
}

void CliSession::close()
{
    if (!connected)
        return;
    link->stopCirculation(true);
    link->informUpperClose();
    link->keyUnlock();
    link->disConnect();
    connected = false;
}

void CliSession::beginCall()
{
    linkFailed = false;
    lastReport = Report();
    reading.reset();
}

void CliSession::chooseReadings(int type)
{
    link->changeReadType(type);
}

std::optional<ReceiveData> CliSession::poll(ExitCode* status)
{
    beginCall();
    link->readRealTimeData();
    if (reading) {
        *status = Success;
        return reading;
    }
    // A failed poll drops the link: the instrument is gone until reconnected.
    if (linkFailed)
        *status = InstrumentLost;
    else
        *status = lastReport.code == linkstatus::ReadingFailed ? Refused : Success;
    return std::nullopt;
}

// An acknowledged request ends with the acceptance told as information, a
// refusal told with its own code, or no answer told as a link failure only.
ExitCode CliSession::acknowledged(const std::function<void()>& request, QString* error)
{
    beginCall();
    request();
    if (lastReport.code == linkstatus::Information)
        return Success;
    *error = lastReport.message;
    if (lastReport.code == linkstatus::LinkFailed || lastReport.code < 0)
        return InstrumentLost;
    return Refused;
}

ExitCode CliSession::startTest(bool lengthTest, QString* error)
{
    return acknowledged([&] { link->startTesting(lengthTest); }, error);
}

ExitCode CliSession::stopTest(bool lengthTest, QString* error)
{
    return acknowledged([&] { link->stopTesting(lengthTest); }, error);
}

ExitCode CliSession::sendSettings(const QByteArray& frame, QString* error)
{
    return acknowledged([&] { link->updateTestSetting(frame); }, error);
}

std::optional<int> CliSession::storedCount(ExitCode* status, QString* error)
{
    beginCall();
    int count = -1;
    const QMetaObject::Connection counted =
        connect(link.get(), &WinUSBManager::finishReadStorageNumSignal, this, [&count](int total) { count = total; });
    link->readStoreTotalNum();
    disconnect(counted);
    *status = Success;
    if (count > 0)
        return count;
    if (lastReport.code == linkstatus::StoredDataFailed && !linkFailed)
        return 0;  // the instrument holds no records (or an impossible count, told as none)
    *status = InstrumentLost;
    *error = lastReport.message;
    return std::nullopt;
}

int CliSession::readStored(const std::function<void(const ReceiveData&, int)>& take)
{
    beginCall();
    link->stopCirculation(false);
    // The keys stay locked while the records are read, so that nobody deletes
    // or adds records at the instrument meanwhile. The lock is acknowledged
    // before keyLock() returns: no pause is needed before the first request.
    link->keyLock();
    takeRecord = take;
    int taken = 0;
    const QMetaObject::Connection ended =
        connect(link.get(), &WinUSBManager::readBackEnded, this, [&taken](int number) { taken = number; });
    link->readReadBackData();
    disconnect(ended);
    takeRecord = nullptr;
    link->keyUnlock();
    return taken;
}

}  // namespace cli
