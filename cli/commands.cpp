#include "cli/commands.h"

#include "cli/commandsupport.h"
#include "cli/stopsignals.h"

#include <limits>
#include <cstdio>

namespace cli {

namespace {

constexpr int kDefaultIntervalMs = 500;  // the window's polling interval until the operator chooses another
constexpr int kMinIntervalMs = 200;      // the range the window offers
constexpr int kMaxIntervalMs = 800;
constexpr int kDefaultTestTimeoutS = 120;

const char kUsage[] =
    "Usage: resistance-tester-cli <command> [options]\n"
    "Commands:\n"
    "  list                 the instruments found: path, tab, how it is reached\n"
    "  read                 live readings, one line each\n"
    "  test --dc|--length   run a test and print its result\n"
    "  settings get [KEY...]          the measurement settings, KEY=VALUE a line\n"
    "  settings set KEY=VALUE...      change settings of one test page\n"
    "  import               the records stored in the instrument\n"
    "  history list         the earlier sessions kept in the results store\n"
    "  history export ID --out FILE   one session as csv, json or xlsx\n"
    "Run resistance-tester-cli <command> --help for the options of a command.\n";


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
    parser.addOptions({deviceOption(), count, interval, formatOption()});
    int status = Success;
    if (!parseArguments(parser, arguments, &status))
        return status;
    int wanted = 0;
    int intervalMs = kDefaultIntervalMs;
    Format format = Format::Text;
    if (!intOption(parser, count.names().first(), 1, std::numeric_limits<int>::max(), &wanted)
        || !intOption(parser, interval.names().first(), kMinIntervalMs, kMaxIntervalMs, &intervalMs)
        || !readFormat(parser, &format))
        return Usage;

    CliSession session;
    if (!openInstrument(session, parser, &status))
        return status;
    ReadingWriter writer(format, stdout);
    int written = 0;
    const std::optional<int> ended = pollReadings(
        session, intervalMs, [&] { return wanted == 0 || written < wanted; },
        [&](const ReceiveData& reading) -> std::optional<int> {
            if (!writer.write(reading))
                return outputError();
            ++written;
            return std::nullopt;
        });
    return ended.value_or(Success);
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
    parser.addOptions({deviceOption(), dc, length, timeout, formatOption()});
    int status = Success;
    if (!parseArguments(parser, arguments, &status))
        return status;
    if (parser.isSet(dc) == parser.isSet(length))
        return usageError(QStringLiteral("give one of --dc and --length"));
    int timeoutS = kDefaultTestTimeoutS;
    Format format = Format::Text;
    if (!intOption(parser, timeout.names().first(), 1, 24 * 3600, &timeoutS) || !readFormat(parser, &format))
        return Usage;
    const bool lengthTest = parser.isSet(length);

    CliSession session;
    if (!openInstrument(session, parser, &status))
        return status;
    QString error;
    session.chooseReadings(lengthTest ? 1 : 0);
    if (const ExitCode started = session.startTest(lengthTest, &error); started != Success) {
        printError(QStringLiteral("the test did not start: %1").arg(error));
        return started;
    }
    QElapsedTimer sinceStart;
    sinceStart.start();
    bool charged = false;
    const std::optional<int> ended = pollReadings(
        session, kDefaultIntervalMs, [&] { return sinceStart.elapsed() < qint64(timeoutS) * 1000; },
        [&](const ReceiveData& reading) -> std::optional<int> {
            if (reading.charging)
                charged = true;
            else if (charged)
                return ReadingWriter(format, stdout).write(reading) ? Success : outputError();
            return std::nullopt;
        });
    if (ended)
        return *ended;
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
    if (command == QLatin1String("settings"))
        return settingsCommand(rest);
    if (command == QLatin1String("import"))
        return importCommand(rest);
    if (command == QLatin1String("history"))
        return historyCommand(rest);
    return usageError(QStringLiteral("unknown command: %1").arg(command));
}

}  // namespace cli
