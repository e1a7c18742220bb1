#pragma once
// What the team's server holds of every laptop's sessions, read for the
// history: each session with who measured, with which instrument, on which
// object, and the rows of one session. Each read opens a connection of its own
// in the calling thread (never the window's: a server may be slow) and closes
// it before returning.

#include "store/resultstore.h"
#include "store/teamconnection.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace store {

struct TeamSession {
    QString uuid;
    TableKind kind = TableKind::DcResults;
    QDateTime started;  // local time
    QString operatorName;  // the login that pushed it
    QString instrument;
    QString host;  // the computer it was measured with
    TestObject object;  // id 0: the object as the server names it
    int rowCount = 0;
};

struct TeamSessions {
    TeamReach reach;
    QList<TeamSession> sessions;  // newest first, those holding rows
};

struct TeamRows {
    TeamReach reach;
    QList<Row> rows;  // ids and objects 0: these rows are the server's
};

// The newest sessions of the whole team, at most limit of them.
TeamSessions readTeamSessions(const QString& service, int limit = 500);
// The rows of one session not deleted, in their order.
TeamRows readTeamRows(const QString& service, const QString& sessionUuid);

}  // namespace store
