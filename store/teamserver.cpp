#include "store/teamserver.h"

#include "store/teamconnection.h"

#include "store/teamserverschema.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSysInfo>
#include <QVariant>

#include <atomic>

namespace store {

namespace {

constexpr int kRowsPerStatement = 1000;

QString uniqueConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("teamserver-%1").arg(++counter);
}

// A text[] literal: every element quoted, quotes and backslashes escaped.
QString arrayLiteral(const QStringList& texts)
{
    QStringList quoted;
    for (QString text : texts) {
        text.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\""));
        quoted << QLatin1Char('"') + text + QLatin1Char('"');
    }
    return QLatin1Char('{') + quoted.join(QLatin1Char(',')) + QLatin1Char('}');
}

QString timestamp(qint64 ms)
{
    return QStringLiteral("to_timestamp(%1 / 1000.0)").arg(ms);
}

// libpq says so in the server's words; a refused password is the one case an
// operator can mend alone.
bool isLoginRefused(const QString& detail)
{
    return detail.contains(QLatin1String("password"), Qt::CaseInsensitive)
           || detail.contains(QLatin1String("28P01")) || detail.contains(QLatin1String("28000"));
}

}  // namespace

TeamServer::TeamServer(const QString& service, int connectTimeout)
    : serviceName(service), connectionName(uniqueConnectionName()), connectTimeoutS(connectTimeout)
{
}

TeamServer::~TeamServer()
{
    close();
    QSqlDatabase::removeDatabase(connectionName);
}

void TeamServer::close()
{
    if (QSqlDatabase::contains(connectionName))
        QSqlDatabase::database(connectionName, false).close();
}

TeamServer::State TeamServer::fail(State state, const QString& message)
{
    lastMessage = message;
    close();
    return state;
}

