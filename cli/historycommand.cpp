// history list|export: the earlier sessions of the results store, read only.

#include "app/pagefields.h"
#include "cli/commandsupport.h"
#include "data/storedrecordsmodel.h"
#include "reports/sessiontable.h"
#include "reports/workbookwriter.h"
#include "store/resultstore.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>
#include <cstdio>

namespace cli {

namespace {

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
    return StoredRecordsModel::columnHeaders();
}

// A free text as one field of a tab-separated line: its tabs and line breaks become spaces.
QString listField(const QString& text)
{
    QString field = text;
    for (QChar& c : field) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    }
    return field;
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

bool writeTable(const QString& path, const QString& format, const QStringList& headers, store::TableKind kind,
                const QList<store::Row>& kept, QString* error)
{
    if (format == QLatin1String("xlsx"))
        return reports::writeWorkbook(path, reports::sessionTable(headers, kept, kind), error);
    QVector<QStringList> rows;
    for (const store::Row& row : kept)
        rows.append(row.cells);
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(tableText(headers, rows, format == QLatin1String("json"))) >= 0
        && file.commit())
        return true;
    *error = file.errorString();
    return false;
}

}  // namespace

int historyCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption out(QStringLiteral("out"), CommandLine::tr("要写入的文件。"), QStringLiteral("file"));
    const QCommandLineOption format(QStringLiteral("format"),
                                    CommandLine::tr("csv、json 或 xlsx（默认：按文件扩展名，否则为 csv）。"),
                                    QStringLiteral("format"));
    parser.addOptions({out, format});
    parser.addPositionalArgument(QStringLiteral("list|export"), CommandLine::tr("列出会话，或导出其中一个。"));
    parser.addPositionalArgument(QStringLiteral("ID"), CommandLine::tr("要导出的会话。"));
    int status = Success;
    if (!parseArguments(parser, arguments, &status, true))
        return status;
    const QStringList words = parser.positionalArguments();
    const bool listing = words == QStringList{QStringLiteral("list")};
    if (!listing && (words.size() != 2 || words.first() != QLatin1String("export")))
        return usageError(CommandLine::tr("history 需要 list，或 export ID --out FILE"));
    bool idRead = listing;
    const qint64 id = listing ? 0 : words.at(1).toLongLong(&idRead);
    if (!listing && (!idRead || id < 1))
        return usageError(CommandLine::tr("会话 ID 是从 1 起的整数：%1").arg(words.value(1)));
    const QString path = parser.value(out);
    QString formatName = parser.value(format);
    if (formatName.isEmpty()) {
        const QString suffix = QFileInfo(path).suffix().toLower();
        formatName = suffix == QLatin1String("xlsx") || suffix == QLatin1String("json") ? suffix : QStringLiteral("csv");
    }
    if (!listing && path.isEmpty())
        return usageError(CommandLine::tr("history export 需要 --out FILE"));
    if (!QStringList{QStringLiteral("csv"), QStringLiteral("json"), QStringLiteral("xlsx")}.contains(formatName))
        return usageError(CommandLine::tr("--format 须为 csv、json 或 xlsx"));

    const QString storePath = store::ResultStore::defaultPath();
    if (!QFileInfo::exists(storePath)) {
        if (listing)
            return Success;  // nothing kept yet
        printError(CommandLine::tr("没有会话 %1：尚未保存任何结果").arg(id));
        return DataError;
    }
    store::StoreOptions options;
    options.readOnly = true;
    store::ResultStore results(storePath, options);
    if (!results.isKeeping()) {
        printError(CommandLine::tr("无法读取结果库 %1：%2").arg(storePath, results.failure()));
        return NoInput;
    }
    const QList<store::SessionSummary> sessions = results.earlierSessions();
    if (listing) {
        for (const store::SessionSummary& session : sessions)
            std::printf("%lld\t%s\t%s\t%s\t%d\t%s\n", static_cast<long long>(session.id), tableName(session.kind),
                        session.started.toString(Qt::ISODate).toLatin1().constData(),
                        session.closed.toString(Qt::ISODate).toLatin1().constData(), session.rowCount,
                        listField(session.object.label()).toUtf8().constData());
        return Success;
    }
    const auto found = std::find_if(sessions.begin(), sessions.end(),
                                    [id](const store::SessionSummary& session) { return session.id == id; });
    if (found == sessions.end()) {
        printError(CommandLine::tr("没有会话 %1；参见 history list").arg(id));
        return DataError;
    }
    QString error;
    if (!writeTable(path, formatName, tableHeaders(found->kind), found->kind, results.sessionRows(id), &error)) {
        printError(CommandLine::tr("无法写入 %1：%2").arg(path, error));
        return CannotWrite;
    }
    return Success;
}

}  // namespace cli
