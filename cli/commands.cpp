#include "cli/commands.h"

#include "cli/clisession.h"
#include "cli/exitcodes.h"
#include "cli/readingformat.h"
#include "cli/stopsignals.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QThread>

#include <cerrno>
#include <cstdio>

namespace cli {

namespace {

constexpr int kDefaultIntervalMs = 500;  // the window's polling interval until the operator chooses another
constexpr int kMinIntervalMs = 200;      // the range the window offers
constexpr int kMaxIntervalMs = 800;
constexpr int kDefaultTestTimeoutS = 120;
constexpr int kStopCheckMs = 10;  // how often a pause looks for a stop request

const char kUsage[] =
    "Usage: resistance-tester-cli <command> [options]\n"
    "Commands:\n"
    "  list                 the instruments found: path, tab, how it is reached\n"
    "  read                 live readings, one line each\n"
    "  test --dc|--length   run a test and print its result\n"
    "Run resistance-tester-cli <command> --help for the options of a command.\n";

void printError(const QString& message)
{
    std::fprintf(stderr, "resistance-tester-cli: %s\n", message.toLocal8Bit().constData());
}

int usageError(const QString& message)
{
    printError(message);
    return Usage;
}

// Parses a subcommand's arguments; nullopt-like: false with *status set when
// the command must end here (help asked for, or bad arguments).
bool parseArguments(QCommandLineParser& parser, const QStringList& arguments, int* status)
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
    if (!parser.positionalArguments().isEmpty()) {
        *status = usageError(QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first()));
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
        usageError(QStringLiteral("--%1 must be a whole number from %2 to %3").arg(name).arg(low).arg(high));
        return false;
    }
    *value = parsed;
    return true;
}

bool formatOption(const QCommandLineParser& parser, Format* format)
{
    const std::optional<Format> parsed = parseFormat(parser.value(QStringLiteral("format")));
    if (!parsed) {
        usageError(QStringLiteral("--format must be text, csv or json"));
        return false;
    }
    *format = *parsed;
    return true;
}

const QCommandLineOption kDeviceOption(QStringLiteral("device"), QStringLiteral("The instrument's path (default: the first listed)."),
                                       QStringLiteral("path"));
const QCommandLineOption kFormatOption(QStringLiteral("format"), QStringLiteral("Output format: text, csv or json."),
                                       QStringLiteral("format"), QStringLiteral("text"));

// Waits until ms have passed since the timer started, or a stop is asked for.
void pauseUntil(const QElapsedTimer& since, qint64 ms)
{
    while (!stopRequested() && since.elapsed() < ms)
        QThread::msleep(static_cast<unsigned long>(std::min<qint64>(kStopCheckMs, ms - since.elapsed())));
}

int lostError(const CliSession& session)
{
    printError(QStringLiteral("instrument lost: %1").arg(session.lastMessage()));
    return InstrumentLost;
}

// A closed pipe (a reader that has had enough) ends the output quietly.
int outputError()
{
    if (errno == EPIPE)
        return Success;
    printError(QStringLiteral("cannot write the output"));
    return CannotWrite;
}

int listCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    int status = Success;
    if (!parseArguments(parser, arguments, &status))
        return status;
    CliSession session;
    for (const Found& found : session.instruments())
        std::printf("%s\t%s\n", found.path.toLocal8Bit().constData(), found.reach.toLatin1().constData());
    return Success;
}

int readCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption count(QStringLiteral("count"), QStringLiteral("Stop after n readings (default: until stopped)."),
                                   QStringLiteral("n"));
    const QCommandLineOption interval(QStringLiteral("interval"),
                                      QStringLiteral("Milliseconds between readings, 200 to 800 (default 500)."),
                                      QStringLiteral("ms"));
    parser.addOptions({kDeviceOption, count, interval, kFormatOption});
    int status = Success;
    if (!parseArguments(parser, arguments, &status))
        return status;
    int wanted = 0;
    int intervalMs = kDefaultIntervalMs;
    Format format = Format::Text;
    if (!intOption(parser, count.names().first(), 1, std::numeric_limits<int>::max(), &wanted)
        || !intOption(parser, interval.names().first(), kMinIntervalMs, kMaxIntervalMs, &intervalMs)
        || !formatOption(parser, &format))
        return Usage;

    CliSession session;
    QString error;
    if (const ExitCode opened = session.open(parser.value(kDeviceOption), &error); opened != Success) {
        printError(error);
        return opened;
    }
    ReadingWriter writer(format, stdout);
    for (int written = 0; !stopRequested() && (wanted == 0 || written < wanted);) {
        QElapsedTimer since;
        since.start();
        ExitCode polled = Success;
        const std::optional<ReceiveData> reading = session.poll(&polled);
        if (polled != Success)
            return lostError(session);
        if (reading) {
            if (!writer.write(*reading))
                return outputError();
            ++written;
        }
        pauseUntil(since, intervalMs);
    }
    return Success;
}

// The test ends as the window sees it end: the reading's charging flag goes
// from on to off. That reading is the result.
int testCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption dc(QStringLiteral("dc"), QStringLiteral("A DC resistance test."));
    const QCommandLineOption length(QStringLiteral("length"), QStringLiteral("A conductor length test."));
    const QCommandLineOption timeout(QStringLiteral("timeout"),
                                     QStringLiteral("Give up after s seconds (default 120)."), QStringLiteral("s"));
    parser.addOptions({kDeviceOption, dc, length, timeout, kFormatOption});
    int status = Success;
    if (!parseArguments(parser, arguments, &status))
        return status;
    if (parser.isSet(dc) == parser.isSet(length))
        return usageError(QStringLiteral("give one of --dc and --length"));
    int timeoutS = kDefaultTestTimeoutS;
    Format format = Format::Text;
    if (!intOption(parser, timeout.names().first(), 1, 24 * 3600, &timeoutS) || !formatOption(parser, &format))
        return Usage;
    const bool lengthTest = parser.isSet(length);

    CliSession session;
    QString error;
    if (const ExitCode opened = session.open(parser.value(kDeviceOption), &error); opened != Success) {
        printError(error);
        return opened;
    }
    session.chooseReadings(lengthTest ? 1 : 0);
    if (const ExitCode started = session.startTest(lengthTest, &error); started != Success) {
        printError(QStringLiteral("the test did not start: %1").arg(error));
        return started;
    }
    QElapsedTimer sinceStart;
    sinceStart.start();
    bool charged = false;
    while (!stopRequested() && sinceStart.elapsed() < qint64(timeoutS) * 1000) {
        QElapsedTimer since;
        since.start();
        ExitCode polled = Success;
        const std::optional<ReceiveData> reading = session.poll(&polled);
        if (polled != Success)
            return lostError(session);
        if (reading && reading->charging)
            charged = true;
        else if (reading && charged)
            return ReadingWriter(format, stdout).write(*reading) ? Success : outputError();
        pauseUntil(since, kDefaultIntervalMs);
    }
    // Interrupted or out of time: the instrument is asked to stop its test.
    session.stopTest(lengthTest, &error);
    printError(stopRequested() ? QStringLiteral("test interrupted") : QStringLiteral("the test did not end in time"));
    return Interrupted;
}

}  // namespace

int run(const QStringList& arguments)
{
    if (arguments.size() < 2)
        return usageError(QStringLiteral("no command given; see --help"));
    const QString command = arguments.at(1);
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        std::fputs(kUsage, stdout);
        return Success;
    }
    const QStringList rest = arguments.mid(1);  // the command stands in for the program's name
    if (command == QLatin1String("list"))
        return listCommand(rest);
    if (command == QLatin1String("read"))
        return readCommand(rest);
    if (command == QLatin1String("test"))
        return testCommand(rest);
    return usageError(QStringLiteral("unknown command: %1").arg(command));
}

}  // namespace cli
