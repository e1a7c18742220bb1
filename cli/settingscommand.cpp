// settings get|set: the measurement settings by name.

#include "cli/commandsupport.h"
#include "cli/settingkeys.h"

#include <cstdio>
#include <optional>

namespace cli {

namespace {

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
            usageError(withValues ? CommandLine::tr("应为 KEY=VALUE：%1").arg(word)
                                  : CommandLine::tr("应为设置名：%1").arg(word));
            return false;
        }
        const SettingChange change{withValues ? word.left(equals) : word, withValues ? word.mid(equals + 1) : QString()};
        Page keyPage = Page::Dc;
        if (!pageOfKey(change.key, &keyPage)) {
            usageError(CommandLine::tr("未知设置 %1；可用的设置为 %2")
                           .arg(change.key, (keysOf(Page::Dc) + keysOf(Page::Length)).join(QStringLiteral(", "))));
            return false;
        }
        if (*pageGiven && keyPage != *page) {
            usageError(CommandLine::tr("%1 属于另一个测试页面；一次只能设置一个页面").arg(change.key));
            return false;
        }
        PageSettings check;
        if (withValues && !setValue(&check, change.key, change.value)) {
            usageError(CommandLine::tr("%1 不能为 %2；允许：%3")
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
        *status = pollError(session, polled);
        return std::nullopt;
    }
    if (!reading || (readType != 2 && reading->testType != readType)) {
        printError(CommandLine::tr("仪器未显示测试页面：%1").arg(session.lastMessage()));
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

}  // namespace

int settingsCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addOption(deviceOption());
    parser.addPositionalArgument(QStringLiteral("get|set"), CommandLine::tr("显示或更改设置。"));
    parser.addPositionalArgument(QStringLiteral("KEY[=VALUE]"), CommandLine::tr("同一测试页面的设置。"));
    int status = Success;
    if (!parseArguments(parser, arguments, &status, true))
        return status;
    const QStringList words = parser.positionalArguments();
    const QString action = words.value(0);
    if (action != QLatin1String("get") && action != QLatin1String("set"))
        return usageError(CommandLine::tr("settings 需要 get 或 set"));
    const bool setting = action == QLatin1String("set");
    if (setting && words.size() < 2)
        return usageError(CommandLine::tr("settings set 需要 KEY=VALUE"));
    QList<SettingChange> changes;
    Page page = Page::Dc;
    bool pageGiven = false;
    if (!parseSettingArguments(words.mid(1), setting, &changes, &page, &pageGiven))
        return Usage;

    CliSession session;
    if (!openInstrument(session, parser, &status))
        return status;
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
    QString error;
    if (const ExitCode sent = session.sendSettings(QByteArray(reinterpret_cast<const char*>(frame.data()), int(frame.size())), &error);
        sent != Success) {
        printError(CommandLine::tr("设置未被接受：%1").arg(error));
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

}  // namespace cli
