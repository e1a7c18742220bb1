#include "cli/commandsupport.h"

#include "cli/stopsignals.h"

#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace cli {

namespace {

constexpr int kStopCheckMs = 10;  // how often a pause looks for a stop request

}  // namespace

void printError(const QString& message)
{
    std::fprintf(stderr, "resistance-tester-cli: %s\n", message.toLocal8Bit().constData());
}

int usageError(const QString& message)
{
    printError(message);
    return Usage;
}

bool parseArguments(QCommandLineParser& parser, const QStringList& arguments, int* status,
                    bool positionalAllowed)
{
    parser.addHelpOption();
    if (!parser.parse(arguments)) {
        *status = usageError(parser.errorText());
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(parser.helpText().toLocal8Bit().constData(), stdout);
        *status = Success;
        return false;
    }
    if (!positionalAllowed && !parser.positionalArguments().isEmpty()) {
        *status = usageError(CommandLine::tr("多余的参数：%1").arg(parser.positionalArguments().first()));
        return false;
    }
    return true;
}

bool intOption(const QCommandLineParser& parser, const QString& name, int low, int high, int* value)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const int parsed = parser.value(name).toInt(&ok);
    if (!ok || parsed < low || parsed > high) {
        usageError(CommandLine::tr("--%1 须为 %2 至 %3 的整数").arg(name).arg(low).arg(high));
        return false;
    }
    *value = parsed;
    return true;
}

bool readFormat(const QCommandLineParser& parser, Format* format)
{
    const std::optional<Format> parsed = parseFormat(parser.value(QStringLiteral("format")));
    if (!parsed) {
        usageError(CommandLine::tr("--format 须为 text、csv 或 json"));
        return false;
    }
    *format = *parsed;
    return true;
}

QCommandLineOption deviceOption()
{
    return QCommandLineOption(QStringLiteral("device"), CommandLine::tr("仪器的路径（默认：列出的第一台）。"),
                              QStringLiteral("path"));
}

QCommandLineOption formatOption()
{
    return QCommandLineOption(QStringLiteral("format"), CommandLine::tr("输出格式：text、csv 或 json。"),
                              QStringLiteral("format"), QStringLiteral("text"));
}

bool openInstrument(CliSession& session, const QCommandLineParser& parser, int* status)
{
    QString error;
    const ExitCode opened = session.open(parser.value(QStringLiteral("device")), &error);
    if (opened == Success)
        return true;
    printError(error);
    *status = opened;
    return false;
}

void pauseUntil(const QElapsedTimer& since, qint64 ms)
{
    while (!stopRequested() && since.elapsed() < ms)
        QThread::msleep(static_cast<unsigned long>(std::min<qint64>(kStopCheckMs, ms - since.elapsed())));
}

int pollError(const CliSession& session, ExitCode status)
{
    if (status == InstrumentLost)
        return lostError(session);
    printError(CommandLine::tr("没有读数：%1").arg(session.lastMessage()));
    return status;
}

std::optional<int> pollReadings(CliSession& session, int intervalMs, const std::function<bool()>& goOn,
                                const std::function<std::optional<int>(const ReceiveData&)>& take)
{
    while (!stopRequested() && goOn()) {
        QElapsedTimer since;
        since.start();
        ExitCode polled = Success;
        const std::optional<ReceiveData> reading = session.poll(&polled);
        if (polled != Success)
            return pollError(session, polled);
        if (reading) {
            if (const std::optional<int> status = take(*reading))
                return status;
        }
        if (goOn())  // no pause after the last reading wanted
            pauseUntil(since, intervalMs);
    }
    return std::nullopt;
}

int lostError(const CliSession& session)
{
    printError(CommandLine::tr("仪器连接中断：%1").arg(session.lastMessage()));
    return InstrumentLost;
}

int outputError()
{
    if (errno == EPIPE)
        return Success;
    printError(CommandLine::tr("无法写入输出"));
    return CannotWrite;
}

}  // namespace cli