TeamServer::State TeamServer::connect(bool mayCreate)
{
    if (QSqlDatabase::contains(connectionName) && QSqlDatabase::database(connectionName, false).isOpen())
        return State::Ready;
    QSqlDatabase db = QSqlDatabase::contains(connectionName)
                          ? QSqlDatabase::database(connectionName, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    if (!db.isValid())
        return fail(State::Failed, tr("缺少 PostgreSQL 驱动（Debian：libqt5sql5-psql）"));
    // A name with a separator of its own would add options to the connection.
    if (!isServiceName(serviceName))
        return fail(State::Failed, tr("团队服务器的服务名“%1”无效").arg(serviceName));
    // Keep-alives find a connection whose network has gone; a statement never waits for ever.
    db.setConnectOptions(QStringLiteral("service=%1;connect_timeout=%2;keepalives_idle=10;keepalives_interval=5;"
                                        "keepalives_count=3;options=-cstatement_timeout=120000")
                             .arg(serviceName)
                             .arg(connectTimeoutS));
    if (!db.open()) {
        const QString detail = db.lastError().text().trimmed();
        if (isLoginRefused(detail))
            return fail(State::LoginRefused,
                        tr("团队服务器 %1 拒绝登录：请检查 .pgpass 中的密码（%2）").arg(serviceName, detail));
        return fail(State::Unreachable, tr("无法连接团队服务器 %1：%2").arg(serviceName, detail));
    }
    const State state = checkSchema(mayCreate);
    if (state == State::Ready)
        lastMessage = tr("已连接团队服务器 %1").arg(serviceName);
    return state;
}

TeamServer::State TeamServer::checkSchema(bool mayCreate)
{
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    QSqlQuery version(db);
    if (!version.exec(QStringLiteral("SELECT to_regclass('team_results.migrations') IS NOT NULL")) || !version.next())
        return fail(State::Failed, tr("团队服务器出错：%1").arg(version.lastError().text()));
    int found = 0;
    if (version.value(0).toBool()) {
        if (!version.exec(QStringLiteral("SELECT COALESCE(max(version), 0) FROM team_results.migrations"))
            || !version.next())
            return fail(State::Failed, tr("团队服务器出错：%1").arg(version.lastError().text()));
        found = version.value(0).toInt();
    }
    version.finish();
    if (found > kSchemaVersion)
        return fail(State::Newer, tr("团队服务器的数据结构（版本 %1）比本程序新：请更新程序。推送已停止，本地结果都保留着。")
                                      .arg(found));
    if (found == kSchemaVersion)
        return State::Ready;
    // The statements are safe to run again; a login without the right leaves the server as it was.
    if (mayCreate && db.transaction()) {
        QSqlQuery create(db);
        if (create.exec(QString::fromUtf8(kTeamServerSchema)) && db.commit())
            return State::Ready;
        db.rollback();
    }
    return fail(State::NotSetUp, tr("团队服务器 %1 尚未设置：请管理员运行 team-server.sql").arg(serviceName));
}

bool TeamServer::exec(const QString& statement)
{
    QSqlQuery query(QSqlDatabase::database(connectionName, false));
    if (query.exec(statement))
        return true;
    lastMessage = tr("推送到团队服务器失败：%1").arg(query.lastError().text());
    return false;
}

bool TeamServer::push(const PushBatch& batch)
{
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    const QSqlDriver* driver = db.driver();
    const auto literal = [driver](const QVariant& value) {
        QSqlField field(QString(), value.type());
        field.setValue(value);
        return driver->formatValue(field);
    };
    const auto optionalUuid = [&literal](const QString& uuid) {
        return uuid.isEmpty() ? QStringLiteral("NULL") : literal(uuid);
    };
    const QString host = literal(QSysInfo::machineHostName());

    QStringList statements;
    const auto insert = [&statements](const QString& head, const QStringList& values) {
        for (int first = 0; first < values.size(); first += kRowsPerStatement) {
            statements << QStringLiteral("INSERT INTO team_results.") + head + QStringLiteral(" VALUES ")
                              + values.mid(first, kRowsPerStatement).join(QLatin1Char(','))
                              + QStringLiteral(" ON CONFLICT DO NOTHING");
        }
    };
    // Values are joined, never put in with arg(): a cell may hold "%1".
    const auto tuple = [](const QStringList& parts) {
        return QLatin1Char('(') + parts.join(QLatin1Char(',')) + QLatin1Char(')');
    };
    const auto flag = [](std::optional<bool> value) {
        return !value ? QStringLiteral("NULL") : *value ? QStringLiteral("true") : QStringLiteral("false");
    };
    QStringList values;
    for (const PushObject& object : batch.objects)
        values << tuple({literal(object.uuid), literal(object.name), literal(object.serial), literal(object.location)});
    insert(QStringLiteral("objects (uuid, name, serial, location)"), values);
    values.clear();
    for (const PushSession& session : batch.sessions)
        values << tuple({literal(session.uuid), QString::number(session.kind), timestamp(session.startedMs),
                         literal(session.instrument), host, optionalUuid(session.object)});
    insert(QStringLiteral("sessions (uuid, kind, started, instrument, host, object)"), values);
    values.clear();
    for (const PushRow& row : batch.rows)
        values << tuple({literal(row.uuid), literal(row.session), QString::number(row.position),
                         literal(arrayLiteral(row.cells)) + QStringLiteral("::text[]"), flag(row.settled),
                         optionalUuid(row.object), row.trace.isEmpty() ? QStringLiteral("NULL") : literal(row.trace)});
    insert(QStringLiteral("rows (uuid, session, position, cells, settled, object, trace)"), values);
    values.clear();
    for (const PushEvent& event : batch.events)
        values << tuple({literal(event.uuid), literal(event.session), flag(event.closed), timestamp(event.atMs)});
    insert(QStringLiteral("session_events (uuid, session, closed, at)"), values);
    values.clear();
    for (const PushDeletion& deletion : batch.deletions)
        values << tuple({literal(deletion.row), timestamp(deletion.atMs)});
    insert(QStringLiteral("row_deletions (row_uuid, at)"), values);
    values.clear();
    QStringList entries;
    for (const PushBaseline& set : batch.baselines) {
        values << tuple({literal(set.uuid), literal(set.object), timestamp(set.atMs)});
        for (const BaselineEntry& entry : set.entries)
            entries << tuple({literal(set.uuid), QString::number(entry.winding), literal(entry.tapping),
                              literal(entry.phase), literal(entry.ohms), literal(entry.celsius),
                              QString::number(entry.material)});
    }
    insert(QStringLiteral("baseline_sets (uuid, object, at)"), values);
    insert(QStringLiteral("baseline_entries (baseline_set, winding, tapping, phase, ohms, celsius, material)"), entries);

    if (!exec(QStringLiteral("BEGIN")))
        return false;
    for (const QString& statement : statements) {
        if (!exec(statement)) {
            const QString failed = lastMessage;
            exec(QStringLiteral("ROLLBACK"));
            lastMessage = failed;
            return false;
        }
    }
    return exec(QStringLiteral("COMMIT"));
}

}  // namespace store
