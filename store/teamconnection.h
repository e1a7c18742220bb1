#pragma once
// Reaching the team's server: a connection named only by its service, so that
// host, port, database and user come from the service file (pg_service.conf,
// PGSERVICEFILE) and the password from ~/.pgpass (PGPASSFILE), as every other
// client of that server finds them. Nothing here keeps a password.
//
// A connection belongs to the thread that opens it; the callers open it off
// the window's thread, since a server that does not answer can hold the open
// for as long as the service's connect_timeout.

#include <QString>

class QSqlDatabase;

namespace store {

// Why the server could not be reached, worded by the window.
enum class TeamFault {
    None,
    NoDriver,       // the program's database driver for the server is not installed
    BadName,        // the service name holds characters a service name cannot hold
    NoService,      // no service of that name in the service file
    Refused,        // nothing answers where the service points (server stopped, wrong address)
    WrongPassword,  // the server refused the password, or none was found for it
    Other,
};

struct TeamReach {
    TeamFault fault = TeamFault::None;
    QString detail;  // the server library's own words; empty when reached

    bool reached() const { return fault == TeamFault::None; }
};

// Letters (any script), digits, '_', '.', '-': nothing that could add an option
// of its own to the connection string.
bool isServiceName(const QString& service);

// The fault that the client library's message describes.
TeamFault teamFaultOf(const QString& message);

// Opens the connection connectionName to the service in the calling thread.
// The caller closes it and removes it with QSqlDatabase::removeDatabase.
TeamReach openTeamConnection(const QString& service, const QString& connectionName);

// Opens a connection to the service and closes it again.
TeamReach probeTeamServer(const QString& service);

}  // namespace store
