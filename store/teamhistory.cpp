#include "store/teamhistory.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>

#include <functional>

namespace store {

namespace {

const char* const kSessionsQuery =
    "SELECT s.uuid::text, s.kind, s.started, s.operator::text, s.instrument, s.host, "
    "       coalesce(o.name, ''), coalesce(o.serial, ''), coalesce(o.location, ''), s.row_count "
    "FROM team_results.session_states s LEFT JOIN team_results.objects o ON o.uuid = s.object "
    "WHERE s.row_count > 0 ORDER BY s.started DESC LIMIT :limit";

// The cells as JSON: the driver hands a text array over as one unparsed text.
const char* const kRowsQuery =
    "SELECT array_to_json(cells)::text, settled, trace FROM team_results.live_rows "
    "WHERE session = CAST(:session AS uuid) ORDER BY position";

// Runs read over a connection of the calling thread's own, closed before returning.
TeamReach withConnection(const QString& service, const std::function<bool(QSqlQuery&)>& read)
{
    const QString name = QStringLiteral("teamHistory-%1").arg(quintptr(QThread::currentThreadId()));
    TeamReach reach = openTeamConnection(service, name);
    if (reach.reached()) {
        QSqlQuery query(QSqlDatabase::database(name, false));
        query.setForwardOnly(true);
        if (!read(query))
            reach = {TeamFault::Other, query.lastError().text()};
    }
    if (QSqlDatabase::contains(name)) {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
    return reach;
}

TableKind kindOf(int number)
{
    switch (number) {
    case int(TableKind::LengthResults):
        return TableKind::LengthResults;
    case int(TableKind::StoredRecords):
        return TableKind::StoredRecords;
    default:
        return TableKind::DcResults;
    }
}

QStringList cellsOf(const QString& json)
{
    QStringList cells;
    for (const QJsonValue& cell : QJsonDocument::fromJson(json.toUtf8()).array())
        cells << cell.toString();
    return cells;
}

}  // namespace

TeamSessions readTeamSessions(const QString& service, int limit)
{
    TeamSessions found;
    found.reach = withConnection(service, [&](QSqlQuery& query) {
        if (!query.prepare(QLatin1String(kSessionsQuery)))
            return false;
        query.bindValue(QStringLiteral(":limit"), limit);
        if (!query.exec())
            return false;
        while (query.next()) {
            TeamSession session;
            session.uuid = query.value(0).toString();
            session.kind = kindOf(query.value(1).toInt());
            session.started = query.value(2).toDateTime().toLocalTime();
            session.operatorName = query.value(3).toString();
            session.instrument = query.value(4).toString();
            session.host = query.value(5).toString();
            session.object.name = query.value(6).toString();
            session.object.serial = query.value(7).toString();
            session.object.location = query.value(8).toString();
            session.rowCount = query.value(9).toInt();
            found.sessions << session;
        }
        return true;
    });
    return found;
}

TeamRows readTeamRows(const QString& service, const QString& sessionUuid)
{
    TeamRows found;
    found.reach = withConnection(service, [&](QSqlQuery& query) {
        if (!query.prepare(QLatin1String(kRowsQuery)))
            return false;
        query.bindValue(QStringLiteral(":session"), sessionUuid);
        if (!query.exec())
            return false;
        while (query.next()) {
            Row row;
            row.cells = cellsOf(query.value(0).toString());
            if (!query.value(1).isNull())
                row.settled = query.value(1).toBool();
            row.trace = query.value(2).toByteArray();
            found.rows << row;
        }
        return true;
    });
    return found;
}

}  // namespace store
