#include "cli/commands.h"

#include "cli/clisession.h"
#include "cli/exitcodes.h"
#include "cli/readingformat.h"
#include "cli/settingkeys.h"
#include "cli/stopsignals.h"

#include "app/pagefields.h"
#include "data/storedrecordsmodel.h"
#include "store/resultstore.h"
#include "reports/workbookwriter.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include <unistd.h>

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
    "  import               the records stored in the instrument\n"
    "  history list         the earlier sessions kept in the results store\n"
    "  history export ID --out FILE   one session as csv, json or xlsx\n"
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

// Where the stored records go: streamed to stdout, or to a file that is
// replaced only once every record is in it.
class RecordSink {
public:
    virtual ~RecordSink() = default;
    virtual bool take(const ReceiveData& rd) = 0;
    virtual bool finish(QString* error) = 0;
};

class StreamSink : public RecordSink {
public:
    StreamSink(Format format, std::FILE* out) : writer(format, out) {}
    bool take(const ReceiveData& rd) override { return writer.write(rd); }
    bool finish(QString*) override { return true; }

private:
    ReadingWriter writer;
};

// CSV or JSON Lines through a temporary file, committed at the end.
class FileSink : public RecordSink {
public:
    FileSink(Format format, const QString& path) : file(path)
    {
        if (file.open(QIODevice::WriteOnly))
            stream = fdopen(dup(file.handle()), "w");
        if (stream)
            writer = std::make_unique<ReadingWriter>(format, stream);
    }
    ~FileSink() override
    {
        if (stream)
            std::fclose(stream);
    }
    bool opened() const { return writer != nullptr; }
    bool take(const ReceiveData& rd) override { return writer->write(rd); }
    bool finish(QString* error) override
    {
        std::fclose(stream);
        stream = nullptr;
        if (file.commit())
            return true;
        *error = file.errorString();
        return false;
    }

private:
    QSaveFile file;
    std::FILE* stream = nullptr;
    std::unique_ptr<ReadingWriter> writer;
};

// The stored-data table of the window, written as its workbook at the end.
class WorkbookSink : public RecordSink {
public:
    explicit WorkbookSink(const QString& path_) : path(path_) {}
    bool take(const ReceiveData& rd) override
    {
        rows.append(StoredRecordsModel::recordTexts(rd));
        return true;
    }
    bool finish(QString* error) override
    {
        const StoredRecordsModel headersOnly;
        QStringList headers;
        for (int column = 0; column < headersOnly.columnCount(); ++column)
            headers << headersOnly.headerData(column, Qt::Horizontal).toString();
        return reports::writeWorkbook(path, reports::listTable(headers, rows), error);
    }

private:
    QString path;
    QVector<QStringList> rows;
};

void showProgress(int done, int total)
{
    if (isatty(STDERR_FILENO))
        std::fprintf(stderr, "\r%d/%d", done, total);
}

int importCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Write to this file (default: - for stdout)."),
                                 QStringLiteral("file"), QStringLiteral("-"));
    const QCommandLineOption format(QStringLiteral("format"), QStringLiteral("csv, json or xlsx (default csv)."),
                                    QStringLiteral("format"), QStringLiteral("csv"));
    parser.addOptions({kDeviceOption, out, format});
    int status = Success;
    if (!parseArguments(parser, arguments, &status))
        return status;
    const QString formatName = parser.value(format);
    const QString path = parser.value(out);
    const bool toStdout = path == QLatin1String("-");
    const bool workbook = formatName == QLatin1String("xlsx");
    const std::optional<Format> lineFormat = parseFormat(formatName);
    if (!workbook && (!lineFormat || *lineFormat == Format::Text))
        return usageError(QStringLiteral("--format must be csv, json or xlsx"));
    if (workbook && toStdout)
        return usageError(QStringLiteral("a workbook needs --out FILE"));

    std::unique_ptr<RecordSink> sink;
    if (workbook) {
        sink = std::make_unique<WorkbookSink>(path);
    } else if (toStdout) {
        sink = std::make_unique<StreamSink>(*lineFormat, stdout);
    } else {
        auto file = std::make_unique<FileSink>(*lineFormat, path);
        if (!file->opened()) {
            printError(QStringLiteral("cannot write %1").arg(path));
            return CannotWrite;
        }
        sink = std::move(file);
    }

    CliSession session;
    QString error;
    if (const ExitCode opened = session.open(parser.value(kDeviceOption), &error); opened != Success) {
        printError(error);
        return opened;
    }
    ExitCode counted = Success;
    const std::optional<int> total = session.storedCount(&counted, &error);
    if (!total) {
        printError(QStringLiteral("instrument lost: %1").arg(error));
        return counted;
    }
    bool written = true;
    QList<int> missing;
    int expected = 1;
    const int taken = *total == 0 ? 0 : session.readStored([&](const ReceiveData& rd, int number) {
        for (; expected < number; ++expected)
            missing << expected;
        expected = number + 1;
        if (written && !sink->take(rd)) {
            written = false;
            requestStop();
        }
        showProgress(number, *total);
    });
    if (isatty(STDERR_FILENO) && *total > 0)
        std::fputc('\n', stderr);
    if (!written)
        return outputError();
    if (stopRequested()) {
        printError(QStringLiteral("import interrupted after %1 of %2 records").arg(taken).arg(*total));
        return Interrupted;
    }
    if (taken < *total)
        return lostError(session);
    for (; expected <= *total; ++expected)
        missing << expected;
    if (!sink->finish(&error)) {
        printError(QStringLiteral("cannot write %1: %2").arg(path, error));
        return CannotWrite;
    }
    if (!missing.isEmpty()) {
        QStringList numbers;
        for (int number : missing)
            numbers << QString::number(number);
        printError(QStringLiteral("records not read: %1").arg(numbers.join(QLatin1Char(','))));
    }
    return Success;
}

