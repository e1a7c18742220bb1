#include "store/teamconnection.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QThread>

#include <array>
#include <utility>

namespace store {

namespace {

const char* const kDriver = "QPSQL";

// The client library's messages, as it writes them untranslated, and what each means.
const std::array<std::pair<const char*, TeamFault>, 7> kFaultMessages{{
    {"definition of service", TeamFault::NoService},  // ... "NAME" not found
    {"service file", TeamFault::NoService},           // ... "PATH" not found
    {"password authentication failed", TeamFault::WrongPassword},
    {"no password supplied", TeamFault::WrongPassword},
    {"Connection refused", TeamFault::Refused},
    {"No such file or directory", TeamFault::Refused},  // no server socket where the service points
    {"could not connect to server", TeamFault::Refused},
}};

}  // namespace

bool isServiceName(const QString& service)
{
    static const QRegularExpression name(QStringLiteral("^[\\w.-]+$"), QRegularExpression::UseUnicodePropertiesOption);
    return name.match(service).hasMatch();
}

TeamFault teamFaultOf(const QString& message)
{
    for (const auto& [words, fault] : kFaultMessages) {
        if (message.contains(QLatin1String(words), Qt::CaseInsensitive))
            return fault;
    }
    return TeamFault::Other;
}

TeamReach openTeamConnection(const QString& service, const QString& connectionName)
{
    if (!QSqlDatabase::isDriverAvailable(QLatin1String(kDriver)))
        return {TeamFault::NoDriver, {}};
    if (!isServiceName(service))
        return {TeamFault::BadName, {}};
    QSqlDatabase database = QSqlDatabase::addDatabase(QLatin1String(kDriver), connectionName);
    database.setConnectOptions(QStringLiteral("service=") + service);
    if (database.open())
        return {};
    const QString message = database.lastError().databaseText().trimmed();
    return {teamFaultOf(message), message};
}

TeamReach probeTeamServer(const QString& service)
{
    const QString name = QStringLiteral("teamProbe-%1").arg(quintptr(QThread::currentThreadId()));
    TeamReach reach = openTeamConnection(service, name);
    if (QSqlDatabase::contains(name)) {
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
    return reach;
}

}  // namespace store
