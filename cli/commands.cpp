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

struct CommandHelp {
    const char* words;
    const char* text;
};

const CommandHelp kCommands[] = {
    {"list", QT_TRANSLATE_NOOP("CommandLine", "找到的仪器：路径、制表符、连接方式")},
    {"read", QT_TRANSLATE_NOOP("CommandLine", "实时读数，每个一行")},
    {"test --dc|--length", QT_TRANSLATE_NOOP("CommandLine", "进行一次测试并打印其结果")},
    {"settings get [KEY...]", QT_TRANSLATE_NOOP("CommandLine", "测量设置，每行一个 KEY=VALUE")},
    {"settings set KEY=VALUE...", QT_TRANSLATE_NOOP("CommandLine", "更改一个测试页面的设置")},
    {"import", QT_TRANSLATE_NOOP("CommandLine", "仪器中存储的记录")},
    {"history list", QT_TRANSLATE_NOOP("CommandLine", "结果库中保存的早先会话")},
    {"history export ID --out FILE", QT_TRANSLATE_NOOP("CommandLine", "将一个会话导出为 csv、json 或 xlsx")},
};

void printUsage()
{
    QString usage = CommandLine::tr("用法：resistance-tester-cli <命令> [选项]") + QLatin1Char('\n')
                    + CommandLine::tr("命令：") + QLatin1Char('\n');
    for (const CommandHelp& command : kCommands)
        usage += QStringLiteral("  %1  %2\n").arg(QLatin1String(command.words), -28).arg(CommandLine::tr(command.text));
    usage += CommandLine::tr("运行 resistance-tester-cli <命令> --help 查看一个命令的选项。") + QLatin1Char('\n');
    std::fputs(usage.toLocal8Bit().constData(), stdout);
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
    const QCommandLineOption count(QStringLiteral("count"), CommandLine::tr("读取 n 个读数后停止（默认：直到被停止）。"),
                                   QStringLiteral("n"));
    const QCommandLineOption interval(QStringLiteral("interval"),
                                      CommandLine::tr("两次读数之间的毫秒数，200 至 800（默认 500）。"),
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
    const QCommandLineOption dc(QStringLiteral("dc"), CommandLine::tr("直流电阻测试。"));
    const QCommandLineOption length(QStringLiteral("length"), CommandLine::tr("导体长度测试。"));
    const QCommandLineOption timeout(QStringLiteral("timeout"),
                                     CommandLine::tr("s 秒后放弃（默认 120）。"), QStringLiteral("s"));
    parser.addOptions({deviceOption(), dc, length, timeout, formatOption()});
    int status = Success;
    if (!parseArguments(parser, arguments, &status))
        return status;
    if (parser.isSet(dc) == parser.isSet(length))
        return usageError(CommandLine::tr("请给出 --dc 与 --length 之一"));
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
        printError(CommandLine::tr("测试未能开始：%1").arg(error));
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
    printError(stopRequested() ? CommandLine::tr("测试被中断") : CommandLine::tr("测试未在时限内结束"));
    return Interrupted;
}

}  // namespace

int run(const QStringList& arguments)
{
    if (arguments.size() < 2)
        return usageError(CommandLine::tr("未给出命令；参见 --help"));
    const QString command = arguments.at(1);
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        printUsage();
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
    return usageError(CommandLine::tr("未知命令：%1").arg(command));
}

}  // namespace cli
