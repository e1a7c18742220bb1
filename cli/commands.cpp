#include "cli/commands.h"

#include "cli/clisession.h"
#include "cli/exitcodes.h"
#include "cli/readingformat.h"
#include "cli/settingkeys.h"
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
    "  settings get [KEY...]          the measurement settings, KEY=VALUE a line\n"
    "  settings set KEY=VALUE...      change settings of one test page\n"
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
bool parseArguments(QCommandLineParser& parser, const QStringList& arguments, int* status,
                    bool positionalAllowed = false)
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

struct SettingChange {
    QString key;
    QString value;
};

// Reads the keys (get) or KEY=VALUE pairs (set); all of one page. *page is
// left as it is when no key is given.
bool parseSettingArguments(const QStringList& words, bool withValues, QList<SettingChange>* changes, Page* page,
                           bool* pageGiven)
{
    for (const QString& word : words) {
        const int equals = word.indexOf(QLatin1Char('='));
        if (withValues != (equals > 0)) {
            usageError(withValues ? QStringLiteral("expected KEY=VALUE: %1").arg(word)
                                  : QStringLiteral("expected a key: %1").arg(word));
            return false;
        }
        const SettingChange change{withValues ? word.left(equals) : word, withValues ? word.mid(equals + 1) : QString()};
        Page keyPage = Page::Dc;
        if (!pageOfKey(change.key, &keyPage)) {
            usageError(QStringLiteral("unknown setting %1; the settings are %2")
                           .arg(change.key, (keysOf(Page::Dc) + keysOf(Page::Length)).join(QStringLiteral(", "))));
            return false;
        }
        if (*pageGiven && keyPage != *page) {
            usageError(QStringLiteral("%1 belongs to the other test page; set one page at a time").arg(change.key));
            return false;
        }
        PageSettings check;
        if (withValues && !setValue(&check, change.key, change.value)) {
            usageError(QStringLiteral("%1 cannot be %2; allowed: %3")
                           .arg(change.key, change.value, allowedValues(change.key)));
            return false;
        }
        *page = keyPage;
        *pageGiven = true;
        changes->append(change);
    }
    return true;
}

// The reading of a page: the instrument is asked for that page's readings first.
std::optional<ReceiveData> pageReading(CliSession& session, int readType, int* status)
{
    session.chooseReadings(readType);
    ExitCode polled = Success;
    std::optional<ReceiveData> reading = session.poll(&polled);
    if (polled != Success) {
        *status = lostError(session);
        return std::nullopt;
    }
    if (!reading || (readType != 2 && reading->testType != readType)) {
        printError(QStringLiteral("the instrument shows no test page: %1").arg(session.lastMessage()));
        *status = Refused;
        return std::nullopt;
    }
    return reading;
}

void printSettings(const PageSettings& settings, const QStringList& keys)
{
    for (const QString& key : keys)
        std::printf("%s=%s\n", key.toLatin1().constData(), valueText(settings, key).toUtf8().constData());
}

int settingsCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addOption(kDeviceOption);
    parser.addPositionalArgument(QStringLiteral("get|set"), QStringLiteral("Print or change settings."));
    parser.addPositionalArgument(QStringLiteral("KEY[=VALUE]"), QStringLiteral("Settings of one test page."));
    int status = Success;
    if (!parseArguments(parser, arguments, &status, true))
        return status;
    const QStringList words = parser.positionalArguments();
    const QString action = words.value(0);
    if (action != QLatin1String("get") && action != QLatin1String("set"))
        return usageError(QStringLiteral("settings needs get or set"));
    const bool setting = action == QLatin1String("set");
    if (setting && words.size() < 2)
        return usageError(QStringLiteral("settings set needs KEY=VALUE"));
    QList<SettingChange> changes;
    Page page = Page::Dc;
    bool pageGiven = false;
    if (!parseSettingArguments(words.mid(1), setting, &changes, &page, &pageGiven))
        return Usage;

    CliSession session;
    QString error;
    if (const ExitCode opened = session.open(parser.value(kDeviceOption), &error); opened != Success) {
        printError(error);
        return opened;
    }
    const int readType = pageGiven ? (page == Page::Dc ? 0 : 1) : 2;
    std::optional<ReceiveData> reading = pageReading(session, readType, &status);
    if (!reading)
        return status;
    page = reading->testType == 0 ? Page::Dc : Page::Length;
    QStringList keys;
    for (const SettingChange& change : changes)
        keys << change.key;
    if (!setting) {
        printSettings(settingsOf(*reading), keys.isEmpty() ? keysOf(page) : keys);
        return Success;
    }
    // The frame carries every setting of the page: those not named keep what the instrument shows.
    PageSettings settings = settingsOf(*reading);
    for (const SettingChange& change : changes)
        setValue(&settings, change.key, change.value);
    const protocol::Bytes frame = settingsFrame(settings, page);
    if (const ExitCode sent = session.sendSettings(QByteArray(reinterpret_cast<const char*>(frame.data()), int(frame.size())), &error);
        sent != Success) {
        printError(QStringLiteral("settings not taken: %1").arg(error));
        return sent;
    }
    // What the instrument took, as its next reading shows it.
    reading = pageReading(session, readType, &status);
    if (!reading)
        return status;
    printSettings(settingsOf(*reading), keys);
    return Success;
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
    return usageError(QStringLiteral("unknown command: %1").arg(command));
}

}  // namespace cli