const char* tableName(store::TableKind kind)
{
    switch (kind) {
    case store::TableKind::DcResults:
        return "dc";
    case store::TableKind::LengthResults:
        return "length";
    case store::TableKind::StoredRecords:
        break;
    }
    return "stored";
}

QStringList tableHeaders(store::TableKind kind)
{
    if (kind == store::TableKind::DcResults)
        return resultColumnHeaders(dcPageTable());
    if (kind == store::TableKind::LengthResults)
        return resultColumnHeaders(lengthPageTable());
    const StoredRecordsModel model;
    QStringList headers;
    for (int column = 0; column < model.columnCount(); ++column)
        headers << model.headerData(column, Qt::Horizontal).toString();
    return headers;
}

// The rows as CSV or JSON Lines (an object per row, by the column headers).
QByteArray tableText(const QStringList& headers, const QVector<QStringList>& rows, bool json)
{
    QByteArray text = json ? QByteArray() : csvLine(headers) + '\n';
    for (const QStringList& row : rows) {
        if (!json) {
            QStringList cells = row;  // every line as wide as the header, as in the workbook
            while (cells.size() < headers.size())
                cells << QString();
            text += csvLine(cells) + '\n';
            continue;
        }
        QJsonObject object;
        for (int column = 0; column < headers.size(); ++column)
            object.insert(headers.at(column), row.value(column));
        text += QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
    }
    return text;
}

bool writeTable(const QString& path, const QString& format, const QStringList& headers,
                const QVector<QStringList>& rows, QString* error)
{
    if (format == QLatin1String("xlsx"))
        return reports::writeWorkbook(path, reports::listTable(headers, rows), error);
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(tableText(headers, rows, format == QLatin1String("json"))) >= 0
        && file.commit())
        return true;
    *error = file.errorString();
    return false;
}

int historyCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("The file to write."), QStringLiteral("file"));
    const QCommandLineOption format(QStringLiteral("format"),
                                    QStringLiteral("csv, json or xlsx (default: by the file's extension, else csv)."),
                                    QStringLiteral("format"));
    parser.addOptions({out, format});
    parser.addPositionalArgument(QStringLiteral("list|export"), QStringLiteral("List the sessions or export one."));
    parser.addPositionalArgument(QStringLiteral("ID"), QStringLiteral("The session to export."));
    int status = Success;
    if (!parseArguments(parser, arguments, &status, true))
        return status;
    const QStringList words = parser.positionalArguments();
    const bool listing = words == QStringList{QStringLiteral("list")};
    if (!listing && (words.size() != 2 || words.first() != QLatin1String("export")))
        return usageError(QStringLiteral("history needs list, or export ID --out FILE"));
    bool idRead = listing;
    const qint64 id = listing ? 0 : words.at(1).toLongLong(&idRead);
    if (!listing && (!idRead || id < 1))
        return usageError(QStringLiteral("a session's ID is a whole number from 1: %1").arg(words.value(1)));
    const QString path = parser.value(out);
    QString formatName = parser.value(format);
    if (formatName.isEmpty()) {
        const QString suffix = QFileInfo(path).suffix().toLower();
        formatName = suffix == QLatin1String("xlsx") || suffix == QLatin1String("json") ? suffix : QStringLiteral("csv");
    }
    if (!listing && path.isEmpty())
        return usageError(QStringLiteral("history export needs --out FILE"));
    if (!QStringList{QStringLiteral("csv"), QStringLiteral("json"), QStringLiteral("xlsx")}.contains(formatName))
        return usageError(QStringLiteral("--format must be csv, json or xlsx"));

    const QString storePath = store::ResultStore::defaultPath();
    if (!QFileInfo::exists(storePath)) {
        if (listing)
            return Success;  // nothing kept yet
        printError(QStringLiteral("no session %1: no results kept yet").arg(id));
        return DataError;
    }
    store::StoreOptions options;
    options.readOnly = true;
    store::ResultStore results(storePath, options);
    if (!results.isKeeping()) {
        printError(QStringLiteral("cannot read the results store %1: %2").arg(storePath, results.failure()));
        return NoInput;
    }
    const QList<store::SessionSummary> sessions = results.earlierSessions();
    if (listing) {
        for (const store::SessionSummary& session : sessions)
            std::printf("%lld\t%s\t%s\t%s\t%d\n", static_cast<long long>(session.id), tableName(session.kind),
                        session.started.toString(Qt::ISODate).toLatin1().constData(),
                        session.closed.toString(Qt::ISODate).toLatin1().constData(), session.rowCount);
        return Success;
    }
    const auto found = std::find_if(sessions.begin(), sessions.end(),
                                    [id](const store::SessionSummary& session) { return session.id == id; });
    if (found == sessions.end()) {
        printError(QStringLiteral("no session %1; see history list").arg(id));
        return DataError;
    }
    QVector<QStringList> rows;
    for (const store::Row& row : results.sessionRows(id))
        rows.append(row.cells);
    QString error;
    if (!writeTable(path, formatName, tableHeaders(found->kind), rows, &error)) {
        printError(QStringLiteral("cannot write %1: %2").arg(path, error));
        return CannotWrite;
    }
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
    if (command == QLatin1String("import"))
        return importCommand(rest);
    if (command == QLatin1String("history"))
        return historyCommand(rest);
    return usageError(QStringLiteral("unknown command: %1").arg(command));
}

}  // namespace cli
