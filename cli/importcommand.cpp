// import: the records stored in the instrument, streamed or into a file.

#include "cli/commandsupport.h"
#include "cli/stopsignals.h"
#include "data/storedrecordsmodel.h"
#include "reports/workbookwriter.h"

#include <QSaveFile>

#include <cstdio>
#include <memory>
#include <optional>

#include <unistd.h>

namespace cli {

namespace {

class RecordSink {
public:
    virtual ~RecordSink() = default;
    virtual bool take(const ReceiveData& rd) = 0;
    virtual bool finish(QString* error) = 0;
};

class StreamSink : public RecordSink {
public:
    StreamSink(Format format, std::FILE* out_) : out(out_), writer(format, out, ReadingWriter::Flush::AtEnd) {}
    bool take(const ReceiveData& rd) override { return writer.write(rd); }
    bool finish(QString* error) override
    {
        if (std::fflush(out) == 0)
            return true;
        *error = CommandLine::tr("最后几条记录未能写入");
        return false;
    }

private:
    std::FILE* out;
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
            writer = std::make_unique<ReadingWriter>(format, stream, ReadingWriter::Flush::AtEnd);
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
        const bool flushed = std::fclose(stream) == 0;
        stream = nullptr;
        if (flushed && file.commit())
            return true;
        *error = flushed ? file.errorString() : CommandLine::tr("最后几条记录未能写入");
        file.cancelWriting();
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
        reports::TextTable table = reports::listTable(StoredRecordsModel::columnHeaders(), rows);
        table.values = reports::ValueLayout::StoredRecords;
        return reports::writeWorkbook(path, table, error);
    }

private:
    QString path;
    QVector<QStringList> rows;
};

// lineFormat empty: a workbook; path empty: stdout. Null when the file cannot be written.
std::unique_ptr<RecordSink> makeSink(std::optional<Format> lineFormat, const QString& path)
{
    if (!lineFormat)
        return std::make_unique<WorkbookSink>(path);
    if (path.isEmpty())
        return std::make_unique<StreamSink>(*lineFormat, stdout);
    auto file = std::make_unique<FileSink>(*lineFormat, path);
    if (!file->opened())
        return nullptr;
    return file;
}

QString numberList(const QList<int>& numbers)
{
    QStringList texts;
    for (int number : numbers)
        texts << QString::number(number);
    return texts.join(QLatin1Char(','));
}

void showProgress(int done, int total)
{
    std::fprintf(stderr, "\r%d/%d", done, total);
}

}  // namespace

int importCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption out(QStringLiteral("out"), CommandLine::tr("写入此文件（默认：- 即标准输出）。"),
                                 QStringLiteral("file"), QStringLiteral("-"));
    const QCommandLineOption format(QStringLiteral("format"), CommandLine::tr("csv、json 或 xlsx（默认 csv）。"),
                                    QStringLiteral("format"), QStringLiteral("csv"));
    parser.addOptions({deviceOption(), out, format});
    int status = Success;
    if (!parseArguments(parser, arguments, &status))
        return status;
    const QString formatName = parser.value(format);
    const QString path = parser.value(out);
    const bool toStdout = path == QLatin1String("-");
    const bool workbook = formatName == QLatin1String("xlsx");
    const std::optional<Format> lineFormat = parseFormat(formatName);
    if (!workbook && (!lineFormat || *lineFormat == Format::Text))
        return usageError(CommandLine::tr("--format 须为 csv、json 或 xlsx"));
    if (workbook && toStdout)
        return usageError(CommandLine::tr("工作簿需要 --out FILE"));

    // The file is tried before the instrument is: a record read for nowhere is lost work.
    const std::unique_ptr<RecordSink> sink = makeSink(workbook ? std::nullopt : lineFormat, toStdout ? QString() : path);
    if (!sink) {
        printError(CommandLine::tr("无法写入 %1").arg(path));
        return CannotWrite;
    }

    CliSession session;
    if (!openInstrument(session, parser, &status))
        return status;
    QString error;
    ExitCode counted = Success;
    const std::optional<int> total = session.storedCount(&counted, &error);
    if (!total) {
        printError(CommandLine::tr("仪器连接中断：%1").arg(error));
        return counted;
    }
    const bool progressShown = isatty(STDERR_FILENO);
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
        if (progressShown)
            showProgress(number, *total);
    });
    if (progressShown && *total > 0)
        std::fputc('\n', stderr);
    if (!written)
        return outputError();
    if (stopRequested()) {
        printError(CommandLine::tr("导入被中断：已读 %1 条，共 %2 条记录").arg(taken).arg(*total));
        return Interrupted;
    }
    if (taken < *total)
        return lostError(session);
    for (; expected <= *total; ++expected)
        missing << expected;
    if (!sink->finish(&error)) {
        printError(CommandLine::tr("无法写入 %1：%2").arg(path, error));
        return CannotWrite;
    }
    if (!missing.isEmpty())
        printError(CommandLine::tr("未读出的记录：%1").arg(numberList(missing)));
    return Success;
}

}  // namespace cli
